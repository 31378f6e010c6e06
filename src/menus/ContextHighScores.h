#pragma once
// The local high-score table: ten rows of name, level and score over the intro picture. The row
// that the last finished game entered pulses. A button leads to the high-score options.

#include <cstdint>

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class MenuItemButton;
class MenuItemClose;
class BackingPanel;
class TextLabel;
struct HIGHSCOREENTRY;

class ContextHighScores : public ContextMenu {
public:
    static constexpr int LEVEL_COUNT = 90;

    ContextHighScores();

    void tickContents(double total, double dt) override;
    // The menu, then the rows.
    void renderContents() override;

    // The stage (from 1) and the level within it (from 1) of a global level index; false for an
    // index outside 0 .. LEVEL_COUNT - 1.
    static bool stageAndLevel(int levelIndex, int& stage, int& level);
    // LEVELX with the stage and level; empty for an index outside the table (a damaged file).
    static WString levelText(int levelIndex);
    // The name as shown: "..." for an empty one.
    static WString nameText(const HIGHSCOREENTRY& row);
    // The colour of row i at time t when lastRow entered the table last.
    static uint32_t rowColour(int row, int lastRow, double t);
    // Height of row i.
    static float rowY(int row) { return 135.0f - 25.0f * float(row); }

    TextLabel* pTitle;
    // Under the table.
    BackingPanel* pBacking;
    MenuItemClose* pOkButton;
    MenuItemButton* pOptionsButton;
};
