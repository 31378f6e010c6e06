#include "engine/Random.h"

uint32_t randomSeed = 0;

uint32_t randomNext() {
    randomSeed = randomSeed * 214013u + 2531011u;
    return (randomSeed >> 16) & 0xFFFFu;
}

float randomUnit() { return static_cast<float>(randomNext()) / 65536.0f; }

void initGenrand(MersenneState& state, uint32_t seed) {
    state.words[0] = seed;
    for (uint32_t i = 1; i < 624; ++i) state.words[i] = 1812433253u * (state.words[i - 1] ^ (state.words[i - 1] >> 30)) + i;
    state.index = 624;
}
