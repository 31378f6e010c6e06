#include "menus/ContextHighScoreUpload.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/BackingPanel.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MessageViewer.h"
#include "ui/TextLabel.h"
#include "engine/HttpRequest.h"
#include "engine/Qel.h"
#include "menus/ContextOptions.h"
#include "menus/UploadResult.h"
#include "menus/ScoreUploadData.h"

ContextHighScoreUpload::ContextHighScoreUpload() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"UPLOADSCORES"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);

    pBacking = new BackingPanel();
    addChild(pBacking);
    viewer = new MessageViewer();
    // Dark text, like the settings rows, on the pale panel over the intro picture.
    viewer->colour = ContextOptions::ROW_COLOUR;
    viewer->position = Vector3(0.0f, 4.5f * -viewer->lineStep, 0.0f);
    addChild(viewer);
    pBacking->follow(viewer);
    for (const char16_t* key : {u"UPLOADTEXT1", u"UPLOADTEXT2", u"UPLOADTEXT3"}) viewer->addMessage(AppText::text(key));
    if (qel && !qel->bDebugLocked)
        viewer->addMessage(format(u"Debug: sizeof(ScoreUploadData)=%d, mod8=%d", int(sizeof(ScoreUploadData)),
                                  int(sizeof(ScoreUploadData) % 8)));

    pCancelButton = new MenuItemClose(float(80 - cornerX), -float(cornerY), 0.0f, AppText::text(u"CANCEL"), u"");
    pCancelButton->setWidth(160);
    appendItem(pCancelButton);
    nextButton = new MenuItemButton(float(cornerX - 80), -float(cornerY), 0.0f, AppText::text(u"NEXT"), u"");
    nextButton->setWidth(160);
    appendItem(nextButton);
}

ContextHighScoreUpload::~ContextHighScoreUpload() { delete request; }

void ContextHighScoreUpload::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (request) UploadResult::take(*request, *viewer, *nextButton);
    if (nextButton->bClicked) {
        nextButton->bClicked = false;
        if (!request) startUpload();
        else if (!nextButton->bDisabled) bDone = true;
    }
}

void ContextHighScoreUpload::startUpload() {
    nextButton->bDisabled = true;
    const GameConfigurationRecord empty{};
    const GameConfigurationRecord& record = game ? static_cast<const GameConfigurationRecord&>(game->gameConfiguration) : empty;
    const ScoreUploadData data = ScoreUploadData::fromConfiguration(record);
    viewer->addMessage(AppText::text(u"STARTINGDOTS"));
    request = new HttpRequest(HttpRequest::getMakerHost(), PATH);
    request->addStandardFields();
    request->addPart(&data, int(sizeof(data)), u"HSTfile", GameConfiguration::getConfigurationFileName());
    request->start();
}
