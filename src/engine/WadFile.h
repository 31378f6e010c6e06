#pragma once
// One mounted WAD archive: keeps a read stream on the archive open while it is mounted. Also the
// archive format's reader helpers, which check every count, offset and size against the file.
//
// Layout (32-bit little-endian): version 2, entry count n, n directory entries of 92 bytes (an
// 80-byte scrambled name field, offset, unpacked size, stored size), then the data, each entry at
// a multiple of 8. A stored size equal to the unpacked size means raw bytes; otherwise the data is
// a zlib stream inflating to exactly the unpacked size.

#include <cstdint>
#include <vector>

#include "engine/QelBase.h"
#include "engine/Text.h"

class Stream;
class FileStream;

constexpr int32_t WAD_VERSION = 2;
constexpr int WADDISKENTRY_FILENAME_BYTESIZE = 80;
constexpr int WADDISKENTRY_BYTESIZE = 92;
constexpr uint8_t WAD_NAME_SCRAMBLE = 0xB7;

class WadFile : public QelBase {
public:
    // One directory entry as the FileManager keeps it.
    struct Entry {
        WString name;
        WString archive;
        int32_t offset = 0;
        int32_t unpackedSize = 0;
        int32_t storedSize = 0;
        int32_t padding = 0;  // zero bytes in front of the data (archive creation)
        bool isCompressed() const { return storedSize != unpackedSize; }
    };

    explicit WadFile(FileStream* stream);
    ~WadFile() override;

    // Reads the version and the directory. Fails with a reason on a short read, a count or entry
    // that does not fit the file, or a name field without a NUL. 'version' receives the version
    // read (0 when not even that could be read); a version other than 2 also fails.
    static bool readDirectory(Stream& stream, WStringView archiveName, int32_t& version, std::vector<Entry>& entries, WString& reason);
    // Decodes an 80-byte name field: unscrambled when bit 7 of its first byte is set, then taken
    // up to its NUL. False when the field holds no NUL.
    static bool decodeName(const uint8_t* field, WString& name);
    // Builds a scrambled name field (random filler from the engine's generator). The name's UTF-8
    // form must be shorter than 80 bytes.
    static void encodeName(WStringView name, uint8_t* field);
    // Inflates a compressed entry; true only when zlib succeeds with exactly the unpacked size.
    static bool inflate(const uint8_t* stored, int storedSize, int unpackedSize, std::vector<uint8_t>& out);
    // Reads an entry's bytes (inflated when compressed) from an archive stream.
    static bool readEntry(Stream& stream, const Entry& entry, std::vector<uint8_t>& out, WString& reason);

    FileStream* stream;
};
