// The player greeting on the main menu, the list of players and the name entry, on the real
// screen stack with the application's profiles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ScreenFixture.h"
#include "TestLanguage.h"
#include "ui/AppText.h"
#include "menus/ContextMain.h"
#include "ui/ContextMessageBox.h"
#include "ui/MenuEntry.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/NameSlot.h"
#include "ui/TextLabel.h"
#include "media/Context.h"
#include "menus/ContextPlayerName.h"
#include "menus/ContextPlayers.h"
#include "menus/PlayerGreeting.h"
#include "menus/ValueButton.h"

namespace {

struct PlayerScreensTest : ScreenTest {
    ProfileManager& profiles() { return application->profileManager; }
    void addProfiles(std::initializer_list<const char16_t*> names) {
        for (const char16_t* n : names) profiles().addProfile(n);
    }
    PlayerGreeting* greeting(ContextMain* menu) {
        for (BasicLink* c = menu->firstChild; c; c = c->next)
            if (auto* g = dynamic_cast<PlayerGreeting*>(static_cast<QelBase*>(c))) return g;
        return nullptr;
    }
    static int occurrences(const std::string& text, const std::string& line) {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    }
    // Types one character through the engine's input in the next tick.
    void typeChar(char16_t c) {
        input()->typedChar = c;
        tick();
        input()->typedChar = 0;
    }
    void typeText(WStringView text) {
        for (char16_t c : text) typeChar(c);
    }
    std::vector<ValueButton*> keyboardKeys(ContextPlayerName* screen) {
        std::vector<ValueButton*> out;
        for (BasicLink* l = screen->navigation.firstChild; l; l = l->next)
            if (auto* k = dynamic_cast<ValueButton*>(static_cast<MenuEntry*>(l)->getItem())) out.push_back(k);
        return out;
    }
};

}  // namespace

// --- The greeting ---

TEST(PlayerGreetingRuleTest, HoverBoxSpansTheGreetingLine) {
    struct Case {
        float x, y;
        bool over;
    };
    // The label stands at y = 35: the box is -100 <= x < 100, -1 < y <= 35.
    const Case cases[] = {{0, 35, true},     {0, 35.5f, false}, {0, -0.5f, true}, {0, -1, false},
                          {-100, 20, true},  {100, 20, false},  {99.5f, 0, true},  {-100.5f, 20, false}};
    for (const Case& c : cases) EXPECT_EQ(PlayerGreeting::isOver(c.x, c.y, 35.0f), c.over) << c.x << ", " << c.y;
}

TEST_F(PlayerScreensTest, GreetingSaysHelloAndRedWhileHovered) {
    addProfiles({u"Ann"});
    auto* menu = new ContextMain();
    push(menu);
    PlayerGreeting* g = greeting(menu);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->helloLabel->text, u"Hello, Ann!");
    EXPECT_EQ(g->helloLabel->position.y, 35.0f);
    EXPECT_EQ(g->helloLabel->alignment & 0x200, 0x200);
    EXPECT_EQ(g->hintLabel->text, u"Click here to change players.");
    EXPECT_EQ(g->hintLabel->color, PlayerGreeting::HINT_COLOUR);
    EXPECT_EQ(g->helloLabel->color, PlayerGreeting::NORMAL_COLOUR);
    pointAt(menu, 10, 20);
    tick();
    EXPECT_EQ(g->helloLabel->color, 0xFFFF0000u);
    EXPECT_EQ(application->gameConfiguration.bPlayerNameRequested, 0);
}

// Relative luminance and contrast ratio of two opaque ARGB colours.
static double luminance(uint32_t argb) {
    auto channel = [](uint32_t c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel((argb >> 16) & 0xFF) + 0.7152 * channel((argb >> 8) & 0xFF) + 0.0722 * channel(argb & 0xFF);
}
static double contrast(uint32_t a, uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(PlayerScreensTest, GreetingReadsOnThePaleSnowBehindIt) {
    addProfiles({u"Ann"});
    auto* menu = new ContextMain();
    push(menu);
    const auto& texts = draw();
    const DrawnText* hello = find(texts, u"Hello, Ann!");
    const DrawnText* hint = find(texts, u"Click here to change players.");
    ASSERT_NE(hello, nullptr);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hello->flags & 0x200, 0x200);
    // The snow of the menu picture around the greeting is close to white.
    const uint32_t snow = 0xFFE8EEF5;
    for (uint32_t colour : {hello->colour, hint->colour, PlayerGreeting::HOVER_COLOUR})
        EXPECT_GE(contrast(colour, snow), 3.0) << std::hex << colour;
}

TEST_F(PlayerScreensTest, PressOnTheGreetingOpensThePlayers) {
    addProfiles({u"Ann"});
    auto* menu = new ContextMain();
    push(menu);
    // A press beside the greeting opens nothing.
    pointAt(menu, 150, 20);
    press();
    tick();
    EXPECT_EQ(stack->getTopContext(), menu);
    pointAt(menu, 0, 20);
    tick();
    tick();
    ASSERT_NE(top<ContextPlayers>(), nullptr);
    EXPECT_TRUE(top<ContextPlayers>()->bEscapeCloses);
}

TEST_F(PlayerScreensTest, MissingNameIsAskedForAndEscapeDoesNotLeave) {
    auto* menu = new ContextMain();
    stack->pushContext(menu);
    // Even with the greeting pressed in the same frame, only the name screen comes.
    pointAt(menu, 0, 20);
    press();
    tick();
    input()->touchList.deleteChildren();
    EXPECT_EQ(application->gameConfiguration.bPlayerNameRequested, 1);
    EXPECT_EQ(stack->countChildren(), 2);
    auto* name = top<ContextPlayerName>();
    ASSERT_NE(name, nullptr);
    EXPECT_FALSE(name->bEscapeCloses);
    EXPECT_FALSE(name->bKeyboardNavigation);
    // Escape does nothing.
    keys({1});
    tick();
    keys({});
    tick();
    EXPECT_EQ(stack->getTopContext(), name);
    // A name and Enter: the player is greeted.
    typeText(u"Zoe");
    typeChar(13);
    tick();
    EXPECT_EQ(stack->getTopContext(), menu);
    EXPECT_EQ(profiles().countProfiles(), 1);
    EXPECT_EQ(profiles().currentIndex, 0);
    EXPECT_EQ(greeting(menu)->helloLabel->text, u"Hello, Zoe!");
    EXPECT_EQ(application->gameConfiguration.bPlayerNameRequested, 0);
    EXPECT_EQ(stack->countChildren(), 1);
}

TEST_F(PlayerScreensTest, GreetingHintFollowsTheInputMode) {
    PlayerGreeting g;
    input()->setInputMode(INPUTMODE_TOUCH);
    EXPECT_EQ(g.hintLabel->text, u"Tap here to change players.");
    input()->setInputMode(INPUTMODE_MOUSE);
    EXPECT_EQ(g.hintLabel->text, u"Click here to change players.");
}

TEST_F(PlayerScreensTest, GreetingNavigationPointIsTheLineCentre) {
    addProfiles({u"Ann"});
    auto* menu = new ContextMain();
    push(menu);
    PlayerGreeting* g = greeting(menu);
    const Vector3 world = ContextMenu::pointerToWorld(menu, g->getNavigationPoint(0));
    EXPECT_NEAR(world.x, 0.0f, 0.001f);
    EXPECT_NEAR(world.y, 17.0f, 0.001f);
    EXPECT_TRUE(PlayerGreeting::isOver(world.x, world.y, g->helloLabel->position.y));
    EXPECT_EQ(g->getNavigationPoint(1).x, -1.0f);
    // The greeting is the first point of the menu's navigation.
    EXPECT_EQ(static_cast<MenuEntry*>(menu->navigation.firstChild)->getItem(), g);
}

// --- The players list ---

TEST(PlayersRuleTest, RowsSpanThirtyUnitsDownFromOneHundredFifty) {
    struct Case {
        float x, y;
        int count;
        int row;
    };
    const Case cases[] = {
        {0, 150, 1, 0},   {0, 150.5f, 2, -1}, {0, 120.5f, 2, 0}, {0, 120, 2, 1},  {0, 120, 1, -1},
        {0, 90.5f, 2, 1}, {0, 90, 2, -1},     {0, 90, 3, 2},  {0, -60, 8, 7},    {0, -90, 8, -1},
        {-150, 140, 2, 0}, {149.5f, 140, 2, 0}, {150, 140, 2, -1}, {-150.5f, 140, 2, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContextPlayers::rowAt(c.x, c.y, c.count), c.row) << c.x << ", " << c.y << " of " << c.count;
}

TEST_F(PlayerScreensTest, AddAndDeleteFollowTheProfileCount) {
    struct Case {
        int count;
        bool addDisabled, deleteDisabled;
    };
    const Case cases[] = {{1, false, true}, {2, false, false}, {7, false, false}, {8, true, false}};
    for (const Case& c : cases) {
        while (profiles().countProfiles() < c.count) profiles().addProfile(format(u"P%d", profiles().countProfiles()));
        ContextPlayers screen;
        screen.tickContents(0, 0);
        EXPECT_EQ(screen.pAddButton->bDisabled, c.addDisabled) << c.count;
        EXPECT_EQ(screen.pDeleteButton->bDisabled, c.deleteDisabled) << c.count;
    }
}

TEST_F(PlayerScreensTest, PlayersLayout) {
    addProfiles({u"Ann", u"Bo"});
    ContextPlayers screen;
    EXPECT_TRUE(screen.bDeleteWhenDone);
    EXPECT_EQ(screen.pSlot->caption, u"Players");
    EXPECT_FLOAT_EQ(screen.pSlot->width, 640.0f);
    EXPECT_FLOAT_EQ(screen.pSlot->height, 384.0f);
    EXPECT_FLOAT_EQ(screen.pAddButton->position.x, -170.0f);
    EXPECT_FLOAT_EQ(screen.pDoneButton->position.x, 170.0f);
    EXPECT_FLOAT_EQ(screen.pDeleteButton->position.y, -128.0f);
    EXPECT_EQ(screen.pDeleteButton->confirmText, AppText::text(u"CONFIRM"));
    // ADDPLAYER, DELETEPLAYER, DONE, then the rows.
    std::vector<MenuNavigable*> order;
    for (BasicLink* l = screen.navigation.firstChild; l; l = l->next) order.push_back(static_cast<MenuEntry*>(l)->getItem());
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], screen.pAddButton);
    EXPECT_EQ(order[2], screen.pDoneButton);
    EXPECT_EQ(order[3], screen.pRows);
    setTestRightToLeft(true);
    ContextPlayers mirrored;
    EXPECT_FLOAT_EQ(mirrored.pAddButton->position.x, 170.0f);
    EXPECT_FLOAT_EQ(mirrored.pDoneButton->position.x, -170.0f);
}

TEST_F(PlayerScreensTest, RowNavigationPointsSelectTheirRowAfterTheRoundTrip) {
    addProfiles({u"Ann", u"Bo", u"Cy"});
    auto* screen = new ContextPlayers();
    push(screen);
    for (bool rtl : {false, true}) {
        setTestRightToLeft(rtl);
        for (int i = 0; i < 3; ++i) {
            const Vector3 p = screen->pRows->getNavigationPoint(i);
            // The pointer passes through the window's whole pixels on its way back.
            const Vector3 pixel(std::floor(p.x), std::floor(p.y), 0.0f);
            for (const Vector3& q : {p, pixel, Vector3(pixel.x + 1, pixel.y + 1, 0)}) {
                const Vector3 w = ContextMenu::pointerToWorld(screen, q);
                EXPECT_EQ(ContextPlayers::rowAt(w.x, w.y, 3), i) << "row " << i << (rtl ? " rtl" : "");
            }
        }
        EXPECT_EQ(screen->pRows->getNavigationPoint(3).x, -1.0f);
    }
}

TEST_F(PlayerScreensTest, KeyboardConfirmOnARowMakesItCurrent) {
    addProfiles({u"Ann", u"Bo", u"Cy"});
    profiles().currentIndex = 0;
    auto* screen = new ContextPlayers();
    push(screen);
    input()->pointer = screen->pRows->getNavigationPoint(2);
    keys({28});
    tick();
    keys({});
    tick();
    // The confirm key's release clicks at the pointer; the press reaches the screen next tick.
    ASSERT_GT(touchCount(), 0);
    static_cast<TouchPoint*>(input()->touchList.firstChild)->bPressed = true;
    tick();
    EXPECT_EQ(profiles().currentIndex, 2);
}

TEST_F(PlayerScreensTest, PressOnARowMakesItCurrentAndAnnouncesIt) {
    addProfiles({u"Ann", u"Bo"});
    application->lastHighScoreRow = 4;
    auto* screen = new ContextPlayers();
    push(screen);
    ASSERT_EQ(profiles().currentIndex, 1);
    const int announced = occurrences(logText(), "Changing profile to 'Ann'...");
    pointAt(screen, 0, 150);
    press();
    tick();
    EXPECT_EQ(profiles().currentIndex, 0);
    EXPECT_EQ(application->lastHighScoreRow, -1);
    EXPECT_EQ(occurrences(logText(), "Changing profile to 'Ann'..."), announced + 1);
    // Below the last row nothing changes.
    input()->touchList.deleteChildren();
    pointAt(screen, 0, 90);
    press();
    tick();
    EXPECT_EQ(profiles().currentIndex, 0);
}

TEST_F(PlayerScreensTest, DeleteAfterYesMakesTheSuccessorCurrentAndAnnouncesIt) {
    struct Case {
        int current;
        int expectedIndex;
        const char16_t* expectedName;
    };
    // Deleting one with successors makes its successor current; the last named one, the first.
    const Case cases[] = {{1, 1, u"Cy"}, {2, 0, u"Ann"}, {0, 0, u"Bo"}};
    for (const Case& c : cases) {
        profiles().currentIndex = 0;
        while (profiles().countProfiles() > 0) profiles().deleteProfile(0);
        addProfiles({u"Ann", u"Bo", u"Cy"});
        profiles().currentIndex = c.current;
        application->lastHighScoreRow = 3;
        const std::string line = "Changing profile to '" + wideToUtf8(c.expectedName) + "'...";
        const int announced = occurrences(logText(), line);
        auto* screen = new ContextPlayers();
        push(screen);
        tap(0, -128);
        auto* box = top<ContextMessageBox>();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text, AppText::text(u"CONFIRM"));
        EXPECT_EQ(profiles().countProfiles(), 3) << "nothing is deleted before the answer";
        box->pFirstButton->bClicked = true;
        tick();
        tick();
        EXPECT_EQ(stack->getTopContext(), screen);
        EXPECT_EQ(profiles().countProfiles(), 2);
        EXPECT_EQ(profiles().currentIndex, c.expectedIndex);
        EXPECT_EQ(profiles().getProfileName(profiles().currentIndex), c.expectedName);
        EXPECT_EQ(application->lastHighScoreRow, -1);
        EXPECT_EQ(occurrences(logText(), line), announced + 1);
        screen->bDone = true;
        tick();
    }
}

TEST_F(PlayerScreensTest, DeleteAnsweredNoKeepsEveryProfile) {
    addProfiles({u"Ann", u"Bo"});
    auto* screen = new ContextPlayers();
    push(screen);
    tap(0, -128);
    auto* box = top<ContextMessageBox>();
    ASSERT_NE(box, nullptr);
    box->pSecondButton->bClicked = true;
    tick();
    tick();
    tick();
    EXPECT_EQ(stack->getTopContext(), screen);
    EXPECT_EQ(profiles().countProfiles(), 2);
    EXPECT_EQ(profiles().currentIndex, 1);
}

TEST_F(PlayerScreensTest, AddOpensANameScreenThatEscapeCloses) {
    addProfiles({u"Ann"});
    auto* screen = new ContextPlayers();
    push(screen);
    tap(-170, -128);
    auto* name = top<ContextPlayerName>();
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->bEscapeCloses);
    typeText(u"Bo");
    keys({1});
    tick();
    keys({});
    tick();
    EXPECT_EQ(stack->getTopContext(), screen);
    EXPECT_EQ(profiles().countProfiles(), 1);
}

TEST_F(PlayerScreensTest, SeventhAndEighthProfilesCanBeAddedButNoNinth) {
    for (int i = 0; i < 7; ++i) profiles().addProfile(format(u"P%d", i));
    auto* screen = new ContextPlayers();
    push(screen);
    tap(-170, -128);
    ASSERT_NE(top<ContextPlayerName>(), nullptr);
    typeText(u"Eight");
    typeChar(13);
    tick();
    EXPECT_EQ(profiles().countProfiles(), 8);
    EXPECT_EQ(profiles().getProfileName(7), u"Eight");
    EXPECT_EQ(profiles().currentIndex, 7);
    tap(-170, -128);
    EXPECT_EQ(stack->getTopContext(), screen);
    EXPECT_TRUE(screen->pAddButton->bDisabled);
}

TEST_F(PlayerScreensTest, RowsAreDrawnOverTheMenuWithTheCurrentOneMarked) {
    addProfiles({u"Ann", u"Bo", u"ABCDEFGHIJKLMNOP"});
    profiles().currentIndex = 1;
    auto* menu = new ContextMain();
    push(menu);
    auto* screen = new ContextPlayers();
    push(screen);
    for (bool rtl : {false, true}) {
        setTestRightToLeft(rtl);
        const auto& texts = draw();
        // The menu beneath is drawn first.
        const DrawnText* start = find(texts, u"Start game");
        const DrawnText* ann = find(texts, u"Ann");
        ASSERT_NE(start, nullptr);
        ASSERT_NE(ann, nullptr);
        EXPECT_LT(start - texts.data(), ann - texts.data());
        const WString names[] = {u"Ann", u"Bo", u"ABCDEFGHIJKLMNOP"};
        for (int i = 0; i < 3; ++i) {
            const DrawnText* t = find(texts, names[i]);
            ASSERT_NE(t, nullptr);
            EXPECT_FLOAT_EQ(t->x, rtl ? 150.0f : -150.0f);
            EXPECT_FLOAT_EQ(t->y, 135.0f - 30.0f * float(i));
            EXPECT_EQ(t->flags, rtl ? 0x218 : 0x212);
            EXPECT_EQ(t->colour, i == 1 ? 0xFFFF0000u : 0xFFCCCCCCu);
        }
        const DrawnText* marker = find(texts, u"\u0001");
        ASSERT_NE(marker, nullptr);
        EXPECT_FLOAT_EQ(marker->x, rtl ? 165.0f : -160.0f);
        EXPECT_FLOAT_EQ(marker->y, 105.0f);
        EXPECT_EQ(marker->colour, 0xFFFF0000u);
    }
}

TEST_F(PlayerScreensTest, LongNamesAreScaledToThreeHundredUnits) {
    // The stand-in font makes every character 10 units wide: 16 characters are 160 units, so
    // scale with a wider font.
    FontAccess::widthHook = [](FontQuad*, WStringView text) { return 25.0f * float(text.size()); };
    addProfiles({u"ABCDEFGHIJKLMNOP", u"Bo"});
    push(new ContextPlayers());
    FontAccess::drawHook = [](FontQuad*, Renderable* r, int, WStringView text) {
        if (text == u"ABCDEFGHIJKLMNOP") drawn().push_back(DrawnText{WString(text), r->scale.x, 0, 0, 0, nullptr});
        if (text == u"Bo") drawn().push_back(DrawnText{WString(text), r->scale.x, 0, 0, 0, nullptr});
    };
    const auto& texts = draw();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FLOAT_EQ(texts[0].x, 300.0f / 400.0f);
    EXPECT_FLOAT_EQ(texts[1].x, 1.0f);
}

// --- The name entry ---

TEST(PlayerNameRuleTest, NameCharactersAndTrimming) {
    struct Case {
        char16_t c;
        bool allowed;
    };
    const Case cases[] = {{u'a', true},   {u' ', true},    {u'~', true},    {0x00E9, true},  {0x4E2D, true},
                          {0x001F, false}, {u'\t', false}, {13, false},     {0x007F, false}, {0xD800, false},
                          {0xDBFF, false}, {0xDC00, false}, {0xDFFF, false}, {0xE000, true},  {0xFFFD, true}};
    for (const Case& c : cases) EXPECT_EQ(ContextPlayerName::isNameCharacter(c.c), c.allowed) << int(c.c);
    EXPECT_EQ(ContextPlayerName::trimmed(u"  Ann  "), u"Ann");
    EXPECT_EQ(ContextPlayerName::trimmed(u"\t\r\n Ann Lee\n"), u"Ann Lee");
    EXPECT_EQ(ContextPlayerName::trimmed(u"   "), u"");
    EXPECT_EQ(ContextPlayerName::trimmed(u""), u"");
}

TEST_F(PlayerScreensTest, TypingRules) {
    struct Case {
        const char16_t* typed;
        const char16_t* name;
        bool okEnabled;
    };
    const Case cases[] = {
        {u"Ann", u"Ann", true},
        // The seventeenth character is ignored.
        {u"ABCDEFGHIJKLMNOPQ", u"ABCDEFGHIJKLMNOP", true},
        // Backspace on an empty name does nothing; otherwise it removes the last character.
        {u"\bAb\bc", u"Ac", true},
        {u"   ", u"   ", false},
        // Control characters, DEL and halves of surrogate pairs are refused.
        {u"A\tB\x1b\x7f", u"AB", true},
        {u"X\xD83D\xDE00Y", u"XY", true},
        {u"\xD83D", u"", false},
    };
    for (const Case& c : cases) {
        ContextPlayerName screen(true);
        qel->pCurrentContext = &screen;
        for (const char16_t* p = c.typed; *p; ++p) {
            input()->typedChar = *p;
            screen.tickContents(0, 0);
        }
        input()->typedChar = 0;
        screen.tickContents(0, 0);
        EXPECT_EQ(screen.name, c.name) << wideToUtf8(c.typed);
        EXPECT_EQ(screen.pOkButton->bDisabled, !c.okEnabled) << wideToUtf8(c.typed);
        qel->pCurrentContext = nullptr;
    }
}

TEST_F(PlayerScreensTest, BlanksAroundTheNameAreNotStoredAndOnlyBlanksCannotBeConfirmed) {
    auto* screen = new ContextPlayerName(true);
    push(screen);
    typeText(u"   ");
    typeChar(13);
    tick();
    EXPECT_EQ(stack->getTopContext(), screen);
    screen->pOkButton->onClick();
    tick();
    EXPECT_EQ(stack->getTopContext(), screen);
    EXPECT_EQ(profiles().countProfiles(), 0);
    typeText(u"Ann ");
    application->gameConfiguration.bTutorial = 0;
    tap(0, -80);
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_EQ(profiles().countProfiles(), 1);
    EXPECT_EQ(profiles().getProfileName(0), u"Ann");
    EXPECT_EQ(application->gameConfiguration.bTutorial, 1);
}

TEST_F(PlayerScreensTest, StoredNamesAreValidUtf8) {
    auto* screen = new ContextPlayerName(true);
    push(screen);
    // A pair delivered one unit a frame, the last unit cut off by Enter.
    typeText(u"J\u00f6\xD83D\xDE00\xD83D");
    typeChar(13);
    tick();
    const std::string stored(profiles().profiles[0].name);
    EXPECT_EQ(stored, "J\xc3\xb6");
    EXPECT_EQ(utf8ToWide(stored), u"J\u00f6");
}

TEST_F(PlayerScreensTest, NameIsCentredWithItsBlinkingCursor) {
    auto* screen = new ContextPlayerName(true);
    push(screen);
    typeText(u"Ann");
    // The stand-in font: "Ann_" is 40 units wide.
    EXPECT_FLOAT_EQ(screen->pNameLabel->position.x, -20.0f);
    EXPECT_FLOAT_EQ(screen->pNameLabel->position.y, 50.0f);
    EXPECT_EQ(screen->pNameLabel->alignment, 0x202);
    // The cursor shows while floor(8 t) is even: four times a second.
    struct Case {
        double t;
        bool cursor;
    };
    for (const Case& c : {Case{0.0, true}, Case{0.124, true}, Case{0.125, false}, Case{0.26, true}, Case{0.375, false}}) {
        screen->tickContents(c.t, 0);
        EXPECT_EQ(screen->pNameLabel->text, c.cursor ? u"Ann_" : u"Ann") << c.t;
    }
}

TEST_F(PlayerScreensTest, WideNamesAreScaledToSixHundredUnits) {
    FontAccess::widthHook = [](FontQuad*, WStringView text) { return 50.0f * float(text.size()); };
    auto* screen = new ContextPlayerName(true);
    push(screen);
    typeText(u"ABCDEFGHIJKLMNOP");
    EXPECT_FLOAT_EQ(screen->pNameLabel->scale.x, 600.0f / 800.0f);
    EXPECT_FLOAT_EQ(screen->pNameLabel->position.x, -0.5f * 850.0f * 0.75f);
    typeChar(8);
    typeChar(8);
    typeChar(8);
    typeChar(8);
    EXPECT_FLOAT_EQ(screen->pNameLabel->scale.x, 1.0f);
}

TEST_F(PlayerScreensTest, TouchKeyboardComesWithTouchInputAndKeepsTheName) {
    auto* screen = new ContextPlayerName(true);
    push(screen);
    typeText(u"Bo");
    EXPECT_TRUE(keyboardKeys(screen).empty());
    EXPECT_FLOAT_EQ(screen->pSlot->height, 256.0f);
    EXPECT_EQ(screen->navigation.countChildren(), 1);

    input()->setInputMode(INPUTMODE_TOUCH);
    EXPECT_EQ(ContextMenu::menuNavigationMode, ContextMenu::NAV_POINTER);
    auto all = keyboardKeys(screen);
    ASSERT_EQ(all.size(), 28u);
    EXPECT_FLOAT_EQ(screen->pSlot->height, 400.0f);
    EXPECT_FLOAT_EQ(screen->pNameLabel->position.y, 150.0f);
    EXPECT_FLOAT_EQ(screen->pOkButton->position.y, -150.0f);
    EXPECT_EQ(static_cast<MenuEntry*>(screen->navigation.firstChild)->getItem(), screen->pOkButton);
    struct Key {
        int index;
        float x, y;
        const char16_t* caption;
        uint16_t value;
    };
    const Key table[] = {{0, -222, 50, u"a", u'a'},   {6, 222, 50, u"g", u'g'},      {7, -222, 0, u"h", u'h'},
                         {25, 74, -100, u"z", u'z'},  {26, 148, -100, u" ", 32},     {27, 222, -100, u"\u0003", 8}};
    for (const Key& k : table) {
        ValueButton* key = all[size_t(k.index)];
        EXPECT_FLOAT_EQ(key->position.x, k.x) << k.index;
        EXPECT_FLOAT_EQ(key->position.y, k.y) << k.index;
        EXPECT_EQ(key->caption, k.caption) << k.index;
        EXPECT_EQ(key->value, k.value) << k.index;
        EXPECT_FLOAT_EQ(key->frameWidth, 72.0f) << k.index;
        EXPECT_EQ(key->target, &screen->typedKey);
    }
    tick();
    EXPECT_EQ(screen->name, u"Bo");
    // Keys type: "b", then backspace.
    tap(-148, 50);
    EXPECT_EQ(screen->name, u"Bob");
    tap(222, -100);
    EXPECT_EQ(screen->name, u"Bo");

    input()->setInputMode(INPUTMODE_MOUSE);
    EXPECT_TRUE(keyboardKeys(screen).empty());
    EXPECT_EQ(screen->name, u"Bo");
    EXPECT_FLOAT_EQ(screen->pOkButton->position.y, -80.0f);
}

TEST_F(PlayerScreensTest, ValueButtonOverwritesItsTarget) {
    ContextMenu menu;
    uint16_t target = 0;
    auto* button = new ValueButton(0, 0, 0, &target, 0x41, u"A", u"hint");
    menu.appendItem(button);
    for (uint16_t before : {uint16_t(0), uint16_t(0x41), uint16_t(0xFFFF)}) {
        target = before;
        button->bClicked = false;
        button->onClick();
        EXPECT_EQ(target, 0x41);
        EXPECT_TRUE(button->bClicked);
    }
    EXPECT_EQ(button->caption, u"A");
    EXPECT_EQ(button->hint, u"hint");
    // Without a target the click still counts.
    ValueButton loose(0, 0, 0, nullptr, 7, u"B", u"");
    loose.onClick();
    EXPECT_TRUE(loose.bClicked);
}
