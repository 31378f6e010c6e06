#pragma once
// The maker's web service as the game sees it, on 127.0.0.1 for tests: the network test, the score
// upload and the crash report. Every request must be a POST with a multipart/form-data body in the
// game's exact form: the boundary, the standard fields platform "WIN", gameName "VeskDiruzuri",
// gameVersion "1.47" and gamePatch "o" in this order, then only the parts the path allows, then the
// closing delimiter and nothing after it. Anything else is answered 400; an unknown path 404.
//
//   "/vesk/nettest.php"          no further parts; answers the signed envelope (magic 04 03 02 01,
//                                payload length, MD5 of the payload, INI payload)
//   "/vesk/highscoreupload.php"  one part "HSTfile" with a file name and a 2992-byte score record
//                                whose salted seal recomputes and whose last 8 bytes are zero
//   "/vesk/crashreport.php"      file parts among crashLog, crashMiniDump, crashScreenshot,
//                                crashNetTraffic, each at most once and in this order
//
// Each path can be given a fault that shapes its answer. Accepted and refused requests are both
// recorded, with their parts, for the tests to look at.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/LoopbackHttpServer.h"

class FakeMakerService {
public:
    static constexpr char netTestPath[] = "/vesk/nettest.php";
    static constexpr char scoreUploadPath[] = "/vesk/highscoreupload.php";
    static constexpr char crashReportPath[] = "/vesk/crashreport.php";
    static constexpr uint32_t scoreSalt = 0x5e9c41a7u;
    static constexpr size_t scoreRecordSize = 2992;
    static constexpr size_t hugeBodySize = 10u * 1024u * 1024u;

    enum class Fault {
        None,            // the path's normal answer
        EmptyEnvelope,   // a valid envelope of exactly 24 bytes: N = 0, the digest of nothing
        WrongLength,     // an envelope whose N is one more than its payload
        WrongDigest,     // an envelope whose digest has one bit flipped
        WrongMagic,      // an envelope beginning 01 02 03 04
        Garbage,         // bytes that are neither an envelope nor printable (first byte 0x01)
        PlainText,       // printable text: two lines, or the text given by setPlainText
        ControlText,     // text, printable at its start, carrying U+001E, NUL and a tab in its lines
        ControlEnvelope, // a valid envelope whose "message" carries U+001E, NUL and a tab
        HugeBody,        // 10 MB of printable text, status 200
        Stall,           // reads the request, never answers
        Refused,         // reads the request, then resets the connection unanswered
        NotFound,        // status 404
        Drip,            // status 200 at once, then the plain text a byte every 200 ms: never a stall
    };

    // The name used on the program's command line ("wrong-length", ...), and back.
    static const char* faultName(Fault fault);
    static std::optional<Fault> faultFromName(const std::string& name);

    struct Part {
        std::string name;
        std::string fileName;  // empty for a plain field
        bool bFile = false;
        std::string data;
    };

    struct Received {
        std::string path;
        std::string method;
        int status = 0;         // what the service answered (0: no answer)
        std::string rejection;  // why a body was refused (status 400), else empty
        size_t bodyLength = 0;
        std::vector<Part> parts;  // all parts, standard fields included
    };

    FakeMakerService();
    ~FakeMakerService();
    FakeMakerService(const FakeMakerService&) = delete;
    FakeMakerService& operator=(const FakeMakerService&) = delete;

    // "127.0.0.1:port" of the service.
    std::string host() const { return server.host(); }
    uint16_t port() const { return server.port(); }
    // "127.0.0.1:port" of a socket that is bound but never listens: every connection is refused.
    std::string refusingHost() const;
    uint16_t refusingPort() const { return refusedPort; }

    void setFault(const std::string& path, Fault fault);
    void setFaultForAll(Fault fault);
    // The INI text of the network test's envelope.
    void setNetTestPayload(const std::string& ini);
    // The text answered by the score upload and the crash report.
    void setReplyText(const std::string& path, const std::string& text);
    // The text answered on any path with Fault::PlainText.
    void setPlainText(const std::string& text);

    std::vector<Received> received();
    // Waits until n requests have been answered or refused (at most timeoutMs).
    bool waitForRequests(size_t n, int timeoutMs);

    // The answer bodies, for tests that check a decoder without a connection.
    static std::string envelope(const std::string& payload);
    std::string bodyFor(const std::string& path, Fault fault);

    // Checks a body against the multipart form of a path: the parts, or the reason for refusing.
    static bool parseBody(const std::string& path, const std::string& body, std::vector<Part>& parts, std::string& reason);
    // Checks a 2992-byte score record: size, seal and zero tail.
    static bool checkScoreRecord(const std::string& record, std::string& reason);
    // The record sealed as the game seals it (bytes 0..15 are replaced by the seal).
    static std::string sealScoreRecord(std::string record);

private:
    LoopbackHttpServer::Reply answer(const std::string& path, const std::string& request);

    int refusingFd = -1;
    uint16_t refusedPort = 0;
    std::mutex mutex;
    std::map<std::string, Fault> faults;
    std::optional<Fault> faultForAll;
    std::string netTestPayload;
    std::string plainText = "Hello from the maker.\r\nSecond line\n";
    std::map<std::string, std::string> replyTexts;
    std::vector<Received> log;
    // Last, so that it is destroyed first: its thread ends before the state it uses goes.
    LoopbackHttpServer server;
};
