#pragma once
// A readable source of bytes.

#include <cstdint>

class Stream {
public:
    virtual ~Stream() = default;
    // Reads up to 'bytes' bytes; returns the count read, or -1 when the stream cannot be read.
    virtual int read(void* destination, int bytes) = 0;
    virtual void seek(int position) = 0;
    // The whole content when it already lies in memory, else null.
    virtual const uint8_t* getMemory() { return nullptr; }

    int size = 0;
};
