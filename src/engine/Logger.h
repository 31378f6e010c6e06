#pragma once
// The engine's log file: UTF-8 with a byte-order mark, one "+ms<TAB>text" line per entry, flushed
// at once so that it survives a crash.

#include "engine/ClassRecord.h"
#include "engine/Text.h"

class FileStream;

class Logger {
    QEL_DECLARE_ROOT_CLASS()
public:
    Logger();
    virtual ~Logger();

    template <class... Args>
    void log(WStringView fmt, const Args&... args) {
        writeLine(format(fmt, args...));
    }
    void writeLine(WStringView text);
    // Closes the log and copies it to the crash log; later lines are dropped.
    void close();

    static WString getLogFileName();
    static WString getLogFilePath();

    WString filePath;
    FileStream* stream = nullptr;
    double lastLineTime = 0.0;
};

// Logs "function(): message" through the engine's logger, when there is one.
void qelLogText(const char16_t* function, WStringView message);

template <class... Args>
void qelLog(const char16_t* function, WStringView fmt, const Args&... args) {
    qelLogText(function, format(fmt, args...));
}
