#include "game/LevelA7.h"

#include "game/LayoutTable.h"

LevelA7::LevelA7(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A7)); }
