// The local high-score table and its options: rows, levels, grouped scores, the pulsing row,
// the reset after a confirmation and the links.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "ScreenFixture.h"
#include "TestLanguage.h"
#include "ui/AppText.h"
#include "ui/ContextMessageBox.h"
#include "ui/MenuEntry.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "ui/TextLabel.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/ContextHighScores.h"
#include "support/FakePageOpener.h"

namespace {

struct HighScoresTest : ScreenTest {
    GameConfiguration& config() { return application->gameConfiguration; }
    void setRow(int i, const char* name, int level, int score) {
        HIGHSCOREENTRY& row = config().highScores[i];
        std::memset(row.name, 0, sizeof(row.name));
        std::strncpy(row.name, name, sizeof(row.name) - 1);
        row.level = level;
        row.score = score;
    }
    // The texts drawn at a row's height, left to right (without the rim drawn around names).
    std::vector<DrawnText> rowTexts(const std::vector<DrawnText>& texts, int row) {
        std::vector<DrawnText> out;
        for (const DrawnText& t : texts)
            if (t.y == ContextHighScores::rowY(row) && (t.colour >> 24) == 0xFF) out.push_back(t);
        return out;
    }
};

}  // namespace

TEST(HighScoreLevelTest, LevelIndexGivesStageAndLevel) {
    struct Case {
        int index;
        bool valid;
        int stage, level;
    };
    const Case cases[] = {{0, true, 1, 1},    {3, true, 1, 4},    {4, true, 2, 1},    {11, true, 3, 4},
                          {12, true, 4, 1},   {26, true, 6, 5},   {27, true, 7, 1},   {81, true, 14, 8},
                          {82, true, 15, 1},  {89, true, 15, 8},  {90, false, 0, 0},  {-1, false, 0, 0},
                          {INT_MAX, false, 0, 0}, {INT_MIN, false, 0, 0}};
    for (const Case& c : cases) {
        int stage = 0, level = 0;
        EXPECT_EQ(ContextHighScores::stageAndLevel(c.index, stage, level), c.valid) << c.index;
        if (!c.valid) continue;
        EXPECT_EQ(stage, c.stage) << c.index;
        EXPECT_EQ(level, c.level) << c.index;
    }
}

TEST(HighScoreColourTest, OnlyTheLastEnteredRowPulses) {
    const double pi = 3.14159265358979;
    struct Case {
        int row, lastRow;
        double t;
        uint32_t colour;
    };
    const Case cases[] = {
        {3, -1, 0.0, 0xFFFFFFFF},
        {2, 3, 0.0, 0xFFFFFFFF},
        // f = 0.5 + 0.5 sin(16 t): 0.5, 1 and 0.
        {3, 3, 0.0, 0xFFBF9000},
        {3, 3, pi / 32.0, 0xFFFFC000},
        {3, 3, 3.0 * pi / 32.0, 0xFF806000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContextHighScores::rowColour(c.row, c.lastRow, c.t), c.colour) << c.row << " " << c.t;
}

TEST_F(HighScoresTest, Layout) {
    ContextHighScores screen;
    EXPECT_TRUE(screen.bDeleteWhenDone);
    EXPECT_EQ(screen.pTitle->text, u"High scores");
    // T = 480 / 2 - 40, E = 800 / 2 - 15.
    EXPECT_FLOAT_EQ(screen.pTitle->position.y, 200.0f);
    EXPECT_FLOAT_EQ(screen.pOkButton->position.x, 80.0f - 385.0f);
    EXPECT_FLOAT_EQ(screen.pOkButton->position.y, -200.0f);
    EXPECT_FLOAT_EQ(screen.pOkButton->frameWidth, 160.0f);
    EXPECT_FLOAT_EQ(screen.pOptionsButton->position.x, 385.0f - 128.0f);
    EXPECT_EQ(screen.pOptionsButton->caption, AppText::text(u"HIGHSCOREOPTIONSDOTS"));
    EXPECT_EQ(static_cast<MenuEntry*>(screen.navigation.firstChild)->getItem(), screen.pOkButton);
    EXPECT_EQ(static_cast<MenuEntry*>(screen.navigation.lastChild)->getItem(), screen.pOptionsButton);
}

TEST_F(HighScoresTest, RowsShowNameLevelAndGroupedScore) {
    setRow(0, "Ann", 0, 1234567);
    setRow(1, "", 11, 90000);
    setRow(2, "Bj\xc3\xb6rn", 89, 80000);
    // Rows of a damaged file: a level outside the table, a name without its terminator.
    setRow(3, "Cy", 90, 70000);
    setRow(4, "Di", -5, 60000);
    std::memset(config().highScores[5].name, 'x', sizeof(config().highScores[5].name));
    push(new ContextHighScores());
    const auto& texts = draw();
    struct Case {
        int row;
        WString name, level, score;
    };
    const Case cases[] = {
        {0, u"Ann", u"Level 1-1", u"1,234,567"}, {1, u"...", u"Level 3-4", u"90,000"},
        {2, u"Bj\u00f6rn", u"Level 15-8", u"80,000"}, {3, u"Cy", u"", u"70,000"},
        {4, u"Di", u"", u"60,000"},               {5, WString(256, u'x'), u"Level 1-1", u"50,000"},
        {9, u"...", u"Level 1-1", u"10,000"},
    };
    for (const Case& c : cases) {
        auto row = rowTexts(texts, c.row);
        // An empty level text is not drawn at all.
        ASSERT_EQ(row.size(), c.level.empty() ? 2u : 3u) << c.row;
        EXPECT_EQ(row[0].text, c.name) << c.row;
        EXPECT_FLOAT_EQ(row[0].x, -320.0f);
        EXPECT_EQ(row[0].flags, 0x202);
        if (!c.level.empty()) {
            EXPECT_EQ(row[1].text, c.level) << c.row;
            EXPECT_FLOAT_EQ(row[1].x, 160.0f);
            EXPECT_EQ(row[1].flags, 0x8);
        }
        EXPECT_EQ(row.back().text, c.score) << c.row;
        EXPECT_FLOAT_EQ(row.back().x, 320.0f);
        EXPECT_EQ(row.back().flags, 0x8);
        EXPECT_FLOAT_EQ(row[0].y, 135.0f - 25.0f * float(c.row));
    }
}

TEST_F(HighScoresTest, NamesHaveADarkRimBeneathThem) {
    setRow(0, "Ann", 0, 100000);
    push(new ContextHighScores());
    const auto& texts = draw();
    std::vector<DrawnText> ann;
    for (const DrawnText& t : texts)
        if (t.text == u"Ann") ann.push_back(t);
    ASSERT_EQ(ann.size(), 5u);
    const float offsets[4][2] = {{-2, 0}, {2, 0}, {0, -2}, {0, 2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(ann[size_t(i)].x, -320.0f + offsets[i][0]);
        EXPECT_FLOAT_EQ(ann[size_t(i)].y, 135.0f + offsets[i][1]);
        EXPECT_EQ(ann[size_t(i)].colour, 0xB0000000u);
        EXPECT_EQ(ann[size_t(i)].flags, 0x202);
    }
    // The name itself last, on top.
    EXPECT_FLOAT_EQ(ann[4].x, -320.0f);
    EXPECT_EQ(ann[4].colour, 0xFFFFFFFFu);
}

TEST_F(HighScoresTest, ScoresUseTheSeparatorOfTheLanguage) {
    setRow(0, "Ann", 0, 1234567);
    push(new ContextHighScores());
    for (int language : {0, 1, 2, 4}) {
        setTestLanguage(language);
        const WString separator = AppText::text(u"THOUSANDSEPARATOR");
        ASSERT_FALSE(separator.empty());
        auto row = rowTexts(draw(), 0);
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(row.back().text, u"1" + separator + u"234" + separator + u"567") << language;
    }
    setTestLanguage(1);
    EXPECT_NE(AppText::text(u"THOUSANDSEPARATOR"), u",");
    EXPECT_EQ(rowTexts(draw(), 0)[1].text, u"Niveau 1-1");
}

TEST_F(HighScoresTest, EnteredRowPulsesWithTheScreenClock) {
    application->lastHighScoreRow = 2;
    auto* screen = new ContextHighScores();
    push(screen);
    for (int frame = 0; frame < 5; ++frame) {
        tick();
        const auto& texts = draw();
        const uint32_t expected = ContextHighScores::rowColour(2, 2, screen->totalTime);
        for (const DrawnText& t : rowTexts(texts, 2)) EXPECT_EQ(t.colour, expected);
        for (const DrawnText& t : rowTexts(texts, 1)) EXPECT_EQ(t.colour, 0xFFFFFFFFu);
    }
    EXPECT_NEAR(screen->totalTime, 6.0 / 60.0, 1e-9);
}

TEST_F(HighScoresTest, OptionsButtonOpensTheOptionsAndOkCloses) {
    auto* screen = new ContextHighScores();
    push(screen);
    tap(385 - 128, -200);
    auto* options = top<ContextHighScoreOptions>();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(screen->pOptionsButton->bClicked);
    options->bDone = true;
    tick();
    EXPECT_EQ(stack->getTopContext(), screen);
    tap(80 - 385, -200);
    tick();
    EXPECT_EQ(stack->getTopContext(), nullptr);
}

TEST_F(HighScoresTest, OptionsLayoutAndNavigationOrder) {
    ContextHighScoreOptions screen;
    EXPECT_TRUE(screen.bDeleteWhenDone);
    EXPECT_EQ(screen.pTitle->text, AppText::text(u"HIGHSCOREOPTIONS"));
    struct Case {
        MenuItemButton* item;
        float y;
        const char16_t* caption;
        const char16_t* hint;
    };
    const Case cases[] = {{screen.pOkButton, -200, u"OK", u""},
                          {screen.pWorldWideButton, 100, u"WORLDWIDESCORES", u"WORLDWIDESCORESHINT"},
                          {screen.pUploadButton, 50, u"UPLOADSCORES", u"UPLOADSCORESHINT"},
                          {screen.pResetButton, -50, u"RESETSCORES", u"RESETSCORESHINT"}};
    BasicLink* entry = screen.navigation.firstChild;
    for (const Case& c : cases) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(static_cast<MenuEntry*>(entry)->getItem(), c.item);
        EXPECT_FLOAT_EQ(c.item->position.x, 0.0f);
        EXPECT_FLOAT_EQ(c.item->position.y, c.y);
        EXPECT_EQ(c.item->caption, AppText::text(c.caption));
        EXPECT_EQ(c.item->hint, *c.hint ? AppText::text(c.hint) : WString());
        entry = entry->next;
    }
    EXPECT_FLOAT_EQ(screen.pOkButton->frameWidth, 160.0f);
    EXPECT_EQ(screen.pResetButton->confirmText, AppText::text(u"CONFIRM"));
}

TEST_F(HighScoresTest, ResetAfterYesRestoresTheDefaultRowsAndStopsThePulse) {
    setRow(0, "Ann", 30, 999999);
    application->lastHighScoreRow = 0;
    auto* scores = new ContextHighScores();
    push(scores);
    push(new ContextHighScoreOptions());
    tap(0, -50);
    auto* box = top<ContextMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, AppText::text(u"CONFIRM"));
    EXPECT_EQ(config().highScores[0].score, 999999);
    box->pFirstButton->bClicked = true;
    tick();
    tick();
    EXPECT_EQ(application->lastHighScoreRow, -1);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(config().highScores[i].score, 100000 - 10000 * i);
        EXPECT_EQ(config().highScores[i].name[0], 0);
    }
    // Back on the table: the default rows, none pulsing.
    stack->getTopContext()->bDone = true;
    tick();
    ASSERT_EQ(stack->getTopContext(), scores);
    auto row = rowTexts(draw(), 0);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[0].text, u"...");
    EXPECT_EQ(row[2].text, u"100,000");
    EXPECT_EQ(row[0].colour, 0xFFFFFFFFu);
}

TEST_F(HighScoresTest, ResetAnsweredNoLeavesTheTable) {
    setRow(0, "Ann", 30, 999999);
    application->lastHighScoreRow = 0;
    push(new ContextHighScoreOptions());
    tap(0, -50);
    auto* box = top<ContextMessageBox>();
    ASSERT_NE(box, nullptr);
    box->pSecondButton->bClicked = true;
    tick();
    tick();
    tick();
    EXPECT_EQ(config().highScores[0].score, 999999);
    EXPECT_STREQ(config().highScores[0].name, "Ann");
    EXPECT_EQ(application->lastHighScoreRow, 0);
}

TEST_F(HighScoresTest, WorldWideScoresOpenTheMakersPageAfterTheProgram) {
    setenv("VESK_MAKER_HOST", "127.0.0.1:8123", 1);
    const FakePageOpener opener;
    auto* screen = new ContextHighScoreOptions();
    push(screen);
    EXPECT_EQ(screen->pWorldWideButton->url, u"http://127.0.0.1:8123/vesk/highscoretable.php");
    tap(0, 100);
    EXPECT_EQ(application->pendingUrl, u"http://127.0.0.1:8123/vesk/highscoretable.php");
    EXPECT_TRUE(stack->bQuit);
    unsetenv("VESK_MAKER_HOST");
}

TEST_F(HighScoresTest, UploadClickIsTakenWithoutTouchingTheTable) {
    auto* screen = new ContextHighScoreOptions();
    push(screen);
    const GameConfigurationRecord before = config();
    tap(0, 50);
    EXPECT_FALSE(screen->pUploadButton->bClicked);
    EXPECT_EQ(std::memcmp(&before, static_cast<GameConfigurationRecord*>(&config()), sizeof(before)), 0);
}
