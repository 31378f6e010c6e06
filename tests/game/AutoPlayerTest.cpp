// The automatic player on the headless harness: it wins levels through the player's own input,
// the level runs its winning states with the tally, and two runs with one seed (and one with the
// audio off) repeat frame for frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "engine/Qel.h"
#include "game/AutoPlayer.h"
#include "game/AwardDisplay.h"
#include "game/Cargo.h"
#include "game/Launcher.h"
#include "game/WorldManager.h"
#include "engine/ResourceManager.h"
#include "media/SoundStream.h"
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

// A won level, played by the automatic player from the map's start: the level's states at their
// delays, the result reported once and the player moved on by the map, the tally with its medals
// and bonus, every point of the score given by a rule, the launch sounds of every shot and the
// stage's music from the first train.
struct WinCase {
    int level;
    const char16_t* music;
    size_t spots;
    bool bonuses;
    bool speedShots;
};

void PrintTo(const WinCase& c, std::ostream* out) { *out << "level " << c.level; }

struct Award {
    int award, points, count;
};

class AutoPlayerWinTest : public AutoPlayerTest, public testing::WithParamInterface<WinCase> {
protected:
    void SetUp() override {
        AutoPlayerTest::SetUp();
        awards.clear();
        GameController::awardHook = [](int award, int points, int count) { awards.push_back({award, points, count}); };
    }
    void TearDown() override {
        GameController::awardHook = nullptr;
        AutoPlayerTest::TearDown();
        delete map;
    }
    static inline std::vector<Award> awards;
    // The map hears the result (it moves the player on); it stays off the stack.
    WorldManager* map = nullptr;
};

TEST_P(AutoPlayerWinTest, WinsThroughItsStatesAndTheTally) {
    const WinCase& c = GetParam();
    GameController::soundHook = &Trace::sound;
    map = new WorldManager();
    GameController* g = harness->playLevel(c.level);
    ProfileData* profile = GameController::currentProfile();
    harness->pushGame();
    ContextManager* stack = harness->application->pContextManager;
    QelAudio* audio = harness->engine->pQelAudio;
    auto* expectedMusic = static_cast<SoundStream*>(harness->engine->pResourceManager->find(true, c.music));
    ASSERT_NE(expectedMusic, nullptr);
    AutoPlayer player;
    std::vector<int> states;
    std::vector<double> entered;
    float tallyMeasures[ContextLevelComplete::MEASURE_COUNT] = {};
    bool tallySeen = false;
    bool musicChecked = false;
    int speedShots = 0;
    int launchMismatches = 0;
    for (int i = 0; i < 60 * 600 && !g->bDone; ++i) {
        const int shotsBefore = g->stats_shotsFired;
        const Cargo* front = g->pLauncher ? g->pLauncher->frontPiece() : nullptr;
        const bool fireball = front && front->type == Cargo::TYPE_FIREBALL;
        const size_t soundsBefore = Trace::sounds.size();
        player.step();
        harness->frame();
        // The launch sound of each shot: the piece's own, or the bow's (twice in a speed shot).
        if (g->stats_shotsFired != shotsBefore) {
            const bool speed = g->pLauncher->speedShotTime > 0.0;
            speedShots += speed;
            int bow = 0, own = 0;
            for (size_t k = soundsBefore; k < Trace::sounds.size(); ++k) {
                bow += Trace::sounds[k] == u"bowSound";
                own += Trace::sounds[k] == u"fireballLaunch";
            }
            const bool right = g->stats_shotsFired == shotsBefore + 1 && (fireball ? own == 1 && bow == 0 : own == 0 && bow == (speed ? 2 : 1));
            launchMismatches += !right;
        }
        if (!musicChecked && g->levelStartTime > 0.0) {
            musicChecked = true;
            EXPECT_EQ(g->musicGame, expectedMusic);
            EXPECT_EQ(audio->pCurrentMusic, expectedMusic) << "the stage's music plays from the first train";
        }
        if (states.empty() || states.back() != g->state) {
            states.push_back(g->state);
            entered.push_back(g->totalTime);
        }
        if (auto* tally = dynamic_cast<ContextLevelComplete*>(stack->getTopContext())) {
            tallySeen = true;
            std::copy(std::begin(tally->measures), std::end(tally->measures), std::begin(tallyMeasures));
            // Closed once the bonus is settled, as a player would after watching it.
            if (tally->bBonusSettled) tally->bDone = true;
        }
    }
    ASSERT_EQ(states, (std::vector<int>{1, 2, 3, 4, 7, 8, 9, 10}));
    EXPECT_EQ(g->pLevel->launcherPositions.size(), c.spots);
    // The delays: 1.0 s preparing, 0.25 s for the page, 1.5 s of whistle; after the win 3.0 s,
    // 0.5 s to the tally's push and 1.5 s of closing curtain.
    const double delays[][2] = {{0, 1.0}, {1, 0.25}, {2, 1.5}, {4, 3.0}, {5, 0.5}, {6, 1.5}};
    for (const auto& d : delays)
        EXPECT_NEAR(entered[size_t(d[0]) + 1] - entered[size_t(d[0])], d[1], 1.0 / 60.0 + 1e-9) << "state " << states[size_t(d[0])];
    EXPECT_TRUE(tallySeen);
    EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_WON});
    EXPECT_EQ(profile->level(), c.level + 1);
    EXPECT_EQ(Trace::count(u"whistle"), 1);
    EXPECT_EQ(Trace::count(u"winRound"), 1);
    EXPECT_EQ(Trace::count(u"loseRound"), 0);
    EXPECT_EQ(launchMismatches, 0);
    EXPECT_EQ(Trace::count(u"bowSound") + Trace::count(u"fireballLaunch"), g->stats_shotsFired + speedShots);
    // Every shot is the player's click; a click in the frame the chain puts a piece back on the bow
    // fires nothing (the first level has none of those).
    if (c.level == 0) { EXPECT_EQ(g->stats_shotsFired, player.shotsFired); }
    EXPECT_LE(g->stats_shotsFired, player.shotsFired);
    EXPECT_GT(g->stats_shotsFired, 0);
    if (c.bonuses) { EXPECT_GT(g->stats_bonusesSpawned, 0); }
    if (c.speedShots) { EXPECT_GT(speedShots, 0); }
    // Every slot brought was filled: the level's count, and on levels of wider wagons up to two
    // more, as the last wagon may bring more slots than were left.
    if (c.level == 0) { EXPECT_EQ(g->carsCompleted, g->totalCars); }
    EXPECT_GE(g->carsCompleted, g->totalCars);
    EXPECT_LE(g->carsCompleted, g->totalCars + 2);
    EXPECT_FLOAT_EQ(g->levelProgress, 1.0f);
    EXPECT_EQ(Hud::percentageText(g->levelProgress), u"100%");
    EXPECT_GT(g->levelEndTime, g->levelStartTime);

    // Every point of the score comes from an award that follows its rule.
    long long sum = 0;
    int medals = 0;
    for (const Award& a : awards) {
        SCOPED_TRACE(testing::Message() << "award " << a.award << ": " << a.points << " points, count " << a.count);
        sum += a.points;
        switch (a.award) {
            case GameController::AWARD_STREAK:
                EXPECT_EQ(a.count % 5, 0);
                EXPECT_EQ(a.points, 100 * a.count);
                break;
            case GameController::AWARD_BELL: EXPECT_EQ(a.points, 100); break;
            case GameController::AWARD_CAR:
                // The engine, last, has no slots.
                EXPECT_GE(a.count, 0);
                EXPECT_LE(a.count, 3);
                EXPECT_EQ(a.points, 100 * a.count);
                break;
            case GameController::AWARD_COUPLING:
                EXPECT_GE(a.count, 1);
                EXPECT_EQ(a.points, 1000 * a.count);
                break;
            case GameController::AWARD_EXTRA_LIFE: EXPECT_EQ(a.points, 10000); break;
            case GameController::AWARD_MEDAL:
                ++medals;
                EXPECT_EQ(a.points, AwardDisplay::pointsFor(a.count));
                EXPECT_GT(a.points, 0);
                break;
            case GameController::AWARD_EXCELLENCE: EXPECT_EQ(a.points, ContextLevelComplete::excellenceBonus(tallyMeasures)); break;
            default: ADD_FAILURE() << "unknown award";
        }
    }
    int medalsDue = 0;
    for (float m : tallyMeasures) medalsDue += AwardDisplay::medalFor(m) != AwardDisplay::NONE;
    EXPECT_EQ(medals, medalsDue);
    const bool excellencePaid = std::any_of(awards.begin(), awards.end(), [](const Award& a) { return a.award == GameController::AWARD_EXCELLENCE; });
    EXPECT_EQ(excellencePaid, ContextLevelComplete::excellenceBonus(tallyMeasures) > 0);
    EXPECT_GT(sum, 0);
    EXPECT_EQ(sum, profile->score());
    std::printf("level %d: score %d from %zu awards, %d shots (%d speed shots), %d bonuses spawned, %d spot cycles\n", c.level,
                profile->score(), awards.size(), g->stats_shotsFired, speedShots, g->stats_bonusesSpawned, player.spotCycles);
}

// The first level; the first with the speed shot (every shot of it sounds the bow twice); the
// first with two launcher spots; the first with the colour bomb and all the bonuses before it.
INSTANTIATE_TEST_SUITE_P(Levels, AutoPlayerWinTest,
                         testing::Values(WinCase{0, u"musicGame1", 1, false, false}, WinCase{7, u"musicGame2", 1, true, true},
                                         WinCase{8, u"musicGame3", 2, true, false}, WinCase{10, u"musicGame3", 1, true, false}),
                         [](const testing::TestParamInfo<WinCase>& info) { return "Level" + std::to_string(info.param.level); });

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
