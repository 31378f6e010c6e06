#pragma once
// The scene A7, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA7 : public Level {
public:
    explicit LevelA7(int mirrorX = 1);
};
