#pragma once
// The crash handler: fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) are caught on an
// alternate stack; the handler writes the crash dump (signal, faulting address, registers,
// backtrace, memory map), copies the log to the crash log, and ends the process by the signal.
// Everything it does at crash time is async-signal-safe: paths are fixed beforehand and files
// are written with raw descriptors.

#include <string>

namespace platform {

void installCrashHandler(const std::string& dumpPath);
// The log file and its crash copy, from when the log exists; empty paths copy nothing.
void setCrashLogPaths(const std::string& logPath, const std::string& crashLogPath);

}  // namespace platform
