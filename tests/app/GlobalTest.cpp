// The application object's user data and its small helpers.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "game/GameGlobal.h"
#include "engine/Product.h"
#include "engine/Random.h"
#include "engine/Utilities.h"
#include "support/TestFolder.h"

TEST(Global, FormatThousandsGroupsFromTheRightAndKeepsTheSign) {
    struct Case {
        int value;
        const char16_t* separator;
        const char16_t* expected;
    } cases[] = {
        {0, u",", u"0"},
        {999, u",", u"999"},
        {1000, u",", u"1,000"},
        {1000, u" ", u"1 000"},
        {1234567, u",", u"1,234,567"},
        {-999, u",", u"-999"},
        {-1000, u",", u"-1,000"},
        {-123456, u".", u"-123.456"},
        {-1234567, u",", u"-1,234,567"},
        {2147483647, u",", u"2,147,483,647"},
        {-2147483647 - 1, u",", u"-2,147,483,648"},
    };
    for (const Case& k : cases) EXPECT_EQ(formatThousands(k.value, k.separator), k.expected) << k.value;
}

TEST(Global, AngleDifferenceTakesTheShorterWay) {
    EXPECT_NEAR(angleDifference(0.1f, 6.2f), -0.1832f, 1e-3f);
    EXPECT_NEAR(angleDifference(6.2f, 0.1f), 0.1832f, 1e-3f);
    EXPECT_NEAR(angleDifference(0.5f, 1.5f), 1.0f, 1e-5f);
    EXPECT_NEAR(angleDifference(-0.5f, 0.5f), 1.0f, 1e-5f);
    EXPECT_EQ(angleDifference(1.0f, 1.0f + 6.2831855f), 0.0f);
}

TEST(Global, RandomPrimaryColorIsNeverGreyOrBlack) {
    randomSeed = 12345;
    for (int i = 0; i < 500; ++i) {
        const uint32_t c = randomPrimaryColor();
        ASSERT_EQ(c >> 24, 0xFFu);
        int full = 0, partial = 0;
        for (int shift : {16, 8, 0}) {
            const uint32_t v = (c >> shift) & 0xFF;
            if (v == 0xFF) ++full;
            else {
                ++partial;
                ASSERT_EQ(v % 32, 0u);
                ASSERT_LE(v, 128u);
            }
        }
        ASSERT_GE(full, 1);
        ASSERT_GE(partial, 1);
    }
}

TEST(Global, RectEdgePointLeavesThroughTheRightEdge) {
    const float rect[4] = {-100, 50, 100, -50};  // left, top, right, bottom
    struct Case {
        float angle, x, y;
    } cases[] = {
        {0.0f, 100, 0}, {1.5707964f, 0, 50}, {3.1415927f, -100, 0}, {-1.5707964f, 0, -50}, {0.7853982f, 50, 50}, {-2.9f, -100, -24.3f},
    };
    for (const Case& k : cases) {
        const Vector3 p = rectEdgePoint(0, 0, 3, k.angle, rect);
        EXPECT_NEAR(p.x, k.x, 0.5f) << k.angle;
        EXPECT_NEAR(p.y, k.y, 0.5f) << k.angle;
        EXPECT_EQ(p.z, 3.0f);
    }
}

TEST(Global, DeletingTheApplicationSavesProfilesAndSettings) {
    const std::string folder = wideToUtf8(getUserDataFolder());
    auto* g = new GameGlobal();
    EXPECT_EQ(game, g);
    EXPECT_EQ(g->lastHighScoreRow, -1);
    g->profileManager.addProfile(u"Ann");
    delete g;
    EXPECT_EQ(game, nullptr);
    EXPECT_TRUE(fileExists(utf8ToWide(folder + "VeskDiruzuri.pro")));
    EXPECT_TRUE(fileExists(utf8ToWide(folder + "VeskDiruzuri.hst")));

    // The next start reads them back.
    GameGlobal again;
    EXPECT_EQ(again.profileManager.getProfileName(0), u"Ann");
}

TEST(Global, CrashFilesAreLookedForOnDisk) {
    EXPECT_FALSE(crashFilesExist());
    writeFileBytes(wideToUtf8(getCrashDumpPath()), "dump");
    EXPECT_TRUE(crashFilesExist());
    std::remove(wideToUtf8(getCrashDumpPath()).c_str());
    writeFileBytes(wideToUtf8(getCrashLogPath()), "log");
    EXPECT_TRUE(crashFilesExist());
}

TEST(Global, VolumeSettingsBecomeGlobalVolumes) {
    struct Case {
        int setting, volume;
    } cases[] = {{24, 10000}, {15, 6250}, {1, 416}, {0, 0}};
    for (const Case& k : cases) EXPECT_EQ(Global::globalVolume(k.setting), k.volume) << k.setting;
}

TEST(Global, AFreshStartWritesDefaultsThatTheNextStartReadsUnchanged) {
    std::vector<uint8_t> settings(sizeof(GameConfigurationRecord)), profiles(sizeof(ProfileManager));
    {
        GameGlobal first;
        std::memcpy(settings.data(), static_cast<GameConfigurationRecord*>(&first.gameConfiguration), settings.size());
        std::memcpy(profiles.data(), &first.profileManager, profiles.size());
    }
    GameGlobal second;
    EXPECT_EQ(std::memcmp(settings.data(), static_cast<GameConfigurationRecord*>(&second.gameConfiguration), settings.size()), 0);
    EXPECT_EQ(std::memcmp(profiles.data(), &second.profileManager, profiles.size()), 0);
}
