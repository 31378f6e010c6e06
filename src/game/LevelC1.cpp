#include "game/LevelC1.h"

#include "game/LayoutTable.h"

LevelC1::LevelC1(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_C1)); }
