// VertexBuffer on the recording device: primitive counts, ranges, colours, uploads and sizes.

#include <gtest/gtest.h>

#include "media/VertexBuffer.h"
#include "support/GraphicsFixture.h"

namespace {

using VertexBufferTest = GraphicsFixture;

TEST_F(VertexBufferTest, TypesBecomePrimitivesWithTheirCounts) {
    VertexBuffer buffer(16);
    struct Case {
        int type, start, count;
        std::string call;
        int vertices;
    };
    const Case cases[] = {
        {4, 0, -1, "DrawPrimitive 5 0 14", 16}, {4, 4, 4, "DrawPrimitive 5 4 2", 4}, {0, 2, 3, "DrawPrimitive 1 2 3", 3},
        {1, 0, 7, "DrawPrimitive 2 0 3", 7},    {2, 0, 5, "DrawPrimitive 3 0 4", 5}, {3, 1, 8, "DrawPrimitive 4 1 2", 8},
        {5, 10, -1, "DrawPrimitive 6 10 4", 6},
    };
    for (const Case& c : cases) {
        device->calls.clear();
        engine->frameStats[Qel::STAT_VERTICES] = 0;
        buffer.draw(nullptr, c.type, c.start, c.count);
        EXPECT_EQ(device->callsStartingWith("DrawPrimitive"), std::vector<std::string>{c.call});
        EXPECT_EQ(statistic(Qel::STAT_VERTICES), c.vertices);
    }
}

TEST_F(VertexBufferTest, DrawSetsTheFirstColourAsTextureFactorAndTheStream) {
    VertexBuffer buffer(4);
    device->calls.clear();
    buffer.setColor(0x80FF0000, false);
    buffer.draw(nullptr, 4, 0, -1);
    const std::vector<std::string> expected = {"SetTexture 0 null", "SetRenderState 60 2164195328", "SetStreamSource 0 24",
                                               "DrawPrimitive 5 0 2"};
    EXPECT_EQ(device->calls, expected);

    device->calls.clear();
    graphics->bScreenshotPass = true;
    buffer.draw(nullptr, 4, 0, -1);
    EXPECT_TRUE(device->callsStartingWith("SetRenderState 60").empty());
}

TEST_F(VertexBufferTest, RangesOutsideTheBufferAreRefused) {
    VertexBuffer buffer(4);
    for (auto [start, count] : {std::pair{3, 2}, {-1, 2}, {5, -1}, {0, 5}, {2, 0x7FFFFFFF}}) {
        buffer.draw(nullptr, 4, start, count);
        EXPECT_TRUE(device->callsStartingWith("DrawPrimitive").empty()) << start << " " << count;
    }
    EXPECT_EQ(statistic(Qel::STAT_VERTICES), 0);
}

TEST_F(VertexBufferTest, AnEmptyBufferDrawsAndColoursNothing) {
    VertexBuffer buffer;
    buffer.setColor(0xFF00FF00, true);
    buffer.draw(nullptr, 4, 0, -1);
    buffer.upload();
    EXPECT_TRUE(device->calls.empty());
    EXPECT_EQ(statistic(Qel::STAT_VERTICES), 0);
    EXPECT_EQ(statistic(Qel::STAT_VBUFFER_WRITES), 0);
}

TEST_F(VertexBufferTest, SetColorOfAllVerticesUploadsThem) {
    VertexBuffer buffer(3);
    buffer.setColor(0x12345678, true);
    EXPECT_EQ(statistic(Qel::STAT_VBUFFER_WRITES), 1);
    auto* stored = reinterpret_cast<Vertex*>(static_cast<RecordingDevice::Buffer*>(buffer.dxVBuffer)->data.data());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(stored[i].color, 0x12345678u);
    buffer.setColor(0xFFFFFFFF, false);
    EXPECT_EQ(stored[0].color, 0x12345678u);
    EXPECT_EQ(buffer.vertexData[0].color, 0xFFFFFFFFu);
}

TEST_F(VertexBufferTest, ResizeKeepsTheSameCountAndDiscardsOnChange) {
    VertexBuffer buffer(4);
    buffer.vertexData[0].x = 42.0f;
    IDirect3DVertexBuffer9* before = buffer.dxVBuffer;
    buffer.resize(4);
    EXPECT_EQ(buffer.dxVBuffer, before);
    EXPECT_EQ(buffer.vertexData[0].x, 42.0f);
    buffer.resize(8);
    EXPECT_EQ(buffer.vertices, 8);
    EXPECT_EQ(device->callsStartingWith("CreateVertexBuffer"),
              (std::vector<std::string>{"CreateVertexBuffer 96", "CreateVertexBuffer 192"}));
    buffer.resize(0);
    EXPECT_EQ(buffer.vertexData, nullptr);
    EXPECT_EQ(buffer.dxVBuffer, nullptr);
}

TEST_F(VertexBufferTest, UnknownPrimitiveTypeIsFatal) {
    VertexBuffer buffer(4);
    EXPECT_EXIT(
        {
            detachObjectListForExit();
            buffer.draw(nullptr, 6, 0, -1);
        },
        testing::ExitedWithCode(255), "");
}

}  // namespace
