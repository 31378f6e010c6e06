#include "game/GameController.h"

#include <algorithm>

#include "app/GameGlobal.h"
#include "app/ProfileData.h"
#include "app/TextLabel.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/Car.h"
#include "game/ContextMessage.h"
#include "game/FloatingText.h"
#include "game/Hud.h"
#include "game/Launcher.h"
#include "game/MouseCursor.h"
#include "game/SpeechArrow.h"
#include "media/QelGraphics.h"
#include "media/Skin.h"
#include "media/Sound.h"

GameController::GameController() {
    pDepthManager = &depthManager;
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

void GameController::startGame() {
    ProfileData* profile = currentProfile();
    qelLog(u"GameController::startGame", u"Starting level %d.", profile ? profile->level() : 0);
}

void GameController::continueGame() {
    ProfileData* profile = currentProfile();
    qelLog(u"GameController::continueGame", u"Continuing level %d.", profile ? profile->level() : 0);
}

bool GameController::load() {
    qelLog(u"GameController::load", u"Saved games cannot be read by this build.");
    return false;
}

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

void GameController::showFloatingScore(const Vector3& position, int points, WStringView text) {
    const WString shown = text.empty() ? format(u"+%d", points) : WString(text);
    if (pEffectsLayer) pEffectsLayer->addChild(new FloatingText(position, shown));
    if (ProfileData* profile = currentProfile()) profile->addScore(points);
}

void GameController::onTrainEntered() {
    if (pLauncher && pLauncher->state == Launcher::STATE_DISABLED) pLauncher->gotoState(Launcher::STATE_READY);
    if (levelStartTime == 0.0) levelStartTime = getGameTime();
}

void GameController::onCarsCompleted(Car* car) {
    if (!car) return;
    carsCompleted += car->countSlots();
    levelProgress = totalCars > 0 ? std::min(1.0f, static_cast<float>(carsCompleted) / static_cast<float>(totalCars)) : 1.0f;
}

int GameController::detailLevel() { return game ? game->gameConfiguration.detailLevel : 1; }

bool GameController::shadowsOn() { return qel && qel->pQelGraphics && qel->pQelGraphics->bHighDetail; }

Skin* GameController::findSkin(WStringView name) {
    if (!qel || !qel->pResourceManager) return nullptr;
    return static_cast<Skin*>(qel->pResourceManager->find(true, name));
}

Sound* GameController::findSound(const char16_t* name) {
    if (!qel || !qel->pResourceManager) return nullptr;
    return static_cast<Sound*>(qel->pResourceManager->find(soundHook == nullptr, name));
}

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

void GameController::playSoundPanned(const char16_t* name, float x) {
    if (soundHook) {
        randomNext();
        soundHook(name, 0.0f);
        return;
    }
    if (Sound* sound = findSound(name)) sound->playPanned(x);
}

void GameController::playSoundSemitones(const char16_t* name, int semitones) {
    if (soundHook) {
        soundHook(name, Sound::semitoneFactor(semitones));
        return;
    }
    if (Sound* sound = findSound(name)) sound->playSemitones(semitones);
}
