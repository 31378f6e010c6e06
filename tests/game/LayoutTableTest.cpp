// The conversion of design points into a track's control points, shared by the game and the
// data generator.

#include <gtest/gtest.h>

#include <cmath>

#include "game/LayoutTable.h"
#include "game/TrackPath.h"

namespace {

float scaleAt(float z) {
    const LayoutPoint p[] = {{100, 0, z, 130, 0}};
    std::vector<Vector3> points, tangents;
    LayoutTable::convertTrack(p, 1, 1, points, tangents);
    return points[1].x / 100.0f;
}

TEST(LayoutTable, DepthSpreadsPointsSlightly) {
    EXPECT_EQ(scaleAt(0), 3.171875f);  // 3.125 x 1.015
    EXPECT_NEAR(scaleAt(5), 3.18176f, 1e-5f);
    EXPECT_GT(scaleAt(25), scaleAt(5));
    EXPECT_LT(scaleAt(-10), scaleAt(0));
}

TEST(LayoutTable, ConversionWithLeadInAndLeadOut) {
    const LayoutPoint p[] = {{-100, 20, 5, -100, 60}, {50, -30, 25, 80, -30}};
    std::vector<Vector3> points, tangents;
    LayoutTable::convertTrack(p, 1, 1, points, tangents);
    ASSERT_EQ(points.size(), 4u);
    ASSERT_EQ(tangents.size(), 4u);
    const float k5 = scaleAt(5), k25 = scaleAt(25);
    EXPECT_EQ(points[1], Vector3(-100 * k5, 20 * k5, -5));
    EXPECT_NEAR(tangents[1].y, 40 * k5, 1e-3f);
    EXPECT_EQ(tangents[1].x, 0.0f);
    EXPECT_EQ(tangents[1].z, 0.0f);
    EXPECT_NEAR(points[2].x, 50 * k25, 1e-4f);
    EXPECT_EQ(points[2].z, -25.0f);
    EXPECT_NEAR(tangents[2].x, 30 * k25, 1e-3f);
    // 250 units before the first point along its tangent (up), 350 beyond the last (right), each
    // with the unit tangent.
    EXPECT_NEAR(points[0].x, points[1].x, 1e-3f);
    EXPECT_NEAR(points[0].y, points[1].y - 250, 1e-3f);
    EXPECT_EQ(points[0].z, points[1].z);
    EXPECT_EQ(tangents[0], Vector3(0, 1, 0));
    EXPECT_NEAR(points[3].x, points[2].x + 350, 1e-3f);
    EXPECT_EQ(tangents[3], Vector3(1, 0, 0));
}

TEST(LayoutTable, MirrorNegatesXOfPointsAndTangents) {
    const LayoutPoint p[] = {{-100, 20, 5, -70, 60}, {50, -30, 25, 80, -10}};
    std::vector<Vector3> a, at, b, bt;
    LayoutTable::convertTrack(p, 1, 1, a, at);
    LayoutTable::convertTrack(p, -1, 1, b, bt);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].x, -a[i].x, 1e-3f) << i;
        EXPECT_NEAR(b[i].y, a[i].y, 1e-3f) << i;
        EXPECT_EQ(b[i].z, a[i].z) << i;
        EXPECT_NEAR(bt[i].x, -at[i].x, 1e-4f) << i;
        EXPECT_NEAR(bt[i].y, at[i].y, 1e-4f) << i;
    }
}

TEST(LayoutTable, EndsWithoutTangentRunOnFromTheirNeighbour) {
    // Handles on the points themselves: zero end tangents. The lead-in and lead-out follow the
    // line between the end points instead of dividing by zero.
    const LayoutPoint p[] = {{0, 0, 0, 0, 0}, {30, 40, 0, 30, 40}};
    std::vector<Vector3> points, tangents;
    LayoutTable::convertTrack(p, 1, 1, points, tangents);
    ASSERT_EQ(points.size(), 4u);
    for (const Vector3& v : points) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << v.x << " " << v.y;
    EXPECT_NEAR(tangents[0].x, 0.6f, 1e-5f);
    EXPECT_NEAR(tangents[0].y, 0.8f, 1e-5f);
    EXPECT_NEAR(points[0].x, -150.0f, 1e-3f);
    EXPECT_NEAR(points[0].y, -200.0f, 1e-3f);
    EXPECT_NEAR(tangents[3].x, 0.6f, 1e-5f);
    EXPECT_NEAR(points[3].y, points[2].y + 280.0f, 1e-3f);
    // A lone point without a tangent runs along x; no points give no path.
    const LayoutPoint lone[] = {{10, 10, 0, 10, 10}};
    LayoutTable::convertTrack(lone, 1, 1, points, tangents);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(tangents[0], Vector3(1, 0, 0));
    LayoutTable::convertTrack({}, 1, 1, points, tangents);
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(tangents.empty());
}

TEST(LayoutTable, MapRouteHasTwentyTwoPoints) {
    std::vector<Vector3> points, tangents;
    LayoutTable::convertMapRoute(points, tangents);
    ASSERT_EQ(points.size(), 22u);
    EXPECT_EQ(points[0], Vector3(3.125f * -103.9f, 3.125f * -10.3f, 0));
    EXPECT_NEAR(tangents[0].x, 3.125f * (-71 + 103.9f), 1e-3f);
    EXPECT_EQ(tangents[21], Vector3(0, 0, 0));  // the last handle is its point
    TrackPath route;
    route.controlPoints = points;
    route.tangents = tangents;
    route.resample();
    EXPECT_GT(route.length, 3000.0f);
}

}  // namespace
