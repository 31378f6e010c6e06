#pragma once
// The bow with which the player throws cargo at the cars. It turns towards the pointer (its roll
// is the aim angle), keeps a queue of two pieces (the one on the bow and the next), fires the front
// piece when the game asks for a shot, reloads with a short animation and owns the chain that pulls
// pieces out of cargo slots. States: 1 disabled (the start; the queue is emptied and not refilled),
// 2 reloading or cycling, 3 ready to fire.
//
// What the player asked for comes from the current GameController each frame (its command); the
// launcher writes the aim colour back to it.

#include <cstdint>
#include <vector>

#include "media/Renderable.h"

class Cargo;
class GameController;
class LauncherChain;
class Skin;

class Launcher : public Renderable {
public:
    enum State : int { STATE_DISABLED = 1, STATE_RELOADING = 2, STATE_READY = 3 };
    // How many pieces the queue holds: the one on the bow and the reserve.
    static constexpr int QUEUE_LENGTH = 2;

    // The bow's skin, the beam, the bowstring, the queue and the chain; disabled.
    Launcher();

    // Moves, aims, reloads and fires as the game's command of the frame asks.
    void update(double time, double dt) override;
    // The beam, the chain, the bow, the bowstring, then the queue from the back to the front.
    void render() override;
    // Disabled: every queued piece goes.
    void onStateChange() override;

    // The next of the level's launcher spots (the first after the last); the first call, and a
    // level with a single spot, only place the launcher.
    void moveToNextPosition();
    // In front: the piece becomes the current one and grows in from nothing while the cycle
    // animation runs (only inserted while disabled). At the back: appended to the queue.
    void insertCargo(Cargo* piece, bool bFront);
    // Every queued piece destroyed.
    void clearQueue();

    // The live queued pieces, front first (a piece that died this frame is not counted).
    std::vector<Cargo*> queuedPieces() const;
    // The piece on the bow, or null.
    Cargo* frontPiece() const;

    // Radians from the launcher towards the pointer, and its unit vector.
    float aimAngle = 0.0f;
    Vector3 aimDirection{1.0f, 0.0f, 0.0f};
    // How many of the next pieces loaded are wildcards and fireballs (fireballs first).
    int wildcardShots = 0;
    int fireballShots = 0;
    // A child of the launcher, driven by the launcher's update.
    LauncherChain* chain = nullptr;
    // Seconds of speed shot left.
    double speedShotTime = 0.0;
    int positionIndex = -1;
    // The aiming beam, shown during a speed shot.
    Renderable* beam = nullptr;
    Renderable* bowstring = nullptr;
    float drawFraction = 0.75f;
    // The queued pieces are this node's children, front first.
    QelBase* queue = nullptr;
    float cycleProgress = 0.0f;
    int cycleDirection = 0;

private:
    void aim(GameController* game);
    void refillQueue(GameController* game);
    void layOutQueue();
    void updateBeam(double dt);
    void fire(GameController* game);
    void updateBowstring();
    void updateAimColor(GameController* game);
    // The type of the next piece loaded: fireballs, then wildcards, then a colour drawn.
    int nextType(GameController* game);

    std::vector<Skin*> bowstringFrames;
};
