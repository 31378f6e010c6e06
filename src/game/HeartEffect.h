#pragma once
// A heart that rises for two seconds from where it was won, swaying less and less and shrinking,
// spinning through the "heart" frames, over a turning glow.

#include <vector>

#include "media/Renderable.h"

class Skin;

class HeartEffect : public Renderable {
public:
    HeartEffect(float x, float y, float z);

    void update(double t, double dt) override;
    // The glow, then the heart.
    void render() override;

    float startX;
    float startZ;
    float age = 0.0f;
    float phase = 0.0f;
    Renderable glow;
    std::vector<Skin*> frames;
};
