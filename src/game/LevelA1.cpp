#include "game/LevelA1.h"

#include "game/LayoutTable.h"

LevelA1::LevelA1(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A1)); }
