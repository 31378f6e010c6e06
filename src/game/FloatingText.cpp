#include "game/FloatingText.h"

#include "ui/Global.h"
#include "menus/OutlinedText.h"

FloatingText::FloatingText(const Vector3& at, WStringView text)
    : TextLabel(at.x, at.y, at.z, text, game ? game->pFontMediumOutline : nullptr, 0xFFFFFFFF) {
    duration = 1.0;
    fadeOut = 0.5;
    scale = Vector3(0.25f, 0.25f, 1.0f);
    updateXform();
}

void FloatingText::update(double time, double dt) {
    age += dt;
    const float s = static_cast<float>(0.25 + age);
    scale = Vector3(s, s, 1.0f);
    position.y += static_cast<float>(32.0 * dt);
    updateXform();
    TextLabel::update(time, dt);
}

void FloatingText::render() {
    // Small at first and over the playfield's sparks and snow: a dark rim keeps it readable.
    if (bHidden || delay > 0 || elapsed >= duration) return;
    OutlinedText::draw(this);
}
