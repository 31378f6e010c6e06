// Skins, quads and tiled skins on the recording device: hit tests, anchors, sizes from the
// texture, colour per draw and the layout of tiled cells.

#include <gtest/gtest.h>

#include <cstring>

#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Skin.h"
#include "media/Texture.h"
#include "media/TiledSkin.h"
#include "support/GraphicsFixture.h"

namespace {

using SkinTest = GraphicsFixture;

TEST_F(SkinTest, HitTestTakesLeftAndBottomEdgesOnly) {
    Quad quad;
    quad.setSize(100, 50);
    struct Case {
        float x, y;
        bool inside;
    } cases[] = {{-50, -25, true}, {49.9f, 24.9f, true}, {50, 0, false}, {0, 25, false}, {-50.1f, 0, false}, {0, -25.1f, false}};
    for (const Case& c : cases) EXPECT_EQ(quad.isPointInside(c.x, c.y, 99.0f), c.inside) << c.x << "," << c.y;
}

TEST_F(SkinTest, AnchorCodesFollowTheNumberPadWithYUp) {
    Skin skin;
    skin.width = 100;
    skin.height = 50;
    skin.center = Vector3(10, 20, 3);
    struct Case {
        int code;
        float x, y;
    } cases[] = {{1, -40, -5}, {2, 10, -5}, {3, 60, -5}, {4, -40, 20}, {5, 10, 20}, {6, 60, 20},
                 {7, -40, 45}, {8, 10, 45}, {9, 60, 45}, {0, 10, 20}, {11, 10, 20}};
    for (const Case& c : cases) {
        skin.setAnchor(c.code);
        EXPECT_EQ(skin.originOffset, Vector3(c.x, c.y, 3)) << c.code;
    }
}

TEST_F(SkinTest, BottomLeftAnchorPutsTheCornerOnThePosition) {
    Quad quad;
    quad.setSize(100, 50);
    quad.setAnchor(1);
    EXPECT_EQ(quad.originOffset, Vector3(-50, -25, 0));
    Renderable r;
    Vector3 position(200, 100, 0);
    r.set(&quad, &position, nullptr, nullptr, nullptr, nullptr);
    r.updateXform();
    EXPECT_EQ(r.local2world(Vector3(-50, -25, 0)), Vector3(200, 100, 0));
    EXPECT_EQ(r.local2world(Vector3(50, 25, 0)), Vector3(300, 150, 0));
}

TEST_F(SkinTest, FlippedQuadStillHasAPositiveHeight) {
    Texture texture(64, 32, 0);
    Quad quad;
    quad.pTexture = &texture;
    quad.texTop = 1;
    quad.texBottom = 0;
    quad.fitToTexture();
    EXPECT_EQ(quad.width, float(texture.width));
    EXPECT_EQ(quad.height, float(texture.height));
    EXPECT_GT(quad.height, 0);
}

TEST_F(SkinTest, SourceRectGivesTextureCoordinatesAndLayoutSize) {
    Texture texture(256, 128, 0);
    Quad quad;
    quad.pTexture = &texture;
    quad.setSourceRect(64, 32, 96, 192);
    EXPECT_FLOAT_EQ(quad.texLeft, 0.25f);
    EXPECT_FLOAT_EQ(quad.texTop, 0.125f);
    EXPECT_FLOAT_EQ(quad.texRight, 0.75f);
    EXPECT_FLOAT_EQ(quad.texBottom, 0.375f);
    EXPECT_EQ(quad.width, 128);
    EXPECT_EQ(quad.height, 64);
    const Vertex& v = quad.vertexBuffer.vertexData[3];
    EXPECT_EQ(v.x, 64);
    EXPECT_EQ(v.y, -32);
    EXPECT_FLOAT_EQ(v.u, 0.75f);
    EXPECT_FLOAT_EQ(v.v, 0.375f);
}

TEST_F(SkinTest, DrawingInAColourLeavesTheUploadedVerticesWhite) {
    Quad quad;
    quad.setSize(10, 10);
    Renderable r;
    r.color = 0x80FF0000;
    quad.drawFor(&r);
    EXPECT_EQ(quad.vertexBuffer.vertexData[0].color, 0x80FF0000u);
    auto* buffer = static_cast<RecordingDevice::Buffer*>(quad.vertexBuffer.dxVBuffer);
    for (int i = 0; i < 4; ++i) {
        Vertex v;
        std::memcpy(&v, buffer->data.data() + sizeof(Vertex) * size_t(i), sizeof v);
        EXPECT_EQ(v.color, 0xFFFFFFFFu) << i;
    }
    bool sawFactor = false;
    for (const std::string& call : device->calls)
        if (call == "SetRenderState 60 " + std::to_string(0x80FF0000u)) sawFactor = true;
    EXPECT_TRUE(sawFactor);
}

TEST_F(SkinTest, TiledSkinCentresItsCellsRowByRowFromTheTopLeft) {
    Texture a(256, 256, 0), b(256, 256, 0);
    Quad cells[4];
    for (int i = 0; i < 4; ++i) {
        cells[i].pTexture = i % 2 ? &b : &a;
        cells[i].setSourceRect(0, 0, 256, 256);
    }
    TiledSkin tiled(2, 2);
    for (int i = 0; i < 4; ++i) tiled.cells[size_t(i)] = &cells[i];
    tiled.layout();
    EXPECT_EQ(tiled.width, 512);
    EXPECT_EQ(tiled.height, 512);
    EXPECT_EQ(tiled.getClass(), &Skin::classRecord);
    const Vertex* v = tiled.vertexBuffer.vertexData;
    EXPECT_EQ(v[0].x, -256);
    EXPECT_EQ(v[0].y, 256);
    EXPECT_EQ(v[3].x, 0);
    EXPECT_EQ(v[3].y, 0);
    EXPECT_EQ(v[12 + 3].x, 256);  // bottom-right cell
    EXPECT_EQ(v[12 + 3].y, -256);
    device->calls.clear();
    Renderable r;
    tiled.drawFor(&r);
    int draws = 0;
    for (const std::string& call : device->calls)
        if (call.rfind("DrawPrimitive", 0) == 0) ++draws;
    EXPECT_EQ(draws, 4);
}

}  // namespace
