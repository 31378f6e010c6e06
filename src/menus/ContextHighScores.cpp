#include "menus/ContextHighScores.h"

#include <cmath>
#include <cstring>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/HighScoreEntry.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "ui/BackingPanel.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/OutlinedText.h"

namespace {
// Levels per stage, in stage order.
constexpr int STAGE_LEVELS[15] = {4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8};
constexpr uint32_t PULSE_DARK = 0xFF806000;
constexpr uint32_t PULSE_BRIGHT = 0xFFFFC000;
}  // namespace

ContextHighScores::ContextHighScores() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"HIGHSCORES"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);
    // The table stands on a pale panel: its white rows (dark-rimmed) and the amber of the last
    // entered row read on it whatever the picture has there, and each row's name, level and score
    // sit on one band.
    pBacking = new BackingPanel();
    addChild(pBacking);
    const float rowHeight = float(FontAccess::lineHeight(game ? game->pFontMediumOutline : nullptr));
    pBacking->cover(WorldRect{-320.0f, rowY(0), 320.0f, rowY(9) - rowHeight});
    pOkButton = new MenuItemClose(float(80 - cornerX), -float(cornerY), 0.0f, AppText::text(u"OK"), u"");
    pOkButton->setWidth(160);
    appendItem(pOkButton);
    pOptionsButton = new MenuItemButton(float(cornerX - 128), -float(cornerY), 0.0f,
                                        AppText::text(u"HIGHSCOREOPTIONSDOTS"), u"");
    appendItem(pOptionsButton);
}

bool ContextHighScores::stageAndLevel(int levelIndex, int& stage, int& level) {
    if (levelIndex < 0 || levelIndex >= LEVEL_COUNT) return false;
    int first = 0;
    for (int s = 0; s < 15; ++s) {
        if (levelIndex < first + STAGE_LEVELS[s]) {
            stage = s + 1;
            level = levelIndex - first + 1;
            return true;
        }
        first += STAGE_LEVELS[s];
    }
    return false;
}

WString ContextHighScores::levelText(int levelIndex) {
    int stage = 0, level = 0;
    if (!stageAndLevel(levelIndex, stage, level)) return WString();
    return format(AppText::text(u"LEVELX"), stage, level);
}

WString ContextHighScores::nameText(const HIGHSCOREENTRY& row) {
    // The stored name is NUL-terminated within its field; a damaged one is cut at the field's end.
    const size_t length = strnlen(row.name, sizeof(row.name));
    const WString name = utf8ToWide(std::string_view(row.name, length));
    return name.empty() ? WString(u"...") : name;
}

uint32_t ContextHighScores::rowColour(int row, int lastRow, double t) {
    if (row != lastRow) return 0xFFFFFFFF;
    const float f = float(0.5 + 0.5 * std::sin(16.0 * t));
    return lerpColor(PULSE_DARK, PULSE_BRIGHT, f);
}

void ContextHighScores::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (pOptionsButton->bClicked) {
        pOptionsButton->bClicked = false;
        AppLink::pushContext(new ContextHighScoreOptions());
    }
}

void ContextHighScores::renderContents() {
    ContextMenu::renderContents();
    if (!game) return;
    FontQuad* font = game->pFontMediumOutline;
    Renderable at;
    auto place = [&](float x, float y, uint32_t colour) {
        at.position = Vector3(x, y, 0.0f);
        at.color = colour;
        at.updateXform();
    };
    for (int i = 0; i < 10; ++i) {
        const HIGHSCOREENTRY& row = game->gameConfiguration.highScores[i];
        const float y = rowY(i);
        const uint32_t colour = rowColour(i, game->lastHighScoreRow, totalTime);
        // Names can hold any character: they go through the system font, which has no outline of
        // its own.
        place(-320.0f, y, colour);
        OutlinedText::draw(font, &at, 0x202, nameText(row));
        place(160.0f, y, colour);
        FontAccess::drawAligned(font, &at, 0x8, levelText(row.level));
        place(320.0f, y, colour);
        FontAccess::drawAligned(font, &at, 0x8, formatThousands(row.score));
    }
}
