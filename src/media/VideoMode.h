#pragma once
// One screen size the display offers, with its proportions for display ("1280x800 (16:10)").

#include "engine/QelBase.h"

class VideoMode : public QelBase {
public:
    VideoMode(int width, int height);

    // "%dx%d", or "%dx%d (%d:%d)" when simpler proportions were recognised.
    WString getModeText() const;

    int width;
    int height;
    int aspectX;
    int aspectY;
};
