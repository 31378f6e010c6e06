#include "engine/TimeKeeper.h"

#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "platform/TestClock.h"

namespace {

class TimeKeeperTest : public testing::Test {
protected:
    void SetUp() override { platform::Clock::setCurrent(&clock); }
    void TearDown() override { platform::Clock::setCurrent(nullptr); }
    platform::TestClock clock;
};

TEST_F(TimeKeeperTest, GranularityIsTheFinestResolutionButNeverBelowOneMillisecond) {
    struct Row {
        uint32_t periodMin, periodMax;
        int32_t expected;
    };
    for (const Row& row : {Row{0, 1000000, 1}, Row{5, 3, 3}, Row{2, 10, 2}, Row{1, 1, 1}}) {
        clock.capsMin = row.periodMin;
        clock.capsMax = row.periodMax;
        TimeKeeper keeper;
        EXPECT_EQ(keeper.timerGranularity, row.expected) << row.periodMin << " " << row.periodMax;
    }
}

TEST_F(TimeKeeperTest, PhysicalTimeCountsFromConstructionAndNeverDecreases) {
    TimeKeeper keeper;
    clock.now = 3.0;
    EXPECT_DOUBLE_EQ(keeper.getPhysicalTime(), 3.0);
    clock.counterOffset = -2000000000;  // the counter steps back by 2 s
    EXPECT_DOUBLE_EQ(keeper.getPhysicalTime(), 3.0);
    clock.advance(1.5);
    EXPECT_DOUBLE_EQ(keeper.getPhysicalTime(), 3.0);
    clock.advance(1.0);
    EXPECT_NEAR(keeper.getPhysicalTime(), 3.5, 1e-9);
}

TEST_F(TimeKeeperTest, CalibratesOnceOnTheFirstReadingBeyondFiveSeconds) {
    TimeKeeper keeper;
    clock.millisecondRate = 0.0;
    clock.millisecondBase = 5000;  // the millisecond clock says 5.0 s from here on
    clock.now = 5.0;
    keeper.getPhysicalTime();
    EXPECT_FALSE(keeper.bCalibrated);
    clock.now = 5.105;  // 2.1 % ahead of the millisecond clock
    EXPECT_NEAR(keeper.getPhysicalTime(), 5.105, 1e-9);
    EXPECT_TRUE(keeper.bCalibrated);
    // The correction causes no jump, and from now on a counted second is worth 5.0 / 5.105 s.
    const double before = keeper.getPhysicalTime();
    EXPECT_NEAR(before, 5.105, 1e-6);
    const double period = keeper.timerPeriod;
    clock.advance(1.0);
    EXPECT_NEAR(keeper.getPhysicalTime() - before, 5.0 / 5.105, 1e-6);
    // Later drift is never corrected again.
    clock.advance(100.0);
    keeper.getPhysicalTime();
    EXPECT_EQ(keeper.timerPeriod, period);
}

TEST_F(TimeKeeperTest, DriftOfTwoPercentIsAcceptedWithoutCorrection) {
    clock.frequency = 1024;  // binary fractions keep the 2 % exact
    TimeKeeper keeper;
    const double period = keeper.timerPeriod;
    const int64_t start = keeper.startCount;
    clock.millisecondRate = 0.0;
    clock.millisecondBase = 6250;
    clock.now = 6.375;
    keeper.getPhysicalTime();
    EXPECT_TRUE(keeper.bCalibrated);
    EXPECT_EQ(keeper.timerPeriod, period);
    EXPECT_EQ(keeper.startCount, start);
}

TEST_F(TimeKeeperTest, StoppedMillisecondClockGivesNoCorrection) {
    clock.millisecondRate = 0.0;  // the millisecond clock never moves
    TimeKeeper keeper;
    const double period = keeper.timerPeriod;
    clock.now = 6.0;
    EXPECT_NEAR(keeper.getPhysicalTime(), 6.0, 1e-9);
    EXPECT_TRUE(keeper.bCalibrated);
    EXPECT_EQ(keeper.timerPeriod, period);
}

TEST_F(TimeKeeperTest, MillisecondClockWrapNeitherFreezesNorReversesTime) {
    clock.frequency = 0;  // no high-resolution counter
    clock.millisecondBase = 0xFFFFFFFFull - 999;  // wraps one second after construction
    TimeKeeper keeper;
    EXPECT_FALSE(keeper.bHasPerformanceCounter);
    clock.now = 0.5;
    const double beforeWrap = keeper.getPhysicalTime();
    EXPECT_NEAR(beforeWrap, 0.5, 1e-9);
    clock.now = 2.0;
    EXPECT_NEAR(keeper.getPhysicalTime(), 2.0, 1e-9);
    clock.now = 3.25;
    EXPECT_NEAR(keeper.getPhysicalTime(), 3.25, 1e-9);
}

class TimeDiscardTest : public EngineTest {};

TEST_F(TimeDiscardTest, PausedTimeIsLeftOutOfGameTime) {
    struct Row {
        bool tickWhilePaused;
        double expectedDiscard;
    };
    // A pause of 10 s of which 4 s are frozen: OK -> PAUSED (3 s) -> FROZEN (4 s) -> PAUSED (3 s) -> OK.
    for (const Row& row : {Row{false, 10.0}, Row{true, 4.0}}) {
        start();
        TimeKeeper& keeper = *qel->pTimeKeeper;
        qel->bTickWhilePaused = row.tickWhilePaused;
        const double base = keeper.discardedTime;
        keeper.onQELmodeChange(3, 2);
        clock.advance(3.0);
        keeper.onQELmodeChange(2, 1);
        clock.advance(4.0);
        keeper.onQELmodeChange(1, 2);
        clock.advance(3.0);
        keeper.onQELmodeChange(2, 3);
        EXPECT_NEAR(keeper.discardedTime - base, row.expectedDiscard, 1e-9) << row.tickWhilePaused;
        stop();
    }
}

TEST_F(TimeDiscardTest, GameTimeDropsBackToThePauseStartOnResumption) {
    start();
    TimeKeeper& keeper = *qel->pTimeKeeper;
    const double atPause = keeper.getTime();
    keeper.onQELmodeChange(3, 2);
    clock.advance(10.0);
    EXPECT_NEAR(keeper.getTime(), atPause + 10.0, 1e-9);
    keeper.onQELmodeChange(2, 3);
    EXPECT_NEAR(keeper.getTime(), atPause, 1e-9);
    clock.advance(0.25);
    EXPECT_NEAR(keeper.getTime(), atPause + 0.25, 1e-9);
    stop();
    const std::string log = logText();
    EXPECT_NE(log.find("TimeKeeper::onQELmodeChange(): Starting to discard time at"), std::string::npos);
    EXPECT_NE(log.find("TimeKeeper::onQELmodeChange(): Discarded time is now 10.000."), std::string::npos);
}

}  // namespace
