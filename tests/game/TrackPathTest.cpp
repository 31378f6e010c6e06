// The track path: the curve, its samples at equal arc length, and the point, heading and depth at
// a track position.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/TrackPath.h"

namespace {

constexpr float kPi = 3.1415927f;

// A straight path along x from (x0, 0, z) to (x1, 0, z): handles a third of the way along.
void straight(TrackPath& path, float x0, float x1, float z = 0.0f) {
    const float third = (x1 - x0) / 3.0f;
    path.controlPoints = {{x0, 0, z}, {x1, 0, z}};
    path.tangents = {{third, 0, 0}, {third, 0, 0}};
}

TEST(BezierPath, EvaluateRunsThroughThePointsAndHoldsTheLastPart) {
    BezierPath path;
    path.controlPoints = {{0, 0, 0}, {100, 0, 0}, {100, 100, 5}};
    path.tangents = {{30, 0, 0}, {0, 30, 0}, {-30, 0, 0}};
    // n = 3 points share the range in thirds: point k at t = k / 3.
    EXPECT_EQ(path.evaluate(0.0f), Vector3(0, 0, 0));
    const Vector3 p1 = path.evaluate(1.0f / 3.0f);
    EXPECT_NEAR(p1.x, 100.0f, 1e-3f);
    EXPECT_NEAR(p1.y, 0.0f, 1e-3f);
    // The last third stays at the last point: no loop out along its tangent and back.
    for (float t : {2.0f / 3.0f + 0.001f, 0.8f, 0.9f, 0.999f, 1.0f}) EXPECT_EQ(path.evaluate(t), Vector3(100, 100, 5)) << t;
    // Outside the range, and not a number, the ends answer.
    EXPECT_EQ(path.evaluate(-1.0f), Vector3(0, 0, 0));
    EXPECT_EQ(path.evaluate(std::numeric_limits<float>::quiet_NaN()), Vector3(0, 0, 0));
    EXPECT_EQ(path.evaluate(7.0f), Vector3(100, 100, 5));
}

TEST(TrackPath, StraightPathHasItsLengthAndOneSampleEveryEightUnits) {
    TrackPath path;
    straight(path, -100, 300, 12);
    path.resample();
    EXPECT_NEAR(path.length, 400.0f, 0.01f);
    ASSERT_EQ(path.samples.size(), static_cast<size_t>(path.length / 8) + 1);
    for (size_t i = 0; i < path.samples.size(); ++i) {
        EXPECT_NEAR(path.samples[i].x, -100.0f + 8.0f * float(i), 0.01f) << i;
        EXPECT_FLOAT_EQ(path.samples[i].z, 12.0f);
        EXPECT_NEAR(path.headings[i], 0.0f, 1e-4f);
    }
}

TEST(TrackPath, SampleCountFollowsTheLengthOnCurvedPaths) {
    // A quarter circle and a curl: a path of length L has int(L / 8) + 1 samples, whatever the
    // curve.
    const std::vector<std::pair<std::vector<Vector3>, std::vector<Vector3>>> shapes = {
        {{{100, 0, 0}, {0, 100, 0}}, {{0, 55.2f, 0}, {-55.2f, 0, 0}}},
        {{{0, 0, 0}, {50, 50, -10}, {0, 100, 0}, {-40, 10, 3}}, {{80, 0, 0}, {0, 90, 0}, {-70, 0, 0}, {0, -40, 0}}},
        {{{0, 0, 0}, {8, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}},  // exactly one spacing long
    };
    for (const auto& [points, tangents] : shapes) {
        TrackPath path;
        path.controlPoints = points;
        path.tangents = tangents;
        path.resample();
        EXPECT_EQ(path.samples.size(), static_cast<size_t>(path.length / 8) + 1) << path.length;
        EXPECT_EQ(path.headings.size(), path.samples.size());
        EXPECT_EQ(path.samples.front(), points.front());
    }
}

TEST(TrackPath, QuarterCircleLength) {
    // Handles of 0.5523 R make a near-perfect quarter circle of radius R.
    const float r = 200.0f, h = 0.55228475f * r;
    TrackPath path;
    path.controlPoints = {{r, 0, 0}, {0, r, 0}};
    path.tangents = {{0, h, 0}, {-h, 0, 0}};
    path.resample();
    EXPECT_NEAR(path.length, kPi * r / 2.0f, 0.1f);
    // The first heading is the first tangent's; then the path turns left by a quarter.
    EXPECT_NEAR(path.headings.front(), kPi / 2.0f, 1e-3f);
    EXPECT_NEAR(path.headings.back(), kPi, 0.05f);
}

TEST(TrackPath, NoControlPointsGiveOneSampleAndLengthZero) {
    TrackPath none;
    none.resample();
    EXPECT_EQ(none.length, 0.0f);
    ASSERT_EQ(none.samples.size(), 1u);
    ASSERT_EQ(none.headings.size(), 1u);
    Vector3 p(1, 2, 3);
    float heading = 9, depth = 9;
    none.getPoint(50.0f, p, &heading, &depth);
    EXPECT_EQ(p, Vector3(0, 0, 0));
    EXPECT_EQ(heading, 0.0f);
    EXPECT_EQ(depth, 0.0f);

    TrackPath one;
    one.controlPoints = {{5, 10, -2}};
    one.tangents = {{1, 0, 0}};
    one.resample();
    EXPECT_EQ(one.length, 0.0f);
    ASSERT_EQ(one.samples.size(), 1u);
    EXPECT_EQ(one.samples[0], Vector3(5, 10, -2));

    // Not yet sampled: nothing to read, nothing read out of range.
    TrackPath unsampled;
    unsampled.getPoint(10.0f, p, &heading, &depth);
    EXPECT_EQ(p, Vector3(0, 0, 0));
}

TEST(TrackPath, GetPointSqueezesYAndGivesTheDepthApart) {
    TrackPath path;
    path.controlPoints = {{0, 0, -5}, {0, 400, -25}};
    path.tangents = {{0, 100, 0}, {0, 100, 0}};
    path.resample();
    Vector3 p;
    float heading = 0, depth = 0;
    path.getPoint(100.0f, p, &heading, &depth);
    const Vector3 s = path.samples[100 / 8] + (path.samples[100 / 8 + 1] - path.samples[100 / 8]) * 0.5f;
    EXPECT_FLOAT_EQ(p.x, s.x);
    EXPECT_FLOAT_EQ(p.y, s.y * 0.8f);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_FLOAT_EQ(depth, s.z);
    EXPECT_NEAR(heading, kPi / 2.0f, 1e-3f);
}

TEST(TrackPath, PositionsOutsideThePathAnswerItsEnds) {
    TrackPath path;
    straight(path, 0, 100);
    path.resample();
    const Vector3 first(path.samples.front().x, path.samples.front().y * 0.8f, 0);
    const Vector3 last(path.samples.back().x, path.samples.back().y * 0.8f, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        float x;
        Vector3 expected;
    } cases[] = {{-1.0f, first}, {-1e30f, first}, {nan, first}, {inf, first}, {-inf, first}, {path.length + 1, last}, {1e30f, last}};
    for (const auto& c : cases) {
        Vector3 p;
        float depth = 1;
        path.getPoint(c.x, p, nullptr, &depth);
        EXPECT_NEAR(p.x, c.expected.x, 1e-3f) << c.x;
        EXPECT_EQ(depth, 0.0f);
        int i = -1;
        float r = -1;
        path.indexOf(c.x, i, r);
        EXPECT_GE(i, 0) << c.x;
        EXPECT_LT(i, static_cast<int>(path.samples.size())) << c.x;
        EXPECT_TRUE(std::isfinite(r)) << c.x;
    }
}

TEST(TrackPath, HeadingBetweenSamplesTurnsTheShortWay) {
    TrackPath path;
    path.spacing = 8;
    path.length = 8;
    path.samples = {{0, 0, 0}, {8, 0, 0}};
    path.headings = {-3.1f, 3.1f};
    float heading = 0;
    Vector3 p;
    path.getPoint(4.0f, p, &heading);
    // Halfway from -3.1 to 3.1 the short way is through pi, not through 0.
    EXPECT_NEAR(std::fabs(heading), kPi, 1e-3f);
    path.getPoint(2.0f, p, &heading);
    EXPECT_NEAR(heading, -3.1f - (2 * kPi - 6.2f) / 4.0f, 1e-4f);
}

TEST(MathUtil, AngleDifferenceAndFloatMod) {
    EXPECT_NEAR(angleDifference(-3.1f, 3.1f), -(2 * kPi - 6.2f), 1e-5f);
    EXPECT_NEAR(angleDifference(3.1f, -3.1f), 2 * kPi - 6.2f, 1e-5f);
    EXPECT_NEAR(angleDifference(0.0f, 4.0f), 4.0f - 2 * kPi, 1e-5f);
    EXPECT_EQ(angleDifference(2.0f, 2.0f), 0.0f);
    EXPECT_FLOAT_EQ(floatMod(7.5f, 2.0f), 1.5f);
    EXPECT_FLOAT_EQ(floatMod(-7.5f, 2.0f), -1.5f);
}

}  // namespace
