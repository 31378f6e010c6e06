#include "engine/Qel.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"

QEL_IMPLEMENT_CLASS(Qel, nullptr, nullptr)

Qel* qel = nullptr;
ObjectListHead Qel::objectList;

Qel::Qel() {
    qel = this;
    pLogger = new Logger();
    pErrorManager = new ErrorManager();
}

Qel::~Qel() {
    delete pErrorManager;
    pErrorManager = nullptr;
    delete pLogger;
    pLogger = nullptr;
    if (qel == this) qel = nullptr;
}
