#pragma once
// A one-shot timer that signals an event once its delay has passed, and a wait on that event.

#include <cstdint>

namespace platform {

class OneShotTimer {
public:
    // Results of wait(), valued like the system's wait results.
    enum : uint32_t { WAIT_SIGNALLED = 0, WAIT_TIMED_OUT = 0x102, WAIT_FAILED = 0xFFFFFFFF };

    virtual ~OneShotTimer() = default;
    // Arms the timer to signal after delayMs (0: at once); false when no timer could be set.
    virtual bool arm(uint32_t delayMs) = 0;
    // Waits for the signal at most timeoutMs; the signal is consumed.
    virtual uint32_t wait(uint32_t timeoutMs) = 0;
};

}  // namespace platform
