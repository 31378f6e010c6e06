#pragma once
// The world map's play button: "Play!" on the first level, "Play next level" on any other, and
// "Continue level" while a level is in progress (left through the pause screen or resumed from
// the saved game). A click starts a new level or continues the one in progress.

#include "ui/MenuItemButton.h"

class WorldMapButton : public MenuItemButton {
public:
    WorldMapButton(float x, float y, float z);

    // The button's own update, then whether a level is in progress, and the caption for it.
    void update(double time, double dt) override;
    // Pushes the level in progress, or a new one, and starts or continues it.
    void onClick() override;

    // The caption's text key for a level in progress or not, at the profile's current level.
    static const char16_t* captionKey(bool bLevelInProgress, int level);

    // No level is in progress: a click makes a new one.
    bool bNewGame = true;

private:
    // bNewGame and the caption from the current state; the text is looked up when it changes.
    void showCaption();
    const char16_t* shownKey = nullptr;
};
