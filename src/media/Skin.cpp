#include "media/Skin.h"

QEL_IMPLEMENT_CLASS(Skin, &QelBase::classRecord, QEL_FACTORY(Skin))

Skin::Skin() = default;
Skin::~Skin() = default;

D3DXMATRIX& Skin::applyAnchor(D3DXMATRIX& m) {
    m.m[3][0] -= originOffset.x;
    m.m[3][1] -= originOffset.y;
    m.m[3][2] -= originOffset.z;
    return m;
}

bool Skin::isPointInside(float x, float y, float) {
    return x >= -width / 2 && x < width / 2 && y >= -height / 2 && y < height / 2;
}

void Skin::drawFor(Renderable*) {}

Vector3 Skin::getCorner() { return center + Vector3(width / 2, height / 2, 0.0f); }

Vector3 Skin::warpPoint(const Vector3& point) { return point; }
Vector3 Skin::unwarpPoint(const Vector3& point) { return point; }
Vector3 Skin::warpPointFrame(const Vector3& point) { return point; }
Vector3 Skin::unwarpPointFrame(const Vector3& point) { return point; }

void Skin::setAnchor(int code) {
    float dx = 0.0f, dy = 0.0f;
    switch (code) {
        case 1: dx = -1; dy = -1; break;
        case 2: dy = -1; break;
        case 3: dx = 1; dy = -1; break;
        case 4: dx = -1; break;
        case 6: dx = 1; break;
        case 7: dx = -1; dy = 1; break;
        case 8: dy = 1; break;
        case 9: dx = 1; dy = 1; break;
        default: break;
    }
    originOffset = Vector3(center.x + dx * width / 2, center.y + dy * height / 2, center.z);
}
