#include "support/FakeMakerService.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "engine/MD5Context.h"

namespace {

const std::string boundaryLine = "--" + std::string("---------------------------7d33992b80330");
const std::string contentType = "multipart/form-data; boundary=---------------------------7d33992b80330";

struct FaultName {
    FakeMakerService::Fault fault;
    const char* name;
};

const FaultName faultNames[] = {
    {FakeMakerService::Fault::None, "none"},
    {FakeMakerService::Fault::EmptyEnvelope, "empty-envelope"},
    {FakeMakerService::Fault::WrongLength, "wrong-length"},
    {FakeMakerService::Fault::WrongDigest, "wrong-digest"},
    {FakeMakerService::Fault::WrongMagic, "wrong-magic"},
    {FakeMakerService::Fault::Garbage, "garbage"},
    {FakeMakerService::Fault::PlainText, "plain-text"},
    {FakeMakerService::Fault::ControlText, "control-text"},
    {FakeMakerService::Fault::ControlEnvelope, "control-envelope"},
    {FakeMakerService::Fault::HugeBody, "huge-body"},
    {FakeMakerService::Fault::Stall, "stall"},
    {FakeMakerService::Fault::Refused, "refused"},
    {FakeMakerService::Fault::NotFound, "not-found"},
    {FakeMakerService::Fault::Drip, "drip"},
};

// A string literal with the NUL bytes inside it.
template <size_t N>
std::string literal(const char (&text)[N]) {
    return std::string(text, N - 1);
}

void putU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string md5Of(const std::string& bytes) {
    uint8_t digest[16];
    md5(digest, bytes.data(), static_cast<int>(bytes.size()));
    return std::string(reinterpret_cast<const char*>(digest), 16);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of a header line (name matched without case), or nothing.
std::optional<std::string> headerValue(const std::string& head, const std::string& name) {
    const std::string key = "\r\n" + lower(name) + ":";
    const std::string lowered = lower(head);
    const size_t at = lowered.find(key);
    if (at == std::string::npos) return std::nullopt;
    size_t start = at + key.size();
    const size_t end = head.find("\r\n", start);
    while (start < end && head[start] == ' ') ++start;
    return head.substr(start, end - start);
}

// Reads `text` at `pos`, advancing past it.
bool expect(const std::string& body, size_t& pos, const std::string& text) {
    if (body.compare(pos, text.size(), text) != 0) return false;
    pos += text.size();
    return true;
}

// Reads a quoted value up to the next '"'; quotes and line breaks cannot be inside.
bool quoted(const std::string& body, size_t& pos, std::string& value) {
    const size_t end = body.find('"', pos);
    if (end == std::string::npos) return false;
    value = body.substr(pos, end - pos);
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    pos = end + 1;
    return true;
}

const char* const crashPartOrder[] = {"crashLog", "crashMiniDump", "crashScreenshot", "crashNetTraffic"};

}  // namespace

const char* FakeMakerService::faultName(Fault fault) {
    for (const FaultName& f : faultNames) {
        if (f.fault == fault) return f.name;
    }
    return "?";
}

std::optional<FakeMakerService::Fault> FakeMakerService::faultFromName(const std::string& name) {
    for (const FaultName& f : faultNames) {
        if (name == f.name) return f.fault;
    }
    return std::nullopt;
}

FakeMakerService::FakeMakerService()
    : netTestPayload("masterServer=127.0.0.1:23006\r\nmessage=Your connection works.\r\n") {
    replyTexts[scoreUploadPath] = "Scores received.\r\nThank you!\r\n";
    replyTexts[crashReportPath] = "Report received.\r\nThank you!\r\n";

    refusingFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    if (refusingFd < 0 || ::bind(refusingFd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        ::getsockname(refusingFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        throw std::runtime_error("FakeMakerService: cannot bind a refusing port");
    }
    refusedPort = ntohs(addr.sin_port);
    server.setHandler([this](const std::string& path, const std::string& request) { return answer(path, request); });
}

FakeMakerService::~FakeMakerService() {
    if (refusingFd >= 0) ::close(refusingFd);
}

std::string FakeMakerService::refusingHost() const { return "127.0.0.1:" + std::to_string(refusedPort); }

void FakeMakerService::setFault(const std::string& path, Fault fault) {
    std::lock_guard lock(mutex);
    faults[path] = fault;
}

void FakeMakerService::setFaultForAll(Fault fault) {
    std::lock_guard lock(mutex);
    faultForAll = fault;
}

void FakeMakerService::setNetTestPayload(const std::string& ini) {
    std::lock_guard lock(mutex);
    netTestPayload = ini;
}

void FakeMakerService::setPlainText(const std::string& text) {
    std::lock_guard lock(mutex);
    plainText = text;
}

void FakeMakerService::setReplyText(const std::string& path, const std::string& text) {
    std::lock_guard lock(mutex);
    replyTexts[path] = text;
}

std::vector<FakeMakerService::Received> FakeMakerService::received() {
    std::lock_guard lock(mutex);
    return log;
}

bool FakeMakerService::waitForRequests(size_t n, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (log.size() >= n) return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::string FakeMakerService::envelope(const std::string& payload) {
    std::string out;
    putU32(out, 0x01020304u);
    putU32(out, static_cast<uint32_t>(payload.size()));
    out += md5Of(payload);
    out += payload;
    return out;
}

std::string FakeMakerService::bodyFor(const std::string& path, Fault fault) {
    std::string payload;
    std::string text;
    std::string plain;
    {
        std::lock_guard lock(mutex);
        payload = netTestPayload;
        plain = plainText;
        const auto it = replyTexts.find(path);
        text = it != replyTexts.end() ? it->second : std::string();
    }
    switch (fault) {
        case Fault::None: return path == netTestPath ? envelope(payload) : text;
        case Fault::EmptyEnvelope: return envelope("");
        case Fault::WrongLength: {
            std::string out = envelope(payload);
            const uint32_t n = static_cast<uint32_t>(out.size() - 24 + 1);
            for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
            return out;
        }
        case Fault::WrongDigest: {
            std::string out = envelope(payload);
            out[8] = static_cast<char>(out[8] ^ 0x01);
            return out;
        }
        case Fault::WrongMagic: {
            std::string out = envelope(payload);
            out[0] = 0x01;
            out[1] = 0x02;
            out[2] = 0x03;
            out[3] = 0x04;
            return out;
        }
        case Fault::Garbage: return literal("\x01\xff\x10ZZ garbage\r\n");
        case Fault::PlainText:
        case Fault::Drip: return plain;
        case Fault::ControlText: return literal("Line with\ta tab\r\nMark\x1e" "1red\r\nNul\0end\r\n");
        case Fault::ControlEnvelope:
            return envelope(literal("masterServer=127.0.0.1:23006\r\nmessage=Mark\x1e" "1red\ttab\0nul\r\n"));
        case Fault::HugeBody: {
            std::string out;
            out.reserve(hugeBodySize);
            while (out.size() < hugeBodySize) out += "A line of text from a very talkative server.\r\n";
            out.resize(hugeBodySize);
            return out;
        }
        case Fault::Stall:
        case Fault::Refused:
        case Fault::NotFound: return "";
    }
    return "";
}

bool FakeMakerService::parseBody(const std::string& path, const std::string& body, std::vector<Part>& parts, std::string& reason) {
    parts.clear();
    size_t pos = 0;
    if (!expect(body, pos, "\r\n" + boundaryLine)) {
        reason = "body does not begin with CR LF and the boundary";
        return false;
    }
    for (;;) {
        if (expect(body, pos, "--\r\n")) {
            if (pos != body.size()) {
                reason = "bytes after the closing delimiter";
                return false;
            }
            break;
        }
        if (!expect(body, pos, "\r\nContent-Disposition: form-data; name=\"")) {
            reason = "part " + std::to_string(parts.size()) + " has no form-data header";
            return false;
        }
        Part part;
        if (!quoted(body, pos, part.name)) {
            reason = "unterminated field name";
            return false;
        }
        if (expect(body, pos, "; filename=\"")) {
            part.bFile = true;
            if (!quoted(body, pos, part.fileName) ||
                !expect(body, pos, "\r\nContent-Type: application/octet-stream")) {
                reason = "malformed file part header";
                return false;
            }
        }
        if (!expect(body, pos, "\r\n\r\n")) {
            reason = "part header of '" + part.name + "' does not end with an empty line";
            return false;
        }
        const size_t end = body.find("\r\n" + boundaryLine, pos);
        if (end == std::string::npos) {
            reason = "no closing delimiter";
            return false;
        }
        part.data = body.substr(pos, end - pos);
        pos = end + 2 + boundaryLine.size();
        parts.push_back(std::move(part));
    }

    const char* const standard[4][2] = {
        {"platform", "WIN"}, {"gameName", "VeskDiruzuri"}, {"gameVersion", "1.47"}, {"gamePatch", "o"}};
    if (parts.size() < 4) {
        reason = "fewer than the four standard fields";
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (parts[i].name != standard[i][0] || parts[i].bFile || parts[i].data != standard[i][1]) {
            reason = "standard field " + std::to_string(i) + " is not " + standard[i][0] + "=" + standard[i][1];
            return false;
        }
    }
    const size_t extra = parts.size() - 4;
    if (path == netTestPath) {
        if (extra != 0) {
            reason = "the network test takes no further parts";
            return false;
        }
    } else if (path == scoreUploadPath) {
        if (extra != 1 || parts[4].name != "HSTfile" || !parts[4].bFile || parts[4].fileName.empty()) {
            reason = "the score upload takes exactly one file part HSTfile";
            return false;
        }
        if (!checkScoreRecord(parts[4].data, reason)) return false;
    } else if (path == crashReportPath) {
        int next = 0;
        for (size_t i = 4; i < parts.size(); ++i) {
            int index = -1;
            for (int k = next; k < 4; ++k) {
                if (parts[i].name == crashPartOrder[k]) index = k;
            }
            if (index < 0 || !parts[i].bFile || parts[i].fileName.empty()) {
                reason = "crash part '" + parts[i].name + "' unknown, repeated, out of order or without a file name";
                return false;
            }
            next = index + 1;
        }
    } else {
        reason = "unknown path";
        return false;
    }
    return true;
}

bool FakeMakerService::checkScoreRecord(const std::string& record, std::string& reason) {
    if (record.size() != scoreRecordSize) {
        reason = "score record of " + std::to_string(record.size()) + " bytes";
        return false;
    }
    if (sealScoreRecord(record).compare(0, 16, record, 0, 16) != 0) {
        reason = "score record seal does not recompute";
        return false;
    }
    for (size_t i = scoreRecordSize - 8; i < scoreRecordSize; ++i) {
        if (record[i] != 0) {
            reason = "score record tail is not zero";
            return false;
        }
    }
    return true;
}

std::string FakeMakerService::sealScoreRecord(std::string record) {
    if (record.size() < 16) return record;
    std::fill(record.begin(), record.begin() + 16, '\0');
    uint8_t digest[16];
    md5WithKey(digest, scoreSalt, record.data(), static_cast<int>(record.size()));
    std::memcpy(record.data(), digest, 16);
    return record;
}

LoopbackHttpServer::Reply FakeMakerService::answer(const std::string& path, const std::string& request) {
    Received entry;
    entry.path = path;
    entry.method = request.substr(0, request.find(' '));
    const size_t headEnd = request.find("\r\n\r\n");
    const std::string head = request.substr(0, headEnd);
    const std::string body = headEnd == std::string::npos ? std::string() : request.substr(headEnd + 4);
    entry.bodyLength = body.size();

    Fault fault = Fault::None;
    {
        std::lock_guard lock(mutex);
        const auto it = faults.find(path);
        if (it != faults.end()) fault = it->second;
        else if (faultForAll) fault = *faultForAll;
    }

    LoopbackHttpServer::Reply reply;
    const bool bKnownPath = path == netTestPath || path == scoreUploadPath || path == crashReportPath;
    if (fault == Fault::Stall) {
        reply.bHang = true;
    } else if (fault == Fault::Refused) {
        reply.bReset = true;
    } else if (fault == Fault::NotFound || !bKnownPath) {
        reply.status = 404;
        reply.body = "Not found\r\n";
    } else if (entry.method != "POST") {
        reply.status = 400;
        entry.rejection = "method " + entry.method + " instead of POST";
    } else if (headerValue(head, "Content-Type") != contentType) {
        reply.status = 400;
        entry.rejection = "content type is not the game's multipart form";
    } else if (!parseBody(path, body, entry.parts, entry.rejection)) {
        reply.status = 400;
    } else {
        reply.body = bodyFor(path, fault);
        if (fault == Fault::Drip) reply.dripEveryMs = 200;
    }
    if (reply.status == 400) reply.body = "Bad request: " + entry.rejection + "\r\n";
    entry.status = reply.bHang || reply.bReset ? 0 : reply.status;

    std::lock_guard lock(mutex);
    log.push_back(std::move(entry));
    return reply;
}
