#pragma once
// The scene C4, on two tracks: its row of the layout table.

#include "game/Level.h"

class LevelC4 : public Level {
public:
    explicit LevelC4(int mirrorX = 1);
};
