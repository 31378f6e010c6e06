#pragma once
// The OpenGL pixel fixture with a bitmap font of three white glyphs of 6 by 10 pixels for A, B and
// C, made from a picture and its skins written to the test's folder.

#include <fstream>
#include <memory>

#include "media/FontQuad.h"
#include "media/GlPixelFixture.h"
#include "media/Texture.h"

class GlyphFontFixture : public GlPixelFixture {
protected:
    void makeFont() {
        writeImage("glyphs.tga", 18, 10, [](int, int) { return 0xFFFFFFFFu; });
        std::ofstream ini("glyphs.tga.ini");
        for (int k = 0; k < 3; ++k) ini << "[Skin " << k << "]\nleft=" << k * 6 << "\ntop=0\nwidth=6\nheight=10\n";
        ini.close();
        glyphs = std::make_unique<Texture>(0, u"glyphs.tga");
        font = std::make_unique<FontQuad>();
        font->addSourceTexture(glyphs.get(), 65);
        font->createFontCache();
    }

    std::unique_ptr<Texture> glyphs;
    std::unique_ptr<FontQuad> font;
};
