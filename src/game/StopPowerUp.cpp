#include "game/StopPowerUp.h"

StopPowerUp::StopPowerUp() : PowerUp(TYPE_STOP_BONUS, u"bonus:0") {}
