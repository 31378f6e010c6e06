#include "ui/ContextLogo.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextIntro.h"
#include "ui/FadingPicture.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"

namespace {
int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }
bool holiday() { return qel && qel->bHoliday; }
ContextIntro* intro() { return static_cast<ContextIntro*>(AppLink::introContext()); }
}  // namespace

ContextLogo::ContextLogo() : pTexts(new QelBase()) {
    bDeleteWhenDone = true;
    bAnyKeyCloses = true;
    bShowPointer = false;
    pPreHook = AppLink::introContext();
    pPostHook = AppLink::menuBackgroundContext();
    addChild(pTexts);
}

Renderable* ContextLogo::makeLogo(bool fading) {
    Renderable* logo = fading ? new FadingPicture() : new Renderable();
    logo->pSkin = AppLink::findSkin(holiday() ? u"logoHoliday:0" : u"logo:0");
    logo->position = Vector3(0.0f, float(layoutHeight()) / 2.0f - 100.0f, 0.0f);
    logo->updateXform();
    return logo;
}

void ContextLogo::addText(float y, double duration, const char16_t* textKey, bool bTitle) {
    auto* label = new TextLabel(0.0f, y, 0.0f, AppText::text(textKey), bTitle ? AppLink::fontLarge() : AppLink::fontMedium(),
                                bTitle ? 0xFFFFFFFF : 0xFF000000);
    label->alignment |= 0x10;
    label->duration = duration;
    label->fadeIn = 0.25;
    label->fadeOut = 0.5;
    label->bShadow = false;
    pTexts->addChild(label);
}

void ContextLogo::onActivate(bool) {
    AppLink::closeCurtain();
    if (ContextIntro* i = intro()) i->jumpTo(424.0f);
}

void ContextLogo::onDeactivate(bool bFinished) {
    if (!bFinished) return;
    if (Context* background = AppLink::menuBackgroundContext()) background->prependChild(makeLogo(false));
    if (ContextIntro* i = intro()) i->jumpTo(0.0f);
}

void ContextLogo::tickContents(double total, double dt) {
    const double t = total;
    auto reached = [&](double mark) { return t >= mark && t - dt < mark; };
    if (reached(2)) addText(0, 3, holiday() ? u"INTRO11HOLIDAY" : u"INTRO11", true);
    if (reached(6)) {
        addText(45, 8, u"INTRO21", false);
        addText(15, 8, u"INTRO22", false);
        addText(-15, 8, u"INTRO23", false);
        addText(-45, 8, u"INTRO24", false);
    }
    if (reached(15)) {
        if (ContextIntro* i = intro()) i->addCameraMove(0.0f, 25.0);
        addText(15, 5, u"INTRO31", false);
        addText(-15, 5, u"INTRO32", false);
    }
    if (reached(21)) {
        addText(45, 8, u"INTRO41", false);
        addText(15, 8, u"INTRO42", false);
        addText(-15, 8, u"INTRO43", false);
        addText(-45, 8, u"INTRO44", false);
    }
    // The closing line is a story line, not a title: in the large font it runs off the screen.
    if (reached(30)) addText(0, 4, holiday() ? u"INTRO51HOLIDAY" : u"INTRO51", false);
    if (reached(35)) {
        auto* logo = static_cast<FadingPicture*>(makeLogo(true));
        logo->fadeIn = 0.5;
        addChild(logo);
        auto* legal = new TextLabel(10.0f - float(layoutWidth()) / 2.0f, 10.0f - float(layoutHeight()) / 2.0f, 0.0f,
                                    AppText::text(u"COPYRIGHT"), AppLink::fontSmall(), 0xFF000000);
        legal->delay = 1.0;
        legal->fadeIn = 0.25;
        legal->alignment = 34;
        legal->bShadow = false;
        addChild(legal);
    }
    if (t > 40) bDone = true;
    Context::tickContents(total, dt);
}
