#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace {

std::string statusText(int status) {
    switch (status) {
        case 200: return "OK";
        case 204: return "No Content";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 303: return "See Other";
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

void sendAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t sent = ::send(fd, data, n, MSG_NOSIGNAL);
        if (sent <= 0) return;
        data += sent;
        n -= static_cast<size_t>(sent);
    }
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof(addr);
    if (listenFd < 0 || ::bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        ::listen(listenFd, 16) != 0 || ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::pipe(wakePipe) != 0) {
        throw std::runtime_error("LoopbackHttpServer: cannot listen on 127.0.0.1");
    }
    listenPort = ntohs(addr.sin_port);
    thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 1;
    [[maybe_unused]] ssize_t n = ::write(wakePipe[1], &stop, 1);
    thread.join();
    for (std::thread& dripper : drippers) dripper.join();
    for (int fd : heldConnections) ::close(fd);
    ::close(listenFd);
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
}

std::string LoopbackHttpServer::host() const { return "127.0.0.1:" + std::to_string(listenPort); }

void LoopbackHttpServer::setReply(const std::string& path, const Reply& reply) {
    std::lock_guard lock(mutex);
    replies[path] = reply;
}

void LoopbackHttpServer::setDefaultReply(const Reply& reply) {
    std::lock_guard lock(mutex);
    defaultReply = reply;
}

void LoopbackHttpServer::setHandler(Handler newHandler) {
    std::lock_guard lock(mutex);
    handler = std::move(newHandler);
}

std::vector<std::string> LoopbackHttpServer::requests() {
    std::lock_guard lock(mutex);
    return received;
}

bool LoopbackHttpServer::waitForRequests(size_t n, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard lock(mutex);
            if (received.size() >= n) return true;
        }
        std::this_thread::yield();
    }
    return false;
}

bool LoopbackHttpServer::waitForClosedHeldConnections(size_t n, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard lock(mutex);
            if (closedHeldConnections >= n) return true;
        }
        std::this_thread::yield();
    }
    return false;
}

uint16_t LoopbackHttpServer::unusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

void LoopbackHttpServer::serve() {
    for (;;) {
        std::vector<pollfd> fds = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        for (int fd : heldConnections) fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[1].revents) return;
        // A held connection that turns readable has been closed (or written to) by its client.
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            char byte;
            if (::recv(fds[i].fd, &byte, 1, MSG_DONTWAIT) > 0) continue;
            ::close(fds[i].fd);
            std::erase(heldConnections, fds[i].fd);
            std::lock_guard lock(mutex);
            ++closedHeldConnections;
        }
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) handle(fd);
        }
    }
}

// Reads one request (headers, then Content-Length bytes), records it and answers by the script.
void LoopbackHttpServer::handle(int fd) {
    std::string data;
    size_t headerEnd = std::string::npos;
    size_t total = 0;
    char buffer[16384];
    for (;;) {
        if (headerEnd != std::string::npos && data.size() >= total) break;
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, 5000) <= 0 || fds[1].revents) {
            ::close(fd);
            return;
        }
        const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
        if (n <= 0) {
            ::close(fd);
            return;
        }
        data.append(buffer, static_cast<size_t>(n));
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                size_t contentLength = 0;
                const std::string head = lower(data.substr(0, headerEnd));
                const size_t at = head.find("\r\ncontent-length:");
                if (at != std::string::npos) contentLength = std::strtoul(head.c_str() + at + 17, nullptr, 10);
                total = headerEnd + 4 + contentLength;
            }
        }
    }
    const size_t pathStart = data.find(' ') + 1;
    std::string path = data.substr(pathStart, data.find(' ', pathStart) - pathStart);
    Reply reply;
    Handler handle;
    {
        std::lock_guard lock(mutex);
        received.push_back(data);
        auto it = replies.find(path);
        reply = it != replies.end() ? it->second : defaultReply;
        handle = handler;
    }
    if (handle) reply = handle(path, data);
    if (reply.bReset) {
        // A zero linger time makes close() send a reset instead of an orderly end.
        const linger hard{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
        ::close(fd);
        return;
    }
    if (reply.bHang) {
        heldConnections.push_back(fd);
        return;
    }
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + statusText(reply.status) + "\r\n";
    for (const std::string& line : reply.headers) out += line + "\r\n";
    if (reply.status != 204) out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    if (reply.dripEveryMs > 0) {
        sendAll(fd, out.data(), out.size());
        drippers.emplace_back([fd, body = reply.body, every = reply.dripEveryMs, wake = wakePipe[0]] {
            for (char byte : body) {
                pollfd fds[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
                // A readable client socket is one the client closed; the pipe is the server stopping.
                if (::poll(fds, 2, every) != 0) break;
                if (::send(fd, &byte, 1, MSG_NOSIGNAL) != 1) break;
            }
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
        });
        return;
    }
    if (reply.bBreakBody) {
        out += reply.body.substr(0, reply.body.size() / 2);
    } else if (reply.status != 204) {
        out += reply.body;
    }
    sendAll(fd, out.data(), out.size());
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}
