#include "game/LevelB3.h"

#include "game/LayoutTable.h"

LevelB3::LevelB3(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_B3)); }
