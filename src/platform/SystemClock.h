#pragma once
// The real clock: CLOCK_MONOTONIC in nanoseconds, nanosleep and timerfd one-shot timers.

#include "platform/Clock.h"

namespace platform {

class SystemClock : public Clock {
public:
    int64_t counterFrequency() override;
    int64_t counter() override;
    uint32_t milliseconds() override;
    void timerCaps(uint32_t& periodMin, uint32_t& periodMax) override;
    void sleep(uint32_t ms) override;
    std::unique_ptr<OneShotTimer> createTimer() override;
};

}  // namespace platform
