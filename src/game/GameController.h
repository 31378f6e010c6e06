#pragma once
// The screen of a level in progress: the playfield (the world layer, whose clock is the game
// clock), the head-up display layer, the level's difficulty and statistics, the player's command
// of the frame, the power-up timer, tutorial hints, the music and the level's ten states from the
// opening whistle to the tally. The application object keeps the one current controller in
// pGameController.

#include <cstdint>

#include "engine/Context.h"
#include "engine/Text.h"

class CargoColorPicker;
class DepthManager;
class Launcher;
class Level;
class SpeechArrow;
class TextLabel;
class ContextMessage;
class SoundStream;
class Hud;
class ProfileData;

class GameController : public Context {
public:
    // Player commands of a frame.
    enum Command : int { COMMAND_NONE = 0, COMMAND_PAUSE = 1, COMMAND_CYCLE = 2, COMMAND_FIRE = 3, COMMAND_CLAW = 4 };

    // Builds the layers: the world layer (two groups the level fills, the launcher, the cargo in
    // flight, the effects and the hint arrow) and the display layer (the head-up display and the
    // message label in front of it). State 0: nothing runs until the level is started.
    GameController();
    // Clears the application's pGameController and deletes the layers and what they hold.
    ~GameController() override;

    // The base update of the layers.
    void tickContents(double total, double dt) override;

    // The head-up display of the display layer.
    Hud* getHud() const;
    // The game clock: the world layer's total time.
    double getGameTime() const;
    // The application's current controller, or null.
    static GameController* current();
    // The current player's profile, or null without an application object.
    static ProfileData* currentProfile();

    // Sounds of the game by resource name: at a pitch factor, or at the sound's random pitch.
    static void playSound(const char16_t* name, float pitch = 1.0f);
    static void playSoundRandomPitch(const char16_t* name);
    // When set, sounds are handed to this hook instead of the audio (tests trace them); the
    // random-pitch form reports a pitch of 0.
    static inline void (*soundHook)(WStringView name, float pitch) = nullptr;

    DepthManager* pDepthManager = nullptr;
    Level* pLevel = nullptr;
    SpeechArrow* pSpeechArrow = nullptr;
    TextLabel* pMessageLabel = nullptr;
    Context* pWorldLayer = nullptr;
    Context* pHudLayer = nullptr;
    Launcher* pLauncher = nullptr;
    QelBase* pCargoLayer = nullptr;
    QelBase* pEffectsLayer = nullptr;
    float maxSegmentSpeed = 1000.0f;
    float minSegmentSpeed = -2000.0f;
    float helpChance = 0.0f;
    float slotHelpChance = 0.0f;
    double slowUntil = 0.0;
    double stopUntil = 0.0;
    double reverseUntil = 0.0;
    // The train's forces and the track fractions start at the first level's values; prepareLevel
    // sets them for each level.
    float cruiseForce = 250.0f;
    float tunnelForce = 75.0f;
    float departForce = 2500.0f;
    float rollbackForce = -1200.0f;
    float sprintFraction = 0.35f;
    float refillFraction = 0.75f;
    int stats_shotsFired = 0;
    int stats_correctPlacements = 0;
    int stats_incorrectPlacements = 0;
    int stats_placementStreak = 0;
    int stats_bonusesSpawned = 0;
    int stats_bonusesCollected = 0;
    double levelStartTime = 0.0;
    double levelEndTime = 0.0;
    // The level's colour picker and depth manager (colorPicker, depthManager) belong here, held by
    // value in this order; pDepthManager points at the depth manager, and stays null without one.
    uint32_t aimColor = 0xFFFFFFFF;
    int command = COMMAND_NONE;
    float gameProgress = 0.0f;
    float levelProgress = 0.0f;
    int trainsTotal = 0;
    int trainsSpawned = 0;
    int totalCars = 0;
    int carsSpawned = 0;
    int carsCompleted = 0;
    double powerUpPeriod = 17.0;
    double nextPowerUpTime = 0.0;
    int leftClickHints = 5;
    int rightClickHints = 5;
    int clawHints = 5;
    QelBase* hintTarget = nullptr;
    ContextMessage* pTutorialPopup = nullptr;
    SoundStream* musicGame = nullptr;
    SoundStream* musicHurry = nullptr;
    SoundStream* musicCurrent = nullptr;
};
