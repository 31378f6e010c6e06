#pragma once
// A file on disk, opened for reading (mode 1) or writing from scratch (mode 2).

#include <cstdio>

#include "engine/Stream.h"
#include "engine/Text.h"

class FileStream : public Stream {
public:
    enum : int { MODE_READ = 1, MODE_WRITE = 2 };

    FileStream(WStringView path, int mode);
    ~FileStream() override;

    int read(void* destination, int bytes) override;
    void seek(int position) override;
    // Writes the line as UTF-8 followed by "\r\n"; nothing when not open.
    void writeLine(WStringView line);
    // Writes raw bytes; returns false when not open or the write failed.
    bool write(const void* data, size_t bytes);
    void flush();
    void close();

    bool bOpen = false;
    FILE* file = nullptr;
};
