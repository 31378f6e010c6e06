#include "game/WorldManager.h"

#include <array>

#include "app/AppText.h"
#include "app/GameGlobal.h"
#include "app/ProfileData.h"
#include "engine/ErrorManager.h"
#include "game/GameController.h"

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

void WorldManager::restartAtLevel(int level) {
    if (auto* application = dynamic_cast<GameGlobal*>(game); application && application->pGameController) {
        Context* abandoned = application->pGameController;
        application->pGameController = nullptr;
        delete abandoned;
    }
    if (ProfileData* profile = currentProfile()) {
        profile->resetGame();
        profile->level() = level;
    }
    GameController::playSoundRandomPitch(u"toot2");
}
