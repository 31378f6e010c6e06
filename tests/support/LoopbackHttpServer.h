#pragma once
// A small HTTP/1.1 server for tests on 127.0.0.1 with an ephemeral port. It records every request
// as the raw bytes that arrived and answers from a script: one reply per path (a default for the
// rest), with any status, extra header lines and body, a body that breaks off after its headers,
// a body that trickles in a byte at a time, or no answer at all (the connection is held open until
// the server stops).

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
        std::vector<std::string> headers;  // extra "Name: value" lines, e.g. "Location: /x"
        bool bHang = false;                // read the request, then never answer
        bool bBreakBody = false;           // announce the whole body, send half, then close
        bool bReset = false;               // read the request, then reset the connection unanswered
        // Above 0: send the status and headers at once, then the body one byte at a time, this
        // many milliseconds apart (on a thread of its own), until it is sent, the client goes or
        // the server stops.
        int dripEveryMs = 0;
    };

    // Answers a request from its path and raw bytes; runs on the server's thread. When set, it
    // takes the place of the per-path script.
    using Handler = std::function<Reply(const std::string& path, const std::string& request)>;

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    uint16_t port() const { return listenPort; }
    // "127.0.0.1:port", the form a request's host takes.
    std::string host() const;

    void setReply(const std::string& path, const Reply& reply);
    void setDefaultReply(const Reply& reply);
    void setHandler(Handler handler);

    // The raw bytes of every complete request received so far, in order.
    std::vector<std::string> requests();
    // Waits until n requests have arrived (at most timeoutMs); returns whether they did.
    bool waitForRequests(size_t n, int timeoutMs);

    // Waits until clients have closed n of the connections held open by bHang replies.
    bool waitForClosedHeldConnections(size_t n, int timeoutMs);

    // A loopback port on which nothing listens (bound once and released).
    static uint16_t unusedPort();

private:
    void serve();
    void handle(int fd);

    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    uint16_t listenPort = 0;
    std::thread thread;
    std::mutex mutex;
    std::map<std::string, Reply> replies;
    Reply defaultReply;
    Handler handler;
    std::vector<std::string> received;
    std::vector<int> heldConnections;
    std::vector<std::thread> drippers;
    size_t closedHeldConnections = 0;
};
