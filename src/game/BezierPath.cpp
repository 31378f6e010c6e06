#include "game/BezierPath.h"

#include <cmath>

#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/VertexBuffer.h"
#include "platform/D3DX9.h"

Vector3 BezierPath::evaluate(float t) const {
    const int n = static_cast<int>(controlPoints.size());
    if (n == 0) return {};
    if (!(t > 0.0f)) t = 0.0f;  // below the range, or not a number
    if (t > 1.0f) t = 1.0f;
    const float s = static_cast<float>(n) * t;
    int k = static_cast<int>(s);
    if (k > n - 1) k = n - 1;
    // The last part of the range holds the last point still (the cubic from a point to itself
    // would loop out along its tangent and back).
    if (k == n - 1) return controlPoints[k];
    const Vector3& tk = k < static_cast<int>(tangents.size()) ? tangents[k] : Vector3();
    const Vector3& tn = k + 1 < static_cast<int>(tangents.size()) ? tangents[k + 1] : Vector3();
    return interpolateCubic(controlPoints[k], tk, controlPoints[k + 1], tn, s - static_cast<float>(k));
}

void BezierPath::render() {
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (!g || !g->dxDevice || controlPoints.empty()) return;
    const int n = static_cast<int>(controlPoints.size());
    VertexBuffer lines(2 * n);
    for (int k = 0; k < n; ++k) {
        const Vector3& p = controlPoints[k];
        const Vector3 q = k < static_cast<int>(tangents.size()) ? p + tangents[k] : p;
        lines.vertexData[2 * k] = Vertex{p.x, p.y, p.z, 0xFF00FF00, 0.0f, 0.0f};
        lines.vertexData[2 * k + 1] = Vertex{q.x, q.y, q.z, 0xFFFFFF00, 0.0f, 0.0f};
    }
    lines.upload();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    lines.draw(nullptr, 1, 0, -1);
}
