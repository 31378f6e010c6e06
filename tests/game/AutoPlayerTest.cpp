// The automatic player on the headless harness: it wins the first level through the player's own
// input, the level runs its winning states with the tally, and two runs with one seed (and one
// with the audio off) repeat frame for frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
#include "game/Launcher.h"
#include "game/Cargo.h"
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

// On the last level the inner track rings the launcher and often stands between the piece on the
// bow and the slots it fits on the outer track: the player does not sit on such a piece but fires
// it off the view where it meets no slot.
TEST_F(AutoPlayerTest, APieceWithNoWayToItsSlotsIsFiredWhereItMeetsNoSlot) {
    GameController* g = harness->playLevel(82);
    AutoPlayer player;
    int discardsWatched = 0;
    double longestWait = 0.0, waitingSince = 0.0;
    const Cargo* waitingPiece = nullptr;
    for (int i = 0; i < 60 * 60 && Trace::results.empty(); ++i) {
        const int discards = player.discards;
        player.step();
        harness->frame();
        // How long a piece stays ready on the bow.
        const Launcher* launcher = g->pLauncher;
        const Cargo* front = launcher && launcher->state == Launcher::STATE_READY ? launcher->frontPiece() : nullptr;
        if (front && front == waitingPiece) {
            longestWait = std::max(longestWait, g->getGameTime() - waitingSince);
        } else {
            waitingPiece = front;
            waitingSince = g->getGameTime();
        }
        // A discarded piece flying alone (the player left out meanwhile) leaves the view untaken.
        if (player.discards == discards || !g->pCargoLayer->firstChild || g->pCargoLayer->firstChild->next) continue;
        const int placements = g->stats_correctPlacements + g->stats_incorrectPlacements;
        for (int k = 0; k < 120 && g->pCargoLayer->firstChild; ++k) harness->frame();
        EXPECT_EQ(g->pCargoLayer->firstChild, nullptr);
        EXPECT_EQ(g->stats_correctPlacements + g->stats_incorrectPlacements, placements) << "discard at " << g->getGameTime() << " s";
        ++discardsWatched;
        waitingPiece = nullptr;
    }
    EXPECT_GT(discardsWatched, 0);
    EXPECT_LT(longestWait, 3.0);
}

// The player aims by putting the pointer far out on the aim ray; where that ray runs into the
// HUD's MENU corner (top right), a click there would pause instead: the pointer stays short of
// it, and every aim fires, in its direction.
TEST_F(AutoPlayerTest, EveryAimFiresInItsDirectionEvenTowardsTheMenuCorner) {
    GameController* g = harness->playLevel(0);
    const auto ready = [g] {
        for (int i = 0; i < 60 * 10; ++i) {
            if (g->state == GameController::STATE_PLAYING && g->pLauncher && g->pLauncher->state == Launcher::STATE_READY &&
                g->pLauncher->frontPiece())
                return true;
            harness->frame();
        }
        return false;
    };
    constexpr float kDegree = 0.0174532925f;
    for (float degrees : {5.0f, 20.0f, 35.0f, 40.0f, 45.0f, 50.0f, 55.0f, 70.0f, 85.0f, 100.0f, 160.0f, 250.0f, 330.0f}) {
        SCOPED_TRACE(degrees);
        ASSERT_TRUE(ready());
        const Vector3 from = g->pLauncher->position;
        const Vector3 direction(std::cos(degrees * kDegree), std::sin(degrees * kDegree), 0.0f);
        const Vector3 pointer = AutoPlayer::pointerFor(*g, from, from + direction * 60.0f);
        const int shots = g->stats_shotsFired;
        harness->setPointer(pointer.x, pointer.y);
        harness->setMouseButton(0, true);
        harness->setMouseButton(0, false);
        harness->frame();
        EXPECT_EQ(g->command, GameController::COMMAND_FIRE);
        ASSERT_EQ(g->stats_shotsFired, shots + 1);
        const auto* piece = static_cast<const Cargo*>(g->pCargoLayer->lastChild);
        ASSERT_NE(piece, nullptr);
        const Vector3 velocity = piece->motion.velocity;
        EXPECT_NEAR(std::atan2(velocity.y, velocity.x), std::atan2(direction.y, direction.x), 1.0f * kDegree);
    }
}

// What the player does depends on the game alone, not on where the heap put things: a level
// plays the same frames whether or not another level was played before it in the process.
TEST_F(AutoPlayerTest, ALevelPlaysTheSameFramesWhateverWasPlayedBefore) {
    const auto play = [](int level, int frames) {
        Trace::results.clear();
        harness->playLevel(level);
        AutoPlayer player;
        std::vector<uint64_t> hashes;
        for (int i = 0; i < frames && Trace::results.empty(); ++i) {
            player.step();
            hashes.push_back(harness->frame());
        }
        return hashes;
    };
    const std::vector<uint64_t> first = play(31, 60 * 60);
    play(30, 60 * 600);
    const std::vector<uint64_t> again = play(31, 60 * 60);
    ASSERT_EQ(first.size(), again.size());
    const auto differ = std::mismatch(first.begin(), first.end(), again.begin());
    EXPECT_EQ(differ.first, first.end()) << "the first frame that differs: " << (differ.first - first.begin());
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
