#include "engine/MathUtil.h"

#include <cmath>

float Vector3::length() const { return std::sqrt(x * x + y * y + z * z); }
float Vector3::distance(const Vector3& a, const Vector3& b) { return (a - b).length(); }

float remap(float outLow, float outHigh, float inLow, float inHigh, float v) {
    const float w = inLow == inHigh ? 0.0f : (v - inLow) / (inHigh - inLow);
    return outLow + (outHigh - outLow) * w;
}

float remapClamped(float outLow, float outHigh, float inLow, float inHigh, float v) {
    float w = inLow == inHigh ? 0.0f : (v - inLow) / (inHigh - inLow);
    w = w < 0 ? 0 : w > 1 ? 1 : w;
    return outLow + (outHigh - outLow) * w;
}

float inverseLerpClamped(float a, float b, float v) {
    if (a == b) return 0;
    const float w = (v - a) / (b - a);
    return w < 0 ? 0 : w > 1 ? 1 : w;
}

float lerpClamped(float a, float b, float t) {
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return a + (b - a) * t;
}

uint32_t lerpColor(uint32_t a, uint32_t b, float t) {
    uint32_t result = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const float ca = static_cast<float>((a >> shift) & 0xFF);
        const float cb = static_cast<float>((b >> shift) & 0xFF);
        const float v = ca + (cb - ca) * t;
        // Truncate toward zero; keep the low 8 bits of the integer (as the game always did).
        const int64_t i = std::isfinite(v) && std::fabs(v) < 2147483647.0f ? static_cast<int64_t>(v) : 0;
        result |= (static_cast<uint32_t>(i) & 0xFFu) << shift;
    }
    return result;
}

bool isWithinRadius(const Vector3& p, const Vector3& q, float r) {
    const Vector3 d = p - q;
    return r * r > d.x * d.x + d.y * d.y + d.z * d.z;
}

Vector3 normalizeVector(const Vector3& v) {
    const float len = v.length();
    if (len == 0) return {};
    const float inv = 1.0f / len;
    return v * inv;
}

float floatMod(float a, float b) { return std::fmod(a, b); }

float angleDifference(float a, float b) {
    constexpr float twoPi = 6.2831855f, pi = 3.1415927f;
    auto reduce = [](float x) {
        float r = floatMod(x, twoPi);
        return x < 0 ? r + twoPi : r;
    };
    const float ra = reduce(a), rb = reduce(b);
    if (ra == rb) return 0.0f;
    if (rb > ra) return rb - ra < pi ? rb - ra : rb - ra - twoPi;
    return ra - rb < pi ? rb - ra : rb - ra + twoPi;
}

namespace {

float eased(float a, float t, int type) {
    const float b = 1.0f - a;
    constexpr float halfPi = 1.5707964f, pi = 3.1415927f, threeHalfPi = 4.712389f, twoPi = 6.2831855f;
    switch (type) {
        case 0:
        case 1: return a;
        case 2: return a * a;
        case 3: return 1.0f - b * b;
        case 4: return std::sin(a * halfPi);
        case 5: return std::sin(a * halfPi + threeHalfPi) + 1.0f;
        case 6: return std::sin(a * pi + threeHalfPi) * 0.5f + 0.5f;
        case 7: return std::sin(a * pi);
        case 8: return t < 0.5f ? 2.0f * a : 2.0f * b;
        case 9: {
            const float c = 1.0f - 2.0f * a;
            return 1.0f - c * c;
        }
        case 10: return a + static_cast<float>(std::sin(twoPi * a) * 0.03978873466575142);
        case 11: return a + static_cast<float>(std::sin(twoPi * a) * 0.07957746933150284);
        case 12: return a + static_cast<float>(std::sin(twoPi * a) * 0.11936620399725427);
        case 13: return a + static_cast<float>(std::sin(twoPi * a) * 0.15915493866300567);
        case 14: return a + static_cast<float>(std::sin(twoPi * a + pi) * 0.03978873466575142);
        case 15: return a + static_cast<float>(std::sin(twoPi * a + pi) * 0.07957746933150284);
        case 16: return a + static_cast<float>(std::sin(twoPi * a + pi) * 0.11936620399725427);
        case 17: return a + static_cast<float>(std::sin(twoPi * a + pi) * 0.15915493866300567);
        default: return a;
    }
}

}  // namespace

void interpolateVector(Vector3& result, const Vector3& from, const Vector3& to, float t, int type) {
    if (type < 0 || type > 17) return;
    const float a = t < 0 ? 0.0f : t > 1 ? 1.0f : t;
    const float e = eased(a, t, type);
    result = Vector3(from.x + (to.x - from.x) * e, from.y + (to.y - from.y) * e, from.z + (to.z - from.z) * e);
}

Vector3 interpolateVector(const Vector3& from, const Vector3& to, float t, int type) {
    Vector3 r = from;
    interpolateVector(r, from, to, t, type);
    return r;
}

Vector3 interpolateCubic(const Vector3& p0, const Vector3& t0, const Vector3& p3, const Vector3& t3, float t) {
    const Vector3 p1 = p0 + t0;
    const Vector3 p2 = p3 - t3;
    const Vector3 a = interpolateVector(p0, p1, t, 1);
    const Vector3 b = interpolateVector(p1, p2, t, 1);
    const Vector3 c = interpolateVector(p2, p3, t, 1);
    const Vector3 d = interpolateVector(a, b, t, 1);
    const Vector3 e = interpolateVector(b, c, t, 1);
    return interpolateVector(d, e, t, 1);
}
