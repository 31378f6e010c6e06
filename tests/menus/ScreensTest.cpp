#include <gtest/gtest.h>

#include <vector>

#include "ui/MenuTestFixture.h"
#include "ui/TestPictures.h"
#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextLogo.h"
#include "menus/ContextMain.h"
#include "ui/ContextStudioLogo.h"
#include "ui/FadingPicture.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "ui/TextLabel.h"
#include "support/LanguageSwitch.h"

namespace {

std::vector<WString> texts(QelBase* holder) {
    std::vector<WString> out;
    for (BasicLink* c = holder->firstChild; c; c = c->next) out.push_back(static_cast<TextLabel*>(c)->text);
    return out;
}

struct CountingMain : ContextMain {
    void createWorld() override { ++worlds; }
    int worlds = 0;
};

}  // namespace

TEST_F(MenuTest, StoryLinesAppearAtTheirMarks) {
    qel->bHoliday = false;
    ContextLogo logo;
    logo.tickContents(1.9, 0.1);
    EXPECT_EQ(logo.pTexts->countChildren(), 0);
    logo.tickContents(2.0, 0.1);
    ASSERT_EQ(logo.pTexts->countChildren(), 1);
    auto* title = static_cast<TextLabel*>(logo.pTexts->firstChild);
    EXPECT_EQ(title->text, AppText::text(u"INTRO11"));
    EXPECT_EQ(title->color & 0x00FFFFFFu, 0x00FFFFFFu);
    EXPECT_EQ(title->alignment, 0x15);
    EXPECT_FALSE(title->bShadow);
    // The same mark never fires twice.
    logo.tickContents(2.1, 0.1);
    EXPECT_EQ(logo.pTexts->countChildren(), 1);
}

TEST_F(MenuTest, LongFrameFiresEveryPassedMarkInOrder) {
    qel->bHoliday = false;
    ContextLogo logo;
    logo.tickContents(2.0, 0.1);
    logo.tickContents(15.0, 13.0);
    auto shown = texts(logo.pTexts);
    const char16_t* keys[] = {u"INTRO11", u"INTRO21", u"INTRO22", u"INTRO23", u"INTRO24", u"INTRO31", u"INTRO32"};
    ASSERT_EQ(shown.size(), 7u);
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], AppText::text(keys[i]));
    auto* line = static_cast<TextLabel*>(logo.pTexts->lastChild);
    // Story lines are black (their alpha has faded out in this long frame).
    EXPECT_EQ(line->color & 0x00FFFFFFu, 0u);
    EXPECT_FLOAT_EQ(line->position.y, -15.0f);
}

TEST_F(MenuTest, ClosingLineIsAStoryLineNotATitle) {
    qel->bHoliday = false;
    ContextLogo logo;
    logo.tickContents(30.0, 0.1);
    auto* line = static_cast<TextLabel*>(logo.pTexts->lastChild);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text, AppText::text(u"INTRO51"));
    EXPECT_EQ(line->color & 0x00FFFFFFu, 0u);
    EXPECT_FLOAT_EQ(line->position.y, 0.0f);
}

TEST_F(MenuTest, HolidayEditionUsesItsOwnLinesAndTheStoryEndsAfterForty) {
    pictures->addStandardPictures();
    qel->bHoliday = true;
    ContextLogo logo;
    logo.tickContents(2.0, 0.1);
    EXPECT_EQ(static_cast<TextLabel*>(logo.pTexts->firstChild)->text, AppText::text(u"INTRO11HOLIDAY"));
    logo.tickContents(35.0, 0.1);
    // The logo picture and the legal line join the screen itself.
    int logos = 0, legal = 0;
    for (BasicLink* c = logo.firstChild; c; c = c->next) {
        if (dynamic_cast<FadingPicture*>(c)) ++logos;
        if (auto* label = dynamic_cast<TextLabel*>(c); label && label->text == AppText::text(u"COPYRIGHT")) {
            ++legal;
            EXPECT_EQ(label->alignment, 34);
            EXPECT_FLOAT_EQ(label->position.x, -390.0f);
            EXPECT_FLOAT_EQ(label->position.y, -230.0f);
        }
    }
    EXPECT_EQ(logos, 1);
    EXPECT_EQ(legal, 1);
    EXPECT_FALSE(logo.bDone);
    logo.tickContents(40.1, 0.2);
    EXPECT_TRUE(logo.bDone);
}

TEST_F(MenuTest, LogoScreensAreSkippableAndDeletedWhenDone) {
    pictures->addStandardPictures();
    ContextLogo logo;
    ContextStudioLogo studio;
    for (Context* c : {static_cast<Context*>(&logo), static_cast<Context*>(&studio)}) {
        EXPECT_TRUE(c->bAnyKeyCloses);
        EXPECT_TRUE(c->bDeleteWhenDone);
        EXPECT_FALSE(c->bShowPointer);
    }
    EXPECT_DOUBLE_EQ(studio.timeLimit, 3.5);
    EXPECT_EQ(studio.clearColor, 0xFF000000u);
}

TEST_F(MenuTest, MainMenuLayout) {
    ContextMain menu;
    EXPECT_TRUE(menu.bConfirmEscape);
    EXPECT_TRUE(menu.bDeleteWhenDone);
    // The player greeting and the six buttons.
    EXPECT_EQ(menu.navigation.countChildren(), 7);
    const MenuItemButton* column[] = {menu.pStartButton, menu.pHighScoresButton, menu.pOptionsButton, menu.pCreditsButton};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(column[i]->position.x, 0.0f);
        EXPECT_FLOAT_EQ(column[i]->position.y, -50.0f * float(i + 1));
    }
    EXPECT_EQ(menu.pStartButton->caption, u"Start game");
    EXPECT_EQ(menu.pOptionsButton->caption, u"Options...");
    // Bottom corners: 800 / 2 + 50 / 2 - 40 = 385; 480 / 2 - 40 = 200.
    EXPECT_FLOAT_EQ(menu.pWebsiteButton->position.x, 305.0f);
    EXPECT_FLOAT_EQ(menu.pWebsiteButton->position.y, -200.0f);
    EXPECT_FLOAT_EQ(menu.pQuitButton->position.x, -305.0f);
    EXPECT_FLOAT_EQ(menu.pWebsiteButton->frameWidth, 160.0f);
    const WString url = menu.pWebsiteButton->url;
    EXPECT_EQ(url.substr(url.size() - 22), u"?src=VeskDiruzuriv1.47");
}

TEST_F(MenuTest, RightToLeftSwapsTheCornerButtons) {
    setRightToLeftForTest(true);
    ContextMain menu;
    EXPECT_FLOAT_EQ(menu.pWebsiteButton->position.x, -305.0f);
    EXPECT_FLOAT_EQ(menu.pQuitButton->position.x, 305.0f);
}

TEST_F(MenuTest, StartButtonOpensTheWorld) {
    // The credits that the second click opens need the intro picture.
    pictures->addStandardPictures();
    CountingMain menu;
    menu.pStartButton->bClicked = true;
    menu.pCreditsButton->bClicked = true;
    menu.tickContents(0, 0.016);
    EXPECT_EQ(menu.worlds, 1);
    EXPECT_FALSE(menu.pStartButton->bClicked);
    EXPECT_FALSE(menu.pCreditsButton->bClicked);
}

TEST_F(MenuTest, CtrlAltXIsTheCrashHotKey) {
    ContextMain menu;
    keys({45});
    input()->modifiers = MODIFIERS_CTRL_ALT;
    EXPECT_EXIT(menu.tickContents(0, 0.016), testing::ExitedWithCode(255), "");
    input()->modifiers = MODIFIERS_CTRL_ALT_SHIFT;
    menu.tickContents(0, 0.016);
}
