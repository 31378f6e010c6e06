#pragma once
// The extra-life bonus: brings the player a heart (the hundredth makes a life). It shows as a
// beating heart in front of a turning red glow.

#include "game/PowerUp.h"

#include <vector>

class Skin;

class ExtraLifePowerUp : public PowerUp {
public:
    ExtraLifePowerUp();

    void update(double time, double dt) override;
    // The glow, then the heart.
    void render() override;
    // One heart for the player. When it makes a life: "extra life!" and its tune; otherwise a
    // note raised with the hearts held (at most an octave), without a caption.
    bool activate() override;

    Renderable glow;
    float phase = 0.0f;

private:
    std::vector<Skin*> frames;
};
