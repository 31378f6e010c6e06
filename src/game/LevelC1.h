#pragma once
// The scene C1, on two tracks: its row of the layout table.

#include "game/Level.h"

class LevelC1 : public Level {
public:
    explicit LevelC1(int mirrorX = 1);
};
