#include "platform/SystemClock.h"

#include <time.h>

#include <cerrno>

#include "platform/System.h"
#include "platform/TimerFdTimer.h"

namespace platform {

namespace {
SystemClock systemClock;
Clock* currentClock = nullptr;
}  // namespace

Clock& Clock::current() { return currentClock ? *currentClock : systemClock; }
void Clock::setCurrent(Clock* clock) { currentClock = clock; }

int64_t SystemClock::counterFrequency() { return 1000000000; }

int64_t SystemClock::counter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

uint32_t SystemClock::milliseconds() { return millisecondClock(); }

void SystemClock::timerCaps(uint32_t& periodMin, uint32_t& periodMax) {
    periodMin = 1;
    periodMax = 1000000;
}

void SystemClock::sleep(uint32_t ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

std::unique_ptr<OneShotTimer> SystemClock::createTimer() { return std::make_unique<TimerFdTimer>(); }

}  // namespace platform
