#include "ui/ProfileData.h"

#include <algorithm>
#include <cstring>

#include "ui/ProfileManager.h"
#include "engine/Random.h"

ProfileData::ProfileData() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    reset();
}

void ProfileData::reset() {
    name[0] = 0;
    const uint32_t low = randomNext();
    const uint32_t high = randomNext();
    id = low | (high << 16);
    highestLevel() = 0;
    resetGame();
}

void ProfileData::resetGame() {
    level() = 0;
    score() = 0;
    lives() = 3;
    hearts() = 0;
    reservedCounter() = 0;
    bHasSavedGame = 0;
}

void ProfileData::addScore(int delta) {
    const int64_t sum = static_cast<int64_t>(score()) + delta;
    score() = static_cast<int32_t>(std::clamp<int64_t>(sum, 0, INT32_MAX));
}

int ProfileData::addHeart() {
    ++hearts();
    const int r = 100 - hearts();
    if (r <= 0) {
        ++lives();
        hearts() = 0;
    }
    return r;
}

void ProfileData::advanceLevel() {
    ++level();
    highestLevel() = std::max(highestLevel(), level());
}

WString ProfileData::getName() const {
    return utf8ToWide(std::string_view(name, strnlen(name, sizeof(name))));
}

WString ProfileData::getSavedGamePath() const { return format(u"%s.%08x", ProfileManager::getProfilesPath(), id); }
