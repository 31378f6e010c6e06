// libFuzzer target: the ".codepointLUT" reader.

#include <cstddef>
#include <cstdint>

#include "media/CodePageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CodePageTable table;
    WString reason;
    if (table.readCodepointLUT(data, size, reason)) {
        uint32_t sum = 0;
        for (int i = 0; i < table.count(); ++i) sum += table.codeUnit(i);
        (void)sum;
    }
    return 0;
}
