#pragma once
// A car's drop shadow (its skin in translucent black) and its coupling to the car behind, drawn in
// the depth pass just behind the car. Nothing shows at the lowest detail setting.

#include "game/TrackObject.h"

class Car;

class CarOverlay : public TrackObject {
public:
    explicit CarOverlay(Car* car);

    // The shadow (with shadows on), then the coupling.
    void renderAtDepth() override;

    Car* car;
    // The link between this car and the next ("car:4").
    Renderable coupling;
};
