#include "game/GameGlobal.h"

#include "engine/Text.h"
#include "game/ContextMainGame.h"
#include "game/LayoutTable.h"
#include "media/Texture.h"
#include "menus/Loader.h"
#include "ui/ContextManager.h"

GameGlobal::GameGlobal() : Global() {
    pWorldManager = nullptr;
    pGameController = nullptr;
}

GameGlobal::~GameGlobal() {
    delete pGameController;
    pGameController = nullptr;
    delete pWorldManager;
    pWorldManager = nullptr;
}

void GameGlobal::createStartContexts() {
    pContextManager->pushContext(new ContextMainGame());
}

namespace {

// Only read, so that the archive being built takes every scene's pictures along.
const bool bLevelPicturesArchived = [] {
    Loader::readLevelPictures = [] {
        for (const SceneLayout& scene : LayoutTable::scenes()) {
            delete new Texture(0, utf8ToWide(LayoutTable::scenePicture(scene)));
            delete new Texture(0, utf8ToWide(LayoutTable::decorationPicture(scene)));
        }
    };
    return true;
}();

}  // namespace
