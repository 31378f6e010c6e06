#include "platform/TimerFdTimer.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

TimerFdTimer::TimerFdTimer() { fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK); }

TimerFdTimer::~TimerFdTimer() {
    if (fd >= 0) close(fd);
}

bool TimerFdTimer::arm(uint32_t delayMs) {
    if (fd < 0) return false;
    itimerspec setting{};
    // A zero value would disarm the timer: a delay of 0 fires after one nanosecond instead.
    setting.it_value.tv_sec = static_cast<time_t>(delayMs / 1000);
    setting.it_value.tv_nsec = delayMs == 0 ? 1 : static_cast<long>(delayMs % 1000) * 1000000L;
    // Re-arming also clears an expiry that was never waited for.
    return timerfd_settime(fd, 0, &setting, nullptr) == 0;
}

uint32_t TimerFdTimer::wait(uint32_t timeoutMs) {
    if (fd < 0) return WAIT_FAILED;
    pollfd p{fd, POLLIN, 0};
    int n;
    do {
        n = poll(&p, 1, static_cast<int>(timeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFFu : timeoutMs));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return WAIT_FAILED;
    if (n == 0) return WAIT_TIMED_OUT;
    uint64_t expirations = 0;
    if (read(fd, &expirations, sizeof(expirations)) != sizeof(expirations)) return WAIT_FAILED;
    return WAIT_SIGNALLED;
}

}  // namespace platform
