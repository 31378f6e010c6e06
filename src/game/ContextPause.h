#pragma once
// The pause menu of a level: resume, return to the map (the level waits there and the map's play
// button continues it) and mute, in a speech bubble over the paused game.

#include "ui/ContextMenu.h"

class MenuItemButton;
class MenuItemClose;
class MenuOptionAudio;
class SpeechBubble;

class ContextPause : public ContextMenu {
public:
    ContextPause();

    // The return button's click closes the pause and finishes the game controller, which the
    // screen stack then takes off without deleting it.
    void tickContents(double total, double dt) override;
    // The paused game, then the menu.
    void renderContents() override;

    MenuItemButton* pReturnButton = nullptr;
    MenuItemClose* pResumeButton = nullptr;
    MenuOptionAudio* pMuteItem = nullptr;
    SpeechBubble* pBubble = nullptr;
};
