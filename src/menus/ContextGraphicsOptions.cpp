#include "menus/ContextGraphicsOptions.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "language/TextId.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextOptions.h"
#include "menus/EnumValueItem.h"

ContextGraphicsOptions::ContextGraphicsOptions() {
    ContextOptions::beginScreen(this, u"GRAPHICS");
    GameConfiguration* c = ContextOptions::settings();
    pDetail = new EnumValueItem(0.0f, 0.0f, 0.0f, c ? &c->detailLevel : nullptr, 0, 1, ENUMDETAIL0,
                                AppText::text(u"DETAIL"), AppText::text(u"DETAILHINT"));
    ContextOptions::addRow(this, pDetail);
    pAdvancedButton = new MenuItemButton(float(cornerX - 128), -float(cornerY), 0.0f, AppText::text(u"ADVANCEDOPTIONS"), u"");
    appendItem(pAdvancedButton);
    pBackButton = ContextOptions::addBackButton(this);
}

void ContextGraphicsOptions::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (pAdvancedButton->bClicked) {
        pAdvancedButton->bClicked = false;
        AppLink::pushContext(new ContextAdvancedOptions());
    }
}
