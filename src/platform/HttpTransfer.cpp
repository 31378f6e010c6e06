#include "platform/HttpTransfer.h"

#include <curl/curl.h>

#include <chrono>
#include <mutex>

namespace {

std::once_flag curlInitOnce;

uint32_t wininetError(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return HttpTransfer::errorNameNotResolved;
        case CURLE_COULDNT_CONNECT: return HttpTransfer::errorCannotConnect;
        case CURLE_OPERATION_TIMEDOUT: return HttpTransfer::errorTimeout;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL: return HttpTransfer::errorInvalidUrl;
        case CURLE_ABORTED_BY_CALLBACK: return HttpTransfer::errorCancelled;
        case CURLE_TOO_MANY_REDIRECTS: return HttpTransfer::errorRedirectFailed;
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY: return HttpTransfer::errorInvalidResponse;
        case CURLE_SEND_ERROR: return HttpTransfer::errorConnectionAborted;
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE: return HttpTransfer::errorConnectionReset;
        default: return HttpTransfer::errorInternal;
    }
}

struct Progress {
    HttpTransfer* transfer;
    std::chrono::steady_clock::time_point lastActivity;
    curl_off_t lastDown = 0, lastUp = 0;
    bool stalled = false;
};

size_t onData(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<HttpTransfer*>(user);
    const size_t n = size * count;
    if (transfer->maxReplyBytes && transfer->reply.size() + n > transfer->maxReplyBytes) {
        // Returning less than was given makes the library stop the transfer with a write error.
        transfer->bReplyTooLong = true;
        return 0;
    }
    transfer->reply.insert(transfer->reply.end(), reinterpret_cast<uint8_t*>(data), reinterpret_cast<uint8_t*>(data) + n);
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    auto* progress = static_cast<Progress*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (down != progress->lastDown || up != progress->lastUp) {
        progress->lastDown = down;
        progress->lastUp = up;
        progress->lastActivity = now;
    }
    const HttpTransfer* t = progress->transfer;
    if (t->pCancel && t->pCancel->load(std::memory_order_relaxed)) return 1;
    if (now - progress->lastActivity > std::chrono::milliseconds(t->stallTimeoutMs)) {
        progress->stalled = true;
        return 1;
    }
    return 0;
}

}  // namespace

void HttpTransfer::initialize() {
    std::call_once(curlInitOnce, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool HttpTransfer::perform() {
    initialize();
    outcome = Outcome::NoSession;
    error = 0;
    status = 0;
    reply.clear();
    bReplyTooLong = false;

    CURL* easy = curl_easy_init();
    CURLM* multi = easy ? curl_multi_init() : nullptr;
    if (!easy || !multi) {
        if (easy) curl_easy_cleanup(easy);
        error = errorInternal;
        return false;
    }
    curl_slist* headerList = nullptr;
    for (const std::string& line : headers) headerList = curl_slist_append(headerList, line.c_str());
    // No "Expect: 100-continue" round trip before the body.
    headerList = curl_slist_append(headerList, "Expect:");

    Progress progress{this, std::chrono::steady_clock::now()};
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "localhost,127.0.0.1");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    // A server that keeps a trickle going never stalls; this ends the exchange all the same.
    if (deadlineMs > 0) curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, deadlineMs);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &progress);
    if (bodyLength > 0) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, reinterpret_cast<const char*>(body));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodyLength));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    // The multi interface wakes at least every 50 ms, so a stall or a cancel is noticed quickly.
    curl_multi_add_handle(multi, easy);
    CURLcode result = CURLE_OK;
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
        if (!running) break;
        if (curl_multi_poll(multi, nullptr, 0, 50, nullptr) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
    }
    int messages = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &messages)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) result = message->data.result;
    }
    if (result == CURLE_ABORTED_BY_CALLBACK && progress.stalled) result = CURLE_OPERATION_TIMEDOUT;

    long code = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
    status = static_cast<int>(code);
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headerList);

    if (result == CURLE_OK) {
        outcome = Outcome::Complete;
        return true;
    }
    error = wininetError(result);
    // A final response whose status arrived broke off in its body; anything earlier (including a
    // redirect whose target could not be reached) failed while sending or waiting.
    if (code != 0 && !(code >= 300 && code < 400)) {
        outcome = Outcome::ReadFailed;
    } else {
        outcome = Outcome::SendFailed;
        status = 0;
    }
    return false;
}
