#include "game/TrackStrip.h"

#include <cmath>

#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/TrackPath.h"
#include "media/Quad.h"
#include "media/Texture.h"

namespace {
constexpr float kRungSpacing = 12.0f;
}

TrackStrip::TrackStrip() {
    ResourceManager* resources = qel ? qel->pResourceManager : nullptr;
    if (!resources) return;
    texture = static_cast<Texture*>(resources->find(true, u"ladder"));
    quad = new Quad();
    quad->pTexture = texture;
    quad->fitToTexture();
    pSkin = quad;
    bOwnsSkin = true;
    // The band is laid out in world coordinates: the strip itself never moves, and visibility
    // by bounds would judge the whole band by the quad's rectangle.
    bSkipVisibility = true;
}

void TrackStrip::build(const TrackPath& path, float length) {
    if (!quad) return;
    VertexBuffer& buffer = quad->vertexBuffer;
    const float rungsExact = std::isfinite(length) && length >= 0.0f ? length / kRungSpacing + 2.0f : 0.0f;
    const int rungs = rungsExact < static_cast<float>(VertexBuffer::maxVertices / 2) ? static_cast<int>(rungsExact) : 0;
    buffer.resize(2 * rungs);
    if (rungs == 0) return;
    const Skin* first = texture && !texture->skins.empty() ? texture->skins[0] : nullptr;
    const float half = first ? first->height / 2.0f : 0.0f;
    const float textureWidth = texture && texture->width > 0 ? static_cast<float>(texture->width) : 1.0f;
    const float textureHeight = texture && texture->height > 0 ? static_cast<float>(texture->height) : 1.0f;
    const float vBottom = first ? first->height / textureHeight : 1.0f;
    for (int v = 0; v < 2 * rungs; ++v) {
        const float along = static_cast<float>(v / 2) * kRungSpacing;
        Vector3 point;
        float heading = 0.0f;
        path.getPoint(along < length ? along : length, point, &heading);
        const bool even = v % 2 == 0;
        const float angle = heading + (even ? 1.5707964f : -1.5707964f);
        buffer.vertexData[v] = Vertex{point.x + std::cos(angle) * half, point.y + std::sin(angle) * half, 0.0f, 0xFFFFFFFF,
                                      along / textureWidth, even ? 0.0f : vBottom};
    }
    buffer.upload();
}

void TrackStrip::render() {
    if (!quad || quad->vertexBuffer.vertices == 0) return;
    Renderable::render();
}
