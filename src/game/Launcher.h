#pragma once
// The bow with which the player throws cargo at the cars. It turns towards the pointer (its roll
// is the aim angle), keeps two pieces in its queue (the one on the bow and the next), fires the
// front piece when the game asks for a shot and reloads with a short animation; it owns the chain
// that pulls pieces out of cargo slots. States: 1 disabled (the start; the queue is emptied and not
// refilled), 2 reloading or cycling, 3 ready to fire.

#include "engine/MathUtil.h"
#include "media/Renderable.h"

class Cargo;
class LauncherChain;

class Launcher : public Renderable {
public:
    enum State : int { STATE_DISABLED = 1, STATE_RELOADING = 2, STATE_READY = 3 };
    // How many pieces the queue holds.
    static constexpr int QUEUE_LENGTH = 2;
    // The shot's speeds, before the level's scale: normal and during a speed shot.
    static constexpr float SHOT_SPEED = 640.0f;
    static constexpr float FAST_SHOT_SPEED = 1000.0f;

    // The bow's skin and the chain; disabled.
    Launcher();
    ~Launcher() override;

    // Aim, queue, shot, chain and reload of a frame, by the game's command.
    void update(double t, double dt) override;
    // The chain, the bow, then the queued pieces from the back, so the piece on the bow is last.
    void render() override;
    // Entering the disabled state destroys the queued pieces.
    void onStateChange() override;
    // The next of the level's launcher spots (the first after a set-up); with two or more spots a
    // move pops and flares.
    void moveToNextPosition();
    // A piece into the queue: at the front (it becomes the piece on the bow and grows in), or at
    // the back.
    void insertCargo(Cargo* piece, bool bFront);
    // The live piece on the bow, or null.
    Cargo* frontPiece() const;
    // Live queued pieces.
    int countQueued() const;

    // Radians from the launcher towards the pointer.
    float aimAngle = 0.0f;
    Vector3 aimDirection{1.0f, 0.0f, 0.0f};
    int wildcardShots = 0;
    int fireballShots = 0;
    // A child of the launcher.
    LauncherChain* chain = nullptr;
    double speedShotTime = 0.0;
    int positionIndex = -1;
    // The queued pieces, front first; the node owns them.
    QelBase queue;
    float drawFraction = 0.0f;
    float cycleProgress = 0.0f;
    int cycleDirection = 0;

private:
    void refillQueue();
    void layOutQueue();
    void fire();
};
