#pragma once
// Asks before a new game at a town already reached: YES restarts there and closes the question,
// NO just closes it.

#include <cstdint>

#include "ui/ContextMenu.h"

class MenuItemButton;
class MenuItemClose;
class SpeechBubble;

class ContextRestartConfirm : public ContextMenu {
public:
    static constexpr uint32_t SPEECH_CAPTION_COLOUR = 0xFFEAF2FB;

    // level: the town's first level.
    explicit ContextRestartConfirm(int level);

    void tickContents(double total, double dt) override;
    // The screen behind, then the question.
    void renderContents() override;

    int restartLevel;
    MenuItemButton* pYesButton = nullptr;
    MenuItemClose* pNoButton = nullptr;
    SpeechBubble* pBubble = nullptr;
};
