#include "ui/AnimatedQuad.h"

#include <algorithm>
#include <cmath>

#include "engine/Qel.h"
#include "media/Texture.h"
#include "media/Vertex.h"

namespace {
constexpr float PI = 3.14159265358979f;
constexpr float FLAT = 0.001f;
int frameCount() { return qel ? qel->frameCount : 0; }
}  // namespace

AnimatedQuad::AnimatedQuad() = default;

void AnimatedQuad::setSegments(int n) {
    segments = std::max(n, 2);
    vertexBuffer.resize(2 * segments);
    for (int i = 0; i < 2 * segments; ++i) vertexBuffer.vertexData[i] = Vertex{0.0f, 0.0f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f};
    fitToTexture();
}

void AnimatedQuad::fitToTexture() {
    const float texW = pTexture ? float(pTexture->width) : 0.0f;
    const float texH = pTexture ? float(pTexture->height) : 0.0f;
    const float uExtent = std::fabs(texRight - texLeft) * texW;
    const float vExtent = std::fabs(texTop - texBottom) * texH;
    width = bVertical ? vExtent : uExtent;
    height = bVertical ? uExtent : vExtent;
    halfLength = width / 2.0f;
    halfThickness = height / 2.0f;
    const int n = segments;
    Vertex* v = vertexBuffer.vertexData;
    for (int i = 0; i < n; ++i) {
        const float t = float(i) / float(n - 1);
        if (bVertical) {
            const float vv = texTop + (texBottom - texTop) * t;
            v[2 * i].u = texLeft;
            v[2 * i].v = vv;
            v[2 * i + 1].u = texRight;
            v[2 * i + 1].v = vv;
        } else {
            const float u = texRight + (texLeft - texRight) * t;
            v[2 * i].u = u;
            v[2 * i].v = texTop;
            v[2 * i + 1].u = u;
            v[2 * i + 1].v = texBottom;
        }
    }
    rebuildVertices();
}

void AnimatedQuad::rebuildVertices() {
    const int n = segments;
    Vertex* v = vertexBuffer.vertexData;
    const bool flat = std::fabs(bend) < FLAT;
    if (!flat) radius = width / bend;
    for (int i = 0; i < n; ++i) {
        const float t = float(i) / float(n - 1);
        if (flat) {
            const float x = halfLength - 2.0f * halfLength * t;
            v[2 * i].x = x;
            v[2 * i].y = halfThickness;
            v[2 * i + 1].x = x;
            v[2 * i + 1].y = -halfThickness;
        } else {
            const float a = bend * (1.0f - t) - PI / 2.0f;
            const float d0 = radius - halfThickness, d1 = radius + halfThickness;
            v[2 * i].x = d0 * std::cos(a) - halfLength;
            v[2 * i].y = radius + d0 * std::sin(a);
            v[2 * i + 1].x = d1 * std::cos(a) - halfLength;
            v[2 * i + 1].y = radius + d1 * std::sin(a);
        }
        v[2 * i].z = v[2 * i + 1].z = 0.0f;
    }
    vertexBuffer.upload();
}

Vector3 AnimatedQuad::warp(const Vector3& p, float bendAngle, float arcRadius) const {
    if (std::fabs(bendAngle) < FLAT || width < 0.0001f) return p;
    const float s = (p.x + halfLength) / (2.0f * halfLength);
    const float a = bendAngle * s - PI / 2.0f;
    const float d = arcRadius - p.y;
    return Vector3(d * std::cos(a) - halfLength, arcRadius + d * std::sin(a), 0.0f);
}

Vector3 AnimatedQuad::unwarp(const Vector3& p, float bendAngle, float arcRadius) const {
    if (std::fabs(bendAngle) < FLAT || width < 0.0001f) return p;
    const float dx = p.x + halfLength, dy = p.y - arcRadius;
    const float angle = std::atan2(dy, dx);
    const float r = std::sqrt(dx * dx + dy * dy);
    float s, y;
    if (bendAngle > 0) {
        s = (angle + PI / 2.0f) / bendAngle;
        y = arcRadius - r;
    } else {
        s = (angle - PI / 2.0f) / bendAngle;
        y = arcRadius + r;
    }
    return Vector3(-halfLength + 2.0f * halfLength * s, y, 0.0f);
}

Vector3 AnimatedQuad::warpPoint(const Vector3& p) { return warp(p, bend, radius); }
Vector3 AnimatedQuad::unwarpPoint(const Vector3& p) { return unwarp(p, bend, radius); }
Vector3 AnimatedQuad::warpPointFrame(const Vector3& p) { return warp(p, previousBend, previousRadius); }

Vector3 AnimatedQuad::unwarpPointFrame(const Vector3& p) {
    if (bendFrame != frameCount()) return unwarpPoint(p);
    return unwarp(p, previousBend, previousRadius);
}

Vector3 AnimatedQuad::getCenter() const { return Vector3(-halfLength, halfThickness + 2.0f * width / PI, 0.0f); }

void AnimatedQuad::setTarget(float angle) {
    if (std::fabs(angle) < FLAT) angle = 0.0f;
    if (frameCount() != bendFrame) {
        previousBend = bend;
        previousRadius = radius;
        bendFrame = frameCount();
    }
    if (angle == bend) return;
    bend = angle;
    rebuildVertices();
}

void AnimatedQuad::addFrame(Quad* source) {
    pTexture = source->pTexture;
    fitToTexture();
    setSourceRect(source->sourceRect.left, source->sourceRect.top, source->sourceRect.bottom, source->sourceRect.right);
}
