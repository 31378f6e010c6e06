// The band along a path: its rungs, texture coordinates and refusal of bad lengths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/EngineFixture.h"
#include "engine/ResourceManager.h"
#include "game/TrackPath.h"
#include "game/TrackStrip.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "runtime/QelRuntime.h"

namespace {

class TrackStripTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
        // A 64 x 32 "ladder" picture: half its height to each side of the path.
        ladder = new Texture(64, 32, 0);
        engine->pResourceManager->addResource(ladder, u"ladder");
        path.controlPoints = {{0, 0, 0}, {300, 0, 0}};
        path.tangents = {{100, 0, 0}, {100, 0, 0}};
        path.resample();
    }
    void TearDown() override {
        delete strip;
        delete ladder;
        EngineTestOn<QelRuntime>::TearDown();
    }
    Texture* ladder = nullptr;
    TrackStrip* strip = nullptr;
    TrackPath path;
};

TEST_F(TrackStripTest, ThirtyUnitsMakeFourRungs) {
    strip = new TrackStrip();
    ASSERT_NE(strip->quad, nullptr);
    EXPECT_EQ(strip->pSkin, strip->quad);
    EXPECT_EQ(strip->quad->pTexture, ladder);
    strip->build(path, 30.0f);
    const VertexBuffer& vb = strip->quad->vertexBuffer;
    ASSERT_EQ(vb.vertices, 8);
    const float along[4] = {0, 12, 24, 30};  // the last rung clamped to the length
    const float texels[4] = {0, 12, 24, 36};  // the texture runs on unclamped
    for (int rung = 0; rung < 4; ++rung) {
        const Vertex& left = vb.vertexData[2 * rung];
        const Vertex& right = vb.vertexData[2 * rung + 1];
        // The path heads along +x: the even vertex lies a half height to its left (+y).
        EXPECT_NEAR(left.x, along[rung], 1e-3f) << rung;
        EXPECT_NEAR(left.y, 16.0f, 1e-3f) << rung;
        EXPECT_NEAR(right.x, along[rung], 1e-3f) << rung;
        EXPECT_NEAR(right.y, -16.0f, 1e-3f) << rung;
        EXPECT_EQ(left.z, 0.0f);
        // In texels of the device texture (which may be larger than the picture).
        EXPECT_FLOAT_EQ(left.u * float(ladder->width), texels[rung]) << rung;
        EXPECT_FLOAT_EQ(right.u, left.u);
        EXPECT_EQ(left.v, 0.0f);
        EXPECT_FLOAT_EQ(right.v, 32.0f / float(ladder->height));
    }
}

TEST_F(TrackStripTest, BadLengthsLeaveTheStripEmpty) {
    strip = new TrackStrip();
    const float bad[] = {-30.0f, -1e9f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f};
    for (float length : bad) {
        strip->build(path, 30.0f);
        ASSERT_EQ(strip->quad->vertexBuffer.vertices, 8);
        strip->build(path, length);
        EXPECT_EQ(strip->quad->vertexBuffer.vertices, 0) << length;
        strip->render();  // draws nothing, fails nothing
    }
    strip->build(path, 0.0f);
    EXPECT_EQ(strip->quad->vertexBuffer.vertices, 4);  // two rungs, both at 0
}

TEST_F(TrackStripTest, WholePathBandFollowsACurve) {
    TrackPath curve;
    curve.controlPoints = {{0, 0, 0}, {200, 200, 0}};
    curve.tangents = {{110, 0, 0}, {0, 110, 0}};
    curve.resample();
    strip = new TrackStrip();
    strip->build(curve, curve.length);
    const VertexBuffer& vb = strip->quad->vertexBuffer;
    ASSERT_EQ(vb.vertices, 2 * static_cast<int>(curve.length / 12 + 2));
    // Every rung is as wide as the picture is high, centred on the path.
    for (int v = 0; v + 1 < vb.vertices; v += 2) {
        const Vertex& a = vb.vertexData[v];
        const Vertex& b = vb.vertexData[v + 1];
        EXPECT_NEAR(std::hypot(a.x - b.x, a.y - b.y), 32.0f, 0.01f) << v;
        Vector3 p;
        curve.getPoint(std::min(float(v / 2) * 12.0f, curve.length), p);
        EXPECT_NEAR((a.x + b.x) / 2, p.x, 0.01f);
        EXPECT_NEAR((a.y + b.y) / 2, p.y, 0.01f);
    }
}

}  // namespace
