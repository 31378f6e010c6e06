#pragma once
// The colours of the game's winter-holiday look.

#include <cstdint>

namespace datagen {

constexpr uint32_t kNightBlue = 0xFF1B2A4A;
constexpr uint32_t kDeepBlue = 0xFF0E1830;
constexpr uint32_t kSkyBlue = 0xFF3C6EB4;
constexpr uint32_t kIce = 0xFFBFE6FF;
constexpr uint32_t kSnow = 0xFFF8FBFF;
constexpr uint32_t kHollyRed = 0xFFD62839;
constexpr uint32_t kPine = 0xFF1E7B4A;
constexpr uint32_t kGold = 0xFFF5C542;

}  // namespace datagen

namespace datagen {

// The eight cargo colours, by colour type.
constexpr uint32_t kCargoColours[8] = {0xFFFF1010, 0xFFFF8000, 0xFFFFFF00, 0xFF00C000, 0xFF00FFFF, 0xFF0000FF, 0xFFFF40FF, 0xFFFFFFFF};

}  // namespace datagen
