#pragma once
// A 32-bit ARGB colour or pixel: a little-endian word, so the bytes in memory are B, G, R, A.

#include <cstdint>

using UColor = uint32_t;
