#include "menus/ContextCredits.h"

#include "ui/AppLink.h"
#include "ui/BackingPanel.h"
#include "ui/ContextIntro.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "menus/CreditsList.h"

ContextCredits::ContextCredits() {
    timeLimit = DURATION;
    bDeleteWhenDone = true;
    bAnyKeyCloses = true;
    pBackdrop = new ContextIntro();
    pBackdrop->addCameraMove(424.0f, 10.0);
    pPreHook = pBackdrop;
    const float w = float(qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800);
    const float h = float(qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480);
    pVersionLabel = new TextLabel(w / 2.0f - 4.0f, 2.0f - h / 2.0f, 0.0f,
                                  format(u"%s %dx", getVersionLine(), qel ? qel->hq2x : 0), AppLink::fontSmall(),
                                  0xFF000000);
    pVersionLabel->alignment = 0x28;
    // The picture's tree and train glide through the corner of the version line: it stands on a
    // pale panel, clear of them.
    auto* backing = new BackingPanel();
    backing->follow(pVersionLabel);
    addChild(backing);
    addChild(pVersionLabel);
    pList = new CreditsList();
    addChild(pList);
    pList->fill();
}

ContextCredits::~ContextCredits() {
    // The list goes with the other children; the backdrop is not one of them.
    pPreHook = nullptr;
    delete pBackdrop;
    pBackdrop = nullptr;
}
