// The automatic player on the headless harness: it wins the first level through the player's own
// input, the level runs its winning states with the tally, and two runs with one seed (and one
// with the audio off) repeat frame for frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ContextManager.h"
#include "app/GameGlobal.h"
#include "app/ProfileData.h"
#include "engine/Qel.h"
#include "game/AutoPlayer.h"
#include "game/ContextLevelComplete.h"
#include "game/GameController.h"
#include "game/Hud.h"
#include "game/Level.h"
#include "game/harness/PlayHarness.h"
#include "media/QelAudio.h"

namespace {

struct Trace {
    static inline std::vector<std::u16string> sounds;
    static inline std::vector<int> results;
    static void sound(WStringView name, float) { sounds.emplace_back(name); }
    static void result(int r) { results.push_back(r); }
    static int count(const char16_t* name) { return static_cast<int>(std::count(sounds.begin(), sounds.end(), std::u16string(name))); }
};

class AutoPlayerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    void SetUp() override {
        Trace::sounds.clear();
        Trace::results.clear();
        GameController::levelResultHook = &Trace::result;
        harness->application->gameConfiguration.bTutorial = 0;
        harness->application->gameConfiguration.bInGameMusic = 1;
    }
    void TearDown() override {
        harness->clearWorld();
        GameController::soundHook = nullptr;
        GameController::levelResultHook = nullptr;
    }

    static inline PlayHarness* harness = nullptr;
};

TEST_F(AutoPlayerTest, WinsTheFirstLevelThroughItsStatesAndTheTally) {
    GameController::soundHook = &Trace::sound;
    GameController* g = harness->playLevel(0);
    harness->pushGame();
    ContextManager* stack = harness->application->pContextManager;
    AutoPlayer player;
    std::vector<int> states;
    std::vector<double> entered;
    bool tallySeen = false;
    int scoreAtWin = -1;
    for (int i = 0; i < 60 * 600 && !g->bDone; ++i) {
        player.step();
        harness->frame();
        if (states.empty() || states.back() != g->state) {
            states.push_back(g->state);
            entered.push_back(g->totalTime);
            if (g->state == GameController::STATE_WON) scoreAtWin = GameController::currentProfile()->score();
        }
        if (auto* tally = dynamic_cast<ContextLevelComplete*>(stack->getTopContext())) {
            tallySeen = true;
            // Closed once the bonus is settled, as a player would after watching it.
            if (tally->bBonusSettled) tally->bDone = true;
        }
    }
    ASSERT_EQ(states, (std::vector<int>{1, 2, 3, 4, 7, 8, 9, 10}));
    EXPECT_TRUE(tallySeen);
    EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_WON});
    EXPECT_NEAR(entered[5] - entered[4], 3.0, 1.0 / 60.0 + 1e-9);
    EXPECT_EQ(Trace::count(u"whistle"), 1);
    EXPECT_EQ(Trace::count(u"winRound"), 1);
    EXPECT_EQ(Trace::count(u"loseRound"), 0);
    // One launch sound a shot (no speed shot on the first level).
    EXPECT_EQ(Trace::count(u"bowSound") + Trace::count(u"fireballLaunch"), g->stats_shotsFired);
    EXPECT_EQ(g->stats_shotsFired, player.shotsFired);
    EXPECT_EQ(g->carsCompleted, g->totalCars);
    EXPECT_FLOAT_EQ(g->levelProgress, 1.0f);
    EXPECT_EQ(Hud::percentageText(g->levelProgress), u"100%");
    EXPECT_GT(scoreAtWin, 0);
    EXPECT_GE(GameController::currentProfile()->score(), scoreAtWin);
    EXPECT_GT(g->levelEndTime, g->levelStartTime);
}

// One seed: the same frames, whether the audio plays or is off.
TEST_F(AutoPlayerTest, OneSeedPlaysTheSameFramesWithAndWithoutAudio) {
    QelAudio* audio = harness->engine->pQelAudio;
    const bool wasMuted = audio->bNoAudio;
    std::vector<uint64_t> runs[3];
    for (int run = 0; run < 3; ++run) {
        audio->bNoAudio = run == 2;
        harness->playLevel(0);
        AutoPlayer player;
        for (int i = 0; i < 2400; ++i) {
            player.step();
            runs[run].push_back(harness->frame());
        }
        EXPECT_GT(player.shotsFired, 5);
    }
    audio->bNoAudio = wasMuted;
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_EQ(runs[0], runs[2]);
}

}  // namespace
