#include "game/TrackPath.h"

#include <cmath>

#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/VertexBuffer.h"
#include "platform/D3DX9.h"

void TrackPath::resample() {
    samples.clear();
    headings.clear();
    length = 0.0f;
    const int n = static_cast<int>(controlPoints.size());
    if (n == 0) {
        samples.push_back(Vector3());
        headings.push_back(0.0f);
        return;
    }
    const Vector3 first = controlPoints[0];
    const Vector3 firstTangent = tangents.empty() ? Vector3() : tangents[0];
    samples.push_back(first);
    headings.push_back(std::atan2(firstTangent.y, firstTangent.x));
    // The parameter of each step comes from its number, so the walk ends exactly at t = 1.
    const int steps = n * 1000;
    float walked = 0.0f;
    float nextSample = spacing;
    Vector3 previous = first;
    for (int step = 1; step <= steps; ++step) {
        const float t = static_cast<float>(step) / static_cast<float>(steps);
        const Vector3 p = evaluate(t);
        const float walkedNew = walked + Vector3::distance(p, previous);
        // A step longer than the spacing passes more than one sample point.
        while (spacing > 0.0f && walkedNew >= nextSample) {
            const float f = walkedNew > walked ? (nextSample - walked) / (walkedNew - walked) : 0.0f;
            samples.push_back(previous + (p - previous) * f);
            headings.push_back(std::atan2(p.y - previous.y, p.x - previous.x));
            nextSample += spacing;
        }
        previous = p;
        walked = walkedNew;
    }
    length = walked;
}

void TrackPath::indexOf(float x, int& i, float& r) const {
    if (!std::isfinite(x) || x < 0.0f) x = 0.0f;
    if (x > length) x = length;
    i = spacing > 0.0f ? static_cast<int>(x / spacing) : 0;
    r = x - static_cast<float>(i) * spacing;
}

void TrackPath::getPoint(float x, Vector3& point, float* heading, float* depth) const {
    if (samples.empty()) {
        point = Vector3();
        if (heading) *heading = 0.0f;
        if (depth) *depth = 0.0f;
        return;
    }
    int i = 0;
    float r = 0.0f;
    indexOf(x, i, r);
    const int last = static_cast<int>(samples.size()) - 1;
    const int a = i < last ? i : last;
    const int b = i + 1 < last ? i + 1 : last;
    const float f = spacing > 0.0f ? r / spacing : 0.0f;
    const Vector3 p = samples[a] + (samples[b] - samples[a]) * f;
    if (depth) *depth = p.z;
    point = Vector3(p.x, p.y * 0.8f, 0.0f);
    if (heading) {
        const int headingCount = static_cast<int>(headings.size());
        const float ha = a < headingCount ? headings[a] : 0.0f;
        const float hb = b < headingCount ? headings[b] : ha;
        *heading = ha + angleDifference(ha, hb) * f;
    }
}

void TrackPath::render() {
    BezierPath::render();
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (!g || !g->dxDevice || samples.size() < 2) return;
    // Where the cars run: the samples as drawables see them, with a tick across every tenth.
    const int n = static_cast<int>(samples.size());
    VertexBuffer strip(n);
    for (int i = 0; i < n; ++i) strip.vertexData[i] = Vertex{samples[i].x, samples[i].y * 0.8f, 0.0f, 0xFFFF00FF, 0.0f, 0.0f};
    strip.upload();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    strip.draw(nullptr, 2, 0, -1);
    const int ticks = (n + 9) / 10;
    VertexBuffer marks(2 * ticks);
    for (int k = 0; k < ticks; ++k) {
        const int i = k * 10;
        const float h = i < static_cast<int>(headings.size()) ? headings[i] : 0.0f;
        const float dx = -std::sin(h) * 6.0f, dy = std::cos(h) * 6.0f * 0.8f;
        const Vector3 p(samples[i].x, samples[i].y * 0.8f, 0.0f);
        marks.vertexData[2 * k] = Vertex{p.x - dx, p.y - dy, 0.0f, 0xFF00FFFF, 0.0f, 0.0f};
        marks.vertexData[2 * k + 1] = Vertex{p.x + dx, p.y + dy, 0.0f, 0xFF00FFFF, 0.0f, 0.0f};
    }
    marks.upload();
    marks.draw(nullptr, 1, 0, -1);
}
