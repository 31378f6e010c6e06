#pragma once
// A value row showing entry i of a list of strings for value i (the video modes).

#include "menus/EnumValueItem.h"

class ListValueItem : public EnumValueItem {
public:
    ListValueItem(float x, float y, float z, int* value, int minimum, int maximum,
                  const std::vector<WString>* valueNames, WStringView caption, WStringView hint);
};
