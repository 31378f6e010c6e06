#pragma once
// The scene B1, on one track: its row of the layout table.

#include "game/Level.h"

class LevelB1 : public Level {
public:
    explicit LevelB1(int mirrorX = 1);
};
