#include "menus/EnumValueItem.h"

#include "engine/Qel.h"
#include "language/Language.h"

EnumValueItem::EnumValueItem(float x, float y, float z, int* value, int minimum, int maximum, int firstTextId,
                             WStringView caption, WStringView hint)
    : EnumValueItem(x, y, z, value, minimum, maximum, firstTextId, nullptr, caption, hint) {}

EnumValueItem::EnumValueItem(float x, float y, float z, int* value, int minimum, int maximum, int firstTextId,
                             const std::vector<WString>* valueNames, WStringView caption, WStringView hint)
    : MenuValueItem(x, y, z, value, minimum, maximum, 1, caption, hint),
      firstTextId(firstTextId),
      valueNames(valueNames) {}

WString EnumValueItem::valueText() const {
    if (!target || *target < 0 || *target < minValue || *target > maxValue) return WString();
    const int value = *target;
    if (firstTextId != 0) {
        if (firstTextId < 0 || value >= TEXT_COUNT - firstTextId || !qel || !qel->pLanguage) return WString();
        const char16_t* text = qel->pLanguage->getText(TextId(firstTextId + value));
        return text ? WString(text) : WString();
    }
    if (!valueNames || size_t(value) >= valueNames->size()) return WString();
    return (*valueNames)[size_t(value)];
}

void EnumValueItem::drawValue(float x, float y, float z) {
    const WString text = valueText();
    if (!text.empty()) drawValueText(text, x, y, z);
}
