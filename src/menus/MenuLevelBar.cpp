#include "menus/MenuLevelBar.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"

MenuLevelBar::MenuLevelBar(float x, float y, float z, int* target, int minValue, int maxValue, WStringView caption,
                           WStringView hint)
    : MenuValueItem(x, y, z, target, minValue, maxValue, 1, caption, hint) {}

std::vector<float> MenuLevelBar::markOffsets(int value, bool rightToLeft) {
    std::vector<float> offsets;
    const float sign = rightToLeft ? -1.0f : 1.0f;
    const int count = std::max(value, 0);
    offsets.reserve(size_t(count));
    for (int i = 0; i < count; ++i) offsets.push_back(sign * (FIRST_MARK_X + MARK_SPACING * float(i)));
    return offsets;
}

void MenuLevelBar::drawContents(float x, float y, float z) {
    if (!target) return;
    // The value comes from a settings file: never more marks than the bar's maximum.
    const int count = std::clamp(*target, 0, std::max(maxValue, 0));
    for (float offset : markOffsets(count, AppText::rightToLeft())) {
        Renderable at;
        at.position = Vector3(x + offset * scale.x, y, z);
        at.scale = scale;
        at.color = captionColour;
        at.updateXform();
        if (bShadow) {
            FontAccess::drawShadowed(pFont, &at, 20, Vector3(0.0f, -4.0f, 0.0f), 0x40000000, u"|");
        } else {
            FontAccess::drawAligned(pFont, &at, 20, u"|");
        }
    }
}

void MenuLevelBar::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    AppLink::applyAudioSettings();
}
