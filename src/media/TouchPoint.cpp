#include "media/TouchPoint.h"

#include "engine/Qel.h"
#include "media/InputEnvironment.h"
#include "media/QelInput.h"

TouchPoint::TouchPoint(QelInput* input) : serial(++serialCounter), pInput(input) {}

QelInput* TouchPoint::getInput() const { return pInput ? pInput : (qel ? qel->pQelInput : nullptr); }

void TouchPoint::update(double time, double dt) {
    QelBase::update(time, dt);
    QelInput* input = getInput();
    const int frame = input ? input->env->getFrameCount() : 0;
    auto toLayout = [input](const Vector3& p) { return input ? input->windowToLayout(p) : p; };

    const Vector3 old = layoutPos;
    layoutPos = toLayout(raw);
    layoutDelta = layoutPos - old;

    if (moveFrame == frame && pressFrame != frame && releaseFrame != frame && moveTime - prevMoveTime > 0) {
        velocity = (layoutPos - toLayout(prevRaw)) * float(1.0 / (moveTime - prevMoveTime));
        if (velocity.length() < 10.0f) velocity = Vector3();
    }
    if (frame > moveFrame + 10) velocity = Vector3();

    switch (state) {
        case TOUCH_NEW:
            if (pressFrame >= 0 && pressFrame <= frame) gotoState(TOUCH_PRESSED);
            break;
        case TOUCH_PRESSED:
            gotoState(releaseFrame >= 0 && releaseFrame <= frame ? TOUCH_RELEASED : TOUCH_HELD);
            break;
        case TOUCH_HELD:
            if (!bDragging && Vector3::distance(startRaw, raw) > 20.0f) bDragging = true;
            if (releaseFrame >= 0 && releaseFrame <= frame) gotoState(TOUCH_RELEASED);
            break;
        default:
            bDead = true;
            break;
    }
}

void TouchPoint::onStateChange() {
    bPressed = false;
    bHeld = false;
    switch (state) {
        case TOUCH_PRESSED:
            layoutStart = layoutPos;
            layoutDelta = Vector3();
            bPressed = true;
            break;
        case TOUCH_HELD:
            bHeld = true;
            break;
        case TOUCH_RELEASED:
            bReleased = true;
            bTapped = !bDragging;
            break;
        default:
            break;
    }
}
