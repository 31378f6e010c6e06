#include "game/LevelHost.h"

LevelHost::~LevelHost() {
    if (currentHost == this) currentHost = nullptr;
}
