#pragma once
// The MD5 message digest (RFC 1321) as a context with update and final, plus one-call helpers.

#include <cstdint>

class MD5Context {
public:
    MD5Context();
    // Adds bytes; a length of 0 or less is ignored.
    void update(const void* data, int length);
    // Pads, appends the bit count and writes the 16-byte digest.
    void final(uint8_t digest[16]);

    uint32_t bits[2];
    uint32_t state[4];
    uint8_t buffer[64];

private:
    void transform(const uint8_t block[64]);
};

void md5(uint8_t digest[16], const void* data, int length);
// The digest of the key's 4 bytes (little-endian) followed by the data.
void md5WithKey(uint8_t digest[16], uint32_t key, const void* data, int length);
bool md5Equal(const uint8_t a[16], const uint8_t b[16]);
