#pragma once
// The tracks' curves, so that scenery can be laid out around them: piecewise cubic curves whose
// segment k has the control polygon P[k], P[k] + T[k], P[k+1] - T[k+1], P[k+1], sampled at equal
// arc length.

#include <vector>

namespace datagen {

struct Vec2 {
    double x = 0, y = 0;
};

class TrackGeometry {
public:
    TrackGeometry(std::vector<Vec2> points, std::vector<Vec2> tangents, double spacing = 4.0);
    // A level track from design points and absolute handles: scaled as the game scales them (z
    // gives a mild perspective), with the lead-in and lead-out stretches added.
    static TrackGeometry level(const std::vector<double>& pointsXYZ, const std::vector<double>& handlesXY);

    double length() const { return total; }
    Vec2 pointAt(double distance) const;
    double headingAt(double distance) const;
    // The shortest distance from p to the curve's samples.
    double distanceTo(Vec2 p) const;
    const std::vector<Vec2>& samples() const { return points; }

private:
    std::vector<Vec2> points;
    double step;
    double total = 0;
};

}  // namespace datagen
