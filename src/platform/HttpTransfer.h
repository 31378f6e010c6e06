#pragma once
// One HTTP exchange over libcurl, run to its end on the calling thread: the request body is sent
// as given (a fixed length, no chunking, no "Expect: 100-continue"), redirects are followed, and
// the outcome is reported with WinINet-style error numbers so that callers can print them as the
// engine always has.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class HttpTransfer {
public:
    // How far the exchange got.
    enum class Outcome {
        Complete,      // the final response and its whole body arrived
        NoSession,     // the transfer could not be set up at all
        SendFailed,    // no final response: resolving, connecting, sending or waiting failed
        ReadFailed,    // the final response began but its body broke off
    };

    // WinINet error numbers used for the failures.
    static constexpr uint32_t errorTimeout = 12002;            // ERROR_INTERNET_TIMEOUT
    static constexpr uint32_t errorInternal = 12004;           // ERROR_INTERNET_INTERNAL_ERROR
    static constexpr uint32_t errorInvalidUrl = 12005;         // ERROR_INTERNET_INVALID_URL
    static constexpr uint32_t errorNameNotResolved = 12007;    // ERROR_INTERNET_NAME_NOT_RESOLVED
    static constexpr uint32_t errorCancelled = 12017;          // ERROR_INTERNET_OPERATION_CANCELLED
    static constexpr uint32_t errorCannotConnect = 12029;      // ERROR_INTERNET_CANNOT_CONNECT
    static constexpr uint32_t errorConnectionAborted = 12030;  // ERROR_INTERNET_CONNECTION_ABORTED
    static constexpr uint32_t errorConnectionReset = 12031;    // ERROR_INTERNET_CONNECTION_RESET
    static constexpr uint32_t errorInvalidResponse = 12152;    // ERROR_HTTP_INVALID_SERVER_RESPONSE
    static constexpr uint32_t errorRedirectFailed = 12156;     // ERROR_HTTP_REDIRECT_FAILED

    // Request.
    std::string url;                    // "http://host[:port]/path"
    std::string userAgent;
    std::vector<std::string> headers;   // "Name: value" lines
    const uint8_t* body = nullptr;      // POST when bodyLength > 0, else GET
    size_t bodyLength = 0;
    long connectTimeoutMs = 15000;      // resolving and connecting
    long stallTimeoutMs = 30000;        // no byte sent or received for this long
    long deadlineMs = 0;                // the whole exchange, however it moves (0: none)
    // Checked while the exchange runs: when it becomes true the exchange stops as cancelled.
    const std::atomic<bool>* pCancel = nullptr;
    // The most reply bytes kept (0: no limit). A longer body stops the exchange as a failed read,
    // so memory stays bounded whatever the server sends.
    size_t maxReplyBytes = 0;

    // Result.
    Outcome outcome = Outcome::NoSession;
    uint32_t error = 0;       // a WinINet error number when the outcome is not Complete
    int status = 0;           // the final status code, 0 when none arrived
    std::vector<uint8_t> reply;
    bool bReplyTooLong = false;  // the body went over maxReplyBytes

    // Sets up the HTTP library once per process; call on the main thread before the first worker
    // starts (perform() calls it too).
    static void initialize();

    // Runs the exchange; returns outcome == Complete.
    bool perform();
};
