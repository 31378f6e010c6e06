// The main menu on the real screen stack: quitting with a confirmation, the website link, the
// close button, and the logo the story leaves on the menu background.

#include <gtest/gtest.h>

#include "ui/MenuTestFixture.h"
#include "engine/EngineFixture.h"
#include "ui/ContextIntro.h"
#include "ui/ContextLogo.h"
#include "menus/ContextMain.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextMessageBox.h"
#include "game/GameGlobal.h"
#include "ui/GlidingCamera.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"

namespace {

struct MainMenuFlowTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        pictures->addStandardPictures();
        application = new GameGlobal();
        // A named player: without one the greeting asks for a name first.
        application->profileManager.addProfile(u"Ann");
        stack = application->pContextManager = new ContextManager();
    }
    void TearDown() override {
        delete application;
        MenuTest::TearDown();
    }
    void tick() { stack->tick(0, 0.016); }
    static std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }
    void press(int code) {
        keys({code});
        tick();
        keys({});
    }

    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
};

}  // namespace

TEST_F(MainMenuFlowTest, EscapeAsksAndYesEndsTheProgram) {
    stack->pushContext(new ContextMain());
    tick();
    press(1);
    auto* box = dynamic_cast<ContextMessageBox*>(stack->getTopContext());
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->pSecondButton, nullptr);
    tick();
    box->pFirstButton->bClicked = true;
    tick();
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_TRUE(stack->bQuit);
}

TEST_F(MainMenuFlowTest, EscapeThenNoKeepsTheMenu) {
    auto* menu = new ContextMain();
    stack->pushContext(menu);
    tick();
    press(1);
    auto* box = dynamic_cast<ContextMessageBox*>(stack->getTopContext());
    ASSERT_NE(box, nullptr);
    tick();
    box->pSecondButton->bClicked = true;
    tick();
    tick();
    EXPECT_EQ(stack->getTopContext(), menu);
    EXPECT_FALSE(menu->bDone);
    EXPECT_FALSE(stack->bQuit);
    EXPECT_EQ(stack->confirmResult, 1);
}

TEST_F(MainMenuFlowTest, MenuSavesUserDataEachTimeItComesToTheFront) {
    stack->pushContext(new ContextMain());
    tick();
    const size_t first = logText().find("Global::saveUserData(): Saving.");
    ASSERT_NE(first, std::string::npos);
    press(1);
    tick();
    static_cast<ContextMessageBox*>(stack->getTopContext())->bDone = true;
    tick();
    EXPECT_NE(logText().find("Global::saveUserData(): Saving.", first + 1), std::string::npos);
}

TEST_F(MainMenuFlowTest, WebsiteLinkStoresItsPageAndEndsTheProgram) {
    auto* menu = new ContextMain();
    stack->pushContext(menu);
    tick();
    menu->pWebsiteButton->onClick();
    EXPECT_EQ(application->pendingUrl, ContextMain::websiteUrl());
    EXPECT_TRUE(stack->bQuit);
}

TEST_F(MainMenuFlowTest, QuitButtonFinishesTheFrontScreen) {
    auto* menu = new ContextMain();
    stack->pushContext(menu);
    tick();
    menu->pQuitButton->onClick();
    EXPECT_TRUE(menu->bDone);
    tick();
    EXPECT_TRUE(stack->bQuit);
}

TEST_F(MainMenuFlowTest, SkippedStoryLeavesTheLogoAndPutsTheIntroCameraDown) {
    auto* intro = new ContextIntro();
    auto* background = new ContextMenuBackground();
    application->pContextIntro = intro;
    application->pContextMenuBackground = background;
    const int backgroundChildren = background->countChildren();
    stack->pushContext(new ContextLogo());
    tick();
    EXPECT_FLOAT_EQ(intro->getGlidingCamera()->position.y, 424.0f);
    press(57);  // the skip key
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_EQ(background->countChildren(), backgroundChildren + 1);
    EXPECT_FLOAT_EQ(intro->getGlidingCamera()->position.y, 0.0f);
}
