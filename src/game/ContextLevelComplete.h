#pragma once
// The tally after a won level: speed, accuracy and efficiency counted up as percentages from 0.5
// to 1.0 s, a medal for each at 1.25, 1.75 and 2.25 s, and at 2.5 s a bonus for an excellent
// level; the level's display stays live behind it. A press or the skip key closes it; medals and
// the bonus not yet paid are paid when it closes.

#include "media/Context.h"

class AwardDisplay;
class TextLabel;

class ContextLevelComplete : public Context {
public:
    enum Measure : int { SPEED = 0, ACCURACY = 1, EFFICIENCY = 2, MEASURE_COUNT = 3 };
    static constexpr double BELL_TIME = 0.5;
    static constexpr double BONUS_TIME = 2.5;
    static constexpr int TOP_BONUS = 50000;
    static constexpr int GOOD_BONUS = 10000;
    // The panel's height: from under the head-up display to below the medals' names.
    static constexpr float BUBBLE_HEIGHT = 390.0f;
    // The measures' headings (their values 20 units lower), and the bonus pop-up's start above
    // the screen's foot.
    static constexpr float HEADING_Y = 140.0f;
    static constexpr float BONUS_Y = 70.0f;

    // The measures come from the game in progress (none: all 0).
    ContextLevelComplete();
    ~ContextLevelComplete() override;

    void tickContents(double total, double dt) override;
    // The game behind (none without a game in progress), then the tally.
    void renderContents() override;

    // The three measures, in single precision and clamped to 0..1. Speed: 1.25 x cars / seconds
    // (0 for a level that took no time); accuracy: correct / placed (0 with nothing placed);
    // efficiency: half of collected / spawned power-ups (a half without power-ups) plus half of
    // placed / shots (nothing without shots).
    static float measureSpeed(int totalCars, double levelStartTime, double levelEndTime);
    static float measureAccuracy(int correct, int incorrect);
    static float measureEfficiency(int bonusesCollected, int bonusesSpawned, int correct, int incorrect, int shotsFired);
    // 50000 when all three are exactly 1, 10000 when all exceed 0.9, else 0.
    static int excellenceBonus(const float values[MEASURE_COUNT]);
    // The percentage a value label shows at the tally's clock t.
    static int shownPercentage(float value, double t);

    TextLabel* pValueLabels[MEASURE_COUNT] = {};
    float measures[MEASURE_COUNT] = {};
    AwardDisplay* pAwards[MEASURE_COUNT] = {};
    TextLabel* pPrompt = nullptr;
    bool bBellPlayed = false;
    // The bonus has been settled (paid, or found not due).
    bool bBonusSettled = false;

private:
    void settleBonus(bool bShow);
};
