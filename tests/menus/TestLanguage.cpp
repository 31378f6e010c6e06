#include "TestLanguage.h"

#include "engine/Qel.h"
#include "language/Language.h"

void setTestLanguage(int language) { qel->pLanguage->setLanguage(language); }
void setTestRightToLeft(bool rightToLeft) { qel->pLanguage->bRightToLeft = rightToLeft; }
