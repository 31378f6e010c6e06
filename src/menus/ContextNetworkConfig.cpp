#include "menus/ContextNetworkConfig.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/BackingPanel.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "menus/ContextOptions.h"
#include "menus/CountryPicker.h"

ContextNetworkConfig::ContextNetworkConfig() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"NETCONFIGTITLE"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);
    pBacking = new BackingPanel();
    addChild(pBacking);
    GameConfiguration* c = ContextOptions::settings();
    pCountryPicker = new CountryPicker(128.0f, -50.0f, 0.0f, c ? &c->countryIndex : nullptr,
                                       AppText::text(u"SELECTYOURCOUNTRY"), AppText::text(u"SELECTYOURCOUNTRYHINT"));
    ContextOptions::styleRow(pCountryPicker);
    appendItem(pCountryPicker);
    pBacking->follow(pCountryPicker);
    const float side = float(cornerX - 80);
    pCancelButton = new MenuItemClose(-side, -float(cornerY), 0.0f, AppText::text(u"CANCEL"), u"");
    pCancelButton->setWidth(160);
    appendItem(pCancelButton);
    nextButton = new MenuItemButton(side, -float(cornerY), 0.0f, AppText::text(u"NEXT"), u"");
    nextButton->setWidth(160);
    appendItem(nextButton);
}

void ContextNetworkConfig::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (nextButton->bClicked) {
        nextButton->bClicked = false;
        // Saved with the rest of the user data; the picker has written the country already.
        if (GameConfiguration* c = ContextOptions::settings()) c->bOnlineConfigured = 1;
        bDone = true;
    }
}
