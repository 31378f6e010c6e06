#pragma once
// The colour bomb: seated in a slot it takes the slot's colour, which is the colour it fills when
// collected: every slot of that colour that is open when it fires gets a fitting piece.

#include "game/PowerUp.h"

class ColorBombPowerUp : public PowerUp {
public:
    ColorBombPowerUp();
    // Seated as any piece, then tinted with the slot's colour, which it remembers.
    void placeInSlot(CargoSlot* target) override;
    // Fills the open slots of its colour; a bonus that sat in one of them takes effect too.
    bool activate() override;

    int bombColor = 0;
};
