#include "game/LevelA2.h"

#include "game/LayoutTable.h"

LevelA2::LevelA2(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A2)); }
