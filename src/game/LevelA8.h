#pragma once
// The scene A8, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA8 : public Level {
public:
    explicit LevelA8(int mirrorX = 1);
};
