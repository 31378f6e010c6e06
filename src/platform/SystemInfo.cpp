#include "platform/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <sstream>

#include "platform/System.h"

namespace platform {

OsVersion getOsVersion() {
    OsVersion v;
    utsname u{};
    if (uname(&u) != 0) return v;
    v.sysname = u.sysname;
    v.release = u.release;
    v.version = u.version;
    v.machine = u.machine;
    return v;
}

MemoryInfo getMemoryInfo(const std::string& meminfoPath) {
    MemoryInfo m;
    std::string text;
    readWholeFile(meminfoPath, text, 1 << 20);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon);
        const uint64_t value = std::strtoull(line.c_str() + colon + 1, nullptr, 10);
        if (key == "MemTotal") m.totalKb = value;
        else if (key == "MemAvailable") m.availableKb = value;
        else if (key == "SwapTotal") m.swapTotalKb = value;
        else if (key == "SwapFree") m.swapFreeKb = value;
    }
    return m;
}

}  // namespace platform
