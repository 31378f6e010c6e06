#include "game/GameController.h"

#include "app/GameGlobal.h"
#include "app/TextLabel.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/ContextMessage.h"
#include "game/Hud.h"
#include "game/MouseCursor.h"
#include "game/SpeechArrow.h"
#include "media/Sound.h"

GameController::GameController() {
    // The world layer holds the playfield; its clock is the game clock.
    pWorldLayer = new Context();
    addChild(pWorldLayer);
    // The two groups the level and its tracks fill.
    pWorldLayer->addChild(new QelBase());
    pWorldLayer->addChild(new QelBase());
    pCargoLayer = new QelBase();
    pWorldLayer->addChild(pCargoLayer);
    pEffectsLayer = new QelBase();
    pWorldLayer->addChild(pEffectsLayer);
    pSpeechArrow = new SpeechArrow();
    pWorldLayer->addChild(pSpeechArrow);

    // The display layer: the head-up display, and in front of it the line for "Train Missed!".
    pHudLayer = new Context();
    addChild(pHudLayer);
    pHudLayer->addChild(new Hud(true));
    pMessageLabel = new TextLabel(0.0f, 100.0f, 0.0f, u"", game ? game->pFontLarge : nullptr, 0xFFFFFFFF);
    pMessageLabel->fadeIn = 0.25;
    pMessageLabel->fadeOut = 0.25;
    pMessageLabel->bRemoveWhenDone = false;
    pHudLayer->addChild(pMessageLabel);

    // The game's own pointer, in display-layer coordinates, drawn instead of the pointer sprite.
    pPointerOverride = new MouseCursor(pHudLayer);
}

GameController::~GameController() {
    if (auto* application = dynamic_cast<GameGlobal*>(game); application && application->pGameController == this)
        application->pGameController = nullptr;
    delete pPointerOverride;
    pPointerOverride = nullptr;
    // A tutorial page is the controller's until it is shown.
    if (pTutorialPopup) pTutorialPopup->release();
    pTutorialPopup = nullptr;
    // The layers and everything in them go with the children.
    deleteChildren();
}

void GameController::tickContents(double total, double dt) { Context::tickContents(total, dt); }

Hud* GameController::getHud() const {
    for (BasicLink* l = pHudLayer ? pHudLayer->firstChild : nullptr; l; l = l->next)
        if (auto* hud = dynamic_cast<Hud*>(l)) return hud;
    return nullptr;
}

double GameController::getGameTime() const { return pWorldLayer ? pWorldLayer->totalTime : 0.0; }

GameController* GameController::current() {
    auto* application = dynamic_cast<GameGlobal*>(game);
    return application ? static_cast<GameController*>(application->pGameController) : nullptr;
}

ProfileData* GameController::currentProfile() { return game ? &game->profileManager.current() : nullptr; }

namespace {
Sound* findSound(const char16_t* name) {
    if (!qel || !qel->pResourceManager) return nullptr;
    return static_cast<Sound*>(qel->pResourceManager->find(true, name));
}
}  // namespace

void GameController::playSound(const char16_t* name, float pitch) {
    if (soundHook) {
        soundHook(name, pitch);
        return;
    }
    if (Sound* sound = findSound(name)) sound->playPitch(pitch);
}

void GameController::playSoundRandomPitch(const char16_t* name) {
    if (soundHook) {
        // The pitch is drawn all the same, so that a traced game takes the same random numbers.
        randomNext();
        soundHook(name, 0.0f);
        return;
    }
    if (Sound* sound = findSound(name)) sound->playRandomPitch();
}
