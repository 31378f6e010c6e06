#include "game/SpeechArrow.h"

#include <algorithm>

#include "ui/FontAccess.h"
#include "ui/FrameSkin.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/Hud.h"
#include "menus/OutlinedText.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"

namespace {
// Bottom middle: the frame's position is the middle of its lower edge, as the arrow's is its tip.
constexpr int kAnchorBottomMiddle = 2;

// Room the frame keeps from the screen's side edges.
constexpr float kSideMargin = 4.0f;

int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }
}  // namespace

SpeechArrow::SpeechArrow() {
    if (qel && qel->pResourceManager) {
        QelBase* source = qel->pResourceManager->find(true, u"speechArrow:0");
        pFrame = new FrameSkin(FrameSkin::sourceQuad(source, u"speechArrow:0"));
        pFrame->setRect(10, 10, 10, 10);
        pFrame->setAnchor(kAnchorBottomMiddle);
        pSkin = pFrame;
        bOwnsSkin = true;
        arrow.pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, u"speechArrow:1"));
    }
    bSkipVisibility = true;
    arrow.bSkipVisibility = true;
    setColour(DEFAULT_COLOUR);
}

SpeechArrow::~SpeechArrow() = default;

void SpeechArrow::setColour(uint32_t colour) {
    color = colour;
    arrow.color = colour;
}

void SpeechArrow::setText(WStringView newText) {
    text = WString(newText);
    const float w = FontAccess::textWidth(Hud::textFont(), text);
    const float h = float(FontAccess::lineHeight(Hud::textFont()));
    if (pFrame) {
        pFrame->setSize(w + 16.0f, h + 16.0f);
        pFrame->setAnchor(kAnchorBottomMiddle);
    }
    updateXform();
}

void SpeechArrow::pointAt(float x, float y, float z) {
    const float frameHeight = pFrame ? pFrame->height : 0.0f;
    const float arrowHeight = arrow.pSkin ? arrow.pSkin->height : 0.0f;
    arrow.position = Vector3(x, y, z);
    // Near a side edge the frame slides along it, whole on the screen; the arrow stays on the point.
    const float reach = float(layoutWidth()) / 2.0f - kSideMargin - (pFrame ? pFrame->width : 0.0f) / 2.0f;
    const float frameX = reach > 0.0f ? std::clamp(x, -reach, reach) : x;
    if (y > float(layoutHeight()) / 2.0f - 64.0f) {
        arrow.scale = Vector3(1.0f, -1.0f, 1.0f);
        position = Vector3(frameX, y - (frameHeight + arrowHeight - 4.0f), z);
    } else {
        arrow.scale = Vector3(1.0f, 1.0f, 1.0f);
        position = Vector3(frameX, y + (arrowHeight - 4.0f), z);
    }
    arrow.updateXform();
    updateXform();
}

void SpeechArrow::render() {
    if (bHidden || text.empty()) return;
    Renderable::render();
    arrow.render();
    Renderable at;
    const float frameHeight = pFrame ? pFrame->height : 0.0f;
    at.position = Vector3(position.x, position.y + frameHeight / 2.0f, position.z);
    at.color = (color & 0xFF000000u) | (scaleColorRGB(color, 0.5f) & 0x00FFFFFFu);
    at.updateXform();
    // The text at half strength reads too weakly on the frame in its own full colour: the solid rim
    // of black or white, whichever stands out more from it, lifts it.
    OutlinedText::drawSolid(Hud::textFont(), &at, 20, text, OutlinedText::contrastingRim(at.color));
}
