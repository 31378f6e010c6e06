#pragma once
// A score or message that pops up where it was earned: it grows from a quarter of its size, rises
// 32 units a second and fades out over its last half second; gone after one second.

#include "ui/TextLabel.h"

class FloatingText : public TextLabel {
public:
    FloatingText(const Vector3& position, WStringView text);
    void update(double time, double dt) override;
    void render() override;

    // Seconds since it appeared.
    double age = 0.0;
};
