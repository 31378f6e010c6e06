#include "menus/ContextControlsOptions.h"

#include "ui/AppText.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionItem.h"
#include "menus/ContextOptions.h"

ContextControlsOptions::ContextControlsOptions() {
    ContextOptions::beginScreen(this, u"CONTROLS");
    GameConfiguration* c = ContextOptions::settings();
    pSwapMouse = new MenuOptionItem(0.0f, 0.0f, 0.0f, AppText::text(u"SWAPMOUSE"), AppText::text(u"SWAPMOUSEHINT"),
                                    c ? &c->bSwapMouse : nullptr);
    ContextOptions::addRow(this, pSwapMouse);
    pBackButton = ContextOptions::addBackButton(this);
}
