#pragma once
// A curve turned into samples at equal arc length. Game rules place everything by arc length
// along the path (a track position, in scene units); the curve parameter is never used by them.
// Sample i lies at position i x spacing; its z is the scene depth of the track there.

#include <vector>

#include "game/BezierPath.h"

class TrackPath : public BezierPath {
public:
    // Walks the curve in n x 1000 equal parameter steps (n control points) and drops a sample
    // every 'spacing' units of the distance walked: a path of length L has int(L / spacing) + 1
    // samples, the first at the first control point. No control points: length 0, one sample.
    void resample();
    // The sample index at or before position x (clamped to the path; not a number counts as 0),
    // and the rest beyond it.
    void indexOf(float x, int& i, float& r) const;
    // The point at position x between the samples around it, as drawables take it: z 0 and y
    // squeezed by 0.8. The heading (radians in x-y) turns the short way between the samples'
    // headings; the depth is the path's z there. Below 0 and beyond the end the first or last
    // sample answers.
    void getPoint(float x, Vector3& point, float* heading = nullptr, float* depth = nullptr) const;
    // Debug view: the handles, then lines through the samples.
    void render() override;

    float length = 0.0f;
    float spacing = 8.0f;
    std::vector<Vector3> samples;
    std::vector<float> headings;
};
