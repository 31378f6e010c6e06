#include "game/ReversePowerUp.h"

ReversePowerUp::ReversePowerUp() : PowerUp(TYPE_REVERSE_BONUS, u"bonus:1") {}
