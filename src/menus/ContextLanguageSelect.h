#pragma once
// The first start's language choice: one flag per available language on a grid; a press on a
// flag stores the language in the engine's defaultLanguage setting and ends the screen.

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class ContextLanguageSelect : public ContextMenu {
public:
    static constexpr int FLAG_COUNT = 15;

    ContextLanguageSelect();

    // The first available language whose code is the system's; English (0) when none is.
    static int autodetectLanguage();
    // The skin of the flag texture that shows the language of an ISO 639-1 code.
    static int isoCode2skinIndex(WString isoCode);
    // Grid position of flag i of n (cells 100 units, centred on the origin).
    static Vector3 flagPosition(int i, int n);
};
