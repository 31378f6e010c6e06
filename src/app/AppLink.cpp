#include "app/AppLink.h"

#if __has_include("app/Global.h") && __has_include("app/ContextManager.h")
#include "app/ContextManager.h"
#include "app/Global.h"
#define VESK_APP_LINK 1
#if __has_include("app/IrisCurtain.h")
#include "app/IrisCurtain.h"
#define VESK_APP_CURTAIN 1
#endif
#endif

#include "engine/Context.h"
#include "engine/ResourceManager.h"
#if __has_include("media/Skin.h")
#include "media/Skin.h"
#define VESK_APP_SKINS 1
#endif
#include "engine/Qel.h"

Skin* AppLink::findSkin(const char16_t* name) {
#ifdef VESK_APP_SKINS
    if (!qel || !qel->pResourceManager) return nullptr;
    QelBase* r = qel->pResourceManager->find(true, name);
    return r && r->isKindOf(&Skin::classRecord) ? static_cast<Skin*>(r) : nullptr;
#else
    (void)name;
    return nullptr;
#endif
}

#ifdef VESK_APP_LINK
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
#ifdef VESK_APP_CURTAIN
    if (game && game->pContextManager && game->pContextManager->pCurtain) {
        game->pContextManager->pCurtain->closedness = 1.0f;
        game->pContextManager->pCurtain->targetClosedness = 1.0f;
    }
#endif
}

void AppLink::saveUserData() {
    if (game) game->saveUserData();
}

void AppLink::applyAudioSettings() {
    if (game) game->applyAudioSettings(-1, -1);
}
#else
FontQuad* AppLink::fontTiny() { return nullptr; }
FontQuad* AppLink::fontSmall() { return nullptr; }
FontQuad* AppLink::fontMedium() { return nullptr; }
FontQuad* AppLink::fontLarge() { return nullptr; }
void AppLink::pushContext(Context* context) {
    if (context && context->bDeleteWhenDone) context->release();
}
Context* AppLink::topContext() { return nullptr; }
void AppLink::requestQuit() {}
void AppLink::setPendingUrl(WStringView) {}
Context* AppLink::introContext() { return nullptr; }
Context* AppLink::menuBackgroundContext() { return nullptr; }
void AppLink::closeCurtain() {}
void AppLink::saveUserData() {}
void AppLink::applyAudioSettings() {}
#endif
