#include "game/ColorBombPowerUp.h"

#include "game/CargoSlot.h"

ColorBombPowerUp::ColorBombPowerUp() : PowerUp(TYPE_COLOR_BOMB, u"bonus:3") {}

void ColorBombPowerUp::placeInSlot(CargoSlot* target) {
    PowerUp::placeInSlot(target);
    if (!target || target->color < 0 || target->color >= TYPE_COLOR_COUNT) return;
    bombColor = target->color;
    color = colorTable[bombColor];
}
