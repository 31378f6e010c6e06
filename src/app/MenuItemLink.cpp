#include "app/MenuItemLink.h"

#include "app/AppLink.h"

void MenuItemLink::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    AppLink::setPendingUrl(url);
    AppLink::requestQuit();
}
