#pragma once
// Plays any level headless, frame by frame: the engine on a stepped test clock (1/60 s a frame)
// with the tests' recording device standing in for the graphics (the camera's maths and the
// renderables' visibility are real; writing down the calls can be switched off), silent audio,
// the generated data archives loaded by the loader's own steps, a fixed random seed, and a world
// screen with the game's camera and a stand-in for the game that hosts the level. Keys, the
// pointer and the mouse buttons are set through the same input the player uses; every frame
// ends with a hash of the playfield, so that two runs can be compared frame for frame.
//
// startGame plays a level with real trains: a GameController (the application's current one) is
// made and its world layer becomes the playfield; the host sets the level up and launches trains
// as the game does, and each frame rebuilds the colour picker before the level moves. Pieces are
// thrown with shoot.

#include <cstdint>
#include <vector>

#include "media/Context.h"
#include "game/DepthManager.h"
#include "game/LevelHost.h"
#include "game/TrackObject.h"
#include "platform/TestClock.h"
#include "runtime/QelRuntime.h"

class Cargo;
class GameController;
class GameGlobal;
class Level;
class Qel;
class RecordingDevice;
class Track;

class PlayHarness {
public:
    // Stands in for the game in progress: its depth manager, the track fractions of the level
    // being played, and a log of the trains the tracks ask for. With a game, a train asked for is
    // launched as the game launches one: while playing, up to the level's train total, each with
    // its share of the level's slots and its engine at the create position.
    class Host : public LevelHost {
    public:
        DepthManager* getDepthManager() override;
        float getSprintFraction() const override { return sprintFraction; }
        float getRefillFraction() const override { return refillFraction; }
        void addTrain(Track* track) override;

        DepthManager depthManager;
        float sprintFraction = 0.35f;
        float refillFraction = 0.75f;
        std::vector<Track*> trainRequests;
        GameController* game = nullptr;
    };

    // A marker that runs along a track at a steady speed from its create position, as a car's
    // front would, with the path's depth there; it is drawn in the depth pass with a wagon's skin.
    class Probe : public TrackObject {
    public:
        Probe(Track* track, float speed);
        void update(double time, double dt) override;
        Track* track;
        float speed;
    };

    static constexpr uint32_t kDefaultSeed = 0x5EED1234u;

    explicit PlayHarness(uint32_t seed = kDefaultSeed);
    ~PlayHarness();
    PlayHarness(const PlayHarness&) = delete;
    PlayHarness& operator=(const PlayHarness&) = delete;

    // A fresh world with level L: the seed set again, the host's fractions as the game sets them
    // for L, the layout built with its scene. The previous world and level are deleted.
    Level* buildLevel(int level);
    // A new GameController, current, for a player starting a new game at level L (state 0).
    GameController* newGame(int level);
    // Level L played with real trains by a player starting a new game: a new GameController,
    // current, set up by its first state and put straight into its playing state (no tutorial,
    // no whistle).
    Level* startGame(int level);
    // Level L from the start as the map starts it: a new GameController and its startGame; the
    // states follow one another as frames run.
    GameController* playLevel(int level);
    // The game becomes the only screen on the application's screen stack; frames then run the
    // stack (pause, tally and escape behave as in the game).
    void pushGame();
    // A piece of that type thrown from the first launcher spot towards a playfield point at the
    // launcher's speed (a shot counted).
    Cargo* shoot(int type, const Vector3& target);
    // A probe on each track of the level, at the given speed (units per second).
    std::vector<Probe*> addProbes(float speed);
    // One frame through the engine's frame loop, 1/60 s after the last; answers its hash.
    uint64_t frame();
    std::vector<uint64_t> run(int frames);
    // Deletes the playfield (and the game) of the last level built.
    void clearWorld();

    // Input for the next frame: a key by its key code, the pointer in layout pixels (x from the
    // left, y from the bottom), a mouse button (0 left, 1 right, 2 middle).
    void setKey(int keyCode, bool down);
    void setPointer(float x, float y);
    void setMouseButton(int button, bool down);

    // Whether the recording device writes its calls down (off by default: long runs).
    void setRecording(bool on);
    RecordingDevice* device() const;

    // A hash of the playfield as it stands: the clock, the random generator, every object of the
    // world (kind, state, placement, visibility, colour; trains, segments, cars, slots and cargo
    // with their own numbers), the depth pass's order and the frame's drawing counts.
    uint64_t hash() const;

    platform::TestClock clock;
    QelRuntime* engine = nullptr;
    GameGlobal* application = nullptr;
    Host host;
    Context* world = nullptr;
    Level* level = nullptr;
    GameController* game = nullptr;
    uint32_t seed;
    int frames = 0;
    // CPU time of the engine's last frame (update and drawing calls), in seconds.
    double lastFrameCpuSeconds = 0.0;
};
