#pragma once
// The bar along the top of the screen, on the world map and in a level: the score (counted up in
// a level), the lives, the hearts and the current level's name; in a level also the MENU corner,
// the level's progress bar and its percentage. With the engine's statistics debug flag (0x100)
// it adds the level statistics.

#include "engine/Text.h"
#include "media/Renderable.h"

class FontQuad;
class ProgressBar;

class Hud : public Renderable {
public:
    explicit Hud(bool bInGame);
    ~Hud() override;

    void update(double t, double dt) override;
    void render() override;

    // The score shown on the way from one score to another: the integer part of
    // from + (1 - (1 - blend)^2) x (to - from) + 0.1.
    static int countedScore(int from, int to, float blend);
    // The percentage text of a progress (no decimals).
    static WString percentageText(float progress);

    // The fonts the bar uses: the score and menu label, the counters and title, the statistics.
    static FontQuad* hudFont();
    static FontQuad* textFont();
    static FontQuad* smallFont();

    bool bInGame;
    WString title;
    int displayedScore = 0;
    int fromScore = 0;
    int targetScore = 0;
    float scoreBlend = 0.0f;
    // The lives and heart icons and, in a level, the progress bar: drawn by the bar itself.
    Renderable livesIcon;
    Renderable heartIcon;
    ProgressBar* pProgressBar = nullptr;

private:
    void drawStatistics();
};
