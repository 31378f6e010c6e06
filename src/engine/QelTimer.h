#pragma once
// Frame pacing: wait() waits until frameTime + period on a one-shot timer, then moves the two
// frame time stamps on; their difference is the time step of the frame.

#include <memory>

#include "platform/OneShotTimer.h"

class QelTimer {
public:
    QelTimer();
    ~QelTimer();
    QelTimer(const QelTimer&) = delete;
    QelTimer& operator=(const QelTimer&) = delete;

    void reset(double newPeriod);
    void wait();

    double accuracy = 0.0;
    double frameTime = 0.0;
    double previousFrameTime = 0.0;
    double period = 0.0;
    std::unique_ptr<platform::OneShotTimer> event;
};
