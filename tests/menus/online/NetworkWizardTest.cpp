// The network test wizard and the network configuration page on the real screen stack, against
// the fake maker service on loopback: every kind of answer the service can give, the master
// server's address, the switch to a window, the datagram port, and the configuration page.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>
#include <typeinfo>

#include "ui/AppText.h"
#include "ui/BackingPanel.h"
#include "ui/DrawnTextBoxes.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionItem.h"
#include "ui/MessageViewer.h"
#include "engine/HttpRequest.h"
#include "engine/NetAddress.h"
#include "menus/ContextHelp.h"
#include "menus/ContextNetworkConfig.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ContextOptions.h"
#include "menus/CountryPicker.h"
#include "menus/ScreenFixture.h"
#include "platform/Sockets.h"
#include "support/FakeMakerService.h"

namespace {

// The type of the screen on top of the stack.
const std::type_info& topType(const ContextManager& stack) {
    const Context* const top = stack.getTopContext();
    return typeid(*top);
}

using Fault = FakeMakerService::Fault;
using Clock = std::chrono::steady_clock;

WString text(const char16_t* key) { return AppText::text(key); }

struct NetworkWizardTest : ScreenTest {
    FakeMakerService service;
    double longestFrameMs = 0.0;
    // Where the log of the current case begins.
    size_t logMark = 0;

    void SetUp() override {
        ScreenTest::SetUp();
        setenv("VESK_MAKER_HOST", service.host().c_str(), 1);
        // A stalled server is given up after 0.4 s of silence instead of 30 s.
        HttpRequest::defaultStallTimeoutMs = 400;
        // As the loader leaves them: the record's display flag is the engine's.
        config().bFullScreen = graphics->bFullScreen;
    }
    void TearDown() override {
        HttpRequest::defaultStallTimeoutMs = 30000;
        HttpRequest::defaultDeadlineMs = 60000;
        unsetenv("VESK_MAKER_HOST");
        ScreenTest::TearDown();
    }
    GameConfiguration& config() { return application->gameConfiguration; }

    ContextNetworkWizard1* openWizard() {
        auto* wizard = new ContextNetworkWizard1();
        push(wizard);
        return wizard;
    }
    // Clicks NEXT, then runs frames until the page shows the outcome (NEXT enabled again), keeping
    // the longest frame. The request's own limits end every exchange; 20 s is only a backstop.
    void runTest(ContextNetworkWizard1* wizard) {
        longestFrameMs = 0.0;
        auto timedTick = [&] {
            const auto start = Clock::now();
            tick();
            longestFrameMs = std::max(longestFrameMs, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        };
        wizard->nextButton->bClicked = true;
        timedTick();
        ASSERT_NE(wizard->request, nullptr);
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (wizard->nextButton->bDisabled && Clock::now() < deadline) {
            timedTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(wizard->nextButton->bDisabled) << "the test never ended";
    }
    // Every message the viewer was given, in order, from the log (wrapped or scrolled away or not).
    std::vector<WString> viewerMessages() const {
        std::vector<WString> out;
        const std::string log = logText().substr(logMark);
        const std::string marker = "MessageViewer::addMessage(): > ";
        for (size_t at = log.find(marker); at != std::string::npos; at = log.find(marker, at + 1)) {
            const size_t start = at + marker.size();
            std::string line = log.substr(start, log.find('\n', start) - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(utf8ToWide(line));
        }
        return out;
    }
    // The messages after STARTINGDOTS.
    std::vector<WString> messagesAfterStart() const {
        const std::vector<WString> all = viewerMessages();
        auto it = std::find(all.begin(), all.end(), text(u"STARTINGDOTS"));
        return it == all.end() ? std::vector<WString>{} : std::vector<WString>(it + 1, all.end());
    }
    WString masterServer() {
        NetAddress address;
        std::memcpy(address.getSockAddr(), &config().masterServer, sizeof(address));
        return address.toString();
    }
    void setMasterServer(const char16_t* value) {
        NetAddress address;
        ASSERT_TRUE(address.setFromDottedText(value));
        std::memcpy(&config().masterServer, &address, sizeof(address));
    }
};

std::vector<WString> failed(const char16_t* error) {
    return {error, AppText::text(u"CHECKCONNECTION"), AppText::text(u"NETTESTFAIL1")};
}

}  // namespace

TEST_F(NetworkWizardTest, PageShowsItsIntroAndButtons) {
    auto* wizard = openWizard();
    EXPECT_TRUE(wizard->bDeleteWhenDone);
    EXPECT_EQ(wizard->pPreHook, application->pContextIntro);
    const std::vector<WString> intro = {text(u"NETTESTINTRO1"), u"", text(u"NETTESTINTRO2"), text(u"NETTESTINTRO3"),
                                        text(u"NETTESTINTRO4")};
    EXPECT_EQ(viewerMessages(), intro);
    EXPECT_EQ(wizard->pCancelButton->position.x, -305.0f);
    EXPECT_EQ(wizard->nextButton->position.x, 305.0f);
    EXPECT_EQ(wizard->helpButton->position.x, 0.0f);
    for (MenuItem* b : {(MenuItem*)wizard->pCancelButton, (MenuItem*)wizard->nextButton, (MenuItem*)wizard->helpButton}) {
        EXPECT_EQ(b->position.y, -200.0f);
        EXPECT_EQ(b->frameWidth, 160.0f);
    }
    EXPECT_EQ(wizard->runOnDesktopItem->position.x, 305.0f);
    EXPECT_EQ(wizard->runOnDesktopItem->position.y, -150.0f);
    // Not configured yet: the option is on, but in a window it cannot be changed.
    EXPECT_EQ(wizard->bRunOnDesktop, 1);
    EXPECT_TRUE(wizard->runOnDesktopItem->bDisabled);
    EXPECT_EQ(wizard->request, nullptr);
    const std::vector<DrawnText>& drawnTexts = draw();
    EXPECT_NE(find(drawnTexts, text(u"NETWORKWIZARD")), nullptr);
    EXPECT_NE(find(drawnTexts, text(u"NETTESTINTRO1")), nullptr);

    wizard->helpButton->bClicked = true;
    tick();
    EXPECT_EQ(topType(*stack), typeid(ContextHelp));
}

// Every answer of the service: what the page shows after STARTINGDOTS, what it logs, where the
// master server ends up. NEXT is enabled in the end and leads to the configuration page.
TEST_F(NetworkWizardTest, EachAnswerShowsItsOutcome) {
    struct Case {
        const char* name;
        Fault fault;
        bool bRefusingHost;
        std::vector<WString> shown;
        const char* logged;
        const char16_t* master;
    } cases[] = {
        {"valid envelope", Fault::None, false, {text(u"NETTESTSUCCESS"), u"Welcome, player!", text(u"DONEDOT")}, nullptr,
         u"1.2.3.4:5"},
        {"empty envelope", Fault::EmptyEnvelope, false, {text(u"NETTESTSUCCESS"), text(u"DONEDOT")}, nullptr, u"0.0.0.0:0"},
        {"length off by one", Fault::WrongLength, false, {text(u"NETTESTSUCCESS"), text(u"DONEDOT")},
         "ContextNetworkWizard1::tickContents(): Could not decode reply!", u"0.0.0.0:0"},
        {"wrong digest", Fault::WrongDigest, false, {text(u"NETTESTSUCCESS"), text(u"DONEDOT")},
         "ContextNetworkWizard1::tickContents(): Could not decode reply!", u"0.0.0.0:0"},
        {"wrong magic", Fault::WrongMagic, false, {text(u"NETTESTSUCCESS"), text(u"DONEDOT")},
         "ContextNetworkWizard1::tickContents(): Received unprintable reply!", u"0.0.0.0:0"},
        {"unprintable", Fault::Garbage, false, {text(u"NETTESTSUCCESS"), text(u"DONEDOT")},
         "ContextNetworkWizard1::tickContents(): Received unprintable reply!", u"0.0.0.0:0"},
        {"plain text", Fault::PlainText, false,
         {text(u"NETTESTSUCCESS"), u"Hello from the maker.", u"Second line", text(u"DONEDOT")}, nullptr, u"0.0.0.0:0"},
        {"control characters", Fault::ControlText, false,
         {text(u"NETTESTSUCCESS"), u"Line with a tab", u"Mark1red", u"Nulend", text(u"DONEDOT")}, nullptr, u"0.0.0.0:0"},
        {"control characters in the message", Fault::ControlEnvelope, false,
         {text(u"NETTESTSUCCESS"), u"Mark1red tabnul", text(u"DONEDOT")}, nullptr, u"127.0.0.1:23006"},
        {"10 MB body", Fault::HugeBody, false, failed(u"Could not read reply (error 00002ee4)"), nullptr, u"0.0.0.0:0"},
        {"stall", Fault::Stall, false, failed(u"Could not send request (error 00002ee2)"), nullptr, u"0.0.0.0:0"},
        {"drip", Fault::Drip, false, failed(u"Could not read reply (error 00002ee2)"), nullptr, u"0.0.0.0:0"},
        {"refused", Fault::None, true, failed(u"Could not send request (error 00002efd)"), nullptr, u"0.0.0.0:0"},
        {"404", Fault::NotFound, false, failed(u"Failed with HTTP status code 404"), nullptr, u"0.0.0.0:0"},
    };
    service.setNetTestPayload("masterServer=1.2.3.4:5\r\nmessage=Welcome, player!\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        logMark = logText().size();
        setenv("VESK_MAKER_HOST", (c.bRefusingHost ? service.refusingHost() : service.host()).c_str(), 1);
        service.setFault(FakeMakerService::netTestPath, c.fault);
        // A server that drips its answer (a byte every 0.2 s, never a stall) is given up after 3 s
        // instead of 60 s.
        HttpRequest::defaultDeadlineMs = c.fault == Fault::Drip ? 3000 : 60000;
        // A 10 MB answer may pause longer than 0.4 s on a busy machine before it runs over the
        // size limit; only the stall case needs the short limit.
        HttpRequest::defaultStallTimeoutMs = c.fault == Fault::Drip || c.fault == Fault::HugeBody ? 5000 : 400;
        setMasterServer(u"9.9.9.9:99");
        auto* wizard = openWizard();
        runTest(wizard);
        std::cout << c.name << ": longest frame while the test ran " << longestFrameMs << " ms\n";
        EXPECT_EQ(messagesAfterStart(), c.shown);
        if (c.logged) {
            EXPECT_NE(logText().find(c.logged, logMark), std::string::npos);
        }
        EXPECT_EQ(masterServer(), c.master);
        EXPECT_EQ(config().masterServer.family, 2);
        // Nothing a server sent reaches the log as a control character.
        const std::string log = logText().substr(logMark);
        EXPECT_EQ(log.find('\x1e'), std::string::npos);
        EXPECT_EQ(log.find('\0'), std::string::npos);

        wizard->nextButton->bClicked = true;
        tick();
        auto* page = top<ContextNetworkConfig>();
        ASSERT_NE(page, nullptr);
        page->bDone = true;
        tick();
        EXPECT_EQ(stack->getTopContext(), nullptr);
    }
}

// Around the envelope's 24-byte header: only a reply that begins with the magic is decoded; any
// other reply that is no text is unprintable, however long it is.
TEST_F(NetworkWizardTest, OnlyAReplyBeginningWithTheMagicIsTakenForAnEnvelope) {
    const char* const undecodable = "ContextNetworkWizard1::tickContents(): Could not decode reply!";
    const char* const unprintable = "ContextNetworkWizard1::tickContents(): Received unprintable reply!";
    const std::string magic("\x04\x03\x02\x01", 4);
    const std::string empty = FakeMakerService::envelope("");
    ASSERT_EQ(empty.size(), 24u);
    struct Case {
        const char* what;
        std::string reply;
        const char* logged;  // null: neither line
        std::vector<WString> shown;
    } cases[] = {
        {"three bytes of the magic", magic.substr(0, 3), unprintable, {}},
        {"the magic alone", magic, undecodable, {}},
        {"23 unprintable bytes", std::string(23, '\x01'), unprintable, {}},
        {"24 unprintable bytes", std::string(24, '\x01'), unprintable, {}},
        {"25 unprintable bytes", std::string(25, '\x01'), unprintable, {}},
        {"an empty envelope cut to 23 bytes", empty.substr(0, 23), undecodable, {}},
        {"an empty envelope", empty, nullptr, {}},
        {"an empty envelope with one more byte", empty + "x", undecodable, {}},
        {"an empty envelope with its magic broken", "\x05" + empty.substr(1), unprintable, {}},
        {"24 printable bytes", std::string(24, 'a'), nullptr, {WString(24, u'a')}},
    };
    auto* wizard = openWizard();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        logMark = logText().size();
        wizard->handleReply(ByteBuffer(c.reply.data(), int(c.reply.size())));
        const std::string log = logText().substr(logMark);
        for (const char* line : {undecodable, unprintable}) {
            EXPECT_EQ(log.find(line) != std::string::npos, c.logged == line) << line;
        }
        EXPECT_EQ(viewerMessages(), c.shown);
    }
}

TEST_F(NetworkWizardTest, ServiceReceivesTheExactRequest) {
    service.setNetTestPayload("masterServer=1.2.3.4:5\r\nmessage=Welcome, player!\r\n");
    auto* wizard = openWizard();
    runTest(wizard);
    ASSERT_TRUE(service.waitForRequests(1, 5000));
    const FakeMakerService::Received r = service.received()[0];
    EXPECT_EQ(r.path, "/vesk/nettest.php");
    EXPECT_EQ(r.status, 200) << r.rejection;
    EXPECT_EQ(r.bodyLength, 460u);
    ASSERT_EQ(r.parts.size(), 4u);
    // The message is drawn on the page.
    EXPECT_NE(find(draw(), u"Welcome, player!"), nullptr);
}

// The master server's address is taken only in its exact form, and never looked up.
TEST_F(NetworkWizardTest, MasterServerIsTakenOnlyInItsExactForm) {
    struct Case {
        const char* value;
        const char16_t* stored;
    } cases[] = {
        {"1.2.3.4:5", u"1.2.3.4:5"},       {" 10.20.30.40:23006 ", u"10.20.30.40:23006"},
        {"300.1.1.1:99999", u"0.0.0.0:0"}, {"1.2.3.4", u"0.0.0.0:0"},
        {"1.2.3:4", u"0.0.0.0:0"},         {"localhost:80", u"0.0.0.0:0"},
        {"1.2.3.4:65536", u"0.0.0.0:0"},   {"1.2.3.4:5x", u"0.0.0.0:0"},
        {"maker.example:80", u"0.0.0.0:0"},
    };
    const int lookups = platform::hostLookupCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        service.setNetTestPayload(std::string("masterServer=") + c.value + "\r\nmessage=hi\r\n");
        setMasterServer(u"9.9.9.9:99");
        auto* wizard = openWizard();
        runTest(wizard);
        EXPECT_EQ(masterServer(), c.stored);
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&config().masterServer);
        EXPECT_EQ(bytes[0], 2);
        EXPECT_EQ(bytes[1], 0);
        for (int i = 8; i < 16; ++i) EXPECT_EQ(bytes[i], 0);
        wizard->bDone = true;
        tick();
    }
    EXPECT_EQ(platform::hostLookupCount(), lookups);
    // Stored in network order: 1.2.3.4 port 5 is 02 00 | 00 05 | 01 02 03 04.
    service.setNetTestPayload("masterServer=1.2.3.4:5\r\n");
    auto* wizard = openWizard();
    runTest(wizard);
    const uint8_t expected[8] = {2, 0, 0, 5, 1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(&config().masterServer, expected, 8), 0);
    wizard->bDone = true;
    tick();
}

// From full screen with the option set, the first NEXT only switches to a window; the second
// starts the test; the page ends in full screen again.
TEST_F(NetworkWizardTest, FullScreenSwitchesToAWindowForTheTest) {
    config().bFullScreen = 1;
    application->applyAudioSettings(-1, -1);
    ASSERT_TRUE(graphics->bFullScreen);
    auto* wizard = openWizard();
    EXPECT_FALSE(wizard->runOnDesktopItem->bDisabled);
    EXPECT_EQ(wizard->savedFullScreen, 1);

    wizard->nextButton->bClicked = true;
    tick();
    EXPECT_EQ(wizard->request, nullptr);
    EXPECT_EQ(config().bFullScreen, 0);
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_TRUE(wizard->runOnDesktopItem->bDisabled);
    const std::vector<WString> beforeTest = viewerMessages();
    EXPECT_EQ(std::count(beforeTest.begin(), beforeTest.end(), text(u"STARTINGDOTS")), 0);

    runTest(wizard);
    EXPECT_EQ(config().bFullScreen, 0);
    EXPECT_EQ(messagesAfterStart().front(), text(u"NETTESTSUCCESS"));

    // CANCEL closes the page; full screen comes back.
    wizard->bDone = true;
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_EQ(config().bFullScreen, 1);
    EXPECT_TRUE(graphics->bFullScreen);
}

TEST_F(NetworkWizardTest, WithTheOptionOffTheTestRunsInFullScreen) {
    config().bFullScreen = 1;
    config().bOnlineConfigured = 1;
    auto* wizard = openWizard();
    EXPECT_EQ(wizard->bRunOnDesktop, 0);
    runTest(wizard);
    EXPECT_EQ(config().bFullScreen, 1);
}

// Another socket holding the game's datagram port gives one line; the test still runs.
TEST_F(NetworkWizardTest, PortInUseGivesALineAndTheTestCompletes) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(NetAddress::defaultPort);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    // Held by this socket, or (rarely) by another program already: either way the page cannot have it.
    const bool bHeld = ::bind(holder, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 || errno == EADDRINUSE;
    ASSERT_TRUE(bHeld) << std::strerror(errno);
    auto* wizard = openWizard();
    runTest(wizard);
    ::close(holder);
    const std::vector<WString> shown = messagesAfterStart();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], u"Could not open UDP port 23006 (error 10048)");
    EXPECT_EQ(shown[1], text(u"NETTESTSUCCESS"));
    EXPECT_EQ(shown.back(), text(u"DONEDOT"));
    EXPECT_NE(logText().find("Could not open UDP port 23006 (error 10048)"), std::string::npos);
}

TEST_F(NetworkWizardTest, FreePortGivesNoLine) {
    auto* wizard = openWizard();
    runTest(wizard);
    EXPECT_EQ(messagesAfterStart().front(), text(u"NETTESTSUCCESS"));
}

// Closing the page while the request runs deletes it; its worker ends on its own.
TEST_F(NetworkWizardTest, ClosingDuringTheTestLeavesNothingBehind) {
    service.setFault(FakeMakerService::netTestPath, Fault::Stall);
    HttpRequest::defaultStallTimeoutMs = 60000;
    HttpRequest::defaultDeadlineMs = 60000;
    auto* wizard = openWizard();
    wizard->nextButton->bClicked = true;
    tick();
    ASSERT_TRUE(service.waitForRequests(1, 5000));
    // Nothing waited for the server: the request still runs after the frame that started it.
    ASSERT_NE(wizard->request, nullptr);
    EXPECT_EQ(wizard->request->getState(), HttpRequest::STATE_RUNNING);
    EXPECT_TRUE(wizard->nextButton->bDisabled);
    wizard->pCancelButton->onClick();
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
}

TEST_F(NetworkWizardTest, ConfigurationPagePicksACountryAndMarksTheGameConfigured) {
    auto* page = new ContextNetworkConfig();
    push(page);
    EXPECT_TRUE(page->bDeleteWhenDone);
    EXPECT_EQ(page->pPreHook, application->pContextIntro);
    EXPECT_EQ(page->pCountryPicker->position.x, 128.0f);
    EXPECT_EQ(page->pCountryPicker->position.y, -50.0f);
    EXPECT_EQ(page->pCancelButton->position.x, -305.0f);
    EXPECT_EQ(page->nextButton->position.x, 305.0f);
    EXPECT_NE(find(draw(), text(u"NETCONFIGTITLE")), nullptr);
    EXPECT_EQ(config().countryIndex, 0);

    // CANCEL keeps the game unconfigured.
    page->pCancelButton->onClick();
    tick();
    EXPECT_EQ(config().bOnlineConfigured, 0);

    // NEXT with the default country "--" configures it.
    page = new ContextNetworkConfig();
    push(page);
    page->nextButton->bClicked = true;
    tick();
    EXPECT_EQ(config().bOnlineConfigured, 1);
    EXPECT_TRUE(page->bDone);
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
}

TEST_F(NetworkWizardTest, ThePickerEditsTheCountryIndex) {
    auto* page = new ContextNetworkConfig();
    push(page);
    EXPECT_EQ(page->pCountryPicker->target, &config().countryIndex);
}

// Every text of the pages that stands on the picture (all but the title and the buttons'
// captions) lies inside a panel of the page's backing, and every panel lies on the screen: before
// and after the test, with the option row grey or live, and on the configuration page.
TEST_F(NetworkWizardTest, EveryTextOfThePagesStandsOnItsBackingPanel) {
    service.setNetTestPayload(
        "message=Hello from the maker's test server. This message is long enough to be wrapped onto a second "
        "line of the page.\r\n");
    struct Case {
        const char* name;
        bool bFullScreen;
        Fault fault;  // the test is run unless the page is the configuration page or nothing is asked
        bool bRun;
        bool bConfigPage;
    } cases[] = {
        {"before the test, in a window", false, Fault::None, false, false},
        {"before the test, in full screen", true, Fault::None, false, false},
        {"after a successful test", false, Fault::None, true, false},
        {"after a failed test", false, Fault::NotFound, true, false},
        {"the configuration page", false, Fault::None, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config().bFullScreen = c.bFullScreen ? 1 : 0;
        application->applyAudioSettings(-1, -1);
        service.setFault(FakeMakerService::netTestPath, c.fault);
        ContextMenu* page = nullptr;
        BackingPanel* backing = nullptr;
        std::vector<WString> standalone;
        if (c.bConfigPage) {
            auto* config = new ContextNetworkConfig();
            push(config);
            page = config;
            backing = config->pBacking;
            standalone = {text(u"NETCONFIGTITLE"), text(u"CANCEL"), text(u"NEXT")};
        } else {
            auto* wizard = openWizard();
            if (c.bRun) runTest(wizard);
            EXPECT_EQ(wizard->runOnDesktopItem->bDisabled, !c.bFullScreen || c.bRun);
            page = wizard;
            backing = wizard->pBacking;
            standalone = {text(u"NETWORKWIZARD"), text(u"CANCEL"), text(u"NEXT"), text(u"HELP")};
        }
        DrawnTextBoxes texts;
        stack->draw();
        const std::vector<WorldRect> panels = backing->panels();
        ASSERT_FALSE(panels.empty());
        for (const WorldRect& p : panels)
            EXPECT_TRUE(DrawnTextBoxes::inside(p, WorldRect{-400.0f, 240.0f, 400.0f, -240.0f})) << DrawnTextBoxes::describe(p);
        int backed = 0;
        for (const DrawnBox& d : texts.drawn) {
            if (std::find(standalone.begin(), standalone.end(), d.text) != standalone.end()) continue;
            bool covered = false;
            for (const WorldRect& p : panels) covered |= DrawnTextBoxes::inside(d.box, p);
            EXPECT_TRUE(covered) << wideToUtf8(d.text) << " at " << DrawnTextBoxes::describe(d.box);
            ++backed;
        }
        EXPECT_GE(backed, c.bConfigPage ? 2 : c.bRun ? 9 : 6);
        page->bDone = true;
        tick();
        EXPECT_EQ(stack->getTopContext(), nullptr);
    }
}

TEST(NetTestReply, EnvelopeIsCheckedBeforeItsPayloadIsUsed) {
    auto bytes = [](const std::string& s) { return ByteBuffer(s.data(), int(s.size())); };
    const std::string payload = "masterServer=1.2.3.4:5\r\n";
    const std::string valid = FakeMakerService::envelope(payload);
    std::string longer = valid;
    longer[4] = char(longer[4] + 1);
    std::string shorter = valid;
    shorter[4] = char(shorter[4] - 1);
    std::string badDigest = valid;
    badDigest[23] ^= 0x80;
    std::string badMagic = valid;
    badMagic[3] = 0x02;
    struct Case {
        const char* what;
        std::string reply;
        bool ok;
    } cases[] = {
        {"valid", valid, true},
        {"empty payload", FakeMakerService::envelope(""), true},
        {"23 bytes", FakeMakerService::envelope("").substr(0, 23), false},
        {"nothing", "", false},
        {"length one more", longer, false},
        {"length one less", shorter, false},
        {"digest", badDigest, false},
        {"magic", badMagic, false},
        {"extra byte", valid + "x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<ByteBuffer> decoded = ContextNetworkWizard1::decodeNetTestReply(bytes(c.reply));
        ASSERT_EQ(decoded.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(std::string(decoded->bytes.begin(), decoded->bytes.end()), c.reply.substr(24));
        }
    }
}

TEST(NetTestReply, PrintableLooksAtTheFirstFourBytesOnly) {
    struct Case {
        std::string reply;
        bool printable;
    } cases[] = {
        {"", true},         {"a", true},          {"abcd", true},           {"abc\x7f", true},
        {"abcd\x01", true}, {"\x1f" "abc", false}, {"ab\ncd", false},        {"abc\x80", false},
        {" ~~~", true},     {std::string("a\0bc", 4), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ContextNetworkWizard1::isPrintableReply(ByteBuffer(c.reply.data(), int(c.reply.size()))), c.printable)
            << testing::PrintToString(c.reply);
    }
}
