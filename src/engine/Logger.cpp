#include "engine/Logger.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "engine/FileStream.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "platform/System.h"

QEL_IMPLEMENT_CLASS(Logger, nullptr, nullptr)

Logger::Logger() : filePath(getLogFilePath()) {
    const WString computer = utf8ToWide(platform::computerName()).substr(0, 256);
    const WString user = utf8ToWide(platform::userName()).substr(0, 256);
    stream = new FileStream(filePath, FileStream::MODE_WRITE);
    if (stream->bOpen) {
        static const uint8_t bom[3] = {0xEF, 0xBB, 0xBF};
        stream->write(bom, sizeof(bom));
    } else {
        // A read-only or full user folder: the program runs on, and says so where it still can.
        writeStandardErrorOnce(filePath, format(u"Could not create the log file '%s' (%s).", filePath, stream->errorText()));
        delete stream;
        stream = nullptr;
    }
    log(u"Application: %s", getVersionLine());
    log(u"Executing %s->%s->%s", computer, user, utf8ToWide(platform::executablePath()));
    log(u"Current directory: %s", getCurrentFolder());
    for (const WString& arg : commandLineArgs) log(u"Command-line parameter: [%s]", arg);
    log(u"Log file: %s", filePath);
    log(u"Log date: %s UTC", formatTimeStamp(static_cast<int64_t>(std::time(nullptr))));
}

Logger::~Logger() {
    delete stream;
    stream = nullptr;
}

void Logger::writeLine(WStringView text) {
    if (!stream) return;
    const double now = platform::millisecondClock() / 1000.0;
    const uint32_t ms = static_cast<uint32_t>((now - lastLineTime) * 1000.0);
    bool ok = lastLineTime > 0 && ms != 0 ? stream->writeLine(format(u"+%lu\t%s", ms, text)) : stream->writeLine(format(u"\t%s", text));
    ok = stream->flush() && ok;
    if (!ok)
        writeStandardErrorOnce(filePath, format(u"Could not write the log file '%s' (%hs).", filePath, std::strerror(errno)));
    lastLineTime = now;
}

void Logger::close() {
    if (!stream) return;
    stream->flush();
    delete stream;
    stream = nullptr;
    WString reason;
    if (!copyFile(filePath, getCrashLogPath(), &reason))
        writeStandardErrorOnce(getCrashLogPath(), format(u"Could not write the crash log '%s' (%s).", getCrashLogPath(), reason));
}

WString Logger::getLogFileName() { return getProductName() + u".log"; }
WString Logger::getLogFilePath() { return getUserDataFolder() + getLogFileName(); }

void qelLogText(const char16_t* function, WStringView message) {
    if (qel && qel->pLogger) qel->pLogger->writeLine(format(u"%s(): %s", function, message));
}
