// The INI parser and writer over arbitrary text bytes.
#include <cstddef>
#include <cstdint>

#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteBuffer bytes(data, static_cast<int>(size));
    MemoryIniFile ini(bytes);
    const std::string text = ini.toUtf8();
    ByteBuffer again(text.data(), static_cast<int>(text.size()));
    MemoryIniFile reread(again);
    for (const auto& [section, keys] : ini.sections)
        for (const auto& [key, value] : keys) {
            ini.getInt(section, key);
            ini.getDouble(section, key);
            ini.getBool(section, key);
        }
    return 0;
}
