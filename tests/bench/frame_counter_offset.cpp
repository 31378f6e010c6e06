// Prints where the engine keeps its frame count: the offset of Qel::frameCount in the engine object.
// tests/bench/measure_program.sh reads the count of a running program from its memory (through the
// global 'qel'), so that frames are counted exactly over a window without changing the program.

#include <cstddef>
#include <cstdio>

#include "engine/Qel.h"

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

int main() {
    std::printf("%zu\n", offsetof(Qel, frameCount));
    return 0;
}
