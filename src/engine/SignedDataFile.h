#pragma once
// A file image sealed with a keyed MD5 digest and holding a zlib-compressed payload.
//
// Layout: product name (32 bytes, UTF-8, NUL-terminated), version (16 bytes), seal (16 bytes:
// MD5 of the 4 key bytes little-endian followed by the body), then the body: the payload size
// (unsigned 32-bit little-endian) and the payload as one zlib stream.

#include <cstdint>
#include <vector>

#include "engine/Text.h"

class SignedDataFile {
public:
    enum : int { HEADER_BYTES = 64, NAME_BYTES = 32, VERSION_BYTES = 16, SEAL_OFFSET = 48 };

    SignedDataFile() = default;
    virtual ~SignedDataFile() = default;

    // Makes the file image of a payload; false for an empty payload or a zlib error.
    bool build(const void* payload, int payloadSize, uint32_t key);
    // Writes the image through a temporary file renamed into place; false when there is no image
    // or it cannot be written (any old file is then left as it was).
    bool writeFile(WStringView path);
    // Reads and unpacks a file; see unpack.
    bool readFile(WStringView path, uint32_t key, int maxPayloadSize);
    // Checks the seal and inflates the payload. Refuses, before allocating, a payload larger than
    // maxPayloadSize; true only when the payload inflates to exactly its recorded size.
    bool unpack(const uint8_t* image, int imageSize, uint32_t key, int maxPayloadSize);

    // The file image after build, the payload after unpack or readFile.
    std::vector<uint8_t> data;
    int size = 0;
};
