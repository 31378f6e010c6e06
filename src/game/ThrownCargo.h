#pragma once
// The pieces the launcher throws (colours, wildcard, fireball): they spin at a random rate and
// cast a drop shadow when shadows are on.

#include "game/Cargo.h"

class ThrownCargo : public Cargo {
public:
    // Draws the spin rate's size, then its sign (after the spin angle).
    ThrownCargo();

    void updateXform() override;
    // The shadow first (when shadows are on), then the piece.
    void render() override;

    // The piece's skin in translucent black, offset along the level's shadow direction in the
    // piece's own frame.
    Renderable shadow;
};
