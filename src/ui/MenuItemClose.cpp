#include "ui/MenuItemClose.h"

#include "ui/AppLink.h"
#include "media/Context.h"

void MenuItemClose::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    if (Context* top = AppLink::topContext()) top->bDone = true;
}
