#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "engine/HttpRequest.h"
#include "support/LoopbackHttpServer.h"

namespace {

const std::string delimiter = "\r\n-----------------------------7d33992b80330";
const std::string closing = "\r\n-----------------------------7d33992b80330--\r\n";

std::string bodyOf(const HttpRequest& request) {
    const auto& b = request.getBody();
    return std::string(b.begin(), b.end());
}

std::string replyOf(const HttpRequest& request) {
    const ByteBuffer& r = request.getReply();
    return std::string(reinterpret_cast<const char*>(r.data()), static_cast<size_t>(r.length()));
}

// Waits for the worker (a real thread) to finish; the request's own limits end every exchange.
int waitForResult(const HttpRequest& request) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (request.getState() == HttpRequest::STATE_RUNNING && std::chrono::steady_clock::now() < end) {
        std::this_thread::yield();
    }
    return request.getState();
}

std::string headOf(const std::string& raw) { return raw.substr(0, raw.find("\r\n\r\n") + 4); }
std::string payloadOf(const std::string& raw) { return raw.substr(raw.find("\r\n\r\n") + 4); }

struct HttpRequestTest : testing::Test {
    LoopbackHttpServer server;
    std::unique_ptr<HttpRequest> make(const std::string& path) {
        auto request = std::make_unique<HttpRequest>(utf8ToWide(server.host()), utf8ToWide(path));
        request->setTimeouts(5000, 5000);
        return request;
    }
};

}  // namespace

TEST_F(HttpRequestTest, PlainPartIsSentByteForByteAsOnePost) {
    auto request = make("/vesk/nettest.php");
    request->addPart("abc\r\n\0z", 7, u"field", u"");
    const std::string part = delimiter + "\r\nContent-Disposition: form-data; name=\"field\"\r\n\r\n" + std::string("abc\r\n\0z", 7);
    EXPECT_EQ(bodyOf(*request), part);

    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE) << wideToUtf8(request->getErrorText());
    EXPECT_EQ(bodyOf(*request), part + closing);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    // The whole request as it went over the wire: our headers, a fixed length, no
    // "Expect: 100-continue", no chunking.
    EXPECT_EQ(requests[0], "POST /vesk/nettest.php HTTP/1.1\r\n"
                           "Host: " + server.host() + "\r\n"
                           "User-Agent: VeskDiruzuri\r\n"
                           "Accept: */*\r\n"
                           "Content-Type: multipart/form-data; boundary=---------------------------7d33992b80330\r\n"
                           "Pragma: no-cache\r\n"
                           "Content-Length: " + std::to_string(part.size() + closing.size()) + "\r\n"
                           "\r\n" + part + closing);
}

TEST_F(HttpRequestTest, FilePartCarriesFileNameAndContentType) {
    auto request = make("/vesk/highscoreupload.php");
    const std::string data("\x00\x01\xff\r\n--x", 8);
    request->addPart(data.data(), static_cast<int>(data.size()), u"HSTfile", u"VeskDiruzuri\u00e9.hst");
    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE) << wideToUtf8(request->getErrorText());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(payloadOf(requests[0]),
              delimiter +
                  "\r\nContent-Disposition: form-data; name=\"HSTfile\"; filename=\"VeskDiruzuri\xc3\xa9.hst\"\r\n"
                  "Content-Type: application/octet-stream\r\n\r\n" +
                  data + closing);
}

TEST_F(HttpRequestTest, LargeUploadIsSentWholeWithoutWaitingForContinue) {
    auto request = make("/vesk/crashreport.php");
    std::string dump(3 << 20, '\0');
    for (size_t i = 0; i < dump.size(); ++i) dump[i] = static_cast<char>(i * 31 + (i >> 12));
    request->addPart(dump.data(), static_cast<int>(dump.size()), u"crashMiniDump", u"crash.VeskDiruzuri.mdmp");
    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE) << wideToUtf8(request->getErrorText());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(headOf(requests[0]).find("Expect:"), std::string::npos);
    EXPECT_EQ(headOf(requests[0]).find("Transfer-Encoding:"), std::string::npos);
    EXPECT_TRUE(payloadOf(requests[0]) == bodyOf(*request));
}

TEST_F(HttpRequestTest, StandardFieldsAreFourPlainParts) {
    auto request = make("/p");
    request->addStandardFields();
    auto field = [](const std::string& name, const std::string& value) {
        return delimiter + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value;
    };
    EXPECT_EQ(bodyOf(*request), field("platform", "WIN") + field("gameName", "VeskDiruzuri") +
                                    field("gameVersion", "1.47") + field("gamePatch", "o"));
}

TEST_F(HttpRequestTest, RequestWithoutPartsIsAPlainGet) {
    auto request = make("/vesk/onlinehelp.php");
    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE);
    EXPECT_TRUE(request->getBody().empty());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET /vesk/onlinehelp.php HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("\r\nPragma: no-cache\r\n"), std::string::npos);
    EXPECT_EQ(payloadOf(requests[0]), "");
}

TEST_F(HttpRequestTest, StatusDecidesSuccess) {
    struct Case {
        int status;
        std::string body;
        int state;
        std::string error;
    } cases[] = {
        {200, "hello", HttpRequest::STATE_DONE, ""},
        {204, "", HttpRequest::STATE_DONE, ""},
        {299, "edge", HttpRequest::STATE_DONE, ""},
        {300, "", HttpRequest::STATE_FAILED, "Failed with HTTP status code 300"},
        {404, "missing", HttpRequest::STATE_FAILED, "Failed with HTTP status code 404"},
        {500, "oops", HttpRequest::STATE_FAILED, "Failed with HTTP status code 500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        const std::string path = "/s" + std::to_string(c.status);
        LoopbackHttpServer::Reply reply;
        reply.status = c.status;
        reply.body = c.body;
        server.setReply(path, reply);
        auto request = make(path);
        request->addStandardFields();
        request->start();
        EXPECT_EQ(waitForResult(*request), c.state);
        EXPECT_EQ(wideToUtf8(request->getErrorText()), c.error);
        EXPECT_EQ(replyOf(*request), c.state == HttpRequest::STATE_DONE ? c.body : "");
    }
}

TEST_F(HttpRequestTest, RedirectIsFollowed) {
    LoopbackHttpServer::Reply moved;
    moved.status = 302;
    moved.headers = {"Location: /vesk/final.php"};
    server.setReply("/vesk/nettest.php", moved);
    LoopbackHttpServer::Reply final;
    final.body = "arrived";
    server.setReply("/vesk/final.php", final);

    auto request = make("/vesk/nettest.php");
    request->addStandardFields();
    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE) << wideToUtf8(request->getErrorText());
    EXPECT_EQ(replyOf(*request), "arrived");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[1].find(" /vesk/final.php HTTP/1.1\r\n"), std::string::npos);
}

// The largest reply kept (64 KiB) arrives whole, over many reads.
TEST_F(HttpRequestTest, LargeReplyArrivesWhole) {
    LoopbackHttpServer::Reply big;
    for (int i = 0; i < HttpRequest::maxReplyLength; ++i) big.body.push_back(static_cast<char>(i * 7 + i / 251));
    server.setReply("/big", big);
    auto request = make("/big");
    request->start();
    ASSERT_EQ(waitForResult(*request), HttpRequest::STATE_DONE);
    EXPECT_EQ(replyOf(*request), big.body);
}

// A reply over 64 KiB is a failed read: nothing of it is kept, and the transfer stops early.
TEST_F(HttpRequestTest, ReplyOverTheLimitFails) {
    for (size_t size : {size_t(HttpRequest::maxReplyLength) + 1, size_t(10) << 20}) {
        SCOPED_TRACE(size);
        LoopbackHttpServer::Reply big;
        big.body.assign(size, 'x');
        server.setReply("/big", big);
        auto request = make("/big");
        request->addStandardFields();
        request->start();
        EXPECT_EQ(waitForResult(*request), HttpRequest::STATE_FAILED);
        EXPECT_EQ(request->getErrorText(), u"Could not read reply (error 00002ee4)");
        EXPECT_EQ(request->getReply().length(), 0);
    }
}

TEST_F(HttpRequestTest, RefusedConnectionFails) {
    HttpRequest request(utf8ToWide("127.0.0.1:" + std::to_string(LoopbackHttpServer::unusedPort())), u"/x");
    request.addStandardFields();
    request.start();
    EXPECT_EQ(waitForResult(request), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request.getErrorText(), u"Could not send request (error 00002efd)");
}

TEST_F(HttpRequestTest, StalledServerTimesOut) {
    LoopbackHttpServer::Reply hang;
    hang.bHang = true;
    server.setReply("/hang", hang);
    auto request = make("/hang");
    request->setTimeouts(5000, 150);
    request->start();
    EXPECT_EQ(waitForResult(*request), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request->getErrorText(), u"Could not send request (error 00002ee2)");
}

// A server that keeps a byte coming every so often never stalls; the deadline ends the exchange
// as a failed read, however long the stall limit.
TEST_F(HttpRequestTest, DrippingServerFailsAtTheDeadline) {
    LoopbackHttpServer::Reply drip;
    drip.body = std::string(1000, 'x');
    drip.dripEveryMs = 50;
    server.setReply("/drip", drip);
    auto request = make("/drip");
    request->setTimeouts(5000, 5000);
    request->setDeadline(600);
    const auto start = std::chrono::steady_clock::now();
    request->start();
    EXPECT_EQ(waitForResult(*request), HttpRequest::STATE_FAILED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "ended by the deadline, not the drip's end";
    EXPECT_EQ(request->getErrorText(), u"Could not read reply (error 00002ee2)");
    EXPECT_EQ(request->getReply().length(), 0);
}

TEST(HttpRequestDeadline, EveryRequestHasOneByDefault) {
    EXPECT_EQ(HttpRequest::defaultDeadlineMs, 60000);
}

TEST_F(HttpRequestTest, BodyBrokenAfterSuccessStatusIsAFailedTransfer) {
    LoopbackHttpServer::Reply broken;
    broken.body = std::string(10000, 'x');
    broken.bBreakBody = true;
    server.setReply("/broken", broken);
    auto request = make("/broken");
    request->start();
    EXPECT_EQ(waitForResult(*request), HttpRequest::STATE_FAILED);
    EXPECT_EQ(request->getErrorText(), u"Could not read reply (error 00002eff)");
    EXPECT_EQ(request->getReply().length(), 0);
}

TEST_F(HttpRequestTest, RequestDeletedWhileRunningStopsItsWorker) {
    LoopbackHttpServer::Reply hang;
    hang.bHang = true;
    server.setReply("/hang", hang);
    auto request = make("/hang");
    request->setTimeouts(5000, 60000);
    request->addStandardFields();
    request->start();
    ASSERT_TRUE(server.waitForRequests(1, 10000));
    request.reset();
    // The worker gives up its connection at once instead of waiting out its limits.
    EXPECT_TRUE(server.waitForClosedHeldConnections(1, 10000));
}

TEST_F(HttpRequestTest, ConcurrentRequestsKeepTheirOwnResults) {
    LoopbackHttpServer::Reply a, b;
    a.body = "first";
    b.body = "second";
    server.setReply("/a", a);
    server.setReply("/b", b);
    auto ra = make("/a");
    auto rb = make("/b");
    ra->start();
    rb->start();
    ASSERT_EQ(waitForResult(*ra), HttpRequest::STATE_DONE);
    ASSERT_EQ(waitForResult(*rb), HttpRequest::STATE_DONE);
    EXPECT_EQ(replyOf(*ra), "first");
    EXPECT_EQ(replyOf(*rb), "second");
    ra->setState(HttpRequest::STATE_IDLE);
    EXPECT_EQ(ra->getState(), HttpRequest::STATE_IDLE);
}

TEST(HttpRequestHost, MakerHostComesFromOneSetting) {
    setenv("VESK_MAKER_HOST", "127.0.0.1:8123", 1);
    EXPECT_EQ(HttpRequest::getMakerHost(), u"127.0.0.1:8123");
    unsetenv("VESK_MAKER_HOST");
    EXPECT_FALSE(HttpRequest::getMakerHost().empty());
}
