#include "game/ColorBombPowerUp.h"

#include <algorithm>
#include <vector>

#include "game/CargoSlot.h"
#include "game/GameController.h"

ColorBombPowerUp::ColorBombPowerUp() : PowerUp(TYPE_COLOR_BOMB, u"bonus:3") { setCaption(BONUSCOLORBOMB); }

void ColorBombPowerUp::placeInSlot(CargoSlot* target) {
    PowerUp::placeInSlot(target);
    if (!target || target->color < 0 || target->color >= TYPE_COLOR_COUNT) return;
    bombColor = target->color;
    color = colorTable[bombColor];
}

bool ColorBombPowerUp::activate() {
    showActivation();
    if (GameController* g = game()) {
        // The frame's list of open slots may be out of date by now (slots filled since it was
        // made): the slots taken are those open when the bomb fires.
        std::vector<CargoSlot*>& open = g->colorPicker.openSlots;
        std::vector<CargoSlot*> targets;
        for (CargoSlot* slot : open)
            if (slot && slot->color == bombColor && slot->isOpen()) targets.push_back(slot);
        for (CargoSlot* slot : targets) {
            // A bonus that sat in an earlier slot took effect and may have taken this slot away
            // (a slot leaves the list when its car goes) or filled it.
            if (std::find(open.begin(), open.end(), slot) == open.end() || !slot->isOpen()) continue;
            slot->replaceCargo(Cargo::createByType(bombColor));
        }
    }
    GameController::playSoundRandomPitch(u"boom");
    return true;
}
