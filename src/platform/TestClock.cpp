#include "platform/TestClock.h"

#include <cmath>

namespace platform {

namespace {

class TestTimer : public OneShotTimer {
public:
    explicit TestTimer(TestClock& clock) : clock(clock) {}
    bool arm(uint32_t delayMs) override {
        if (clock.bTimerArmFails) return false;
        clock.timerDelays.push_back(delayMs);
        armedMs = delayMs;
        bArmed = true;
        return true;
    }
    uint32_t wait(uint32_t timeoutMs) override {
        if (clock.forcedWaitResult != WAIT_SIGNALLED) {
            if (clock.forcedWaitResult == WAIT_TIMED_OUT) clock.advance(timeoutMs / 1000.0);
            return clock.forcedWaitResult;
        }
        if (!bArmed || armedMs > timeoutMs) {
            clock.advance(timeoutMs / 1000.0);
            bArmed = false;
            return WAIT_TIMED_OUT;
        }
        clock.advance(armedMs / 1000.0);
        bArmed = false;
        return WAIT_SIGNALLED;
    }

private:
    TestClock& clock;
    uint32_t armedMs = 0;
    bool bArmed = false;
};

}  // namespace

TestClock::TestClock() = default;

TestClock::~TestClock() {
    if (&Clock::current() == this) Clock::setCurrent(nullptr);
}

int64_t TestClock::counter() { return static_cast<int64_t>(std::llround(now * static_cast<double>(frequency))) + counterOffset; }

uint32_t TestClock::milliseconds() {
    return static_cast<uint32_t>(millisecondBase + static_cast<uint64_t>(std::floor(now * 1000.0 * millisecondRate)));
}

void TestClock::timerCaps(uint32_t& periodMin, uint32_t& periodMax) {
    periodMin = capsMin;
    periodMax = capsMax;
}

void TestClock::sleep(uint32_t ms) {
    sleeps.push_back(ms);
    advance(ms / 1000.0);
}

std::unique_ptr<OneShotTimer> TestClock::createTimer() { return std::make_unique<TestTimer>(*this); }

}  // namespace platform
