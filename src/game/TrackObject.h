#pragma once
// The base of everything drawn in the depth pass: cars, their overlays and the level's
// decorations. It registers with a depth manager when made and leaves it when deleted; its own
// render slot draws nothing, the depth manager calls renderAtDepth in depth order.

#include "media/Renderable.h"

class DepthManager;

class TrackObject : public Renderable {
public:
    // Registers with the current level host's depth manager (none without a host).
    TrackObject();
    // Registers with the given manager (none when null).
    explicit TrackObject(DepthManager* manager);
    // Leaves the manager while still registered with it (a manager deleted first has already let
    // go of it).
    ~TrackObject() override;

    void render() override {}
    // Drawn by the depth pass: the renderable itself.
    virtual void renderAtDepth();

    // For a car, its centre's track position.
    float trackPos = 0.0f;
    // The sort key of the depth pass: larger is farther away.
    float depth = 0.0f;
    DepthManager* depthManager = nullptr;
};
