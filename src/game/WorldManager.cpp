#include "game/WorldManager.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/IrisCurtain.h"
#include "ui/MenuItemClose.h"
#include "ui/ProfileData.h"
#include "ui/TextLabel.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "engine/Utilities.h"
#include "game/ContextMessage.h"
#include "game/ContextRestartConfirm.h"
#include "game/GameController.h"
#include "game/Hud.h"
#include "game/LayoutTable.h"
#include "game/SmokeEffect.h"
#include "game/TrackStrip.h"
#include "game/WorldMapButton.h"
#include "game/WorldMapMarker.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "media/SoundStream.h"
#include "menus/ContextHighScores.h"
#include "platform/FileSystem.h"

namespace {

// Levels per stage and the stage's length along the map's path.
constexpr struct {
    int levelCount;
    float length;
} kStageSizes[WorldManager::STAGE_COUNT] = {
    {4, 220}, {4, 220}, {4, 220}, {5, 220}, {5, 200}, {5, 240}, {6, 220}, {6, 220},
    {6, 220}, {7, 180}, {7, 160}, {7, 220}, {8, 220}, {8, 345}, {1, 0},
};

constexpr std::array<WorldManager::Stage, WorldManager::STAGE_COUNT> makeStages() {
    std::array<WorldManager::Stage, WorldManager::STAGE_COUNT> stages{};
    int first = 0;
    float start = 0.0f;
    for (int i = 0; i < WorldManager::STAGE_COUNT; ++i) {
        stages[i] = {kStageSizes[i].levelCount, first, kStageSizes[i].length, start};
        first += kStageSizes[i].levelCount;
        start += kStageSizes[i].length;
    }
    return stages;
}

constexpr std::array<WorldManager::Stage, WorldManager::STAGE_COUNT> kStages = makeStages();
static_assert(kStages[14].firstLevel == 82, "the last stage holds the last level, 82");

constexpr float kPi = 3.1415927f;
// The last stage, North Pole Central: reaching it shows no new-town message.
constexpr int kLastStage = WorldManager::STAGE_COUNT - 1;

int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }

GameGlobal* application() { return dynamic_cast<GameGlobal*>(game); }

QelBase* findResource(const char16_t* name) {
    return qel && qel->pResourceManager ? qel->pResourceManager->find(true, name) : nullptr;
}

// A picture at a place, drawn in the map's layers.
Renderable* makeSprite(const char16_t* skin, const Vector3& at) {
    auto* sprite = new Renderable();
    sprite->pSkin = static_cast<Skin*>(findResource(skin));
    sprite->position = at;
    sprite->updateXform();
    return sprite;
}

// The hovered and selected towns' names, over the train and its smoke.
class TownNames : public QelBase {
public:
    explicit TownNames(WorldMapMarker* const* markers) : markers(markers) {}
    void render() override {
        for (int s = 0; s < WorldManager::STAGE_COUNT; ++s)
            if (markers[s]) markers[s]->renderName();
    }
    WorldMapMarker* const* markers;
};

// A line of a story screen: it waits, fades in, stays and fades out, like the intro's lines.
TextLabel* storyLine(float y, double delay, double duration, const char16_t* key, bool bTitle) {
    auto* label = new TextLabel(0.0f, y, 0.0f, AppText::text(key), bTitle ? AppLink::fontLarge() : AppLink::fontMedium(),
                                bTitle ? 0xFFFFFFFF : 0xFF000000);
    label->alignment |= 0x10;
    label->delay = delay;
    label->duration = duration;
    label->fadeIn = 0.25;
    label->fadeOut = 0.5;
    label->bShadow = false;
    label->fitToWidth(layoutWidth() - 40);
    return label;
}

// A screen over the intro picture and the snow that the player may skip, ending by itself.
Context* makeStoryScreen(double timeLimit) {
    auto* screen = new Context();
    screen->pPreHook = AppLink::introContext();
    screen->pPostHook = AppLink::menuBackgroundContext();
    screen->bAnyKeyCloses = true;
    screen->bDeleteWhenDone = true;
    screen->timeLimit = timeLimit;
    return screen;
}

}  // namespace

const WorldManager::Stage& WorldManager::getStage(int stage) {
    if (stage < 0 || stage >= STAGE_COUNT)
        QEL_FATAL(u"WorldManager::getStage", u"There is no stage %d.", stage);
    return kStages[size_t(stage)];
}

int WorldManager::getLastLevel() {
    const Stage& last = kStages[STAGE_COUNT - 1];
    return last.firstLevel + last.levelCount - 1;
}

void WorldManager::level2WorldStage(int level, int& stage, int& indexInStage) {
    for (int s = STAGE_COUNT - 1; s >= 0; --s) {
        if (kStages[size_t(s)].firstLevel <= level) {
            stage = s;
            indexInStage = level - kStages[size_t(s)].firstLevel;
            return;
        }
    }
    ErrorManager::fatal(u"WorldManager::level2WorldStage", "src\\WorldManager", __LINE__,
                        format(u"Could not convert level %d.", level));
}

ProfileData* WorldManager::currentProfile() { return GameController::currentProfile(); }

int WorldManager::getCurrentLevel() {
    ProfileData* profile = currentProfile();
    return profile ? profile->level() : 0;
}

int WorldManager::getCurrentStage() {
    int stage = 0, index = 0;
    level2WorldStage(getCurrentLevel(), stage, index);
    return stage;
}

int WorldManager::getCurrentIndexInStage() {
    int stage = 0, index = 0;
    level2WorldStage(getCurrentLevel(), stage, index);
    return index;
}

WString WorldManager::formatLevelName(int level) {
    int stage = 0, index = 0;
    level2WorldStage(level, stage, index);
    return format(AppText::text(u"LEVELX"), stage + 1, index + 1);
}

WString WorldManager::getCurrentLevelName() { return formatLevelName(getCurrentLevel()); }

float WorldManager::levelDistance(int level) {
    int stage = 0, index = 0;
    level2WorldStage(level, stage, index);
    const Stage& s = kStages[size_t(stage)];
    return s.startDistance + s.length * float(index) / float(s.levelCount);
}

WorldManager* WorldManager::current() {
    GameGlobal* app = application();
    return app ? static_cast<WorldManager*>(app->pWorldManager) : nullptr;
}

void WorldManager::deleteController(bool bSave) {
    GameGlobal* app = application();
    if (!app || !app->pGameController) return;
    auto* abandoned = static_cast<GameController*>(app->pGameController);
    app->pGameController = nullptr;
    if (!bSave) abandoned->bSaveWhenDeleted = false;
    delete abandoned;
}

void WorldManager::restartAtLevel(int level) {
    // The abandoned level is gone for good: writing it to the saved game would only bring it back.
    deleteController(false);
    if (ProfileData* profile = currentProfile()) {
        profile->resetGame();
        profile->level() = level;
    }
    GameController::playSoundRandomPitch(u"toot2");
}

void WorldManager::requestRestart(int level) {
    ProfileData* profile = currentProfile();
    if (!profile) return;
    if (profile->score() == 0) restartAtLevel(level);
    else AppLink::pushContext(new ContextRestartConfirm(level));
}

void WorldManager::clampProfile(ProfileData& profile, int& pendingResult) {
    const int last = getLastLevel();
    profile.level() = std::clamp(profile.level(), 0, last);
    profile.highestLevel() = std::clamp(profile.highestLevel(), profile.level(), last);
    if (profile.lives() > 0) return;
    // No lives left: a game over that closing the program cut short is completed at the first
    // activation; a profile with nothing to keep starts a new game.
    if (profile.score() > 0) pendingResult = RESULT_LOST;
    else profile.resetGame();
}

void WorldManager::resumeSavedGame() {
    GameGlobal* app = application();
    ProfileData* profile = currentProfile();
    if (!app || !profile || !profile->bHasSavedGame || app->pGameController) return;
    const WString path = profile->getSavedGamePath();
    // A saved game found unusable earlier in this run stays as it is, and so does its flag.
    if (FileManager::isKeptUnchanged(path)) return;
    std::string bytes, why;
    switch (platform::readRegularFile(wideToUtf8(path), bytes, why, GameController::kMaxSavedGameBytes)) {
        case platform::ReadOutcome::MISSING:
            // The flag promises a file that is not there: nothing to resume, now or at the next start.
            profile->bHasSavedGame = 0;
            app->profileManager.save();
            return;
        case platform::ReadOutcome::UNREADABLE:
            // Something is there that cannot be used now (permissions, a folder, a pipe, a link to
            // nothing...): the level starts afresh, and neither the file nor its flag is touched,
            // so that the game can be continued once the file can be read again.
            FileManager::keepUnchanged(path);
            FileManager::reportFileProblem(u"WorldManager::WorldManager", path,
                                           format(u"The saved game '%s' cannot be read (%hs); it is left as it is, with its flag, "
                                                  u"and no game is saved over it in this run.",
                                                  path, why));
            return;
        case platform::ReadOutcome::OK:
        case platform::ReadOutcome::TOO_LARGE: break;  // the loader reads, refuses and sets aside
    }
    qelLog(u"WorldManager::WorldManager", u"Found saved game. Loading...");
    auto* controller = new GameController();
    app->pGameController = controller;
    if (controller->load()) {
        qelLog(u"WorldManager::WorldManager", u"...success.");
        return;
    }
    // A half-built level must not be written over the refused file, nor be tried again.
    deleteController(false);
    if (profile->bHasSavedGame) {
        profile->bHasSavedGame = 0;
        app->profileManager.save();
    }
    qelLog(u"WorldManager::WorldManager", u"...failed!");
}

WorldManager::WorldManager() {
    bDeleteWhenDone = true;
    GameGlobal* app = application();
    if (app) {
        // One map at a time: the main menu makes a new one only once the last has gone.
        app->pWorldManager = this;
    }
    if (ProfileData* profile = currentProfile()) clampProfile(*profile, lastResult);

    const float w = float(layoutWidth());
    const float h = float(layoutHeight());

    pBackground = makeSprite(u"worldMap:0", Vector3());
    pBackground->bSkipVisibility = true;
    addChild(pBackground);

    LayoutTable::convertMapRoute(mapPath.controlPoints, mapPath.tangents);
    mapPath.resample();

    // The line of the path up to the map train; the path's points are already in map space.
    pStrip = new TrackStrip();
    addChild(pStrip);

    for (int s = 0; s < STAGE_COUNT; ++s) {
        Vector3 at;
        mapPath.getPoint(std::min(kStages[size_t(s)].startDistance, mapPath.length), at);
        stages[s] = new WorldMapMarker(s, at);
        appendItem(stages[s]);
    }

    pEffectsLayer = new QelBase();
    addChild(pEffectsLayer);
    for (WorldMapMarker* marker : stages) marker->pEffectsLayer = pEffectsLayer;

    pTrainLayer = new QelBase();
    addChild(pTrainLayer);
    pTrain = makeSprite(u"worldMapMarkers:0", Vector3());
    pTrainLayer->addChild(pTrain);
    // The train starts at the current level's place.
    trainFrom = trainTo = trainAt = levelDistance(getCurrentLevel());
    trainT = 1.0f;
    placeTrain();

    pPlayButton = new WorldMapButton(170.0f - w / 2.0f, 100.0f - h / 2.0f, 0.0f);
    appendItem(pPlayButton);
    pBackButton = new MenuItemClose(170.0f - w / 2.0f, 50.0f - h / 2.0f, 0.0f, AppText::text(u"BACK"), u"");
    appendItem(pBackButton);

    addChild(new TownNames(stages));
    pHud = new Hud(false);
    addChild(pHud);

    if (lastResult == RESULT_NONE) resumeSavedGame();
}

WorldManager::~WorldManager() {
    // The level in progress never outlives its map: the next map (perhaps of another profile)
    // would otherwise continue or save it. A level being played is saved and resumed from the file.
    deleteController(true);
    if (GameGlobal* app = application(); app && app->pWorldManager == this) app->pWorldManager = nullptr;
}

void WorldManager::placeTrain() {
    Vector3 at;
    mapPath.getPoint(trainAt, at);
    pTrain->position = Vector3(at.x, at.y - 10.0f, 0.0f);
    pTrain->rotation = Vector3(0.0f, 0.0f, float(0.1 * std::sin(8.0 * double(kPi) * double(trainT))));
    pTrain->updateXform();
    if (pStrip) pStrip->build(mapPath, trainAt);
}

void WorldManager::onLevelResult(int result) {
    lastResult = result;
    bNewStage = false;
    ProfileData* profile = currentProfile();
    if (!profile) return;
    if (result == RESULT_LOST) {
        profile->lives() = std::max(profile->lives() - 1, 0);
    } else if (result == RESULT_WON) {
        // The last level of the game leads nowhere: the campaign ends instead.
        if (profile->level() >= getLastLevel()) {
            bGameCompleted = true;
            return;
        }
        const int stageBefore = getCurrentStage();
        profile->advanceLevel();
        bNewStage = getCurrentStage() != stageBefore;
    }
}

void WorldManager::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);

    // The hit circles of neighbouring towns overlap: a press acts on the hovered town nearest the
    // pointer only (the first of equals).
    if (qel && qel->pQelInput && qel->pQelInput->isAnyTouchPressed()) {
        WorldMapMarker* nearest = nullptr;
        float nearestDistance = 0.0f;
        for (WorldMapMarker* marker : stages) {
            if (!marker || !marker->bHover) continue;
            const float dx = marker->position.x - pointerWorldPos[0], dy = marker->position.y - pointerWorldPos[1];
            const float distance = dx * dx + dy * dy;
            if (!nearest || distance < nearestDistance) {
                nearest = marker;
                nearestDistance = distance;
            }
        }
        if (nearest) requestRestart(nearest->firstLevel);
    }

    if (trainT < 1.0f) {
        trainT = std::min(trainT + float(dt * TRAIN_GLIDE_RATE), 1.0f);
        trainAt = trainFrom + (trainTo - trainFrom) * trainT;
        placeTrain();
    }
    const float target = levelDistance(getCurrentLevel());
    if (target != trainTo) {
        trainFrom = trainAt;
        trainTo = target;
        trainT = 0.0f;
    }

    if (game && game->gameConfiguration.detailLevel > 0) {
        smokeTimer += dt;
        if (smokeTimer >= smokePeriod) {
            smokeTimer = 0.0;
            const Vector3 chimney = pTrain->local2world(Vector3(9.0f, 15.0f, 0.0f));
            pTrainLayer->addChild(
                new SmokeEffect(chimney.x, chimney.y, chimney.z, 4, 1.0f, 10.0f, kPi / 2.0f, kPi / 8.0f, 0.6f, 0xFFFFFFFF));
        }
    }
}

void WorldManager::onActivate(bool bFirst) {
    ContextMenu::onActivate(bFirst);
    if (game && game->pContextManager && game->pContextManager->pCurtain) {
        game->pContextManager->pCurtain->closedness = 0.0f;
        game->pContextManager->pCurtain->targetClosedness = 0.0f;
    }
    if (qel && qel->pQelAudio) {
        auto* music = static_cast<SoundStream*>(findResource(u"musicMenu"));
        if (music && music != qel->pQelAudio->pCurrentMusic) qel->pQelAudio->setMusic(music);
    }

    ProfileData* profile = currentProfile();
    if (lastResult == RESULT_LOST) {
        deleteController(true);
        if (profile && profile->lives() <= 0) showGameOver();
    } else if (lastResult == RESULT_WON) {
        deleteController(true);
        if (bGameCompleted) showCampaignEnd();
        else if (bNewStage && getCurrentStage() < kLastStage) showNewStage();
    }
    lastResult = RESULT_NONE;
    bNewStage = false;
    bGameCompleted = false;
    AppLink::saveUserData();
}

void WorldManager::enterHighScore() {
    ProfileData* profile = currentProfile();
    if (!game || !profile) return;
    game->lastHighScoreRow = game->gameConfiguration.addHighScore(profile->score(), profile->level(), true, profile->getName());
}

void WorldManager::showGameOver() {
    enterHighScore();
    restartAtLevel(kStages[size_t(getCurrentStage())].firstLevel);
    AppLink::pushContext(new ContextHighScores());
    Context* screen = makeStoryScreen(GAME_OVER_TIME);
    auto* label = new TextLabel(0.0f, 0.0f, 0.0f, AppText::text(u"GAMEOVER"), AppLink::fontLarge(), 0xFFFFFFFF);
    label->alignment |= 0x10;
    label->delay = 1.0;
    label->duration = 3.0;
    label->fadeIn = 0.25;
    label->fadeOut = 0.5;
    screen->addChild(label);
    AppLink::pushContext(screen);
}

void WorldManager::showNewStage() {
    const int stage = getCurrentStage();
    const bool touch = qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_TOUCH;
    auto* message = new ContextMessage();
    message->titleText = AppText::text(u"NEWWORLD");
    message->bodyText = format(AppText::text(touch ? u"IOS_NEWWORLDTEXT" : u"NEWWORLDTEXT"), stages[stage]->townName);
    message->build();
    AppLink::pushContext(message);
    GameController::playSound(u"extraLife");
    GameController::playSound(u"toot", 1.5f);
}

void WorldManager::showCampaignEnd() {
    enterHighScore();
    restartAtLevel(0);
    // Every town stays open for the next ride.
    if (ProfileData* profile = currentProfile()) profile->highestLevel() = getLastLevel();
    AppLink::pushContext(new ContextHighScores());
    Context* story = makeStoryScreen(STORY_TIME);
    story->addChild(storyLine(0.0f, 1.0, 3.0, u"WIN11", true));
    story->addChild(storyLine(0.0f, 5.0, 4.0, u"WIN21", false));
    const char16_t* fourLines[2][4] = {{u"WIN31", u"WIN32", u"WIN33", u"WIN34"}, {u"WIN51", u"WIN52", u"WIN53", u"WIN54"}};
    const float rows[4] = {45.0f, 15.0f, -15.0f, -45.0f};
    for (int k = 0; k < 4; ++k) story->addChild(storyLine(rows[k], 10.0, 8.0, fourLines[0][k], false));
    story->addChild(storyLine(15.0f, 19.0, 6.0, u"WIN41", false));
    story->addChild(storyLine(-15.0f, 19.0, 6.0, u"WIN42", false));
    for (int k = 0; k < 4; ++k) story->addChild(storyLine(rows[k], 26.0, 8.0, fourLines[1][k], false));
    // The closing line is a story line like the intro's: in the large font it would not fit.
    story->addChild(storyLine(0.0f, 35.0, 4.0, u"WIN61", false));
    AppLink::pushContext(story);
}
