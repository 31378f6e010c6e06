#include "ui/ProgressBar.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "media/Quad.h"
#include "media/Skin.h"
#include "media/Texture.h"

namespace {

// Middle of the left edge.
constexpr int kAnchorMiddleLeft = 4;

Quad* textureQuad(Texture* texture, int index) {
    if (!texture || index < 0 || index >= static_cast<int>(texture->skins.size()))
        QEL_FATAL(u"ProgressBar::ProgressBar", u"The progress bar's texture has no skin %d.", index);
    return static_cast<Quad*>(texture->skins[index]);
}

}  // namespace

ProgressBar::ProgressBar(Texture* texture, int frameSkinIndex, int fillSkinIndex)
    : pTexture(texture), fillSkinIndex(fillSkinIndex) {
    if (frameSkinIndex >= 0) pSkin = textureQuad(texture, frameSkinIndex);
    Quad* source = textureQuad(texture, fillSkinIndex);
    bSkipVisibility = true;
    fill.bSkipVisibility = true;
    fillQuad = new Quad();
    fillQuad->pTexture = texture;
    fillQuad->fitToTexture();
    fillQuad->setAnchor(kAnchorMiddleLeft);
    fill.pSkin = fillQuad;
    fill.bOwnsSkin = true;
    fill.position = Vector3(-source->width / 2.0f, 0.0f, 0.0f);
    setFraction(0.0f);
}

ProgressBar::~ProgressBar() = default;

void ProgressBar::setFraction(float f) {
    fraction = std::clamp(f, 0.0f, 1.0f);
    const Quad* source = textureQuad(pTexture, fillSkinIndex);
    const int left = source->sourceRect.left, top = source->sourceRect.top, bottom = source->sourceRect.bottom,
              right = source->sourceRect.right;
    // A crop, not a scale: the filling keeps its look at any fraction.
    fillQuad->setSourceRect(left, top, bottom, left + static_cast<int>(static_cast<float>(right - left) * fraction));
    fillQuad->setAnchor(kAnchorMiddleLeft);
    updateXform();
}

void ProgressBar::render() {
    if (bHidden) return;
    Renderable::render();
    fill.color = color;
    fill.render();
}

void ProgressBar::updateXform() {
    Renderable::updateXform();
    fill.setParentXform(worldXform);
}
