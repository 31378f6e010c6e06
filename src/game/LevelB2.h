#pragma once
// The scene B2, on one track: its row of the layout table.

#include "game/Level.h"

class LevelB2 : public Level {
public:
    explicit LevelB2(int mirrorX = 1);
};
