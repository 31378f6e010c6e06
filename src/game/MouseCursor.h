#pragma once
// The pointer of a level: the second picture of "mousePointer", following the pointer of the
// controller's display layer and hidden while the input is touch. The screen stack updates it
// before the controller and draws it in place of the pointer sprite.

#include "media/Renderable.h"

class Context;

class MouseCursor : public Renderable {
public:
    // layer: the context whose pointer position it follows (not owned).
    explicit MouseCursor(Context* layer);

    void update(double t, double dt) override;

    Context* pLayer;
};
