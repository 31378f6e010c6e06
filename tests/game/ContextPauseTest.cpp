// The pause menu over a level on the real screen stack: resume, return to the map (the level
// waits, not deleted) and mute.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionAudio.h"
#include "ui/TextLabel.h"
#include "game/ContextPause.h"
#include "game/SpeechBubble.h"

namespace {
struct ContextPauseTest : GameScreenTest {
    void SetUp() override {
        GameScreenTest::SetUp();
        map = new Context();
        stack->pushContext(map);
        controller = new GameController();
        application->pGameController = controller;
        stack->pushContext(controller);
        step();
        pause = new ContextPause();
        stack->pushContext(pause);
        step();
    }
    Context* map = nullptr;
    GameController* controller = nullptr;
    ContextPause* pause = nullptr;
};
}  // namespace

TEST_F(ContextPauseTest, LayoutInItsBubble) {
    EXPECT_FLOAT_EQ(pause->pBubble->pSkin->width, 400.0f);
    EXPECT_FLOAT_EQ(pause->pBubble->pSkin->height, 400.0f);
    auto* heading = dynamic_cast<TextLabel*>(static_cast<QelBase*>(pause->pBubble->next));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text, u"Paused");
    EXPECT_FLOAT_EQ(heading->position.y, 150.0f);
    EXPECT_EQ(pause->pResumeButton->caption, u"Resume game");
    EXPECT_FLOAT_EQ(pause->pResumeButton->position.y, 50.0f);
    EXPECT_EQ(pause->pReturnButton->caption, u"Return to map");
    EXPECT_FALSE(pause->pReturnButton->hint.empty());
    EXPECT_FLOAT_EQ(pause->pReturnButton->position.y, 0.0f);
    EXPECT_FLOAT_EQ(pause->pMuteItem->position.x, -103.0f);
    EXPECT_FLOAT_EQ(pause->pMuteItem->position.y, -100.0f);
    EXPECT_EQ(pause->pMuteItem->captionLocation, 6);
    EXPECT_FLOAT_EQ(pause->pMuteItem->frameWidth, 50.0f);
    EXPECT_EQ(pause->pMuteItem->pOption, &application->gameConfiguration.bMuteAudio);
    EXPECT_EQ(pause->navigation.countChildren(), 3);
}

TEST_F(ContextPauseTest, ResumeClosesOnlyThePause) {
    clickAt(pause->pResumeButton->position);
    step();
    EXPECT_EQ(stack->getTopContext(), controller);
    EXPECT_FALSE(controller->bDone);
}

TEST_F(ContextPauseTest, ReturnToMapTakesTheLevelOffWithoutDeletingIt) {
    clickAt(pause->pReturnButton->position);
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    // The level waits for the map's play button: still the current game, out of the stack.
    EXPECT_EQ(application->pGameController, controller);
    EXPECT_EQ(controller->owner, nullptr);
    EXPECT_TRUE(controller->bDone);
}

TEST_F(ContextPauseTest, MuteTurnsTheSettingOverAtEachClick) {
    application->gameConfiguration.bMuteAudio = 0;
    pointerAt(pause->pMuteItem->position.x, pause->pMuteItem->position.y);
    step();
    press();
    step();
    endTouches();
    EXPECT_EQ(application->gameConfiguration.bMuteAudio, 1);
    press();
    step();
    endTouches();
    EXPECT_EQ(application->gameConfiguration.bMuteAudio, 0);
    EXPECT_EQ(stack->getTopContext(), pause);
}
