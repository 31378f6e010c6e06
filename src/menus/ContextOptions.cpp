#include "menus/ContextOptions.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "ui/BackingPanel.h"
#include "engine/Qel.h"
#include "runtime/Shell.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextHelp.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ContextSoundOptions.h"

void ContextOptions::beginScreen(ContextMenu* screen, const char16_t* titleKey) {
    screen->bDeleteWhenDone = true;
    screen->pPreHook = AppLink::introContext();
    screen->appendItem(
        new TextLabel(0.0f, float(screen->cornerY), 0.0f, AppText::text(titleKey), AppLink::fontLarge(), 0xFFFFFFFF));
    // Before the rows, which it lies under.
    screen->addChild(new BackingPanel());
}

void ContextOptions::addRow(ContextMenu* screen, MenuItem* row) {
    styleRow(row);
    screen->appendItem(row);
    for (BasicLink* child = screen->firstChild; child; child = child->next)
        if (auto* backing = dynamic_cast<BackingPanel*>(static_cast<QelBase*>(child))) {
            backing->follow(row);
            break;
        }
}

MenuItemClose* ContextOptions::addBackButton(ContextMenu* screen) {
    auto* back = new MenuItemClose(float(80 - screen->cornerX), -float(screen->cornerY), 0.0f, AppText::text(u"BACK"), u"");
    back->setWidth(160);
    screen->appendItem(back);
    return back;
}

void ContextOptions::styleRow(MenuItem* row) {
    row->normalColour = ROW_COLOUR;
    row->captionColour = ROW_COLOUR;
}

GameConfiguration* ContextOptions::settings() { return game ? &game->gameConfiguration : nullptr; }

ContextOptions::ContextOptions() {
    beginScreen(this, u"OPTIONS");
    const float r = float(itemSpacing);
    auto button = [&](float y, const char16_t* key) {
        auto* b = new MenuItemButton(0.0f, y, 0.0f, AppText::text(key), u"");
        appendItem(b);
        return b;
    };
    pGameplayButton = button(2 * r, u"GAMEPLAY");
    pControlsButton = button(r, u"CONTROLS");
    pGraphicsButton = button(0.0f, u"GRAPHICS");
    pSoundButton = button(-r, u"SOUND");
    pNetworkWizardButton = button(-2 * r, u"NETWORKWIZARD");
    if (qel && qel->singleLanguage < 0) pChangeLanguageButton = button(-3 * r, u"CHANGELANGUAGE");
    pHelpButton = button(-float(cornerY), u"HELP");
    pHelpButton->setWidth(160);
    pBackButton = addBackButton(this);
}

void ContextOptions::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    // Each flag is read and cleared in the order of the buttons; every click is handled.
    auto clicked = [](MenuItemButton* b) {
        if (!b || !b->bClicked) return false;
        b->bClicked = false;
        return true;
    };
    if (clicked(pGameplayButton)) AppLink::pushContext(new ContextGameplayOptions());
    if (clicked(pControlsButton)) AppLink::pushContext(new ContextControlsOptions());
    if (clicked(pGraphicsButton)) AppLink::pushContext(new ContextGraphicsOptions());
    if (clicked(pSoundButton)) AppLink::pushContext(new ContextSoundOptions());
    if (clicked(pNetworkWizardButton)) openNetworkWizard();
    if (clicked(pChangeLanguageButton)) changeLanguage();
    if (clicked(pHelpButton)) AppLink::pushContext(new ContextHelp());
}

void ContextOptions::openNetworkWizard() { AppLink::pushContext(new ContextNetworkWizard1()); }

void ContextOptions::changeLanguage() {
    if (!qel) return;
    qel->defaultLanguage = -1;
    bRestartQEL = true;
}
