#pragma once
// A single-line text entry: while hovered, a typed character from its character set is appended
// up to the length limit and backspace removes the last one; the text is copied into the
// caller's string as it changes, and a caret blinks at 4 Hz.

#include "ui/MenuItem.h"

class MenuTextBox : public MenuItem {
public:
    static constexpr char16_t BACKSPACE = 8;

    // target may be null; the text starts as a copy of it.
    MenuTextBox(float x, float y, float z, WStringView caption, WStringView hint, WString* target, int maxLength);

    void update(double time, double dt) override;
    // The text, with "_" appended while the caret is visible.
    void drawContents(float x, float y, float z) override;
    // Runs after each typed character other than backspace, whether it was taken or not.
    virtual void onCharTyped() {}
    // Copies the text into the target, when there is one.
    virtual void commit();

    // Applies one typed character to the text: backspace removes the last character; any other
    // is appended when the text is shorter than maxLength and the character is allowed.
    static void applyChar(WString& text, char16_t c, WStringView allowedChars, int maxLength);
    // The blank and every character from 0x21 to 0x7D except the grave accent.
    static WString defaultAllowedChars();
    // Whether the caret shows at a time: in the even eighths of a second.
    static bool caretVisibleAt(double time);

    WString allowedChars;
    WString text;
    int maxLength;
    WString* target;
    bool bCaretVisible = false;
};
