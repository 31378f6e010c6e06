#include "language/Language.h"

#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "language/KeyNames.h"

namespace {
const char16_t emptyText[] = u"";
}  // namespace

Language::Language() {
    currentLanguage = -1;
    bRightToLeft = false;
    for (auto& row : texts)
        for (auto& text : row) text = nullptr;
    registerTextKeys();
    initEnglish();
    initFrench();
    initGerman();
    initItalian();
    initSpanish();
    checkCompleteness();
}

Language::~Language() = default;

void Language::checkCompleteness() const {
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        for (int32_t id = 0; id < TEXT_COUNT; ++id) {
            if (texts[language][id]) continue;
            const char16_t* english = texts[0][id] ? texts[0][id] : u"(null)";
            QEL_FATAL(u"Language::Language", u"String %d ('%s') is missing from language %d.", id, english, language);
        }
    }
}

void Language::registerTextKey(const char16_t* key, TextId id) { keyIndex.emplace(WString(key), id); }

bool Language::isLanguageAvailable(int32_t index) const {
    WStringView mask;
    if (pLanguageMask)
        mask = *pLanguageMask;
    else if (qel)
        mask = qel->languageMask;
    if (mask.empty()) return true;
    if (static_cast<uint32_t>(index) >= mask.size()) return false;
    return mask[static_cast<size_t>(index)] == u'1';
}

void Language::setLanguage(int32_t index) {
    currentLanguage = index;
    if (index < 0 || index >= LANGUAGE_COUNT || !isLanguageAvailable(index)) currentLanguage = 0;
    bRightToLeft = false;
    if (WStringView(texts[currentLanguage][LANGUAGEREADINGORDER]) == u"RTL") bRightToLeft = true;
    applyKeyNames();
}

const char16_t* Language::getText(TextId id) const {
    // Before the first setLanguage there is no current row: read English rather than index
    // outside the table.
    return texts[currentLanguage < 0 ? 0 : currentLanguage][id];
}

const char16_t* Language::getTextByString(const char16_t* key, bool bReport) const {
    auto found = keyIndex.find(WString(key ? key : u""));
    if (found != keyIndex.end()) return getText(found->second);
    if (bReport) QEL_FATAL(u"Language::getTextByString", u"Unknown string identifier '%s'", key ? key : u"(null)");
    return emptyText;
}

bool Language::hasText(const char16_t* key) const { return key && keyIndex.count(WString(key)) != 0; }

void Language::applyKeyNames() {
    KeyNameTable* names = inputKeyNames ? inputKeyNames() : nullptr;
    if (!names) return;
    KeyNames::apply(*names, [this](int id) { return getText(static_cast<TextId>(id)); });
}
