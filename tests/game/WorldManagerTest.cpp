// The stage table and the numbering of levels, without a map; a new game at a town.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "engine/Logger.h"
#include "game/WorldManager.h"

TEST(WorldManagerStageTest, TableChainsFirstLevelsAndStartDistances) {
    const int firstLevels[] = {0, 4, 8, 12, 17, 22, 27, 33, 39, 45, 52, 59, 66, 74, 82};
    const float starts[] = {0, 220, 440, 660, 880, 1080, 1320, 1540, 1760, 1980, 2160, 2320, 2540, 2760, 3105};
    for (int s = 0; s < WorldManager::STAGE_COUNT; ++s) {
        EXPECT_EQ(WorldManager::getStage(s).firstLevel, firstLevels[s]) << "stage " << s;
        EXPECT_FLOAT_EQ(WorldManager::getStage(s).startDistance, starts[s]) << "stage " << s;
    }
    EXPECT_EQ(WorldManager::getStage(14).levelCount, 1);
    EXPECT_FLOAT_EQ(WorldManager::getStage(14).length, 0.0f);
    EXPECT_EQ(WorldManager::getLastLevel(), 82);
}

TEST(WorldManagerStageTest, LevelsMapToStageAndIndex) {
    const struct {
        int level, stage, index;
    } cases[] = {
        {0, 0, 0}, {3, 0, 3}, {4, 1, 0}, {11, 2, 3}, {12, 3, 0}, {16, 3, 4},
        {81, 13, 7}, {82, 14, 0}, {90, 14, 8},  // beyond the last level: still the last stage
    };
    for (const auto& c : cases) {
        int stage = -1, index = -1;
        WorldManager::level2WorldStage(c.level, stage, index);
        EXPECT_EQ(stage, c.stage) << "level " << c.level;
        EXPECT_EQ(index, c.index) << "level " << c.level;
    }
}

using WorldManagerDeathTest = GameScreenTest;

TEST_F(WorldManagerDeathTest, NegativeLevelIsFatal) {
    int stage = 0, index = 0;
    EXPECT_EXIT(WorldManager::level2WorldStage(-1, stage, index), testing::ExitedWithCode(255), "");
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_NE(log.find("Could not convert level -1."), std::string::npos);
    EXPECT_NE(log.find("WorldManager::level2WorldStage"), std::string::npos);
}

using WorldManagerTest = GameScreenTest;

TEST_F(WorldManagerTest, LevelNamesCountStageAndLevelFromOne) {
    EXPECT_EQ(WorldManager::formatLevelName(0), u"Level 1-1");
    EXPECT_EQ(WorldManager::formatLevelName(12), u"Level 4-1");
    EXPECT_EQ(WorldManager::formatLevelName(81), u"Level 14-8");
    EXPECT_EQ(WorldManager::formatLevelName(82), u"Level 15-1");
}

TEST_F(WorldManagerTest, CurrentLevelIsTheProfiles) {
    profile().level() = 13;
    EXPECT_EQ(WorldManager::getCurrentLevel(), 13);
    EXPECT_EQ(WorldManager::getCurrentStage(), 3);
    EXPECT_EQ(WorldManager::getCurrentIndexInStage(), 1);
    EXPECT_EQ(WorldManager::getCurrentLevelName(), u"Level 4-2");
}

TEST_F(WorldManagerTest, RestartDeletesTheGameAndResetsTheProfileKeepingTheHighestLevel) {
    application->pGameController = new GameController();
    ProfileData& p = profile();
    p.level() = 30;
    p.highestLevel() = 31;
    p.score() = 12345;
    p.lives() = 1;
    p.hearts() = 40;
    p.bHasSavedGame = 1;
    WorldManager::restartAtLevel(22);
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(p.level(), 22);
    EXPECT_EQ(p.highestLevel(), 31);
    EXPECT_EQ(p.score(), 0);
    EXPECT_EQ(p.lives(), 3);
    EXPECT_EQ(p.hearts(), 0);
    EXPECT_EQ(p.bHasSavedGame, 0);
    EXPECT_EQ(SoundTrace::count(u"toot2"), 1);
}
