#pragma once
// The engine object: owns the engine's services and runs the frame loop. Reached through the
// global pointer 'qel'.

#include "engine/BasicLink.h"
#include "engine/ObjectListEntry.h"
#include "engine/ClassRecord.h"
#include "engine/Text.h"

class Logger;
class ErrorManager;
class Context;
class QelAudio;
class FileManager;
class ResourceManager;
class Language;

class Qel {
    QEL_DECLARE_ROOT_CLASS()
public:
    Qel();
    virtual ~Qel();

    // Every live QelBase, in construction order (by their list entries).
    static ObjectListHead objectList;

    Logger* pLogger = nullptr;
    ErrorManager* pErrorManager = nullptr;
    class QelNetwork* pQelNetwork = nullptr;
    FileManager* pFileManager = nullptr;
    ResourceManager* pResourceManager = nullptr;
    Context* pCurrentContext = nullptr;
    QelAudio* pQelAudio = nullptr;
    Language* pLanguage = nullptr;
    // One '0'/'1' per language; empty = every language available.
    WString languageMask;
    bool bShuttingDown = false;
    // Run by a fatal error before the message box: saves the crash screenshot and leaves full
    // screen, when the graphics exist.
    void (*crashGraphicsHook)() = nullptr;
};

extern Qel* qel;
