#pragma once
// The clocks, sleeps and timers the engine reads time from. One clock is current for the whole
// process: the system's, unless a test installs its own steppable one.

#include <cstdint>
#include <memory>

#include "platform/OneShotTimer.h"

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;

    // Counts per second of the high-resolution counter; 0 when there is none.
    virtual int64_t counterFrequency() = 0;
    virtual int64_t counter() = 0;
    // The millisecond clock as an unsigned 32-bit count; it wraps after 2^32 ms.
    virtual uint32_t milliseconds() = 0;
    // Finest and coarsest timer resolutions in milliseconds.
    virtual void timerCaps(uint32_t& periodMin, uint32_t& periodMax) = 0;
    virtual void sleep(uint32_t ms) = 0;
    virtual std::unique_ptr<OneShotTimer> createTimer() = 0;

    // The current clock (the system clock unless another was installed).
    static Clock& current();
    // Installs a clock; nullptr restores the system clock. The caller keeps ownership.
    static void setCurrent(Clock* clock);
};

}  // namespace platform
