#pragma once
// One HTTP request to the maker's web server, run on a worker thread of its own.
//
// The owner builds a multipart/form-data body part by part, calls start() and then polls
// getState() once per tick: 1 running, 2 failed (getErrorText() holds the message), 3 done
// (getReply() holds the response body). After using a result the owner sets the state back to 0
// or deletes the request. The state is the one synchronising variable between the two threads.
//
// The owner may delete a request at any time, also while it runs: the worker then works on with
// the data it shares with the request (kept alive until both are done with it) and stops early.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ByteBuffer.h"
#include "engine/Text.h"

class HttpRequest {
public:
    enum : int { STATE_IDLE = 0, STATE_RUNNING = 1, STATE_FAILED = 2, STATE_DONE = 3 };

    // host may carry a port ("example.org:8080"); path begins with "/".
    HttpRequest(WStringView host, WStringView path);
    virtual ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Appends one part; a file name (non-empty) adds it and an octet-stream content type.
    void addPart(const void* data, int length, WStringView fieldName, WStringView fileName);
    // The head of such a part; its data follows through appendBody (a large file piece by piece).
    void addPartHeader(WStringView fieldName, WStringView fileName);
    // Makes room for a body of 'length' bytes in all, so that appending never moves it.
    void reserveBody(size_t length);
    // Appends the fields platform, gameName, gameVersion and gamePatch.
    void addStandardFields();
    void appendBody(const void* bytes, int length);
    // Closes a non-empty body with the final delimiter and runs the request on a new thread.
    void start();

    int getState() const;
    // The owner sets 0 after it has used a result. Never while the request runs.
    void setState(int state);
    // Valid once the state is 2 or 3.
    const WString& getErrorText() const;
    const ByteBuffer& getReply() const;

    const std::vector<uint8_t>& getBody() const;
    const WString& getHost() const;
    const WString& getPath() const;

    // Limits of the exchange: resolving and connecting, and the longest time without a byte
    // moving. Set before start().
    void setTimeouts(long connectTimeoutMs, long stallTimeoutMs);
    // The longest the whole exchange may take, however slowly bytes keep moving (a server that
    // drips a byte now and then never stalls); past it the request fails as a timeout. Set before
    // start().
    void setDeadline(long deadlineMs);
    // The limits every new request starts with (tests shorten them to see a stall or the deadline
    // end quickly).
    static inline long defaultConnectTimeoutMs = 15000;
    static inline long defaultStallTimeoutMs = 30000;
    static inline long defaultDeadlineMs = 60000;

    // The maker's web server for every request and page, as host[:port]: $VESK_MAKER_HOST when
    // set, else the built-in name.
    static WString getMakerHost();

    static const char boundary[];
    // The longest reply body kept; a longer one fails the request as a broken read.
    static constexpr int maxReplyLength = 64 * 1024;

    struct Shared;

private:
    std::shared_ptr<Shared> shared;
};
