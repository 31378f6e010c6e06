#pragma once
// The screen of a level in progress: the playfield (the world layer, whose clock is the game
// clock), the head-up display layer, the level's difficulty and statistics, the player's command
// of the frame, the power-up timer, tutorial hints, the music and the level's ten states from the
// opening whistle to the tally. The application object keeps the one current controller in
// pGameController.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/Context.h"
#include "engine/MathUtil.h"
#include "engine/Text.h"
#include "game/CargoColorPicker.h"
#include "game/DepthManager.h"
#include "game/LevelHost.h"

class Car;
class Launcher;
class Packet;
class Skin;
class Sound;
class Level;
class SpeechArrow;
class TextLabel;
class ContextMessage;
class SoundStream;
class Hud;
class ProfileData;
class Track;

class GameController : public Context, public LevelHost {
public:
    // Player commands of a frame.
    enum Command : int { COMMAND_NONE = 0, COMMAND_PAUSE = 1, COMMAND_CYCLE = 2, COMMAND_FIRE = 3, COMMAND_CLAW = 4 };
    // The states a train and its slots look at: the level being played, and lost.
    enum State : int {
        STATE_CONSTRUCTED = 0,
        STATE_PREPARING = 1,
        STATE_TUTORIAL = 2,
        STATE_WHISTLE = 3,
        STATE_PLAYING = 4,
        STATE_LOST = 5,
        STATE_LOST_WAIT = 6,
        STATE_WON = 7,
        STATE_TALLY = 8,
        STATE_CLOSING = 9,
        STATE_DONE = 10,
    };
    // The game's last level: the campaign's progress is the level over it.
    static constexpr int LAST_LEVEL = 82;
    // Results handed to the world map: the level lost, or won.
    enum Result : int { RESULT_LOST = 1, RESULT_WON = 2 };

    // Builds the layers: the world layer (two groups the level fills, the launcher, the cargo in
    // flight, the effects and the hint arrow) and the display layer (the head-up display and the
    // message label in front of it). State 0: nothing runs until the level is started.
    GameController();
    // Clears the application's pGameController and deletes the layers and what they hold.
    ~GameController() override;

    // Starts the profile's current level: state 1 soon, the menu music fading out, the curtain
    // closed (it opens when the level comes to the front).
    virtual void startGame();
    // Comes back to a level that waited on the map (or was loaded): the state is kept and the
    // level's music plays again.
    virtual void continueGame();
    // In every state but 0: the colour picker's open slots rebuilt, then the level's rules; then
    // the layers; then the pause screen when the player asked for it and the level is neither lost
    // nor won (states 1-4), over anything the frame pushed.
    void tickContents(double total, double dt) override;
    // The level's rules of a frame (time: the game clock): the player's command, power-ups,
    // hints, help, the end of the level and the music.
    virtual void updateLevel(double time, double dt);
    // The level's state both ways (the tracks with their trains, then the controller's clocks,
    // forces, timers and statistics); reading checks every value against what play can produce
    // and answers false, with the reason logged, for anything else.
    virtual bool serialize(Packet& packet);
    // Leaving the stack finished restarts the audio output and forgets the music.
    void onDeactivate(bool bFinished) override;
    // Losing the window while playing saves the game; getting it back clears the saved-game flag.
    void onQELmodeChange(int oldMode, int newMode) override;
    void onStateChange() override;

    // The level's set-up from the player's progress (state 1, and after a load), then its build.
    void prepareLevel();
    // Builds the profile's current level: colours, bonus weights, wagon kinds, the layout and its
    // tutorial page or tip.
    void createLevel();
    // A tip for levels 0-27 ("TIP%d"), as a tutorial page.
    void showTip();
    // Prepares a help message with that title and body (shown in state 2).
    void showTutorialPopup(WStringView title, WStringView text, const char16_t* pictureSkin = nullptr);
    // The player's command of this frame from the input; the first matching rule wins.
    void readCommand();
    // The game in progress is written to the profile's saved-game file through a temporary file;
    // on success the profile's flag is set and written. Failures are logged and change nothing.
    bool save();
    // The saved-game image of the level in progress for that level number: false (logged) when
    // it would exceed kMaxSavedGameBytes.
    bool writeSavedGame(int level, std::vector<uint8_t>& image);
    // Reads a saved-game image into this controller, whose level is already prepared (its trains
    // are replaced by the file's; a refused image leaves none): true only
    // when it is of that level, every value checks and the end marker closes it exactly (the
    // level number is logged by precheckSavedGame).
    bool readSavedGame(const uint8_t* data, size_t size, int level);
    // Why a saved-game image cannot be of that level, told before the level is built (the level
    // number, logged as read, and the smallest size a level's save has), or null.
    static const char16_t* precheckSavedGame(const uint8_t* data, size_t size, int level);
    // The largest saved game written or read.
    static constexpr int kMaxSavedGameBytes = 65536;
    // The bytes after the level number of the smallest save: one track without trains, the
    // controller's 21 raw floats, its 11 counters at one byte each and the end marker.
    static constexpr size_t kMinSavedGameTail = 1 + 21 * 4 + 11 + 4;

    // What the level asks of its host: the depth manager, the track fractions and trains.
    DepthManager* getDepthManager() override { return &depthManager; }
    float getSprintFraction() const override { return sprintFraction; }
    float getRefillFraction() const override { return refillFraction; }
    // A track's next train, while playing and until the level's train total: the last one brings
    // the cars left, the others a share growing from 0.75 to 1.33 of the average.
    void addTrain(Track* track) override;
    // The car count addTrain gives train k of n (not the last one) of a level of that many cars.
    static int trainCarCount(int totalCars, int trains, int k);
    // Reads the profile's saved game into this freshly made controller; true only when it holds
    // the profile's current level whole. The profile's flag is cleared on disk first; a file that
    // is refused is renamed aside (".bad" added) and the controller will not save when deleted.
    bool load();

    // The head-up display of the display layer.
    Hud* getHud() const;
    // The game clock: the world layer's total time.
    double getGameTime() const;
    // The application's current controller, or null.
    static GameController* current();
    // The current player's profile, or null without an application object.
    static ProfileData* currentProfile();

    // A score pop-up at a playfield position: the text, or "+points" without one; the points go
    // to the player's score (never below 0).
    void showFloatingScore(const Vector3& position, int points, WStringView text);
    // A train has entered play: the launcher is armed and the level's clock starts.
    void onTrainEntered();
    // A wagon was completed: its slots count towards the level's progress.
    void onCarsCompleted(Car* car);

    // The detail setting (effects at 1 and above), and whether shadows are drawn.
    static int detailLevel();
    static bool shadowsOn();
    // A skin by name; fatal when the engine lacks it, none without an engine.
    static Skin* findSkin(WStringView name);
    // A sound by name (none without an engine, or while sounds are traced and it is missing).
    static Sound* findSound(const char16_t* name);

    // Sounds of the game by resource name: at a pitch factor, or at the sound's random pitch.
    static void playSound(const char16_t* name, float pitch = 1.0f);
    static void playSoundRandomPitch(const char16_t* name);
    // Panned by a playfield x (at the sound's random pitch), or raised by n semitones.
    static void playSoundPanned(const char16_t* name, float x);
    static void playSoundSemitones(const char16_t* name, int semitones);
    // When set, sounds are handed to this hook instead of the audio (tests trace them); the
    // random-pitch and panned forms report a pitch of 0, after drawing it all the same.
    static inline void (*soundHook)(WStringView name, float pitch) = nullptr;
    // Without a world map a level's result is only logged; when set, results are handed to this
    // hook too (tests count them).
    static inline void (*levelResultHook)(int result) = nullptr;
    // When set, save is handed to this hook instead (tests count the occasions).
    static inline bool (*saveHook)(GameController* controller) = nullptr;
    // The rules by which the player scores: a streak of placements (count: the streak), the bell
    // of a departing train, a removed car (count: its slots), a coupling of matching segments
    // (count: the train's couplings so far), the extra life of a coupling, a medal of the tally
    // (count: the medal) and the tally's excellence bonus.
    enum Award : int {
        AWARD_STREAK,
        AWARD_BELL,
        AWARD_CAR,
        AWARD_COUPLING,
        AWARD_EXTRA_LIFE,
        AWARD_MEDAL,
        AWARD_EXCELLENCE,
    };
    // When set, every award given is handed to this hook too (tests account for the score).
    static inline void (*awardHook)(int award, int points, int count) = nullptr;
    static void noteAward(int award, int points, int count) {
        if (awardHook) awardHook(award, points, count);
    }

    // The destructor saves a level being played unless this is cleared (a level abandoned for
    // another is not saved).
    bool bSaveWhenDeleted = true;
    // The label telling that Space cycles the launcher spots, while shown.
    TextLabel* pCycleLabel = nullptr;

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
    // The level's colour picker (its open slots are rebuilt every frame) and depth manager.
    CargoColorPicker colorPicker;
    DepthManager depthManager;
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

    // The current profile's level (0 without a profile).
    static int currentLevel();

private:
    // The profile's saved-game flag, written to the profiles file whenever it changes.
    static void storeSavedGameFlag(bool bSet);
    // Deletes every train of the level (a refused read leaves the level as prepared).
    void dropTrains();
    // Why the controller's values just read cannot come from play, or null when they can.
    const char16_t* checkSavedValues(float contextClock, float gameClock) const;
    // The world map hears of a lost (1) or won (2) level; without one the result is logged.
    void reportLevelResult(int result);
    // The engine's music fades out and this one plays from the start.
    void switchMusic(SoundStream* music);
    // One try at seating a power-up in an empty open slot.
    void spawnPowerUp();
    // The tutorial's arrow on the first levels.
    void updateHints();
};
