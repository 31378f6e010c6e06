#pragma once
// The winter picture behind the menus, framed by a gliding camera that other screens move.

#include "ui/ContextBlender.h"

class ContextIntro : public ContextBlender {
public:
    ContextIntro();

    // Queues a glide to (0, y, -layout width / 2) over 'duration' seconds.
    void addCameraMove(float y, double duration);
    // Puts the camera at once at height y.
    void jumpTo(float y);
};
