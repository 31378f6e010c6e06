#pragma once
// The bow with which the player throws cargo at the cars. It turns towards the pointer (its roll
// is the aim angle) and owns the chain that pulls pieces out of cargo slots. States: 1 disabled
// (the start), 2 reloading or cycling, 3 ready to fire.

#include "media/Renderable.h"

class LauncherChain;

class Launcher : public Renderable {
public:
    enum State : int { STATE_DISABLED = 1, STATE_RELOADING = 2, STATE_READY = 3 };

    // The bow's skin and the chain; disabled.
    Launcher();

    // Radians from the launcher towards the pointer.
    float aimAngle = 0.0f;
    // A child of the launcher.
    LauncherChain* chain = nullptr;
};
