// The controller's layers and members as built, its place in the application object, and the
// game's pointer drawn in place of the pointer sprite.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "ui/PointerSprite.h"
#include "ui/TextLabel.h"
#include "game/ContextMessage.h"
#include "game/Launcher.h"
#include "game/Hud.h"
#include "game/MouseCursor.h"
#include "game/SpeechArrow.h"

using GameControllerTest = GameScreenTest;

TEST_F(GameControllerTest, LayersAreBuiltInOrder) {
    GameController controller;
    EXPECT_EQ(controller.firstChild, controller.pWorldLayer);
    EXPECT_EQ(controller.lastChild, controller.pHudLayer);
    // World layer: the level's two groups, the launcher, the cargo in flight, the effects, the
    // hint arrow.
    ASSERT_EQ(controller.pWorldLayer->countChildren(), 6);
    BasicLink* third = controller.pWorldLayer->firstChild->next->next;
    EXPECT_EQ(third, static_cast<BasicLink*>(controller.pLauncher));
    EXPECT_EQ(third->next, controller.pCargoLayer);
    EXPECT_EQ(third->next->next, controller.pEffectsLayer);
    EXPECT_EQ(controller.pWorldLayer->lastChild, controller.pSpeechArrow);
    // Display layer: the bar, then the message line in front of it.
    ASSERT_NE(controller.getHud(), nullptr);
    EXPECT_TRUE(controller.getHud()->bInGame);
    EXPECT_EQ(controller.pHudLayer->firstChild, controller.getHud());
    EXPECT_EQ(controller.pHudLayer->lastChild, controller.pMessageLabel);
    EXPECT_FLOAT_EQ(controller.pMessageLabel->position.y, 100.0f);
    EXPECT_TRUE(controller.pMessageLabel->text.empty());
    EXPECT_DOUBLE_EQ(controller.pMessageLabel->fadeIn, 0.25);
    EXPECT_DOUBLE_EQ(controller.pMessageLabel->fadeOut, 0.25);
    EXPECT_FALSE(controller.pMessageLabel->bRemoveWhenDone);
    EXPECT_NE(dynamic_cast<MouseCursor*>(controller.pPointerOverride), nullptr);
    EXPECT_FALSE(controller.bDeleteWhenDone);
}

TEST_F(GameControllerTest, StartsWithTheFirstLevelsValues) {
    GameController c;
    EXPECT_EQ(c.state, 0);
    EXPECT_FLOAT_EQ(c.maxSegmentSpeed, 1000.0f);
    EXPECT_FLOAT_EQ(c.minSegmentSpeed, -2000.0f);
    EXPECT_DOUBLE_EQ(c.powerUpPeriod, 17.0);
    EXPECT_DOUBLE_EQ(c.nextPowerUpTime, 0.0);
    EXPECT_EQ(c.leftClickHints, 5);
    EXPECT_EQ(c.rightClickHints, 5);
    EXPECT_EQ(c.clawHints, 5);
    EXPECT_EQ(c.stats_shotsFired + c.stats_correctPlacements + c.stats_incorrectPlacements + c.stats_placementStreak +
                  c.stats_bonusesSpawned + c.stats_bonusesCollected,
              0);
    EXPECT_EQ(c.pTutorialPopup, nullptr);
    EXPECT_EQ(c.command, GameController::COMMAND_NONE);
}

TEST_F(GameControllerTest, DeletingTheCurrentGameClearsTheApplicationsPointerAndAnUnshownPage) {
    auto* current = new GameController();
    application->pGameController = current;
    // A page prepared but never shown goes with the game (the sanitizer would see it leak).
    current->pTutorialPopup = new ContextMessage();
    EXPECT_EQ(GameController::current(), current);
    GameController other;
    delete current;
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(GameController::current(), nullptr);
}

TEST_F(GameControllerTest, TheGamesPointerFollowsTheDisplayLayerAndHidesInTouchMode) {
    auto* controller = new GameController();
    application->pGameController = controller;
    stack->pushContext(controller);
    input()->inputMode = INPUTMODE_MOUSE;
    pointerAt(120, -60);
    step();
    step();
    auto* cursor = static_cast<MouseCursor*>(controller->pPointerOverride);
    EXPECT_NEAR(cursor->position.x, 120.0f, 1.0f);
    EXPECT_NEAR(cursor->position.y, -60.0f, 1.0f);
    EXPECT_FALSE(cursor->bHidden);
    EXPECT_EQ(cursor->pSkin, static_cast<Texture*>(qel->pResourceManager->find(false, u"mousePointer"))->skins[1]);
    input()->inputMode = INPUTMODE_TOUCH;
    step();
    EXPECT_TRUE(cursor->bHidden);
}
