#include "game/LevelA5.h"

#include "game/LayoutTable.h"

LevelA5::LevelA5(int mirrorX) : Level(mirrorX) { buildLayout(LayoutTable::scene(LayoutTable::SCENE_A5)); }
