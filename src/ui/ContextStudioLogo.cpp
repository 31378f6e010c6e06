#include "ui/ContextStudioLogo.h"

#include "ui/AppLink.h"
#include "ui/FadingPicture.h"

ContextStudioLogo::ContextStudioLogo() {
    timeLimit = 3.5;
    bDeleteWhenDone = true;
    bAnyKeyCloses = true;
    bShowPointer = false;
    clearColor = 0xFF000000;
    auto* logo = new FadingPicture();
    logo->pSkin = AppLink::findSkin(u"mvstudios:0");
    logo->scaleMode = 1;
    logo->duration = 2.5;
    logo->fadeIn = 0.25;
    logo->fadeOut = 0.5;
    logo->updateXform();
    addChild(logo);
}
