#pragma once
// The engine's clock. Physical time: seconds since the keeper was built, from the high-resolution
// counter (or the millisecond clock), calibrated once against the millisecond clock and never
// decreasing. Game time: physical time less the time discarded while the engine was paused.

#include <cstdint>

#include "engine/QelBase.h"

namespace platform {
class Clock;
}

class TimeKeeper : public QelBase {
    QEL_DECLARE_CLASS()
public:
    TimeKeeper();
    ~TimeKeeper() override;

    double getPhysicalTime();
    double getTime() { return getPhysicalTime() - discardedTime; }
    void onQELmodeChange(int oldMode, int newMode) override;

    int64_t startCount = 0;
    int64_t counterFrequency = 0;
    double timerPeriod = 0.0;
    bool bHasPerformanceCounter = false;
    int32_t timerGranularity = 0;
    double pauseStartTime = 0.0;
    double discardedTime = 0.0;
    double lastPhysicalTime = 0.0;
    double absoluteTimeOrigin = 0.0;
    bool bCalibrated = false;

private:
    // The millisecond clock widened to 64 bits, so that its 32-bit wrap neither freezes nor
    // reverses time.
    uint64_t getAbsoluteMilliseconds();
    platform::Clock& clock;
    uint32_t lastMilliseconds = 0;
    uint64_t millisecondWraps = 0;
};
