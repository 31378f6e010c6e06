#include "ui/AppLink.h"

#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/IrisCurtain.h"
#include "media/Context.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Skin.h"

Skin* AppLink::findSkin(const char16_t* name) {
    if (!qel || !qel->pResourceManager) return nullptr;
    QelBase* r = qel->pResourceManager->find(true, name);
    return r && r->isKindOf(&Skin::classRecord) ? static_cast<Skin*>(r) : nullptr;
}

FontQuad* AppLink::fontTiny() { return game ? game->pFontTiny : nullptr; }
FontQuad* AppLink::fontSmall() { return game ? game->pFontSmall : nullptr; }
FontQuad* AppLink::fontMedium() { return game ? game->pFontMedium : nullptr; }
FontQuad* AppLink::fontLarge() { return game ? game->pFontLarge : nullptr; }

void AppLink::pushContext(Context* context) {
    if (game && game->pContextManager) {
        game->pContextManager->pushContext(context);
    } else if (context && context->bDeleteWhenDone) {
        // No stack to show it on: nothing would ever pop and delete it.
        context->release();
    }
}

Context* AppLink::topContext() {
    return game && game->pContextManager ? game->pContextManager->getTopContext() : nullptr;
}

void AppLink::requestQuit() {
    if (game && game->pContextManager) game->pContextManager->bQuit = true;
}

void AppLink::setPendingUrl(WStringView url) {
    if (game) game->pendingUrl = WString(url);
}

Context* AppLink::introContext() { return game ? game->pContextIntro : nullptr; }
Context* AppLink::menuBackgroundContext() { return game ? game->pContextMenuBackground : nullptr; }

void AppLink::closeCurtain() {
    if (game && game->pContextManager && game->pContextManager->pCurtain) {
        game->pContextManager->pCurtain->closedness = 1.0f;
        game->pContextManager->pCurtain->targetClosedness = 1.0f;
    }
}

void AppLink::saveUserData() {
    if (game) game->saveUserData();
}

void AppLink::applyAudioSettings() {
    if (game) game->applyAudioSettings(-1, -1);
}
