#include "game/LevelA8.h"

#include "game/LayoutTable.h"

LevelA8::LevelA8(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A8)); }
