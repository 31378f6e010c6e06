#include "game/WildcardPowerUp.h"

WildcardPowerUp::WildcardPowerUp() : PowerUp(TYPE_WILDCARD_BONUS, u"bonus:2") {}
