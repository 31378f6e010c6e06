#pragma once
// Endless falling snow behind the menus: 128 flakes in a window of the layout's size times
// areaScale, centred on a camera and following it.

#include "engine/QelBase.h"

class Camera;
class SnowFlake;

class SnowEffect : public QelBase {
public:
    SnowEffect(Camera* camera, float areaScale);
    ~SnowEffect() override;

    void update(double t, double dt) override;
    void render() override;

    // Not owned.
    Camera* pCamera = nullptr;
    SnowFlake* flakes = nullptr;
    int flakeCount = 128;
    float areaScale = 1.0f;
};
