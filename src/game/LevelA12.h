#pragma once
// The scene A12, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA12 : public Level {
public:
    explicit LevelA12(int mirrorX = 1);
};
