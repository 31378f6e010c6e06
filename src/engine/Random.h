#pragma once
// The game's linear congruential generator and the Mersenne Twister's seeding.

#include <cstdint>

// The generator's state; every random choice of the engine and the game steps it.
extern uint32_t randomSeed;

// One step: randomSeed = randomSeed * 214013 + 2531011; returns bits 16-31 (0 to 65535).
uint32_t randomNext();
// randomNext() / 65536, in [0, 1).
float randomUnit();

struct MersenneState {
    uint32_t words[624];
    uint32_t index;
};
// The published MT19937 initialisation; the index is left at 624.
void initGenrand(MersenneState& state, uint32_t seed);
