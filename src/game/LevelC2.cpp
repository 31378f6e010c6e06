#include "game/LevelC2.h"

#include "game/LayoutTable.h"

LevelC2::LevelC2(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_C2)); }
