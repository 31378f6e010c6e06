#include "ui/MenuEntry.h"

#include "ui/MenuNavigable.h"

MenuEntry::MenuEntry(MenuNavigable* item) : link(this, item) {}

MenuNavigable* MenuEntry::getItem() const { return static_cast<MenuNavigable*>(link.get()); }
