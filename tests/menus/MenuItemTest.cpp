#include <gtest/gtest.h>

#include <vector>

#include "ui/MenuTestFixture.h"
#include "menus/ContextMain.h"
#include "ui/ContextMessageBox.h"
#include "ui/FontAccess.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemLink.h"
#include "ui/MenuOptionItem.h"
#include "media/FontQuad.h"

namespace {

struct ButtonTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        button = new MenuItemButton(0, 0, 0, u"Go", u"");
        button->frameHeight = 40;
        menu.appendItem(button);
        qel->pCurrentContext = &menu;
    }
    void TearDown() override {
        qel->pCurrentContext = nullptr;
        MenuTest::TearDown();
    }
    void pointerAt(float x, float y) {
        menu.pointerWorldPos[0] = x;
        menu.pointerWorldPos[1] = y;
    }
    // A touch goes down at world (x0, y0) over the button, moves to (x1, y1) and is released,
    // having moved at most 'farthest' units on the way. Returns whether the button clicked.
    bool tap(float x0, float y0, float farthest, float x1, float y1) {
        pointerAt(x0, y0);
        TouchPoint* t = addTouch(Vector3(x0, y0, 0));
        t->bPressed = true;
        button->update(0, 0.016);
        t->bPressed = false;
        t->bHeld = true;
        t->layoutPos = Vector3(x0 + farthest, y0, 0);
        button->update(0, 0.016);
        t->bHeld = false;
        t->bReleased = true;
        t->layoutPos = Vector3(x1, y1, 0);
        pointerAt(x1, y1);
        button->update(0, 0.016);
        return button->bClicked;
    }

    ContextMenu menu;
    MenuItemButton* button = nullptr;
};

}  // namespace

TEST(MenuItemButtonRuleTest, ReleaseClicksWhenNotDraggedOrStillOver) {
    EXPECT_TRUE(MenuItemButton::releaseClicks(0.0f, false));
    EXPECT_TRUE(MenuItemButton::releaseClicks(20.0f, false));
    EXPECT_FALSE(MenuItemButton::releaseClicks(20.5f, false));
    EXPECT_TRUE(MenuItemButton::releaseClicks(200.0f, true));
}

TEST_F(ButtonTest, ShortTapDriftingOffTheButtonStillClicks) {
    // Down near the right end, released 15 units further: off the button, but barely moved.
    EXPECT_TRUE(tap(120, 0, 15, 135, 0));
}

TEST_F(ButtonTest, DragThatEndsElsewhereDoesNotClick) {
    EXPECT_FALSE(tap(120, 0, 60, 180, 0));
}

TEST_F(ButtonTest, DragAwayAndBackOverTheButtonClicks) {
    EXPECT_TRUE(tap(0, 0, 200, 10, 0));
}

TEST_F(ButtonTest, DisabledButtonNeverClicks) {
    button->bDisabled = true;
    EXPECT_FALSE(tap(0, 0, 0, 0, 0));
}

TEST_F(ButtonTest, ConfirmingButtonClicksOnlyAfterYes) {
    button->confirmText = u"Are you sure?";
    EXPECT_FALSE(tap(0, 0, 0, 0, 0));
    input()->touchList.deleteChildren();
    // The dialog writes its answer: NO (1) does nothing, YES (0) clicks once.
    button->confirmResult = 1;
    button->update(0, 0.016);
    EXPECT_FALSE(button->bClicked);
    button->confirmResult = 0;
    button->update(0, 0.016);
    EXPECT_TRUE(button->bClicked);
    EXPECT_EQ(button->confirmResult, -1);
}

TEST_F(MenuTest, OptionItemFlipsItsByteWhenPressedWhileHovered) {
    ContextMenu menu;
    uint8_t option = 0;
    auto* item = new MenuOptionItem(0, 0, 0, u"Mute", u"", &option);
    item->frameHeight = 40;
    menu.appendItem(item);
    qel->pCurrentContext = &menu;
    addTouch(Vector3())->bPressed = true;
    item->update(0, 0.016);
    EXPECT_EQ(option, 1);
    EXPECT_TRUE(item->bClicked);
    menu.pointerWorldPos[0] = 300;
    item->update(0, 0.016);
    EXPECT_EQ(option, 1);
    qel->pCurrentContext = nullptr;
}

TEST(MenuItemCaptionTest, FitCaptionShrinksOnlyWideTextsInWideFrames) {
    struct Case {
        float frameWidth, frameHeight, textWidth, expected;
    };
    const Case cases[] = {
        {256, 40, 100, 1.0f},
        {256, 40, 432, 0.5f},   // room 216
        {45, 40, 432, 1.0f},    // not more than 10 wider than high
    };
    for (const Case& c : cases) {
        MenuItem item(0, 0, 0, u"", u"");
        item.frameWidth = c.frameWidth;
        item.frameHeight = c.frameHeight;
        EXPECT_FLOAT_EQ(item.fitCaption(c.textWidth), c.expected);
    }
}

// A button's frame carries its holly in the 30 units at either end: a caption ("Reprendre le
// niveau" on the map's button, "Supprimer" on the players' list) narrows to the room between them.
TEST_F(MenuTest, ButtonCaptionStaysClearOfTheHollyAtItsEnds) {
    struct Case {
        int width;
        float textWidth, expected;
    };
    const Case cases[] = {
        {160, 90, 1.0f},           // fits between the holly
        {160, 108, 100.0f / 108},  // "Supprimer" in a button of the players' list
        {250, 205, 190.0f / 205},  // "Reprendre le niveau" on the map
        {256, 196, 1.0f},          // just fits
        {256, 392, 0.5f},
    };
    for (const Case& c : cases) {
        MenuItemButton button(0, 0, 0, u"", u"");
        button.setWidth(c.width);
        button.frameHeight = 38;
        EXPECT_FLOAT_EQ(button.fitCaption(c.textWidth), c.expected) << c.width << ", " << c.textWidth;
    }
}

TEST_F(MenuTest, SideCaptionShrinksToEndInsideTheScreen) {
    struct Case {
        float x;
        int location;
        float textWidth, expected;
    };
    // A 256-wide item: a caption on its left starts 133 left of its centre, on its right 133
    // right of it; the screen's edges are at -400 and 400, with a margin of 16.
    const Case cases[] = {
        {0, 4, 200, 1.0f},
        {0, 4, 251, 1.0f},
        {0, 4, 502, 0.5f},
        {-100, 4, 151, 1.0f},
        {-100, 4, 302, 0.5f},
        {0, 6, 502, 0.5f},
        {100, 6, 302, 0.5f},
        {0, 5, 900, 1.0f},  // inside the frame: fitCaption's business
        {-300, 4, 100, 0.0f},  // no room at all
    };
    for (const Case& c : cases) {
        MenuItem item(c.x, 0, 0, u"", u"");
        item.captionLocation = c.location;
        EXPECT_FLOAT_EQ(item.sideCaptionFit(c.textWidth), c.expected) << c.x << " " << c.location << " " << c.textWidth;
    }
    // Another item beside it leaves less room than the screen.
    MenuItem item(0, 0, 0, u"", u"");
    item.captionLocation = 4;
    item.captionRoom = 100.0f;
    EXPECT_FLOAT_EQ(item.sideCaptionFit(200.0f), 0.5f);
    EXPECT_FLOAT_EQ(item.sideCaptionFit(90.0f), 1.0f);
}

TEST_F(MenuTest, InvalidCaptionLocationIsFatal) {
    MenuItem item(0, 0, 0, u"x", u"");
    item.captionLocation = 7;
    EXPECT_EXIT(item.render(), testing::ExitedWithCode(255), "");
}

TEST_F(MenuTest, ButtonFramesComeFromTheTexturesTwoSkins) {
    MenuItemButton button(0, 0, 0, u"Go", u"");
    ASSERT_NE(button.pSkin, nullptr);
    ASSERT_NE(button.highlight.pSkin, nullptr);
    EXPECT_NE(button.pSkin, button.highlight.pSkin);
    EXPECT_EQ(button.frameTexture, u"gui-game-button");
    EXPECT_FLOAT_EQ(button.frameWidth, 256.0f);
    EXPECT_FLOAT_EQ(button.frameHeight, 32.0f);
    EXPECT_FLOAT_EQ(button.highlight.pSkin->width, 256.0f);
    button.setWidth(160);
    EXPECT_FLOAT_EQ(button.pSkin->width, 160.0f);
    EXPECT_FLOAT_EQ(button.highlight.pSkin->width, 160.0f);
    // The navigation point is a quarter of the frame height below the centre: world (0, -8) is
    // pointer (400, 232) in the centred view.
    Vector3 p = button.getNavigationPoint(0);
    EXPECT_FLOAT_EQ(p.x, 400.0f);
    EXPECT_FLOAT_EQ(p.y, 232.0f);
    EXPECT_EQ(button.getNavigationPoint(1).x, -1.0f);
}

TEST_F(MenuTest, HighlightFadesWithTheMouseAndFollowsTheFingerInTouchMode) {
    ContextMenu menu;
    auto* item = new MenuItemButton(0, 0, 0, u"Go", u"");
    menu.appendItem(item);
    qel->pCurrentContext = &menu;
    input()->inputMode = INPUTMODE_MOUSE;
    item->update(0, 0.125);
    EXPECT_TRUE(item->bHovered);
    EXPECT_DOUBLE_EQ(item->hoverFade, 0.5);
    item->update(0, 0.125);
    EXPECT_DOUBLE_EQ(item->hoverFade, 1.0);
    EXPECT_EQ(item->captionColour, item->highlightColour);
    // Touch: lit only while a finger is held on it.
    input()->inputMode = INPUTMODE_TOUCH;
    item->update(0, 0.016);
    EXPECT_DOUBLE_EQ(item->hoverFade, 0.0);
    addTouch(Vector3())->bHeld = true;
    item->update(0, 0.016);
    EXPECT_DOUBLE_EQ(item->hoverFade, 1.0);
    menu.pointerWorldPos[0] = 300;
    item->update(0, 0.016);
    EXPECT_FALSE(item->bHovered);
    EXPECT_DOUBLE_EQ(item->hoverFade, 0.0);
}

namespace {

// The boxes the lines of text drawn through the font door cover, in world units, placed as the
// bitmap fonts place them: the glyphs hang down from the drawing point, the alignment flags move
// the start left and up; the drawing renderable's scale applies. Sizes are the measuring font's.
struct TextBox {
    WString text;
    float left, right, bottom, top;
};

struct TextBoxRecorder {
    TextBoxRecorder() {
        boxes = &recorded;
        FontAccess::drawHook = &record;
        FontAccess::shadowHook = [](FontQuad* font, Renderable* r, int flags, const Vector3&, uint32_t, WStringView text) {
            record(font, r, flags, text);
        };
    }
    ~TextBoxRecorder() {
        FontAccess::drawHook = nullptr;
        FontAccess::shadowHook = nullptr;
        boxes = nullptr;
    }
    static void record(FontQuad*, Renderable* r, int flags, WStringView text) {
        const float w = FakeFont::width(nullptr, text);
        const int h = FakeFont::lineHeightUnits;
        float x = 0.0f, y = 0.0f;
        if (flags & FontQuad::ALIGN_CENTER) x -= w / 2.0f;
        if (flags & FontQuad::ALIGN_RIGHT) x -= w;
        if (flags & FontQuad::ALIGN_HALF_HEIGHT) y += float(h / 2);
        if (flags & FontQuad::ALIGN_HEIGHT) y += float(h);
        const Vector3 p = r->position, s = r->scale;
        boxes->push_back({WString(text), p.x + s.x * x, p.x + s.x * (x + w), p.y + s.y * (y - float(h)), p.y + s.y * y});
    }
    // Every recorded box that leaves the 800 x 480 layout centred on the origin.
    std::vector<WString> outside() const {
        std::vector<WString> out;
        for (const TextBox& b : recorded)
            if (b.left < -400.0f || b.right > 400.0f || b.bottom < -240.0f || b.top > 240.0f) out.push_back(b.text);
        return out;
    }
    const TextBox* find(WStringView text) const {
        for (const TextBox& b : recorded)
            if (b.text == text) return &b;
        return nullptr;
    }

    static inline std::vector<TextBox>* boxes = nullptr;
    std::vector<TextBox> recorded;
};

std::string joined(const std::vector<WString>& texts) {
    std::string out;
    for (const WString& t : texts) out += "'" + wideToUtf8(t) + "' ";
    return out;
}

}  // namespace

TEST_F(MenuTest, HoveredMainMenuItemsKeepCaptionsAndHintsInsideTheScreen) {
    ContextMain menu;
    for (BasicLink* c = menu.firstChild; c; c = c->next) {
        auto* item = dynamic_cast<MenuItem*>(static_cast<QelBase*>(c));
        if (!item) continue;
        SCOPED_TRACE(wideToUtf8(item->caption));
        if (item->hint.empty()) item->hint = u"Visit the official website of the game";
        TextBoxRecorder boxes;
        item->bHovered = true;
        item->render();
        EXPECT_EQ(boxes.outside(), std::vector<WString>()) << joined(boxes.outside());
        const TextBox* caption = boxes.find(item->caption);
        ASSERT_NE(caption, nullptr);
        // The hint sits on the bottom edge of the screen, inside it.
        const TextBox* hint = boxes.find(item->hint);
        ASSERT_NE(hint, nullptr);
        EXPECT_NEAR(hint->bottom, -238.0f, 0.01f);
        EXPECT_NEAR((hint->left + hint->right) / 2.0f, 0.0f, 0.01f);
    }
}

TEST_F(MenuTest, DisabledItemShowsItsDisabledHintInsideTheScreen) {
    MenuItemButton button(0, -200, 0, u"Upload", u"Send your scores");
    button.disabledHint = u"Configure the network first";
    button.bDisabled = true;
    button.bHovered = true;
    TextBoxRecorder boxes;
    button.render();
    EXPECT_EQ(boxes.find(u"Send your scores"), nullptr);
    ASSERT_NE(boxes.find(u"Configure the network first"), nullptr);
    EXPECT_EQ(boxes.outside(), std::vector<WString>()) << joined(boxes.outside());
}

TEST_F(MenuTest, TheBoxCheckFindsATextBelowTheScreen) {
    // The measure itself: a line hanging from the bottom edge is outside.
    TextBoxRecorder boxes;
    Renderable at;
    at.position = Vector3(0.0f, -238.0f, 0.0f);
    FontAccess::drawAligned(nullptr, &at, FontQuad::ALIGN_CENTER, u"below");
    EXPECT_EQ(boxes.outside(), std::vector<WString>{u"below"});
}
