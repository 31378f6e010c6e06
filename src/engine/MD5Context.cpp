#include "engine/MD5Context.h"

#include <cstring>

namespace {

constexpr uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

constexpr uint32_t K[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1,
    0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453,
    0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942,
    0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05,
    0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d,
    0x85845dd1, 0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int S[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                       4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

}  // namespace

MD5Context::MD5Context() : bits{0, 0}, state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, buffer{} {}

void MD5Context::transform(const uint8_t block[64]) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 | uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t t = d;
        d = c;
        c = b;
        b = b + rotl(a + f + K[i] + m[g], S[i]);
        a = t;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void MD5Context::update(const void* data, int length) {
    if (length <= 0) return;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t used = (bits[0] >> 3) & 63;
    const uint32_t added = static_cast<uint32_t>(length) << 3;
    bits[0] += added;
    if (bits[0] < added) ++bits[1];
    bits[1] += static_cast<uint32_t>(length) >> 29;
    size_t n = static_cast<size_t>(length);
    if (used) {
        const size_t space = 64 - used;
        if (n < space) {
            std::memcpy(buffer + used, p, n);
            return;
        }
        std::memcpy(buffer + used, p, space);
        transform(buffer);
        p += space;
        n -= space;
    }
    for (; n >= 64; p += 64, n -= 64) transform(p);
    std::memcpy(buffer, p, n);
}

void MD5Context::final(uint8_t digest[16]) {
    uint8_t count[8];
    for (int i = 0; i < 4; ++i) {
        count[i] = static_cast<uint8_t>(bits[0] >> (8 * i));
        count[i + 4] = static_cast<uint8_t>(bits[1] >> (8 * i));
    }
    const uint32_t used = (bits[0] >> 3) & 63;
    static const uint8_t padding[64] = {0x80};
    update(padding, static_cast<int>(used < 56 ? 56 - used : 120 - used));
    update(count, 8);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<uint8_t>(state[i] >> (8 * j));
}

void md5(uint8_t digest[16], const void* data, int length) {
    MD5Context context;
    context.update(data, length);
    context.final(digest);
}

void md5WithKey(uint8_t digest[16], uint32_t key, const void* data, int length) {
    const uint8_t keyBytes[4] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key >> 16),
                                 static_cast<uint8_t>(key >> 24)};
    MD5Context context;
    context.update(keyBytes, 4);
    context.update(data, length);
    context.final(digest);
}

bool md5Equal(const uint8_t a[16], const uint8_t b[16]) { return std::memcmp(a, b, 16) == 0; }
