#include <gtest/gtest.h>

#include <regex>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/QelBase.h"
#include "engine/Utilities.h"
#include "support/TestFolder.h"

namespace {

std::vector<std::string> logLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 3;
    for (size_t nl; (nl = bytes.find("\r\n", start)) != std::string::npos; start = nl + 2) lines.push_back(bytes.substr(start, nl - start));
    return lines;
}

TEST(Logger, HeaderLinesAndLineFormat) {
    commandLineArgs = {u"-safe", u"two words"};
    {
        Logger logger;
        logger.log(u"%s(): %s", u"Test::run", WString(u"caf\u00e9"));
    }
    const std::string bytes = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    const auto lines = logLines(bytes);
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ("\tApplication: VeskDiruzuri v1.47.o 32bit ", lines[0]);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("(\\+[1-9][0-9]*)?\tExecuting .*->.*->.*")));
    EXPECT_TRUE(std::regex_match(lines[2], std::regex("(\\+[1-9][0-9]*)?\tCurrent directory: /.*")));
    EXPECT_TRUE(lines[3].ends_with("\tCommand-line parameter: [-safe]"));
    EXPECT_TRUE(lines[4].ends_with("\tCommand-line parameter: [two words]"));
    EXPECT_TRUE(lines[5].ends_with("\tLog file: " + wideToUtf8(Logger::getLogFilePath())));
    EXPECT_TRUE(std::regex_match(lines[6], std::regex("(\\+[1-9][0-9]*)?\tLog date: \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d UTC")));
    EXPECT_TRUE(std::regex_match(lines[7], std::regex("(\\+[1-9][0-9]*)?\tTest::run\\(\\): caf\xC3\xA9")));
    commandLineArgs.clear();
}

TEST(Logger, CloseCopiesToTheCrashLogAndLaterLinesAreDropped) {
    Logger logger;
    logger.log(u"before");
    logger.close();
    logger.log(u"after");
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_EQ(log, readFileBytes(wideToUtf8(getCrashLogPath())));
    EXPECT_NE(std::string::npos, log.find("\tbefore\r\n"));
    EXPECT_EQ(std::string::npos, log.find("after"));
    logger.close();  // a second close does nothing
}

TEST(Logger, EachLoggerStartsANewFile) {
    { Logger first; first.log(u"first run"); }
    { Logger second; }
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_EQ(std::string::npos, log.find("first run"));
    EXPECT_EQ(0u, log.find("\xEF\xBB\xBF\tApplication: "));
}

TEST(Logger, UnwritableFolderDisablesLoggingSilently) {
    TestFolder folder("vesk-ro");
    setenv("VESK_DATA_HOME", (folder.path + "/missing/\x01/none").c_str(), 1);
    chmod(folder.path.c_str(), 0500);
    Logger logger;
    logger.log(u"nothing");
    chmod(folder.path.c_str(), 0700);
    if (geteuid() != 0) {
        EXPECT_EQ(nullptr, logger.stream);
    }
}

TEST(ErrorManager, ResultNames) {
    EXPECT_EQ(u"S_OK", ErrorManager::getDXErrorString(0));
    EXPECT_EQ(u"S_OK", ErrorManager::getDXErrorString(1));
    auto* saved = ErrorManager::resultNameLookup;
    ErrorManager::resultNameLookup = [](int32_t hr) -> const char16_t* { return hr == static_cast<int32_t>(0x88760868) ? u"D3DERR_DEVICELOST" : nullptr; };
    EXPECT_EQ(u"D3DERR_DEVICELOST (0x88760868)", ErrorManager::getDXErrorString(static_cast<int32_t>(0x88760868)));
    ErrorManager::resultNameLookup = saved;
}

using ErrorManagerDeathTest = testing::Test;

TEST_F(ErrorManagerDeathTest, ErrorReportIsLoggedCopiedAndExits255) {
    EXPECT_EXIT(
        {
            new Qel();
            QEL_FATAL(u"Track::init", u"Could not find resource '%s'.", u"car:9");
        },
        testing::ExitedWithCode(255), "");
    const std::string log = readFileBytes(wideToUtf8(getCrashLogPath()));
    EXPECT_NE(std::string::npos,
              log.find("\tErrorManager::error(): Error: Could not find resource 'car:9'.\n Function: Track::init()\n File: LoggerTest.cpp\n Line: "))
        << log;
    EXPECT_NE(std::string::npos, log.find("ErrorManager::error(): Forced exit.\r\n"));
}

TEST_F(ErrorManagerDeathTest, AssertionReportNamesTheStatement) {
    EXPECT_EXIT(
        {
            new Qel();
            int lives = 0;
            QEL_ASSERT(u"Game::tick", lives > 0);
        },
        testing::ExitedWithCode(255), "");
    const std::string log = readFileBytes(wideToUtf8(getCrashLogPath()));
    EXPECT_NE(std::string::npos, log.find("Error: Assertion failed.\n Statement: lives > 0\n Function: Game::tick()\n File: LoggerTest.cpp\n Line: "))
        << log;
}

TEST_F(ErrorManagerDeathTest, WorksWithoutAnEngine) {
    EXPECT_EXIT(ErrorManager::error(u"early %d", 1), testing::ExitedWithCode(255), "Error:\nearly 1\n");
}

// The report always reaches standard error, whether or not a message box can be shown, and the log
// says why the box did not show.
TEST_F(ErrorManagerDeathTest, ReportGoesToStandardErrorAndTheLogSaysWhyNoBoxShowed) {
    struct Case {
        const char* what;
        const char* silent;   // VESK_SILENT_ERRORS, or null to unset it
        const char* display;  // DISPLAY, or null to unset it
        const char* logged;   // the reason the log gives
    } cases[] = {
        {"silenced by the tests", "1", nullptr, "The message box could not be shown (silenced); the report went to standard error."},
        {"no desktop at all", nullptr, nullptr, "The message box could not be shown (no display); the report went to standard error."},
        // A display that cannot be reached: the system refuses the box and says why.
        {"display unreachable", nullptr, ":4711", "The message box could not be shown ("},
    };
    for (const Case& c : cases) {
        std::remove(wideToUtf8(getCrashLogPath()).c_str());
        EXPECT_EXIT(
            {
                if (c.silent) setenv("VESK_SILENT_ERRORS", c.silent, 1);
                else unsetenv("VESK_SILENT_ERRORS");
                if (c.display) setenv("DISPLAY", c.display, 1);
                else unsetenv("DISPLAY");
                unsetenv("WAYLAND_DISPLAY");
                new Qel();
                QEL_FATAL(u"Track::init", u"Could not find resource '%s'.", u"car:9");
            },
            testing::ExitedWithCode(255),
            R"(Error:
Error: Could not find resource 'car:9'\.
 Function: Track::init\(\)
 File: LoggerTest\.cpp
 Line: [0-9]+
)")
            << c.what;
        const std::string log = readFileBytes(wideToUtf8(getCrashLogPath()));
        const size_t box = log.find(c.logged);
        EXPECT_NE(box, std::string::npos) << c.what << "\n" << log;
        EXPECT_LT(box, log.find("ErrorManager::error(): Forced exit.")) << c.what;
        if (std::string(c.logged).back() == '(') {
            EXPECT_EQ(log.find("(no display)"), std::string::npos) << c.what;
        }
    }
}

}  // namespace

namespace {

TEST(ErrorManagerDeathTest2, FatalErrorWithLiveObjectsExitsCleanly) {
    EXPECT_EXIT(
        {
            new QelBase();
            new QelBase();
            ErrorManager::error(u"objects still alive");
        },
        testing::ExitedWithCode(255), "");
}

TEST(ObjectList, EndOfProgramWithLiveObjectsDoesNotFreeTheirEntries) {
    EXPECT_EXIT(
        {
            new QelBase();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
