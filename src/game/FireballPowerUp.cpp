#include "game/FireballPowerUp.h"

FireballPowerUp::FireballPowerUp() : PowerUp(TYPE_FIREBALL_BONUS, u"bonus:4") {}
