// The text trace on the OpenGL device under Xvfb: the boxes it records are where the glyphs land,
// hidden texts leave their shadows, and the legibility reading of a frame finds text that is too
// faint, too close to other boxes or cut by the edge.

#include <gtest/gtest.h>

#include <fstream>

#include "media/GlyphFontFixture.h"
#include "media/FontQuad.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "media/TextTrace.h"
#include "support/LegibilityCheck.h"

namespace {

class TextTraceTest : public GlyphFontFixture {
protected:
    // A whole frame on a background: the texts of 'draw' over a clear.
    TracedFrame traced(D3DCOLOR background, const std::function<void()>& draw) {
        return traceFrame(graphics, [&] { drawFrameWith(draw, background); });
    }
};

TEST_F(TextTraceTest, RecordsWhereTheGlyphsLandOnlyWhileActive) {
    makeFont();
    drawFrameWith([&] { font->drawText(0, 0, 0, 0xFFFF0000, 0, u"ABAB"); });  // nothing active: no record, no fault

    TextTrace trace;
    TextTrace::active = &trace;
    drawFrameWith([&] {
        font->drawText(0, 0, 0, 0xFFFF0000, 0, u"ABAB");
        font->drawText(-100, 50, 0, 0xFF00FF00, FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HEIGHT, u"AB");
    });
    TextTrace::active = nullptr;
    ASSERT_EQ(trace.texts.size(), 2u);
    // World (0, 0) is pixel (400, 240); four glyphs of 6 with a spacing of 1 (none after the last).
    const TracedText& first = trace.texts[0];
    EXPECT_EQ(first.text, u"ABAB");
    EXPECT_NEAR(first.box.left, 400, 1);
    EXPECT_NEAR(first.box.right, 427, 1);
    EXPECT_NEAR(first.box.top, 240, 1);
    EXPECT_NEAR(first.box.bottom, 250, 1);
    EXPECT_NEAR(first.capHeight, 6.3, 0.5);  // the capitals' share of a glyph cell
    EXPECT_EQ(first.colour, 0xFFFF0000u);
    // Centred on x = -100 and lifted by its height from y = 50.
    const TracedText& second = trace.texts[1];
    EXPECT_NEAR(second.box.left, 300 - 6.5, 1);
    EXPECT_NEAR(second.box.bottom, 190, 1);
    EXPECT_NEAR(second.box.top, 180, 1);
    EXPECT_EQ(at(int(second.box.left) + 1, 185), 0xFF00FF00u);
}

TEST_F(TextTraceTest, HiddenTextsLeaveTheirShadowsAndDecorationsAreNotTexts) {
    makeFont();
    graphics->bHighDetail = true;
    const TracedFrame f = traced(0xFF808080, [&] {
        Renderable owner;
        owner.color = 0xFFFFFFFF;
        Vector3 position(0, 0, 0);
        owner.set(nullptr, &position, nullptr, nullptr, nullptr, nullptr);
        font->renderText(&owner, 0, 3.0f, -3.0f, 0.0f, 0xFF000000, u"ABC");
    });
    ASSERT_EQ(f.trace.texts.size(), 1u);
    EXPECT_EQ(f.shown[size_t(241) * size_t(f.width) + 401], 0xFFFFFFFFu);
    // With the text hidden its shadow, three pixels right and down, is still there.
    EXPECT_EQ(f.behind[size_t(241) * size_t(f.width) + 401] | 0xFF000000u, 0xFF808080u);
    EXPECT_EQ(f.behind[size_t(249) * size_t(f.width) + 405] | 0xFF000000u, 0xFF000000u);
}

TEST_F(TextTraceTest, ContrastIsReadAgainstThePixelsAroundTheGlyphs) {
    makeFont();
    struct Case {
        D3DCOLOR background;
        uint32_t text;
        bool bShadow;
        double low, high;
        bool bPass;
    } cases[] = {
        {0xFFFFFFFF, 0xFF000000, false, 20.9, 21.1, true},   // black on white
        {0xFFFFFFFF, 0xFFCCCCCC, false, 1.5, 1.7, false},   // light grey on white
        {0xFF808080, 0xFFFFFFFF, false, 3.9, 4.0, false},   // white on mid grey: below 4.5
        {0xFF595959, 0xFFFFFFFF, false, 7.0, 7.1, true},    // white on dark grey
    };
    for (const Case& c : cases) {
        const TracedFrame f = traced(c.background, [&] { font->drawText(0, 0, 0, c.text, 0, u"ABCABC"); });
        LegibilityRules rules;
        rules.pixelsPerUnit = 1.0f;
        const LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
        ASSERT_EQ(report.readings.size(), 1u);
        EXPECT_GE(report.readings[0].contrast, c.low) << std::hex << c.text << " on " << c.background;
        EXPECT_LE(report.readings[0].contrast, c.high) << std::hex << c.text << " on " << c.background;
        EXPECT_EQ(report.faults.empty(), c.bPass) << std::hex << c.text << " on " << c.background;
        if (!c.bPass) {
            ASSERT_FALSE(report.faults.empty());
            EXPECT_EQ(report.faults[0].kind, LegibilityFault::CONTRAST);
            EXPECT_NE(report.faults[0].describe("options", "fr").find("screen options [fr] \"ABCABC\""), std::string::npos)
                << report.faults[0].describe("options", "fr");
        }
    }
}

TEST_F(TextTraceTest, ARimAroundTheGlyphsCarriesTheirContrastAndLargeOrInactiveTextNeedsLess) {
    makeFont();
    LegibilityRules rules;
    rules.pixelsPerUnit = 1.0f;
    // White on white with a black rim drawn as a decoration all round.
    TracedFrame f = traced(0xFFFFFFFF, [&] {
        {
            TextTrace::Decoration rim;
            for (float dx : {-2.0f, 2.0f})
                for (float dy : {-2.0f, 2.0f}) font->drawText(dx, dy, 0, 0xFF000000, 0, u"ABCABC");
        }
        font->drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABCABC");
    });
    LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
    ASSERT_EQ(report.readings.size(), 1u);
    EXPECT_GT(report.readings[0].contrast, 20.0);
    EXPECT_TRUE(report.faults.empty());

    // White on mid grey (3.9:1) fails as small text and passes once its cap height counts as large.
    f = traced(0xFF808080, [&] { font->drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABCABC"); });
    EXPECT_FALSE(checkLegibility(f.trace, f.frame(), rules).faults.empty());
    rules.largeCapHeight = 6.0f;
    EXPECT_TRUE(checkLegibility(f.trace, f.frame(), rules).faults.empty());
    // So does the caption of an item that cannot be used now.
    rules.largeCapHeight = 15.0f;
    int item = 0;
    f = traced(0xFF808080, [&] {
        TextTrace::Owner disabled(&item, true);
        font->drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABCABC");
    });
    EXPECT_TRUE(checkLegibility(f.trace, f.frame(), rules).faults.empty());
}

TEST_F(TextTraceTest, AnOutlineOfTheFontsOwnIsReadAroundTheFill) {
    // Glyphs with a dark border in the texture itself: the border is part of the text, not behind it.
    writeImage("outlined.tga", 18, 10, [](int x, int y) {
        return (x % 6 == 0 || x % 6 == 5 || y == 0 || y == 9) ? 0xFF000000u : 0xFFFFFFFFu;
    });
    std::ofstream ini("outlined.tga.ini");
    for (int k = 0; k < 3; ++k) ini << "[Skin " << k << "]\nleft=" << k * 6 << "\ntop=0\nwidth=6\nheight=10\n";
    ini.close();
    Texture outlined(0, u"outlined.tga");
    FontQuad outlinedFont;
    outlinedFont.addSourceTexture(&outlined, 65);
    outlinedFont.createFontCache();
    LegibilityRules rules;
    rules.pixelsPerUnit = 1.0f;
    // White fill with its black border on white: the fill reads against the border.
    TracedFrame f = traced(0xFFFFFFFF, [&] { outlinedFont.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABCABC"); });
    LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
    ASSERT_EQ(report.readings.size(), 1u);
    EXPECT_NEAR(report.readings[0].inkLuminance, 1.0, 0.01);
    EXPECT_GT(report.readings[0].contrast, 20.0);
    // Light grey fill with the same border on black: the border is no help there.
    f = traced(0xFF000000, [&] { outlinedFont.drawText(0, 0, 0, 0xFF303030, 0, u"ABCABC"); });
    report = checkLegibility(f.trace, f.frame(), rules);
    ASSERT_EQ(report.readings.size(), 1u);
    EXPECT_LT(report.readings[0].contrast, 2.0);
    EXPECT_EQ(report.faults.size(), 1u);
}

TEST_F(TextTraceTest, TextsTooCloseToOthersToForeignBoxesOrCutByTheEdgeAreNamed) {
    makeFont();
    LegibilityRules rules;
    rules.pixelsPerUnit = 1.0f;
    int owner = 0, other = 0;
    const TracedFrame f = traced(0xFFFFFFFF, [&] {
        font->drawText(-300, 100, 0, 0xFF000000, 0, u"ABC");
        font->drawText(-280, 100, 0, 0xFF000000, 0, u"CBA");  // right where "ABC" ends
        {
            TextTrace::Owner mine(&owner);
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            TextTrace::figure(u"item", identity, WorldRect{0, 0, 40, -20});  // its own caption may lie on it
            font->drawText(5, -5, 0, 0xFF000000, 0, u"AB");
        }
        {
            TextTrace::Owner theirs(&other);
            TextTrace::figure(u"check box", PixelBox{460, 230, 480, 260});
        }
        font->drawText(50, -5, 0, 0xFF000000, 0, u"CC");  // x 450..463: on the check box
        font->drawText(-402, -100, 0, 0xFF000000, 0, u"BB");  // cut by the left edge
        font->drawText(-396, -140, 0, 0xFF000000, 0, u"CA");  // four pixels from it: a free text may
        {
            TextTrace::Owner mine(&owner);
            font->drawText(-396, -120, 0, 0xFF000000, 0, u"AC");  // an item's caption may not
        }
    });
    const LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
    std::vector<std::string> found;
    for (const LegibilityFault& fault : report.faults) found.push_back(fault.describe("s", "en"));
    auto has = [&](const std::string& part) {
        for (const std::string& s : found)
            if (s.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("\"ABC\" at (100,140)-(119,150): 0 px from \"CBA\"")) << testing::PrintToString(found);
    EXPECT_TRUE(has("\"CC\" at (450,245)-(463,255): -3 px from check box")) << testing::PrintToString(found);
    EXPECT_TRUE(has("\"BB\" at (0,340)-(11,350): 0 px from the left edge")) << testing::PrintToString(found);
    EXPECT_TRUE(has("\"AC\" at (4,360)-(17,370): 4 px from the left edge")) << testing::PrintToString(found);
    EXPECT_FALSE(has("\"AB\"")) << testing::PrintToString(found);
    EXPECT_EQ(found.size(), 4u) << testing::PrintToString(found);
}

TEST_F(TextTraceTest, FiguresPaintedIntoAPictureAreReadWhereItIsDrawnUnlessAPanelLaterHidesThem) {
    makeFont();
    LegibilityRules rules;
    rules.pixelsPerUnit = 1.0f;
    // A picture of 40 by 20 units; its bear fills the left half.
    Quad skin;
    skin.pTexture = glyphs.get();
    skin.setSize(40, 20);
    const PaintedFigures painted{{&skin, {PaintedFigure{u"bear", WorldRect{-20, 10, 0, -10}}}}};
    Renderable picture;
    picture.pSkin = &skin;
    picture.bSkipVisibility = true;
    auto drawPictureAt = [&](float x, float y) {
        picture.position = Vector3(x, y, 0);
        picture.updateXform();
        picture.render();
    };
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const TracedFrame f = traceFrame(
        graphics,
        [&] {
            drawFrameWith(
                [&] {
                    drawPictureAt(100, 50);
                    // A panel over both places, drawn after the first picture and before the second.
                    TextTrace::cover(identity, WorldRect{-140, 80, 140, 20});
                    drawPictureAt(-100, 50);
                    font->drawText(85, 45, 0, 0xFF000000, 0, u"CC");    // on the first bear, under the panel
                    font->drawText(-115, 55, 0, 0xFF000000, 0, u"AB");  // on the second, over the panel
                },
                0xFFFFFFFF);
        },
        &painted);
    ASSERT_EQ(f.trace.figures.size(), 2u);
    // World (0, 0) is pixel (400, 240).
    EXPECT_TRUE(f.trace.figures[1].bPainted);
    EXPECT_EQ(f.trace.figures[1].name, u"bear");
    EXPECT_NEAR(f.trace.figures[1].box.left, 280, 1);
    EXPECT_NEAR(f.trace.figures[1].box.right, 300, 1);
    EXPECT_NEAR(f.trace.figures[1].box.top, 180, 1);
    EXPECT_NEAR(f.trace.figures[1].box.bottom, 200, 1);
    const LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
    std::vector<std::string> found;
    for (const LegibilityFault& fault : report.faults) found.push_back(fault.describe("s", "en"));
    ASSERT_EQ(found.size(), 1u) << testing::PrintToString(found);
    EXPECT_NE(found[0].find("\"AB\" at (285,185)-(298,195): -14 px from bear at (280,180)-(300,200)"), std::string::npos)
        << found[0];
}

}  // namespace
