// The credits (the version line, the lines with their gap at the centre, the scrolling and the
// fades) and the help screen's links.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "ScreenFixture.h"
#include "TestLanguage.h"
#include "ui/AppText.h"
#include "ui/ContextIntro.h"
#include "ui/MenuEntry.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "ui/TextLabel.h"
#include "engine/Utilities.h"
#include "menus/ContextCredits.h"
#include "menus/ContextHelp.h"
#include "menus/CreditsList.h"
#include "support/FakePageOpener.h"

namespace {

std::vector<TextLabel*> labels(CreditsList& list) {
    std::vector<TextLabel*> out;
    for (BasicLink* l = list.lines->firstChild; l; l = l->next) out.push_back(static_cast<TextLabel*>(l));
    return out;
}

}  // namespace

TEST_F(ScreenTest, CreditLineKeepsItsGapAtTheCentre) {
    struct Case {
        bool rtl;
        const char16_t* role;
        const char16_t* name;
        const char16_t* text;
        float x;
        bool centred;
    };
    // The stand-in font is 10 units a character: the gap of six spaces spans x - 30 .. x + 30
    // around the centre whatever the lengths.
    const Case cases[] = {
        {false, u"Art", u"Morvane", u"Art      Morvane", -60, false},
        {false, u"Programming and design", u"Us", u"Programming and design      Us", -250, false},
        {false, u"", u"Name", u"      Name", -30, false},
        {false, u"Role", u"", u"Role", 0, true},
        {false, u"", u"", u"", 0, true},
        // Right to left: the name stands left of the gap, the role right of it.
        {true, u"Art", u"Morvane", u"Morvane      Art", -100, false},
        {true, u"", u"Name", u"Name      ", -70, false},
    };
    for (const Case& c : cases) {
        setTestRightToLeft(c.rtl);
        CreditsList list;
        list.addLine(c.role, c.name);
        auto all = labels(list);
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0]->text, c.text);
        EXPECT_FLOAT_EQ(all[0]->position.x, c.x) << wideToUtf8(c.text);
        EXPECT_EQ((all[0]->alignment & 0x4) != 0, c.centred) << wideToUtf8(c.text);
        EXPECT_EQ(all[0]->color, 0xFF000000u);
        if (!c.centred) {
            // The middle of the gap: the left part and three spaces from x.
            const WString left = c.rtl ? c.name : c.role;
            EXPECT_FLOAT_EQ(all[0]->position.x + 10.0f * float(left.size() + 3), 0.0f);
        }
        EXPECT_FLOAT_EQ(all[0]->scale.x, 1.0f);
    }
}

TEST_F(ScreenTest, CreditLineWiderThanThePictureIsNarrowedAboutTheGap) {
    // The picture is 800 wide; each side keeps 10 units from its edge: 390 units of room.
    struct Case {
        bool rtl;
        WString role, name;
        float scale;
    };
    const Case cases[] = {
        {false, u"Ab", WString(50, u'n'), 390.0f / 530.0f},
        {false, u"", WString(40, u'n'), 390.0f / 430.0f},
        {false, WString(45, u'r'), u"Cd", 390.0f / 480.0f},
        {true, u"Ab", WString(50, u'n'), 390.0f / 530.0f},
        {false, u"Ab", WString(36, u'n'), 1.0f},
    };
    for (const Case& c : cases) {
        setTestRightToLeft(c.rtl);
        CreditsList list;
        list.addLine(c.role, c.name);
        TextLabel* line = labels(list)[0];
        EXPECT_FLOAT_EQ(line->scale.x, c.scale);
        const WString& left = c.rtl ? c.name : c.role;
        const WString& right = c.rtl ? c.role : c.name;
        // The gap's middle stays at the centre; both ends stay inside the room.
        const float s = line->scale.x;
        EXPECT_NEAR(line->position.x + s * 10.0f * float(left.size() + 3), 0.0f, 0.001f);
        EXPECT_GE(line->position.x, -390.001f);
        EXPECT_LE(line->position.x + s * 10.0f * float(left.size() + 6 + right.size()), 390.001f);
    }
    // A centred line wider than the picture is narrowed to it.
    setTestRightToLeft(false);
    CreditsList list;
    list.addLine(WString(100, u'x'), u"");
    EXPECT_FLOAT_EQ(labels(list)[0]->scale.x, 780.0f / 1000.0f);
}

TEST_F(ScreenTest, CreditLinesStackDownFromTheBottomEdge) {
    CreditsList list;
    EXPECT_FLOAT_EQ(list.nextLineY, -240.0f);
    list.addHeading(u"Title");
    list.addLine(u"A", u"B");
    list.addLine(u"", u"");
    auto all = labels(list);
    ASSERT_EQ(all.size(), 3u);
    // 1.15 line heights each (the stand-in font's line is 20 units high).
    EXPECT_FLOAT_EQ(all[0]->position.y, -240.0f);
    EXPECT_FLOAT_EQ(all[1]->position.y, -263.0f);
    EXPECT_FLOAT_EQ(all[2]->position.y, -286.0f);
    EXPECT_FLOAT_EQ(list.nextLineY, -309.0f);
    EXPECT_EQ(all[0]->color, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(all[0]->position.x, 0.0f);
}

TEST_F(ScreenTest, CreditsFillInOrder) {
    CreditsList list;
    list.fill();
    std::vector<WString> expected = {AppText::text(u"VESK"), AppText::text(u"COPYRIGHT"), u""};
    auto pair = [](int i) {
        return AppText::text(format(u"CREDITS%dA", i).c_str()) + u"      " + AppText::text(format(u"CREDITS%dB", i).c_str());
    };
    for (int i = 1; i <= 5; ++i) expected.push_back(pair(i));
    for (int i = 6; i <= 8; ++i) expected.push_back(u"      " + AppText::text(format(u"CREDITS%dB", i).c_str()));
    expected.push_back(pair(10));
    for (int i = 11; i <= 45; ++i) expected.push_back(u"      " + AppText::text(format(u"CREDITS%dB", i).c_str()));
    auto all = labels(list);
    ASSERT_EQ(all.size(), expected.size());
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i]->text, expected[i]) << i;
    for (TextLabel* l : all) EXPECT_NE(l->text, AppText::text(u"CREDITS"));
}

TEST(CreditsFadeTest, AlphaFadesInAtTheBottomAndOutAtTheTop) {
    struct Case {
        float y;
        int alpha;
    };
    // Top 240, bottom -240.
    const Case cases[] = {{300, 0},  {240, 0},  {215, 127}, {190, 255}, {0, 255},
                          {-140, 255}, {-170, 127}, {-200, 0}, {-230, 0}, {-400, 0}};
    for (const Case& c : cases) EXPECT_EQ(CreditsList::lineAlpha(c.y, 240.0f, -240.0f), c.alpha) << c.y;
}

TEST_F(ScreenTest, CreditLinesRiseAndAreDeletedPastTheTop) {
    auto* list = new CreditsList();
    list->addLine(u"Role", u"");
    list->addLine(u"Other", u"");
    auto* first = labels(*list)[0];
    stack->pushContext(list);
    // 30 units a second at 1/60 s a frame: half a unit a frame.
    tick();
    EXPECT_FLOAT_EQ(first->position.y, -239.5f);
    EXPECT_TRUE(first->bHidden);
    // Into the picture: opaque in the middle.
    first->position.y = 0.0f;
    tick();
    EXPECT_FALSE(first->bHidden);
    EXPECT_EQ(first->color >> 24, 255u);
    EXPECT_EQ(first->color & 0x00FFFFFFu, 0u);
    // 64 units above the top edge it is marked, and the next walk deletes it.
    first->position.y = 240.0f + 63.8f;
    tick();
    ASSERT_EQ(labels(*list).size(), 2u);
    EXPECT_TRUE(first->bDead);
    tick();
    auto left = labels(*list);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]->text, u"Other");
}

TEST_F(ScreenTest, CreditsScreenEndsAfterSixtySixSecondsOrOnTheSkipKey) {
    auto* credits = new ContextCredits();
    EXPECT_TRUE(credits->bDeleteWhenDone);
    EXPECT_TRUE(credits->bAnyKeyCloses);
    EXPECT_DOUBLE_EQ(credits->timeLimit, 66.0);
    // Its own picture, not the shared one, with one more glide of the camera.
    ASSERT_NE(credits->pBackdrop, nullptr);
    EXPECT_EQ(credits->pPreHook, credits->pBackdrop);
    EXPECT_NE(credits->pPreHook, application->pContextIntro);
    EXPECT_EQ(credits->pVersionLabel->text, format(u"%s %dx", getVersionLine(), qel->hq2x));
    EXPECT_FLOAT_EQ(credits->pVersionLabel->position.x, 396.0f);
    EXPECT_FLOAT_EQ(credits->pVersionLabel->position.y, -238.0f);
    EXPECT_EQ(credits->pVersionLabel->alignment, 0x28);
    EXPECT_EQ(credits->pVersionLabel->color, 0xFF000000u);
    EXPECT_EQ(credits->pList->lines->countChildren(), 47);
    push(credits);
    qel->maxFrameDelta = 1.0;
    qel->frameTimer.frameTime = 1.0;
    for (int i = 0; i < 65; ++i) tick();
    EXPECT_EQ(stack->getTopContext(), credits);
    tick();
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);

    qel->frameTimer.frameTime = 1.0 / 60.0;
    auto* again = new ContextCredits();
    push(again);
    keys({57});
    tick();
    keys({});
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
}

TEST_F(ScreenTest, HelpLayoutAndLinks) {
    setenv("VESK_MAKER_HOST", "help.example:8080", 1);
    ContextHelp help;
    unsetenv("VESK_MAKER_HOST");
    EXPECT_TRUE(help.bDeleteWhenDone);
    EXPECT_EQ(help.pTitle->text, AppText::text(u"HELPTITLE"));
    EXPECT_FLOAT_EQ(help.pTitle->position.y, 200.0f);
    struct Case {
        MenuItemButton* item;
        float x, y;
        const char16_t* caption;
    };
    const Case cases[] = {{help.pDocumentationButton, 0, 50, u"DOCUMENTATION"},
                          {help.pOnlineHelpButton, 0, 0, u"ONLINEHELP"},
                          {help.pBackButton, -305, -200, u"BACK"}};
    BasicLink* entry = help.navigation.firstChild;
    for (const Case& c : cases) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(static_cast<MenuEntry*>(entry)->getItem(), c.item);
        EXPECT_FLOAT_EQ(c.item->position.x, c.x);
        EXPECT_FLOAT_EQ(c.item->position.y, c.y);
        EXPECT_EQ(c.item->caption, AppText::text(c.caption));
        entry = entry->next;
    }
    EXPECT_EQ(help.pDocumentationButton->hint, AppText::text(u"DOCUMENTATIONHINT"));
    EXPECT_EQ(help.pOnlineHelpButton->hint, AppText::text(u"ONLINEHELPHINT"));
    EXPECT_EQ(help.pOnlineHelpButton->url, u"http://help.example:8080/vesk/onlinehelp.php");
    EXPECT_FLOAT_EQ(help.pBackButton->frameWidth, 160.0f);
}

TEST_F(ScreenTest, DocumentationIsTheManualBesideTheProgramWhateverTheCurrentFolder) {
    const WString beside = getProgramFolder() + u"/readme.htm";
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    auto* help = new ContextHelp();
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(help->pDocumentationButton->url, beside);
    EXPECT_EQ(beside[0], u'/');
    // The build writes the manual there.
    EXPECT_TRUE(fileExists(beside));
    const FakePageOpener opener;
    push(help);
    tap(0, 50);
    EXPECT_EQ(application->pendingUrl, beside);
    EXPECT_TRUE(stack->bQuit);
}
