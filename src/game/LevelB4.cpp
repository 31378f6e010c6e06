#include "game/LevelB4.h"

#include "game/LayoutTable.h"

LevelB4::LevelB4(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_B4)); }
