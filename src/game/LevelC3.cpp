#include "game/LevelC3.h"

#include "game/LayoutTable.h"

LevelC3::LevelC3(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_C3)); }
