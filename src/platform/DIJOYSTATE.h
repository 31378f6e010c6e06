#pragma once
// The state of a joystick as DirectInput's basic joystick format lays it out (80 bytes).

#include <cstdint>

namespace platform {

struct DIJOYSTATE {
    int32_t lX, lY, lZ;
    int32_t lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4];  // hundredths of a degree clockwise from north; 0xFFFFFFFF when centred
    uint8_t rgbButtons[32];  // 0x80 when down
};
static_assert(sizeof(DIJOYSTATE) == 80);

constexpr uint32_t POV_CENTERED = 0xFFFFFFFFu;

}  // namespace platform
