#pragma once
// One contact of the mouse or of a finger, from its press until the frame after its release.
// Window messages write its raw positions, times and frame numbers; each frame's update maps it
// into layout pixels, measures its velocity and steps its states 0 new, 1 pressed, 2 held,
// 3 released.

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class QelInput;

enum TouchPointState : int {
    TOUCH_NEW = 0,
    TOUCH_PRESSED = 1,
    TOUCH_HELD = 2,
    TOUCH_RELEASED = 3,
};

class TouchPoint : public QelBase {
public:
    explicit TouchPoint(QelInput* input = nullptr);

    using QelBase::update;
    void update(double time, double dt) override;
    void onStateChange() override;

    // The input service whose frame and layout mapping this contact uses.
    QelInput* getInput() const;

    static inline int serialCounter = 0;

    int serial;
    Vector3 startRaw;
    Vector3 raw;
    Vector3 prevRaw;
    Vector3 layoutStart;
    Vector3 layoutPos;
    Vector3 layoutDelta;
    Vector3 velocity;
    double moveTime = 0.0;
    double prevMoveTime = 0.0;
    QelBase* pHandler = nullptr;
    int tag = -1;
    int pressFrame = -1;
    int releaseFrame = -1;
    int moveFrame = -1;
    bool bPressed = false;
    bool bReleased = false;
    bool bHeld = false;
    bool bTapped = false;
    bool bDragging = false;
    // Made by the mouse, not by a finger: a finger's id is never matched against it.
    bool bMouse = false;
    QelInput* pInput;
};
