#pragma once
// The scene A5, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA5 : public Level {
public:
    explicit LevelA5(int mirrorX = 1);
};
