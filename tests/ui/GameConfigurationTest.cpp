// The settings record with its high-score table: layout, defaults, insertion, seals and the file.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"
#include "engine/FileManager.h"
#include "engine/MD5Context.h"
#include "engine/Product.h"
#include "engine/Random.h"
#include "engine/Utilities.h"
#include "support/TestFolder.h"

namespace {

const uint8_t* bytes(const GameConfiguration& c) { return reinterpret_cast<const uint8_t*>(static_cast<const GameConfigurationRecord*>(&c)); }
int32_t intAt(const GameConfiguration& c, size_t offset) {
    int32_t v;
    std::memcpy(&v, bytes(c) + offset, 4);
    return v;
}
std::string hstPath() { return wideToUtf8(getUserDataFolder() + GameConfiguration::getConfigurationFileName()); }

// The seal computed from the rule, independently of the record's own code: MD5 over the salt
// (little-endian) and the 288 row bytes with the seal zeroed.
void expectedSeal(const HIGHSCOREENTRY& row, uint8_t out[16]) {
    uint8_t buffer[4 + sizeof(HIGHSCOREENTRY)];
    const uint8_t salt[4] = {0xa7, 0x41, 0x9c, 0x5e};
    std::memcpy(buffer, salt, 4);
    std::memcpy(buffer + 4, &row, sizeof(row));
    std::memset(buffer + 4, 0, 16);
    md5(out, buffer, sizeof(buffer));
}

}  // namespace

TEST(GameConfiguration, DefaultsSitAtTheirFileOffsets) {
    GameConfiguration c;
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes(c)), "VeskDiruzuri");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes(c) + 32), "1.47");
    EXPECT_EQ(bytes(c)[48], 0);
    EXPECT_NE(intAt(c, 80), 0) << "installation id is drawn when none is stored";
    EXPECT_EQ(std::memcmp(bytes(c) + 84, "--\0\0", 4), 0);
    for (int i = 0; i < 10; ++i) {
        const size_t row = 88 + 288 * i;
        EXPECT_EQ(intAt(c, row + 276), 100000 - 10000 * i);
        EXPECT_EQ(intAt(c, row + 272), 0);
        EXPECT_EQ(bytes(c)[row + 16], 0) << "empty name";
        for (int k = 0; k < 16; ++k) EXPECT_EQ(bytes(c)[row + k], 0) << "a default row has no seal";
    }
    EXPECT_EQ(intAt(c, 2968), 1);
    EXPECT_EQ(intAt(c, 2972), 100);
    const uint8_t display[8] = {1, 1, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes(c) + 2976, display, 8), 0);
    EXPECT_EQ(intAt(c, 2984), 1);
    EXPECT_EQ(intAt(c, 2988), 24);
    EXPECT_EQ(intAt(c, 2992), 15);
    const uint8_t flags[8] = {1, 0, 0, 1, 0, 0, 1, 0};
    EXPECT_EQ(std::memcmp(bytes(c) + 2996, flags, 8), 0);
    EXPECT_EQ(bytes(c)[3004], 2) << "AF_INET";
    EXPECT_EQ(intAt(c, 3020), 0);
    float z;
    std::memcpy(&z, bytes(c) + 3032, 4);
    EXPECT_EQ(z, -1.0f);
    const int32_t keys[12] = {203, 258, 205, 259, 200, 256, 208, 257, 57, 272, 28, 273};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(intAt(c, 3036 + 4 * i), keys[i]);
    EXPECT_EQ(bytes(c)[3100], 1);
}

TEST(GameConfiguration, AddHighScoreInsertsAtTheFirstRowNotAbove) {
    struct Case {
        int score;
        int expectedRow;
    } cases[] = {{5000, -1}, {9999, -1}, {10000, 9}, {70000, 3}, {70001, 3}, {100000, 0}, {2000000, 0}};
    for (const Case& k : cases) {
        GameConfiguration c;
        EXPECT_EQ(c.addHighScore(k.score, 7, false, u"Ann"), k.expectedRow) << k.score;
        if (k.expectedRow < 0) {
            for (int i = 0; i < 10; ++i) EXPECT_EQ(c.highScores[i].score, 100000 - 10000 * i);
            continue;
        }
        EXPECT_EQ(c.highScores[k.expectedRow].score, k.score);
        EXPECT_EQ(c.highScores[k.expectedRow].level, 7);
        EXPECT_STREQ(c.highScores[k.expectedRow].name, "Ann");
        // Rows above stay, rows below move down one, the old tenth row falls out.
        for (int i = 0; i < k.expectedRow; ++i) EXPECT_EQ(c.highScores[i].score, 100000 - 10000 * i);
        for (int i = k.expectedRow + 1; i < 10; ++i) EXPECT_EQ(c.highScores[i].score, 100000 - 10000 * (i - 1));
    }
}

TEST(GameConfiguration, EqualScoreGoesAboveTheStoredOne) {
    GameConfiguration c;
    c.addHighScore(70000, 1, false, u"First");
    EXPECT_EQ(c.addHighScore(70000, 2, false, u"Second"), 3);
    EXPECT_STREQ(c.highScores[3].name, "Second");
    EXPECT_STREQ(c.highScores[4].name, "First");
}

TEST(GameConfiguration, UnsealedAndSealedRows) {
    GameConfiguration c;
    const int u = c.addHighScore(55000, 3, false, u"Plain");
    const uint8_t unsealed[16] = {1};
    EXPECT_EQ(std::memcmp(c.highScores[u].seal, unsealed, 16), 0);

    const int s = c.addHighScore(95000, 9, true, u"Sealed \u00e9");
    uint8_t expected[16];
    expectedSeal(c.highScores[s], expected);
    EXPECT_EQ(std::memcmp(c.highScores[s].seal, expected, 16), 0);

    // Every byte of the row is covered by the seal.
    HIGHSCOREENTRY changed = c.highScores[s];
    for (size_t offset : {size_t{16}, size_t{200}, size_t{272}, size_t{276}, size_t{287}}) {
        HIGHSCOREENTRY row = changed;
        reinterpret_cast<uint8_t*>(&row)[offset] ^= 0x01;
        uint8_t other[16];
        GameConfiguration::computeSeal(row, other);
        EXPECT_NE(std::memcmp(other, c.highScores[s].seal, 16), 0) << offset;
    }
}

TEST(GameConfiguration, NewRowStartsFromZeroBytes) {
    GameConfiguration c;
    // The row the new score lands on held a long name; nothing of it may survive behind the new
    // name's terminator, or it would be sealed and uploaded with the new score.
    std::memset(c.highScores[2].name, 'x', 255);
    c.highScores[2].name[255] = 0;
    std::memset(c.highScores[1].name, 'y', 255);
    c.highScores[1].name[255] = 0;
    ASSERT_EQ(c.addHighScore(85000, 4, true, u"Bo"), 2);
    const HIGHSCOREENTRY& row = c.highScores[2];
    for (size_t i = 3; i < sizeof(row.name); ++i) ASSERT_EQ(row.name[i], 0) << i;
    EXPECT_EQ(c.highScores[3].name[0], 'x') << "the old row moved down whole";
}

TEST(GameConfiguration, LongNameIsCutAtAWholeCharacter) {
    GameConfiguration c;
    WString name(254, u'a');
    name += u"\u20ac";  // three UTF-8 bytes that would end at byte 257
    ASSERT_EQ(c.addHighScore(200000, 1, false, name), 0);
    EXPECT_EQ(std::strlen(c.highScores[0].name), 254u);
}

TEST(GameConfiguration, SavedFileReadsBackUnchangedAndKeepsTheInstallationId) {
    uint32_t id;
    {
        GameConfiguration c;
        c.addHighScore(123456, 12, true, u"Kim");
        c.soundVolume = 7;
        c.bShowFps = 1;
        id = c.installationId;
        c.save();
    }
    GameConfiguration again;
    EXPECT_EQ(again.installationId, id);
    EXPECT_EQ(again.soundVolume, 7);
    EXPECT_EQ(again.bShowFps, 1);
    EXPECT_STREQ(again.highScores[0].name, "Kim");
    uint8_t seal[16];
    GameConfiguration::computeSeal(again.highScores[0], seal);
    EXPECT_EQ(std::memcmp(seal, again.highScores[0].seal, 16), 0);
    again.save();
    GameConfiguration third;
    EXPECT_EQ(std::memcmp(bytes(third), bytes(again), sizeof(GameConfigurationRecord)), 0);
}

TEST(GameConfiguration, DamagedOrForeignFileIsKeptAsideAndDefaultsStand) {
    struct Case {
        const char* what;
        void (*spoil)(const std::string& path);
    } cases[] = {
        {"flipped byte", [](const std::string& p) {
             std::string b = readFileBytes(p);
             b[b.size() - 3] ^= 0x40;
             writeFileBytes(p, b);
         }},
        {"cut short", [](const std::string& p) { writeFileBytes(p, readFileBytes(p).substr(0, 70)); }},
        {"foreign key", [](const std::string&) {
             GameConfigurationRecord r{};
             FileManager::saveSignedFile(getUserDataFolder(), GameConfiguration::getConfigurationFileName(), u"0.99", &r, sizeof(r));
         }},
        {"other size", [](const std::string&) {
             uint8_t r[100] = {};
             FileManager::saveSignedFile(getUserDataFolder(), GameConfiguration::getConfigurationFileName(), getProductVersion(), r, 100);
         }},
    };
    for (const Case& k : cases) {
        std::remove((hstPath() + ".bad").c_str());
        {
            GameConfiguration c;
            c.soundVolume = 3;
            c.save();
        }
        k.spoil(hstPath());
        const std::string spoilt = readFileBytes(hstPath());
        GameConfiguration c;
        EXPECT_EQ(c.soundVolume, 24) << k.what;
        EXPECT_EQ(readFileBytes(hstPath() + ".bad"), spoilt) << k.what << ": the refused file is kept aside";
        EXPECT_FALSE(fileExists(utf8ToWide(hstPath()))) << k.what;
    }
}

TEST(GameConfiguration, MissingFileLeavesNoBadFile) {
    GameConfiguration c;
    EXPECT_FALSE(fileExists(utf8ToWide(hstPath() + ".bad")));
    EXPECT_EQ(c.musicVolume, 15);
}

TEST(GameConfiguration, ValuesFromTheFileAreClampedBeforeUse) {
    {
        GameConfiguration c;
        c.soundVolume = 90;
        c.musicVolume = -4;
        c.soundQuality = 7;
        c.maxFramesPerSecond = 0;
        c.detailLevel = 5;
        c.countryIndex = 999;
        c.keyBindings[4][0] = 100000;
        c.bMuteAudio = 200;
        std::memset(c.highScores[0].name, 'z', 256);
        c.highScores[1].score = -50;
        c.save();
    }
    GameConfiguration c;
    EXPECT_EQ(c.soundVolume, 24);
    EXPECT_EQ(c.musicVolume, 0);
    EXPECT_EQ(c.soundQuality, 2);
    EXPECT_EQ(c.maxFramesPerSecond, 25);
    EXPECT_EQ(c.detailLevel, 1);
    EXPECT_EQ(c.countryIndex, 240);
    EXPECT_EQ(c.keyBindings[4][0], 455);
    EXPECT_EQ(c.bMuteAudio, 1);
    EXPECT_EQ(std::strlen(c.highScores[0].name), 255u);
    EXPECT_EQ(c.highScores[1].score, 0);
}
