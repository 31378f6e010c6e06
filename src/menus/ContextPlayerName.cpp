#include "menus/ContextPlayerName.h"

#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/NameSlot.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/QelInput.h"
#include "menus/ValueButton.h"

namespace {
QelInput* input() { return qel ? qel->pQelInput : nullptr; }
bool touchInput() { return input() && input()->inputMode == INPUTMODE_TOUCH; }
constexpr char16_t BACKSPACE = 8;
constexpr char16_t ENTER = 13;
}  // namespace

ContextPlayerName::ContextPlayerName(bool escapeCloses) {
    bDeleteWhenDone = true;
    bEscapeCloses = escapeCloses;
    bKeyboardNavigation = false;
    MenuItem::playSound(u"pop", true);
    buildLayout();
}

void ContextPlayerName::buildLayout() {
    navigation.deleteChildren();
    deleteChildren();
    pSlot = nullptr;
    pNameLabel = nullptr;
    pOkButton = nullptr;
    const bool keyboard = touchInput();
    pSlot = new NameSlot(0.0f, 0.0f, 0.0f, 640.0f, keyboard ? 400.0f : 256.0f, AppText::text(u"ENTERYOURNAME"));
    addChild(pSlot);
    pNameLabel = new TextLabel(0.0f, keyboard ? 150.0f : 50.0f, 0.0f, name, AppLink::fontLarge(), 0xFFFFFFFF);
    pNameLabel->alignment = 0x202;
    addChild(pNameLabel);
    pOkButton = new MenuItemButton(0.0f, keyboard ? -150.0f : -80.0f, 0.0f, AppText::text(u"OK"), u"");
    pOkButton->setWidth(160);
    appendItem(pOkButton);
    if (!keyboard) return;
    for (int i = 0; i < 26; ++i) {
        const char16_t letter = char16_t(u'a' + i);
        auto* key = new ValueButton(float((i % 7 - 3) * 74), float(50 - 50 * (i / 7)), 0.0f, &typedKey, letter,
                                    format(u"%c", letter), u"");
        key->setWidth(72);
        appendItem(key);
    }
    auto* space = new ValueButton(148.0f, -100.0f, 0.0f, &typedKey, u' ', u" ", u"");
    space->setWidth(72);
    appendItem(space);
    // The font's backspace pictogram.
    auto* backspace = new ValueButton(222.0f, -100.0f, 0.0f, &typedKey, BACKSPACE, u"\u0003", u"");
    backspace->setWidth(72);
    appendItem(backspace);
}

void ContextPlayerName::onInputModeChange() {
    ContextMenu::onInputModeChange();
    buildLayout();
}

bool ContextPlayerName::isNameCharacter(char16_t c) {
    return c >= 32 && c != 0x7F && !(c >= 0xD800 && c <= 0xDFFF);
}

WString ContextPlayerName::trimmed(WStringView text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return WString(text.substr(begin, end - begin));
}

bool ContextPlayerName::type(char16_t c) {
    if (c == BACKSPACE) {
        if (name.empty()) return false;
        MenuItem::playSound(u"typewriter", false, 0.5f);
        name.pop_back();
        return true;
    }
    if (c == 0 || name.size() >= MAX_NAME_LENGTH || !isNameCharacter(c)) return false;
    MenuItem::playSound(u"typewriter", true);
    name.push_back(c);
    return true;
}

void ContextPlayerName::tickContents(double total, double dt) {
    typedKey = 0;
    ContextMenu::tickContents(total, dt);
    QelInput* in = input();
    const char16_t c = typedKey != 0 ? char16_t(typedKey) : (in ? in->typedChar : char16_t(0));
    type(c);

    // The name with a blinking cursor, the two centred together.
    pNameLabel->text = name;
    pNameLabel->scale = Vector3(1.0f, 1.0f, 1.0f);
    pNameLabel->fitToWidth(600);
    pNameLabel->position.x =
        -0.5f * FontAccess::textWidth(pNameLabel->pFont, name + u"_", pNameLabel->alignment) * pNameLabel->scale.x;
    pNameLabel->updateXform();
    if (int64_t(std::floor(total * 8.0)) % 2 == 0) pNameLabel->text += u"_";

    const WString entered = trimmed(name);
    pOkButton->bDisabled = entered.empty();
    const bool okClicked = pOkButton->bClicked;
    pOkButton->bClicked = false;
    if (!pOkButton->bDisabled && (okClicked || c == ENTER)) {
        if (game) {
            game->profileManager.addProfile(entered);
            game->gameConfiguration.bTutorial = 1;
        }
        bDone = true;
    }
}

void ContextPlayerName::renderContents() {
    if (prev) static_cast<Context*>(prev)->draw();
    ContextMenu::renderContents();
}
