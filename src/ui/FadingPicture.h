#pragma once
// A picture (the renderable's skin) with the text label's timing: delay, fade in, shown, fade out.

#include "media/Renderable.h"

class FadingPicture : public Renderable {
public:
    FadingPicture();

    void update(double time, double dt) override;
    void render() override;

    bool bRemoveWhenDone = true;
    double delay = 0.0;
    double duration = 999999.0;
    double fadeIn = 0.0;
    double fadeOut = 0.0;
    double elapsed = 0.0;
};
