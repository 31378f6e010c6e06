#include "support/LanguageSwitch.h"

#include "engine/Qel.h"
#include "language/Language.h"

void setRightToLeftForTest(bool rightToLeft) { qel->pLanguage->bRightToLeft = rightToLeft; }
