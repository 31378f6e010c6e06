#include "ui/BackingPanel.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/MenuItem.h"
#include "ui/MessageViewer.h"
#include "ui/FontAccess.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/FontQuad.h"
#include "media/QelGraphics.h"
#include "media/TextTrace.h"
#include "media/VertexBuffer.h"
#include "platform/D3DX9.h"

namespace {

// Points on each rounded corner, ends included.
constexpr int kCornerPoints = 7;
constexpr int kOutline = 4 * kCornerPoints;
// Per panel: a fan over the centre and the outline (closed), then a strip from the outline out to
// the transparent edge (closed).
constexpr int kFanVertices = kOutline + 2;
constexpr int kStripVertices = 2 * kOutline + 2;
constexpr int kPanelVertices = kFanVertices + kStripVertices;
constexpr float kHalfPi = 1.57079632679f;

bool overlaps(const WorldRect& a, const WorldRect& b, float gap) {
    return a.left - gap < b.right && b.left - gap < a.right && a.bottom - gap < b.top && b.bottom - gap < a.top;
}

}  // namespace

BackingPanel::BackingPanel() { bSkipVisibility = true; }

BackingPanel::~BackingPanel() { delete pVertices; }

void BackingPanel::follow(const MessageViewer* viewer) {
    if (viewer) viewers.push_back(viewer);
}

void BackingPanel::follow(const MenuItem* row) {
    if (row) rows.push_back(row);
}

void BackingPanel::follow(const TextLabel* label) {
    if (label) labels.push_back(label);
}

void BackingPanel::cover(const WorldRect& box) { fixed.push_back(box); }

std::vector<WorldRect> BackingPanel::panels() const {
    std::vector<WorldRect> boxes;
    auto add = [&boxes](const WorldRect& r) {
        boxes.push_back(WorldRect{r.left - MARGIN_X, r.top + MARGIN_Y, r.right + MARGIN_X, r.bottom - MARGIN_Y});
    };
    for (const MessageViewer* viewer : viewers)
        if (std::optional<WorldRect> box = viewer->textBox()) add(*box);
    for (const MenuItem* row : rows)
        if (!row->bHidden) add(row->box());
    for (const WorldRect& box : fixed) add(box);
    for (const TextLabel* label : labels) {
        if (label->bHidden || label->text.empty()) continue;
        const float width = FontAccess::textWidth(label->pFont, label->text) * label->scale.x;
        const float height = float(FontAccess::lineHeight(label->pFont)) * label->scale.y;
        float left = label->position.x, top = label->position.y;
        if (label->alignment & FontQuad::ALIGN_CENTER) left -= width / 2.0f;
        if (label->alignment & FontQuad::ALIGN_RIGHT) left -= width;
        if (label->alignment & FontQuad::ALIGN_HALF_HEIGHT) top += height / 2.0f;
        if (label->alignment & FontQuad::ALIGN_HEIGHT) top += height;
        add(WorldRect{left, top, left + width, top - height});
    }

    // Boxes whose soft edges would meet become one, so that no strip is covered twice.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < boxes.size() && !joined; ++i) {
            for (size_t j = i + 1; j < boxes.size() && !joined; ++j) {
                if (!overlaps(boxes[i], boxes[j], 2.0f * FEATHER)) continue;
                WorldRect& a = boxes[i];
                const WorldRect& b = boxes[j];
                a = WorldRect{std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
                              std::min(a.bottom, b.bottom)};
                boxes.erase(boxes.begin() + std::ptrdiff_t(j));
                joined = true;
            }
        }
    }

    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    const float halfWidth = float(g ? g->layoutWidth : 800) / 2.0f;
    const float halfHeight = float(g ? g->layoutHeight : 480) / 2.0f;
    for (WorldRect& r : boxes) {
        r.left = std::max(r.left, -halfWidth);
        r.right = std::min(r.right, halfWidth);
        r.top = std::min(r.top, halfHeight);
        r.bottom = std::max(r.bottom, -halfHeight);
    }
    return boxes;
}

void BackingPanel::render() {
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (!g || !g->dxDevice) return;
    const std::vector<WorldRect> boxes = panels();
    if (boxes.empty()) return;
    // Made on the first draw, once the device exists; rewritten every frame, as the boxes follow
    // the texts.
    if (!pVertices) pVertices = new VertexBuffer();
    pVertices->resize(int(boxes.size()) * kPanelVertices);

    const uint32_t clear = COLOUR & 0x00FFFFFFu;
    Vertex* v = pVertices->vertexData;
    for (const WorldRect& r : boxes) {
        const float radius = std::min({CORNER_RADIUS, (r.right - r.left) / 2.0f, (r.top - r.bottom) / 2.0f});
        // Corner centres anticlockwise from the top right, each with its quarter turn.
        const float cx[4] = {r.right - radius, r.left + radius, r.left + radius, r.right - radius};
        const float cy[4] = {r.top - radius, r.top - radius, r.bottom + radius, r.bottom + radius};
        float ox[kOutline], oy[kOutline], dx[kOutline], dy[kOutline];
        for (int c = 0; c < 4; ++c) {
            for (int k = 0; k < kCornerPoints; ++k) {
                const float a = kHalfPi * (float(c) + float(k) / float(kCornerPoints - 1));
                const int i = c * kCornerPoints + k;
                dx[i] = std::cos(a);
                dy[i] = std::sin(a);
                ox[i] = cx[c] + radius * dx[i];
                oy[i] = cy[c] + radius * dy[i];
            }
        }
        *v++ = Vertex{(r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f, 0.0f, COLOUR, 0.0f, 0.0f};
        for (int i = 0; i <= kOutline; ++i) *v++ = Vertex{ox[i % kOutline], oy[i % kOutline], 0.0f, COLOUR, 0.0f, 0.0f};
        for (int i = 0; i <= kOutline; ++i) {
            const int k = i % kOutline;
            *v++ = Vertex{ox[k], oy[k], 0.0f, COLOUR, 0.0f, 0.0f};
            *v++ = Vertex{ox[k] + FEATHER * dx[k], oy[k] + FEATHER * dy[k], 0.0f, clear, 0.0f, 0.0f};
        }
    }
    pVertices->upload();

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    for (size_t p = 0; p < boxes.size(); ++p) {
        const int first = int(p) * kPanelVertices;
        pVertices->draw(nullptr, 5, first, kFanVertices);
        pVertices->draw(nullptr, 4, first + kFanVertices, kStripVertices);
        // Next to opaque: what the picture has beneath (its figures) does not show through.
        if (TextTrace::active) TextTrace::cover(identity, boxes[p]);
    }
}
