#pragma once
// The scene A2, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA2 : public Level {
public:
    explicit LevelA2(int mirrorX = 1);
};
