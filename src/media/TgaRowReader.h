#pragma once
// Reads the picture of an uncompressed 32-bit TGA file (the kind MemoryImageFile reads) one row at
// a time through the engine's FileManager, holding neither the file nor the picture: for taking a
// few rectangles out of a large picture. The file stores its rows from the bottom up, so rows come
// from the last (height - 1) to the first (0). Every size is checked against the file's length.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Text.h"
#include "media/UColor.h"

class Stream;

class TgaRowReader {
public:
    // Opens the file (missing: fatal, as every FileManager read) and checks its header; on a file
    // it refuses, isOpen() is false and 'reason' says why.
    explicit TgaRowReader(WStringView fileName);
    ~TgaRowReader();
    TgaRowReader(const TgaRowReader&) = delete;
    TgaRowReader& operator=(const TgaRowReader&) = delete;

    bool isOpen() const { return stream != nullptr; }
    // The picture row the next call of readRow reads (height - 1 first); -1 after the first row.
    int32_t nextRow() const { return next; }
    // Reads the next row (width ARGB words) into 'out'; false at the end or when the file is cut
    // short (reason set).
    bool readRow(UColor* out);
    // Skips the next row; false as readRow.
    bool skipRow();

    int32_t width = 0;
    int32_t height = 0;
    WString reason;

private:
    bool readBytes();

    std::unique_ptr<Stream> stream;
    std::vector<uint8_t> row;
    int32_t next = -1;
};
