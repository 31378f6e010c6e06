// The tally: its measures and medals in single precision, its timing, the payments of medals and
// bonus (also when closed early), and the sparkles around a medal.

#include <gtest/gtest.h>

#include <cmath>

#include "GameScreenFixture.h"
#include "ui/TextLabel.h"
#include "engine/Random.h"
#include "game/AwardDisplay.h"
#include "game/AwardSparkle.h"
#include "game/ContextLevelComplete.h"
#include "game/FloatingText.h"

TEST(TallyMeasureTest, SpeedIsCarsPerSecondTimesOneAndAQuarter) {
    const struct {
        int cars;
        double start, end;
        float speed;
    } cases[] = {
        {40, 10, 50, 1.0f},          // 40 cars in 40 s: 1.25, clamped
        {40, 10, 60, 1.0f},          // in 50 s: exactly 1
        {40, 10, 70, 50.0f / 60.0f},  // in 60 s: 0.833
        {40, 5, 5, 0.0f},            // no time at all: 0, never a division by zero
        {40, 9, 5, 0.0f},            // time running backwards: 0
        {0, 0, 30, 0.0f},
    };
    for (const auto& c : cases) {
        const float v = ContextLevelComplete::measureSpeed(c.cars, c.start, c.end);
        EXPECT_FALSE(std::isnan(v));
        EXPECT_FLOAT_EQ(v, c.speed) << c.cars << " cars " << c.start << ".." << c.end;
    }
}

TEST(TallyMeasureTest, AccuracyAndEfficiency) {
    EXPECT_FLOAT_EQ(ContextLevelComplete::measureAccuracy(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(ContextLevelComplete::measureAccuracy(9, 1), 0.9f);
    EXPECT_FLOAT_EQ(ContextLevelComplete::measureAccuracy(40, 0), 1.0f);
    const struct {
        int collected, spawned, correct, incorrect, shots;
        float efficiency;
    } cases[] = {
        {0, 0, 40, 0, 40, 1.0f},     // no power-up spawned and every shot placed
        {2, 4, 6, 2, 10, 0.65f},     // half of 0.5, plus half of 0.8
        {0, 0, 0, 0, 0, 0.5f},       // nothing spawned, nothing shot
        {3, 3, 0, 0, 0, 0.5f},
        {4, 2, 10, 0, 5, 1.0f},      // never above 1
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(ContextLevelComplete::measureEfficiency(c.collected, c.spawned, c.correct, c.incorrect, c.shots),
                        c.efficiency);
}

TEST(TallyMeasureTest, MedalThresholdsAreStrictInSinglePrecision) {
    const struct {
        float v;
        int medal;
    } cases[] = {
        {1.0f, AwardDisplay::GOLD},     {0.95f, AwardDisplay::GOLD},      {0.9f, AwardDisplay::SILVER},
        {0.85f, AwardDisplay::SILVER},  {0.8f, AwardDisplay::BRONZE},     {0.75f, AwardDisplay::BRONZE},
        {0.7f, AwardDisplay::NONE},     {0.0f, AwardDisplay::NONE},
        {std::nextafter(0.7f, 1.0f), AwardDisplay::BRONZE},
    };
    for (const auto& c : cases) EXPECT_EQ(AwardDisplay::medalFor(c.v), c.medal) << c.v;
    EXPECT_EQ(AwardDisplay::pointsFor(AwardDisplay::BRONZE), 1000);
    EXPECT_EQ(AwardDisplay::pointsFor(AwardDisplay::SILVER), 3000);
    EXPECT_EQ(AwardDisplay::pointsFor(AwardDisplay::GOLD), 5000);
    EXPECT_EQ(AwardDisplay::pointsFor(AwardDisplay::NONE), 0);
}

TEST(TallyMeasureTest, ExcellenceBonus) {
    const struct {
        float v[3];
        int bonus;
    } cases[] = {
        {{1, 1, 1}, 50000}, {{0.95f, 0.95f, 0.95f}, 10000}, {{1, 1, 0.95f}, 10000},
        {{1, 1, 0.9f}, 0},  {{1, 0.5f, 1}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ContextLevelComplete::excellenceBonus(c.v), c.bonus);
}

TEST(TallyMeasureTest, PercentagesCountUpFromHalfASecondToOne) {
    EXPECT_EQ(ContextLevelComplete::shownPercentage(1.0f, 0.0), 0);
    EXPECT_EQ(ContextLevelComplete::shownPercentage(1.0f, 0.5), 0);
    EXPECT_EQ(ContextLevelComplete::shownPercentage(1.0f, 0.75), 50);
    EXPECT_EQ(ContextLevelComplete::shownPercentage(0.9f, 1.0), 90);
    EXPECT_EQ(ContextLevelComplete::shownPercentage(50.0f / 60.0f, 3.0), 83);
}

namespace {
struct TallyTest : GameScreenTest {
    // A won level with the given statistics, on the stack under a new tally.
    void win(int correct, int incorrect, int shots, double seconds) {
        controller = new GameController();
        application->pGameController = controller;
        controller->totalCars = 40;
        controller->stats_correctPlacements = correct;
        controller->stats_incorrectPlacements = incorrect;
        controller->stats_shotsFired = shots;
        controller->levelStartTime = 10.0;
        controller->levelEndTime = 10.0 + seconds;
        stack->pushContext(controller);
        step();
        // The tally's frames start from a clean frame time, so that its steps add up exactly.
        engine->frameTimer.previousFrameTime = engine->frameTimer.frameTime = 0.0;
        tally = new ContextLevelComplete();
        stack->pushContext(tally);
    }
    // Frames of 1/32 s (exact in binary) until the tally's clock reaches t.
    void runTo(double t) {
        while (stack->getTopContext() == tally && tally->totalTime < t) step(1.0 / 32.0);
    }
    std::vector<float> pitches(const char16_t* name) {
        std::vector<float> out;
        for (const auto& p : SoundTrace::played)
            if (p.first == name) out.push_back(p.second);
        return out;
    }
    GameController* controller = nullptr;
    ContextLevelComplete* tally = nullptr;
};
}  // namespace

TEST_F(TallyTest, APerfectLevelPaysThreeGoldsAndTheTopBonus) {
    profile().score() = 2500;
    win(40, 0, 40, 30);
    runTo(0.45);
    EXPECT_EQ(SoundTrace::count(u"bellSmall"), 0);
    runTo(0.5);
    EXPECT_EQ(SoundTrace::count(u"bellSmall"), 1);
    runTo(1.2);
    EXPECT_EQ(tally->pValueLabels[0]->text, u"100%");
    EXPECT_EQ(profile().score(), 2500);
    runTo(1.25);
    EXPECT_EQ(profile().score(), 2500 + 5000);
    runTo(2.45);
    EXPECT_EQ(profile().score(), 2500 + 15000);
    EXPECT_EQ(pitches(u"bell"), (std::vector<float>{1.5f, 1.5f, 1.5f}));
    runTo(2.5);
    EXPECT_EQ(profile().score(), 2500 + 50000 + 15000);
    EXPECT_EQ(SoundTrace::count(u"applause3"), 1);
    runTo(4.0);
    EXPECT_EQ(SoundTrace::count(u"applause3"), 1);
    EXPECT_EQ(SoundTrace::count(u"bellSmall"), 1);
    // Closed: nothing is paid twice.
    press();
    step();
    endTouches();
    step();
    EXPECT_EQ(stack->getTopContext(), controller);
    EXPECT_EQ(profile().score(), 2500 + 50000 + 15000);
}

TEST_F(TallyTest, NinetyFivePercentPaysTheSmallBonus) {
    win(19, 1, 20, 30);  // accuracy 0.95, efficiency 0.5 + 0.5 = 1, speed 1
    runTo(3.0);
    EXPECT_EQ(profile().score(), 10000 + 15000);
    EXPECT_EQ(SoundTrace::count(u"applause2"), 1);
    EXPECT_EQ(SoundTrace::count(u"applause3"), 0);
}

// The bonus rises as a score pop-up from (0, 70 - layout height / 2), under the medals' names, as it
// is paid; a level short of excellent shows none.
TEST_F(TallyTest, TheBonusPopsUpAboveTheFootOfTheScreen) {
    const struct {
        int correct, incorrect, shots;
        const char16_t* text;
    } cases[] = {{40, 0, 40, u"+50000"}, {19, 1, 20, u"+10000"}, {30, 10, 40, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.correct);
        win(c.correct, c.incorrect, c.shots, 30);
        const auto popUps = [this] {
            std::vector<FloatingText*> found;
            for (BasicLink* l = tally->firstChild; l; l = l->next)
                if (auto* text = dynamic_cast<FloatingText*>(static_cast<QelBase*>(l))) found.push_back(text);
            return found;
        };
        runTo(2.45);
        EXPECT_TRUE(popUps().empty());
        runTo(2.5);
        const std::vector<FloatingText*> shown = popUps();
        if (!c.text) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0]->text, c.text);
            EXPECT_FLOAT_EQ(shown[0]->position.x, 0.0f);
            // Risen by its first step (32 units a second) since it was placed.
            EXPECT_NEAR(shown[0]->position.y, 70.0f - float(engine->pQelGraphics->layoutHeight) / 2.0f, 32.0f / 32.0f + 1e-3f);
        }
        tally->bDone = true;
        controller->bDone = true;
        step();
        step();
        application->pGameController = nullptr;
        delete controller;
    }
}

TEST_F(TallyTest, MedalsFollowTheMeasuresAndTheBellRisesWithTheMedal) {
    win(9, 1, 20, 60);  // speed 0.833 silver, accuracy 0.9 silver, efficiency 0.5 + 0.25 bronze
    EXPECT_EQ(tally->pAwards[0]->medal, AwardDisplay::SILVER);
    EXPECT_EQ(tally->pAwards[1]->medal, AwardDisplay::SILVER);
    EXPECT_EQ(tally->pAwards[2]->medal, AwardDisplay::BRONZE);
    runTo(3.0);
    EXPECT_EQ(pitches(u"bell"), (std::vector<float>{1.25f, 1.25f, 1.0f}));
    EXPECT_EQ(profile().score(), 3000 + 3000 + 1000);
    EXPECT_EQ(tally->pValueLabels[0]->text, u"83%");
    EXPECT_EQ(tally->pValueLabels[1]->text, u"90%");
    EXPECT_EQ(tally->pValueLabels[2]->text, u"75%");
}

TEST_F(TallyTest, ClosingAtOneSecondStillPaysEveryMedalAndTheBonusOnce) {
    win(40, 0, 40, 30);
    runTo(1.0);
    EXPECT_EQ(profile().score(), 0);
    press();
    step();
    endTouches();
    step();
    EXPECT_EQ(stack->getTopContext(), controller);
    EXPECT_EQ(profile().score(), 50000 + 15000);
    for (int i = 0; i < 5; ++i) step();
    EXPECT_EQ(profile().score(), 50000 + 15000);
}

TEST_F(TallyTest, WithoutAGameThereIsNothingToPay) {
    tally = new ContextLevelComplete();
    stack->pushContext(tally);
    runTo(3.0);
    for (float m : tally->measures) EXPECT_FLOAT_EQ(m, 0.0f);
    for (AwardDisplay* a : tally->pAwards) EXPECT_EQ(a->medal, AwardDisplay::NONE);
    EXPECT_EQ(profile().score(), 0);
    EXPECT_EQ(SoundTrace::count(u"bell"), 0);
}

TEST_F(TallyTest, TheLevelsDisplayStaysLiveBehindTheTally) {
    win(40, 0, 40, 30);
    const double before = controller->pHudLayer->totalTime;
    const double world = controller->pWorldLayer->totalTime;
    runTo(0.5);
    // The display's clock runs with the tally's.
    EXPECT_NEAR(controller->pHudLayer->totalTime - before, tally->totalTime, 1e-9);
    // The game itself stands.
    EXPECT_DOUBLE_EQ(controller->pWorldLayer->totalTime, world);
}

TEST_F(TallyTest, TheGameIsDrawnBehindTheTallyAndNothingWithoutAGame) {
    struct RenderProbe : QelBase {
        void render() override { ++renders; }
        int renders = 0;
    } probe;
    win(40, 0, 40, 30);
    controller->pPreHook = &probe;
    step();
    stack->draw();
    EXPECT_EQ(probe.renders, 1);
    application->pGameController = nullptr;
    stack->draw();
    EXPECT_EQ(probe.renders, 1);
    application->pGameController = controller;
    controller->pPreHook = nullptr;
}

using AwardTest = GameScreenTest;

TEST_F(AwardTest, SparkleSwellsSpinsAndEndsInOneSecond) {
    AwardSparkle sparkle(0, 0, 0);
    const struct {
        float scale, roll;
    } expected[] = {{2.1213203f, 1.0f}, {3.0f, 2.0f}, {2.1213203f, 3.0f}};
    for (const auto& e : expected) {
        sparkle.update(0, 0.25);
        EXPECT_NEAR(sparkle.scale.x, e.scale, 1e-5f);
        EXPECT_NEAR(sparkle.scale.y, e.scale, 1e-5f);
        EXPECT_FLOAT_EQ(sparkle.rotation.z, e.roll);
        EXPECT_FALSE(sparkle.bDead);
    }
    sparkle.update(0, 0.25);
    EXPECT_TRUE(sparkle.bDead);
}

TEST_F(AwardTest, AMedalSparklesFortyUnitsAwayFromTheSecondPassOn) {
    randomSeed = 77;
    AwardDisplay award(AwardDisplay::SILVER, 100, 20, 0, 0.5);
    EXPECT_EQ(award.state, 0);
    device->calls.clear();
    award.render();
    EXPECT_EQ(draws(), 0) << "nothing shows before its delay";
    award.update(0.25, 0.25);
    award.update(0.5, 0.25);
    EXPECT_EQ(award.state, AwardDisplay::SHOWN);
    EXPECT_TRUE(award.bPaid);
    const int children = award.countChildren();
    // The first pass only schedules: u x (4 - medal) from now.
    uint32_t replay = randomSeed;
    award.update(0.75, 0.25);
    EXPECT_EQ(award.countChildren(), children);
    std::swap(randomSeed, replay);
    const double next = 0.75 + double(randomUnit()) * 3.0;
    std::swap(randomSeed, replay);
    EXPECT_DOUBLE_EQ(award.nextSparkleTime, next);
    // The pass at that time makes one sparkle at a random angle, 40 units from the medal.
    replay = randomSeed;
    award.update(next, 0.01);
    ASSERT_EQ(award.countChildren(), children + 1);
    std::swap(randomSeed, replay);
    const float a = 2.0f * 3.14159265f * randomUnit();
    std::swap(randomSeed, replay);
    // Drawn over the star and beneath the points and the medal's name, which it would hide.
    auto* sparkle = dynamic_cast<AwardSparkle*>(static_cast<QelBase*>(award.pValue->prev));
    ASSERT_NE(sparkle, nullptr);
    for (BasicLink* after = award.pValue; after; after = after->next) EXPECT_NE(dynamic_cast<TextLabel*>(after), nullptr);
    EXPECT_NEAR(sparkle->position.x, 100 + 40 * std::cos(a), 1e-4f);
    EXPECT_NEAR(sparkle->position.y, 20 + 40 * std::sin(a), 1e-4f);
    // Updated in the frame that made it.
    EXPECT_DOUBLE_EQ(sparkle->timeInState, 0.01);
}

TEST_F(AwardTest, NoMedalMakesNoSparklesAndPaysNothing) {
    AwardDisplay award(AwardDisplay::NONE, 0, 0, 0, 0.0);
    EXPECT_EQ(award.state, AwardDisplay::SHOWN);
    const int children = award.countChildren();
    for (double t = 0.1; t < 10; t += 0.1) award.update(t, 0.1);
    EXPECT_EQ(award.countChildren(), children);
    EXPECT_EQ(profile().score(), 0);
    EXPECT_EQ(SoundTrace::count(u"bell"), 0);
}
