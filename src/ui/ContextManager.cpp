#include "ui/ContextManager.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/TimeKeeper.h"
#include "language/Language.h"
#include "media/FontQuad.h"
#include "media/PointerDispatcher.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/TextTrace.h"
#include "media/Texture.h"
#include "ui/ContextMessageBox.h"
#include "ui/Global.h"
#include "ui/IrisCurtain.h"
#include "ui/PointerSprite.h"

QEL_IMPLEMENT_CLASS(ContextManager, &Context::classRecord, nullptr)

namespace {

constexpr int kEscapeKey = 1;
// The fifth key binding (Space and joystick 1 button 0 by default) skips a screen.
constexpr int kSkipBinding = 4;

// "Are you sure?" with YES and NO.
Context* makeQuitConfirmation(int* pResult) {
    auto* box = new ContextMessageBox();
    const Language* language = qel ? qel->pLanguage : nullptr;
    if (language) {
        box->text = language->getText(CONFIRM);
        box->firstButtonText = language->getText(YES);
        box->secondButtonText = language->getText(NO);
    }
    box->pResult = pResult;
    box->layout();
    return box;
}

// The screen's class name ("ContextMain").
std::string screenName(const Context* screen) {
    const char* mangled = typeid(*screen).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && plain ? std::string(plain.get()) : std::string(mangled);
}

void clearPointerFocus() {
    if (qel && qel->pPointerDispatcher) qel->pPointerDispatcher->setFocus(nullptr);
}

}  // namespace

ContextManager::ContextManager() {
    pPointerLayer = new Context();
    pCurtainLayer = new Context();
    pPointerSprite = new PointerSprite();
    pPointerLayer->addChild(pPointerSprite);
    pCurtain = new IrisCurtain();
    pCurtainLayer->addChild(pCurtain);
}

ContextManager::~ContextManager() {
    delete pPointerLayer;
    pPointerLayer = nullptr;
    pPointerSprite = nullptr;
    delete pCurtainLayer;
    pCurtainLayer = nullptr;
    pCurtain = nullptr;
}

void ContextManager::pushContext(Context* context) {
    context->bDone = false;
    addChild(context);
}

Context* ContextManager::getTopContext() const { return static_cast<Context*>(lastChild); }

QelBase* ContextManager::findObjectUnderPointer(int& skip) {
    Context* top = getTopContext();
    return top ? top->findObjectUnderPointer(skip) : nullptr;
}

void ContextManager::pop(Context* context) {
    removeChild(context);
    context->onDeactivate(true);
    clearPointerFocus();
    pLastActive = nullptr;
    if (context->bDeleteWhenDone) delete context;
}

void ContextManager::tickContents(double total, double dt) {
    while (Context* last = getTopContext()) {
        if (!last->bDone) break;
        pop(last);
    }
    pTop = getTopContext();
    if (!pTop) {
        bQuit = true;
        return;
    }
    if (frontChangeFrame >= 0 && (qel ? qel->frameCount : 0) > frontChangeFrame) {
        Texture::purgeUnused();
        frontChangeFrame = -1;
    }

    if (pTop != pLastActive) {
        if (pLastActive) pLastActive->onDeactivate(false);
        clearPointerFocus();
        const bool first = pTop->bFirstActivation;
        pTop->bFirstActivation = false;
        // Which screen the player sees: whole-program runs follow the screens by these lines.
        qelLog(u"ContextManager::tickContents", u"%hs in front%hs.", screenName(pTop), first ? "" : " again");
        // The pictures of the screens left behind go from the device until they are drawn again,
        // once a frame has been drawn with the new screen in front: what it did not draw (the
        // screen left, unless it still shows) goes.
        frontChangeFrame = qel ? qel->frameCount : 0;
        pTop->onActivate(first);
        // The curtain opens on every change of front screen.
        if (pCurtain) pCurtain->targetClosedness = 0.0f;
        pLastActive = pTop;
    }

    if (pTop->pPointerOverride) pTop->pPointerOverride->update(total, dt);
    pPointerLayer->tick(total, dt);
    pCurtainLayer->tick(total, dt);
    Context* top = pTop;
    top->tick(total, dt);
    // The front screen's tick may push a screen; the keys still apply to the screen that was ticked.
    pTop = top;
    handleKeys();

    if (confirmResult == 0) {
        // YES: the screen that asked (just below the dialog) finishes; both pop at the next tick.
        if (auto* asking = static_cast<Context*>(pTop->prev); asking && pTop->owner == this) asking->bDone = true;
        confirmResult = -1;
    }
}

void ContextManager::handleKeys() {
    if (!pTop->bEscapeCloses || !qel || !qel->pQelInput) return;
    QelInput* input = qel->pQelInput;
    if (input->wasKeyPressed(kEscapeKey)) {
        if (pTop->bConfirmEscape) {
            pushContext((createConfirmation ? createConfirmation : &makeQuitConfirmation)(&confirmResult));
        } else {
            pTop->bDone = true;
        }
    }
    if (pTop->bAnyKeyCloses) {
        const int32_t* binding = game ? game->gameConfiguration.keyBindings[kSkipBinding] : nullptr;
        const int key = binding ? binding[0] : 57;
        const int alternate = binding ? binding[1] : 272;
        if (input->wasKeyPressed(key) || input->wasKeyPressed(alternate) || input->isAnyTouchPressed()) pTop->bDone = true;
    }
}

void ContextManager::renderContents() {
    Context* top = getTopContext();
    if (!top) return;
    top->draw();
    if (top->bShowPointer && qel && qel->bWindowActive) {
        if (top->pPointerOverride) top->pPointerOverride->render();
        else pPointerLayer->draw();
    }
    pCurtainLayer->draw();
    if (!top->bHideFrameRate && game && game->gameConfiguration.bShowFps && game->pFontSmall && qel && qel->pQelGraphics) {
        const double now = qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : 0.0;
        if (now > nextFrameRateUpdate) {
            shownFrameRate = static_cast<float>(qel->frameRate);
            nextFrameRateUpdate = now + 0.125;
        }
        const float x = static_cast<float>(qel->pQelGraphics->layoutWidth / 2 - 2);
        const float y = static_cast<float>(qel->pQelGraphics->layoutHeight / 2 - 2);
        const WString shown = format(u"%.1lf", static_cast<double>(shownFrameRate));
        // White letters straight on the picture, where snow may pass behind them: a dark rim keeps
        // them readable whatever lies there.
        {
            TextTrace::Decoration rim;
            static const float offsets[4][2] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
            for (const auto& o : offsets) game->pFontSmall->drawText(x + o[0], y + o[1], 0.0f, 0xFF000000u, 264, shown);
        }
        game->pFontSmall->drawText(x, y, 0.0f, 0xFFFFFFFFu, 264, shown);
    }
}
