#include "game/ContextRestartConfirm.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "game/ContextMessage.h"
#include "game/SpeechBubble.h"
#include "game/WorldManager.h"

ContextRestartConfirm::ContextRestartConfirm(int level) : restartLevel(level) {
    bDeleteWhenDone = true;
    pBubble = new SpeechBubble(600.0f, 320.0f);
    addChild(pBubble);
    addChild(new TextLabel(0.0f, 130.0f, 0.0f, AppText::text(u"RESTARTTITLE"), AppLink::fontLarge(), 0xFFFFFFFF));
    auto* warning = new TextLabel(0.0f, 65.0f, 0.0f, AppText::text(u"RESTARTCONFIRM"), AppLink::fontMedium(),
                                  ContextMessage::TEXT_COLOUR);
    // Grey text on the white bubble reads crisply only without the drop shadow, as a message's lines.
    warning->bShadow = false;
    addChild(warning);
    pYesButton = new MenuItemButton(0.0f, -10.0f, 0.0f, AppText::text(u"YES"), u"");
    pNoButton = new MenuItemClose(0.0f, -60.0f, 0.0f, AppText::text(u"NO"), u"");
    for (MenuItemButton* button : {pYesButton, static_cast<MenuItemButton*>(pNoButton)}) {
        button->setSpeechStyle();
        // The speech buttons' frame is dark: a light caption reads on it.
        button->normalColour = SPEECH_CAPTION_COLOUR;
        button->setWidth(160);
        appendItem(button);
    }
}

void ContextRestartConfirm::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (pYesButton->bClicked) {
        pYesButton->bClicked = false;
        if (!pYesButton->bDisabled) WorldManager::restartAtLevel(restartLevel);
        // The question is answered: it closes, so that one YES restarts once.
        bDone = true;
    }
}

void ContextRestartConfirm::renderContents() {
    if (prev) static_cast<Context*>(prev)->draw();
    ContextMenu::renderContents();
}
