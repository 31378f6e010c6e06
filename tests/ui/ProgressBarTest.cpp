// The progress bar: a frame and a filling cropped from the left.

#include <gtest/gtest.h>

#include "ui/ProgressBar.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "media/TextureFixture.h"

namespace {

class ProgressBarTest : public TextureFixture {
protected:
    void SetUp() override {
        TextureFixture::SetUp();
        writeImage("bar.tga", 128, 32, true);
        writeFileBytes("bar.tga.ini", "[Skin 0]\nleft=0\ntop=0\nwidth=128\nheight=16\n[Skin 1]\nleft=8\ntop=16\nwidth=100\nheight=10\n");
        texture = new Texture(0, u"bar.tga");
    }
    void TearDown() override {
        delete texture;
        TextureFixture::TearDown();
    }
    Texture* texture = nullptr;
};

}  // namespace

TEST_F(ProgressBarTest, FillIsACropOfTheFillSkinFromItsLeftEdge) {
    ProgressBar bar(texture, 0, 1);
    EXPECT_EQ(bar.pSkin, texture->skins[0]);
    auto* fill = static_cast<Quad*>(bar.fill.pSkin);
    ASSERT_NE(fill, nullptr);
    EXPECT_FLOAT_EQ(bar.fill.position.x, -50.0f) << "the filling starts at the bar's left edge";
    struct Case {
        float f, expectedFraction;
        int right;
    } cases[] = {{0.5f, 0.5f, 58}, {-0.5f, 0.0f, 8}, {2.0f, 1.0f, 108}, {0.25f, 0.25f, 33}};
    for (const Case& k : cases) {
        bar.setFraction(k.f);
        EXPECT_FLOAT_EQ(bar.fraction, k.expectedFraction);
        EXPECT_EQ(fill->sourceRect.left, 8);
        EXPECT_EQ(fill->sourceRect.top, 16);
        EXPECT_EQ(fill->sourceRect.bottom, 26);
        EXPECT_EQ(fill->sourceRect.right, k.right) << k.f;
        EXPECT_FLOAT_EQ(fill->width, static_cast<float>(k.right - 8));
    }
}

TEST_F(ProgressBarTest, FillMovesWithTheBar) {
    ProgressBar bar(texture, 0, 1);
    bar.position = Vector3(100, 40, 0);
    bar.updateXform();
    EXPECT_FLOAT_EQ(bar.fill.parentXform.m[3][0], 100.0f);
    EXPECT_FLOAT_EQ(bar.fill.parentXform.m[3][1], 40.0f);
}

TEST_F(ProgressBarTest, AHiddenBarDrawsNothing) {
    ProgressBar bar(texture, 0, 1);
    bar.setFraction(1.0f);
    bar.bHidden = true;
    device->calls.clear();
    bar.render();
    EXPECT_TRUE(device->calls.empty());
}
