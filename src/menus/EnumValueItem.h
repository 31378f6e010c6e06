#pragma once
// A value row that names its value: value i shows the text with id firstTextId + i (an
// enumeration such as the detail level), or, in a ListValueItem, entry i of a list of strings
// (the video modes). Both kinds share this layout and this drawing; the kind is told by
// firstTextId being non-zero. Values step by 1.

#include <vector>

#include "menus/MenuValueItem.h"

class EnumValueItem : public MenuValueItem {
public:
    EnumValueItem(float x, float y, float z, int* value, int minimum, int maximum, int firstTextId,
                  WStringView caption, WStringView hint);

    void drawValue(float x, float y, float z) override;
    // The text naming the current value; empty when the value names nothing (a target outside
    // the bounds, or past the texts or the list), so nothing is ever read outside them.
    WString valueText() const;

    int firstTextId = 0;
    // Belongs to the screen that made the item and outlives it; null in an enumeration.
    const std::vector<WString>* valueNames = nullptr;

protected:
    EnumValueItem(float x, float y, float z, int* value, int minimum, int maximum, int firstTextId,
                  const std::vector<WString>* valueNames, WStringView caption, WStringView hint);
};
