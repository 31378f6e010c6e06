#include "ui/TextLabel.h"

#include "ui/FontAccess.h"

TextLabel::TextLabel(float x, float y, float z, WStringView text, FontQuad* font, uint32_t colour)
    : pFont(font), text(text) {
    color = colour;
    position = Vector3(x, y, z);
    updateXform();
}

TextLabel::~TextLabel() = default;

int TextLabel::fadeAlpha(double elapsed, double duration, double fadeIn, double fadeOut) {
    double a = 255.0;
    if (elapsed < fadeIn) {
        a = 255.0 * elapsed / fadeIn;
    } else if (fadeOut > 0 && elapsed > duration - fadeOut) {
        a = 255.0 * (duration - elapsed) / fadeOut;
    }
    // Clamped, so that the last frame never shows a wrapped alpha.
    if (a < 0) a = 0;
    if (a > 255) a = 255;
    return int(a);
}

void TextLabel::update(double, double dt) {
    if (delay > 0) {
        delay -= dt;
        if (delay > 0) return;
    }
    if (elapsed < duration) {
        elapsed = std::min(elapsed + dt, duration);
        if (fadeIn > 0 || fadeOut > 0)
            color = (color & 0x00FFFFFFu) | (uint32_t(fadeAlpha(elapsed, duration, fadeIn, fadeOut)) << 24);
    } else if (bRemoveWhenDone) {
        bDead = true;
    }
}

void TextLabel::render() {
    if (bHidden || delay > 0 || elapsed >= duration) return;
    if (!bShadow) {
        FontAccess::drawAligned(pFont, this, alignment, text);
    } else {
        const uint32_t shadowAlpha = ((color >> 24) * 64) / 255;
        FontAccess::drawShadowed(pFont, this, alignment, Vector3(0.0f, -4.0f, 0.0f), shadowAlpha << 24, text);
    }
}

void TextLabel::setText(WStringView newText, double newDuration, double newDelay) {
    text = WString(newText);
    duration = newDuration;
    delay = newDelay;
    elapsed = 0.0;
}

void TextLabel::fitToWidth(int width) {
    const float w = FontAccess::textWidth(pFont, text, alignment);
    if (w > float(width)) {
        scale = Vector3(float(width) / w, 1.0f, 1.0f);
        updateXform();
    }
}
