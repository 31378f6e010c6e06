#pragma once
// Small arithmetic, colours, vectors and easing curves, all in single precision.

#include <cstdint>

struct Vector3 {
    float x = 0, y = 0, z = 0;

    Vector3() = default;
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    float length() const;
    static float distance(const Vector3& a, const Vector3& b);

    Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Vector3& o) const = default;
};

float remap(float outLow, float outHigh, float inLow, float inHigh, float v);
float remapClamped(float outLow, float outHigh, float inLow, float inHigh, float v);
float inverseLerpClamped(float a, float b, float v);
float lerpClamped(float a, float b, float t);
// Each 8-bit channel a + (b - a) * t, truncated; t is not clamped.
uint32_t lerpColor(uint32_t a, uint32_t b, float t);
bool isWithinRadius(const Vector3& p, const Vector3& q, float r);
Vector3 normalizeVector(const Vector3& v);
// The remainder of a / b with the sign of a (C's fmod).
float floatMod(float a, float b);
// The signed difference b - a of two angles (radians), the shorter way round: within one half turn.
float angleDifference(float a, float b);

// Easing types of interpolateVector.
enum InterpolationType : int {
    INTERPOLATE_LINEAR = 1,
    INTERPOLATE_QUADRATIC_IN = 2,
    INTERPOLATE_QUADRATIC_OUT = 3,
    INTERPOLATE_SINE_OUT = 4,
    INTERPOLATE_SINE_IN = 5,
    INTERPOLATE_SINE_INOUT = 6,
    INTERPOLATE_SINE_THEREANDBACK = 7,
    INTERPOLATE_LINEAR_THEREANDBACK = 8,
    INTERPOLATE_PARABOLIC_THEREANDBACK = 9,
    INTERPOLATE_WOBBLE_1 = 10,
    INTERPOLATE_WOBBLE_2 = 11,
    INTERPOLATE_WOBBLE_3 = 12,
    INTERPOLATE_WOBBLE_4 = 13,
    INTERPOLATE_WOBBLE_1_REVERSED = 14,
    INTERPOLATE_WOBBLE_2_REVERSED = 15,
    INTERPOLATE_WOBBLE_3_REVERSED = 16,
    INTERPOLATE_SMOOTH = 17,
};

// from + (to - from) * e(t), t clamped to [0, 1]; type 0 is linear; a type above 17 leaves
// 'result' as it was.
void interpolateVector(Vector3& result, const Vector3& from, const Vector3& to, float t, int type);
Vector3 interpolateVector(const Vector3& from, const Vector3& to, float t, int type);
// The cubic Bezier curve through p0 and p3 with control points p0 + t0 and p3 - t3.
Vector3 interpolateCubic(const Vector3& p0, const Vector3& t0, const Vector3& p3, const Vector3& t3, float t);
