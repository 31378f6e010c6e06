#pragma once
// Small stand-ins for system information, the millisecond clock and the error message box.

#include <cstdint>
#include <string>

namespace platform {

// The machine's host name and the user's login name (empty when unknown).
std::string computerName();
std::string userName();
// Full path of the running executable, from /proc/self/exe.
std::string executablePath();
// Reads a whole file with plain system calls (never throws; /proc files of a process that has just
// ended fail cleanly). At most 'limit' bytes are read. Returns false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, size_t limit = size_t(1) << 30);
// A monotonic millisecond clock as an unsigned 32-bit count, like the system's multimedia timer.
uint32_t millisecondClock();
// True when a display can show windows (an X or Wayland display is set).
bool hasDisplay();
// Shows a modal error box and waits until the user dismisses it. Does nothing when there is no
// display or when VESK_SILENT_ERRORS is set (tests).
void showErrorBox(const std::string& title, const std::string& textUtf8);

}  // namespace platform
