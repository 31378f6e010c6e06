#include "menus/ListValueItem.h"

ListValueItem::ListValueItem(float x, float y, float z, int* value, int minimum, int maximum,
                             const std::vector<WString>* valueNames, WStringView caption, WStringView hint)
    : EnumValueItem(x, y, z, value, minimum, maximum, 0, valueNames, caption, hint) {}
