#pragma once
// The front end's one door to its bitmap fonts: measuring a line, the line height and drawing a
// line relative to a renderable. The screens and widgets never call the font class directly, so
// the layout arithmetic can be run with a measuring stand-in (tests) and the font code can change
// behind this door. A hook that is set replaces the font's own operation; a null font measures 0
// and draws nothing.

#include <cstdint>

#include "engine/MathUtil.h"
#include "engine/Text.h"

class FontQuad;
class Renderable;

class FontAccess {
public:
    // Width of a line in layout units; colour marks (U+001E and the eight characters after it)
    // are not counted by the font.
    static float textWidth(FontQuad* font, WStringView text);
    // The width of the line as drawAligned draws it with these flags: a line drawn through the
    // system font (FontQuad::USE_GDI) is measured with that font.
    static float textWidth(FontQuad* font, WStringView text, int flags);
    // Height of one line of the font.
    static int lineHeight(FontQuad* font);
    // One line relative to the renderable (its transform and colour) with alignment flags.
    static void drawAligned(FontQuad* font, Renderable* r, int flags, WStringView text);
    // The same after a shadow pass moved by the offset in the shadow colour.
    static void drawShadowed(FontQuad* font, Renderable* r, int flags, const Vector3& shadowOffset,
                             uint32_t shadowColour, WStringView text);

    static inline float (*widthHook)(FontQuad* font, WStringView text) = nullptr;
    static inline int (*lineHeightHook)(FontQuad* font) = nullptr;
    static inline void (*drawHook)(FontQuad* font, Renderable* r, int flags, WStringView text) = nullptr;
    static inline void (*shadowHook)(FontQuad* font, Renderable* r, int flags, const Vector3& shadowOffset,
                                     uint32_t shadowColour, WStringView text) = nullptr;
};
