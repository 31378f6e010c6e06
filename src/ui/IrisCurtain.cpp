#include "ui/IrisCurtain.h"

#include <algorithm>
#include <cmath>

#include "ui/Global.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/VertexBuffer.h"

namespace {

constexpr int kSteps = 128;
constexpr int kVertices = 2 * kSteps + 2;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

IrisCurtain::IrisCurtain() {
    bSkipVisibility = true;
}

IrisCurtain::~IrisCurtain() {
    delete pEdge;
    delete pRing;
}

void IrisCurtain::update(double t, double dt) {
    Renderable::update(t, dt);
    const float step = static_cast<float>(dt);
    if (closedness < targetClosedness) closedness = std::min(closedness + step, targetClosedness);
    else if (closedness > targetClosedness) closedness = std::max(closedness - step, targetClosedness);
}

float IrisCurtain::outerRadius(int layoutWidth, int layoutHeight) {
    const float w = static_cast<float>(layoutWidth / 2), h = static_cast<float>(layoutHeight / 2);
    return std::sqrt(w * w + h * h) + 32.0f;
}

float IrisCurtain::holeRadius(float closedness, int layoutWidth, int layoutHeight) {
    const float R = outerRadius(layoutWidth, layoutHeight);
    return interpolateVector(Vector3(R, 0, 0), Vector3(0, 0, 0), closedness, 4).x;
}

void IrisCurtain::render() {
    if (closedness == 0.0f) return;
    QelGraphics* graphics = qel ? qel->pQelGraphics : nullptr;
    if (!graphics || !graphics->dxDevice) return;
    IDirect3DDevice9* device = graphics->dxDevice;
    // The buffers are made on the first draw, once the device exists.
    if (!pRing) {
        pEdge = new VertexBuffer(kVertices);
        pRing = new VertexBuffer(kVertices);
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);

    const float R = outerRadius(graphics->layoutWidth, graphics->layoutHeight);
    const float r = holeRadius(closedness, graphics->layoutWidth, graphics->layoutHeight);
    const float inner = std::max(r - 32.0f, 0.0f);
    auto angle = [this](int i) { return static_cast<float>(i * kTwoPi / kSteps) - 4.0f * closedness; };
    auto wobble = [](int i) { return 1.3f + 0.3f * static_cast<float>(std::sin(i * kTwoPi / 21.333333333333332)); };
    auto put = [](Vertex& v, float a, float radius, uint32_t colour) {
        v = Vertex{std::cos(a) * radius, std::sin(a) * radius, 0.0f, colour, 0.0f, 0.0f};
    };

    if (game && game->gameConfiguration.detailLevel > 0) {
        // A 32-unit gradient from transparent inside to black at the hole's edge.
        for (int i = 0; i < kSteps; ++i) {
            put(pEdge->vertexData[2 * i], angle(i), r * wobble(i), 0xFF000000u);
            put(pEdge->vertexData[2 * i + 1], angle(i), inner * wobble(i), 0x00000000u);
        }
        pEdge->vertexData[2 * kSteps] = pEdge->vertexData[0];
        pEdge->vertexData[2 * kSteps + 1] = pEdge->vertexData[1];
        pEdge->upload();
        pEdge->draw(nullptr, 4, 0, kVertices);
    }

    for (int i = 0; i <= kSteps; ++i) {
        put(pRing->vertexData[2 * i], angle(i), R, 0xFF000000u);
        put(pRing->vertexData[2 * i + 1], angle(i), r * wobble(i), 0xFF000000u);
    }
    pRing->upload();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    pRing->draw(nullptr, 4, 0, kVertices);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
}
