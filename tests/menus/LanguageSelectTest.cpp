#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "ui/ContextMenu.h"
#include "runtime/QelRuntime.h"
#include "ui/MenuEntry.h"
#include "ui/TestPictures.h"
#include "support/GraphicsFixture.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"
#include "menus/ContextLanguageSelect.h"
#include "menus/LanguageFlag.h"

namespace {

// Flag pictures are quads, which need a (recording) graphics device.
struct LanguageSelectTest : GraphicsFixtureOn<QelRuntime> {
    void SetUp() override {
        GraphicsFixtureOn<QelRuntime>::SetUp();
        pictures = std::make_unique<TestPictures>();
        pictures->addFlags();
    }
    void TearDown() override {
        pictures.reset();
        GraphicsFixtureOn<QelRuntime>::TearDown();
    }
    std::vector<LanguageFlag*> flags(ContextLanguageSelect& screen) {
        std::vector<LanguageFlag*> out;
        for (BasicLink* c = screen.firstChild; c; c = c->next) out.push_back(static_cast<LanguageFlag*>(c));
        return out;
    }
    std::unique_ptr<TestPictures> pictures;
};

}  // namespace

TEST(LanguageSelectLayoutTest, GridFollowsTheFlagCount) {
    struct Case {
        int n;
        std::vector<std::pair<float, float>> positions;
    };
    const Case cases[] = {
        {1, {{0, 0}}},
        {2, {{0, 50}, {0, -50}}},
        {3, {{0, 100}, {0, 0}, {0, -100}}},
        {4, {{-50, 50}, {50, 50}, {-50, -50}, {50, -50}}},
        {5, {{-50, 100}, {50, 100}, {-50, 0}, {50, 0}, {-50, -100}}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.n; ++i) {
            Vector3 p = ContextLanguageSelect::flagPosition(i, c.n);
            EXPECT_FLOAT_EQ(p.x, c.positions[i].first) << c.n << " " << i;
            EXPECT_FLOAT_EQ(p.y, c.positions[i].second) << c.n << " " << i;
        }
    }
}

TEST(LanguageSelectCodesTest, FlagTableOrder) {
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"en"), 0);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"es"), 4);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"pt"), 10);
    EXPECT_EQ(ContextLanguageSelect::isoCode2skinIndex(u"nl"), 14);
}

TEST(LanguageSelectCodesTest, UnknownCodeIsFatal) {
    EXPECT_EXIT(ContextLanguageSelect::isoCode2skinIndex(u"EN"), testing::ExitedWithCode(255), "");
}

TEST_F(LanguageSelectTest, FiveLanguagesGiveFiveNavigableFlags) {
    ContextLanguageSelect screen;
    auto all = flags(screen);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_FLOAT_EQ(all[4]->position.x, -50.0f);
    EXPECT_FLOAT_EQ(all[4]->position.y, -100.0f);
    EXPECT_EQ(screen.navigation.countChildren(), 5);
    EXPECT_FALSE(screen.bEscapeCloses);
    EXPECT_TRUE(screen.bHideFrameRate);
    EXPECT_EQ(screen.clearColor, 0xFF001030u);
    // The pointer waits in a corner, away from the flags: world (320, -192).
    Vector3 world = ContextMenu::pointerToWorld(&screen, qel->pQelInput->pointer);
    EXPECT_FLOAT_EQ(world.x, 320.0f);
    EXPECT_FLOAT_EQ(world.y, -192.0f);
}

TEST_F(LanguageSelectTest, ParkedPointerStaysInTheCornerUntilTheMouseMoves) {
    QelInput* input = qel->pQelInput;
    // The mouse rests in the middle of the window, over the flags.
    input->onWindowMouseMove(400, 240);
    input->poll();
    ContextLanguageSelect screen;
    // Frames pass without the mouse moving: the pointer is read from the mouse every frame and
    // stays parked.
    for (int frame = 0; frame < 3; ++frame) {
        input->poll();
        const Vector3 world = ContextMenu::pointerToWorld(&screen, input->pointer);
        EXPECT_NEAR(world.x, 320.0f, 1.0f) << "frame " << frame;
        EXPECT_NEAR(world.y, -192.0f, 1.0f) << "frame " << frame;
    }
    // The player moves the mouse: the pointer follows it again.
    input->onWindowMouseMove(400, 240);
    input->poll();
    const Vector3 world = ContextMenu::pointerToWorld(&screen, input->pointer);
    EXPECT_NEAR(world.x, 0.0f, 1.0f);
    EXPECT_NEAR(world.y, 0.0f, 1.0f);
}

TEST_F(LanguageSelectTest, MaskedLanguagesLeaveNoGapAndKeepTheirIndex) {
    qel->languageMask = u"10101";
    ContextLanguageSelect screen;
    auto all = flags(screen);
    ASSERT_EQ(all.size(), 3u);
    const int expected[] = {0, 2, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(all[i]->languageIndex, expected[i]);
        EXPECT_FLOAT_EQ(all[i]->position.x, 0.0f);
    }
    EXPECT_FLOAT_EQ(all[1]->position.y, 0.0f);
}

TEST_F(LanguageSelectTest, NavigationPointMapsBackToTheFlag) {
    ContextLanguageSelect screen;
    LanguageFlag* english = flags(screen)[0];
    Vector3 p = english->getNavigationPoint(0);
    Vector3 world = ContextMenu::pointerToWorld(&screen, p);
    EXPECT_FLOAT_EQ(world.x, -50.0f);
    EXPECT_FLOAT_EQ(world.y, 100.0f);
    const Vector3 none = english->getNavigationPoint(1);
    EXPECT_EQ(none.x, -1.0f);
    EXPECT_EQ(none.y, -1.0f);
    EXPECT_EQ(none.z, -1.0f);
    english->bNavigable = false;
    EXPECT_EQ(english->getNavigationPoint(0).x, -1.0f);
}

TEST_F(LanguageSelectTest, AutodetectMatchesAvailableLanguagesOnly) {
    struct Case {
        const char* lang;
        const char16_t* mask;
        int expected;
    };
    const Case cases[] = {
        {"fr_FR.UTF-8", u"", 1},
        {"fr_FR.UTF-8", u"10111", 0},
        {"fr_FR.UTF-8", u"00111", 0},
        {"pt_BR.UTF-8", u"", 0},
        {"es_ES.UTF-8", u"", 4},
    };
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    for (const Case& c : cases) {
        setenv("LANG", c.lang, 1);
        qel->languageMask = c.mask;
        EXPECT_EQ(ContextLanguageSelect::autodetectLanguage(), c.expected) << c.lang;
    }
}

TEST_F(LanguageSelectTest, PressOnAFlagChoosesItsLanguage) {
    ContextLanguageSelect screen;
    qel->pCurrentContext = &screen;
    qel->defaultLanguage = -1;
    auto* touch = new TouchPoint(qel->pQelInput);
    touch->bPressed = true;
    qel->pQelInput->touchList.addChild(touch);
    // Away from every flag: nothing happens.
    screen.pointerWorldPos[0] = 200;
    screen.pointerWorldPos[1] = 200;
    for (LanguageFlag* flag : flags(screen)) flag->update(0, 0.016);
    EXPECT_EQ(qel->defaultLanguage, -1);
    EXPECT_FALSE(screen.bDone);
    // On the Italian flag at (50, 0).
    screen.pointerWorldPos[0] = 55;
    screen.pointerWorldPos[1] = -5;
    for (LanguageFlag* flag : flags(screen)) flag->update(0, 0.016);
    EXPECT_EQ(qel->defaultLanguage, 3);
    EXPECT_TRUE(screen.bDone);
    qel->pCurrentContext = nullptr;
}
