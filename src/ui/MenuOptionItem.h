#pragma once
// A check box bound to a byte of the settings.

#include <cstdint>

#include "ui/MenuItem.h"

class MenuOptionItem : public MenuItem {
public:
    MenuOptionItem(float x, float y, float z, WStringView caption, WStringView hint, uint8_t* option);

    void update(double time, double dt) override;
    void render() override;

    uint8_t* pOption;
};
