// The pointer sprite: where it is and how it shows in touch mode.

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "ui/PointerSprite.h"

class PointerSpriteTest : public AppTest {};

TEST_F(PointerSpriteTest, FollowsThePointerOfTheScreenBeingUpdated) {
    Context screen;
    screen.pointerWorldPos[0] = 12.0f;
    screen.pointerWorldPos[1] = -7.0f;
    screen.pointerWorldPos[2] = 99.0f;
    engine->pCurrentContext = &screen;
    PointerSprite sprite;
    sprite.update(0, 0);
    EXPECT_EQ(sprite.position.x, 12.0f);
    EXPECT_EQ(sprite.position.y, -7.0f);
    EXPECT_EQ(sprite.position.z, 0.0f);
    engine->pCurrentContext = nullptr;
}

TEST_F(PointerSpriteTest, TouchModeHidesItWhenLockedAndDimsItOtherwise) {
    struct Case {
        bool locked;
        int mode;
        bool hidden;
        uint32_t alpha;
    } cases[] = {{true, INPUTMODE_TOUCH, true, 0xFF}, {true, INPUTMODE_MOUSE, false, 0xFF},
                 {false, INPUTMODE_TOUCH, false, 0x40}, {false, INPUTMODE_MOUSE, false, 0xFF}};
    for (const Case& k : cases) {
        engine->bDebugLocked = k.locked;
        engine->pQelInput->inputMode = k.mode;
        PointerSprite sprite;
        sprite.color = 0x12345678;
        sprite.update(0, 0);
        EXPECT_EQ(sprite.bHidden, k.hidden) << k.locked << " " << k.mode;
        EXPECT_EQ(sprite.color >> 24, k.alpha) << k.locked << " " << k.mode;
        EXPECT_EQ(sprite.color & 0xFFFFFF, 0x345678u);
    }
}
