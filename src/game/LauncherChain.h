#pragma once
// The hook on a chain that the launcher shoots out to pull a piece or a bonus out of a cargo
// slot. States: 1 retracted, 2 out (flying out or coming back). Fired, it decelerates so that it
// just reaches the edge of the view and comes back; a slot offers it the piece it holds, and back
// at the launcher a bonus takes effect and any other piece goes onto the bow. The piece it carries
// is its child.

#include <vector>

#include "game/MotionController.h"
#include "media/Renderable.h"

class Cargo;
class Launcher;
class Quad;

class LauncherChain : public Renderable {
public:
    enum State : int { STATE_RETRACTED = 1, STATE_OUT = 2 };
    // The hook's deceleration on its way out, in units a second squared.
    static constexpr float DECELERATION = 2000.0f;

    explicit LauncherChain(Launcher* launcher);
    ~LauncherChain() override;

    // Moves the hook and the piece it carries; back at the launcher, the piece is handed over.
    void update(double time, double dt) override;
    // The links, the hook, then the piece it carries.
    void render() override;
    // Retracted: the hook stops.
    void onStateChange() override;

    // Shoots the hook towards a playfield point, as far as the edge of the view (only while
    // retracted; a point closer than the retracted hook is ignored).
    void fire(float pointerX, float pointerY);
    // Offered a slot's piece: taken only while the chain is out, empty and the hook touches the
    // piece. The chain then comes back four times harder, carrying the piece (state 2).
    bool grab(Cargo* piece);
    // The distance from (x, y) along the angle to the edge of the rectangle it lies in; 0 when
    // the point is outside it.
    static float distanceToEdge(float x, float y, float angle, float left, float right, float bottom, float top);

    Launcher* launcher;
    float baseLength = 45.0f;
    // The chain behind the hook, drawn with a texture that repeats along its length.
    Renderable* links = nullptr;
    float linkOffset = -64.0f;
    // Its x is how far the hook is out beyond the base length; its force acts every step.
    MotionController extension;
    float maxExtension = 0.0f;
    Cargo* held = nullptr;
    double nextClickTime = 0.0;
    float chainAngle = 0.0f;

private:
    // The hook back: the piece it carries takes effect or goes onto the bow.
    void deliver();
    // The links' texture laid out along the visible length.
    void layOutLinks(float length);

    // The links' own copy of the chain picture (its texture rectangle changes with the length).
    Quad* linkSkin = nullptr;
};
