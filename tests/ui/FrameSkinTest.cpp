#include <gtest/gtest.h>

#include <memory>

#include "TestPictures.h"
#include "runtime/QelRuntime.h"
#include "ui/AnimatedQuad.h"
#include "ui/FrameSkin.h"
#include "ui/GUIthemeMinimal.h"
#include "ui/GUIthemeStandard.h"
#include "media/Renderable.h"
#include "media/Vertex.h"
#include "support/GraphicsFixture.h"

namespace {

// A 64 by 32 texture whose first skin is the whole picture, on the recording device.
struct FrontEndSkinTest : GraphicsFixtureOn<QelRuntime> {
    void SetUp() override {
        GraphicsFixtureOn<QelRuntime>::SetUp();
        texture = std::make_unique<Texture>(64, 32, 0);
        quad = static_cast<Quad*>(texture->skins[0]);
    }
    void TearDown() override {
        texture.reset();
        GraphicsFixtureOn<QelRuntime>::TearDown();
    }
    std::unique_ptr<Texture> texture;
    Quad* quad = nullptr;
};

}  // namespace

TEST_F(FrontEndSkinTest, ButtonFrameDrawsOnlyTheMiddleRowWithFixedCaps) {
    FrameSkin frame(quad);
    frame.setRect(30, 0, 0, 30);
    EXPECT_FLOAT_EQ(frame.width, 64.0f);
    EXPECT_FLOAT_EQ(frame.height, 32.0f);
    frame.setSize(256, -1);
    EXPECT_FLOAT_EQ(frame.height, 32.0f);
    const Vertex* v = frame.vertexBuffer.vertexData;
    const float xs[4] = {-128, -98, 98, 128};
    for (int col = 0; col < 4; ++col) {
        EXPECT_FLOAT_EQ(v[8 + 2 * col].x, xs[col]);
        EXPECT_FLOAT_EQ(v[8 + 2 * col].y, 16.0f);
        EXPECT_FLOAT_EQ(v[9 + 2 * col].y, -16.0f);
    }
    // The caps keep their 30 texture pixels at each side.
    const float capU = 30.0f / float(texture->width);
    EXPECT_FLOAT_EQ(v[10].u - v[8].u, capU);
    EXPECT_FLOAT_EQ(v[14].u - v[12].u, capU);
    EXPECT_FALSE(frame.drawsAllRows());
    Renderable r;
    device->calls.clear();
    frame.drawFor(&r);
    auto draws = device->callsStartingWith("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0], "DrawPrimitive 5 8 6");
}

TEST_F(FrontEndSkinTest, FramedPanelDrawsThreeRows) {
    FrameSkin frame(quad);
    frame.setRect(10, 10, 10, 10);
    frame.setSize(200, 100);
    const Vertex* v = frame.vertexBuffer.vertexData;
    EXPECT_FLOAT_EQ(v[0].y, 50.0f);
    EXPECT_FLOAT_EQ(v[1].y, 40.0f);
    EXPECT_FLOAT_EQ(v[9].y, -40.0f);
    EXPECT_FLOAT_EQ(v[17].y, -50.0f);
    Renderable r;
    device->calls.clear();
    frame.drawFor(&r);
    EXPECT_EQ(device->callsStartingWith("DrawPrimitive").size(), 3u);
}

TEST_F(FrontEndSkinTest, NarrowFrameOverlapsItsCaps) {
    FrameSkin frame(quad);
    frame.setRect(30, 0, 0, 30);
    frame.setSize(40, -1);
    EXPECT_FLOAT_EQ(frame.vertexBuffer.vertexData[10].x, 10.0f);
    EXPECT_FLOAT_EQ(frame.vertexBuffer.vertexData[12].x, -10.0f);
}

TEST_F(FrontEndSkinTest, ThemesApplyThreeFramesOrFailOnUnknownStyles) {
    qel->pResourceManager->addResource(texture.get(), u"gui-minimal-generic");
    while (texture->skins.size() < 3) {
        auto* q = new Quad();
        q->pTexture = texture.get();
        texture->addChild(q);
        texture->skins.push_back(q);
    }
    GUIthemeMinimal minimal;
    EXPECT_EQ(minimal.metrics[0], 10);
    ThemedWidget widget;
    minimal.setStyle(&widget, 0);
    EXPECT_EQ(widget.frames[0], nullptr);
    minimal.setStyle(&widget, 5);
    ASSERT_NE(widget.frames[0], nullptr);
    EXPECT_EQ(widget.frames[0]->pSource, texture->skins[1]);
    EXPECT_EQ(widget.frames[1]->pSource, texture->skins[0]);
    EXPECT_EQ(widget.frames[2]->pSource, texture->skins[2]);
    GUIthemeStandard standard;
    EXPECT_EQ(standard.metrics[0], 20);
    detachObjectListForExit();
    EXPECT_EXIT(standard.setStyle(&widget, 12), testing::ExitedWithCode(255), "");
}

TEST_F(FrontEndSkinTest, FlatStripStaysFlatAndSegmentsNeverDivideByZero) {
    AnimatedQuad strip;
    strip.addFrame(quad);
    strip.setSegments(1);
    EXPECT_EQ(strip.segments, 2);
    strip.setSegments(16);
    EXPECT_EQ(strip.vertexBuffer.vertices, 32);
    strip.setTarget(0.0005f);
    EXPECT_FLOAT_EQ(strip.bend, 0.0f);
    const Vertex* v = strip.vertexBuffer.vertexData;
    // The strip runs from its right end (pair 0) to its left end.
    EXPECT_FLOAT_EQ(v[0].x, 32.0f);
    EXPECT_FLOAT_EQ(v[30].x, -32.0f);
    EXPECT_FLOAT_EQ(v[0].y, 16.0f);
    EXPECT_FLOAT_EQ(v[1].y, -16.0f);
}

TEST_F(FrontEndSkinTest, BentStripKeepsItsLeftEndAndWarpsBothWays) {
    for (float bendAngle : {1.2f, -0.8f}) {
        AnimatedQuad strip;
        strip.addFrame(quad);
        strip.setSegments(8);
        strip.setTarget(bendAngle);
        const Vertex* v = strip.vertexBuffer.vertexData;
        EXPECT_NEAR(v[14].x, -32.0f, 1e-3f);
        EXPECT_NEAR(v[14].y, 16.0f, 1e-3f);
        EXPECT_NEAR(v[15].y, -16.0f, 1e-3f);
        const Vector3 points[] = {{20, 5, 0}, {-10, -12, 0}, {0, 0, 0}};
        for (const Vector3& p : points) {
            Vector3 back = strip.unwarpPoint(strip.warpPoint(p));
            EXPECT_NEAR(back.x, p.x, 1e-3f) << bendAngle;
            EXPECT_NEAR(back.y, p.y, 1e-3f) << bendAngle;
        }
    }
}

TEST_F(FrontEndSkinTest, BendingTwiceInAFrameKeepsTheFrameStartBend) {
    AnimatedQuad strip;
    strip.addFrame(quad);
    strip.setSegments(4);
    qel->frameCount = 10;
    strip.setTarget(0.5f);
    qel->frameCount = 11;
    strip.setTarget(1.0f);
    strip.setTarget(0.0f);
    EXPECT_FLOAT_EQ(strip.previousBend, 0.5f);
    EXPECT_FLOAT_EQ(strip.bend, 0.0f);
    EXPECT_EQ(strip.bendFrame, 11);
}
