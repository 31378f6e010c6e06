#pragma once
// The world map between levels. The levels of the game are grouped into fifteen stages, each a
// town on the map; a small train travels along the map's line from town to town as the player
// advances. The map turns level results into the player's progress (lives, level, new town, game
// over, the end of the campaign), starts and continues the level in progress through its play
// button, restarts the game at a town already reached, and resumes a saved game when it is built.
//
// The stage table and the numbering of levels ("Level 4-1") work without a map, so the
// controller, the head-up display and the high-score screen can use them at any time.
//
// One map exists at a time: the main menu makes it, the application keeps it in pWorldManager,
// and it is deleted when it leaves the screen stack, taking the level in progress with it.

#include "ui/ContextMenu.h"
#include "engine/Text.h"
#include "game/TrackPath.h"

class GameController;
class Hud;
class MenuItemClose;
class ProfileData;
class Renderable;
class TrackStrip;
class WorldMapButton;
class WorldMapMarker;

class WorldManager : public ContextMenu {
public:
    static constexpr int STAGE_COUNT = 15;
    // The level results the controller reports.
    enum Result : int { RESULT_NONE = 0, RESULT_LOST = 1, RESULT_WON = 2 };
    // The map train covers its way to a new place in two seconds.
    static constexpr double TRAIN_GLIDE_RATE = 0.5;
    static constexpr double SMOKE_PERIOD = 0.1;
    // The game-over screen's length, and the campaign's closing story's.
    static constexpr double GAME_OVER_TIME = 5.0;
    static constexpr double STORY_TIME = 40.0;

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
    // Where along the map's path a level lies: its stage's start plus the stage's length shared
    // out among the stage's levels.
    static float levelDistance(int level);

    // A new game at a level: the game in progress (if any) is deleted without being saved, the
    // profile's game is reset (score 0, three lives, no saved game; the highest level is kept), the
    // level is set and the train toots.
    static void restartAtLevel(int level);
    // A click on a reached town: with a score of 0 the game restarts there at once; otherwise the
    // player is asked first (ContextRestartConfirm).
    static void requestRestart(int level);

    // The application's world map, or null.
    static WorldManager* current();

    // Builds the map and registers it as the application's map. The profile's level is brought
    // into 0..82 and its highest level into level..82; a profile without lives is either a game
    // over cut short (it has a score: the game over follows at the first activation) or a zeroed
    // profile (a new game). Then a saved game, if the profile has one on disk, is resumed.
    WorldManager();
    // Deletes the level in progress (saved when it was being played) and unregisters the map.
    ~WorldManager() override;

    // A level's result (1 lost, 2 won), reported by the controller: a lost level costs a life; a
    // won level advances the profile, except the last level of the game, which ends the campaign.
    void onLevelResult(int result);

    // The menu's handling, a press on the hovered town nearest the pointer (one town a press),
    // then the map train's glide, the next level's place and the smoke.
    void tickContents(double total, double dt) override;
    // The curtain opened, the menu music, then what the last result asks for (a game over, a new
    // town, the end of the campaign), then the user data saved.
    void onActivate(bool bFirst) override;

    // The map train at a distance along the path: 10 units below the path, rocking with trainT.
    void placeTrain();

    Renderable* pBackground = nullptr;
    TrackPath mapPath;
    TrackStrip* pStrip = nullptr;
    WorldMapMarker* stages[STAGE_COUNT] = {};
    // The sparks of hovered towns.
    QelBase* pEffectsLayer = nullptr;
    // The map train and its smoke.
    QelBase* pTrainLayer = nullptr;
    Renderable* pTrain = nullptr;
    float trainFrom = 0.0f;
    float trainTo = 0.0f;
    float trainAt = 0.0f;
    float trainT = 1.0f;
    WorldMapButton* pPlayButton = nullptr;
    MenuItemClose* pBackButton = nullptr;
    Hud* pHud = nullptr;
    double smokeTimer = 0.0;
    double smokePeriod = SMOKE_PERIOD;
    int lastResult = RESULT_NONE;
    bool bNewStage = false;
    // The last level of the game was won: the campaign ends at the next activation.
    bool bGameCompleted = false;

private:
    // The player whose game this is; null without an application object.
    static ProfileData* currentProfile();
    // Brings the profile's counters into the range the map can show.
    static void clampProfile(ProfileData& profile, int& pendingResult);
    // Reads the profile's saved game into a new controller, which is kept when it loads.
    static void resumeSavedGame();
    // Deletes the level in progress; with bSave false a level being played is not saved.
    static void deleteController(bool bSave);
    // The profile's score into the high-score table (sealed), its row remembered for the table.
    static void enterHighScore();
    void showGameOver();
    void showNewStage();
    void showCampaignEnd();
};
