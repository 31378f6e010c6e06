// The colour measures the pixel tests judge art by, against published reference values.

#include <gtest/gtest.h>

#include "support/ColourScience.h"

namespace {

TEST(ColourScienceTest, Ciede2000MatchesSharmasReferencePairs) {
    struct Pair {
        colour::Lab x, y;
        double expected;
    };
    // From Sharma, Wu and Dalal (2005), including the hue-angle and low-chroma edge cases.
    const Pair pairs[] = {
        {{50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}, 2.0425},
        {{50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}, 2.3669},
        {{50.0, 2.49, -0.001}, {50.0, -2.49, 0.0009}, 7.1792},
        {{50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}, 27.1492},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& p : pairs) {
        EXPECT_NEAR(colour::deltaE2000(p.x, p.y), p.expected, 1e-4) << p.x.L << " " << p.x.a << " " << p.x.b;
        EXPECT_NEAR(colour::deltaE2000(p.y, p.x), p.expected, 1e-4);
    }
}

TEST(ColourScienceTest, LabOfSrgbPrimariesAndGreys) {
    const colour::Lab white = colour::toLab(0xFFFFFF), red = colour::toLab(0xFF0000), grey = colour::toLab(0x777777);
    EXPECT_NEAR(white.L, 100.0, 0.01);
    EXPECT_NEAR(white.a, 0.0, 0.01);
    EXPECT_NEAR(white.b, 0.0, 0.01);
    EXPECT_NEAR(red.L, 53.24, 0.02);
    EXPECT_NEAR(red.a, 80.09, 0.05);
    EXPECT_NEAR(red.b, 67.20, 0.05);
    EXPECT_NEAR(grey.a, 0.0, 0.01);
}

TEST(ColourScienceTest, SimulatedDeficienciesKeepGreysAndMergeTheirConfusionColours) {
    for (colour::Deficiency d : colour::kDeficiencies)
        for (uint32_t grey : {0x000000u, 0x808080u, 0xFFFFFFu})
            EXPECT_LE(colour::deltaE2000(colour::simulate(grey, d), grey), 0.5) << colour::name(d) << " " << std::hex << grey;
    // Red and green, far apart for normal sight, nearly merge for a deuteranope, for whom blue and
    // green stay far apart.
    EXPECT_GT(colour::deltaE2000(0xFF1010, 0x00C000), 50.0);
    EXPECT_LT(colour::deltaE2000(colour::simulate(0xFF1010, colour::Deficiency::DEUTERANOPIA),
                                 colour::simulate(0x00C000, colour::Deficiency::DEUTERANOPIA)),
              10.0);
    EXPECT_GT(colour::deltaE2000(colour::simulate(0x0000FF, colour::Deficiency::DEUTERANOPIA),
                                 colour::simulate(0x00C000, colour::Deficiency::DEUTERANOPIA)),
              40.0);
}

TEST(ColourScienceTest, WcagContrastRatio) {
    EXPECT_NEAR(colour::contrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(colour::contrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(colour::contrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
    EXPECT_NEAR(colour::contrastRatio(0x123456, 0x123456), 1.0, 1e-9);
}

}  // namespace
