#include "datagen/TrackGeometry.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

Vec2 cubic(Vec2 a, Vec2 b, Vec2 c, Vec2 d, double t) {
    const double u = 1 - t;
    return {u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
            u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y};
}

}  // namespace

TrackGeometry::TrackGeometry(std::vector<Vec2> p, std::vector<Vec2> tan, double spacing) : step(spacing) {
    const size_t n = p.size();
    std::vector<Vec2> dense;
    for (size_t k = 0; k + 1 < n; ++k) {
        const Vec2 b{p[k].x + tan[k].x, p[k].y + tan[k].y}, c{p[k + 1].x - tan[k + 1].x, p[k + 1].y - tan[k + 1].y};
        for (int i = 0; i < 400; ++i) dense.push_back(cubic(p[k], b, c, p[k + 1], i / 400.0));
    }
    dense.push_back(p.back());
    points.push_back(dense.front());
    double walked = 0, next = step;
    for (size_t i = 1; i < dense.size(); ++i) {
        const double d = std::hypot(dense[i].x - dense[i - 1].x, dense[i].y - dense[i - 1].y);
        while (d > 0 && walked + d >= next) {
            const double f = (next - walked) / d;
            points.push_back({dense[i - 1].x + (dense[i].x - dense[i - 1].x) * f, dense[i - 1].y + (dense[i].y - dense[i - 1].y) * f});
            next += step;
        }
        walked += d;
    }
    total = walked;
}

TrackGeometry TrackGeometry::level(const std::vector<double>& xyz, const std::vector<double>& handles) {
    std::vector<Vec2> p, t;
    for (size_t i = 0; i * 3 < xyz.size(); ++i) {
        const double z = -xyz[i * 3 + 2];
        const double k = 3.125 * (1.015 + 0.25 * (400 / (z + 400) - 1));
        const Vec2 point{k * xyz[i * 3], k * xyz[i * 3 + 1]};
        p.push_back(point);
        t.push_back({k * handles[i * 2] - point.x, k * handles[i * 2 + 1] - point.y});
    }
    auto unit = [](Vec2 v) {
        const double l = std::hypot(v.x, v.y);
        return l > 0 ? Vec2{v.x / l, v.y / l} : Vec2{1, 0};
    };
    const Vec2 u0 = unit(t.front()), u1 = unit(t.back());
    p.insert(p.begin(), Vec2{p.front().x - 250 * u0.x, p.front().y - 250 * u0.y});
    t.insert(t.begin(), u0);
    p.push_back({p.back().x + 350 * u1.x, p.back().y + 350 * u1.y});
    t.push_back(u1);
    return TrackGeometry(p, t);
}

Vec2 TrackGeometry::pointAt(double distance) const {
    const double x = std::clamp(distance, 0.0, static_cast<double>(points.size() - 1) * step);
    const size_t i = std::min(points.size() - 1, static_cast<size_t>(x / step));
    const size_t j = std::min(points.size() - 1, i + 1);
    const double f = x / step - i;
    return {points[i].x + (points[j].x - points[i].x) * f, points[i].y + (points[j].y - points[i].y) * f};
}

double TrackGeometry::headingAt(double distance) const {
    const Vec2 a = pointAt(distance - step), b = pointAt(distance + step);
    return std::atan2(b.y - a.y, b.x - a.x);
}

double TrackGeometry::distanceTo(Vec2 p) const {
    double best = 1e18;
    for (const Vec2& s : points) best = std::min(best, (s.x - p.x) * (s.x - p.x) + (s.y - p.y) * (s.y - p.y));
    return std::sqrt(best);
}

}  // namespace datagen
