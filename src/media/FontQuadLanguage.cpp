// The language texts a bitmap font reads: its code page and whether it composes accents.

#include "engine/Qel.h"
#include "language/Language.h"
#include "media/FontQuad.h"

namespace {

WString languageText(TextId id) {
    if (!qel || !qel->pLanguage) return WString();
    const char16_t* text = qel->pLanguage->getText(id);
    return text ? WString(text) : WString();
}

}  // namespace

WString FontQuad::languageCodePage() { return languageText(LANGUAGECODEPAGE); }
WString FontQuad::languageCompositeChars() { return languageText(LANGUAGECOMPOSITECHARS); }
