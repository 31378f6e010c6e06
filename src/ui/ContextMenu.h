#pragma once
// The base of every menu-like screen. Items are children; a separate navigation list names the
// items that keys and joysticks may visit. Direction keys move the pointer to the best item in
// that direction and the confirm key clicks at the pointer, so every item reacts to keyboard,
// joystick, mouse and touch through the same pointer path.

#include <cstdint>

#include "media/Context.h"
#include "engine/MathUtil.h"

class MenuNavigable;
class MenuEntry;
class Renderable;

class ContextMenu : public Context {
    QEL_DECLARE_CLASS()
public:
    enum : int { NAV_POINTER = 1, NAV_KEYBOARD = 2 };
    enum : int { DIR_UP = 0, DIR_DOWN = 1, DIR_LEFT = 2, DIR_RIGHT = 3, DIR_NEAREST = 4 };

    ContextMenu();
    ~ContextMenu() override;

    void onInputModeChange() override;
    void onActivate(bool bFirst) override;
    void onDeactivate(bool bPopped) override;
    void tickContents(double total, double dt) override;
    void renderContents() override;

    // Appends the item as a child, then registers it for navigation here or in pContentOwner.
    void appendItem(Renderable* item);
    MenuEntry* addItem(MenuNavigable* item);
    // The navigation target from pointer point p in a direction; p itself when there is none.
    Vector3 findNextItem(const Vector3& p, int direction);

    static void setMenuNavigationMode(int mode);
    // How well q suits as the target from p in a direction; targets need a score above 0.
    static float score(const Vector3& p, const Vector3& q, int direction);
    // Rewrites menuLayout for the reading order.
    static void fillMenuLayout(bool bRightToLeft);
    // Conversions between a context's world plane z = 0 and the input's pointer coordinates.
    static Vector3 worldToPointer(Context* context, const Vector3& world);
    static Vector3 pointerToWorld(Context* context, const Vector3& pointer);

    int itemSpacing = 50;
    int marginY = 40;
    int marginX = 40;
    int cornerX;
    int cornerY;
    bool bKeyboardNavigation = true;
    ContextMenu* pContentOwner = nullptr;
    QelBase navigation;
    Vector3 savedPointer;
    bool bPendingConfirm = false;

    static inline int menuNavigationMode = NAV_POINTER;
    static inline int menuNavigationModeFrame = -1;
    // Entries 0-9 and 11 are ints; entry 10 holds the float horizontal sign's bits.
    static inline int32_t menuLayout[12] = {6, 4, 40, 34, 24, 18, 9, 3, 8, 2, 0x3f800000, 1};
    static int layoutInt(int entry) { return menuLayout[entry]; }
    static float layoutSign();
};
