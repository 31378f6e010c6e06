#include "game/PlainCargo.h"

#include "game/GameController.h"

PlainCargo::PlainCargo(int color) {
    type = color;
    pSkin = GameController::findSkin(format(u"cargo:%d", color));
}
