#pragma once
// Small stand-ins for system information, the millisecond clock and the error message box.

#include <cstdint>
#include <string>

namespace platform {

// The machine's host name and the user's login name (empty when unknown).
std::string computerName();
std::string userName();
// The home folder of the account the process runs as, from the password database; empty when the
// account has none or it is no folder. Tests may answer in its place (setAccountHomeHook).
std::string accountHomeFolder();
void setAccountHomeHook(std::string (*hook)());
// Full path of the running executable, from /proc/self/exe.
std::string executablePath();
// Reads a whole file with plain system calls (never throws; /proc files of a process that has just
// ended fail cleanly). At most 'limit' bytes are read. Returns false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, size_t limit = size_t(1) << 30);
// A monotonic millisecond clock as an unsigned 32-bit count, like the system's multimedia timer.
uint32_t millisecondClock();
// Gives the heap's free memory back to the system (after loading, when the buffers a load used
// have gone and little is allocated again soon).
void returnFreeMemory();
// True when a display can show windows (an X or Wayland display is set).
bool hasDisplay();
// Writes a report to standard error: "<title>:" on a line of its own, then the text, in one
// write. Message boxes may not show (no desktop, a broken display), and the report must be
// readable somewhere all the same.
void writeErrorReport(const std::string& title, const std::string& textUtf8);

// Whether an error box was shown, and why not.
struct ErrorBoxResult {
    bool shown = false;
    // Why it was not shown: "silenced" (VESK_SILENT_ERRORS), "no display", or the system's reason.
    std::string reason;
    // The signal (SIGTERM, SIGHUP or SIGINT) that closed the box instead of the user; 0 for none.
    int closedBySignal = 0;
};
// Shows a modal error box and waits until the user dismisses it. The report is always written to
// standard error first (unless the caller has done so), as the box may not show: it is not shown
// when there is no display or when VESK_SILENT_ERRORS is set (tests), and it can fail. The box
// lives in a child process: SIGTERM, SIGHUP or SIGINT while it waits (a logout, a kill) close it
// and return as its OK button does, so that the caller can finish its report.
ErrorBoxResult showErrorBox(const std::string& title, const std::string& textUtf8, bool alreadyOnStandardError = false);

}  // namespace platform
