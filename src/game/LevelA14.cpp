#include "game/LevelA14.h"

#include "game/LayoutTable.h"

LevelA14::LevelA14(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A14)); }
