#pragma once
// One medal of the tally: hidden until its delay has passed, then shown with a bell, its points
// paid to the player, and sparkles around it at random moments. A medal not yet paid when the
// display is deleted is paid then, so closing the tally early loses nothing.

#include <cstdint>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class AwardDisplay : public QelBase {
public:
    enum Medal : int { BRONZE = 0, SILVER = 1, GOLD = 2, NONE = 3 };
    static constexpr int SHOWN = 1;
    static constexpr float SPARKLE_DISTANCE = 40.0f;

    AwardDisplay(int medal, float x, float y, float z, double delay);
    ~AwardDisplay() override;

    // In the shown state, a medal makes a sparkle whenever the clock passes nextSparkleTime (the
    // first pass only schedules), drawn over the star and beneath the texts; then the base update
    // (state and children).
    void update(double t, double dt) override;
    // Nothing before the shown state.
    void render() override;
    void onStateChange() override;

    // Gold above 0.9, silver above 0.8, bronze above 0.7, else none (single precision, strict).
    static int medalFor(float measure);
    static int pointsFor(int medal);
    // Bronze and gold tint the star; silver leaves it white.
    static uint32_t starColour(int medal);

    Vector3 position;
    int medal;
    double nextSparkleTime = 0.0;
    int points;
    bool bPaid = false;
    // The points' label (none without a medal): sparkles go in before it.
    BasicLink* pValue = nullptr;

private:
    void pay();
};
