#include "menus/MenuValueItem.h"

#include <algorithm>
#include <cstdint>

#include "ui/AppText.h"
#include "ui/ContextMenu.h"
#include "ui/FontAccess.h"
#include "engine/Qel.h"
#include "media/QelInput.h"

namespace {
Context* owningContext(const QelBase* item) {
    for (BasicLink* o = item->owner; o; o = o->owner) {
        auto* object = static_cast<QelBase*>(o);
        if (object->isKindOf(&Context::classRecord)) return static_cast<Context*>(object);
    }
    return nullptr;
}
}  // namespace

MenuValueItem::MenuValueItem(float x, float y, float z, int* target, int minValue, int maxValue, int step,
                             WStringView caption, WStringView hint)
    : MenuItem(x, y, z, caption, hint), target(target), minValue(minValue), maxValue(maxValue), step(step) {}

int MenuValueItem::valueAfterPress(float x, float y) const {
    if (!target) return 0;
    // Wide arithmetic: a value read from a damaged file may lie anywhere in the int range.
    int64_t value = *target;
    const int64_t down = AppText::rightToLeft() ? step : -int64_t(step);
    const float half = frameWidth / 2.0f;
    auto near = [&](float arrowX) {
        const float dx = x - arrowX;
        return dx * dx + y * y < ARROW_REACH * ARROW_REACH;
    };
    if (near(-half + ARROW_POINT_INSET)) value += down;
    if (near(half - ARROW_POINT_INSET)) value -= down;
    // Without a valid range (an empty list) the value is left as it is.
    if (minValue <= maxValue) value = std::clamp<int64_t>(value, minValue, maxValue);
    else value = std::clamp<int64_t>(value, INT32_MIN, INT32_MAX);
    return int(value);
}

bool MenuValueItem::canGoDown() const { return target && minValue <= maxValue && *target > minValue; }
bool MenuValueItem::canGoUp() const { return target && minValue <= maxValue && *target < maxValue; }

bool MenuValueItem::showsLeftArrow() const { return AppText::rightToLeft() ? canGoUp() : canGoDown(); }
bool MenuValueItem::showsRightArrow() const { return AppText::rightToLeft() ? canGoDown() : canGoUp(); }

uint32_t MenuValueItem::arrowColour() const {
    const bool touch = qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_TOUCH;
    const uint32_t colour = touch ? normalColour : highlightColour;
    const double fade = std::clamp(hoverFade, 0.0, 1.0);
    return (colour & 0x00FFFFFFu) | (uint32_t(fade * 255.0) << 24);
}

Vector3 MenuValueItem::pressPoint() const {
    Context* context = qel ? qel->pCurrentContext : nullptr;
    if (!context) return Vector3(0.0f, 0.0f, 0.0f);
    return Vector3((context->pointerWorldPos[0] - position.x) / baseScale,
                   (context->pointerWorldPos[1] - position.y) / baseScale, 0.0f);
}

void MenuValueItem::update(double time, double dt) {
    MenuItem::update(time, dt);
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (bDisabled || !bHovered || !in || !in->isAnyTouchPressed()) return;
    const Vector3 p = pressPoint();
    if (target) *target = valueAfterPress(p.x, p.y);
    onClick();
}

Vector3 MenuValueItem::getNavigationPoint(int index) {
    if (index != 0 && index != 1) return endOfPoints();
    const float offset = frameWidth / 2.0f - ARROW_POINT_INSET;
    const float x = index == 0 ? position.x - offset : position.x + offset;
    return ContextMenu::worldToPointer(owningContext(this), Vector3(x, position.y, position.z));
}

void MenuValueItem::render() {
    MenuItem::render();
    if (bHidden || bDisabled) return;
    const uint32_t colour = arrowColour();
    if ((colour >> 24) == 0) return;
    const float offset = (frameWidth / 2.0f - ARROW_INSET) * scale.x;
    auto arrow = [&](float x, char16_t glyph) {
        Renderable at;
        at.position = Vector3(x, position.y, position.z);
        at.scale = scale;
        at.color = colour;
        at.updateXform();
        FontAccess::drawAligned(pFont, &at, 20, WStringView(&glyph, 1));
    };
    if (showsLeftArrow()) arrow(position.x - offset, LEFT_ARROW);
    if (showsRightArrow()) arrow(position.x + offset, RIGHT_ARROW);
}

void MenuValueItem::drawContents(float x, float y, float z) { drawValue(x, y, z); }

void MenuValueItem::drawValue(float x, float y, float z) {
    if (target) drawValueText(format(u"%d", *target), x, y, z);
}

void MenuValueItem::drawValueText(WStringView text, float x, float y, float z) {
    const float fit = fitCaption(FontAccess::textWidth(pFont, text));
    Renderable at;
    at.position = Vector3(x, y, z);
    at.scale = Vector3(scale.x * fit, scale.y * fit, scale.z);
    at.color = captionColour;
    at.updateXform();
    if (bShadow && !bDisabled) {
        FontAccess::drawShadowed(pFont, &at, 20, Vector3(0.0f, -4.0f, 0.0f), 0x40000000, text);
    } else {
        FontAccess::drawAligned(pFont, &at, 20, text);
    }
}
