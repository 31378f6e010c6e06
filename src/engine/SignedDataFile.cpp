#include "engine/SignedDataFile.h"

#include "engine/Utilities.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "engine/FileStream.h"
#include "engine/MD5Context.h"
#include "engine/Product.h"

namespace {

// The UTF-8 form of a text, shortened by whole UTF-16 units until it has at most maxBytes bytes.
std::string fitField(WString text, size_t maxBytes) {
    std::string utf8 = wideToUtf8(text);
    while (utf8.size() > maxBytes && !text.empty()) {
        text.pop_back();
        utf8 = wideToUtf8(text);
    }
    return utf8;
}

}  // namespace

bool SignedDataFile::build(const void* payload, int payloadSize, uint32_t key) {
    data.clear();
    size = 0;
    if (payloadSize <= 0 || payload == nullptr) return false;
    const uLong n = static_cast<uLong>(payloadSize);
    uLongf packedSize = n + n / 4096 + n / 16384 + n / 33554432 + 13;
    if (packedSize < compressBound(n)) packedSize = compressBound(n);
    std::vector<uint8_t> body(4 + packedSize);
    if (compress(body.data() + 4, &packedSize, static_cast<const Bytef*>(payload), n) != Z_OK) return false;
    body.resize(4 + packedSize);
    for (int i = 0; i < 4; ++i) body[i] = static_cast<uint8_t>(static_cast<uint32_t>(payloadSize) >> (8 * i));

    data.assign(HEADER_BYTES, 0);
    const std::string name = fitField(getProductName(), NAME_BYTES - 1);
    const std::string version = fitField(getProductVersion(), VERSION_BYTES - 1);
    std::memcpy(data.data(), name.data(), name.size());
    std::memcpy(data.data() + NAME_BYTES, version.data(), version.size());
    md5WithKey(data.data() + SEAL_OFFSET, key, body.data(), static_cast<int>(body.size()));
    data.insert(data.end(), body.begin(), body.end());
    size = static_cast<int>(data.size());
    return true;
}

bool SignedDataFile::writeFile(WStringView path) {
    if (data.empty()) return false;
    return writeFileAtomically(path, data.data(), data.size());
}

bool SignedDataFile::readFile(WStringView path, uint32_t key, int maxPayloadSize) {
    data.clear();
    size = 0;
    FileStream in(path, FileStream::MODE_READ);
    if (!in.bOpen) return false;
    std::vector<uint8_t> image(static_cast<size_t>(in.size));
    int done = 0;
    while (done < in.size) {
        const int n = in.read(image.data() + done, in.size - done);
        if (n <= 0) break;
        done += n;
    }
    if (done != in.size) return false;
    return unpack(image.data(), done, key, maxPayloadSize);
}

bool SignedDataFile::unpack(const uint8_t* image, int imageSize, uint32_t key, int maxPayloadSize) {
    data.clear();
    size = 0;
    if (image == nullptr || imageSize <= HEADER_BYTES) return false;
    const uint8_t* body = image + HEADER_BYTES;
    const int bodySize = imageSize - HEADER_BYTES;
    uint8_t seal[16];
    md5WithKey(seal, key, body, bodySize);
    if (!md5Equal(seal, image + SEAL_OFFSET)) return false;
    if (bodySize < 4) return false;
    const uint32_t payloadSize = uint32_t(body[0]) | uint32_t(body[1]) << 8 | uint32_t(body[2]) << 16 | uint32_t(body[3]) << 24;
    if (payloadSize > 0x7FFFFFFFu || maxPayloadSize < 0 || payloadSize > static_cast<uint32_t>(maxPayloadSize)) return false;
    std::vector<uint8_t> payload(payloadSize);
    uLongf length = payloadSize;
    uint8_t empty = 0;
    const int result = uncompress(payloadSize ? payload.data() : &empty, &length, body + 4, static_cast<uLong>(bodySize - 4));
    if (result != Z_OK || length != payloadSize) return false;
    data = std::move(payload);
    size = static_cast<int>(payloadSize);
    return true;
}
