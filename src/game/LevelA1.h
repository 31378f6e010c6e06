#pragma once
// The scene A1, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA1 : public Level {
public:
    explicit LevelA1(int mirrorX = 1);
};
