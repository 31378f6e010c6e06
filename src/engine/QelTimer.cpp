#include "engine/QelTimer.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/TimeKeeper.h"
#include "platform/Clock.h"

namespace {

// The longest single wait on the timer event.
constexpr uint32_t kWaitLimitMs = 1000;

double gameTime() { return qel && qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : 0.0; }

}  // namespace

QelTimer::QelTimer() : event(platform::Clock::current().createTimer()) {}

QelTimer::~QelTimer() = default;

void QelTimer::reset(double newPeriod) {
    frameTime = previousFrameTime = gameTime();
    period = newPeriod;
}

void QelTimer::wait() {
    const double remaining = frameTime + period - gameTime();
    if (remaining > 0) {
        // Any period, however large, gives a delay that fits; the wait itself never takes more
        // than a second at a time.
        const double msExact = remaining * 1000.0;
        const uint32_t ms = msExact >= 2147483647.0 ? 2147483647u : static_cast<uint32_t>(msExact);
        platform::Clock& clock = platform::Clock::current();
        if (qel && qel->osName == u"Windows95") {
            clock.sleep(ms < kWaitLimitMs ? ms : kWaitLimitMs);
        } else if (!event || !event->arm(ms)) {
            clock.sleep(ms < kWaitLimitMs ? ms : kWaitLimitMs);
        } else {
            const uint32_t result = event->wait(kWaitLimitMs);
            if (result == platform::OneShotTimer::WAIT_TIMED_OUT)
                qelLog(u"QelTimer::wait", u"Warning: WaitForSingleObject timed out!");
            else if (result != platform::OneShotTimer::WAIT_SIGNALLED)
                QEL_FATAL(u"QelTimer::wait", u"Unknown result %08x", result);
        }
    }
    const double now2 = gameTime();
    previousFrameTime = frameTime;
    frameTime = now2;
}
