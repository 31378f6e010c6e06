#include "game/LevelA13.h"

#include "game/LayoutTable.h"

LevelA13::LevelA13(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A13)); }
