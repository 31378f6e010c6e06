#pragma once
// Ends the program on an unrecoverable fault: logs the report and writes it to standard error,
// saves a crash screenshot, shows the report in a message box (and logs why when the box cannot be
// shown), closes the log (copying it to the crash log) and exits with status 255. Works before the
// engine object exists and after it is gone; a fault inside it does not recurse.

#include <cstdint>

#include "engine/ClassRecord.h"
#include "engine/Text.h"

class ErrorManager {
    QEL_DECLARE_ROOT_CLASS()
public:
    ErrorManager();
    virtual ~ErrorManager() = default;

    template <class... Args>
    [[noreturn]] static void error(WStringView fmt, const Args&... args) {
        errorText(format(fmt, args...));
    }
    [[noreturn]] static void errorText(const WString& text);

    // "Error: %s\n Function: %s()\n File: %s\n Line: %d"
    [[noreturn]] static void fatal(const char16_t* function, const char* sourcePath, int line, const WString& message);
    // "Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d" with "Assertion failed."
    [[noreturn]] static void assertionFailed(const char16_t* function, const char* sourcePath, int line, const char16_t* statement);

    // "S_OK" for a success code, else the result's name and " (0x%08x)".
    static WString getDXErrorString(int32_t hr);
    // Names of result codes, filled by the graphics layer for getDXErrorString.
    static const char16_t* (*resultNameLookup)(int32_t hr);
};

// An unrecoverable error with a formatted message, reported with the caller's function name.
#define QEL_FATAL(function, ...) ::ErrorManager::fatal(function, __FILE__, __LINE__, ::format(__VA_ARGS__))
// A fatal assertion.
#define QEL_ASSERT(function, expression)                                                         \
    do {                                                                                         \
        if (!(expression)) ::ErrorManager::assertionFailed(function, __FILE__, __LINE__, u## #expression); \
    } while (0)
