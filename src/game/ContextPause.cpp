#include "game/ContextPause.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionAudio.h"
#include "ui/TextLabel.h"
#include "game/ContextMessage.h"
#include "game/GameController.h"
#include "game/SpeechBubble.h"

ContextPause::ContextPause() {
    bDeleteWhenDone = true;
    const float s = float(itemSpacing);
    pBubble = new SpeechBubble(400.0f, 400.0f);
    addChild(pBubble);
    addChild(new TextLabel(0.0f, 3.0f * s, 0.0f, AppText::text(u"PAUSED"), AppLink::fontLarge(), 0xFFFFFFFF));

    pResumeButton = new MenuItemClose(0.0f, s, 0.0f, AppText::text(u"RESUME"), u"");
    appendItem(pResumeButton);
    pReturnButton = new MenuItemButton(0.0f, 0.0f, 0.0f, AppText::text(u"RETURNTOMAP"), AppText::text(u"RETURNTOMAPHINT"));
    appendItem(pReturnButton);
    pMuteItem = new MenuOptionAudio(-103.0f, -2.0f * s, 0.0f, AppText::text(u"MUTEAUDIO"), u"",
                                    game ? &game->gameConfiguration.bMuteAudio : nullptr);
    pMuteItem->captionLocation = 6;
    pMuteItem->setWidth(50);
    // Its caption stands on the white bubble: the bubble's text colour, darker under the pointer.
    pMuteItem->normalColour = ContextMessage::TEXT_COLOUR;
    pMuteItem->highlightColour = 0xFF1B2A4A;
    pMuteItem->bShadow = false;
    appendItem(pMuteItem);
}

void ContextPause::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (pReturnButton->bClicked) {
        pReturnButton->bClicked = false;
        bDone = true;
        if (GameController* controller = GameController::current()) controller->bDone = true;
    }
}

void ContextPause::renderContents() {
    if (prev) static_cast<Context*>(prev)->draw();
    ContextMenu::renderContents();
}
