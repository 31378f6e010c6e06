#pragma once
// Colour measures for pixel tests: CIELAB (D65) of sRGB pixels, the CIEDE2000 colour difference,
// colour-vision deficiency simulated with the Machado, Oliveira and Fernandes (2009) matrices at
// full severity, and the WCAG contrast ratio. Colours are 0xRRGGBB (any alpha byte is ignored).

#include <cstdint>

namespace colour {

struct Lab {
    double L = 0.0, a = 0.0, b = 0.0;
};

enum class Deficiency { PROTANOPIA, DEUTERANOPIA, TRITANOPIA };
inline constexpr Deficiency kDeficiencies[] = {Deficiency::PROTANOPIA, Deficiency::DEUTERANOPIA, Deficiency::TRITANOPIA};
const char* name(Deficiency d);

Lab toLab(uint32_t rgb);
double deltaE2000(const Lab& x, const Lab& y);
inline double deltaE2000(uint32_t x, uint32_t y) { return deltaE2000(toLab(x), toLab(y)); }
// The colour as a viewer with the deficiency sees it: the matrix applied in linear RGB, clamped.
uint32_t simulate(uint32_t rgb, Deficiency d);
// WCAG 2 relative luminance and contrast ratio (1 to 21).
double relativeLuminance(uint32_t rgb);
double contrastRatio(uint32_t x, uint32_t y);

}  // namespace colour
