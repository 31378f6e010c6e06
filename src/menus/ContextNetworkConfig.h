#pragma once
// The second and last page of the network set-up: the player picks a country; NEXT marks the game
// as configured for online use (the condition for the score and crash-report uploads).

#include "ui/ContextMenu.h"

class BackingPanel;
class CountryPicker;
class MenuItemButton;
class MenuItemClose;
class TextLabel;

class ContextNetworkConfig : public ContextMenu {
public:
    ContextNetworkConfig();

    void tickContents(double total, double dt) override;

    TextLabel* pTitle;
    // Behind the country row: its caption stands on the picture.
    BackingPanel* pBacking;
    CountryPicker* pCountryPicker;
    MenuItemClose* pCancelButton;
    MenuItemButton* nextButton;
};
