#pragma once
// A value row that shows its value as a row of bars (the sound and music volumes). Every press
// applies the audio settings at once, so a change is heard immediately.

#include <vector>

#include "menus/MenuValueItem.h"

class MenuLevelBar : public MenuValueItem {
public:
    static constexpr float FIRST_MARK_X = -84.0f;
    static constexpr float MARK_SPACING = 7.0f;

    MenuLevelBar(float x, float y, float z, int* target, int minValue, int maxValue, WStringView caption,
                 WStringView hint);

    void drawContents(float x, float y, float z) override;
    void onClick() override;

    // Where the marks of a value go, relative to the item's centre: the first at -84 and each
    // next 7 further right (mirrored in a right-to-left language). None for a value below 1.
    static std::vector<float> markOffsets(int value, bool rightToLeft);
};
