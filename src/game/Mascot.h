#pragma once
// The bear that brings the game's messages: its waving hand, its body and its blinking eyes, as
// three child sprites.

#include "engine/QelBase.h"

class Renderable;

class Mascot : public QelBase {
public:
    enum : int { EYES_OPEN = 1, EYES_CLOSED = 2 };

    Mascot();

    // The hand waves: its bend is 0.5 x sin(4 t).
    void update(double t, double dt) override;
    // Open eyes stay 0.2 to 2 seconds (a random draw), closed ones 0.1 s.
    void onStateChange() override;

    Renderable* pHand = nullptr;
    Renderable* pBody = nullptr;
    Renderable* pEyes = nullptr;
};
