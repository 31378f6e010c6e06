#include "engine/Qel.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "language/Language.h"

QEL_IMPLEMENT_CLASS(Qel, nullptr, nullptr)

Qel* qel = nullptr;
ObjectListHead Qel::objectList;

Qel::Qel() {
    qel = this;
    pLogger = new Logger();
    pErrorManager = new ErrorManager();
    pLanguage = new Language();
}

Qel::~Qel() {
    delete pLanguage;
    pLanguage = nullptr;
    delete pErrorManager;
    pErrorManager = nullptr;
    delete pLogger;
    pLogger = nullptr;
    if (qel == this) qel = nullptr;
}
