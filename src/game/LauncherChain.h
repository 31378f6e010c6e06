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

    explicit LauncherChain(Launcher* launcher);

    // Offered a slot's piece: taken only while the chain is out, empty and the hook touches the
    // piece. The chain then comes back four times harder, carrying the piece (state 2).
    bool grab(Cargo* piece);

    Launcher* launcher;
    float baseLength = 45.0f;
    // Its x is how far the hook is out beyond the base length; its force acts every step.
    MotionController extension;
    float maxExtension = 0.0f;
    Cargo* held = nullptr;
};
