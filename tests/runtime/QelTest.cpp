#include "engine/Qel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "engine/EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/TimeKeeper.h"
#include "engine/Utilities.h"
#include "media/QelAudio.h"
#include "runtime/QelRuntime.h"

namespace {

class QelTest : public EngineTestOn<QelRuntime> {};

TEST_F(QelTest, MissingSettingsAreWrittenWithTheirDefaultsAndTheDebugLevelStaysLocked) {
    writeConfig("[Qel]\r\ndebugLevel=7\r\n");
    start();
    EXPECT_EQ(qel->debugLevel, 0);
    EXPECT_TRUE(qel->bDebugLocked);
    EXPECT_EQ(qel->defaultLanguage, -2);
    EXPECT_FALSE(qel->bTickWhilePaused);
    EXPECT_TRUE(qel->bEnableDelayedLoad);
    stop();
    MemoryIniFile saved(Qel::getConfigFilePath());
    EXPECT_EQ(saved.getString(u"Qel", u"warning"), u"Do NOT modify this file unless you are explicitly instructed to do so!");
    EXPECT_EQ(saved.getInt(u"Qel", u"debugLevel"), 7);
    EXPECT_EQ(saved.getInt(u"Qel", u"debugCode"), 1);
    EXPECT_EQ(saved.getInt(u"Qel", u"defaultLanguage"), -2);
    EXPECT_EQ(saved.getString(u"Qel", u"bTickWhilePaused"), u"No");
    EXPECT_EQ(saved.getString(u"Qel", u"bEnableDelayedLoad"), u"Yes");
}

// A ".cfg" that is no settings text is kept aside like the other user files; the settings start
// from their defaults and are written afresh, without the garbage.
TEST_F(QelTest, DamagedSettingsAreKeptAsideNotRewrittenAsSections) {
    std::remove((wideToUtf8(Qel::getConfigFilePath()) + ".bad").c_str());
    const std::string garbage = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "\n[Qel]\ndebugLevel=3\nstray words\n";
    writeConfig(garbage);
    start();
    EXPECT_EQ(qel->defaultLanguage, -2);
    stop();
    const std::string path = wideToUtf8(Qel::getConfigFilePath());
    EXPECT_EQ(readFileBytes(path + ".bad"), garbage);
    MemoryIniFile saved(Qel::getConfigFilePath());
    EXPECT_TRUE(saved.damage.empty()) << wideToUtf8(saved.damage);
    EXPECT_EQ(saved.getInt(u"Qel", u"debugLevel"), 0) << "nothing of the damaged file is taken";
    EXPECT_EQ(configText().find("PNG"), std::string::npos) << configText();
    EXPECT_EQ(configText().find("stray words"), std::string::npos) << configText();
    EXPECT_NE(logText().find("Qel::Qel(): '" + path + "' is damaged or not ours (character 0 is not text (U+FFFD)); kept as '" + path + ".bad'"),
              std::string::npos)
        << logText();
}

// A settings file grown past any real one (here by a key repeated over and over) is neither read
// into memory nor written back: it is kept aside and the settings start from their defaults.
TEST_F(QelTest, OversizedSettingsAreKeptAsideUnread) {
    std::remove((wideToUtf8(Qel::getConfigFilePath()) + ".bad").c_str());
    std::string text = "\xEF\xBB\xBF[Qel]\r\ndefaultLanguage=1\r\n";
    const std::string filler = "[Filler]\r\nkey=value\r\n";
    while (text.size() + filler.size() <= Qel::MAX_SETTINGS_BYTES) text += filler;
    writeConfig(text);
    start();
    EXPECT_EQ(qel->defaultLanguage, 1) << "a file up to the bound is read";
    stop();
    text += filler;
    writeConfig(text);
    start();
    EXPECT_EQ(qel->defaultLanguage, -2);
    stop();
    const std::string path = wideToUtf8(Qel::getConfigFilePath());
    EXPECT_EQ(readFileBytes(path + ".bad"), text);
    EXPECT_LT(configText().size(), 1000u) << "written afresh from the defaults";
    EXPECT_NE(logText().find("'" + path + "' is damaged or not ours (larger than 1048576 bytes); kept as '" + path + ".bad'"),
              std::string::npos)
        << logText();
}

// Settings that exist but cannot be read are not replaced by defaults at teardown.
TEST_F(QelTest, UnreadableSettingsAreLeftAsTheyAre) {
    const std::string path = wideToUtf8(Qel::getConfigFilePath());
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    start();
    EXPECT_EQ(qel->defaultLanguage, -2);
    stop();
    EXPECT_TRUE(std::filesystem::is_fifo(path));
    const std::string log = logText();
    EXPECT_NE(log.find("Qel::Qel(): '" + path + "' cannot be read (it is a named pipe, not a regular file); using default settings"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Qel::saveSettings(): '" + path + "' is not saved: it could not be read at start"), std::string::npos) << log;
    std::remove(path.c_str());
    FileManager::allowWriting(Qel::getConfigFilePath());
}

TEST_F(QelTest, EditionSettingsAreReadFromTheStaticFile) {
    start();
    qel->pFileManager->bForceDisk = true;  // settings files lie on disk
    MemoryIniFile edition(Qel::getStaticConfigFilePath());
    EXPECT_EQ(qel->hq2x, edition.getInt(u"Graphics", u"hq2x"));
    EXPECT_EQ(qel->ditherDepth, edition.getInt(u"Graphics", u"ditherDepth"));
    EXPECT_EQ(qel->singleLanguage, edition.getInt(u"Language", u"singleLanguage"));
    EXPECT_EQ(qel->bHoliday, edition.getBool(u"Edition", u"bHoliday"));
    EXPECT_EQ(qel->languageMask, edition.getString(u"Language", u"languageMask"));
}

TEST_F(QelTest, DefaultLanguageIsSavedAtTeardown) {
    start();
    qel->defaultLanguage = -1;
    stop();
    start();
    EXPECT_EQ(qel->defaultLanguage, -1);
}

TEST_F(QelTest, OutputRateChosenByTheApplicationIsUsedAtTheNextStart) {
    start();
    ASSERT_NE(qel->pQelAudio, nullptr);
    qel->pQelAudio->frequency = 44100;
    // Saved with the engine's settings (as the main menu saves the user data), not only once the
    // audio service is gone.
    qel->saveSettings();
    EXPECT_NE(configText().find("frequency=44100"), std::string::npos);
    stop();
    start();
    EXPECT_EQ(qel->pQelAudio->frequency, 44100);
    EXPECT_NE(logText().find("Creating audio: 44100 Hz."), std::string::npos);
}

TEST_F(QelTest, LogShowsConstructionAndTheFourteenTeardownSteps) {
    start();
    EXPECT_EQ(qel, engine);
    stop();
    EXPECT_EQ(qel, nullptr);
    const std::string log = logText();
    size_t at = findAfter(log, "Application: ");
    at = findAfter(log, "Version: QelUDX9 build ", at);
    at = findAfter(log, "Qel::dumpSystemInfo(): Operating system version : ", at);
    at = findAfter(log, "Qel::dumpSystemInfo(): Process tree:", at);
    at = findAfter(log, "ErrorManager::ErrorManager(): Starting...", at);
    at = findAfter(log, "TimeKeeper::TimeKeeper(): Started.", at);
    at = findAfter(log, "HQ2X: ", at);
    at = findAfter(log, "Qel::Qel(): Started.", at);
    at = findAfter(log, "Qel::~Qel(): Initiating shutdown...", at);
    for (int step = 1; step <= 14; ++step) at = findAfter(log, "Qel::~Qel(): " + std::to_string(step) + "...", at);
    at = findAfter(log, "Qel::~Qel(): Done. Clean exit.", at);
    EXPECT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.find("Rendered "), std::string::npos);
    EXPECT_EQ(log.find("Objects still allocated"), std::string::npos);
}

TEST_F(QelTest, FrameCountAndAverageAreLoggedAfterTickedFrames) {
    start();
    qelRuntime()->frame(nullptr);
    qelRuntime()->frame(nullptr);
    stop();
    EXPECT_NE(logText().find("Qel::~Qel(): Rendered 2 frames, avg="), std::string::npos);
}

TEST_F(QelTest, UnlockedDebugShowsTheOverlayLevelAndReportsLeaks) {
    writeConfig("[Qel]\r\ndebugLevel=7\r\ndebugCode=27674\r\n");
    start();
    EXPECT_FALSE(qel->bDebugLocked);
    EXPECT_EQ(qel->debugLevel, 7);
    BasicLink freedOwner;  // stands for an owner that is no longer a live object
    auto* orphan = new QelBase();
    freedOwner.addChild(orphan);
    auto* parent = new QelBase();
    auto* child = new QelBase();
    parent->addChild(child);
    stop();
    const std::string log = logText();
    EXPECT_NE(log.find("Objects still allocated (memory leaks?): 3"), std::string::npos);
    EXPECT_NE(log.find("       0. QelBase\t\t\t(uid=-1 parent=***FREED***)"), std::string::npos) << log;
    EXPECT_NE(log.find("       1. QelBase\t\t\t(uid=-1 --)"), std::string::npos);
    EXPECT_NE(log.find("       2. QelBase\t\t\t(uid=-1 parent=[1])"), std::string::npos);
    freedOwner.removeChild(orphan);
    delete orphan;
    delete parent;
}

TEST_F(QelTest, ScreenshotIsNamedByProductTimeStampAndGameTime) {
    start();
    clock.advance(12.3456);
    const double game = qel->pTimeKeeper->getTime();
    const std::string path = wideToUtf8(qelRuntime()->getScreenshotPath(true));
    const std::string folder = wideToUtf8(getUserDataFolder());
    ASSERT_EQ(path.rfind(folder + "VeskDiruzuri ", 0), 0u) << path;
    // "YYYY-MM-DD HH.MM.SS" after the product name.
    const std::string stamp = path.substr(folder.size() + 13, 19);
    EXPECT_EQ(stamp[4], '-');
    EXPECT_EQ(stamp[10], ' ');
    EXPECT_EQ(stamp[13], '.');
    char expectedTail[64];
    std::snprintf(expectedTail, sizeof(expectedTail), " %.3f.tga", game);
    EXPECT_EQ(path.substr(folder.size() + 13 + 19), expectedTail);
    EXPECT_EQ(wideToUtf8(qelRuntime()->getScreenshotPath(false)).substr(path.size() - 3), "bmp");
}

}  // namespace
