#include "menus/ContextHighScoreOptions.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "ui/TextLabel.h"
#include "menus/ContextHighScoreUpload.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/MakerPage.h"

ContextHighScoreOptions::ContextHighScoreOptions() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    const float r = float(itemSpacing);
    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"HIGHSCOREOPTIONS"), AppLink::fontLarge(),
                           0xFFFFFFFF);
    addChild(pTitle);
    pOkButton = new MenuItemClose(0.0f, -float(cornerY), 0.0f, AppText::text(u"OK"), u"");
    pOkButton->setWidth(160);
    appendItem(pOkButton);
    pWorldWideButton = new MenuItemLink(0.0f, 2.0f * r, 0.0f, AppText::text(u"WORLDWIDESCORES"),
                                        AppText::text(u"WORLDWIDESCORESHINT"));
    pWorldWideButton->url = MakerPage::url(u"/vesk/highscoretable.php");
    appendItem(pWorldWideButton);
    pUploadButton =
        new MenuItemButton(0.0f, r, 0.0f, AppText::text(u"UPLOADSCORES"), AppText::text(u"UPLOADSCORESHINT"));
    appendItem(pUploadButton);
    pResetButton =
        new MenuItemButton(0.0f, -r, 0.0f, AppText::text(u"RESETSCORES"), AppText::text(u"RESETSCORESHINT"));
    pResetButton->confirmText = AppText::text(u"CONFIRM");
    appendItem(pResetButton);
}

void ContextHighScoreOptions::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (pResetButton->bClicked) {
        // The click arrives only after the player answered the confirmation with yes.
        pResetButton->bClicked = false;
        if (game) {
            game->gameConfiguration.resetHighScores();
            game->lastHighScoreRow = -1;
        }
    }
    if (pUploadButton->bClicked) {
        pUploadButton->bClicked = false;
        openUpload();
    }
}

void ContextHighScoreOptions::openUpload() {
    if (game && game->gameConfiguration.bOnlineConfigured) AppLink::pushContext(new ContextHighScoreUpload());
    else AppLink::pushContext(new ContextNetworkWizard1());
}
