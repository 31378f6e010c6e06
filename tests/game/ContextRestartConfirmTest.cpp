// The question before a new game at a town: YES restarts there once and closes, NO only closes.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "game/ContextMessage.h"
#include "game/ContextRestartConfirm.h"
#include "game/SpeechBubble.h"

namespace {
struct ContextRestartConfirmTest : GameScreenTest {
    void SetUp() override {
        GameScreenTest::SetUp();
        map = new Context();
        stack->pushContext(map);
        step();
        profile().level() = 9;
        profile().highestLevel() = 10;
        profile().score() = 7000;
        profile().lives() = 2;
        question = new ContextRestartConfirm(4);
        stack->pushContext(question);
        step();
    }
    Context* map = nullptr;
    ContextRestartConfirm* question = nullptr;
};
}  // namespace

TEST_F(ContextRestartConfirmTest, LayoutInItsBubble) {
    EXPECT_FLOAT_EQ(question->pBubble->pSkin->width, 600.0f);
    EXPECT_FLOAT_EQ(question->pBubble->pSkin->height, 320.0f);
    auto* title = dynamic_cast<TextLabel*>(static_cast<QelBase*>(question->pBubble->next));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, u"Change Station?");
    EXPECT_FLOAT_EQ(title->position.y, 130.0f);
    auto* warning = dynamic_cast<TextLabel*>(static_cast<QelBase*>(title->next));
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->text, u"This will reset your score!");
    EXPECT_FLOAT_EQ(warning->position.y, 65.0f);
    EXPECT_EQ(warning->color, ContextMessage::TEXT_COLOUR);
    for (MenuItemButton* b : {question->pYesButton, static_cast<MenuItemButton*>(question->pNoButton)}) {
        EXPECT_FLOAT_EQ(b->frameWidth, 160.0f);
        EXPECT_EQ(b->normalColour, ContextRestartConfirm::SPEECH_CAPTION_COLOUR);
        EXPECT_EQ(b->highlightColour, 0xFFFFFFFFu);
        EXPECT_EQ(b->frameTexture, u"gui-game-button-speech");
    }
    EXPECT_FLOAT_EQ(question->pYesButton->position.y, -10.0f);
    EXPECT_FLOAT_EQ(question->pNoButton->position.y, -60.0f);
}

TEST_F(ContextRestartConfirmTest, YesRestartsAtTheTownOnceAndCloses) {
    application->pGameController = new GameController();
    const Vector3 yes = question->pYesButton->position;
    clickAt(yes);
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(profile().level(), 4);
    EXPECT_EQ(profile().score(), 0);
    EXPECT_EQ(profile().lives(), 3);
    EXPECT_EQ(profile().highestLevel(), 10);
    EXPECT_EQ(SoundTrace::count(u"toot2"), 1);
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    // Further frames and clicks restart nothing more.
    profile().score() = 10;
    clickAt(yes);
    EXPECT_EQ(SoundTrace::count(u"toot2"), 1);
    EXPECT_EQ(profile().score(), 10);
}

TEST_F(ContextRestartConfirmTest, NoOnlyCloses) {
    clickAt(question->pNoButton->position);
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    EXPECT_EQ(profile().level(), 9);
    EXPECT_EQ(profile().score(), 7000);
    EXPECT_EQ(SoundTrace::count(u"toot2"), 0);
}
