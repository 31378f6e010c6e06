#pragma once
// The scene C3, on two tracks: its row of the layout table.

#include "game/Level.h"

class LevelC3 : public Level {
public:
    explicit LevelC3(int mirrorX = 1);
};
