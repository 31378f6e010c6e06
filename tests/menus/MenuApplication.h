#pragma once
// The application object of the menu screens' tests: the start-up of Global with the main menu as
// its first screen. (The game's application object opens the world map from that menu; these
// tests never go there.)

#include "menus/ContextMain.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"

class MenuApplication : public Global {
public:
    void createStartContexts() override { pContextManager->pushContext(new ContextMain()); }
};
