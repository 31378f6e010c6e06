// The score upload and the crash report on the real screen stack, against the fake maker service
// (and a plain loopback server for answers the service does not give): the bodies they send, what they show for each kind of answer, their
// NEXT button, which crash files are sent and when they are removed, and the start-up check.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "ScreenFixture.h"
#include "menus/MenuApplication.h"
#include "ui/AppText.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MessageViewer.h"
#include "ui/UserFiles.h"
#include "engine/HttpRequest.h"
#include "engine/MD5Context.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "menus/ContextErrorReport.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/ContextHighScoreUpload.h"
#include "menus/ContextNetworkConfig.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ScoreUploadData.h"
#include "platform/FileSystem.h"
#include "support/FakeMakerService.h"
#include "support/LoopbackHttpServer.h"

namespace {

// A file part as the service should receive it.
struct Part {
    std::string name;
    std::string fileName;
    std::string data;
};

bool exists(const WString& path) { return std::filesystem::exists(wideToUtf8(path)); }

struct OnlineUploadTest : ScreenTest {
    void SetUp() override {
        ScreenTest::SetUp();
        useHost(service.host());
        for (const auto& file : ContextErrorReport::crashFiles()) std::filesystem::remove_all(wideToUtf8(file.path));
    }
    void TearDown() override {
        HttpRequest::defaultStallTimeoutMs = savedStallTimeout;
        HttpRequest::defaultDeadlineMs = savedDeadline;
        platform::setFileFaultHook(nullptr);
        unsetenv("VESK_MAKER_HOST");
        ScreenTest::TearDown();
    }
    GameConfiguration& config() { return application->gameConfiguration; }
    static void useHost(const std::string& host) { setenv("VESK_MAKER_HOST", host.c_str(), 1); }

    // NEXT and CANCEL of the online pages: the bottom corners.
    void tapNext() { tap(305.0f, -200.0f); }
    void tapCancel() { tap(-305.0f, -200.0f); }

    // Ticks until the page has taken its request's result. The worker is a real thread; the
    // request's own time limits end every exchange, this bound only keeps a broken test from
    // hanging.
    template <class Page>
    bool tickUntilAnswered(Page* page) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end) {
            tick();
            if (page->request && page->request->getState() == HttpRequest::STATE_IDLE) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Ticks for a while of real time, letting a worker run.
    void tickFor(int milliseconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    static std::vector<WString> shown(MessageViewer* viewer) { return {viewer->lines.begin(), viewer->lines.end()}; }
    static std::vector<WString> lastShown(MessageViewer* viewer, size_t n) {
        std::vector<WString> all = shown(viewer);
        return {all.end() - std::min(n, all.size()), all.end()};
    }
    static WString text(const char16_t* key) { return AppText::text(key); }

    FakeMakerService service;
    LoopbackHttpServer server;
    const long savedStallTimeout = HttpRequest::defaultStallTimeoutMs;
    const long savedDeadline = HttpRequest::defaultDeadlineMs;
};

// The answers of the maker's service that every online page must survive.
struct ReplyCase {
    const char* name;
    enum Kind { SERVICE, REFUSING_HOST, PLAIN_SERVER } kind;
    FakeMakerService::Fault fault;
    int status;  // of the plain server
    // Shown after the request ended: the reply lines, or the start of the error text.
    std::vector<WString> lines;
    bool bSucceeds;
};

using Fault = FakeMakerService::Fault;
const ReplyCase replyCases[] = {
    {"PlainText", ReplyCase::SERVICE, Fault::PlainText, 0, {u"Hello from the maker.", u"Second line"}, true},
    {"ControlCharacters", ReplyCase::SERVICE, Fault::ControlText, 0, {u"Line with a tab", u"Mark1red", u"Nulend"}, true},
    {"HugeBody", ReplyCase::SERVICE, Fault::HugeBody, 0, {u"Could not read reply (error "}, false},
    {"Stall", ReplyCase::SERVICE, Fault::Stall, 0, {u"Could not send request (error 00002ee2)"}, false},
    {"Drip", ReplyCase::SERVICE, Fault::Drip, 0, {u"Could not read reply (error 00002ee2)"}, false},
    {"ResetUnanswered", ReplyCase::SERVICE, Fault::Refused, 0, {u"Could not send request (error "}, false},
    {"ConnectionRefused", ReplyCase::REFUSING_HOST, Fault::None, 0, {u"Could not send request (error 00002efd)"}, false},
    {"NotFound", ReplyCase::SERVICE, Fault::NotFound, 0, {u"Failed with HTTP status code 404"}, false},
    {"EmptyBody", ReplyCase::PLAIN_SERVER, Fault::None, 204, {}, true},
    {"ServerError", ReplyCase::PLAIN_SERVER, Fault::None, 500, {u"Failed with HTTP status code 500"}, false},
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

// The two upload pages behind one face for the shared cases.
enum class PageKind { SCORES, CRASH };

struct ReplyTest : OnlineUploadTest, testing::WithParamInterface<std::tuple<PageKind, ReplyCase>> {};

struct PageHandle {
    ContextMenu* page;
    MessageViewer* viewer;
    MenuItemButton* next;
    HttpRequest* const* request;
    const char16_t* path;
};

PageHandle makePage(PageKind kind) {
    if (kind == PageKind::SCORES) {
        auto* p = new ContextHighScoreUpload();
        return {p, p->viewer, p->nextButton, &p->request, ContextHighScoreUpload::PATH};
    }
    auto* p = new ContextErrorReport();
    return {p, p->viewer, p->nextButton, &p->request, ContextErrorReport::PATH};
}

}  // namespace

TEST_P(ReplyTest, ShowsTheOutcomeAndSetsNext) {
    const auto& [kind, c] = GetParam();
    config().bOnlineConfigured = 1;
    // A stall ends at the request's own limit, shortened here, and so does a drip.
    HttpRequest::defaultStallTimeoutMs = 1500;
    if (c.fault == Fault::Drip) {
        // A byte every 0.2 s never stalls; the deadline ends it.
        HttpRequest::defaultStallTimeoutMs = 5000;
        HttpRequest::defaultDeadlineMs = 3000;
    }
    if (c.kind == ReplyCase::REFUSING_HOST) {
        useHost(service.refusingHost());
    } else if (c.kind == ReplyCase::PLAIN_SERVER) {
        useHost(server.host());
        LoopbackHttpServer::Reply reply;
        reply.status = c.status;
        server.setDefaultReply(reply);
    } else {
        service.setFaultForAll(c.fault);
    }
    writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
    PageHandle h = makePage(kind);
    push(h.page);
    ASSERT_FALSE(h.next->bDisabled);
    tapNext();
    ASSERT_NE(*h.request, nullptr);
    EXPECT_TRUE(h.next->bDisabled);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((*h.request)->getState() != HttpRequest::STATE_IDLE && std::chrono::steady_clock::now() < end) {
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ((*h.request)->getState(), HttpRequest::STATE_IDLE);
    if (c.kind == ReplyCase::SERVICE) {
        // The service took the body as the game's own form.
        const auto received = service.received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].path, wideToUtf8(h.path));
        EXPECT_EQ(received[0].rejection, "");
    }

    std::vector<WString> expected;
    if (c.bSucceeds) {
        expected.push_back(text(u"CONNECTED"));
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.push_back(text(u"DONEDOT"));
    } else {
        expected = c.lines;
        expected.push_back(text(u"CHECKCONNECTION"));
        expected.push_back(text(u"FAILED"));
    }
    std::vector<WString> got = lastShown(h.viewer, expected.size());
    // Error numbers that depend on how the connection broke are compared by their start.
    if (!c.bSucceeds && !got.empty() && got[0].starts_with(expected[0])) got[0] = expected[0];
    EXPECT_EQ(got, expected);
    EXPECT_EQ(h.next->bDisabled, !c.bSucceeds);
    EXPECT_EQ(h.next->caption, text(c.bSucceeds ? u"FINISH" : u"NEXT"));
    // Nothing a server sends reaches the log as a control character.
    const std::string log = logText();
    EXPECT_EQ(log.find('\x1e'), std::string::npos);
    EXPECT_EQ(log.find('\x01'), std::string::npos);

    // FINISH closes the page; a failed page stays until CANCEL.
    tapNext();
    tick();
    EXPECT_EQ(stack->getTopContext() == nullptr, c.bSucceeds);
    if (!c.bSucceeds) {
        tapCancel();
        tick();
        EXPECT_EQ(stack->getTopContext(), nullptr);
    }
    EXPECT_FALSE(stack->bQuit && stack->getTopContext());
}

INSTANTIATE_TEST_SUITE_P(BothPages, ReplyTest,
                         testing::Combine(testing::Values(PageKind::SCORES, PageKind::CRASH),
                                          testing::ValuesIn(replyCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == PageKind::SCORES ? "Scores" : "Crash") +
                                    std::get<1>(info.param).name;
                         });

TEST_F(OnlineUploadTest, StalledServiceKeepsNextDisabledAndCancelLetsTheRequestGo) {
    useHost(server.host());
    for (PageKind kind : {PageKind::SCORES, PageKind::CRASH}) {
        SCOPED_TRACE(kind == PageKind::SCORES ? "scores" : "crash");
        config().bOnlineConfigured = 1;
        writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
        LoopbackHttpServer::Reply reply;
        reply.bHang = true;
        server.setDefaultReply(reply);
        const size_t before = server.requests().size();
        PageHandle h = makePage(kind);
        push(h.page);
        tapNext();
        ASSERT_TRUE(server.waitForRequests(before + 1, 20000));
        tickFor(200);
        EXPECT_EQ((*h.request)->getState(), HttpRequest::STATE_RUNNING);
        EXPECT_TRUE(h.next->bDisabled);
        EXPECT_EQ(lastShown(h.viewer, 1)[0], kind == PageKind::SCORES ? text(u"STARTINGDOTS") : text(u"ERRORREPORTPLEASEWAIT"));
        // Closing the page deletes the request; its worker lets go of the connection on its own.
        tapCancel();
        tick();
        EXPECT_EQ(stack->getTopContext(), nullptr);
        EXPECT_TRUE(server.waitForClosedHeldConnections(before + 1, 20000));
        // The interrupted crash report is kept for the next start.
        EXPECT_TRUE(exists(getCrashLogPath()));
    }
}

// The score upload.

TEST_F(OnlineUploadTest, ScoreUploadSendsTheSealedRecordOfTheStoredTable) {
    config().bOnlineConfigured = 1;
    config().addHighScore(123456, 17, true, u"Ann");
    config().addHighScore(99, 2, true, u"B\u00f6");
    config().addHighScore(7, 0, false, u"Unsealed");
    ASSERT_TRUE(config().save());
    service.setReplyText(FakeMakerService::scoreUploadPath, "ok");

    auto* page = new ContextHighScoreUpload();
    push(page);
    EXPECT_EQ(shown(page->viewer), (std::vector<WString>{text(u"UPLOADTEXT1"), text(u"UPLOADTEXT2"), text(u"UPLOADTEXT3")}));
    tapNext();
    EXPECT_EQ(lastShown(page->viewer, 1)[0], text(u"STARTINGDOTS"));
    ASSERT_TRUE(tickUntilAnswered(page));
    // The service took the form and the record (its length, seal and zero tail).
    const auto received = service.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].status, 200);
    EXPECT_EQ(received[0].rejection, "");
    EXPECT_EQ(received[0].bodyLength, 3617u);
    const auto& parts = received[0].parts;
    ASSERT_EQ(parts.size(), 5u);
    const std::pair<const char*, const char*> fields[] = {
        {"platform", "WIN"}, {"gameName", "VeskDiruzuri"}, {"gameVersion", "1.47"}, {"gamePatch", "o"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parts[i].name, fields[i].first);
        EXPECT_EQ(parts[i].data, fields[i].second);
        EXPECT_FALSE(parts[i].bFile);
    }
    EXPECT_EQ(parts[4].name, "HSTfile");
    EXPECT_EQ(parts[4].fileName, "VeskDiruzuri.hst");
    const std::string& record = parts[4].data;
    ASSERT_EQ(record.size(), 2992u);

    // The seal: MD5 over the salt's four bytes (little-endian) and the record with the seal zeroed.
    std::string unsealed = record;
    std::fill(unsealed.begin(), unsealed.begin() + 16, '\0');
    const std::string salted = std::string("\xa7\x41\x9c\x5e", 4) + unsealed;
    uint8_t digest[16];
    md5(digest, salted.data(), int(salted.size()));
    EXPECT_EQ(record.substr(0, 16), std::string(reinterpret_cast<char*>(digest), 16));
    EXPECT_EQ(record.substr(2984), std::string(8, '\0'));

    // The carried bytes are the stored file's record, rows and their own seals included.
    GameConfigurationRecord stored{};
    ASSERT_TRUE(loadUserFile(GameConfiguration::getConfigurationFileName(), getProductVersion(), &stored, sizeof(stored)));
    EXPECT_EQ(record.substr(16, 2968), std::string(reinterpret_cast<const char*>(&stored), 2968));
    EXPECT_STREQ(stored.highScores[0].name, "Ann");
}

TEST_F(OnlineUploadTest, DebugLineOnlyWhenDebugFeaturesAreUnlocked) {
    for (bool locked : {true, false}) {
        qel->bDebugLocked = locked;
        ContextHighScoreUpload page;
        const std::vector<WString> lines = shown(page.viewer);
        ASSERT_EQ(lines.size(), locked ? 3u : 4u) << locked;
        if (!locked) {
            EXPECT_EQ(lines[3], u"Debug: sizeof(ScoreUploadData)=2992, mod8=0");
        }
    }
    qel->bDebugLocked = true;
}

TEST_F(OnlineUploadTest, RecordCopiesTheHeadAndRowsAndNothingAfterThem) {
    GameConfigurationRecord record;
    std::memset(&record, 0xA5, sizeof(record));
    const ScoreUploadData data = ScoreUploadData::fromConfiguration(record);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&data);
    for (size_t i = 16; i < 2984; ++i) ASSERT_EQ(bytes[i], 0xA5) << i;
    for (size_t i = 2984; i < 2992; ++i) ASSERT_EQ(bytes[i], 0) << i;
    // Any change of a carried byte changes the seal.
    GameConfigurationRecord changed = record;
    reinterpret_cast<uint8_t*>(&changed)[2967] ^= 1;
    EXPECT_NE(std::memcmp(ScoreUploadData::fromConfiguration(changed).seal, data.seal, 16), 0);
    // Bytes after the rows (the display settings) are not part of it.
    GameConfigurationRecord display = record;
    reinterpret_cast<uint8_t*>(&display)[2968] ^= 1;
    EXPECT_EQ(std::memcmp(ScoreUploadData::fromConfiguration(display).seal, data.seal, 16), 0);
}

TEST_F(OnlineUploadTest, UploadScoresOpensTheWizardBeforeTheNetworkIsSetUpAndTheUploadAfter) {
    for (uint8_t configured : {0, 1}) {
        SCOPED_TRACE(int(configured));
        config().bOnlineConfigured = configured;
        push(new ContextHighScoreOptions());
        tap(0.0f, 50.0f);
        tick();
        EXPECT_EQ(top<ContextNetworkWizard1>() != nullptr, configured == 0);
        EXPECT_EQ(top<ContextHighScoreUpload>() != nullptr, configured == 1);
        while (stack->getTopContext()) {
            stack->getTopContext()->bDone = true;
            tick();
        }
    }
}

// The crash report.

TEST_F(OnlineUploadTest, CrashReportSendsTheFilesThatExistInTheirOrderByteForByte) {
    struct Case {
        const char* name;
        bool log, dump, screenshot, net;
        const char16_t* total;
    };
    // Sizes: log 1,000,000, dump 234,567, screenshot 3, net 10.
    const Case cases[] = {
        {"all", true, true, true, true, u"1,234,580"},
        {"log and screenshot", true, false, true, false, u"1,000,003"},
        {"dump and net", false, true, false, true, u"234,577"},
        {"none", false, false, false, false, u"0"},
    };
    config().bOnlineConfigured = 1;
    service.setReplyText(FakeMakerService::crashReportPath, "Report received.");
    std::string logBytes(1000000, '\0'), dumpBytes(234567, '\0');
    for (size_t i = 0; i < logBytes.size(); ++i) logBytes[i] = char(i * 7 + (i >> 9));
    for (size_t i = 0; i < dumpBytes.size(); ++i) dumpBytes[i] = char(i * 13 + 1);
    const std::string shotBytes("\xff\xd8\x00", 3), netBytes("\r\n--x\0\x1e\r\n\r\n", 10);
    size_t sent = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const struct {
            bool present;
            const char* part;
            WString path;
            const std::string* bytes;
        } files[] = {{c.log, "crashLog", getCrashLogPath(), &logBytes},
                     {c.dump, "crashMiniDump", getCrashDumpPath(), &dumpBytes},
                     {c.screenshot, "crashScreenshot", getCrashScreenshotPath(), &shotBytes},
                     {c.net, "crashNetTraffic", getCrashNetPath(), &netBytes}};
        for (const auto& f : files) {
            std::filesystem::remove(wideToUtf8(f.path));
            if (f.present) writeFileBytes(wideToUtf8(f.path), *f.bytes);
        }
        auto* page = new ContextErrorReport();
        push(page);
        tapNext();
        // A large report is packed over a few frames before it goes.
        for (int frame = 0; page->isPacking() && frame < 100; ++frame) tick();
        EXPECT_EQ(lastShown(page->viewer, 2),
                  (std::vector<WString>{format(text(u"ERRORREPORTUPLOADING"), WString(c.total)), text(u"ERRORREPORTPLEASEWAIT")}));
        ASSERT_TRUE(tickUntilAnswered(page));
        const auto received = service.received();
        ASSERT_EQ(received.size(), ++sent);
        EXPECT_EQ(received.back().rejection, "");
        const auto& parts = received.back().parts;
        std::vector<Part> expected;
        for (const auto& f : files) {
            if (f.present) expected.push_back({f.part, wideToUtf8(f.path), *f.bytes});
        }
        ASSERT_EQ(parts.size(), 4 + expected.size());
        EXPECT_EQ(parts[0].name, "platform");
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(parts[4 + i].name, expected[i].name);
            EXPECT_EQ(parts[4 + i].fileName, expected[i].fileName);
            EXPECT_TRUE(parts[4 + i].data == expected[i].data) << expected[i].name;
        }
        EXPECT_EQ(lastShown(page->viewer, 3),
                  (std::vector<WString>{text(u"CONNECTED"), u"Report received.", text(u"DONEDOT")}));
        tapNext();
        tick();
        EXPECT_EQ(stack->getTopContext(), nullptr);
        for (const auto& f : files) EXPECT_FALSE(exists(f.path)) << f.part;
    }
}

TEST_F(OnlineUploadTest, LargeCrashReportIsPackedOverSeveralFramesAndSentWhole) {
    // A log of two and a half frames' worth of packing, then a small dump: no frame packs more than
    // its share, the request leaves once all is in, and the service gets every byte in order.
    config().bOnlineConfigured = 1;
    const size_t share = ContextErrorReport::PACK_BYTES_PER_FRAME;
    std::string log(share * 5 / 2, '\0');
    for (size_t i = 0; i < log.size(); ++i) log[i] = char('a' + (i * 7) % 26);
    writeFileBytes(wideToUtf8(getCrashLogPath()), log);
    writeFileBytes(wideToUtf8(getCrashDumpPath()), "dump");
    auto* page = new ContextErrorReport();
    push(page);
    tapNext();
    int packingFrames = 1;
    while (page->isPacking() && packingFrames < 10) {
        EXPECT_EQ(page->request, nullptr);
        EXPECT_TRUE(page->nextButton->bDisabled);
        tick();
        ++packingFrames;
    }
    EXPECT_EQ(packingFrames, 3);
    ASSERT_NE(page->request, nullptr);
    ASSERT_TRUE(tickUntilAnswered(page));
    const auto received = service.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].rejection, "");
    const auto& parts = received[0].parts;
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[4].name, "crashLog");
    EXPECT_TRUE(parts[4].data == log);
    EXPECT_EQ(parts[5].name, "crashMiniDump");
    EXPECT_EQ(parts[5].data, "dump");
    EXPECT_TRUE(page->bUploadSucceeded);
}

TEST_F(OnlineUploadTest, CrashReportClosedWhilePackingIsKept) {
    config().bOnlineConfigured = 1;
    writeFileBytes(wideToUtf8(getCrashLogPath()), std::string(ContextErrorReport::PACK_BYTES_PER_FRAME * 2, 'x'));
    auto* page = new ContextErrorReport();
    push(page);
    tapNext();
    ASSERT_TRUE(page->isPacking());
    tapCancel();
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_TRUE(service.received().empty());
    // The player asked for the report to go: it waits for the next start.
    EXPECT_TRUE(exists(getCrashLogPath()));
}

TEST_F(OnlineUploadTest, CrashFileThatCannotBeReadIsSkippedAndLogged) {
    config().bOnlineConfigured = 1;
    qel->bDebugLocked = false;
    writeFileBytes(wideToUtf8(getCrashLogPath()), "the log");
    // A folder where the dump should be: not a file that can be sent.
    std::filesystem::create_directories(wideToUtf8(getCrashDumpPath()));
    writeFileBytes(wideToUtf8(getCrashScreenshotPath()), "jpg");
    auto* page = new ContextErrorReport();
    push(page);
    tapNext();
    ASSERT_TRUE(tickUntilAnswered(page));
    const auto received = service.received();
    ASSERT_EQ(received.size(), 1u);
    const auto& parts = received[0].parts;
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[4].name, "crashLog");
    EXPECT_EQ(parts[5].name, "crashScreenshot");
    EXPECT_NE(logText().find("ContextErrorReport::startUpload(): Skipping '" + wideToUtf8(getCrashDumpPath()) + "'"),
              std::string::npos);
    const std::vector<WString> lines = shown(page->viewer);
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"DEBUG: Adding crashLog"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"DEBUG: Adding crashScreenshot"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), u"DEBUG: Adding crashMiniDump"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), format(text(u"ERRORREPORTUPLOADING"), WString(u"10"))), lines.end());
    qel->bDebugLocked = true;
    std::filesystem::remove_all(wideToUtf8(getCrashDumpPath()));
}

TEST_F(OnlineUploadTest, CrashFilesGoOnlyAfterASuccessOrWhenPassedOverWhileSetUp) {
    struct Case {
        const char* name;
        bool configured;
        enum Action { CANCEL_AT_ONCE, FINISH, CANCEL_AFTER_FAILURE, CANCEL_WHILE_RUNNING, PROGRAM_ENDS, PROGRAM_ENDS_AFTER_SENDING } action;
        bool removed;
    };
    const Case cases[] = {
        {"not set up, cancelled", false, Case::CANCEL_AT_ONCE, false},
        {"set up, cancelled without sending", true, Case::CANCEL_AT_ONCE, true},
        {"sent and finished", true, Case::FINISH, true},
        {"failed upload, cancelled", true, Case::CANCEL_AFTER_FAILURE, false},
        {"interrupted upload", true, Case::CANCEL_WHILE_RUNNING, false},
        {"set up, program ends with the page open", true, Case::PROGRAM_ENDS, false},
        {"sent, program ends before FINISH", true, Case::PROGRAM_ENDS_AFTER_SENDING, true},
    };
    useHost(server.host());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config().bOnlineConfigured = c.configured;
        LoopbackHttpServer::Reply reply;
        reply.status = c.action == Case::CANCEL_AFTER_FAILURE ? 503 : 200;
        reply.bHang = c.action == Case::CANCEL_WHILE_RUNNING;
        server.setDefaultReply(reply);
        writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
        writeFileBytes(wideToUtf8(getCrashDumpPath()), "dump");
        writeFileBytes(wideToUtf8(getCrashScreenshotPath()), "jpg");
        auto* page = new ContextErrorReport();
        push(page);
        switch (c.action) {
            case Case::CANCEL_AT_ONCE:
                tapCancel();
                break;
            case Case::FINISH:
                tapNext();
                ASSERT_TRUE(tickUntilAnswered(page));
                tapNext();
                break;
            case Case::CANCEL_AFTER_FAILURE:
                tapNext();
                ASSERT_TRUE(tickUntilAnswered(page));
                tapCancel();
                break;
            case Case::CANCEL_WHILE_RUNNING:
                tapNext();
                tickFor(50);
                ASSERT_EQ(page->request->getState(), HttpRequest::STATE_RUNNING);
                tapCancel();
                break;
            case Case::PROGRAM_ENDS:
                break;
            case Case::PROGRAM_ENDS_AFTER_SENDING:
                tapNext();
                ASSERT_TRUE(tickUntilAnswered(page));
                break;
        }
        tick();
        if (c.action == Case::PROGRAM_ENDS || c.action == Case::PROGRAM_ENDS_AFTER_SENDING) {
            // The application object goes with the stack and every screen still on it.
            delete application;
            application = new MenuApplication();
            stack = application->pContextManager = new ContextManager();
        }
        EXPECT_EQ(stack->getTopContext(), nullptr);
        for (const WString& path : {getCrashLogPath(), getCrashDumpPath(), getCrashScreenshotPath()})
            EXPECT_EQ(exists(path), !c.removed) << wideToUtf8(path);
        config().bOnlineConfigured = 0;
    }
    // The ".net" file was never there: a missing file is removed without complaint.
    EXPECT_EQ(logText().find("Could not delete"), std::string::npos);
}

TEST_F(OnlineUploadTest, CrashFileThatCannotBeRemovedIsLogged) {
    config().bOnlineConfigured = 1;
    writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
    writeFileBytes(wideToUtf8(getCrashDumpPath()), "dump");
    platform::setFileFaultHook([](const std::string& path, platform::FileStep step) {
        return step == platform::FileStep::REMOVE && path.ends_with(".mdmp") ? EACCES : 0;
    });
    push(new ContextErrorReport());
    tapCancel();
    tick();
    platform::setFileFaultHook(nullptr);
    EXPECT_FALSE(exists(getCrashLogPath()));
    EXPECT_TRUE(exists(getCrashDumpPath()));
    EXPECT_NE(logText().find("ContextErrorReport::deleteCrashFiles(): Could not delete '" + wideToUtf8(getCrashDumpPath()) +
                             "' (Permission denied)."),
              std::string::npos);
}

TEST_F(OnlineUploadTest, NextWaitsForTheNetworkWizardAndTheAcceptedConfiguration) {
    writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
    auto* page = new ContextErrorReport();
    push(page);
    ASSERT_NE(page->wizardButton, nullptr);
    EXPECT_EQ(lastShown(page->viewer, 3),
              (std::vector<WString>{u"", text(u"ERRORREPORTWIZARD1"), text(u"ERRORREPORTWIZARD2")}));
    EXPECT_EQ(page->wizardButton->caption, text(u"NETWORKWIZARDDOTS"));
    EXPECT_TRUE(page->nextButton->bDisabled);
    EXPECT_FALSE(page->wizardButton->bDisabled);
    tapNext();
    EXPECT_EQ(page->request, nullptr);

    // The wizard button opens the network test; after the test and the accepted configuration
    // the page is back in front with NEXT working.
    config().bFullScreen = 0;
    tap(0.0f, -200.0f);
    tick();
    auto* wizard = top<ContextNetworkWizard1>();
    ASSERT_NE(wizard, nullptr);
    tapNext();
    ASSERT_TRUE(tickUntilAnswered(wizard));
    tapNext();
    tick();
    ASSERT_NE(top<ContextNetworkConfig>(), nullptr);
    tapNext();
    tick();
    ASSERT_EQ(stack->getTopContext(), page);
    EXPECT_EQ(config().bOnlineConfigured, 1);
    EXPECT_FALSE(page->nextButton->bDisabled);
    EXPECT_TRUE(page->wizardButton->bDisabled);
    EXPECT_EQ(service.received().size(), 1u);
    tapNext();
    ASSERT_TRUE(tickUntilAnswered(page));
    ASSERT_EQ(service.received().size(), 2u);
    EXPECT_EQ(service.received()[1].path, FakeMakerService::crashReportPath);

    // Built while set up: no wizard lines, no wizard button.
    ContextErrorReport configured;
    EXPECT_EQ(configured.wizardButton, nullptr);
    EXPECT_EQ(shown(configured.viewer).size(), 3u);
    EXPECT_FALSE(configured.nextButton->bDisabled);
}
