#include "app/FontAccess.h"

float FontAccess::textWidth(FontQuad* font, WStringView text) {
    return widthHook ? widthHook(font, text) : 0.0f;
}

int FontAccess::lineHeight(FontQuad* font) {
    return lineHeightHook ? lineHeightHook(font) : 0;
}

void FontAccess::drawAligned(FontQuad* font, Renderable* r, int flags, WStringView text) {
    if (drawHook && !text.empty()) drawHook(font, r, flags, text);
}

void FontAccess::drawShadowed(FontQuad* font, Renderable* r, int flags, const Vector3& shadowOffset,
                              uint32_t shadowColour, WStringView text) {
    if (text.empty()) return;
    if (shadowHook) {
        shadowHook(font, r, flags, shadowOffset, shadowColour, text);
    } else {
        drawAligned(font, r, flags, text);
    }
}
