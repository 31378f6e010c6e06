#pragma once
// The snow over the menus; once the story has been told it also carries the game logo.

#include "media/Context.h"

class ContextMenuBackground : public Context {
public:
    ContextMenuBackground();
};
