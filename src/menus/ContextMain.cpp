#include "menus/ContextMain.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "engine/ErrorManager.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "media/QelInput.h"
#include "menus/ContextCredits.h"
#include "menus/ContextHighScores.h"
#include "menus/ContextOptions.h"
#include "menus/PlayerGreeting.h"

namespace {
const char16_t* const WEBSITE_ADDRESS = u"https://vesk-diruzuri.example.org/";
}

WString ContextMain::websiteUrl() {
    return WString(WEBSITE_ADDRESS) + u"?src=" + getProductName() + u"v" + getProductVersion();
}

ContextMain::ContextMain() {
    bDeleteWhenDone = true;
    bConfirmEscape = true;
    pPreHook = AppLink::introContext();
    pPostHook = AppLink::menuBackgroundContext();
    appendItem(new PlayerGreeting());
    auto button = [&](int row, const char16_t* key) {
        auto* b = new MenuItemButton(0.0f, -float(row * itemSpacing), 0.0f, AppText::text(key), u"");
        appendItem(b);
        return b;
    };
    pStartButton = button(1, u"STARTGAME");
    pHighScoresButton = button(2, u"HIGHSCORES");
    pOptionsButton = button(3, u"OPTIONSDOTS");
    pCreditsButton = button(4, u"CREDITS");

    pWebsiteButton = new MenuItemLink(float(cornerX - 80), -float(cornerY), 0.0f, AppText::text(u"WEBSITE"),
                                      AppText::text(u"WEBSITEHINT"));
    pWebsiteButton->url = websiteUrl();
    pWebsiteButton->setWidth(160);
    appendItem(pWebsiteButton);

    pQuitButton = new MenuItemClose(float(80 - cornerX), -float(cornerY), 0.0f, AppText::text(u"QUIT"), u"");
    pQuitButton->setWidth(160);
    appendItem(pQuitButton);
}

void ContextMain::onActivate(bool bFirst) {
    ContextMenu::onActivate(bFirst);
    // User data is saved every time the main menu comes to the front.
    AppLink::saveUserData();
}

void ContextMain::onDeactivate(bool bPopped) { ContextMenu::onDeactivate(bPopped); }

void ContextMain::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (in && in->wasKeyPressed(45) && in->modifiers == MODIFIERS_CTRL_ALT)
        QEL_FATAL(u"ContextMain::tickContents", u"Crash requested.");
    if (pStartButton->bClicked) {
        pStartButton->bClicked = false;
        createWorld();
    }
    if (pOptionsButton->bClicked) {
        pOptionsButton->bClicked = false;
        AppLink::pushContext(new ContextOptions());
    }
    if (pHighScoresButton->bClicked) {
        pHighScoresButton->bClicked = false;
        AppLink::pushContext(new ContextHighScores());
    }
    if (pCreditsButton->bClicked) {
        pCreditsButton->bClicked = false;
        AppLink::pushContext(new ContextCredits());
    }
}
