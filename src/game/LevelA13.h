#pragma once
// The scene A13, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA13 : public Level {
public:
    explicit LevelA13(int mirrorX = 1);
};
