#include "game/LevelA12.h"

#include "game/LayoutTable.h"

LevelA12::LevelA12(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A12)); }
