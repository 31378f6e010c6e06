#pragma once
// A steppable clock for tests: time moves only when the test advances it, when something sleeps,
// or when a one-shot timer is waited for. Install it with Clock::setCurrent before building the
// engine; every sleep and timer wait is recorded.

#include <vector>

#include "platform/Clock.h"

namespace platform {

class TestClock : public Clock {
public:
    TestClock();
    ~TestClock() override;  // uninstalls itself when current

    int64_t counterFrequency() override { return frequency; }
    int64_t counter() override;
    uint32_t milliseconds() override;
    void timerCaps(uint32_t& periodMin, uint32_t& periodMax) override;
    void sleep(uint32_t ms) override;
    std::unique_ptr<OneShotTimer> createTimer() override;

    void advance(double seconds) { now += seconds; }

    // Simulated seconds since the clock was made.
    double now = 0.0;
    // Counter frequency (0: no counter); extra counts added to the counter (negative to step it
    // back).
    int64_t frequency = 1000000000;
    int64_t counterOffset = 0;
    // The millisecond clock = millisecondBase + now * 1000 * millisecondRate, cut to 32 bits.
    uint64_t millisecondBase = 0;
    double millisecondRate = 1.0;
    uint32_t capsMin = 1, capsMax = 1000000;
    // Timer behaviour: arming fails, or waits give this result instead of firing.
    bool bTimerArmFails = false;
    uint32_t forcedWaitResult = OneShotTimer::WAIT_SIGNALLED;
    // What happened: every sleep and every armed timer delay, in milliseconds.
    std::vector<uint32_t> sleeps;
    std::vector<uint32_t> timerDelays;
};

}  // namespace platform
