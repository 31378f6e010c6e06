#pragma once
// The engine object: owns the engine's services and runs the frame loop. Reached through the
// global pointer 'qel'.

#include "engine/BasicLink.h"
#include "engine/ClassRecord.h"

class Logger;
class ErrorManager;
class Context;
class QelGraphics;

class Qel {
    QEL_DECLARE_ROOT_CLASS()
public:
    Qel();
    virtual ~Qel();

    // Every live QelBase, in construction order (by their list entries).
    static BasicLink objectList;

    Logger* pLogger = nullptr;
    ErrorManager* pErrorManager = nullptr;
    QelGraphics* pQelGraphics = nullptr;
    Context* pCurrentContext = nullptr;
    bool bShuttingDown = false;
    // Run by a fatal error before the message box: saves the crash screenshot and leaves full
    // screen, when the graphics exist.
    void (*crashGraphicsHook)() = nullptr;
};

extern Qel* qel;
