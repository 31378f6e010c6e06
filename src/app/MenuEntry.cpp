#include "app/MenuEntry.h"

#include "app/MenuNavigable.h"

MenuEntry::MenuEntry(MenuNavigable* item) : link(this, item) {}

MenuNavigable* MenuEntry::getItem() const { return static_cast<MenuNavigable*>(link.get()); }
