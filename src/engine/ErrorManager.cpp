#include "engine/ErrorManager.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "platform/System.h"

QEL_IMPLEMENT_CLASS(ErrorManager, nullptr, nullptr)

const char16_t* (*ErrorManager::resultNameLookup)(int32_t hr) = nullptr;

namespace {
std::atomic<bool> reportingError{false};
}

ErrorManager::ErrorManager() { qelLog(u"ErrorManager::ErrorManager", u"Starting..."); }

void ErrorManager::errorText(const WString& text) {
    // A fault while reporting a fault ends the process at once.
    if (reportingError.exchange(true)) _exit(255);

    qelLogText(u"ErrorManager::error", text);
    // Standard error first: whatever follows (the screenshot, the box) may fail or never show.
    const std::string report = wideToUtf8(text);
    platform::writeErrorReport("Error", report);
    if (qel) {
        qel->bShuttingDown = true;
        if (qel->crashGraphicsHook) qel->crashGraphicsHook();
    }
    const platform::ErrorBoxResult box = platform::showErrorBox("Error", report, true);
    if (!box.shown)
        qelLog(u"ErrorManager::error", u"The message box could not be shown (%hs); the report went to standard error.", box.reason);
    // A logout or a kill while the box waited ends the program as its OK button does.
    if (box.closedBySignal != 0) qelLog(u"ErrorManager::error", u"The message box was closed by signal %d.", box.closedBySignal);
    qelLogText(u"ErrorManager::error", u"Forced exit.");
    if (qel && qel->pLogger) qel->pLogger->close();
    // No static destructors: live objects would still be linked into the static object list.
    std::fflush(nullptr);
    std::_Exit(255);
}

void ErrorManager::fatal(const char16_t* function, const char* sourcePath, int line, const WString& message) {
    error(u"Error: %s\n Function: %s()\n File: %s\n Line: %d", message, function, getFileName(utf8ToWide(sourcePath)), line);
}

void ErrorManager::assertionFailed(const char16_t* function, const char* sourcePath, int line, const char16_t* statement) {
    error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", u"Assertion failed.", statement, function,
          getFileName(utf8ToWide(sourcePath)), line);
}

WString ErrorManager::getDXErrorString(int32_t hr) {
    if (hr >= 0) return u"S_OK";
    const char16_t* name = resultNameLookup ? resultNameLookup(hr) : nullptr;
    return format(u"%s (0x%08x)", name ? name : u"Unknown", static_cast<uint32_t>(hr));
}
