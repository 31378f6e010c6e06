#include "game/LevelB2.h"

#include "game/LayoutTable.h"

LevelB2::LevelB2(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_B2)); }
