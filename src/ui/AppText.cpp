#include "ui/AppText.h"

#include "engine/Qel.h"
#include "language/Language.h"

WString AppText::text(const char16_t* key) {
    if (!qel || !qel->pLanguage) return WString();
    return qel->pLanguage->getTextByString(key, true);
}

WString AppText::textOfLanguage(int language, const char16_t* key) {
    if (!qel || !qel->pLanguage || language < 0 || language >= LANGUAGE_COUNT) return WString();
    auto it = qel->pLanguage->keyIndex.find(WString(key));
    if (it == qel->pLanguage->keyIndex.end()) return WString();
    const char16_t* t = qel->pLanguage->texts[language][it->second];
    return t ? WString(t) : WString();
}

bool AppText::rightToLeft() { return qel && qel->pLanguage && qel->pLanguage->bRightToLeft; }

bool AppText::isLanguageAvailable(int language) {
    return qel && qel->pLanguage && qel->pLanguage->isLanguageAvailable(language);
}
