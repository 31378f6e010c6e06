#pragma once
// Advanced display settings: video mode, frame-rate limit, full screen, letterbox, vertical sync,
// bilinear filtering and the frame-rate display. Closing the screen applies them; the video mode
// is passed on only when the player changed it, so that merely looking at the screen never
// switches modes (in a window, whose size matches no mode, it would otherwise switch to the first).

#include <vector>

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class ListValueItem;
class MenuValueItem;
class MenuOptionItem;
class MenuItemClose;

class ContextAdvancedOptions : public ContextMenu {
public:
    struct ModeSize {
        int width;
        int height;
    };

    ContextAdvancedOptions();
    // Space between the letterbox row's caption and the full-screen box beside it.
    static constexpr float CAPTION_GAP = 14.0f;

    void tickContents(double total, double dt) override;
    void onDeactivate(bool bPopped) override;

    // The index of the last mode of the given size; 0 when none has it.
    static int findMode(const std::vector<ModeSize>& modes, int width, int height);
    // The size to apply on closing: the chosen mode's once the player changed it, else -1, -1.
    ModeSize modeToApply() const;

    // The graphics engine's display modes, with their texts for the VIDEOMODE row. Without any
    // mode the row shows the current size, disabled.
    std::vector<ModeSize> modes;
    std::vector<WString> modeNames;
    int selectedMode = 0;
    // Set once the player has changed the VIDEOMODE row.
    bool bModeChanged = false;

    ListValueItem* pVideoMode;
    MenuValueItem* pMaxFps;
    MenuOptionItem* pFullScreen;
    MenuOptionItem* pLetterbox;
    MenuOptionItem* pVSync;
    MenuOptionItem* pBilinearFilter;
    MenuOptionItem* pShowFps;
    MenuItemClose* pBackButton;

private:
    void noteModeChange();
    int shownMode = 0;
};
