#include "game/WorldMapButton.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "game/GameGlobal.h"
#include "engine/Qel.h"
#include "game/GameController.h"
#include "game/WorldManager.h"
#include "media/PointerDispatcher.h"

WorldMapButton::WorldMapButton(float x, float y, float z) : MenuItemButton(x, y, z, u"", u"") {
    showCaption();
}

void WorldMapButton::showCaption() {
    bNewGame = GameController::current() == nullptr;
    const char16_t* key = captionKey(!bNewGame, WorldManager::getCurrentLevel());
    if (key == shownKey) return;
    shownKey = key;
    caption = AppText::text(key);
}

const char16_t* WorldMapButton::captionKey(bool bLevelInProgress, int level) {
    if (bLevelInProgress) return u"CONTINUELEVEL";
    return level == 0 ? u"PLAY" : u"PLAYNEXTLEVEL";
}

void WorldMapButton::update(double time, double dt) {
    MenuItemButton::update(time, dt);
    showCaption();
}

void WorldMapButton::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    if (qel && qel->pPointerDispatcher) qel->pPointerDispatcher->setFocus(nullptr);
    auto* application = dynamic_cast<GameGlobal*>(game);
    if (!application) return;
    // The caption said what a click does: read the state again, a level may have ended meanwhile.
    bNewGame = GameController::current() == nullptr;
    GameController* controller = GameController::current();
    if (bNewGame) {
        controller = new GameController();
        application->pGameController = controller;
    }
    AppLink::pushContext(controller);
    if (bNewGame) controller->startGame();
    else controller->continueGame();
}
