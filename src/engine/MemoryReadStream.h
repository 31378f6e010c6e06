#pragma once
// A read-only stream over a block of bytes that it owns.

#include <cstdint>
#include <vector>

#include "engine/Stream.h"

class MemoryReadStream : public Stream {
public:
    explicit MemoryReadStream(std::vector<uint8_t> bytes);
    ~MemoryReadStream() override = default;

    // Copies min(bytes, size - position) bytes and advances by that count.
    int read(void* destination, int bytes) override;
    // Positions beyond the end leave nothing to read; negative positions become 0.
    void seek(int position) override;

    std::vector<uint8_t> data;
    int position = 0;
};
