#pragma once
// A piecewise cubic curve through control points: the piece from point k to point k + 1 has the
// control polygon P[k], P[k] + T[k], P[k+1] - T[k+1], P[k+1], T being the points' tangents.

#include <vector>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class BezierPath : public QelBase {
public:
    // The point at parameter t in [0, 1]: the n points share the range in n equal parts, so the
    // last part stays at the last point. t outside the range (or not a number) is clamped.
    Vector3 evaluate(float t) const;
    // Debug view: each point's handle, a line from the point (green) to point + tangent (yellow).
    void render() override;

    std::vector<Vector3> controlPoints;
    std::vector<Vector3> tangents;
};
