#pragma once
// A small deterministic generator for scattering scenery: the same seed gives the same picture on
// every machine and every run.

#include <cstdint>

namespace datagen {

class Scatter {
public:
    explicit Scatter(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
    double range(double a, double b) { return a + (b - a) * next(); }

private:
    uint32_t state;
};

}  // namespace datagen
