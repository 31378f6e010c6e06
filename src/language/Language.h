#pragma once
// Every user-visible text, compiled in for five languages, and the language in use. Code reads a
// text by its id: texts[currentLanguage][id], or getText(id). The tables are generated from
// texts.tsv (make_text_tables.py).

#include <cstdint>
#include <unordered_map>

#include "engine/Text.h"
#include "language/TextId.h"
#include "platform/InputCodes.h"

// Compiled-in languages: 0 English, 1 French, 2 German, 3 Italian, 4 Spanish.
constexpr int32_t LANGUAGE_COUNT = 5;

class Language {
public:
    Language();
    ~Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // True when the engine's language mask is empty or has "1" at the index.
    bool isLanguageAvailable(int32_t index) const;
    // Makes a language current: English for an index outside 0-4 or not available. Then sets
    // the reading order and renames the input key names.
    void setLanguage(int32_t index);
    // The current language's text of an id (English while no language is set yet).
    const char16_t* getText(TextId id) const;
    // The current language's text of a key; an unknown key is fatal when bReport is set, else
    // gives the empty text.
    const char16_t* getTextByString(const char16_t* key, bool bReport) const;
    // True when the key is registered, whatever its text.
    bool hasText(const char16_t* key) const;
    // Rebuilds the input system's key names in the current language.
    void applyKeyNames();
    // The input system's table of INPUT_KEY_COUNT key names, or null while there is none; the
    // engine's media services set it when they start.
    using KeyNameTable = WString[INPUT_KEY_COUNT];
    static inline KeyNameTable* (*inputKeyNames)() = nullptr;

    void registerTextKeys();
    void initEnglish();
    void initFrench();
    void initGerman();
    void initItalian();
    void initSpanish();
    // Ends the process with a report when a text of any language is missing.
    void checkCompleteness() const;

    // Language-major: texts[language][id]. Points at constant texts; never copied nor freed.
    const char16_t* texts[LANGUAGE_COUNT][TEXT_COUNT];
    std::unordered_map<WString, TextId> keyIndex;
    int32_t currentLanguage = -1;
    bool bRightToLeft = false;
    // Where the language mask is read: the engine's setting, unless pointed elsewhere (tests).
    const WString* pLanguageMask = nullptr;

private:
    void registerTextKey(const char16_t* key, TextId id);
};
