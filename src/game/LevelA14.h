#pragma once
// The scene A14, on one track: its row of the layout table.

#include "game/Level.h"

class LevelA14 : public Level {
public:
    explicit LevelA14(int mirrorX = 1);
};
