#include "engine/ByteBuffer.h"

void ByteBuffer::append(const void* data, int n) {
    if (n <= 0 || data == nullptr) return;
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
}

WString ByteBuffer::toText() const {
    const size_t n = bytes.size();
    const uint8_t* p = bytes.data();
    if (n > 2 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p + 3), n - 3));
    if (n > 1 && p[0] == 0xFF && p[1] == 0xFE) {
        WString text;
        for (size_t i = 2; i + 1 < n; i += 2) {
            const char16_t c = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
            if (c == 0) break;
            text.push_back(c);
        }
        return text;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p), n));
}
