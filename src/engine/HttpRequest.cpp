#include "engine/HttpRequest.h"

#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include "engine/Product.h"
#include "engine/Utilities.h"
#include "platform/HttpTransfer.h"

const char HttpRequest::boundary[] = "---------------------------7d33992b80330";

namespace {

// Sent with every request, GET as well as POST.
const char* const requestHeaders[] = {
    "Accept: */*",
    "Content-Type: multipart/form-data; boundary=---------------------------7d33992b80330",
    "Pragma: no-cache",
};

// A reserved name until the real server is known: it never reaches anyone else's machine.
constexpr char defaultMakerHost[] = "vesk.morvanestudios.example";

}  // namespace

// What the request and its worker share. The worker holds its own reference, so deleting the
// request while the worker runs frees nothing the worker still uses.
struct HttpRequest::Shared {
    WString errorText;
    ByteBuffer reply;
    std::atomic<int> state{STATE_IDLE};
    WString host;
    WString path;
    std::vector<uint8_t> body;
    long connectTimeoutMs = HttpRequest::defaultConnectTimeoutMs;
    long stallTimeoutMs = HttpRequest::defaultStallTimeoutMs;
    long deadlineMs = HttpRequest::defaultDeadlineMs;
    // Set when the owner deletes the request: the worker stops as soon as it can.
    std::atomic<bool> abandoned{false};
    bool bBodyClosed = false;
};

namespace {

// The worker: runs the exchange, fills errorText or reply, and writes the state last.
void runRequest(std::shared_ptr<HttpRequest::Shared> shared) {
    HttpRequest::Shared& s = *shared;
    HttpTransfer transfer;
    transfer.url = "http://" + wideToUtf8(s.host) + wideToUtf8(s.path);
    transfer.userAgent = wideToUtf8(getProductName());
    for (const char* line : requestHeaders) transfer.headers.emplace_back(line);
    transfer.body = s.body.empty() ? nullptr : s.body.data();
    transfer.bodyLength = s.body.size();
    transfer.connectTimeoutMs = s.connectTimeoutMs;
    transfer.stallTimeoutMs = s.stallTimeoutMs;
    transfer.deadlineMs = s.deadlineMs;
    transfer.pCancel = &s.abandoned;
    transfer.maxReplyBytes = HttpRequest::maxReplyLength;

    transfer.perform();
    int finalState = HttpRequest::STATE_FAILED;
    switch (transfer.outcome) {
        case HttpTransfer::Outcome::NoSession:
            s.errorText = format(u"Could not open internet session (error %08x)", transfer.error);
            break;
        case HttpTransfer::Outcome::SendFailed:
            s.errorText = format(u"Could not send request (error %08x)", transfer.error);
            break;
        case HttpTransfer::Outcome::ReadFailed:
        case HttpTransfer::Outcome::Complete:
            if (transfer.status < 200 || transfer.status > 299) {
                s.errorText = format(u"Failed with HTTP status code %d", transfer.status);
            } else if (transfer.outcome == HttpTransfer::Outcome::ReadFailed) {
                // The status was a success but the body broke off: a failed transfer.
                s.errorText = format(u"Could not read reply (error %08x)", transfer.error);
            } else {
                if (!transfer.reply.empty()) s.reply.append(transfer.reply.data(), static_cast<int>(transfer.reply.size()));
                finalState = HttpRequest::STATE_DONE;
            }
            break;
    }
    s.state.store(finalState, std::memory_order_release);
}

}  // namespace

HttpRequest::HttpRequest(WStringView host, WStringView path) : shared(std::make_shared<Shared>()) {
    shared->host = WString(host);
    shared->path = WString(path);
}

HttpRequest::~HttpRequest() {
    // A running worker keeps the shared data alive and frees it when it ends.
    shared->abandoned.store(true, std::memory_order_relaxed);
}

void HttpRequest::appendBody(const void* bytes, int length) {
    if (!bytes || length <= 0) return;
    const auto* p = static_cast<const uint8_t*>(bytes);
    shared->body.insert(shared->body.end(), p, p + length);
}

void HttpRequest::addPart(const void* data, int length, WStringView fieldName, WStringView fileName) {
    addPartHeader(fieldName, fileName);
    appendBody(data, length);
}

void HttpRequest::reserveBody(size_t length) { shared->body.reserve(length); }

void HttpRequest::addPartHeader(WStringView fieldName, WStringView fileName) {
    std::string header = "\r\n--";
    header += boundary;
    header += "\r\nContent-Disposition: form-data; name=\"";
    header += wideToUtf8(fieldName);
    header += "\"";
    if (!fileName.empty()) {
        header += "; filename=\"";
        header += wideToUtf8(fileName);
        header += "\"\r\nContent-Type: application/octet-stream";
    }
    header += "\r\n\r\n";
    appendBody(header.data(), static_cast<int>(header.size()));
}

void HttpRequest::addStandardFields() {
    char platformField[256] = {};
    char gameName[32] = {};
    char gameVersion[16] = {};
    char gamePatch[256] = {};
    setFixedText256(platformField, getPlatformName());
    setFixedText32(gameName, getProductName());
    setFixedText16(gameVersion, getProductVersion());
    setFixedText256(gamePatch, getProductPatch());
    addPart(platformField, static_cast<int>(std::strlen(platformField)), u"platform", u"");
    addPart(gameName, static_cast<int>(std::strlen(gameName)), u"gameName", u"");
    addPart(gameVersion, static_cast<int>(std::strlen(gameVersion)), u"gameVersion", u"");
    addPart(gamePatch, static_cast<int>(std::strlen(gamePatch)), u"gamePatch", u"");
}

void HttpRequest::start() {
    if (getState() == STATE_RUNNING) return;
    if (!shared->body.empty() && !shared->bBodyClosed) {
        shared->bBodyClosed = true;
        std::string closing = "\r\n--";
        closing += boundary;
        closing += "--\r\n";
        appendBody(closing.data(), static_cast<int>(closing.size()));
    }
    shared->errorText.clear();
    shared->reply.bytes.clear();
    shared->state.store(STATE_RUNNING, std::memory_order_release);
    HttpTransfer::initialize();
    try {
        std::thread(runRequest, shared).detach();
    } catch (const std::system_error& e) {
        shared->errorText = format(u"Thread creation failed (error %08x)", static_cast<uint32_t>(e.code().value()));
        shared->state.store(STATE_FAILED, std::memory_order_release);
    }
}

int HttpRequest::getState() const { return shared->state.load(std::memory_order_acquire); }
void HttpRequest::setState(int state) {
    if (getState() == STATE_RUNNING) return;
    shared->state.store(state, std::memory_order_release);
}
const WString& HttpRequest::getErrorText() const { return shared->errorText; }
const ByteBuffer& HttpRequest::getReply() const { return shared->reply; }
const std::vector<uint8_t>& HttpRequest::getBody() const { return shared->body; }
const WString& HttpRequest::getHost() const { return shared->host; }
const WString& HttpRequest::getPath() const { return shared->path; }

void HttpRequest::setTimeouts(long connectTimeoutMs, long stallTimeoutMs) {
    shared->connectTimeoutMs = connectTimeoutMs;
    shared->stallTimeoutMs = stallTimeoutMs;
}

void HttpRequest::setDeadline(long deadlineMs) { shared->deadlineMs = deadlineMs; }

WString HttpRequest::getMakerHost() {
    const char* env = std::getenv("VESK_MAKER_HOST");
    return utf8ToWide(env && *env ? env : defaultMakerHost);
}
