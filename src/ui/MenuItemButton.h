#pragma once
// A wide button. It clicks when the touch that went down on it is released, unless the touch was
// dragged away; with a confirmation text set, it first asks YES/NO and clicks only on YES.

#include "ui/MenuItem.h"

class MenuItemButton : public MenuItem {
public:
    static constexpr float DRAG_LIMIT = 20.0f;

    MenuItemButton(float x, float y, float z, WStringView caption, WStringView hint);

    void update(double time, double dt) override;

    // Whether a release clicks: the touch never moved more than DRAG_LIMIT units from where it went
    // down, or the pointer is still over the button.
    static bool releaseClicks(float farthestDrift, bool stillOver) { return farthestDrift <= DRAG_LIMIT || stillOver; }

    WString confirmTitle;
    WString confirmText;
    int confirmResult = -1;
    // How far the held touch has moved from where it went down.
    float touchDrift = 0.0f;
};
