#pragma once
// A bonus piece: it appears in a cargo slot, keeps its roll, and vanishes after ten seconds
// seated unless the chain pulls it out or a fitting piece collects it.

#include "engine/Text.h"
#include "game/Cargo.h"

class PowerUp : public Cargo {
public:
    PowerUp(int type, const char16_t* skinName);

    // The text shown when it is collected (empty: the points are shown).
    WString caption;
    int points = 0;
};
