// The front-end screens on the OpenGL device under Xvfb with the generated data archives: the
// on-screen keyboard comes with touch input, the current player's row and the last entered
// high-score row are drawn in their colours. VESK_SCREENSHOT_DIR, when set, receives a TGA
// picture of each screen checked.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ui/AppText.h"
#include "menus/ContextMain.h"
#include "ui/DrawnTextBoxes.h"
#include "ui/MenuOptionItem.h"
#include "ui/MessageViewer.h"
#include "ui/ContextManager.h"
#include "menus/MenuApplication.h"
#include "engine/ByteBuffer.h"
#include "engine/Utilities.h"
#include "menus/ArchiveScreenFixture.h"
#include "media/QelInput.h"
#include "platform/GlDevice.h"
#include "menus/ContextCredits.h"
#include "menus/ContextHelp.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/ContextHighScores.h"
#include "menus/ContextErrorReport.h"
#include "menus/ContextHighScoreUpload.h"
#include "menus/ContextNetworkConfig.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/CountryPicker.h"
#include "menus/ContextPlayerName.h"
#include "menus/ContextPlayers.h"
#include "menus/ServerText.h"

namespace {

class MenuPixelTest : public ArchiveScreenFixture<MenuApplication> {
protected:
    static bool red(D3DCOLOR c) { return r(c) > 0xC0 && g(c) < 0x60 && b(c) < 0x60; }
    static bool amber(D3DCOLOR c) { return r(c) > 0x70 && g(c) > 0x50 && g(c) < r(c) - 0x18 && b(c) < 0x40; }
};

}  // namespace

// The device cuts quads to the texels that can show and leaves out those that show none: the main
// menu and the high-score table come out as when every quad is drawn as given.
TEST_F(MenuPixelTest, CuttingQuadsToWhatShowsLeavesTheScreensAsTheyWere) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    ASSERT_NE(gl, nullptr);
    application->profileManager.addProfile(u"Ann");
    for (int screen = 0; screen < 2; ++screen) {
        SCOPED_TRACE(screen == 0 ? "main menu" : "high scores");
        if (screen == 0) stack->pushContext(new ContextMain());
        else stack->pushContext(new ContextHighScores());
        gl->bCutQuads = false;
        frames(5);
        const std::vector<D3DCOLOR> given = pixels;
        gl->bCutQuads = true;
        gl->quadsCut = gl->quadsLeftOut = 0;
        frames(0);
        EXPECT_GT(gl->quadsCut + gl->quadsLeftOut, 0);
        ASSERT_EQ(pixels.size(), given.size());
        EXPECT_EQ(pixelsDifferingFrom(given, 2), 0);
    }
}

// Draws hidden behind later opaque ones are left out and quads are cut to the screen tiles that
// show: the main menu comes out as when every draw is drawn in its order.
TEST_F(MenuPixelTest, LeavingOutHiddenDrawsLeavesTheMainMenuAsItWas) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    ASSERT_NE(gl, nullptr);
    application->profileManager.addProfile(u"Ann");
    stack->pushContext(new ContextMain());
    gl->bSkipHidden = false;
    frames(5);
    const std::vector<D3DCOLOR> given = pixels;
    gl->bSkipHidden = true;
    gl->drawsHidden = gl->quadsCutHidden = 0;
    frames(0);
    EXPECT_GT(gl->drawsHidden + gl->quadsCutHidden, 0);
    ASSERT_EQ(pixels.size(), given.size());
    EXPECT_EQ(pixelsDifferingFrom(given, 2), 0);
}

TEST_F(MenuPixelTest, TouchInputBringsTheKeyboardUnderTheTypedName) {
    application->profileManager.addProfile(u"Ann");
    stack->pushContext(new ContextMain());
    auto* name = new ContextPlayerName(true);
    stack->pushContext(name);
    name->name = u"Zoe";
    frames(3);
    keepScreenshot("name-entry");
    // Where the "a" key goes there is only the panel.
    const int withoutKeys = count(-222, 50, 30, 16, light);

    engine->pQelInput->setInputMode(INPUTMODE_TOUCH);
    frames(3);
    keepScreenshot("name-entry-touch");
    // The key's caption is light on its dark button.
    EXPECT_GT(count(-222, 50, 30, 16, light), withoutKeys + 20);
    EXPECT_EQ(name->name, u"Zoe");
}

// The typed name is drawn with the system font; it and its cursor stand centred in the panel, a
// short name as well as one of the longest, which stays clear of the panel's sides.
TEST_F(MenuPixelTest, TypedNameStandsCentredInItsPanel) {
    application->profileManager.addProfile(u"Ann");
    stack->pushContext(new ContextMain());
    for (const char16_t* typed : {u"Zoe", u"Holly Jo", u"WWWWWWWWWWWWWWWW"}) {
        SCOPED_TRACE(wideToUtf8(typed));
        auto* screen = new ContextPlayerName(true);
        stack->pushContext(screen);
        screen->name = typed;
        // Three frames in, the blinking cursor is shown.
        frames(3);
        keepScreenshot("name-entry-centred");
        // The light columns of the name's band, inside the panel's rim; the caption above and the
        // button beneath are not light.
        int left = 1000, right = -1000;
        for (int cx = -300; cx < 300; ++cx)
            if (count(float(cx) + 0.5f, 25.0f, 0.5f, 45.0f, light) > 0) {
                left = std::min(left, cx);
                right = std::max(right, cx);
            }
        ASSERT_LT(left, right);
        EXPECT_GT(left, -290);
        EXPECT_LT(right, 290);
        EXPECT_NEAR(0.5f * float(left + right), 0.0f, 6.0f) << left << " .. " << right;
        screen->bDone = true;
        stack->tick(0, 0);
    }
}

TEST_F(MenuPixelTest, PlayersListMarksTheCurrentPlayerInRed) {
    for (const char16_t* n : {u"Ann", u"ABCDEFGHIJKLMNOP", u"Bj\u00f6rn", u"Cy"}) application->profileManager.addProfile(n);
    application->profileManager.currentIndex = 2;
    stack->pushContext(new ContextMain());
    stack->pushContext(new ContextPlayers());
    frames(3);
    keepScreenshot("players");
    // Row i is centred at y = 135 - 30 i, its name starting at x = -150.
    for (int i = 0; i < 4; ++i) {
        const float y = 135.0f - 30.0f * float(i);
        const int reds = count(-100, y, 50, 12, red);
        if (i == 2) EXPECT_GT(reds, 30) << i;
        else EXPECT_EQ(reds, 0) << i;
        EXPECT_GT(count(-100, y, 50, 12, [](D3DCOLOR c) { return light(c) || red(c); }), 30) << i;
    }
    // The marker stands left of the current row.
    EXPECT_GT(count(-160, 75, 8, 12, red), 5);
}

TEST_F(MenuPixelTest, LastEnteredHighScoreRowPulsesInAmber) {
    GameConfiguration& c = application->gameConfiguration;
    for (int i = 0; i < 10; ++i) {
        std::memset(c.highScores[i].name, 0, sizeof(c.highScores[i].name));
        std::strcpy(c.highScores[i].name, i == 3 ? "Zo\xc3\xab" : "Player");
        c.highScores[i].level = 11 * i;
        c.highScores[i].score = 1234567 - 1000 * i;
    }
    application->lastHighScoreRow = 3;
    auto* screen = new ContextHighScores();
    stack->pushContext(screen);
    // The pulse is at its brightest at t = pi / 32.
    engine->frameTimer.frameTime = 3.14159265 / 32.0;
    frames(1);
    keepScreenshot("high-scores");
    for (int i = 0; i < 10; ++i) {
        const float y = ContextHighScores::rowY(i) - 12.0f;
        // The level column, right-aligned at x = 160.
        const int ambers = count(100, y, 60, 12, amber);
        if (i == 3) EXPECT_GT(ambers, 30) << i;
        else EXPECT_LT(ambers, 5) << i;
    }
}

TEST_F(MenuPixelTest, OtherScreensDrawTheirTexts) {
    struct Case {
        const char* name;
        std::function<Context*()> make;
        float x, y;
    };
    // A point inside a caption that each screen draws light.
    const Case cases[] = {
        {"high-score-options", [] { return new ContextHighScoreOptions(); }, 0, 100},
        {"help", [] { return new ContextHelp(); }, 0, 50},
    };
    for (const Case& c : cases) {
        stack->pushContext(c.make());
        frames(3);
        keepScreenshot(c.name);
        EXPECT_GT(count(c.x, c.y - 5, 60, 10, light), 20) << c.name;
        stack->getTopContext()->bDone = true;
        stack->tick(0, 0);
    }
    // The credits mid-scroll: the lines have risen into the picture.
    stack->pushContext(new ContextCredits());
    engine->frameTimer.frameTime = 0.05;
    frames(300);
    keepScreenshot("credits");
    EXPECT_GT(count(0, 0, 390, 200, [](D3DCOLOR p) { return r(p) < 0x30 && g(p) < 0x30 && b(p) < 0x30; }), 500);
}

// The online pages' texts stand straight on the intro picture, over its trees, the train and the
// bear. Drawn without the texts, the ground under each text's box (all but the title, the buttons
// and what lies on an item's own frame) is light: the network test before and after its run, the
// configuration page, the score upload and the crash report; VESK_SCREENSHOT_DIR gets the pages with
// their texts.
TEST_F(MenuPixelTest, NetworkPagesTextsStandOnALightGround) {
    auto text = [](const char16_t* key) { return AppText::text(key); };
    struct Case {
        const char* name;
        std::function<ContextMenu*()> make;
        int minTexts = 5;  // texts on the picture the page shows at least
    };
    const Case cases[] = {
        {"network-wizard-before", [] { return new ContextNetworkWizard1(); }},
        {"network-wizard-after",
         [&text] {
             auto* wizard = new ContextNetworkWizard1();
             wizard->runOnDesktopItem->bDisabled = true;
             for (const WString& line : {text(u"STARTINGDOTS"), text(u"NETTESTSUCCESS"),
                                         WString(u"Hello from the maker's test server."), text(u"DONEDOT")})
                 wizard->viewer->addMessage(line);
             return wizard;
         }},
        {"network-wizard-option-live",
         [] {
             auto* wizard = new ContextNetworkWizard1();
             wizard->runOnDesktopItem->bDisabled = false;
             return wizard;
         }},
        {"network-config", [] { return new ContextNetworkConfig(); }, 1},
        {"score-upload", [] { return new ContextHighScoreUpload(); }, 3},
        {"crash-report", [] { return new ContextErrorReport(); }, 5},
    };
    const std::vector<WString> standalone = {text(u"NETWORKWIZARD"), text(u"NETCONFIGTITLE"), text(u"UPLOADSCORES"),
                                             text(u"ERRORREPORTTITLE"), text(u"NETWORKWIZARDDOTS"), text(u"CANCEL"),
                                             text(u"NEXT"), text(u"HELP"), u"\x01"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContextMenu* page = c.make();
        stack->pushContext(page);
        frames(3);
        keepScreenshot(c.name);
        std::vector<DrawnBox> boxes;
        {
            DrawnTextBoxes texts;
            frames(1);
            boxes = texts.drawn;
        }
        auto* config = dynamic_cast<ContextNetworkConfig*>(page);
        int checked = 0;
        for (const DrawnBox& d : boxes) {
            if (std::find(standalone.begin(), standalone.end(), d.text) != standalone.end()) continue;
            // The picker's value lies on its own frame.
            if (config && d.text != config->pCountryPicker->caption) continue;
            const WorldRect& b = d.box;
            const int dark = count((b.left + b.right) / 2, (b.top + b.bottom) / 2, (b.right - b.left) / 2 - 1,
                                   (b.top - b.bottom) / 2 - 1, [](D3DCOLOR p) { return !light(p); });
            EXPECT_EQ(dark, 0) << wideToUtf8(d.text) << " at " << DrawnTextBoxes::describe(b);
            ++checked;
        }
        EXPECT_GE(checked, c.minTexts);
        page->bDone = true;
        stack->tick(0, 0);
    }
}

// A binary reply in the message viewer: it has few blanks, and the characters the font has no glyph
// for (U+FFFD for each broken UTF-8 sequence) are advanced over as wide as they are measured. No
// line reaches past the viewer's width, as the text on a page must not cross the screen's edges.
TEST_F(MenuPixelTest, MessageViewerKeepsTextWithoutGlyphsInsideItsWidth) {
    struct Case {
        const char* what;
        std::vector<WString> messages;
    };
    std::string bytes;
    for (int i = 0; i < 4096; ++i) bytes += char((i * 131 + (i >> 3) * 17 + 7) & 0xFF);
    WString sparse;
    for (int i = 0; i < 300; ++i) sparse += WString(u"W") + char16_t(0x4E00 + i) + (i % 9 == 8 ? u" " : u"");
    WString unbroken;
    for (int i = 0; i < 200; ++i) unbroken += i % 2 ? u"Wm" : u"\u0100\uFFFD";
    const Case cases[] = {
        {"a binary reply", ServerText::lines(ByteBuffer(bytes.data(), int(bytes.size())))},
        {"letters among characters without glyphs", {sparse}},
        {"no blank at all", {unbroken}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* screen = new Context();
        screen->bDeleteWhenDone = true;
        auto* viewer = new MessageViewer();
        viewer->maxWidth = 400;
        viewer->position = Vector3(0.0f, 100.0f, 0.0f);
        viewer->addMessages(c.messages);
        ASSERT_FALSE(viewer->lines.empty());
        screen->addChild(viewer);
        stack->pushContext(screen);
        frames(2);
        keepScreenshot(std::string("viewer-") + c.what);
        // Lit pixels left and right of the viewer's 400 units, across the screen's height.
        const int outside = count(-300.0f, 0.0f, 100.0f, 240.0f, light) + count(300.0f, 0.0f, 100.0f, 240.0f, light);
        EXPECT_EQ(outside, 0);
        EXPECT_GT(count(0.0f, 0.0f, 200.0f, 240.0f, light), 100);
        screen->bDone = true;
        stack->tick(0, 0);
    }
}
