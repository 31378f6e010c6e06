#pragma once
// The table that says which UTF-16 code unit each code-page position of a bitmap font stands for:
// one 32-bit entry per position, the code unit in its low 16 bits. The language code pages
// "1250", "1251", "1252", "1253" and "1255" are built in (256 entries, as the system's
// multi-byte conversion gives them); "Korean" and "Japanese" come from ".codepointLUT" records.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Text.h"

class CodePageTable {
public:
    static constexpr int BUILT_IN_ENTRIES = 256;
    // A ".codepointLUT" record never holds more positions than a 16-bit position can address.
    static constexpr uint32_t MAX_LUT_ENTRIES = 65536;

    // The 256 entries of a built-in code page, or null when there is none of that name.
    static const uint32_t* builtIn(WStringView codePage);

    // Takes the entries of a built-in code page; false when there is none of that name.
    bool selectBuiltIn(WStringView codePage);
    // Reads a ".codepointLUT" record: 4 bytes not read, a little-endian 32-bit entry count, then
    // that many 4-byte entries whose first two bytes are the code unit. A count that is zero,
    // too large or longer than the data is refused with a reason; the table is then empty.
    bool readCodepointLUT(const uint8_t* bytes, size_t size, WString& reason);

    // The table a bitmap font's glyph textures are read through, by the language's code page: a
    // built-in one, or for "Korean" and "Japanese" the DataBlock registered as the code page's
    // name followed by ".codepointLUT" (missing: the ResourceManager's fatal report; damaged:
    // fatal with the reason). Any other code page is fatal ("No LUT for codepage '%s'.").
    void selectForCodePage(WStringView codePage);

    int count() const { return static_cast<int>(entries.size()); }
    // The code unit of a position below count().
    char16_t codeUnit(int position) const { return static_cast<char16_t>(entries[static_cast<size_t>(position)] & 0xFFFF); }

    std::vector<uint32_t> entries;
};
