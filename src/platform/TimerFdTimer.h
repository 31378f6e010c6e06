#pragma once
// A one-shot timer on timerfd, waited on with poll.

#include "platform/OneShotTimer.h"

namespace platform {

class TimerFdTimer : public OneShotTimer {
public:
    TimerFdTimer();
    ~TimerFdTimer() override;
    TimerFdTimer(const TimerFdTimer&) = delete;
    TimerFdTimer& operator=(const TimerFdTimer&) = delete;

    bool arm(uint32_t delayMs) override;
    uint32_t wait(uint32_t timeoutMs) override;

private:
    int fd = -1;
};

}  // namespace platform
