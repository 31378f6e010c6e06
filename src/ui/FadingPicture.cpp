#include "ui/FadingPicture.h"

FadingPicture::FadingPicture() = default;

void FadingPicture::update(double time, double dt) {
    updateChildren(time, dt);
    if (delay > 0) {
        delay -= dt;
        if (delay > 0) return;
    }
    if (elapsed < duration) {
        elapsed += dt;
        double f = 1.0;
        if (fadeIn > 0 && elapsed < fadeIn) {
            f = elapsed / fadeIn;
        } else if (fadeOut > 0 && elapsed > duration - fadeOut) {
            f = (duration - elapsed) / fadeOut;
        }
        if (f < 0) f = 0;
        if (f > 1) f = 1;
        color = (color & 0x00FFFFFFu) | (uint32_t(255.0 * f) << 24);
    } else if (bRemoveWhenDone) {
        bDead = true;
    }
}

void FadingPicture::render() {
    if (delay > 0) return;
    Renderable::render();
}
