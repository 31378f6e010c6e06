// The controller playing real levels on the headless harness: each level's set-up, the trains it
// launches, the ten states and their delays, a level lost by waiting, the player's commands, the
// power-up timer, score pop-ups, tips, focus loss, pause and escape on the screen stack.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "game/Cargo.h"
#include "game/Car.h"
#include "game/CargoSlot.h"
#include "game/ContextLevelComplete.h"
#include "game/ContextMessage.h"
#include "game/ContextPause.h"
#include "game/FloatingText.h"
#include "game/GameController.h"
#include "game/Hud.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"
#include "game/Level.h"
#include "game/SpeechArrow.h"
#include "game/TextPanel.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"
#include "media/Camera.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Sound.h"
#include "media/SoundChannel.h"
#include "platform/AudioLibrary.h"
#include "media/WorldRect.h"

namespace {

struct Trace {
    static inline std::vector<std::u16string> sounds;
    static inline std::vector<int> results;
    static inline int saves = 0;
    static void sound(WStringView name, float) { sounds.emplace_back(name); }
    static void result(int r) { results.push_back(r); }
    static bool save(GameController*) {
        ++saves;
        return true;
    }
    static int count(const char16_t* name) { return static_cast<int>(std::count(sounds.begin(), sounds.end(), std::u16string(name))); }
};

class GameControllerPlayTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    void SetUp() override {
        Trace::sounds.clear();
        Trace::results.clear();
        Trace::saves = 0;
        GameController::soundHook = &Trace::sound;
        GameController::levelResultHook = &Trace::result;
        GameController::saveHook = &Trace::save;
        config().bTutorial = 0;
        config().bInGameMusic = 1;
        config().bSwapMouse = 0;
    }
    void TearDown() override {
        harness->clearWorld();
        GameController::soundHook = nullptr;
        GameController::levelResultHook = nullptr;
        GameController::saveHook = nullptr;
        for (int key : {0x1C, 0x39, 0xC5, 0x01}) harness->setKey(key, false);
    }
    static GameConfiguration& config() { return harness->application->gameConfiguration; }
    static ProfileData& profile() { return *GameController::currentProfile(); }
    // Runs frames until the game is in that state (at most 'limit' frames); answers the frames run.
    static int runUntilState(int wanted, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (harness->game->state == wanted) return i;
            harness->frame();
        }
        return limit;
    }
    // A click of a mouse button with the pointer at a layout pixel, seen in the next frame.
    static void click(int button, float x, float y) {
        harness->setPointer(x, y);
        harness->setMouseButton(button, true);
        harness->setMouseButton(button, false);
    }
    // An empty open slot well in view (frames run until there is one) other than those given, and
    // in 'wrong' a colour that another open slot still wants (a wrong piece of a colour nobody
    // wants goes at once).
    static CargoSlot* findEmptySlot(int& wrong, const std::vector<CargoSlot*>& besides = {}) {
        GameController& g = *harness->game;
        for (int i = 0; i < 1200; ++i) {
            for (CargoSlot* slot : g.colorPicker.openSlots) {
                if (slot->bHidden || slot->held || slot->trackPos < 300.0f) continue;
                if (std::find(besides.begin(), besides.end(), slot) != besides.end()) continue;
                for (CargoSlot* open : g.colorPicker.openSlots) {
                    if (open->color == slot->color) continue;
                    wrong = open->color;
                    return slot;
                }
            }
            harness->frame();
        }
        return nullptr;
    }
    static float layoutWidth() { return static_cast<float>(harness->engine->pQelGraphics->layoutWidth); }
    static float layoutHeight() { return static_cast<float>(harness->engine->pQelGraphics->layoutHeight); }

    static inline PlayHarness* harness = nullptr;
};

namespace {

constexpr double kFrame = 1.0 / 60.0;

// The game's screens from the bottom up.
std::vector<Context*> screens(ContextManager* stack) {
    std::vector<Context*> out;
    for (BasicLink* l = stack->firstChild; l; l = l->next) out.push_back(static_cast<Context*>(l));
    return out;
}

template <typename T>
int countScreens(ContextManager* stack) {
    int n = 0;
    for (Context* c : screens(stack)) n += dynamic_cast<T*>(c) != nullptr;
    return n;
}

void dropAllTrains(GameController& g) {
    for (Track* track : g.pLevel->getTracks())
        while (BasicLink* train = track->trains->lastChild) static_cast<QelBase*>(train)->release();
}

}  // namespace

// Set-up by level: trains per track and cars from the campaign's progress, the forces and the
// track fractions; a second track doubles the trains and halves the tunnel force.
TEST_F(GameControllerPlayTest, EachLevelIsSetUpFromTheCampaignsProgress) {
    const struct {
        int level;
        int trainsPerTrack, cars;
        float cruise, tunnelPerTrack, rollback, sprint;
    } cases[] = {
        {0, 3, 40, 250.0f, 75.0f, -1200.0f, 0.5f},
        {1, 3, 41, 250.0f + 150.0f / 82.0f, 75.0f + 75.0f / 82.0f, -1200.0f - 800.0f / 82.0f, 0.15f / 82.0f + 0.35f},
        {41, 4, 120, 325.0f, 112.5f, -1600.0f, 0.425f},
        {82, 6, 200, 400.0f, 150.0f, -2000.0f, 0.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        harness->startGame(c.level);
        GameController& g = *harness->game;
        const int tracks = static_cast<int>(g.pLevel->getTracks().size());
        ASSERT_GE(tracks, 1);
        EXPECT_EQ(g.trainsTotal, c.trainsPerTrack * tracks);
        EXPECT_EQ(g.totalCars, c.cars);
        EXPECT_NEAR(g.cruiseForce, c.cruise, 1e-3f);
        EXPECT_NEAR(g.tunnelForce, c.tunnelPerTrack / static_cast<float>(tracks), 1e-3f);
        EXPECT_FLOAT_EQ(g.departForce, 2500.0f);
        EXPECT_NEAR(g.rollbackForce, c.rollback, 1e-3f);
        EXPECT_FLOAT_EQ(g.refillFraction, 0.75f);
        EXPECT_NEAR(g.sprintFraction, c.sprint, 1e-6f);
        EXPECT_EQ(g.pLauncher->positionIndex, 0);
        EXPECT_EQ(g.pLauncher->position.x, g.pLevel->launcherPositions[0].x);
        EXPECT_FLOAT_EQ(g.pWorldLayer->pCamera->position.z, -layoutWidth() / 2.0f);
    }
}

TEST_F(GameControllerPlayTest, TwoTracksDoubleTheTrainsAndHalveTheTunnelForceButNotTheCars) {
    int twin = -1;
    for (int level = 13; level <= 40 && twin < 0; ++level) {
        harness->startGame(level);
        if (harness->game->pLevel->getTracks().size() == 2) twin = level;
    }
    ASSERT_GE(twin, 0) << "no level with two tracks";
    GameController& g = *harness->game;
    const float c = static_cast<float>(twin) / 82.0f;
    EXPECT_EQ(g.trainsTotal, 2 * static_cast<int>(3.0f * c + 3.0f));
    EXPECT_EQ(g.totalCars, static_cast<int>(160.0f * c + 40.0f));
    EXPECT_FLOAT_EQ(g.tunnelForce, (75.0f * c + 75.0f) / 2.0f);
}

// Colours, bonus weights, the forced first bonuses and the wagon kinds by level.
TEST_F(GameControllerPlayTest, ColoursBonusesAndWagonKindsFollowTheLevel) {
    const struct {
        int level;
        std::vector<int> colours;
        int forcedType;
        std::vector<int> weightedTypes;
        float twoSlots, threeSlots;
    } cases[] = {
        {0, {0, 2, 4}, Cargo::TYPE_UNSET, {}, 0.0f, 0.0f},
        {2, {0, 2, 4}, Cargo::TYPE_SLOW_BONUS, {18}, 0.0f, 0.0f},
        {4, {0, 2, 4}, Cargo::TYPE_UNSET, {18, 11}, 1.0f, 0.0f},
        {10, {0, 2, 4}, Cargo::TYPE_COLOR_BOMB, {18, 11, 12, 10, 16, 15, 13}, 1.0f, 0.0f},
        {82, {0, 1, 2, 3, 5, 6, 7}, Cargo::TYPE_UNSET, {18, 11, 12, 10, 16, 15, 13}, 1.0f, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        harness->startGame(c.level);
        const CargoColorPicker& picker = harness->game->colorPicker;
        std::vector<int> colours;
        for (int i = 0; i < 8; ++i)
            if (picker.enabledColors[i]) colours.push_back(i);
        EXPECT_EQ(colours, c.colours);
        if (c.forcedType != Cargo::TYPE_UNSET) {
            EXPECT_EQ(picker.forcedType, c.forcedType);
            EXPECT_EQ(picker.forcedCount, 3);
        } else {
            EXPECT_TRUE(picker.forcedCount == 0 || picker.forcedType == Cargo::TYPE_UNSET);
        }
        std::vector<int> weighted;
        for (int type : {18, 11, 12, 10, 16, 15, 13})
            if (picker.typeWeights[type] > 0.0f) weighted.push_back(type);
        EXPECT_EQ(weighted, c.weightedTypes);
        EXPECT_FLOAT_EQ(picker.carKindWeights[0], 1.0f);
        EXPECT_FLOAT_EQ(picker.carKindWeights[1], c.twoSlots);
        EXPECT_FLOAT_EQ(picker.carKindWeights[2], c.threeSlots);
    }
}

// Train k of n gets 0.75 to 1.33 of the average less one, rounded; the last what is left. The
// average is taken in single precision: 40 cars over 6 trains is 6.67 a train, not 6.
TEST_F(GameControllerPlayTest, TrainsShareTheCarsFromThreeQuartersToOneAndAThirdOfTheAverage) {
    const struct {
        int cars, trains, k, expected;
    } cases[] = {
        {40, 3, 0, 9},  {40, 3, 1, 13}, {40, 6, 0, 4},   {40, 6, 1, 5},
        {40, 6, 4, 7},  {200, 6, 0, 24}, {200, 6, 4, 39}, {120, 8, 6, 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GameController::trainCarCount(c.cars, c.trains, c.k), c.expected) << c.cars << " " << c.trains << " " << c.k;
}

// The ten states from the map's start: 1 at once, 2 a second later, 3 after a quarter second with
// the whistle, 4 after one and a half seconds; the first train enters while playing and brings
// the stage's music.
TEST_F(GameControllerPlayTest, ALevelOpensWithItsStatesAtTheirDelays) {
    GameController* g = harness->playLevel(0);
    EXPECT_EQ(g->state, GameController::STATE_CONSTRUCTED);
    EXPECT_EQ(g->stateGoto, GameController::STATE_PREPARING);
    std::vector<std::pair<int, double>> entered;
    int last = g->state;
    for (int i = 0; i < 400; ++i) {
        harness->frame();
        if (g->state != last) {
            entered.emplace_back(g->state, g->totalTime);
            last = g->state;
        }
    }
    ASSERT_EQ(entered.size(), 4u);
    const double frame = 1.0 / 60.0;
    EXPECT_EQ(entered[0].first, 1);
    EXPECT_NEAR(entered[0].second, frame, 1e-9);
    EXPECT_EQ(entered[1].first, 2);
    EXPECT_NEAR(entered[1].second - entered[0].second, 1.0, frame + 1e-9);
    EXPECT_EQ(entered[2].first, 3);
    EXPECT_NEAR(entered[2].second - entered[1].second, 0.25, frame + 1e-9);
    EXPECT_EQ(entered[3].first, 4);
    EXPECT_NEAR(entered[3].second - entered[2].second, 1.5, frame + 1e-9);
    EXPECT_EQ(Trace::count(u"whistle"), 1);
    ASSERT_NE(g->pLevel, nullptr);
    EXPECT_GE(g->trainsSpawned, 1);
    EXPECT_NE(g->pLauncher->state, Launcher::STATE_DISABLED);
    EXPECT_EQ(g->musicCurrent, g->musicGame);
    EXPECT_EQ(harness->engine->pQelAudio->pCurrentMusic, g->musicGame);
    EXPECT_GT(g->levelStartTime, 0.0);
    EXPECT_TRUE(Trace::results.empty());
}

// Nobody plays: the first open slot reaching the tunnel loses the level. The result goes to the
// map once, the trains stop and leave, "Train Missed!" shows, the sounds play, and the level
// closes through states 6, 9 and 10 without a tally.
TEST_F(GameControllerPlayTest, AnIdleLevelIsLostWhenTheFirstOpenSlotReachesTheTunnel) {
    GameController* g = harness->playLevel(0);
    const int frames = runUntilState(GameController::STATE_LOST, 60 * 300);
    ASSERT_EQ(g->state, GameController::STATE_LOST) << "after " << frames << " frames";
    EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_LOST});
    EXPECT_FALSE(g->bEscapeCloses);
    EXPECT_EQ(g->pLauncher->state, Launcher::STATE_DISABLED);
    EXPECT_TRUE(g->pLauncher->queuedPieces().empty());
    EXPECT_EQ(g->pCargoLayer->firstChild, nullptr);
    EXPECT_EQ(g->pMessageLabel->text, AppText::text(u"TRAINMISSED"));
    EXPECT_EQ(Trace::count(u"toot2"), 1);
    EXPECT_EQ(Trace::count(u"loseRound"), 1);
    EXPECT_EQ(Trace::count(u"winRound"), 0);

    runUntilState(GameController::STATE_LOST_WAIT, 60 * 60);
    ASSERT_EQ(g->state, GameController::STATE_LOST_WAIT);
    EXPECT_EQ(g->pLevel->countTrains(), 0);
    const double waitStart = g->totalTime;
    runUntilState(GameController::STATE_CLOSING, 400);
    EXPECT_NEAR(g->totalTime - waitStart, 2.0, 1.0 / 60.0 + 1e-9);
    runUntilState(GameController::STATE_DONE, 400);
    EXPECT_EQ(g->state, GameController::STATE_DONE);
    EXPECT_TRUE(g->bDone);
    EXPECT_EQ(Trace::results.size(), 1u);
    EXPECT_EQ(Trace::count(u"winRound"), 0);
}

// Trains left alone run into their tunnels on every kind of level, even with the halved tunnel
// force of two tracks: an idle level is always lost, its first open slot entering a tunnel.
TEST_F(GameControllerPlayTest, AnIdleLevelIsLostWhateverItsTracks) {
    struct Case {
        int level;
        size_t tracks;
    };
    // The first level with two tracks, the last level with one, the campaign's last level (two).
    const Case cases[] = {{21, 2}, {81, 1}, {82, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        Trace::results.clear();
        GameController* g = harness->playLevel(c.level);
        const int frames = runUntilState(GameController::STATE_LOST, 60 * 300);
        ASSERT_EQ(g->state, GameController::STATE_LOST) << "after " << frames << " frames";
        EXPECT_EQ(g->pLevel->getTracks().size(), c.tracks);
        EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_LOST});
        harness->clearWorld();
    }
}

// A score pop-up of any sign changes the score, never below 0; without a text it reads "+points".
TEST_F(GameControllerPlayTest, ScorePopupsNeverTakeTheScoreBelowZero) {
    harness->startGame(0);
    GameController& g = *harness->game;
    const struct {
        int before, points, after;
    } cases[] = {{300, -500, 0}, {300, 200, 500}, {0, -1, 0}, {1000, -1000, 0}};
    for (const auto& c : cases) {
        profile().score() = c.before;
        g.showFloatingScore(Vector3(), c.points, u"");
        EXPECT_EQ(profile().score(), c.after) << c.before << " " << c.points;
    }
    auto* text = dynamic_cast<FloatingText*>(static_cast<QelBase*>(g.pEffectsLayer->lastChild));
    ASSERT_NE(text, nullptr);
    g.showFloatingScore(Vector3(), 250, u"");
    text = dynamic_cast<FloatingText*>(static_cast<QelBase*>(g.pEffectsLayer->lastChild));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, u"+250");
    g.showFloatingScore(Vector3(), 500, u"Bonus!");
    text = dynamic_cast<FloatingText*>(static_cast<QelBase*>(g.pEffectsLayer->lastChild));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, u"Bonus!");
}

// The first rule that matches decides: pause on the MENU corner, cycle, claw, fire; the
// secondary and primary buttons swap with the option.
TEST_F(GameControllerPlayTest, CommandsFollowTheirOrderAndTheMenuCorner) {
    harness->startGame(0);
    GameController& g = *harness->game;
    const float w = layoutWidth(), h = layoutHeight();
    const float menuX = w - 40.0f, menuY = h - 10.0f;  // layout pixels: x from the left, y from the bottom
    const float fieldX = w / 2.0f, fieldY = h / 3.0f;
    enum Input { LEFT, RIGHT, MIDDLE, RETURN, SPACE, PAUSE, NOTHING };
    const struct {
        Input input;
        bool onMenu, swap;
        int command;
    } cases[] = {
        {LEFT, true, false, GameController::COMMAND_PAUSE},   {RETURN, true, false, GameController::COMMAND_PAUSE},
        {PAUSE, true, false, GameController::COMMAND_PAUSE},  {RETURN, false, false, GameController::COMMAND_NONE},
        {SPACE, false, false, GameController::COMMAND_CYCLE}, {MIDDLE, false, false, GameController::COMMAND_CYCLE},
        {RIGHT, false, false, GameController::COMMAND_CLAW},  {LEFT, false, false, GameController::COMMAND_FIRE},
        {LEFT, false, true, GameController::COMMAND_CLAW},    {RIGHT, false, true, GameController::COMMAND_FIRE},
        {NOTHING, true, false, GameController::COMMAND_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.input << " menu " << c.onMenu << " swap " << c.swap);
        config().bSwapMouse = c.swap;
        harness->setPointer(c.onMenu ? menuX : fieldX, c.onMenu ? menuY : fieldY);
        harness->frame();
        switch (c.input) {
            case LEFT: click(0, c.onMenu ? menuX : fieldX, c.onMenu ? menuY : fieldY); break;
            case RIGHT: click(1, fieldX, fieldY); break;
            case MIDDLE: click(2, fieldX, fieldY); break;
            case RETURN: harness->setKey(0x1C, true); break;
            case SPACE: harness->setKey(0x39, true); break;
            case PAUSE: harness->setKey(0xC5, true); break;
            case NOTHING: break;
        }
        harness->frame();
        EXPECT_EQ(g.command, c.command);
        for (int key : {0x1C, 0x39, 0xC5}) harness->setKey(key, false);
        harness->frame();
        EXPECT_EQ(g.command, GameController::COMMAND_NONE) << "a held key or button is no new command";
    }
    config().bSwapMouse = 0;
    // The pauses asked for wait on the application's stack; they go with it.
}

// The first pass through the power-up timer only schedules: nothing before 8.5 s of game time,
// the next attempt between 0.5 and 1.5 periods later.
TEST_F(GameControllerPlayTest, ThePowerUpTimerFirstOnlySchedules) {
    harness->startGame(3);
    GameController& g = *harness->game;
    harness->frame();
    harness->frame();
    const double first = g.nextPowerUpTime;
    EXPECT_GE(first, 8.5);
    EXPECT_LE(first, 25.5 + 0.1);
    while (g.getGameTime() < first - 0.05) {
        harness->frame();
        ASSERT_EQ(g.stats_bonusesSpawned, 0) << "at " << g.getGameTime();
    }
    harness->run(10);
    EXPECT_GE(g.nextPowerUpTime, first + 8.5 - 1e-9);
    EXPECT_LE(g.nextPowerUpTime, first + 25.5 + 0.2);
}

// Tutorial pages on the levels that have one (the first only with the tutorial on), tips on the
// others up to level 27, nothing beyond.
TEST_F(GameControllerPlayTest, LevelsGetTheirPageOrTip) {
    const struct {
        int level;
        bool tutorial;
        const char16_t* title;
        const char16_t* body;
    } cases[] = {
        {0, true, u"TIPHOWTOPLAYTITLE", u"TIPHOWTOPLAY"},
        {0, false, nullptr, nullptr},
        {4, false, u"TIPDOUBLECARRIAGETITLE", u"TIPDOUBLECARRIAGE"},
        {11, false, u"TIP", u"TIP12"},
        {27, false, u"TIP", u"TIP11"},
        {21, false, u"TIPTWINTRACKSTITLE", u"TIPTWINTRACKS"},
        {28, false, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        config().bTutorial = c.tutorial;
        GameController* g = harness->newGame(c.level);
        g->gotoState(GameController::STATE_PREPARING);
        if (!c.title) {
            EXPECT_EQ(g->pTutorialPopup, nullptr);
            continue;
        }
        ASSERT_NE(g->pTutorialPopup, nullptr);
        EXPECT_EQ(g->pTutorialPopup->titleText, AppText::text(c.title));
        EXPECT_EQ(g->pTutorialPopup->bodyText, AppText::text(c.body));
        EXPECT_TRUE(g->pTutorialPopup->bHelpMessage);
    }
    config().bTutorial = 0;
}

// State 2 brings the level's page over the game with help on, and drops it with help off. The
// page's box switches help off, and the next level's page then stays away.
TEST_F(GameControllerPlayTest, TheLevelsPageComesWithHelpOnly) {
    ContextManager* stack = harness->application->pContextManager;
    QelInput* input = harness->engine->pQelInput;
    for (const bool help : {false, true}) {
        SCOPED_TRACE(help ? "help on" : "help off");
        config().bTutorial = help;
        GameController* g = harness->playLevel(4);
        harness->pushGame();
        runUntilState(GameController::STATE_TUTORIAL, 200);
        harness->frame();
        EXPECT_EQ(g->pTutorialPopup, nullptr) << "shown or deleted, never kept";
        if (!help) {
            EXPECT_EQ(stack->getTopContext(), g);
            EXPECT_EQ(countScreens<ContextMessage>(stack), 0);
            continue;
        }
        auto* page = dynamic_cast<ContextMessage*>(stack->getTopContext());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->titleText, AppText::text(u"TIPDOUBLECARRIAGETITLE"));
        EXPECT_EQ(page->bodyText, AppText::text(u"TIPDOUBLECARRIAGE"));
        EXPECT_EQ(g->state, GameController::STATE_TUTORIAL) << "the game waits under its page";
        // The player taps the page's box.
        ASSERT_NE(page->pHelpToggle, nullptr);
        const Vector3 box = page->pHelpToggle->position;
        const Vector3 w = input->layoutToWindow(Vector3(box.x + layoutWidth() / 2.0f, box.y + layoutHeight() / 2.0f, 0.0f));
        input->onWindowTouchDown(1, static_cast<int>(std::lround(w.x)), static_cast<int>(std::lround(w.y)));
        harness->frame();
        input->onWindowTouchUp(1, static_cast<int>(std::lround(w.x)), static_cast<int>(std::lround(w.y)));
        harness->frame();
        EXPECT_EQ(config().bTutorial, 0);
        page->bDone = true;
        harness->run(2);
        ASSERT_EQ(stack->getTopContext(), g);

        GameController* next = harness->playLevel(5);
        harness->pushGame();
        runUntilState(GameController::STATE_WHISTLE, 200);
        EXPECT_EQ(next->state, GameController::STATE_WHISTLE);
        EXPECT_EQ(stack->getTopContext(), next);
        EXPECT_EQ(countScreens<ContextMessage>(stack), 0);
    }
    config().bTutorial = 0;
}

// Levels with two launcher spots tell that Space cycles them: the line at the foot of the display
// from state 4, after a second, for ten; none on a level with one spot.
TEST_F(GameControllerPlayTest, TwoSpotLevelsTellThatSpaceCycles) {
    for (const int level : {0, 8}) {
        SCOPED_TRACE(level);
        GameController* g = harness->playLevel(level);
        runUntilState(GameController::STATE_PLAYING, 300);
        ASSERT_EQ(g->state, GameController::STATE_PLAYING);
        if (g->pLevel->launcherPositions.size() < 2) {
            EXPECT_EQ(g->pCycleLabel, nullptr);
            continue;
        }
        TextLabel* label = g->pCycleLabel;
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->owner, g->pHudLayer);
        EXPECT_EQ(label->text, AppText::text(u"SPACETOCYCLE"));
        EXPECT_FLOAT_EQ(label->position.y, 4.0f - layoutHeight() / 2.0f);
        EXPECT_FALSE(label->bShadow);
        EXPECT_NE(label->alignment & 0x80, 0);
        EXPECT_DOUBLE_EQ(label->fadeIn, 0.25);
        EXPECT_DOUBLE_EQ(label->fadeOut, 0.25);
        EXPECT_NEAR(label->delay, 1.0, kFrame + 1e-9) << "counted down from the frame that entered state 4";
        EXPECT_DOUBLE_EQ(label->duration, 10.0);
    }
}

// Losing the window while playing saves; getting it back clears the saved-game flag. No frame of
// the game runs while the window is away.
TEST_F(GameControllerPlayTest, FocusLossSavesAndFocusBackClearsTheSavedGameFlag) {
    harness->startGame(0);
    GameController& g = *harness->game;
    harness->run(30);
    const double clock = g.getGameTime();
    harness->engine->bWindowActive = false;
    harness->frame();
    EXPECT_EQ(Trace::saves, 1);
    profile().bHasSavedGame = 1;
    harness->engine->bWindowActive = true;
    harness->frame();
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_DOUBLE_EQ(g.getGameTime(), clock);
    harness->frame();
    EXPECT_GT(g.getGameTime(), clock);
    EXPECT_EQ(Trace::saves, 1);
}

// Leaving the stack finished cuts the sounds still playing and forgets the music, the output
// running on for the next screen; leaving it under another screen changes nothing.
TEST_F(GameControllerPlayTest, LeavingFinishedCutsTheSoundsAndForgetsTheMusic) {
    harness->startGame(0);
    GameController& g = *harness->game;
    QelAudio* audio = harness->engine->pQelAudio;
    Sound* chug = GameController::findSound(u"engineChug");
    ASSERT_NE(chug, nullptr);
    ASSERT_NE(g.musicGame, nullptr);
    for (const bool finished : {false, true}) {
        SCOPED_TRACE(finished ? "finished" : "covered");
        // The sound's minimum interval lies between two starts.
        harness->run(30);
        audio->setMusic(g.musicGame);
        SoundChannel channel(chug);
        channel.play();
        ASSERT_TRUE(channel.isPlaying());
        g.onDeactivate(finished);
        EXPECT_EQ(channel.isPlaying(), !finished);
        EXPECT_EQ(audio->pCurrentMusic, finished ? nullptr : g.musicGame);
        EXPECT_TRUE(platform::audioOutputRunning());
        BASS_ChannelStop(channel.hChannel);
    }
}

// On the screen stack: a click on MENU pauses (the game clock, trains and launcher stand), Resume
// goes on; Escape in play leaves for the map without deleting the level; in state 7 it does
// nothing.
TEST_F(GameControllerPlayTest, PauseStandsTheGameAndEscapeLeavesItWaiting) {
    harness->startGame(0);
    harness->pushGame();
    GameController* g = harness->game;
    ContextManager* stack = harness->application->pContextManager;
    harness->run(120);
    ASSERT_EQ(stack->getTopContext(), g);

    click(0, layoutWidth() - 40.0f, layoutHeight() - 10.0f);
    harness->frame();
    harness->frame();
    auto* pause = dynamic_cast<ContextPause*>(stack->getTopContext());
    ASSERT_NE(pause, nullptr);
    // The game clock, every train segment's place and speed, the launcher's aim and state.
    const auto still = [g] {
        std::vector<double> values{g->getGameTime(), g->totalTime, double(g->pLauncher->aimAngle), double(g->pLauncher->cycleProgress),
                                   double(g->pLauncher->state), double(g->pLauncher->chain ? g->pLauncher->chain->state : -1)};
        for (Track* track : g->pLevel->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next) {
                    const auto* segment = static_cast<TrainLayout*>(s);
                    values.insert(values.end(), {segment->motion.position.x, segment->motion.velocity.x, double(segment->countCars())});
                }
        return values;
    };
    const double clock = g->getGameTime();
    const std::vector<double> before = still();
    ASSERT_GT(before.size(), 6u) << "a train is in play";
    harness->run(60);
    EXPECT_EQ(still(), before);
    pause->bDone = true;
    harness->run(2);
    EXPECT_EQ(stack->getTopContext(), g);
    EXPECT_GT(g->getGameTime(), clock);

    harness->setKey(0x01, true);
    harness->frame();
    harness->setKey(0x01, false);
    harness->frame();
    EXPECT_NE(stack->getTopContext(), g);
    EXPECT_EQ(harness->application->pGameController, g) << "the level waits for the map's Continue";
    EXPECT_EQ(g->state, GameController::STATE_PLAYING);
    // Continue: pushed again, the state and music come back.
    stack->pushContext(g);
    g->continueGame();
    harness->run(2);
    EXPECT_EQ(stack->getTopContext(), g);
    EXPECT_EQ(g->state, GameController::STATE_PLAYING);
    EXPECT_EQ(harness->engine->pQelAudio->pCurrentMusic, g->musicCurrent);

    // Won: Escape no longer closes the level.
    g->gotoState(GameController::STATE_WON);
    harness->setKey(0x01, true);
    harness->frame();
    harness->setKey(0x01, false);
    harness->frame();
    EXPECT_EQ(stack->getTopContext(), g);
    EXPECT_FALSE(g->bDone);
    EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_WON});
}

// A click on MENU pauses while the level is prepared or played (states 1-4) and never once it is
// lost or won (5-9), whether it comes in the very frame that enters the state or later in it (in
// the frame that enters state 1 nothing of the level runs yet); a pause asked for in the frame
// that brings the level's page lies over the page.
TEST_F(GameControllerPlayTest, MenuPausesOnlyUntilTheLevelIsLostOrWon) {
    ContextManager* stack = harness->application->pContextManager;
    const float menuX = layoutWidth() - 40.0f, menuY = layoutHeight() - 10.0f;
    // The way to each state: 1-4 by their delays, then lost (5, 6) or won (7, 8, 9).
    const struct {
        int state;
        bool won;
        bool pausesEntering, pausesLater;
    } cases[] = {
        {1, false, false, true}, {2, false, true, true},   {3, false, true, true},
        {4, false, true, true},  {5, false, false, false}, {6, false, false, false},
        {7, true, false, false}, {8, true, false, false},  {9, true, false, false},
    };
    for (const auto& c : cases) {
        for (const bool entering : {true, false}) {
            SCOPED_TRACE(testing::Message() << "state " << c.state << (entering ? ", the frame entering it" : ", later in it"));
            config().bTutorial = 1;
            GameController* g = harness->playLevel(1);  // a level with its page
            harness->pushGame();
            // Frames until the next one enters the state; what lies over the game is closed.
            bool due = false;
            for (int i = 0; i < 60 * 30 && !due; ++i) {
                Context* top = stack->getTopContext();
                if (top != g) {
                    top->bDone = true;
                } else if (g->stateGoto == c.state && g->state != c.state && g->stateLeft > 0.0 && g->stateLeft - kFrame <= 0.0) {
                    due = true;
                    break;
                } else if (g->state == GameController::STATE_PLAYING && g->pLevel->countTrains() > 0 && c.state >= 5) {
                    auto* train = static_cast<Train*>(g->pLevel->getTracks()[0]->trains->firstChild);
                    if (c.won) {
                        // The last train has gone: the frame's rules see the level won.
                        g->trainsSpawned = g->trainsTotal;
                        dropAllTrains(*g);
                        if (c.state == 7) due = true;
                    } else if (train->state == Train::STATE_RUNNING) {
                        // The front segment past the tunnel: its first open slot loses the level.
                        TrainLayout* front = train->firstSegment();
                        const float pos = g->pLevel->getTracks()[0]->tunnelLambda + 400.0f;
                        front->firstCar()->frontPos = pos;
                        front->motion.position.x = pos;
                        front->placeCars();
                        if (c.state == 5) due = true;
                    }
                    if (due) break;
                } else if (g->state == GameController::STATE_LOST && c.state == 6) {
                    dropAllTrains(*g);
                    due = true;
                    break;
                }
                harness->frame();
            }
            ASSERT_TRUE(due);
            if (!entering) {
                harness->frame();
                ASSERT_EQ(g->state, c.state);
                // The page or the tally the state brought is closed first.
                for (int i = 0; i < 3 && stack->getTopContext() != g; ++i) {
                    stack->getTopContext()->bDone = true;
                    harness->frame();
                }
                ASSERT_EQ(stack->getTopContext(), g);
                ASSERT_EQ(g->state, c.state);
            }
            click(0, menuX, menuY);
            harness->frame();
            ASSERT_EQ(g->state, c.state);
            const std::vector<Context*> stacked = screens(stack);
            const bool pauses = entering ? c.pausesEntering : c.pausesLater;
            EXPECT_EQ(countScreens<ContextPause>(stack), pauses ? 1 : 0);
            if (pauses) {
                EXPECT_NE(dynamic_cast<ContextPause*>(stacked.back()), nullptr) << "the pause lies over all";
            }
            if (c.state == 2 && entering) {
                EXPECT_EQ(countScreens<ContextMessage>(stack), 1) << "the page is there, under the pause";
            }
            if (c.state == 8 && entering) {
                EXPECT_NE(dynamic_cast<ContextLevelComplete*>(stacked.back()), nullptr);
            }
            harness->clearWorld();
        }
    }
    config().bTutorial = 0;
}

// A perfect level won with MENU clicked in every frame from the win to the end: no pause ever,
// the tally shows and pays three gold medals and the top bonus, and the level closes.
TEST_F(GameControllerPlayTest, AWonLevelAlwaysEndsWithItsTallyPaid) {
    ContextManager* stack = harness->application->pContextManager;
    harness->startGame(0);
    harness->pushGame();
    GameController* g = harness->game;
    for (int i = 0; i < 1200 && g->pLevel->countTrains() == 0; ++i) harness->frame();
    harness->run(30);
    // Every shot placed right, no power-ups, all cars in one second.
    g->stats_shotsFired = g->stats_correctPlacements = g->totalCars;
    g->stats_incorrectPlacements = 0;
    g->levelStartTime = g->getGameTime() - 1.0;
    g->trainsSpawned = g->trainsTotal;
    dropAllTrains(*g);
    const int before = profile().score();
    bool tallied = false;
    for (int i = 0; i < 60 * 10 && !g->bDone; ++i) {
        click(0, layoutWidth() - 40.0f, layoutHeight() - 10.0f);
        harness->frame();
        ASSERT_EQ(countScreens<ContextPause>(stack), 0) << "state " << g->state;
        // The player closes the tally once it has counted everything.
        if (auto* tally = dynamic_cast<ContextLevelComplete*>(stack->getTopContext())) {
            tallied = true;
            if (tally->totalTime > 3.0) tally->bDone = true;
        }
    }
    EXPECT_TRUE(g->bDone);
    EXPECT_TRUE(tallied);
    EXPECT_EQ(countScreens<ContextLevelComplete>(stack), 0);
    EXPECT_EQ(profile().score() - before, 3 * 5000 + 50000);
    EXPECT_EQ(Trace::results, std::vector<int>{GameController::RESULT_WON});
}

// The danger (the front train's progress to its tunnel) above 0.95 brings the hurry music once;
// between 0.9 and 0.95 the music stays; below 0.9 the stage's music comes back. The help chance
// follows the same danger.
TEST_F(GameControllerPlayTest, DangerSwitchesToTheHurryMusicAndBack) {
    harness->startGame(0);
    GameController& g = *harness->game;
    Track* track = g.pLevel->getTracks()[0];
    for (int i = 0; i < 600 && track->trains->firstChild == nullptr; ++i) harness->frame();
    auto* train = static_cast<Train*>(track->trains->firstChild);
    ASSERT_NE(train, nullptr);
    harness->run(60);
    QelAudio* audio = harness->engine->pQelAudio;
    const struct {
        float progress;
        bool hurry;
        float help;
    } steps[] = {{0.92f, false, 0.0f}, {0.97f, true, 0.75f}, {0.93f, true, 0.0f}, {0.96f, true, 0.75f}, {0.85f, false, 0.0f}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.progress);
        TrainLayout* front = train->firstSegment();
        const float pos = track->createLambda + step.progress * (track->tunnelLambda - track->createLambda);
        front->firstCar()->frontPos = pos;
        front->motion.position.x = pos;
        front->motion.velocity.x = 0.0f;
        front->placeCars();
        harness->frame();
        harness->frame();
        ASSERT_NEAR(g.pLevel->getProgress(), step.progress, 0.01f);
        EXPECT_EQ(g.musicCurrent, step.hurry ? g.musicHurry : g.musicGame);
        EXPECT_EQ(audio->pCurrentMusic, g.musicCurrent);
        EXPECT_FLOAT_EQ(g.helpChance, step.help);
    }
}

// The power-up spawner seats the level's forced bonus in an empty open slot without counting a
// placement or playing the wrong-placement sound.
TEST_F(GameControllerPlayTest, TheSpawnerSeatsTheForcedBonusWithoutCountingAPlacement) {
    harness->startGame(3);
    GameController& g = *harness->game;
    CargoSlot* seated = nullptr;
    for (int i = 0; i < 60 * 60 && g.stats_bonusesSpawned == 0; ++i) harness->frame();
    ASSERT_EQ(g.stats_bonusesSpawned, 1);
    for (CargoSlot* slot : g.colorPicker.openSlots)
        if (slot->held && slot->held->bPowerUp) seated = slot;
    harness->frame();
    for (CargoSlot* slot : g.colorPicker.openSlots)
        if (slot->held && slot->held->bPowerUp) seated = slot;
    ASSERT_NE(seated, nullptr);
    EXPECT_EQ(seated->held->type, Cargo::TYPE_STOP_BONUS);
    EXPECT_EQ(seated->held->state, Cargo::STATE_SEATED);
    EXPECT_EQ(g.stats_incorrectPlacements, 0);
    EXPECT_EQ(g.stats_correctPlacements, 0);
    EXPECT_EQ(Trace::count(u"wrong"), 0);
    EXPECT_EQ(g.colorPicker.forcedCount, 2);
}

// Touch: a tap on MENU pauses, a tap near the other launcher spot cycles, a tap elsewhere fires.
TEST_F(GameControllerPlayTest, TouchTapsPauseCycleOrFire) {
    harness->startGame(8);
    GameController& g = *harness->game;
    ASSERT_GE(g.pLevel->launcherPositions.size(), 2u);
    QelInput* input = harness->engine->pQelInput;
    Camera* camera = g.pWorldLayer->pCamera;
    const WorldRect rect = camera->getVisibleRect(camera->target.z);
    const float pixels = (0.0f - camera->position.z) / (layoutWidth() / 2.0f);
    const Vector3 other = g.pLevel->launcherPositions[1];
    const Vector3 nearOther((other.x + 30.0f - rect.left) / pixels, (other.y - rect.bottom) / pixels, 0.0f);
    const struct {
        Vector3 at;
        int command;
    } cases[] = {
        {Vector3(layoutWidth() - 40.0f, layoutHeight() - 10.0f, 0.0f), GameController::COMMAND_PAUSE},
        {nearOther, GameController::COMMAND_CYCLE},
        {Vector3(layoutWidth() / 2.0f, layoutHeight() * 0.6f, 0.0f), GameController::COMMAND_FIRE},
    };
    int tag = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const Vector3 w = input->layoutToWindow(c.at);
        input->onWindowTouchDown(tag, static_cast<int>(w.x), static_cast<int>(w.y));
        harness->frame();
        EXPECT_EQ(input->inputMode, INPUTMODE_TOUCH);
        EXPECT_EQ(g.command, c.command);
        input->onWindowTouchUp(tag, static_cast<int>(w.x), static_cast<int>(w.y));
        harness->frame();
        harness->frame();
        ++tag;
    }
    harness->setPointer(layoutWidth() / 2.0f, layoutHeight() / 2.0f);
}

// Touch on a slot: a tap on a visible slot holding a wrong piece or a power-up shoots the claw;
// on one holding its own colour or a wildcard, on an empty one, or on one under a hidden stretch
// (locked), the tap aims and fires.
TEST_F(GameControllerPlayTest, ATapOnAVisibleSlotWithAWrongPieceOrABonusClaws) {
    harness->startGame(0);
    GameController& g = *harness->game;
    QelInput* input = harness->engine->pQelInput;
    const struct {
        int piece;  // the type seated in the slot (TYPE_NONE: left empty; -1: a wrong colour)
        bool locked;
        int command;
    } cases[] = {
        {-1, false, GameController::COMMAND_CLAW},
        {Cargo::TYPE_STOP_BONUS, false, GameController::COMMAND_CLAW},
        {Cargo::TYPE_EXTRA_LIFE_BONUS, false, GameController::COMMAND_CLAW},
        {Cargo::TYPE_NONE, false, GameController::COMMAND_FIRE},
        {-1, true, GameController::COMMAND_FIRE},
        {Cargo::TYPE_STOP_BONUS, true, GameController::COMMAND_FIRE},
        {Cargo::TYPE_WILDCARD, false, GameController::COMMAND_FIRE},
        {Cargo::TYPE_COLOR_COUNT, false, GameController::COMMAND_FIRE},  // the slot's own colour
    };
    int tag = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "piece " << c.piece << (c.locked ? ", locked" : ""));
        int wrong = -1;
        CargoSlot* slot = findEmptySlot(wrong);
        ASSERT_NE(slot, nullptr);
        const int type = c.piece == -1 ? wrong : c.piece == Cargo::TYPE_COLOR_COUNT ? slot->color : c.piece;
        // The piece seated, and for a locked slot its stretch of track hidden, as the tap's frame
        // sees them before the level moves (a completed car may go in that frame).
        if (type != Cargo::TYPE_NONE) slot->replaceCargo(Cargo::createByType(type));
        slot->bHidden = c.locked;
        Camera* camera = g.pWorldLayer->pCamera;
        const WorldRect rect = camera->getVisibleRect(camera->target.z);
        const float pixels = (0.0f - camera->position.z) / (layoutWidth() / 2.0f);
        const Vector3 w = input->layoutToWindow(
            Vector3((slot->boundsCenter.x - rect.left) / pixels, (slot->boundsCenter.y - rect.bottom) / pixels, 0.0f));
        const int x = static_cast<int>(std::lround(w.x)), y = static_cast<int>(std::lround(w.y));
        input->onWindowTouchDown(tag, x, y);
        harness->frame();
        EXPECT_EQ(g.command, c.command);
        input->onWindowTouchUp(tag, x, y);
        harness->frame();
        ++tag;
    }
    harness->setPointer(layoutWidth() / 2.0f, layoutHeight() / 2.0f);
}

// The tutorial's hint arrow on the first level: the left-click hint at a slot the piece on the bow
// fits, the right-click hint (taking precedence) at a slot holding a wrong piece; each new target
// takes one from its budget of five, so that a hint points at no more than four targets, and the
// fifth clears the text. With the help switched off no hint shows.
TEST_F(GameControllerPlayTest, HintArrowsPointAtFourTargetsEachOnTheFirstLevel) {
    // The arrow points where the slot was as the frame's hints saw it, before the level moved.
    const auto arrowAt = [](const SpeechArrow& arrow, const Vector3& centre) {
        return std::hypot(arrow.arrow.position.x - centre.x, arrow.arrow.position.y - centre.y) < 0.01f;
    };
    for (const bool tutorial : {true, false}) {
        SCOPED_TRACE(tutorial ? "help on" : "help off");
        config().bTutorial = tutorial;
        harness->startGame(0);
        GameController& g = *harness->game;
        const SpeechArrow& arrow = *g.pSpeechArrow;
        // The left-click hint comes with the first piece on the bow and a slot it fits.
        const auto pieceFits = [&g] { return g.pLauncher->frontPiece() && g.colorPicker.findSlotFor(g.pLauncher->frontPiece()); };
        for (int i = 0; i < 1200 && arrow.text.empty() && !(pieceFits() && !tutorial); ++i) harness->frame();
        ASSERT_TRUE(pieceFits());
        if (!tutorial) {
            EXPECT_EQ(arrow.text, u"");
            EXPECT_EQ(g.leftClickHints, 5);
        } else {
            ASSERT_EQ(arrow.text, AppText::text(u"TUTORIALLMB"));
            EXPECT_EQ(arrow.arrow.color, 0xFFFFECBFu);
            EXPECT_EQ(g.leftClickHints, 4);
            EXPECT_EQ(g.rightClickHints, 5);
        }
        // Wrong pieces in four slots one after the other, then in a fifth.
        std::vector<CargoSlot*> used;
        for (int target = 1; target <= 5; ++target) {
            SCOPED_TRACE(target);
            int wrong = -1;
            CargoSlot* slot = findEmptySlot(wrong, used);
            ASSERT_NE(slot, nullptr);
            // The last target's piece is put right: only the new one is wrong.
            if (!used.empty()) used.back()->replaceCargo(Cargo::createByType(used.back()->color));
            used.push_back(slot);
            slot->replaceCargo(Cargo::createByType(wrong));
            const Vector3 centre = slot->getCentre();
            harness->frame();
            if (!tutorial) {
                EXPECT_EQ(arrow.text, u"");
                EXPECT_EQ(g.rightClickHints, 5);
                continue;
            }
            EXPECT_EQ(g.rightClickHints, 5 - target);
            if (target < 5) {
                EXPECT_EQ(arrow.text, AppText::text(u"TUTORIALRMB"));
                EXPECT_EQ(arrow.arrow.color, 0xFFFF8040u);
                EXPECT_TRUE(arrowAt(arrow, centre));
                // The same target again takes nothing more.
                harness->frame();
                EXPECT_EQ(g.rightClickHints, 5 - target);
            } else {
                EXPECT_EQ(arrow.text, u"");
            }
        }
        harness->clearWorld();
    }
    config().bTutorial = 0;
}

// On the third level the hint shows the claw at a slot holding a bonus, and goes with the bonus.
TEST_F(GameControllerPlayTest, TheClawHintPointsAtABonusOnTheThirdLevel) {
    config().bTutorial = 1;
    harness->startGame(2);
    GameController& g = *harness->game;
    const SpeechArrow& arrow = *g.pSpeechArrow;
    int wrong = -1;
    CargoSlot* slot = findEmptySlot(wrong);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(arrow.text, u"") << "no left- or right-click hints past the first level";
    slot->replaceCargo(Cargo::createByType(Cargo::TYPE_SLOW_BONUS));
    harness->frame();
    EXPECT_EQ(arrow.text, AppText::text(u"TUTORIALRMBBONUS"));
    EXPECT_EQ(arrow.arrow.color, 0xFFC0FF80u);
    EXPECT_EQ(g.clawHints, 4);
    slot->replaceCargo(Cargo::createByType(slot->color));
    harness->frame();
    EXPECT_EQ(arrow.text, u"");
    config().bTutorial = 0;
}

// A hint goes with its target: the slot it points at running into the tunnel, or its car completed
// and gone, leaves the arrow without a text (the other hints are used up, so none takes over).
TEST_F(GameControllerPlayTest, TheHintArrowGoesWithItsTarget) {
    enum Goes { INTO_TUNNEL, COMPLETED };
    const struct {
        int level;
        int piece;  // -1: a wrong colour
        Goes goes;
        const char16_t* hint;
    } cases[] = {
        {0, -1, INTO_TUNNEL, u"TUTORIALRMB"},
        {0, -1, COMPLETED, u"TUTORIALRMB"},
        {2, Cargo::TYPE_SLOW_BONUS, INTO_TUNNEL, u"TUTORIALRMBBONUS"},
        {2, Cargo::TYPE_SLOW_BONUS, COMPLETED, u"TUTORIALRMBBONUS"},
    };
    config().bTutorial = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << (c.goes == INTO_TUNNEL ? ", into the tunnel" : ", completed"));
        harness->startGame(c.level);
        GameController& g = *harness->game;
        g.leftClickHints = 0;
        const SpeechArrow& arrow = *g.pSpeechArrow;
        int wrong = -1;
        CargoSlot* slot = findEmptySlot(wrong);
        ASSERT_NE(slot, nullptr);
        slot->replaceCargo(Cargo::createByType(c.piece == -1 ? wrong : c.piece));
        harness->frame();
        ASSERT_EQ(arrow.text, AppText::text(c.hint));
        ASSERT_EQ(g.hintTarget, slot);
        if (c.goes == INTO_TUNNEL) {
            TrainLayout* segment = slot->car->segment;
            const float ahead = slot->car->segment->train->track->tunnelLambda + 50.0f - slot->trackPos;
            segment->firstCar()->frontPos += ahead;
            segment->motion.position.x += ahead;
            segment->placeCars();
        } else {
            slot->replaceCargo(Cargo::createByType(slot->color));
            for (BasicLink* s = slot->car->slots.firstChild; s; s = s->next) {
                auto* other = static_cast<CargoSlot*>(s);
                if (!other->isFilled()) other->replaceCargo(Cargo::createByType(other->color));
            }
        }
        harness->run(2);
        EXPECT_EQ(arrow.text, u"");
        harness->clearWorld();
    }
    config().bTutorial = 0;
}

// The head-up display's debug overlay in a level of two tracks: with the statistics flag, one
// white line a track with its danger at x = 150 from y = 0 down, then the level's largest; none
// without the flag.
TEST_F(GameControllerPlayTest, TheDebugOverlayShowsEachTracksDangerAndTheLargest) {
    harness->startGame(21);
    GameController& g = *harness->game;
    const std::vector<Track*> tracks = g.pLevel->getTracks();
    ASSERT_EQ(tracks.size(), 2u);
    // Both tracks' first trains in play, then put at 30% and 60% of their ways.
    for (int i = 0; i < 1200 && !(tracks[0]->getProgress() > 0.0f && tracks[1]->getProgress() > 0.0f); ++i) harness->frame();
    const float at[] = {0.3f, 0.6f};
    for (size_t t = 0; t < 2; ++t) {
        auto* train = static_cast<Train*>(tracks[t]->trains->firstChild);
        ASSERT_NE(train, nullptr);
        TrainLayout* front = train->firstSegment();
        const float pos = tracks[t]->createLambda + at[t] * (tracks[t]->tunnelLambda - tracks[t]->createLambda);
        front->firstCar()->frontPos = pos;
        front->motion.position.x = pos;
        front->placeCars();
    }
    ASSERT_NEAR(tracks[0]->getProgress(), 0.3f, 0.05f);
    ASSERT_NEAR(tracks[1]->getProgress(), 0.6f, 0.05f);
    static std::vector<std::pair<WString, Vector3>> drawn;
    static std::vector<std::pair<int, uint32_t>> looks;
    FontAccess::drawHook = [](FontQuad*, Renderable* r, int flags, WStringView text) {
        drawn.emplace_back(WString(text), Vector3(r->worldXform.m[3][0], r->worldXform.m[3][1], 0.0f));
        looks.emplace_back(flags, r->color);
    };
    const int savedDebug = harness->engine->debugLevel;
    for (const int debug : {0, 0x100}) {
        SCOPED_TRACE(debug);
        harness->engine->debugLevel = debug;
        drawn.clear();
        looks.clear();
        g.getHud()->render();
        std::vector<size_t> danger;
        for (size_t i = 0; i < drawn.size(); ++i)
            if (drawn[i].first.starts_with(u"danger=") || drawn[i].first.starts_with(u"MAX=")) danger.push_back(i);
        if (debug == 0) {
            EXPECT_TRUE(danger.empty());
            continue;
        }
        ASSERT_EQ(danger.size(), 3u);
        const WString expected[] = {format(u"danger=%.3lf", double(tracks[0]->getProgress())),
                                    format(u"danger=%.3lf", double(tracks[1]->getProgress())),
                                    format(u"MAX=%.3lf", double(tracks[1]->getProgress()))};
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(drawn[danger[k]].first, expected[k]);
            EXPECT_FLOAT_EQ(drawn[danger[k]].second.x, 150.0f);
            EXPECT_FLOAT_EQ(drawn[danger[k]].second.y, -10.0f * float(k));
            EXPECT_EQ(looks[danger[k]].first, 2);
            EXPECT_EQ(looks[danger[k]].second, 0xFFFFFFFFu);
        }
    }
    harness->engine->debugLevel = savedDebug;
    FontAccess::drawHook = nullptr;
}

}  // namespace
