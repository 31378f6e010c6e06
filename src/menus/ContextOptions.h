#pragma once
// The options menu, opened from the main menu: it leads to the game-play, controls, graphics and
// sound settings, the network test and the help, and (with more than one language) to the
// choice of language, which restarts the engine so that the language screen comes up again.
// Every options screen has the intro picture behind it, its title at the top and BACK at the
// bottom left; the helpers below give the sub-screens that look.

#include <cstdint>

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class MenuItem;
class MenuItemButton;
class MenuItemClose;
class GameConfiguration;

class ContextOptions : public ContextMenu {
public:
    ContextOptions();

    void tickContents(double total, double dt) override;

    // Gives an options screen its settings and its title; called first by each constructor.
    static void beginScreen(ContextMenu* screen, const char16_t* titleKey);
    // Appends BACK at the bottom left; called last, so that it ends the navigation list.
    static MenuItemClose* addBackButton(ContextMenu* screen);
    // Gives a settings row (check box or value row) the dark caption colour: its caption stands
    // on the pale backdrop and its value and check mark on a pale frame.
    static void styleRow(MenuItem* row);
    // Styles the row, appends it to the screen and puts it on the screen's backing panel: a pale
    // panel under each row and its caption, so that the dark caption reads on any part of the
    // picture.
    static void addRow(ContextMenu* screen, MenuItem* row);
    static constexpr uint32_t ROW_COLOUR = 0xFF1B2A4A;
    // The settings record the screens edit; null while there is no application object.
    static GameConfiguration* settings();

    MenuItemButton* pGameplayButton;
    MenuItemButton* pControlsButton;
    MenuItemButton* pGraphicsButton;
    MenuItemButton* pSoundButton;
    MenuItemButton* pNetworkWizardButton;
    // Only in multi-language mode; null otherwise.
    MenuItemButton* pChangeLanguageButton = nullptr;
    MenuItemButton* pHelpButton;
    MenuItemClose* pBackButton;

private:
    // Pushes the network test's first page.
    void openNetworkWizard();
    // Forgets the language and restarts the engine: the loader then asks for it again.
    static void changeLanguage();
};
