#pragma once
// The colour bomb: seated in a slot it takes the slot's colour, which is the colour it fills when
// collected.

#include "game/PowerUp.h"

class ColorBombPowerUp : public PowerUp {
public:
    ColorBombPowerUp();
    // Seated as any piece, then tinted with the slot's colour, which it remembers.
    void placeInSlot(CargoSlot* target) override;

    int bombColor = 0;
};
