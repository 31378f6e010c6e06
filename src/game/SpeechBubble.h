#pragma once
// The mascot's speech bubble: the "speechBubble" frame stretched to a size, centred on its
// position, its tail towards the bear at the bottom right.

#include "media/Renderable.h"

class FrameSkin;

class SpeechBubble : public Renderable {
public:
    SpeechBubble(float w, float h);

    // The bubble's frame (this renderable's own skin).
    FrameSkin* pFrame = nullptr;
};
