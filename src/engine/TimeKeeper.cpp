#include "engine/TimeKeeper.h"

#include <algorithm>
#include <cmath>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "platform/Clock.h"

// Registered as a root class, though it is a QelBase.
QEL_IMPLEMENT_CLASS(TimeKeeper, nullptr, nullptr)

TimeKeeper::TimeKeeper() : clock(platform::Clock::current()) {
    const char16_t* fn = u"TimeKeeper::TimeKeeper";
    qelLog(fn, u"Starting...");
    uint32_t periodMin = 0, periodMax = 0;
    clock.timerCaps(periodMin, periodMax);
    qelLog(fn, u"Multimedia timer granularity: wPeriodMin=%d", periodMin);
    qelLog(fn, u"Multimedia timer granularity: wPeriodMax=%d", periodMax);
    timerGranularity = static_cast<int32_t>(std::min(std::max<uint32_t>(1, periodMin), periodMax));
    qelLog(fn, u"Using a timer granularity of %d ms.", timerGranularity);

    counterFrequency = clock.counterFrequency();
    if (counterFrequency == 0) {
        qelLog(fn, u"QueryPerformanceFrequency failed (no high-performance counter available).");
    } else {
        qelLog(fn, u"Created high performance counter, %I64d Hz.", counterFrequency);
        timerPeriod = 1.0 / static_cast<double>(counterFrequency);
        bHasPerformanceCounter = true;
        startCount = clock.counter();
    }
    lastMilliseconds = clock.milliseconds();
    absoluteTimeOrigin = static_cast<double>(getAbsoluteMilliseconds()) / 1000.0;

    clock.sleep(1);
    const double a = getTime() + 0.001;
    clock.sleep(1);
    const double b = getTime();
    qelLog(fn, u"sleep() accuracy: %.3lf ms.", (b - a) * 1000.0);
    qelLog(fn, u"absoluteTimeOrigin: %.6lf.", absoluteTimeOrigin);
    qelLog(fn, u"Started.");
}

TimeKeeper::~TimeKeeper() = default;

uint64_t TimeKeeper::getAbsoluteMilliseconds() {
    const uint32_t ms = clock.milliseconds();
    // A step back of more than half the range is the wrap; a smaller one is the clock stepping
    // back, which the floor of getPhysicalTime absorbs.
    if (ms < lastMilliseconds && lastMilliseconds - ms > 0x80000000u) millisecondWraps += uint64_t(1) << 32;
    lastMilliseconds = ms;
    return millisecondWraps + ms;
}

double TimeKeeper::getPhysicalTime() {
    const char16_t* fn = u"TimeKeeper::getPhysicalTime";
    double t;
    if (!bHasPerformanceCounter) {
        t = static_cast<double>(getAbsoluteMilliseconds()) / 1000.0 - absoluteTimeOrigin;
    } else {
        const int64_t count = clock.counter();
        t = static_cast<double>(count - startCount) * timerPeriod;
        if (t > 5.0 && !bCalibrated) {
            qelLog(fn, u"Calibrating timerPeriod...");
            const double absolute = static_cast<double>(getAbsoluteMilliseconds()) / 1000.0 - absoluteTimeOrigin;
            qelLog(fn, u"getAbsoluteTime() delta: %.9lf", absolute);
            qelLog(fn, u"QueryPerformanceCounter() delta: %.9lf", t);
            // A millisecond clock that has not moved gives no reference to correct against.
            const double drift = absolute > 0.0 ? (t - absolute) / absolute : 0.0;
            qelLog(fn, u"QueryPerformanceCounter() drift: %.9lf%%", drift * 100.0);
            if (std::fabs(drift) > 0.02 && std::isfinite(drift)) {
                qelLog(fn, u"WARNING: Skew is too great. Calibrating...");
                const int64_t hpcDrift = static_cast<int64_t>(static_cast<double>(counterFrequency) * t * drift);
                qelLog(fn, u"HPCdrift: %I64d", hpcDrift);
                const double scale = absolute / t;
                qelLog(fn, u"Period scaling factor: %.6lf", scale);
                startCount -= hpcDrift;
                timerPeriod *= scale;
                qelLog(fn, u"QueryPerformanceCounter() delta (after adjustment): %.9lf",
                       static_cast<double>(count - startCount) * timerPeriod);
            }
            bCalibrated = true;
        }
    }
    if (lastPhysicalTime > t) t = lastPhysicalTime;
    lastPhysicalTime = t;
    return t;
}

void TimeKeeper::onQELmodeChange(int oldMode, int newMode) {
    const bool tickWhilePaused = qel && qel->bTickWhilePaused;
    const int pauseFrom = tickWhilePaused ? Qel::MODE_PAUSED : Qel::MODE_OK;
    const int pauseTo = tickWhilePaused ? Qel::MODE_FROZEN : Qel::MODE_PAUSED;
    if (oldMode == pauseFrom && newMode == pauseTo) {
        pauseStartTime = getPhysicalTime();
        qelLog(u"TimeKeeper::onQELmodeChange", u"Starting to discard time at %.3lf.", pauseStartTime);
    } else if (oldMode == pauseTo && newMode == pauseFrom) {
        discardedTime += getPhysicalTime() - pauseStartTime;
        qelLog(u"TimeKeeper::onQELmodeChange", u"Discarded time is now %.3lf.", discardedTime);
    }
}
