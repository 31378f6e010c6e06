// The fake maker service that the online pages' tests talk to: it must accept exactly what the
// game sends and refuse anything else, and each of its faults must reach the game as scripted.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "engine/HttpRequest.h"
#include "engine/MD5Context.h"
#include "support/FakeMakerService.h"
#include "support/TestFolder.h"

namespace {

using Fault = FakeMakerService::Fault;

const std::string boundary = "---------------------------7d33992b80330";

std::string field(const std::string& name, const std::string& value) {
    return "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value;
}

std::string filePart(const std::string& name, const std::string& fileName, const std::string& data) {
    return "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" + fileName +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + data;
}

const std::string standardFields =
    field("platform", "WIN") + field("gameName", "VeskDiruzuri") + field("gameVersion", "1.47") + field("gamePatch", "o");
const std::string closing = "\r\n--" + boundary + "--\r\n";

// A score record as the game builds it: varied bytes, zero tail, sealed.
std::string scoreRecord() {
    std::string record(FakeMakerService::scoreRecordSize, '\0');
    for (size_t i = 16; i < record.size() - 8; ++i) record[i] = static_cast<char>(i * 13 + (i >> 7));
    return FakeMakerService::sealScoreRecord(record);
}

std::string replyOf(const HttpRequest& request) {
    const ByteBuffer& r = request.getReply();
    return std::string(reinterpret_cast<const char*>(r.data()), static_cast<size_t>(r.length()));
}

int waitForResult(const HttpRequest& request) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (request.getState() == HttpRequest::STATE_RUNNING && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return request.getState();
}

struct FakeMakerServiceTest : testing::Test {
    FakeMakerService service;
    std::unique_ptr<HttpRequest> send(const std::string& path, const std::string& rawBody = "", bool bStandard = true) {
        auto request = std::make_unique<HttpRequest>(utf8ToWide(service.host()), utf8ToWide(path));
        request->setTimeouts(5000, 300);
        if (bStandard) request->addStandardFields();
        if (!rawBody.empty()) request->appendBody(rawBody.data(), static_cast<int>(rawBody.size()));
        request->start();
        waitForResult(*request);
        return request;
    }
};

}  // namespace

// What the game's own request code sends is accepted on every path, parts recorded in order.
TEST_F(FakeMakerServiceTest, AcceptsTheGamesRequestsOnEachPath) {
    const std::string record = scoreRecord();
    const std::string crashLog = "line 1\r\nline 2\n";
    const std::string crashShot("\xff\xd8\x00jpeg", 7);
    struct Case {
        const char* path;
        std::string parts;
        std::vector<std::string> names;
        size_t bodyLength;
    } cases[] = {
        {FakeMakerService::netTestPath, "", {}, 460},
        {FakeMakerService::scoreUploadPath, filePart("HSTfile", "VeskDiruzuri.hst", record), {"HSTfile"}, 3617},
        {FakeMakerService::crashReportPath,
         filePart("crashLog", "/tmp/u/crash.VeskDiruzuri.log", crashLog) +
             filePart("crashScreenshot", "/tmp/u/crash.VeskDiruzuri.jpg", crashShot),
         {"crashLog", "crashScreenshot"},
         0},
        {FakeMakerService::crashReportPath, "", {}, 0},
    };
    size_t index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto request = send(c.path, c.parts);
        ASSERT_EQ(request->getState(), HttpRequest::STATE_DONE) << wideToUtf8(request->getErrorText());
        ASSERT_TRUE(service.waitForRequests(index + 1, 5000));
        const FakeMakerService::Received r = service.received()[index++];
        EXPECT_EQ(r.status, 200) << r.rejection;
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.bodyLength, request->getBody().size());
        if (c.bodyLength) {
            EXPECT_EQ(r.bodyLength, c.bodyLength);
        }
        ASSERT_EQ(r.parts.size(), 4 + c.names.size());
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(r.parts[4 + i].name, c.names[i]);
            EXPECT_TRUE(r.parts[4 + i].bFile);
        }
    }
    const auto all = service.received();
    EXPECT_EQ(all[1].parts[4].data, record);
    EXPECT_EQ(all[1].parts[4].fileName, "VeskDiruzuri.hst");
    EXPECT_EQ(all[2].parts[4].data, crashLog);
    EXPECT_EQ(all[2].parts[4].fileName, "/tmp/u/crash.VeskDiruzuri.log");
    EXPECT_EQ(all[2].parts[5].data, crashShot);
}

// Any deviation from the game's body is refused with the reason.
TEST(FakeMakerServiceBody, DeviationsAreRefused) {
    std::string badSeal = scoreRecord();
    badSeal[100] ^= 1;
    std::string badTail = scoreRecord();
    badTail[2991] = 1;
    badTail = FakeMakerService::sealScoreRecord(badTail);
    struct Case {
        const char* what;
        const char* path;
        std::string body;
        const char* reason;  // a piece of the reason
    } cases[] = {
        {"no leading CR LF", FakeMakerService::netTestPath, standardFields.substr(2) + closing, "does not begin"},
        {"no closing delimiter", FakeMakerService::netTestPath, standardFields, "no closing delimiter"},
        {"bytes after closing", FakeMakerService::netTestPath, standardFields + closing + "x", "after the closing"},
        {"wrong platform", FakeMakerService::netTestPath,
         field("platform", "LINUX") + standardFields.substr(field("platform", "WIN").size()) + closing, "standard field 0"},
        {"fields swapped", FakeMakerService::netTestPath,
         field("gameName", "VeskDiruzuri") + field("platform", "WIN") + field("gameVersion", "1.47") +
             field("gamePatch", "o") + closing,
         "standard field 0"},
        {"three fields", FakeMakerService::netTestPath,
         field("platform", "WIN") + field("gameName", "VeskDiruzuri") + field("gameVersion", "1.47") + closing, "fewer"},
        {"part on the net test", FakeMakerService::netTestPath, standardFields + field("x", "y") + closing, "no further"},
        {"upload without file", FakeMakerService::scoreUploadPath, standardFields + closing, "exactly one"},
        {"upload as plain field", FakeMakerService::scoreUploadPath, standardFields + field("HSTfile", scoreRecord()) + closing,
         "exactly one"},
        {"upload one byte short", FakeMakerService::scoreUploadPath,
         standardFields + filePart("HSTfile", "VeskDiruzuri.hst", scoreRecord().substr(1)) + closing, "2991 bytes"},
        {"upload bad seal", FakeMakerService::scoreUploadPath,
         standardFields + filePart("HSTfile", "VeskDiruzuri.hst", badSeal) + closing, "seal"},
        {"upload non-zero tail", FakeMakerService::scoreUploadPath,
         standardFields + filePart("HSTfile", "VeskDiruzuri.hst", badTail) + closing, "tail"},
        {"crash parts out of order", FakeMakerService::crashReportPath,
         standardFields + filePart("crashScreenshot", "/a.jpg", "j") + filePart("crashLog", "/a.log", "l") + closing, "order"},
        {"crash part twice", FakeMakerService::crashReportPath,
         standardFields + filePart("crashLog", "/a.log", "l") + filePart("crashLog", "/a.log", "l") + closing, "repeated"},
        {"crash part unknown", FakeMakerService::crashReportPath, standardFields + filePart("core", "/core", "c") + closing,
         "unknown"},
        {"crash part without file name", FakeMakerService::crashReportPath, standardFields + field("crashLog", "l") + closing,
         "file name"},
        {"unknown path", "/vesk/other.php", standardFields + closing, "unknown path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<FakeMakerService::Part> parts;
        std::string reason;
        EXPECT_FALSE(FakeMakerService::parseBody(c.path, c.body, parts, reason));
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

TEST_F(FakeMakerServiceTest, RefusedBodyIsAnsweredWithStatus400) {
    auto request = send(FakeMakerService::netTestPath, field("extra", "1"));
    EXPECT_EQ(request->getState(), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request->getErrorText(), u"Failed with HTTP status code 400");
    ASSERT_TRUE(service.waitForRequests(1, 5000));
    EXPECT_EQ(service.received()[0].status, 400);
    EXPECT_NE(service.received()[0].rejection.find("no further parts"), std::string::npos);

    // A GET (no body at all) is not the game's request either.
    auto get = send(FakeMakerService::netTestPath, "", false);
    EXPECT_EQ(get->getErrorText(), u"Failed with HTTP status code 400");
}

// Each fault reaches the game as described: the envelope's fields are checked byte by byte.
TEST_F(FakeMakerServiceTest, FaultsShapeTheAnswer) {
    const std::string payload = "masterServer=1.2.3.4:5\r\nmessage=hi\r\n";
    service.setNetTestPayload(payload);
    auto u32At = [](const std::string& s, size_t at) {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
        return v;
    };
    auto digestMatches = [](const std::string& s) {
        uint8_t digest[16];
        md5(digest, s.data() + 24, static_cast<int>(s.size() - 24));
        return std::memcmp(digest, s.data() + 8, 16) == 0;
    };
    struct Case {
        Fault fault;
        int state;
        const char16_t* error;
        std::function<void(const std::string&)> check;
    } cases[] = {
        {Fault::None, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             ASSERT_EQ(r.size(), 24 + payload.size());
             EXPECT_EQ(u32At(r, 0), 0x01020304u);
             EXPECT_EQ(u32At(r, 4), payload.size());
             EXPECT_TRUE(digestMatches(r));
             EXPECT_EQ(r.substr(24), payload);
         }},
        {Fault::EmptyEnvelope, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             ASSERT_EQ(r.size(), 24u);
             EXPECT_EQ(u32At(r, 4), 0u);
             EXPECT_TRUE(digestMatches(r));
         }},
        {Fault::WrongLength, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             EXPECT_EQ(u32At(r, 4), r.size() - 24 + 1);
             EXPECT_TRUE(digestMatches(r));
         }},
        {Fault::WrongDigest, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             EXPECT_EQ(u32At(r, 4), r.size() - 24);
             EXPECT_FALSE(digestMatches(r));
         }},
        {Fault::WrongMagic, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             EXPECT_EQ(u32At(r, 0), 0x04030201u);
             EXPECT_TRUE(digestMatches(r));
         }},
        {Fault::Garbage, HttpRequest::STATE_DONE, u"", [](const std::string& r) { EXPECT_EQ(r[0], '\x01'); }},
        {Fault::PlainText, HttpRequest::STATE_DONE, u"",
         [](const std::string& r) { EXPECT_EQ(r, "Hello from the maker.\r\nSecond line\n"); }},
        {Fault::ControlText, HttpRequest::STATE_DONE, u"",
         [](const std::string& r) {
             EXPECT_NE(r.find('\x1e'), std::string::npos);
             EXPECT_NE(r.find('\0'), std::string::npos);
             EXPECT_NE(r.find('\t'), std::string::npos);
         }},
        {Fault::ControlEnvelope, HttpRequest::STATE_DONE, u"",
         [&](const std::string& r) {
             EXPECT_TRUE(digestMatches(r));
             EXPECT_NE(r.find("message=Mark\x1e"), std::string::npos);
         }},
        {Fault::NotFound, HttpRequest::STATE_FAILED, u"Failed with HTTP status code 404", nullptr},
        {Fault::Stall, HttpRequest::STATE_FAILED, u"Could not send request (error 00002ee2)", nullptr},
        {Fault::Refused, HttpRequest::STATE_FAILED, u"Could not send request (error 00002eff)", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FakeMakerService::faultName(c.fault));
        service.setFault(FakeMakerService::netTestPath, c.fault);
        auto request = send(FakeMakerService::netTestPath);
        EXPECT_EQ(request->getState(), c.state);
        EXPECT_EQ(request->getErrorText(), c.error);
        if (c.check) c.check(replyOf(*request));
    }
}

TEST_F(FakeMakerServiceTest, FaultsArePerPath) {
    service.setFault(FakeMakerService::scoreUploadPath, Fault::NotFound);
    EXPECT_EQ(send(FakeMakerService::netTestPath)->getState(), HttpRequest::STATE_DONE);
    EXPECT_EQ(send(FakeMakerService::scoreUploadPath)->getErrorText(), u"Failed with HTTP status code 404");
    service.setFaultForAll(Fault::PlainText);
    auto crash = send(FakeMakerService::crashReportPath);
    ASSERT_EQ(crash->getState(), HttpRequest::STATE_DONE);
    EXPECT_EQ(replyOf(*crash), "Hello from the maker.\r\nSecond line\n");
}

TEST_F(FakeMakerServiceTest, HugeBodyIsTenMegabytesOfText) {
    const std::string body = service.bodyFor(FakeMakerService::netTestPath, Fault::HugeBody);
    EXPECT_EQ(body.size(), 10u * 1024 * 1024);
    EXPECT_EQ(body.find_first_not_of("A line of text from a very talkative server.\r\n"), std::string::npos);
}

TEST_F(FakeMakerServiceTest, RefusingHostRefusesConnections) {
    HttpRequest request(utf8ToWide(service.refusingHost()), u"/vesk/nettest.php");
    request.addStandardFields();
    request.start();
    EXPECT_EQ(waitForResult(request), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request.getErrorText(), u"Could not send request (error 00002efd)");
}

TEST(FakeMakerServiceNames, FaultNamesRoundTrip) {
    for (Fault f : {Fault::None, Fault::EmptyEnvelope, Fault::WrongLength, Fault::WrongDigest, Fault::WrongMagic,
                    Fault::Garbage, Fault::PlainText, Fault::ControlText, Fault::ControlEnvelope, Fault::HugeBody,
                    Fault::Stall, Fault::Refused, Fault::NotFound}) {
        EXPECT_EQ(FakeMakerService::faultFromName(FakeMakerService::faultName(f)), f);
    }
    EXPECT_FALSE(FakeMakerService::faultFromName("bogus"));
}

#ifdef FAKE_MAKER_SERVICE_PROGRAM
namespace {

// Runs the program with arguments; returns its pid and the port it printed.
pid_t startProgram(const std::vector<std::string>& args, int& port) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv{const_cast<char*>(FAKE_MAKER_SERVICE_PROGRAM)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    port = line.empty() ? 0 : std::stoi(line);
    return pid;
}

int stopProgram(pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(FakeMakerServiceProgram, ServesWithFaultsAndRecordsParts) {
    TestFolder dir("fake-service");
    int port = 0;
    const pid_t pid = startProgram({"--fault", "/vesk/highscoreupload.php=not-found", "--record", dir.path}, port);
    ASSERT_GT(pid, 0);
    ASSERT_GT(port, 0);
    const WString host = utf8ToWide("127.0.0.1:" + std::to_string(port));

    HttpRequest crash(host, u"/vesk/crashreport.php");
    crash.addStandardFields();
    const std::string log("log\0bytes", 9);
    crash.addPart(log.data(), static_cast<int>(log.size()), u"crashLog", u"/x/crash.VeskDiruzuri.log");
    crash.start();
    EXPECT_EQ(waitForResult(crash), HttpRequest::STATE_DONE) << wideToUtf8(crash.getErrorText());

    HttpRequest upload(host, u"/vesk/highscoreupload.php");
    upload.addStandardFields();
    upload.start();
    EXPECT_EQ(waitForResult(upload), HttpRequest::STATE_FAILED);
    EXPECT_EQ(upload.getErrorText(), u"Failed with HTTP status code 404");

    const int status = stopProgram(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    std::ifstream list(dir.path + "/requests.txt");
    std::stringstream text;
    text << list.rdbuf();
    EXPECT_EQ(text.str(),
              "0 /vesk/crashreport.php 200 " + std::to_string(crash.getBody().size()) +
                  "\n\tplatform\t\t3\n\tgameName\t\t12\n\tgameVersion\t\t4\n\tgamePatch\t\t1\n"
                  "\tcrashLog\t/x/crash.VeskDiruzuri.log\t9\n"
                  "1 /vesk/highscoreupload.php 404 " + std::to_string(upload.getBody().size()) + "\n");
    std::ifstream part(dir.path + "/0-crashLog.bin", std::ios::binary);
    std::stringstream bytes;
    bytes << part.rdbuf();
    EXPECT_EQ(bytes.str(), log);
}

TEST(FakeMakerServiceProgram, RefusedPrintsAPortThatRefuses) {
    int port = 0;
    const pid_t pid = startProgram({"--fault", "refused"}, port);
    ASSERT_GT(pid, 0);
    ASSERT_GT(port, 0);
    HttpRequest request(utf8ToWide("127.0.0.1:" + std::to_string(port)), u"/vesk/nettest.php");
    request.addStandardFields();
    request.start();
    EXPECT_EQ(waitForResult(request), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request.getErrorText(), u"Could not send request (error 00002efd)");
    stopProgram(pid);
}
#endif
