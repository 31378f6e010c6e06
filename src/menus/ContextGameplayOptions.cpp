#include "menus/ContextGameplayOptions.h"

#include "ui/AppText.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionItem.h"
#include "menus/ContextOptions.h"

ContextGameplayOptions::ContextGameplayOptions() {
    ContextOptions::beginScreen(this, u"GAMEPLAY");
    GameConfiguration* c = ContextOptions::settings();
    const float r = float(itemSpacing);
    auto row = [&](float y, const char16_t* key, const char16_t* hintKey, uint8_t* option) {
        auto* item = new MenuOptionItem(0.0f, y, 0.0f, AppText::text(key), AppText::text(hintKey), option);
        ContextOptions::addRow(this, item);
        return item;
    };
    pTutorial = row(r, u"TUTORIAL", u"TUTORIALHINT", c ? &c->bTutorial : nullptr);
    pColorBlind = row(0.0f, u"COLORBLIND", u"COLORBLINDHINT", c ? &c->bColorBlind : nullptr);
    pColorizeMouse = row(-r, u"COLORIZEMOUSE", u"COLORIZEMOUSEHINT", c ? &c->bColorizeMouse : nullptr);
    pAllowCheats = row(-2 * r, u"ALLOWCHEATS", u"ALLOWCHEATSHINT", c ? &c->bAllowCheats : nullptr);
    pBackButton = ContextOptions::addBackButton(this);
}
