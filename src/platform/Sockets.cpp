#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

thread_local int lastError = 0;

bool fail() {
    lastError = socketErrorFromErrno(errno);
    return false;
}

}  // namespace

int lastSocketError() { return lastError; }

int socketErrorFromErrno(int error) {
    switch (error) {
        case EINTR: return 10004;
        case EBADF: return 10009;
        case EACCES:
        case EPERM: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE:
        case ENFILE: return 10024;
        case EWOULDBLOCK: return WSAEWOULDBLOCK;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EDESTADDRREQ: return 10039;
        case EMSGSIZE: return 10040;
        case EPROTOTYPE: return 10041;
        case ENOPROTOOPT: return 10042;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EPFNOSUPPORT: return 10046;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ENETRESET: return 10052;
        case ECONNABORTED: return 10053;
        case ECONNRESET: return 10054;
        case ENOBUFS:
        case ENOMEM: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        case ETOOMANYREFS: return 10059;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case ELOOP: return 10062;
        case ENAMETOOLONG: return 10063;
        case EHOSTDOWN: return 10064;
        case EHOSTUNREACH: return 10065;
        case ENOTEMPTY: return 10066;
        case EUSERS: return 10068;
        case EDQUOT: return 10069;
        case ESTALE: return 10070;
        case EREMOTE: return 10071;
        default: return 10022;
    }
}

int openUdpSocket() {
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0) fail();
    return s;
}

bool setNonBlocking(int socket) {
    const int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) != 0) return fail();
    return true;
}

bool setReceiveBufferSize(int socket, int bytes) {
    if (::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)) != 0) return fail();
    return true;
}

bool setBroadcast(int socket, bool allow) {
    const int value = allow ? 1 : 0;
    if (::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &value, sizeof(value)) != 0) return fail();
    return true;
}

bool bindSocket(int socket, const void* address16) {
    sockaddr_in addr;
    std::memcpy(&addr, address16, sizeof(addr));
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) return fail();
    return true;
}

bool getSocketName(int socket, void* address16) {
    sockaddr_in addr{};
    socklen_t length = sizeof(addr);
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&addr), &length) != 0) return fail();
    std::memcpy(address16, &addr, sizeof(addr));
    return true;
}

int sendDatagram(int socket, const void* data, int length, const void* address16) {
    sockaddr_in addr;
    std::memcpy(&addr, address16, sizeof(addr));
    const ssize_t n = ::sendto(socket, data, static_cast<size_t>(length), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
    if (n < 0) {
        fail();
        return -1;
    }
    return static_cast<int>(n);
}

int receiveDatagram(int socket, void* data, int capacity, void* address16) {
    sockaddr_in addr{};
    socklen_t length = sizeof(addr);
    const ssize_t n = ::recvfrom(socket, data, static_cast<size_t>(capacity), 0, reinterpret_cast<sockaddr*>(&addr), &length);
    if (n < 0) {
        fail();
        return -1;
    }
    std::memcpy(address16, &addr, sizeof(addr));
    return static_cast<int>(n);
}

void closeSocket(int socket) {
    if (socket >= 0) ::close(socket);
}

namespace {
std::atomic<int> lookups{0};
}

int hostLookupCount() { return lookups.load(); }

bool resolveHostIPv4(const std::string& host, uint32_t& addressNetworkOrder) {
    if (host.empty()) return false;
    ++lookups;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || !result) return false;
    bool found = false;
    for (addrinfo* entry = result; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            addressNetworkOrder = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            found = true;
            break;
        }
    }
    ::freeaddrinfo(result);
    return found;
}

}  // namespace platform
