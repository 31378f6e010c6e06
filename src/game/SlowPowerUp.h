#pragma once
// The slow bonus: the trains crawl for eight seconds.

#include "game/PowerUp.h"

class SlowPowerUp : public PowerUp {
public:
    SlowPowerUp();
    // The trains run at a quarter of their speed until eight seconds from now.
    bool activate() override;
};
