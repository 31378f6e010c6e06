#pragma once
// A renderable that offers points to a menu's keyboard navigation: menu items and the language
// flags. The points are in the input's pointer coordinates; (-1, -1, -1) ends the list.

#include "engine/MathUtil.h"
#include "media/Renderable.h"

class MenuNavigable : public Renderable {
public:
    static Vector3 endOfPoints() { return Vector3(-1.0f, -1.0f, -1.0f); }
    virtual Vector3 getNavigationPoint(int index) { return endOfPoints(); }
};
