#pragma once
// The menu framework's texts by key and the reading order. Kept apart from the graphics code:
// the text-id names and the graphics headers cannot share a source file.

#include "engine/Text.h"

class AppText {
public:
    // The current language's text of a key (fatal for an unknown key).
    static WString text(const char16_t* key);
    // A key's text in a given language; empty when there is none.
    static WString textOfLanguage(int language, const char16_t* key);
    static bool rightToLeft();
    static bool isLanguageAvailable(int language);
};
