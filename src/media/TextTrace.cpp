#include "media/TextTrace.h"

#include <algorithm>
#include <cmath>

#include "engine/Qel.h"
#include "media/QelGraphics.h"

TextTrace::Decoration::Decoration() {
    if (active) ++active->decorationDepth;
}

TextTrace::Decoration::~Decoration() {
    if (active && active->decorationDepth > 0) --active->decorationDepth;
}

TextTrace::Owner::Owner(const void* owner, bool bInactive)
    : previous(active ? active->currentOwner : nullptr), bPreviousInactive(active && active->bOwnerInactive) {
    if (!active) return;
    active->currentOwner = owner;
    active->bOwnerInactive = bInactive;
}

TextTrace::Owner::~Owner() {
    if (!active) return;
    active->currentOwner = previous;
    active->bOwnerInactive = bPreviousInactive;
}

void TextTrace::clear() {
    texts.clear();
    figures.clear();
    covers.clear();
}

Vector3 TextTrace::toPixels(const D3DXMATRIX& world, const Vector3& local) {
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (!g || !g->dxDevice) return local;
    D3DMATRIX view{}, projection{};
    D3DVIEWPORT9 viewport;
    g->dxDevice->GetTransform(D3DTS_VIEW, &view);
    g->dxDevice->GetTransform(D3DTS_PROJECTION, &projection);
    g->dxDevice->GetViewport(&viewport);
    D3DXMATRIX all = world, v(view), p(projection);
    D3DXMatrixMultiply(&all, &all, &v);
    D3DXMatrixMultiply(&all, &all, &p);
    D3DXVECTOR3 in(local.x, local.y, local.z), out;
    D3DXVec3TransformCoord(&out, &in, &all);
    return Vector3(float(viewport.X) + (out.x + 1.0f) * 0.5f * float(viewport.Width),
                   float(viewport.Y) + (1.0f - out.y) * 0.5f * float(viewport.Height), out.z);
}

PixelBox TextTrace::boxOf(const D3DXMATRIX& world, const WorldRect& local) const {
    PixelBox box{1e30f, 1e30f, -1e30f, -1e30f};
    for (float x : {local.left, local.right})
        for (float y : {local.top, local.bottom}) {
            const Vector3 p = toPixels(world, Vector3(x, y, 0.0f));
            box.left = std::min(box.left, p.x);
            box.right = std::max(box.right, p.x);
            box.top = std::min(box.top, p.y);
            box.bottom = std::max(box.bottom, p.y);
        }
    return box;
}

bool TextTrace::onText(const D3DXMATRIX& world, float x, float y, float width, float height, float capHeight,
                       uint32_t& colour, WStringView font, WStringView text) {
    TextTrace* t = active;
    if (!t) return true;
    if (t->decorationDepth > 0) return true;
    TracedText traced;
    traced.text = WString(text);
    traced.font = WString(font);
    traced.box = t->boxOf(world, WorldRect{x, y, x + width, y - height});
    const Vector3 top = toPixels(world, Vector3(x, y, 0.0f));
    const Vector3 base = toPixels(world, Vector3(x, y - capHeight, 0.0f));
    traced.capHeight = std::hypot(base.x - top.x, base.y - top.y);
    traced.colour = colour;
    traced.owner = t->currentOwner;
    traced.bInactive = t->bOwnerInactive;
    t->texts.push_back(std::move(traced));
    if (t->keyColour) colour = t->keyColour;
    return !t->bHideTexts;
}

void TextTrace::figure(WStringView name, const D3DXMATRIX& world, const WorldRect& local) {
    if (!active) return;
    figure(name, active->boxOf(world, local));
}

void TextTrace::figure(WStringView name, const PixelBox& box) {
    if (!active) return;
    active->figures.push_back(TracedFigure{WString(name), box, active->currentOwner});
}

void TextTrace::picture(const void* skin, const D3DXMATRIX& world) {
    if (!active || !active->paintedFigures || active->decorationDepth > 0) return;
    const auto found = active->paintedFigures->find(skin);
    if (found == active->paintedFigures->end()) return;
    for (const PaintedFigure& f : found->second) {
        active->figures.push_back(TracedFigure{f.name, active->boxOf(world, f.local), nullptr, true});
    }
}

void TextTrace::cover(const D3DXMATRIX& world, const WorldRect& local) {
    if (!active) return;
    active->covers.push_back(TracedCover{active->boxOf(world, local), active->figures.size()});
}
