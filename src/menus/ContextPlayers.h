#pragma once
// The list of player profiles over the main menu: a press on a row makes that profile current;
// ADDPLAYER asks for a new name, DELETEPLAYER (after a confirmation) removes the current profile.
// At most eight profiles are made here, and the last one is never deleted.

#include "ui/ContextMenu.h"
#include "ui/MenuNavigable.h"

class MenuItemButton;
class MenuItemClose;
class NameSlot;

class ContextPlayers : public ContextMenu {
public:
    static constexpr int MAX_PROFILES = 8;
    // Row i spans ROW_TOP - ROW_HEIGHT (i + 1) < y <= ROW_TOP - ROW_HEIGHT i and x in
    // [-ROW_HALF_WIDTH, ROW_HALF_WIDTH).
    static constexpr float ROW_TOP = 150.0f;
    static constexpr float ROW_HEIGHT = 30.0f;
    static constexpr float ROW_HALF_WIDTH = 150.0f;

    // The rows' keyboard navigation points; it draws nothing.
    class RowList : public MenuNavigable {
    public:
        // Row i's point for i below the number of profiles, then the end of the list.
        Vector3 getNavigationPoint(int index) override;
        void render() override {}
    };

    ContextPlayers();

    void tickContents(double total, double dt) override;
    // The screen beneath, then the panel and buttons, then the names.
    void renderContents() override;

    // The row (0 .. count - 1) that a point of the menu's space selects, or -1.
    static int rowAt(float x, float y, int count);
    // The world point a row offers to keyboard navigation: inside its hit box, at the start of its name.
    static Vector3 rowNavigationPoint(int row);

    NameSlot* pSlot;
    MenuItemButton* pAddButton;
    MenuItemButton* pDeleteButton;
    MenuItemClose* pDoneButton;
    RowList* pRows;
};
