// The player profiles: counters, the ten slots, the current profile and the ".pro" file.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "ui/ProfileManager.h"
#include "engine/FileManager.h"
#include "engine/Product.h"
#include "engine/Utilities.h"
#include "support/TestFolder.h"

namespace {
std::string proPath() { return wideToUtf8(ProfileManager::getProfilesPath()); }
}  // namespace

TEST(ProfileData, CountersSitAtTheLastFourBytesOfTheirSlots) {
    ProfileData p;
    p.level() = 11;
    p.highestLevel() = 22;
    p.score() = 33;
    p.lives() = 44;
    p.hearts() = 55;
    const auto* b = reinterpret_cast<const uint8_t*>(&p);
    const int32_t expected[5] = {11, 22, 33, 44, 55};
    for (int slot = 0; slot < 5; ++slot) {
        int32_t v;
        std::memcpy(&v, b + 260 + 264 * slot + 260, 4);
        EXPECT_EQ(v, expected[slot]) << slot;
        for (int k = 0; k < 260; ++k) ASSERT_EQ(b[260 + 264 * slot + k], 0) << "filler is zero";
    }
    p.bHasSavedGame = 1;
    EXPECT_EQ(b[1844], 1);
    EXPECT_EQ(sizeof(ProfileManager), 18484u);
    EXPECT_EQ(offsetof(ProfileManager, profiles), 4u);
}

TEST(ProfileData, ResetGameKeepsTheBestLevelAndResetClearsIt) {
    ProfileData p;
    EXPECT_EQ(p.lives(), 3);
    p.advanceLevel();
    p.advanceLevel();
    EXPECT_EQ(p.highestLevel(), 2);
    p.resetGame();
    EXPECT_EQ(p.level(), 0);
    EXPECT_EQ(p.highestLevel(), 2);
    p.advanceLevel();
    EXPECT_EQ(p.highestLevel(), 2) << "raised only when the level passes it";
    const uint32_t oldId = p.id;
    p.reset();
    EXPECT_EQ(p.highestLevel(), 0);
    EXPECT_NE(p.id, oldId);
}

TEST(ProfileData, ScoreNeverGoesBelowZeroAndTheHundredthHeartGivesALife) {
    ProfileData p;
    p.addScore(500);
    p.addScore(-800);
    EXPECT_EQ(p.score(), 0);
    for (int i = 1; i < 100; ++i) ASSERT_EQ(p.addHeart(), 100 - i);
    EXPECT_EQ(p.addHeart(), 0);
    EXPECT_EQ(p.lives(), 4);
    EXPECT_EQ(p.hearts(), 0);
}

TEST(ProfileData, SavedGamePathCarriesTheIdInHex) {
    ProfileData a, b;
    EXPECT_NE(a.id, b.id);
    a.id = 0x00ab12cd;
    EXPECT_EQ(a.getSavedGamePath(), ProfileManager::getProfilesPath() + u".00ab12cd");
}

TEST(ProfileManager, AddDeleteAndTheCurrentProfile) {
    ProfileManager m;
    EXPECT_EQ(m.countProfiles(), 0);
    m.addProfile(u"Ann");
    m.addProfile(u"Bo");
    m.addProfile(u"Cy");
    EXPECT_EQ(m.currentIndex, 2);
    EXPECT_EQ(m.countProfiles(), 3);
    EXPECT_NE(m.profiles[0].id, m.profiles[1].id);

    // Deleting the current profile when a later one exists makes that one current.
    m.currentIndex = 1;
    m.deleteProfile(1);
    EXPECT_EQ(m.currentIndex, 1);
    EXPECT_EQ(m.getProfileName(1), u"Cy");
    // The freed last slot is empty, not a second copy of the profile before it.
    EXPECT_EQ(m.countProfiles(), 2);
    const ProfileData* last = &m.profiles[9];
    for (size_t i = 0; i < sizeof(ProfileData); ++i) ASSERT_EQ(reinterpret_cast<const uint8_t*>(last)[i], 0);

    // Deleting the current profile when it is the last one in use makes slot 0 current.
    m.deleteProfile(1);
    EXPECT_EQ(m.currentIndex, 0);
    // Deleting another profile leaves the index alone.
    m.addProfile(u"Di");
    m.deleteProfile(0);
    EXPECT_EQ(m.currentIndex, 1);
}

TEST(ProfileManager, FullManagerTakesNoMore) {
    ProfileManager m;
    for (int i = 0; i < 10; ++i) m.addProfile(format(u"P%d", i));
    m.addProfile(u"Extra");
    EXPECT_EQ(m.countProfiles(), 10);
    EXPECT_EQ(m.getProfileName(9), u"P9");
    EXPECT_EQ(m.currentIndex, 9);
    // A deletion in a full manager frees the last slot.
    m.deleteProfile(0);
    EXPECT_EQ(m.countProfiles(), 9);
    EXPECT_EQ(m.getProfileName(9), u"");
}

TEST(ProfileManager, CurrentNameIsCutToSixteenCharacters) {
    ProfileManager m;
    m.addProfile(u"ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(m.getProfileName(0), u"ABCDEFGHIJKLMNOP");
}

TEST(ProfileManager, SavedOnDestructionAndReadBackUnchanged) {
    std::string before;
    {
        ProfileManager m;
        m.addProfile(u"Ann");
        m.addProfile(u"Bj\u00f6rn");
        m.current().score() = 4321;
        m.current().bHasSavedGame = 1;
    }
    EXPECT_TRUE(ProfileManager::profilesFileExists());
    ProfileManager again;
    EXPECT_EQ(again.currentIndex, 1);
    EXPECT_EQ(again.getProfileName(1), u"Bj\u00f6rn");
    EXPECT_EQ(again.current().score(), 4321);
    EXPECT_EQ(again.current().bHasSavedGame, 1);
}

TEST(ProfileManager, DamagedFileIsKeptAsideAndTheManagerStartsEmpty) {
    std::remove((proPath() + ".bad").c_str());
    {
        ProfileManager m;
        m.addProfile(u"Ann");
    }
    std::string b = readFileBytes(proPath());
    b[b.size() / 2] ^= 0x10;
    writeFileBytes(proPath(), b);
    ProfileManager m;
    EXPECT_EQ(m.countProfiles(), 0);
    EXPECT_EQ(readFileBytes(proPath() + ".bad"), b);
}

TEST(ProfileManager, OutOfRangeValuesFromTheFileAreClamped) {
    std::vector<uint8_t> record(sizeof(ProfileManager));
    {
        ProfileManager m;
        m.addProfile(u"Ann");
        m.current().hearts() = 500;
        m.current().lives() = -3;
        m.currentIndex = 77;
        std::memcpy(record.data(), &m, record.size());
        m.currentIndex = 0;
    }
    FileManager::saveSignedFile(ProfileManager::getProfilesFolder(), ProfileManager::getProfilesFileName(), getProductVersion(),
                                record.data(), static_cast<int>(record.size()));
    ProfileManager m;
    EXPECT_EQ(m.currentIndex, 0);
    EXPECT_EQ(m.current().hearts(), 99);
    EXPECT_EQ(m.current().lives(), 0);
}
