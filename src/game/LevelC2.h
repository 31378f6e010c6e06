#pragma once
// The scene C2, on two tracks: its row of the layout table.

#include "game/Level.h"

class LevelC2 : public Level {
public:
    explicit LevelC2(int mirrorX = 1);
};
