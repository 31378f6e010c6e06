// The head-up display in a level and on the map: the counting score, the title, what each kind
// draws, the percentage and the statistics overlay.

#include <gtest/gtest.h>

#include <memory>

#include "GameScreenFixture.h"
#include "ui/ProgressBar.h"
#include "game/Hud.h"

TEST(HudScoreTest, CountsFastFirstThenSlower) {
    const struct {
        int from, to;
        float blend;
        int shown;
    } cases[] = {
        {0, 1000, 0.0f, 0},       {0, 1000, 0.2f, 360},  {0, 1000, 0.5f, 750},
        {0, 1000, 0.8f, 960},     {0, 1000, 1.0f, 1000}, {500, 1500, 0.5f, 1250},
        {1000, 400, 0.5f, 550},   // a score going down counts down
        {0, 7, 1.0f, 7},          // the 0.1 keeps whole results whole
    };
    for (const auto& c : cases) EXPECT_EQ(Hud::countedScore(c.from, c.to, c.blend), c.shown) << c.from << "->" << c.to;
}

TEST(HudScoreTest, PercentageHasNoDecimals) {
    EXPECT_EQ(Hud::percentageText(0.996f), u"100%");
    EXPECT_EQ(Hud::percentageText(0.5f), u"50%");
    EXPECT_EQ(Hud::percentageText(0.004f), u"0%");
    EXPECT_EQ(Hud::percentageText(1.0f), u"100%");
}

using HudTest = GameScreenTest;

TEST_F(HudTest, AJumpIsCountedInHalfASecondAndASecondJumpStartsFromTheShownValue) {
    Hud hud(true);
    hud.update(0, 0.1);
    EXPECT_EQ(hud.displayedScore, 0);
    profile().score() = 1000;
    std::vector<int> shown;
    for (int i = 0; i < 6; ++i) {
        hud.update(0, 0.1);
        shown.push_back(hud.displayedScore);
    }
    // The first frame takes the new target; the blend then rises by 0.2 a frame.
    EXPECT_EQ(shown, (std::vector<int>{0, 360, 640, 840, 960, 1000}));
    profile().score() = 2000;
    hud.update(0, 0.1);
    hud.update(0, 0.1);
    EXPECT_EQ(hud.fromScore, 1000);
    profile().score() = 3000;
    hud.update(0, 0.1);
    // Restarted from the value shown (1360), not from the old target.
    EXPECT_EQ(hud.fromScore, 1360);
    EXPECT_EQ(hud.displayedScore, 1360);
    hud.update(0, 0.1);
    EXPECT_EQ(hud.displayedScore, 1360 + int(0.36 * (3000 - 1360) + 0.1));
}

TEST_F(HudTest, InALevelTheTitleIsTakenOnceOnTheMapItFollowsTheLevel) {
    profile().level() = 12;
    Hud level(true), map(false);
    level.update(0, 0.016);
    map.update(0, 0.016);
    EXPECT_EQ(level.title, u"Level 4-1");
    EXPECT_EQ(map.title, u"Level 4-1");
    profile().level() = 13;
    level.update(0, 0.016);
    map.update(0, 0.016);
    EXPECT_EQ(level.title, u"Level 4-1");
    EXPECT_EQ(map.title, u"Level 4-2");
    // On the map the score is shown as it is, at once.
    profile().score() = 4321;
    map.update(0, 0.016);
    EXPECT_EQ(map.displayedScore, 4321);
}

TEST_F(HudTest, OnlyALevelDrawsMenuProgressAndPercentage) {
    auto* controller = new GameController();
    application->pGameController = controller;
    controller->levelProgress = 0.25f;
    profile().lives() = 2;
    profile().hearts() = 17;
    profile().score() = 1234567;
    for (bool inGame : {true, false}) {
        Hud hud(inGame);
        hud.update(0, 1.0);
        hud.update(0, 1.0);
        traceTexts();
        device->calls.clear();
        hud.render();
        EXPECT_EQ(TextTrace::find(u"MENU") != nullptr, inGame);
        EXPECT_EQ(TextTrace::find(u"25%") != nullptr, inGame);
        EXPECT_EQ(hud.pProgressBar != nullptr, inGame);
        if (inGame) {
            EXPECT_FLOAT_EQ(hud.pProgressBar->fraction, 0.25f);
        }
        const DrawnText* score = TextTrace::find(u"1,234,567");
        ASSERT_NE(score, nullptr);
        EXPECT_FLOAT_EQ(score->x, -396.0f);
        EXPECT_FLOAT_EQ(score->y, 238.0f);
        EXPECT_FLOAT_EQ(score->scaleX, 0.5f);
        EXPECT_EQ(score->flags, 258);
        const DrawnText* lives = TextTrace::find(u"2");
        ASSERT_NE(lives, nullptr);
        EXPECT_FLOAT_EQ(lives->x, -200.0f);
        const DrawnText* hearts = TextTrace::find(u"17");
        ASSERT_NE(hearts, nullptr);
        EXPECT_FLOAT_EQ(hearts->x, -150.0f);
        const DrawnText* title = TextTrace::find(u"Level 1-1");
        ASSERT_NE(title, nullptr);
        EXPECT_FLOAT_EQ(title->x, 220.0f);
        EXPECT_EQ(title->flags, 8);
    }
    delete controller;
}

TEST_F(HudTest, PercentageIsSmallGreyAndCentredUnderTheBar) {
    auto* controller = new GameController();
    application->pGameController = controller;
    controller->levelProgress = 0.996f;
    Hud hud(true);
    hud.update(0, 0.016);
    traceTexts();
    hud.render();
    const DrawnText* percentage = TextTrace::find(u"100%");
    ASSERT_NE(percentage, nullptr);
    EXPECT_FLOAT_EQ(percentage->y, 229.0f);
    EXPECT_FLOAT_EQ(percentage->scaleX, 0.6f);
    EXPECT_EQ(percentage->flags, 20);
    EXPECT_EQ(percentage->colour, 0xFF404040u);
    delete controller;
}

TEST_F(HudTest, StatisticsShowWithTheDebugFlagOnly) {
    auto* controller = new GameController();
    application->pGameController = controller;
    controller->stats_shotsFired = 12;
    controller->levelStartTime = 2.0;
    controller->levelEndTime = 47.5;
    Hud hud(true);
    hud.update(0, 0.016);
    for (int debug : {0, 0x100}) {
        engine->debugLevel = debug;
        traceTexts();
        hud.render();
        const DrawnText* shots = TextTrace::find(u"stats_shotsFired 12");
        EXPECT_EQ(shots != nullptr, debug != 0);
        if (shots) {
            EXPECT_FLOAT_EQ(shots->x, -100.0f);
            EXPECT_FLOAT_EQ(shots->y, -10.0f);
            EXPECT_EQ(shots->colour, 0xFF000000u);
        }
        EXPECT_EQ(TextTrace::find(u"stats_gameTime 45.5") != nullptr, debug != 0);
    }
    delete controller;
}
