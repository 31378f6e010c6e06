#pragma once
// A measuring stand-in for the bitmap fonts: every character is 10 units wide (colour marks take
// no room, as with the real fonts) and a line is 20 units high. Installed for one test's life.

#include "ui/FontAccess.h"

struct FakeFont {
    static constexpr float charWidth = 10.0f;
    static constexpr int lineHeightUnits = 20;

    FakeFont() {
        FontAccess::widthHook = &width;
        FontAccess::lineHeightHook = [](FontQuad*) { return lineHeightUnits; };
    }
    ~FakeFont() {
        FontAccess::widthHook = nullptr;
        FontAccess::lineHeightHook = nullptr;
    }
    static float width(FontQuad*, WStringView text) {
        float w = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\x1e') {
                i += 8;
                continue;
            }
            w += charWidth;
        }
        return w;
    }
};
