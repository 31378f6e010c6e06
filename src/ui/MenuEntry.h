#pragma once
// One element of a menu's navigation list: a weak link to a menu item. When the item is deleted
// the link clears itself and the navigation walk drops the entry.

#include "engine/ObjectLink.h"
#include "engine/QelBase.h"

class MenuNavigable;

class MenuEntry : public QelBase {
public:
    explicit MenuEntry(MenuNavigable* item);

    MenuNavigable* getItem() const;

    ObjectLink link;
};
