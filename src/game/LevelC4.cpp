#include "game/LevelC4.h"

#include "game/LayoutTable.h"

LevelC4::LevelC4(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_C4)); }
