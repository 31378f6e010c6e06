#pragma once
// One player's profile: name, id of the saved-game file and the counters of the game in
// progress. Stored byte for byte inside the ".pro" file.

#include <cstddef>
#include <cstdint>

#include "engine/Text.h"

#pragma pack(push, 1)
struct ProfileCounterSlot {
    uint8_t filler[260];
    int32_t value;
};

class ProfileData {
public:
    enum Counter { LEVEL = 0, HIGHESTLEVEL, SCORE, LIVES, HEARTS, RESERVEDCOUNTER, COUNTERCOUNT };

    // A fresh profile: all bytes zero, then reset() (a new random id).
    ProfileData();

    // Empty name, a new random id, highest level 0, then resetGame().
    void reset();
    // A new game: level, score, hearts and the reserved counter 0, three lives, no saved game.
    void resetGame();
    void addScore(int delta);
    // One more heart; returns 100 - hearts, and at 0 awards a life and starts again.
    int addHeart();
    void advanceLevel();

    WString getName() const;
    WString getSavedGamePath() const;

    int32_t& counter(Counter c) { return counters[c].value; }
    int32_t counter(Counter c) const { return counters[c].value; }
    int32_t& level() { return counter(LEVEL); }
    int32_t& highestLevel() { return counter(HIGHESTLEVEL); }
    int32_t& score() { return counter(SCORE); }
    int32_t& lives() { return counter(LIVES); }
    int32_t& hearts() { return counter(HEARTS); }
    int32_t& reservedCounter() { return counter(RESERVEDCOUNTER); }

    char name[256];
    uint32_t id;
    ProfileCounterSlot counters[COUNTERCOUNT];
    uint8_t bHasSavedGame;
    uint8_t zero[3];
};
#pragma pack(pop)

static_assert(sizeof(ProfileData) == 1848);
static_assert(offsetof(ProfileData, id) == 256);
static_assert(offsetof(ProfileData, counters) == 260);
static_assert(offsetof(ProfileData, bHasSavedGame) == 1844);
