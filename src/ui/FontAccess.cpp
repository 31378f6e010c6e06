#include "ui/FontAccess.h"

#include "media/FontQuad.h"
#include "media/Renderable.h"

float FontAccess::textWidth(FontQuad* font, WStringView text) {
    if (widthHook) return widthHook(font, text);
    return font ? font->getTextWidth(text).first : 0.0f;
}

float FontAccess::textWidth(FontQuad* font, WStringView text, int flags) {
    if (widthHook || !font || !(flags & FontQuad::USE_GDI)) return textWidth(font, text);
    return font->getTextSize(false, nullptr, FontQuad::USE_GDI, text).first;
}

int FontAccess::lineHeight(FontQuad* font) {
    if (lineHeightHook) return lineHeightHook(font);
    return font ? font->lineHeight : 0;
}

void FontAccess::drawAligned(FontQuad* font, Renderable* r, int flags, WStringView text) {
    if (text.empty()) return;
    if (drawHook) {
        drawHook(font, r, flags, text);
    } else if (font) {
        font->drawAligned(r, flags, text);
    }
}

void FontAccess::drawShadowed(FontQuad* font, Renderable* r, int flags, const Vector3& shadowOffset,
                              uint32_t shadowColour, WStringView text) {
    if (text.empty()) return;
    if (shadowHook) {
        shadowHook(font, r, flags, shadowOffset, shadowColour, text);
    } else if (drawHook) {
        drawHook(font, r, flags, text);
    } else if (font) {
        font->renderText(r, flags, shadowOffset.x, shadowOffset.y, shadowOffset.z, shadowColour, text);
    }
}
