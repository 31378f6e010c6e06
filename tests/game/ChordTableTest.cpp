// Chord tables: the track position a straight distance behind another.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/ChordTable.h"
#include "game/TrackPath.h"

namespace {

TEST(ChordTable, OnAStraightPathTheChordIsTheArcLength) {
    TrackPath path;
    path.controlPoints = {{0, 0, 0}, {600, 0, 0}};
    path.tangents = {{200, 0, 0}, {200, 0, 0}};
    path.resample();
    for (float chord : {8.0f, 20.0f, 36.0f, 96.0f}) {
        ChordTable table(&path, chord);
        table.build();
        ASSERT_EQ(table.positions.size(), path.samples.size());
        for (float x = chord + 8.0f; x <= path.length; x += 5.0f)
            EXPECT_NEAR(table.lookup(x), x - chord, 0.02f) << "chord " << chord << " at " << x;
        // Near the start nothing lies that far back: 0.
        for (size_t i = 0; float(i) * 8.0f <= chord; ++i) EXPECT_EQ(table.positions[i], 0.0f) << "chord " << chord << " sample " << i;
    }
}

TEST(ChordTable, OnACircleTheArcIsLongerThanItsChord) {
    // A circle of radius R from four quarter arcs; the arc behind a chord c spans 2R asin(c / 2R).
    const float r = 300.0f, h = 0.55228475f * r;
    TrackPath path;
    path.controlPoints = {{r, 0, 0}, {0, r, 0}, {-r, 0, 0}, {0, -r, 0}, {r, 0, 0}};
    path.tangents = {{0, h, 0}, {-h, 0, 0}, {0, -h, 0}, {h, 0, 0}, {0, h, 0}};
    path.resample();
    for (float chord : {40.0f, 124.0f, 300.0f}) {
        ChordTable table(&path, chord);
        table.build();
        const float arc = 2.0f * r * std::asin(chord / (2.0f * r));
        const float lastSample = float(path.samples.size() - 1) * path.spacing;
        for (float x = arc + 20; x <= lastSample; x += 37.0f)
            EXPECT_NEAR(table.lookup(x), x - arc, 0.6f) << "chord " << chord << " at " << x;
    }
}

TEST(ChordTable, DepthCountsInTheChord) {
    // Samples are 3-D: a path climbing in z is as long straight-line as its arc.
    TrackPath path;
    path.controlPoints = {{0, 0, 0}, {300, 0, -400}};
    path.tangents = {{100, 0, -133.33f}, {100, 0, -133.33f}};
    path.resample();
    EXPECT_NEAR(path.length, 500.0f, 0.1f);
    ChordTable table(&path, 50.0f);
    table.build();
    EXPECT_NEAR(table.lookup(300.0f), 250.0f, 0.05f);
}

TEST(ChordTable, LookupIsClampedAtBothEnds) {
    TrackPath path;
    path.controlPoints = {{0, 0, 0}, {100, 0, 0}};
    path.tangents = {{33, 0, 0}, {33, 0, 0}};
    path.resample();
    ChordTable table(&path, 16.0f);
    table.build();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(table.lookup(nan), 0.0f);
    EXPECT_EQ(table.lookup(-50.0f), 0.0f);
    // Beyond the last sample the last entry answers.
    EXPECT_NEAR(table.lookup(1e9f), float(path.samples.size() - 1) * 8.0f - 16.0f, 0.05f);
    EXPECT_EQ(table.lookup(1e9f), table.positions.back());
    // A table left from a shorter sampling of the path never reads past its end.
    path.controlPoints = {{0, 0, 0}, {1000, 0, 0}};
    path.tangents = {{333, 0, 0}, {333, 0, 0}};
    path.resample();
    ASSERT_GT(path.samples.size(), table.positions.size());
    EXPECT_NEAR(table.lookup(900.0f), table.positions.back(), 1e-3f);
    // Without a path or entries: 0.
    ChordTable empty(nullptr, 10.0f);
    empty.build();
    EXPECT_EQ(empty.lookup(10.0f), 0.0f);
}

}  // namespace
