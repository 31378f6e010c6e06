#include "platform/TimerFdTimer.h"

#include <gtest/gtest.h>

#include "platform/SystemClock.h"

namespace {

using platform::OneShotTimer;

TEST(TimerFdTimerTest, ZeroDelayStillSignals) {
    platform::TimerFdTimer timer;
    ASSERT_TRUE(timer.arm(0));
    EXPECT_EQ(timer.wait(1000), OneShotTimer::WAIT_SIGNALLED);
    // The signal is consumed by the wait.
    EXPECT_EQ(timer.wait(0), OneShotTimer::WAIT_TIMED_OUT);
}

TEST(TimerFdTimerTest, RearmingDropsAnExpiryThatWasNeverWaitedFor) {
    platform::TimerFdTimer timer;
    ASSERT_TRUE(timer.arm(0));
    ASSERT_TRUE(timer.arm(100000));
    EXPECT_EQ(timer.wait(0), OneShotTimer::WAIT_TIMED_OUT);
}

TEST(TimerFdTimerTest, UnarmedTimerTimesOut) {
    platform::TimerFdTimer timer;
    EXPECT_EQ(timer.wait(0), OneShotTimer::WAIT_TIMED_OUT);
}

TEST(SystemClockTest, CounterIsMonotonicNanoseconds) {
    platform::SystemClock clock;
    EXPECT_EQ(clock.counterFrequency(), 1000000000);
    const int64_t a = clock.counter();
    const int64_t b = clock.counter();
    EXPECT_LE(a, b);
}

}  // namespace
