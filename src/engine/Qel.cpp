#include "engine/Qel.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"

QEL_IMPLEMENT_CLASS(Qel, nullptr, nullptr)

Qel* qel = nullptr;
BasicLink Qel::objectList;

namespace {
// At process exit (also a fatal error's exit) the list only lets go of the entries: they are
// members of objects that may still be alive, never separate allocations.
struct ObjectListRelease {
    ~ObjectListRelease() {
        while (Qel::objectList.lastChild) Qel::objectList.BasicLink::removeChild(Qel::objectList.lastChild);
    }
} objectListRelease;
}  // namespace

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
