#pragma once
// A check box whose change applies the audio settings at once.

#include "ui/MenuOptionItem.h"

class MenuOptionAudio : public MenuOptionItem {
public:
    using MenuOptionItem::MenuOptionItem;
    void onClick() override;
};
