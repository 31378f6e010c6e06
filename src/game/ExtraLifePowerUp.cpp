#include "game/ExtraLifePowerUp.h"

ExtraLifePowerUp::ExtraLifePowerUp() : PowerUp(TYPE_EXTRA_LIFE_BONUS, u"bonus:6") {}
