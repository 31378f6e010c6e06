#include "app/MenuItemClose.h"

#include "app/AppLink.h"
#include "engine/Context.h"

void MenuItemClose::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    if (Context* top = AppLink::topContext()) top->bDone = true;
}
