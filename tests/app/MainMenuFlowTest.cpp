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
#include "ui/AppText.h"
#include "support/FakePageOpener.h"

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

// With an opener the page is left for after the end and the program ends; without one the program
// keeps running and says so, naming the address (box, log and standard error).
TEST_F(MainMenuFlowTest, WebsiteLinkEndsTheProgramOnlyWhenThePageCanBeOpened) {
    for (const bool bOpener : {true, false}) {
        SCOPED_TRACE(bOpener ? "with an opener" : "without an opener");
        FakePageOpener opener(bOpener ? "" : "xdg-open is not on the PATH");
        stack->bQuit = false;
        application->pendingUrl.clear();
        auto* menu = new ContextMain();
        stack->pushContext(menu);
        tick();
        const std::string url = wideToUtf8(ContextMain::websiteUrl());
        testing::internal::CaptureStderr();
        menu->pWebsiteButton->onClick();
        const std::string stderrText = testing::internal::GetCapturedStderr();
        tick();
        if (bOpener) {
            EXPECT_EQ(application->pendingUrl, ContextMain::websiteUrl());
            EXPECT_TRUE(stack->bQuit);
            EXPECT_EQ(stderrText, "");
            // Opened after the end, not now.
            EXPECT_TRUE(opener.opened.empty());
        } else {
            EXPECT_EQ(application->pendingUrl, u"");
            EXPECT_FALSE(stack->bQuit);
            EXPECT_EQ(stderrText, "The page " + url + " cannot be opened: xdg-open is not on the PATH.\n");
            EXPECT_NE(logText().find("MenuItemLink::onClick(): The page '" + url + "' cannot be opened: xdg-open is not on the PATH."),
                      std::string::npos);
            auto* box = dynamic_cast<ContextMessageBox*>(stack->getTopContext());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->title, menu->pWebsiteButton->caption);
            EXPECT_EQ(box->text, AppText::text(u"FAILED") + u"|" + ContextMain::websiteUrl());
            // OK leaves the menu in front and the program running.
            box->bDone = true;
            tick();
            EXPECT_EQ(stack->getTopContext(), menu);
            EXPECT_FALSE(stack->bQuit);
        }
        menu->bDone = true;
        tick();
    }
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
