#include "game/LevelB1.h"

#include "game/LayoutTable.h"

LevelB1::LevelB1(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_B1)); }
