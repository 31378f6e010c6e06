#include "ui/MenuItemLink.h"

#include "ui/AppLink.h"

void MenuItemLink::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    AppLink::setPendingUrl(url);
    AppLink::requestQuit();
}
