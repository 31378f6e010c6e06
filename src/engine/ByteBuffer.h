#pragma once
// Owned heap bytes, with the text decoding used for settings and descriptions.

#include <cstdint>
#include <vector>

#include "engine/Text.h"

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const void* bytes, int n) { append(bytes, n); }
    virtual ~ByteBuffer() = default;

    void append(const void* bytes, int n);
    // UTF-8 after an EF BB BF mark, UTF-16 LE after FF FE (up to its first NUL), else UTF-8.
    WString toText() const;

    const uint8_t* data() const { return bytes.empty() ? nullptr : bytes.data(); }
    int length() const { return static_cast<int>(bytes.size()); }

    std::vector<uint8_t> bytes;
};
