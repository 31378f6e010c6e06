#pragma once
// The name entry of a new player, over the screen beneath it. Keys only type here (no keyboard
// navigation); in touch input an on-screen keyboard of ValueButtons types instead. OK or Enter
// with a name that is not blank adds the profile and ends the screen.

#include <cstdint>

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class MenuItemButton;
class NameSlot;
class TextLabel;

class ContextPlayerName : public ContextMenu {
public:
    static constexpr size_t MAX_NAME_LENGTH = 16;

    // With bEscapeCloses a fresh Escape press ends the screen without a profile; without it the
    // screen can be left only with a name.
    explicit ContextPlayerName(bool bEscapeCloses);

    // Touch input brings the on-screen keyboard, mouse input takes it away; the typed name stays.
    void onInputModeChange() override;
    void tickContents(double total, double dt) override;
    void renderContents() override;

    // Deletes every child and builds the panel, name label, OK and, in touch input, the keys.
    void buildLayout();
    // Applies one typed character (0 none, 8 backspace) to the name; returns whether it changed.
    bool type(char16_t c);
    // Whether a character may stand in a name: no control character, no DEL and no half of a
    // surrogate pair (the input delivers one UTF-16 unit a frame, so a pair could be cut).
    static bool isNameCharacter(char16_t c);
    // The name without leading and trailing blanks, tabs and line breaks.
    static WString trimmed(WStringView name);

    WString name;
    // The character a key of the on-screen keyboard delivered in this tick, 0 when none.
    uint16_t typedKey = 0;
    NameSlot* pSlot = nullptr;
    TextLabel* pNameLabel = nullptr;
    MenuItemButton* pOkButton = nullptr;
};
