#pragma once
// A file on disk, opened for reading (mode 1) or writing from scratch (mode 2). Only regular files
// are opened: a named pipe, a device or a folder under the name fails the open at once.

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
    // Writes the line as UTF-8 followed by "\r\n"; false when not open or the write failed.
    bool writeLine(WStringView line);
    // Writes raw bytes; returns false when not open or the write failed.
    bool write(const void* data, size_t bytes);
    // False when not open or the buffered bytes could not be written.
    bool flush();
    void close();
    // Why the open failed: the system's text, or that the name is not a regular file.
    WString errorText() const;

    bool bOpen = false;
    FILE* file = nullptr;
    // errno of a failed open, or platform::NOT_A_REGULAR_FILE; 0 when open.
    int error = 0;
};
