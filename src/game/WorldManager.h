#pragma once
// The world map between levels. The levels of the game are grouped into fifteen stages, each a
// town on the map; the stage table and the numbering of levels ("Level 4-1") work without a map,
// so the controller, the head-up display and the high-score screen can use them at any time.

#include "app/ContextMenu.h"
#include "engine/Text.h"

class ProfileData;

class WorldManager : public ContextMenu {
public:
    static constexpr int STAGE_COUNT = 15;

    // One town: its place along the map's path and its levels.
    struct Stage {
        int levelCount;
        int firstLevel;
        float length;
        float startDistance;
    };

    // The compiled-in table: a stage's first level is the previous stage's first level plus its
    // level count, its start distance the previous start plus the previous length.
    static const Stage& getStage(int stage);
    // The last level of the game: the last stage's first level plus its level count less 1.
    static int getLastLevel();

    // Stage and index within the stage of a level: the last stage whose first level is not above
    // the level. A level below 0 is fatal.
    static void level2WorldStage(int level, int& stage, int& indexInStage);
    // The current profile's level, and its stage and index in the stage.
    static int getCurrentLevel();
    static int getCurrentStage();
    static int getCurrentIndexInStage();
    // "Level %d-%d" with the stage and the index in the stage counted from 1.
    static WString formatLevelName(int level);
    // The display name of the current profile's current level.
    static WString getCurrentLevelName();

    // A new game at a level: the game in progress (if any) is deleted, the profile's game is reset
    // (score 0, three lives, no saved game; the highest level is kept), the level is set and the
    // train toots.
    static void restartAtLevel(int level);

private:
    // The player whose game this is; null without an application object.
    static ProfileData* currentProfile();
};
