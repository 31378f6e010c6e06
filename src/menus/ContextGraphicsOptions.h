#pragma once
// Graphics settings: the detail level, and the way to the advanced display settings. The detail
// level reaches the engine at the next application of the settings.

#include "ui/ContextMenu.h"

class EnumValueItem;
class MenuItemButton;
class MenuItemClose;

class ContextGraphicsOptions : public ContextMenu {
public:
    ContextGraphicsOptions();

    void tickContents(double total, double dt) override;

    EnumValueItem* pDetail;
    MenuItemButton* pAdvancedButton;
    MenuItemClose* pBackButton;
};
