#pragma once
// The operating system's name and version and the machine's memory, for the start-up log.

#include <cstdint>
#include <string>

namespace platform {

struct OsVersion {
    std::string sysname, release, version, machine;
};
// From uname; empty fields when it fails.
OsVersion getOsVersion();

// From /proc/meminfo, in KiB (0 when unknown).
struct MemoryInfo {
    uint64_t totalKb = 0, availableKb = 0, swapTotalKb = 0, swapFreeKb = 0;
};
MemoryInfo getMemoryInfo(const std::string& meminfoPath = "/proc/meminfo");

}  // namespace platform
