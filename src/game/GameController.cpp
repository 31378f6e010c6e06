#include "game/GameController.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/IrisCurtain.h"
#include "ui/ProfileData.h"
#include "ui/TextLabel.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Packet.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/Utilities.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/ContextLevelComplete.h"
#include "game/ContextMessage.h"
#include "game/ContextPause.h"
#include "game/FloatingText.h"
#include "game/Hud.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/MouseCursor.h"
#include "game/SpeechArrow.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/WorldManager.h"
#include "language/Language.h"
#include "media/Camera.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "platform/AudioLibrary.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace {

// Key codes of the commands.
constexpr int kKeyReturn = 0x1C;
constexpr int kKeySpace = 0x39;
constexpr int kKeyPause = 0xC5;
// Mouse buttons by index.
constexpr int kMouseLeft = 0;
constexpr int kMouseRight = 1;
constexpr int kMouseMiddle = 2;
// A touch this near another launcher spot moves the launcher there.
constexpr float kSpotReach = 110.0f;
// The finger's size when a touch picks a slot to claw.
constexpr float kTouchRadius = 2.0f;

// The depth pass: the objects along the tracks, sorted after the level moved and drawn in depth
// order before the launcher.
class DepthPass : public QelBase {
public:
    explicit DepthPass(DepthManager& manager) : manager(manager) {}
    void update(double time, double dt) override { manager.update(time, dt); }
    void render() override { manager.render(); }
    DepthManager& manager;
};

int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }

QelInput* input() { return qel ? qel->pQelInput : nullptr; }
QelAudio* audio() { return qel ? qel->pQelAudio : nullptr; }

bool touchMode() {
    QelInput* in = input();
    return in && in->inputMode == INPUTMODE_TOUCH;
}

bool keyPressed(int code) {
    QelInput* in = input();
    return in && in->wasKeyPressed(code);
}

// Down in this frame and up in the one before.
bool mouseClicked(int button) {
    QelInput* in = input();
    return in && in->mouseButtons[button] && !in->prevMouseButtons[button];
}

bool firstTouchPressed() {
    QelInput* in = input();
    return in && in->isTouchPressed(0);
}

GameConfiguration* configuration() { return game ? &game->gameConfiguration : nullptr; }
bool tutorialOn() { return configuration() && configuration()->bTutorial; }
bool inGameMusicOn() { return configuration() && configuration()->bInGameMusic; }

SoundStream* findMusic(const char16_t* name) {
    if (!qel || !qel->pResourceManager) return nullptr;
    return static_cast<SoundStream*>(qel->pResourceManager->find(true, name));
}

void fadeMusic(float volume, double seconds) {
    if (QelAudio* a = audio()) a->fadeMusic(volume, seconds);
}

// A text of the current language; in touch mode the "IOS_" form of the key where the language
// has one.
WString touchText(const char16_t* key) {
    if (touchMode() && qel && qel->pLanguage) {
        const WString touchKey = WString(u"IOS_") + key;
        const WString text = AppText::textOfLanguage(qel->pLanguage->currentLanguage, touchKey.c_str());
        if (!text.empty()) return text;
    }
    return AppText::text(key);
}

// The tutorial page of a level: title, body (and its touch form), picture.
struct TutorialPage {
    int level;
    const char16_t* title;
    const char16_t* body;
    const char16_t* touchBody;
    const char16_t* picture;
};

constexpr TutorialPage kTutorialPages[] = {
    {0, u"TIPHOWTOPLAYTITLE", u"TIPHOWTOPLAY", u"TIPHOWTOPLAYTOUCH", u"howToPlay:0"},
    {1, u"TIPCHAINREACTIONTITLE", u"TIPCHAINREACTION", nullptr, u"howToPlay:1"},
    {2, u"TIPBONUSSLOWTITLE", u"TIPBONUSSLOW", nullptr, u"howToPlay:2"},
    {3, u"TIPBONUSSTOPTITLE", u"TIPBONUSSTOP", nullptr, u"bonus:0"},
    {4, u"TIPDOUBLECARRIAGETITLE", u"TIPDOUBLECARRIAGE", nullptr, u"car:2"},
    {5, u"TIPBONUSREVERSETITLE", u"TIPBONUSREVERSE", nullptr, u"bonus:1"},
    {6, u"TIPBONUSWILDCARDTITLE", u"TIPBONUSWILDCARD", nullptr, u"bonus:2"},
    {7, u"TIPBONUSSPEEDSHOTTITLE", u"TIPBONUSSPEEDSHOT", nullptr, u"bonus:5"},
    {8, u"TIPLAUNCHERSPOTSTITLE", u"TIPLAUNCHERSPOTS", u"IOS_TIPLAUNCHERSPOTS", u"launcher:0"},
    {9, u"TIPBONUSFIREBALLTITLE", u"TIPBONUSFIREBALL", nullptr, u"bonus:4"},
    {10, u"TIPBONUSCOLORBOMBTITLE", u"TIPBONUSCOLORBOMB", nullptr, u"bonus:3"},
    {12, u"TIPTREBBLECARRIAGETITLE", u"TIPTREBBLECARRIAGE", nullptr, u"car:3"},
    {21, u"TIPTWINTRACKSTITLE", u"TIPTWINTRACKS", nullptr, nullptr},
};

// The power-ups a level brings in: from its first level with a weight, and forced three times
// on that level.
struct BonusIntroduction {
    int fromLevel;
    int type;
    float weight;
};

constexpr BonusIntroduction kBonuses[] = {
    {2, Cargo::TYPE_SLOW_BONUS, 0.75f},       {3, Cargo::TYPE_STOP_BONUS, 0.5f},
    {5, Cargo::TYPE_REVERSE_BONUS, 0.5f},     {6, Cargo::TYPE_WILDCARD_BONUS, 0.75f},
    {7, Cargo::TYPE_SPEED_SHOT_BONUS, 0.5f},  {9, Cargo::TYPE_FIREBALL_BONUS, 0.4f},
    {10, Cargo::TYPE_COLOR_BOMB, 0.25f},
};

}  // namespace

GameController::GameController() {
    pDepthManager = &depthManager;
    // The world layer holds the playfield; its clock is the game clock.
    pWorldLayer = new Context();
    addChild(pWorldLayer);
    // The two groups the level and its tracks fill: the level, then the depth pass.
    pWorldLayer->addChild(new QelBase());
    auto* depthGroup = new QelBase();
    depthGroup->addChild(new DepthPass(depthManager));
    pWorldLayer->addChild(depthGroup);
    pLauncher = new Launcher();
    pWorldLayer->addChild(pLauncher);
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
    // A level left while being played is saved, so that it can be continued.
    if (state == STATE_PLAYING && bSaveWhenDeleted) save();
    if (LevelHost::current() == this) LevelHost::setCurrent(nullptr);
    if (auto* application = dynamic_cast<GameGlobal*>(game); application && application->pGameController == this)
        application->pGameController = nullptr;
    delete pPointerOverride;
    pPointerOverride = nullptr;
    // A tutorial page is the controller's until it is shown.
    if (pTutorialPopup) pTutorialPopup->release();
    pTutorialPopup = nullptr;
    // The layers and everything in them (the level too) go with the children.
    deleteChildren();
    pLevel = nullptr;
    pLauncher = nullptr;
}

void GameController::startGame() {
    qelLog(u"GameController::startGame", u"Starting level %d.", currentLevel());
    gotoState(STATE_PREPARING, 0.001);
    fadeMusic(0.0f, 1.0);
    AppLink::closeCurtain();
}

void GameController::continueGame() {
    qelLog(u"GameController::continueGame", u"Continuing level %d.", currentLevel());
    fadeMusic(0.0f, 1.0);
    QelAudio* a = audio();
    if (a && inGameMusicOn() && musicCurrent != a->pCurrentMusic) a->setMusic(musicCurrent);
}

int GameController::currentLevel() {
    ProfileData* profile = currentProfile();
    return profile ? std::max(0, static_cast<int>(profile->level())) : 0;
}

void GameController::tickContents(double total, double dt) {
    if (state != STATE_CONSTRUCTED) {
        colorPicker.reset();
        if (pLevel) pLevel->reportOpenSlots();
        updateLevel(getGameTime(), dt);
    }
    Context::tickContents(total, dt);
    // The pause is pushed after the states have moved on, so that a page or the tally entered in
    // this frame never lies over it; once the level is lost or won there is no pause.
    if (command == COMMAND_PAUSE && state != STATE_CONSTRUCTED && state < STATE_LOST) AppLink::pushContext(new ContextPause());
}

void GameController::onDeactivate(bool bFinished) {
    if (!bFinished) return;
    // Sample channels still sounding are cut; the next screen starts with a quiet output.
    BASS_Stop();
    BASS_Start();
    if (QelAudio* a = audio()) a->pCurrentMusic = nullptr;
}

void GameController::onQELmodeChange(int oldMode, int newMode) {
    if (state != STATE_PLAYING) return;
    if (oldMode == Qel::MODE_OK && newMode == Qel::MODE_PAUSED) {
        save();
    } else if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_OK) {
        // The game goes on: a crash from here must not offer the save made when the window went.
        storeSavedGameFlag(false);
    }
}

void GameController::reportLevelResult(int result) {
    qelLog(u"GameController::onLevelResult", u"Level %d result %d.", currentLevel(), result);
    if (levelResultHook) levelResultHook(result);
    if (WorldManager* map = WorldManager::current()) map->onLevelResult(result);
}

void GameController::onStateChange() {
    switch (state) {
        case STATE_PREPARING:
            prepareLevel();
            gotoState(STATE_TUTORIAL, 1.0);
            break;
        case STATE_TUTORIAL:
            if (pTutorialPopup) {
                if (tutorialOn()) {
                    pTutorialPopup->build();
                    AppLink::pushContext(pTutorialPopup);
                } else {
                    pTutorialPopup->release();
                }
                pTutorialPopup = nullptr;
            }
            gotoState(STATE_WHISTLE, 0.25);
            break;
        case STATE_WHISTLE:
            playSound(u"whistle");
            gotoState(STATE_PLAYING, 1.5);
            break;
        case STATE_PLAYING:
            if (pLevel && pLevel->launcherPositions.size() > 1 && !pCycleLabel) {
                const float y = 4.0f - static_cast<float>(layoutHeight()) / 2.0f;
                pCycleLabel = new TextLabel(0.0f, y, 0.0f, u"", game ? game->pFontMedium : nullptr, 0xFFFFFFFF);
                pCycleLabel->bShadow = false;
                pCycleLabel->alignment |= 0x80;
                pCycleLabel->fadeIn = 0.25;
                pCycleLabel->fadeOut = 0.25;
                pCycleLabel->setText(touchMode() ? AppText::text(u"IOS_SPACETOCYCLE") : AppText::text(u"SPACETOCYCLE"), 10.0, 1.0);
                pHudLayer->addChild(pCycleLabel);
            }
            break;
        case STATE_LOST:
            // Escape no longer cuts the ending short.
            bEscapeCloses = false;
            reportLevelResult(RESULT_LOST);
            if (pLevel) pLevel->stopTrains();
            if (pLauncher) pLauncher->gotoState(Launcher::STATE_DISABLED);
            if (pCargoLayer) pCargoLayer->deleteChildren();
            if (pMessageLabel) pMessageLabel->setText(AppText::text(u"TRAINMISSED"), 3.0, 0.0);
            fadeMusic(0.0f, 1.0);
            playSound(u"toot2");
            playSound(u"loseRound");
            break;
        case STATE_LOST_WAIT:
            if (pLauncher && pLauncher->state != Launcher::STATE_DISABLED) pLauncher->gotoState(Launcher::STATE_DISABLED);
            gotoState(STATE_CLOSING, 2.0);
            break;
        case STATE_WON:
            bEscapeCloses = false;
            reportLevelResult(RESULT_WON);
            if (pLauncher) pLauncher->gotoState(Launcher::STATE_DISABLED);
            fadeMusic(0.0f, 0.5);
            levelEndTime = getGameTime();
            playSound(u"winRound");
            gotoState(STATE_TALLY, 3.0);
            break;
        case STATE_TALLY:
            AppLink::pushContext(new ContextLevelComplete());
            gotoState(STATE_CLOSING, 0.5);
            break;
        case STATE_CLOSING:
            if (game && game->pContextManager && game->pContextManager->pCurtain) game->pContextManager->pCurtain->targetClosedness = 1.0f;
            if (inGameMusicOn()) fadeMusic(0.0f, 1.0);
            gotoState(STATE_DONE, 1.5);
            break;
        case STATE_DONE:
            bDone = true;
            break;
        default:
            break;
    }
}

void GameController::prepareLevel() {
    const int level = currentLevel();
    const float c = std::clamp(static_cast<float>(level) / static_cast<float>(LAST_LEVEL), 0.0f, 1.0f);
    gameProgress = c;
    int stage = 0, index = 0;
    WorldManager::level2WorldStage(level, stage, index);
    static const char16_t* const kStageMusic[] = {u"musicGame1", u"musicGame2", u"musicGame3", u"musicGame4"};
    musicGame = findMusic(kStageMusic[stage % 4]);
    musicHurry = findMusic(u"musicHurry");
    musicCurrent = musicGame;
    colorPicker.clear();
    levelProgress = 0.0f;
    trainsSpawned = 0;
    trainsTotal = static_cast<int>(3.0f * c + 3.0f);
    totalCars = static_cast<int>(160.0f * c + 40.0f);
    nextPowerUpTime = 0.0;
    powerUpPeriod = 17.0;
    maxSegmentSpeed = 1000.0f;
    minSegmentSpeed = -2000.0f;
    helpChance = 0.0f;
    slotHelpChance = 0.0f;
    slowUntil = stopUntil = reverseUntil = 0.0;
    departForce = 2500.0f;
    refillFraction = 0.75f;
    cruiseForce = 150.0f * c + 250.0f;
    tunnelForce = 75.0f * c + 75.0f;
    rollbackForce = -1200.0f - 800.0f * c;
    sprintFraction = 0.15f * c + 0.35f;
    createLevel();
    // The level's pictures are in; what reading them took goes back to the system.
    platform::returnFreeMemory();
    const int tracks = pLevel ? std::max<int>(1, static_cast<int>(pLevel->getTracks().size())) : 1;
    trainsTotal *= tracks;
    tunnelForce /= static_cast<float>(tracks);
    const float factor = pLevel ? pLevel->getCameraFactor() : 1.0f;
    if (pWorldLayer && pWorldLayer->pCamera) {
        pWorldLayer->pCamera->position = Vector3(0.0f, 16.0f, -(static_cast<float>(layoutWidth()) / 2.0f) * factor);
        pWorldLayer->pCamera->target = Vector3(0.0f, 16.0f, 0.0f);
        pWorldLayer->pCamera->update(getGameTime(), 0.0);
    }
    if (pLauncher) {
        pLauncher->positionIndex = -1;
        pLauncher->moveToNextPosition();
    }
}

void GameController::createLevel() {
    const int level = currentLevel();
    int stage = 0, index = 0;
    WorldManager::level2WorldStage(level, stage, index);
    if (pLevel) {
        pLevel->release();
        pLevel = nullptr;
    }

    static const std::vector<int> kStageColours[] = {{0, 2, 4}, {0, 3, 5, 6}, {1, 2, 5, 6, 7}, {0, 1, 2, 4, 5, 7}, {0, 1, 2, 3, 5, 6, 7}};
    for (bool& enabled : colorPicker.enabledColors) enabled = false;
    for (int colour : kStageColours[std::min(stage / 3, 4)]) colorPicker.enabledColors[colour] = true;
    for (const BonusIntroduction& bonus : kBonuses) {
        if (level >= bonus.fromLevel) colorPicker.typeWeights[bonus.type] = bonus.weight;
        if (level == bonus.fromLevel) {
            colorPicker.forcedType = bonus.type;
            colorPicker.forcedCount = 3;
        }
    }
    colorPicker.carKindWeights[0] = 1.0f;
    colorPicker.carKindWeights[1] = stage >= 1 ? 1.0f : 0.0f;
    colorPicker.carKindWeights[2] = stage >= 3 ? 1.0f : 0.0f;

    // The tracks read the sprint and refill positions from the current host while they are built.
    const LevelRow& row = LayoutTable::row(level);
    if (row.sprintFraction > 0.0f) sprintFraction = row.sprintFraction;
    LevelHost::setCurrent(this);
    pLevel = createLevelLayout(level);
    pLevel->buildScene();
    static_cast<QelBase*>(pWorldLayer->firstChild)->addChild(pLevel);

    if (pTutorialPopup) pTutorialPopup->release();
    pTutorialPopup = nullptr;
    bool page = false;
    for (const TutorialPage& p : kTutorialPages) {
        if (p.level != level) continue;
        page = true;
        if (level == 0 && !tutorialOn()) break;
        const char16_t* body = touchMode() && p.touchBody ? p.touchBody : p.body;
        showTutorialPopup(AppText::text(p.title), AppText::text(body), p.picture);
    }
    if (!page) showTip();
}

void GameController::showTip() {
    const int level = currentLevel();
    if (level < 0 || level > 27) return;
    const WString key = format(u"TIP%d", 1 + level % 17);
    showTutorialPopup(AppText::text(u"TIP"), touchText(key.c_str()));
}

void GameController::showTutorialPopup(WStringView title, WStringView text, const char16_t* pictureSkin) {
    if (pTutorialPopup) pTutorialPopup->release();
    pTutorialPopup = new ContextMessage();
    pTutorialPopup->titleText = WString(title);
    pTutorialPopup->bodyText = WString(text);
    pTutorialPopup->pPicture = pictureSkin ? findSkin(pictureSkin) : nullptr;
    pTutorialPopup->bHelpMessage = true;
}

void GameController::readCommand() {
    command = COMMAND_NONE;
    const bool swap = configuration() && configuration()->bSwapMouse;
    const int primary = swap ? kMouseRight : kMouseLeft;
    const int secondary = swap ? kMouseLeft : kMouseRight;
    const bool touched = firstTouchPressed();
    const bool touch = touchMode();

    // The MENU corner of the display.
    const float hudX = pHudLayer ? pHudLayer->pointerWorldPos[0] : 0.0f;
    const float hudY = pHudLayer ? pHudLayer->pointerWorldPos[1] : 0.0f;
    const bool onMenu = hudX > static_cast<float>(layoutWidth()) / 2.0f - 150.0f && hudY > static_cast<float>(layoutHeight()) / 2.0f - 40.0f;
    if (onMenu && (touched || keyPressed(kKeyPause) || keyPressed(kKeyReturn) || mouseClicked(primary))) {
        command = COMMAND_PAUSE;
        return;
    }
    const Vector3 pointer(pWorldLayer ? pWorldLayer->pointerWorldPos[0] : 0.0f, pWorldLayer ? pWorldLayer->pointerWorldPos[1] : 0.0f, 0.0f);
    if (touch && touched && pLevel && pLevel->launcherPositions.size() >= 2) {
        const int current = pLauncher ? pLauncher->positionIndex : -1;
        for (size_t i = 0; i < pLevel->launcherPositions.size(); ++i) {
            if (static_cast<int>(i) == current) continue;
            const Vector3& spot = pLevel->launcherPositions[i];
            const Vector3 flat(spot.x, spot.y, 0.0f);
            if ((flat - pointer).length() < kSpotReach) {
                command = COMMAND_CYCLE;
                return;
            }
        }
    }
    if (keyPressed(kKeySpace) || mouseClicked(kMouseMiddle)) {
        command = COMMAND_CYCLE;
        return;
    }
    if (touch && touched) {
        for (CargoSlot* slot : colorPicker.openSlots) {
            if (!slot->held || slot->bHidden || slot->held->fits(slot->color)) continue;
            const Vector3 centre(slot->boundsCenter.x, slot->boundsCenter.y, 0.0f);
            const float reach = slot->boundsRadius * slot->collisionSensitivity + kTouchRadius;
            if ((centre - pointer).length() < reach) {
                command = COMMAND_CLAW;
                return;
            }
        }
    }
    if (mouseClicked(secondary)) {
        command = COMMAND_CLAW;
        return;
    }
    if (touched || mouseClicked(primary)) command = COMMAND_FIRE;
}

void GameController::updateLevel(double time, double dt) {
    (void)dt;
    if (pWorldLayer) pWorldLayer->updatePointerPosition();
    if (pHudLayer) pHudLayer->updatePointerPosition();
    readCommand();

    // Power-ups: the first pass only schedules the first attempt.
    if (time > nextPowerUpTime) {
        if (nextPowerUpTime > 0.0) spawnPowerUp();
        const double a = 0.5 * powerUpPeriod, b = 1.5 * powerUpPeriod;
        const double u = static_cast<double>(randomNext()) / 65536.0;
        nextPowerUpTime = time + a + u * (b - a);
    }

    if (tutorialOn()) updateHints();

    const float danger = pLevel ? pLevel->getProgress() : 0.0f;
    helpChance = danger > 0.95f ? 0.75f - 0.25f * gameProgress : 0.0f;

    if (state == STATE_LOST && pLevel && pLevel->countTrains() == 0) gotoState(STATE_LOST_WAIT);
    if (state == STATE_PLAYING && trainsSpawned >= trainsTotal && pLevel && pLevel->countTrains() == 0) gotoState(STATE_WON);

    if (state == STATE_PLAYING && inGameMusicOn()) {
        if (danger > 0.95f && musicCurrent != musicHurry) switchMusic(musicHurry);
        else if (danger < 0.9f && musicCurrent != musicGame) switchMusic(musicGame);
    }
}

void GameController::switchMusic(SoundStream* music) {
    fadeMusic(0.0f, 0.5);
    musicCurrent = music;
    if (QelAudio* a = audio()) a->setMusic(music);
}

void GameController::spawnPowerUp() {
    if (!colorPicker.hasTypeWeights() || colorPicker.openSlots.empty()) return;
    CargoSlot* slot = colorPicker.openSlots[randomNext() % colorPicker.openSlots.size()];
    if (slot->held) return;
    // Seated directly: a placement by the game is neither right nor wrong for the player.
    slot->replaceCargo(Cargo::createByType(colorPicker.pickType()));
    ++stats_bonusesSpawned;
}

void GameController::updateHints() {
    if (!pSpeechArrow) return;
    const bool touch = touchMode();
    const int level = currentLevel();
    auto point = [&](CargoSlot* slot, int& budget, const char16_t* key, uint32_t colour) {
        if (slot != hintTarget) {
            hintTarget = slot;
            --budget;
        }
        if (budget > 0) {
            pSpeechArrow->setText(AppText::text(key));
            pSpeechArrow->setColour(colour);
            const Vector3 at = slot->getCentre();
            pSpeechArrow->pointAt(at.x, at.y, at.z);
        } else {
            pSpeechArrow->setText(u"");
        }
    };
    if (level == 0) {
        if (CargoSlot* wrong = rightClickHints > 0 ? colorPicker.findWrongSlot() : nullptr) {
            point(wrong, rightClickHints, touch ? u"TUTORIALTOUCH" : u"TUTORIALRMB", 0xFFFF8040);
            return;
        }
        if (leftClickHints >= 1 && pLauncher && pLauncher->chain && !pLauncher->chain->held) {
            const Cargo* piece = pCargoLayer && pCargoLayer->firstChild ? static_cast<const Cargo*>(static_cast<QelBase*>(pCargoLayer->firstChild)) : pLauncher->frontPiece();
            if (CargoSlot* target = piece ? colorPicker.findSlotFor(piece) : nullptr) {
                point(target, leftClickHints, touch ? u"TUTORIALTOUCH" : u"TUTORIALLMB", 0xFFFFECBF);
                return;
            }
        }
        pSpeechArrow->setText(u"");
    } else if (level == 2) {
        if (CargoSlot* bonus = clawHints > 0 ? colorPicker.findBonusSlot() : nullptr) {
            point(bonus, clawHints, u"TUTORIALRMBBONUS", 0xFFC0FF80);
            return;
        }
        pSpeechArrow->setText(u"");
    }
}

int GameController::trainCarCount(int totalCars, int trains, int k) {
    if (trains <= 1) return totalCars;
    const float c = static_cast<float>(totalCars) / static_cast<float>(trains) - 1.0f;
    return static_cast<int>(0.75f * c + (1.33f * c - 0.75f * c) * static_cast<float>(k) / static_cast<float>(trains - 1) + 0.5f);
}

void GameController::addTrain(Track* track) {
    if (!track || state != STATE_PLAYING || trainsSpawned >= trainsTotal) return;
    const int count = trainsSpawned == trainsTotal - 1 ? totalCars - carsSpawned : trainCarCount(totalCars, trainsTotal, trainsSpawned);
    auto* train = new Train();
    train->slotQuota = std::max(0, count);
    track->addTrain(train);
    if (TrainLayout* segment = train->firstSegment(); segment && segment->firstCar()) segment->firstCar()->frontPos = track->createLambda;
    ++trainsSpawned;
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
    QelAudio* a = audio();
    if (state == STATE_PLAYING && inGameMusicOn() && a && a->pCurrentMusic != musicCurrent) a->setMusic(musicCurrent);
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

// ---- saved game ----
namespace {

constexpr uint32_t kSavedGameEndMarker = 0x12345678;
// Clocks and times of a level: generous, yet far from where single precision stops counting.
constexpr float kMaxClock = 1.0e7f;
// Statistics and counters of one level; their products with the scores stay inside 32 bits.
constexpr int32_t kMaxCounter = 10000000;
// The trains and slots of one level (the rules bring at most a few dozen trains, 200 slots).
constexpr int32_t kMaxTrains = 1000;
constexpr int32_t kMaxSlots = 100000;
// Speeds and forces the rules set lie within a few thousand units.
constexpr float kMaxMagnitude = 1.0e6f;

bool finiteIn(double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; }

// One double through the packet as a raw 32-bit float: narrowed when written, widened when read.
void doNarrowed(Packet& packet, double* value) {
    float narrow = static_cast<float>(*value);
    packet.doRawWord(&narrow);
    if (!packet.bWriting) *value = narrow;
}

void logSave(const char16_t* text) { qelLog(u"GameController::save", u"%s", text); }
void logLoad(const char16_t* text) { qelLog(u"GameController::load", u"%s", text); }

}  // namespace

void GameController::storeSavedGameFlag(bool bSet) {
    ProfileData* profile = currentProfile();
    if (!profile || (profile->bHasSavedGame != 0) == bSet) return;
    // A saved game that could not be used is left as it is for the run, and so is its flag.
    if (FileManager::isKeptUnchanged(profile->getSavedGamePath())) return;
    profile->bHasSavedGame = bSet ? 1 : 0;
    // On disk at once: a start after a crash must see the flag as it is now.
    if (game) game->profileManager.save();
}

bool GameController::save() {
    if (saveHook) return saveHook(this);
    ProfileData* profile = currentProfile();
    if (!profile) return false;
    const WString path = profile->getSavedGamePath();
    if (FileManager::isKeptUnchanged(path)) {
        // The file there could not be used, or could not be set aside: it is never written over.
        FileManager::reportFileProblem(u"GameController::save", path,
                                       format(u"The game is not saved: '%s' could not be used, so it is left as it is.", path));
        return false;
    }
    qelLog(u"GameController::save", u"Saving game to %s...", path);
    std::vector<uint8_t> image;
    if (!writeSavedGame(currentLevel(), image)) return false;
    WString reason;
    if (!writeFileAtomically(path, image.data(), image.size(), &reason)) {
        // The old file, if any, is left whole, and the flag as it was.
        logSave(u"Can't open file, aborting save.");
        FileManager::reportFileProblem(u"GameController::save", path,
                                       format(u"Could not save '%s' (%s); the file there is left as it was.", path, reason));
        return false;
    }
    storeSavedGameFlag(true);
    return true;
}

bool GameController::writeSavedGame(int level, std::vector<uint8_t>& image) {
    Packet packet(5, kMaxSavedGameBytes);
    // Writing past the buffer is reported in bBadData rather than ending the program.
    packet.bFatalOnBadData = false;
    int32_t savedLevel = level;
    packet.doInt(&savedLevel);
    qelLog(u"GameController::save", u"level=%d", savedLevel);
    const bool written = serialize(packet);
    uint32_t marker = kSavedGameEndMarker;
    packet.doRawWord(&marker);
    if (!written || packet.bBadData) {
        qelLog(u"GameController::save", u"The level does not fit in %d bytes, not saved.", kMaxSavedGameBytes);
        return false;
    }
    packet.rewindToRead();
    image.assign(packet.start, packet.start + packet.dataSize);
    return true;
}

bool GameController::load() {
    bSaveWhenDeleted = false;
    ProfileData* profile = currentProfile();
    if (!profile) return false;
    const WString path = profile->getSavedGamePath();
    qelLog(u"GameController::load", u"Loading game from %s...", path);
    // A file that fails once is not tried again, even when it takes the program down.
    storeSavedGameFlag(false);

    // Straight from the disk, never from an archive; a file larger than any save is not read.
    std::string bytes, reason;
    const platform::ReadOutcome outcome = platform::readRegularFile(wideToUtf8(path), bytes, reason, kMaxSavedGameBytes);
    if (outcome == platform::ReadOutcome::MISSING) {
        logLoad(u"Can't open file, aborting load.");
        return false;
    }
    if (outcome != platform::ReadOutcome::OK) {
        qelLog(u"GameController::load", u"Can't read file, aborting load (%hs).", reason);
        if (outcome == platform::ReadOutcome::TOO_LARGE)
            FileManager::setAside(u"GameController::load", path, format(u"larger than %d bytes", kMaxSavedGameBytes));
        return false;
    }

    // What can be told without the level is told before it is built: the level number and the
    // size the smallest level needs (one track without trains and the controller's values).
    if (const char16_t* why = precheckSavedGame(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), currentLevel())) {
        FileManager::setAside(u"GameController::load", path, why);
        return false;
    }

    prepareLevel();
    gotoState(STATE_PLAYING);
    if (pLauncher && pLauncher->state == Launcher::STATE_DISABLED) pLauncher->gotoState(Launcher::STATE_READY);

    if (!readSavedGame(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), currentLevel())) {
        FileManager::setAside(u"GameController::load", path, u"not a whole saved game of this level");
        return false;
    }
    bSaveWhenDeleted = true;
    return true;
}

const char16_t* GameController::precheckSavedGame(const uint8_t* data, size_t size, int level) {
    Packet packet(5, static_cast<int>(std::max<size_t>(size, 1)));
    if (size) std::memcpy(packet.start, data, size);
    packet.cursor = packet.start + size;
    packet.rewindToRead();
    packet.bFatalOnBadData = false;
    int32_t savedLevel = -1;
    packet.doInt(&savedLevel);
    if (packet.bBadData) {
        logLoad(u"Saved data refused: no level number.");
        return u"no level number";
    }
    qelLog(u"GameController::load", u"level=%d", savedLevel);
    if (savedLevel != level) {
        qelLog(u"GameController::load", u"Error: was looking for level %d but found %d.", level, savedLevel);
        return u"another level";
    }
    const size_t minimum = static_cast<size_t>(packet.cursor - packet.start) + kMinSavedGameTail;
    if (size < minimum) {
        logLoad(u"Saved data refused: too short for a level.");
        return u"too short";
    }
    return nullptr;
}

bool GameController::readSavedGame(const uint8_t* data, size_t size, int level) {
    // The file's trains take the place of any the level has.
    dropTrains();
    if (size > static_cast<size_t>(kMaxSavedGameBytes)) {
        logLoad(u"Saved data refused: larger than a save can be.");
        return false;
    }
    Packet packet(5, static_cast<int>(std::max<size_t>(size, 1)));
    if (size) std::memcpy(packet.start, data, size);
    packet.cursor = packet.start + size;
    packet.rewindToRead();
    packet.bFatalOnBadData = false;

    int32_t savedLevel = -1;
    packet.doInt(&savedLevel);
    if (packet.bBadData || savedLevel != level) {
        logLoad(u"Saved data refused: not of this level.");
        return false;
    }
    if (!serialize(packet)) return false;
    uint32_t marker = 0;
    packet.doRawWord(&marker);
    if (packet.bBadData || marker != kSavedGameEndMarker) {
        logLoad(u"Saved data refused: no end marker.");
        dropTrains();
        return false;
    }
    if (packet.cursor != packet.start + packet.dataSize) {
        logLoad(u"Saved data refused: bytes after the end marker.");
        dropTrains();
        return false;
    }
    return true;
}

void GameController::dropTrains() {
    if (!pLevel) return;
    for (Track* track : pLevel->getTracks())
        while (BasicLink* train = track->trains->lastChild) static_cast<QelBase*>(train)->release();
}

bool GameController::serialize(Packet& packet) {
    if (pLevel) {
        for (Track* track : pLevel->getTracks()) {
            if (track->serialize(packet)) continue;
            // A refused read leaves the level as it was prepared: no train of the file stays.
            if (!packet.bWriting) dropTrains();
            return false;
        }
    }
    float contextClock = static_cast<float>(totalTime);
    float gameClock = static_cast<float>(getGameTime());
    packet.doRawWord(&contextClock);
    packet.doRawWord(&gameClock);
    for (float* f : {&maxSegmentSpeed, &minSegmentSpeed, &helpChance, &slotHelpChance}) packet.doRawWord(f);
    for (double* d : {&slowUntil, &stopUntil, &reverseUntil}) doNarrowed(packet, d);
    for (float* f : {&cruiseForce, &tunnelForce, &departForce, &rollbackForce, &sprintFraction, &refillFraction}) packet.doRawWord(f);
    for (int* i : {&stats_shotsFired, &stats_correctPlacements, &stats_incorrectPlacements, &stats_placementStreak, &stats_bonusesSpawned,
                   &stats_bonusesCollected})
        packet.doInt(i);
    for (double* d : {&levelStartTime, &levelEndTime}) doNarrowed(packet, d);
    for (float* f : {&gameProgress, &levelProgress}) packet.doRawWord(f);
    for (int* i : {&trainsTotal, &trainsSpawned, &totalCars, &carsSpawned, &carsCompleted}) packet.doInt(i);
    for (double* d : {&powerUpPeriod, &nextPowerUpTime}) doNarrowed(packet, d);
    if (packet.bWriting) return !packet.bBadData;

    const char16_t* reason = checkSavedValues(contextClock, gameClock);
    if (!reason && packet.bBadData) reason = u"the level's values are cut short";
    if (reason) {
        qelLog(u"GameController::load", u"Saved data refused: %s.", reason);
        packet.bBadData = true;
        dropTrains();
        return false;
    }
    totalTime = contextClock;
    if (pWorldLayer) pWorldLayer->totalTime = gameClock;
    return true;
}

const char16_t* GameController::checkSavedValues(float contextClock, float gameClock) const {
    if (!finiteIn(contextClock, 0.0, kMaxClock) || !finiteIn(gameClock, 0.0, kMaxClock)) return u"a clock outside 0-10^7 s";
    if (!finiteIn(maxSegmentSpeed, -kMaxMagnitude, kMaxMagnitude) || !finiteIn(minSegmentSpeed, -kMaxMagnitude, maxSegmentSpeed))
        return u"segment speeds out of order";
    if (!finiteIn(helpChance, 0.0, 1.0) || !finiteIn(slotHelpChance, 0.0, 1.0)) return u"a chance outside 0-1";
    // The power-up timers run at most 8 s past the game clock.
    for (double until : {slowUntil, stopUntil, reverseUntil})
        if (!finiteIn(until, 0.0, double(gameClock) + 9.0)) return u"a power-up time beyond its 8 s";
    for (float force : {cruiseForce, tunnelForce, departForce, rollbackForce})
        if (!finiteIn(force, -kMaxMagnitude, kMaxMagnitude)) return u"a train force out of range";
    if (!finiteIn(sprintFraction, 0.0, 1.0) || !finiteIn(refillFraction, 0.0, 1.0) || !(sprintFraction < refillFraction))
        return u"track fractions out of order";
    for (int counter : {stats_shotsFired, stats_correctPlacements, stats_incorrectPlacements, stats_placementStreak, stats_bonusesSpawned,
                        stats_bonusesCollected})
        if (counter < 0 || counter > kMaxCounter) return u"a statistic outside 0-10^7";
    if (!finiteIn(levelStartTime, 0.0, gameClock) || !finiteIn(levelEndTime, 0.0, gameClock)) return u"a level time beyond the game clock";
    if (!finiteIn(gameProgress, 0.0, 1.0) || !finiteIn(levelProgress, 0.0, 1.0)) return u"a progress outside 0-1";
    if (trainsTotal < 0 || trainsTotal > kMaxTrains || trainsSpawned < 0 || trainsSpawned > trainsTotal) return u"train counts out of order";
    for (int count : {totalCars, carsSpawned, carsCompleted})
        if (count < 0 || count > kMaxSlots) return u"a slot count outside 0-100000";
    if (!finiteIn(powerUpPeriod, 0.001, 1000.0)) return u"a power-up period outside 0-1000 s";
    if (!finiteIn(nextPowerUpTime, 0.0, kMaxClock)) return u"a power-up time outside 0-10^7 s";
    return nullptr;
}
