#pragma once
// The hook on a chain that the launcher shoots out to pull a piece or a bonus out of a cargo
// slot. States: 1 retracted, 2 out (flying out or coming back). The piece it carries is its child.

#include "game/MotionController.h"
#include "media/Renderable.h"

class Cargo;
class Launcher;

class LauncherChain : public Renderable {
public:
    enum State : int { STATE_RETRACTED = 1, STATE_OUT = 2 };
    // The hook comes back under this deceleration (units per second squared).
    static constexpr float PULL = 2000.0f;

    explicit LauncherChain(Launcher* launcher);

    // Follows the aim while retracted; out, the extension moves until it is back at 0, where a
    // held bonus takes effect or a held piece goes onto the bow.
    void update(double t, double dt) override;
    // The links, the hook, then the held piece.
    void render() override;
    // Retracted: the pull stops.
    void onStateChange() override;
    // Shoots the hook towards a playfield point, just far enough to reach the edge of the view.
    // Only while retracted; a point closer than the retracted hook does nothing.
    void fire(float pointerX, float pointerY);
    // Offered a slot's piece: taken only while the chain is out, empty and the hook touches the
    // piece. The chain then comes back four times harder, carrying the piece (state 2).
    bool grab(Cargo* piece);

    Launcher* launcher;
    float baseLength = 45.0f;
    // Its x is how far the hook is out beyond the base length; its force acts every step.
    MotionController extension;
    float maxExtension = 0.0f;
    Cargo* held = nullptr;
    double nextClickTime = 0.0;
    float chainAngle = 0.0f;
    Renderable links;
    float linkOffset = -64.0f;

private:
    void placeHook();
};
