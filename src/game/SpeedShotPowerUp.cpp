#include "game/SpeedShotPowerUp.h"

SpeedShotPowerUp::SpeedShotPowerUp() : PowerUp(TYPE_SPEED_SHOT_BONUS, u"bonus:5") {}
