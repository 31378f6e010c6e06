#pragma once
// Draws the track objects (cars, their overlays, the level's decorations) back to front. Each
// track object registers itself when made and is drawn only through this pass. The list is nearly
// always sorted from frame to frame: a sorted list costs one look, an unsorted one (a level just
// loaded) a stable sort, and objects of equal depth keep the order they had.

#include <vector>

#include "engine/QelBase.h"

class TrackObject;

class DepthManager : public QelBase {
public:
    // Every object still registered forgets this manager (it is not owned).
    ~DepthManager() override;

    // Sorts the list farthest first (larger depth first).
    void update(double time, double dt) override;
    // Each object's renderAtDepth, in list order.
    void render() override;

    // Appends an object; its back pointer is set to this manager.
    void addDepth(TrackObject* object);
    // Takes an object out of the list, keeping the order of the others; fatal when it is not
    // listed. Its back pointer is cleared.
    void removeDepth(TrackObject* object);

    std::vector<TrackObject*> objects;
};
