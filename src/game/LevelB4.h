#pragma once
// The scene B4, on one track: its row of the layout table.

#include "game/Level.h"

class LevelB4 : public Level {
public:
    explicit LevelB4(int mirrorX = 1);
};
