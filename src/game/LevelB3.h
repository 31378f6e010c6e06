#pragma once
// The scene B3, on one track: its row of the layout table.

#include "game/Level.h"

class LevelB3 : public Level {
public:
    explicit LevelB3(int mirrorX = 1);
};
