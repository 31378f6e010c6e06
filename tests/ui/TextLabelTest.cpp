#include <gtest/gtest.h>

#include "FakeFont.h"
#include "ui/FadingPicture.h"
#include "ui/TextLabel.h"

namespace {
int alpha(uint32_t colour) { return int(colour >> 24); }
}  // namespace

TEST(TextLabelTest, FadesInStaysAndFadesOut) {
    TextLabel label(0, 0, 0, u"hi", nullptr, 0xFFFFFFFF);
    label.duration = 3;
    label.fadeIn = 0.25;
    label.fadeOut = 0.5;
    struct Step {
        double dt;
        int alpha;
    };
    const Step steps[] = {{0.125, 127}, {0.125, 255}, {2.25, 255}, {0.25, 127}, {0.25, 0}};
    for (const Step& s : steps) {
        label.update(0, s.dt);
        EXPECT_EQ(alpha(label.color), s.alpha);
    }
    EXPECT_FALSE(label.bDead);
    label.update(0, 0.1);
    EXPECT_TRUE(label.bDead);
}

TEST(TextLabelTest, WithoutFadesTheColourIsUntouched) {
    TextLabel label(0, 0, 0, u"hi", nullptr, 0x12345678);
    label.duration = 1;
    label.update(0, 0.5);
    EXPECT_EQ(label.color, 0x12345678u);
}

TEST(TextLabelTest, OvershootingTheEndNeverWrapsTheAlpha) {
    TextLabel label(0, 0, 0, u"hi", nullptr, 0xFFFFFFFF);
    label.duration = 1;
    label.fadeOut = 0.5;
    label.update(0, 0.9);
    label.update(0, 0.5);
    EXPECT_EQ(alpha(label.color), 0);
}

TEST(TextLabelTest, DelayComesFirstAndKeptLabelsStay) {
    TextLabel label(0, 0, 0, u"hi", nullptr, 0xFFFFFFFF);
    label.delay = 1;
    label.duration = 1;
    label.bRemoveWhenDone = false;
    label.update(0, 0.5);
    EXPECT_DOUBLE_EQ(label.elapsed, 0.0);
    label.update(0, 0.5);
    label.update(0, 1.0);
    label.update(0, 1.0);
    EXPECT_FALSE(label.bDead);
    EXPECT_DOUBLE_EQ(label.elapsed, 1.0);
}

TEST(TextLabelTest, SetTextRestarts) {
    TextLabel label(0, 0, 0, u"a", nullptr, 0xFFFFFFFF);
    label.update(0, 5);
    label.setText(u"b", 2, 0.5);
    EXPECT_EQ(label.text, u"b");
    EXPECT_DOUBLE_EQ(label.elapsed, 0.0);
    EXPECT_DOUBLE_EQ(label.duration, 2.0);
    EXPECT_DOUBLE_EQ(label.delay, 0.5);
}

TEST(TextLabelTest, FitToWidthOnlySqueezes) {
    FakeFont font;
    TextLabel label(0, 0, 0, u"abcdefghij", nullptr, 0xFFFFFFFF);
    label.fitToWidth(50);
    EXPECT_FLOAT_EQ(label.scale.x, 0.5f);
    label.fitToWidth(500);
    EXPECT_FLOAT_EQ(label.scale.x, 0.5f);
}

TEST(FadingPictureTest, FadesLikeALabelAndIsRemovedAfterwards) {
    FadingPicture picture;
    picture.duration = 2.5;
    picture.fadeIn = 0.25;
    picture.fadeOut = 0.5;
    picture.update(0, 0.125);
    EXPECT_EQ(alpha(picture.color), 127);
    picture.update(0, 1.0);
    EXPECT_EQ(alpha(picture.color), 255);
    picture.update(0, 1.5);
    EXPECT_EQ(alpha(picture.color), 0);
    picture.update(0, 0.1);
    EXPECT_TRUE(picture.bDead);
}
