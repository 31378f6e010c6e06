#include "ui/MenuItem.h"

#include <algorithm>
#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextMenu.h"
#include "ui/FontAccess.h"
#include "ui/FrameSkin.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/FontQuad.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "media/Sound.h"
#include "media/TextTrace.h"
#include "media/TouchPoint.h"

namespace {
QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }
int layoutHeight() { return graphics() ? graphics()->layoutHeight : 480; }
int layoutWidth() { return graphics() ? graphics()->layoutWidth : 800; }

// A renderable used for one draw at a position, colour and scale.
void drawTextAt(FontQuad* font, const Vector3& pos, const Vector3& scale, uint32_t colour, int flags, WStringView text,
                bool shadow) {
    Renderable at;
    at.position = pos;
    at.scale = scale;
    at.color = colour;
    at.updateXform();
    if (shadow) {
        FontAccess::drawShadowed(font, &at, flags, Vector3(0.0f, -4.0f, 0.0f), 0x40000000, text);
    } else {
        FontAccess::drawAligned(font, &at, flags, text);
    }
}
}  // namespace

MenuItem::MenuItem(float x, float y, float z, WStringView caption, WStringView hint)
    : captionLocation(ContextMenu::layoutInt(1)), caption(caption), hint(hint) {
    QelGraphics* g = graphics();
    const bool small = g && g->presentationScale.x > 0.0f && g->presentationScale.x < 0.5f;
    pFont = small ? AppLink::fontSmall() : AppLink::fontMedium();
    if (AppText::rightToLeft()) x = -x;
    position = Vector3(x, y, z);
    highlight.position = position;
    setFrame(u"gui-game-editbox", 10, 0, 0, 10);
    setWidth(256);
    bHasInvXform = true;
    updateXform();
    highlight.updateXform();
}

MenuItem::~MenuItem() = default;

void MenuItem::playSound(const char16_t* name, bool randomPitch, float pitch) {
    if (!qel || !qel->pResourceManager) return;
    QelBase* r = qel->pResourceManager->find(false, name);
    if (!r || !r->isKindOf(&Sound::classRecord)) return;
    auto* sound = static_cast<Sound*>(r);
    if (randomPitch) {
        sound->playRandomPitch();
    } else {
        sound->playPitch(pitch);
    }
}

void MenuItem::setFrame(WStringView textureName, int left, int top, int bottom, int right) {
    frameTexture = WString(textureName);
    frameBorders[0] = left;
    frameBorders[1] = top;
    frameBorders[2] = bottom;
    frameBorders[3] = right;
    if (!qel || !qel->pResourceManager) return;
    auto* texture = static_cast<Texture*>(qel->pResourceManager->find(true, frameTexture));
    if (texture->skins.size() < 2)
        QEL_FATAL(u"MenuItem::setFrame", u"Texture '%s' has %d skins; a frame needs two.", frameTexture,
                  int(texture->skins.size()));
    auto makeFrame = [&](Renderable& r, int skin) {
        if (r.pSkin && r.bOwnsSkin) r.pSkin->release();
        auto* frame = new FrameSkin(FrameSkin::sourceQuad(texture->skins[size_t(skin)], frameTexture));
        frame->setRect(left, top, bottom, right);
        r.pSkin = frame;
        r.bOwnsSkin = true;
    };
    makeFrame(*this, 0);
    makeFrame(highlight, 1);
    // A third skin, when the art has one, is how the frame looks while the item is disabled.
    if (texture->skins.size() > 2) {
        makeFrame(disabledFrame, 2);
    } else if (disabledFrame.pSkin) {
        if (disabledFrame.bOwnsSkin) disabledFrame.pSkin->release();
        disabledFrame.pSkin = nullptr;
    }
    frameWidth = pSkin->width;
    frameHeight = pSkin->height;
    updateXform();
    highlight.updateXform();
}

void MenuItem::setWidth(int width) {
    frameWidth = float(width);
    for (Renderable* r : {static_cast<Renderable*>(this), &highlight, &disabledFrame}) {
        if (!r->pSkin) continue;
        static_cast<FrameSkin*>(r->pSkin)->setSize(float(width), -1.0f);
        r->updateXform();
    }
    if (pSkin) frameHeight = pSkin->height;
    updateXform();
}

void MenuItem::setSpeechStyle() {
    setFrame(u"gui-game-button-speech", 20, 0, 0, 20);
    highlight.position = position;
    normalColour = 0xFF606D80;
    highlightColour = 0xFFFFFFFF;
    disabledColour = scaleColorRGB(color, 0.75f);
    bShadow = false;
}

float MenuItem::fitCaption(float textWidth) const {
    // The caption keeps off the frame's ends: half a height each, or the frame's side borders
    // where they are wider (a button's holly lies in them).
    const float room = frameWidth - std::max(frameHeight, float(frameBorders[0] + frameBorders[3]));
    if (frameWidth > frameHeight + 10.0f && textWidth > room) return room / textWidth;
    return 1.0f;
}

float MenuItem::sideCaptionFit(float textWidth) const {
    if (captionLocation != 4 && captionLocation != 6) return 1.0f;
    const float anchor = captionLocation == 4 ? position.x - frameWidth / 2 - 5 : position.x + frameWidth / 2 + 5;
    float room = float(layoutWidth()) / 2.0f - SCREEN_MARGIN - (captionLocation == 4 ? -anchor : anchor);
    if (captionRoom > 0.0f) room = std::min(room, captionRoom);
    const float width = textWidth * scale.x;
    if (width <= room || width <= 0.0f) return 1.0f;
    return room > 0.0f ? room / width : 0.0f;
}

WorldRect MenuItem::box() const {
    const float halfWidth = frameWidth * baseScale / 2.0f, halfHeight = frameHeight * baseScale / 2.0f;
    WorldRect r{position.x - halfWidth, position.y + halfHeight, position.x + halfWidth, position.y - halfHeight};
    if (caption.empty()) return r;
    const float raw = FontAccess::textWidth(pFont, caption);
    const float width = raw * baseScale * sideCaptionFit(raw);
    const float height = float(FontAccess::lineHeight(pFont)) * baseScale;
    // As render places the caption: beside the frame centred on its middle, or on its top edge.
    switch (captionLocation) {
        case 4:
            r.left = std::min(r.left, position.x - frameWidth / 2 - 5 - width);
            r.top = std::max(r.top, position.y + height / 2);
            r.bottom = std::min(r.bottom, position.y - height / 2);
            break;
        case 6:
            r.right = std::max(r.right, position.x + frameWidth / 2 + 5 + width);
            r.top = std::max(r.top, position.y + height / 2);
            r.bottom = std::min(r.bottom, position.y - height / 2);
            break;
        case 8:
            r.left = std::min(r.left, position.x - width / 2);
            r.right = std::max(r.right, position.x + width / 2);
            r.top = std::max(r.top, position.y + frameHeight / 2 + 5 + height);
            break;
        default:  // inside the frame
            break;
    }
    return r;
}

bool MenuItem::isInsideFrame(float x, float y) const {
    return x >= -frameWidth / 2 && x < frameWidth / 2 && y >= -frameHeight / 2 && y < frameHeight / 2;
}

Vector3 MenuItem::getNavigationPoint(int index) {
    if (index != 0) return endOfPoints();
    Context* context = static_cast<Context*>(nullptr);
    for (BasicLink* o = owner; o; o = o->owner) {
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) {
            context = static_cast<Context*>(o);
            break;
        }
    }
    return ContextMenu::worldToPointer(context, Vector3(position.x, position.y - frameHeight / 4.0f, position.z));
}

void MenuItem::update(double time, double dt) {
    updateChildren(time, dt);
    Context* context = qel ? qel->pCurrentContext : nullptr;
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (context) {
        const float px = (context->pointerWorldPos[0] - position.x) / baseScale;
        const float py = (context->pointerWorldPos[1] - position.y) / baseScale;
        bHovered = isInsideFrame(px, py);
    }
    if (bForceHover) bHovered = true;

    TouchPoint* first = in ? in->getTouch(0) : nullptr;
    if (in && in->inputMode == INPUTMODE_TOUCH) {
        hoverFade = (bHovered && first && (first->bHeld || first->bPressed)) ? 1.0 : 0.0;
    } else {
        hoverFade += (bHovered ? 4.0 : -4.0) * dt;
    }
    if (hoverFade < 0) hoverFade = 0;
    if (hoverFade > 1) hoverFade = 1;

    pressBounce -= float(4.0 * dt);
    if (pressBounce < 0) pressBounce = 0;
    if (bHovered && !bDisabled && in && in->isAnyTouchPressed()) pressBounce = 1.0f;

    const float s = 1.0f + 0.15f * std::sin(-2.0f * 3.14159265f * pressBounce) * pressBounce;
    if (s != lastSquash) {
        lastSquash = s;
        scale = Vector3(s * baseScale, baseScale / s, 1.0f);
        updateXform();
    }
    captionColour = bDisabled ? disabledColour : lerpColor(normalColour, highlightColour, float(hoverFade));
}

bool MenuItem::onTopScreen() const {
    Context* top = game && game->pContextManager ? game->pContextManager->getTopContext() : nullptr;
    for (BasicLink* o = owner; o; o = o->owner)
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) return !top || o == top;
    return true;
}

void MenuItem::render() {
    if (bHidden) return;
    TextTrace::Owner mine(this, bDisabled);
    if (TextTrace::active && pSkin && onTopScreen())
        TextTrace::figure(u"item", worldXform,
                          WorldRect{-frameWidth / 2.0f, frameHeight / 2.0f, frameWidth / 2.0f, -frameHeight / 2.0f});
    if (bShadow && graphics() && graphics()->bHighDetail && pSkin) {
        Renderable shadow;
        shadow.pSkin = pSkin;
        shadow.position = Vector3(position.x, position.y - 4.0f, position.z);
        shadow.scale = scale;
        shadow.color = 0x40000000;
        shadow.updateXform();
        shadow.render();
    }
    Renderable::render();
    if (bDisabled && disabledFrame.pSkin) {
        disabledFrame.worldXform = worldXform;
        disabledFrame.color = color;
        disabledFrame.render();
    }
    if (!bDisabled && hoverFade > 0) {
        highlight.scale = scale;
        highlight.color = (highlight.color & 0x00FFFFFF) | (uint32_t(hoverFade * 255.0) << 24);
        highlight.updateXform();
        highlight.render();
    }
    drawContents(position.x, position.y, position.z);
    if (bHovered) {
        // Centred on the bottom edge and raised by its own line height: the glyphs hang down from
        // the point they are drawn at, so without the lift the hint would lie below the screen.
        // Dark, like the other lines drawn straight on the snowy pictures behind the menus.
        const WString& shown = bDisabled ? disabledHint : hint;
        drawTextAt(AppLink::fontSmall(), Vector3(0.0f, 2.0f - float(layoutHeight()) / 2.0f, 0.0f), Vector3(1, 1, 1),
                   HINT_COLOUR, FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HEIGHT, shown, false);
    }
    Vector3 offset;
    int flags = 0;
    Vector3 captionScale = scale;
    switch (captionLocation) {
        case 4: {
            offset.x = -(frameWidth / 2) - 5;
            flags = 24;
            const float f = sideCaptionFit(FontAccess::textWidth(pFont, caption));
            captionScale = Vector3(scale.x * f, scale.y * f, scale.z);
            break;
        }
        case 5: {
            flags = 20;
            const float f = fitCaption(FontAccess::textWidth(pFont, caption));
            captionScale = Vector3(scale.x * f, scale.y * f, scale.z);
            break;
        }
        case 6: {
            offset.x = frameWidth / 2 + 5;
            flags = 18;
            const float f = sideCaptionFit(FontAccess::textWidth(pFont, caption));
            captionScale = Vector3(scale.x * f, scale.y * f, scale.z);
            break;
        }
        case 8:
            offset.y = frameHeight / 2 + 5;
            flags = 36;
            break;
        default:
            QEL_FATAL(u"MenuItem::render", u"Invalid caption location.");
    }
    drawTextAt(pFont, position + offset, captionScale, captionColour, flags, caption, bShadow && !bDisabled);
}

void MenuItem::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
}
