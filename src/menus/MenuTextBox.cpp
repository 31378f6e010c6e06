#include "menus/MenuTextBox.h"

#include <cmath>

#include "ui/ContextMenu.h"
#include "ui/FontAccess.h"
#include "engine/Qel.h"
#include "media/QelInput.h"

MenuTextBox::MenuTextBox(float x, float y, float z, WStringView caption, WStringView hint, WString* target,
                         int maxLength)
    : MenuItem(x, y, z, caption, hint),
      allowedChars(defaultAllowedChars()),
      text(target ? *target : WString()),
      maxLength(maxLength),
      target(target) {}

WString MenuTextBox::defaultAllowedChars() {
    WString chars = u" ";
    for (char16_t c = 0x21; c <= 0x7D; ++c)
        if (c != u'`') chars += c;
    return chars;
}

void MenuTextBox::applyChar(WString& text, char16_t c, WStringView allowedChars, int maxLength) {
    if (c == BACKSPACE) {
        if (!text.empty()) text.pop_back();
        return;
    }
    if (maxLength > 0 && text.size() < size_t(maxLength) && allowedChars.find(c) != WStringView::npos) text += c;
}

bool MenuTextBox::caretVisibleAt(double time) { return int64_t(std::floor(time * 8.0)) % 2 == 0; }

void MenuTextBox::update(double time, double dt) {
    MenuItem::update(time, dt);
    if (bDisabled || !bHovered) {
        bCaretVisible = false;
        return;
    }
    const char16_t typed = qel && qel->pQelInput ? qel->pQelInput->typedChar : 0;
    if (typed != 0) {
        applyChar(text, typed, allowedChars, maxLength);
        if (typed != BACKSPACE) onCharTyped();
    }
    commit();
    bCaretVisible = caretVisibleAt(time);
}

void MenuTextBox::commit() {
    if (target) *target = text;
}

void MenuTextBox::drawContents(float x, float y, float z) {
    const WString shown = bCaretVisible ? text + u"_" : text;
    // From the frame's leading inner edge, so that the caret does not move the text.
    const float inset = (frameWidth / 2.0f - float(frameBorders[0])) * scale.x;
    Renderable at;
    at.position = Vector3(x - inset * ContextMenu::layoutSign(), y, z);
    at.scale = scale;
    at.color = captionColour;
    at.updateXform();
    const int flags = ContextMenu::layoutInt(5);
    if (bShadow && !bDisabled) {
        FontAccess::drawShadowed(pFont, &at, flags, Vector3(0.0f, -4.0f, 0.0f), 0x40000000, shown);
    } else {
        FontAccess::drawAligned(pFont, &at, flags, shown);
    }
}
