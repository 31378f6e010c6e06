#include "engine/QelTimer.h"

#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace {

class QelTimerTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        start();
        clock.timerDelays.clear();
        clock.sleeps.clear();
    }
    QelTimer& timer() { return qel->frameTimer; }
};

TEST_F(QelTimerTest, WaitsOutTheRestOfThePeriodAndMovesTheTimeStampsOn) {
    timer().reset(1.0 / 60.0);
    const double start = timer().frameTime;
    clock.advance(0.004);
    timer().wait();
    ASSERT_EQ(clock.timerDelays.size(), 1u);
    EXPECT_EQ(clock.timerDelays[0], 12u);  // 16.67 - 4 ms, truncated
    EXPECT_DOUBLE_EQ(timer().previousFrameTime, start);
    EXPECT_NEAR(timer().frameTime, start + 0.016, 1e-9);
}

TEST_F(QelTimerTest, LateFrameIsNotWaitedForAndItsLatenessIsNotMadeUp) {
    timer().reset(0.010);
    clock.advance(0.025);
    const double now = qel->pTimeKeeper->getTime();
    timer().wait();
    EXPECT_TRUE(clock.timerDelays.empty());
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_DOUBLE_EQ(timer().frameTime, now);
}

TEST_F(QelTimerTest, RemainderBelowOneMillisecondStillEndsTheWait) {
    timer().reset(0.0005);
    timer().wait();
    ASSERT_EQ(clock.timerDelays.size(), 1u);
    EXPECT_EQ(clock.timerDelays[0], 0u);
    EXPECT_GT(timer().frameTime, timer().previousFrameTime - 1e-12);
}

TEST_F(QelTimerTest, SleepsWhenNoTimerCanBeSet) {
    clock.bTimerArmFails = true;
    timer().reset(0.0205);
    timer().wait();
    ASSERT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(clock.sleeps[0], 20u);
}

TEST_F(QelTimerTest, TimedOutWaitIsLoggedAndTheFrameGoesOn) {
    clock.forcedWaitResult = platform::OneShotTimer::WAIT_TIMED_OUT;
    timer().reset(0.020);
    const double start = timer().frameTime;
    timer().wait();
    EXPECT_NEAR(timer().frameTime - start, 1.0, 1e-9);
    stop();
    EXPECT_NE(logText().find("QelTimer::wait(): Warning: WaitForSingleObject timed out!"), std::string::npos);
}

TEST_F(QelTimerTest, HugePeriodGivesABoundedWait) {
    for (double period : {5e6, 1e12, 1e300}) {
        timer().reset(period);
        clock.timerDelays.clear();
        const double start = timer().frameTime;
        timer().wait();
        ASSERT_EQ(clock.timerDelays.size(), 1u);
        EXPECT_EQ(clock.timerDelays[0], 2147483647u) << period;
        // The timer event is waited for at most one second.
        EXPECT_NEAR(timer().frameTime - start, 1.0, 1e-6) << period;
    }
}

TEST_F(QelTimerTest, UnknownWaitResultIsFatal) {
    clock.forcedWaitResult = platform::OneShotTimer::WAIT_FAILED;
    timer().reset(0.020);
    EXPECT_EXIT(timer().wait(), testing::ExitedWithCode(255), "");
    EXPECT_NE(std::string::npos, logText().find("Error: Unknown result ffffffff\n Function: QelTimer::wait()")) << logText();
}

}  // namespace
