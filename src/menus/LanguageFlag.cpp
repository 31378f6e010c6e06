#include "menus/LanguageFlag.h"

#include "ui/AppLink.h"
#include "ui/ContextMenu.h"
#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "media/Texture.h"

LanguageFlag::LanguageFlag(int languageIndex, int skinIndex) : languageIndex(languageIndex) {
    bHasInvXform = true;
    auto* tex = static_cast<Texture*>(qel->pResourceManager->find(true, u"languageFlags"));
    if (!(skinIndex >= 0 && skinIndex < int(tex->skins.size())))
        ErrorManager::assertionFailed(u"LanguageFlag::LanguageFlag", __FILE__, __LINE__,
                                      u"skinIndex >= 0 && skinIndex < tex->skins.size()");
    Skin* skin = tex->skins[skinIndex];
    if (skin != pSkin) {
        pSkin = skin;
        updateXform();
    }
    const float s = qel && qel->hq2x > 0 ? float(qel->hq2x) : 1.0f;
    scale.x = s;
    scale.y = s;
    updateXform();
}

Vector3 LanguageFlag::getNavigationPoint(int index) {
    if (!bNavigable || index != 0) return endOfPoints();
    Context* context = nullptr;
    for (BasicLink* o = owner; o; o = o->owner) {
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) {
            context = static_cast<Context*>(o);
            break;
        }
    }
    return ContextMenu::worldToPointer(context, position);
}

void LanguageFlag::update(double, double) {
    Context* context = qel ? qel->pCurrentContext : nullptr;
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (!context || !in) return;
    const Vector3 p(context->pointerWorldPos[0], context->pointerWorldPos[1], context->pointerWorldPos[2]);
    if (isPointInsideSkin(p) && in->isAnyTouchPressed()) {
        qel->defaultLanguage = languageIndex;
        if (Context* top = AppLink::topContext()) {
            top->bDone = true;
        } else {
            context->bDone = true;
        }
    }
}
