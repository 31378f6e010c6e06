#include "game/SlowPowerUp.h"

SlowPowerUp::SlowPowerUp() : PowerUp(TYPE_SLOW_BONUS, u"bonus:7") {}
