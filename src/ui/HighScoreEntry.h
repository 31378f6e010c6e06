#pragma once
// One row of the local high-score table, stored byte for byte in the ".hst" file.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct HIGHSCOREENTRY {
    uint8_t seal[16];  // MD5 seal; unsealed: byte 0 = 1, rest 0; all 0 in a default row
    char name[256];    // UTF-8, NUL-terminated
    int32_t level;
    int32_t score;
    int64_t time;  // seconds since 1970
};
#pragma pack(pop)

static_assert(sizeof(HIGHSCOREENTRY) == 288);
static_assert(offsetof(HIGHSCOREENTRY, name) == 16);
static_assert(offsetof(HIGHSCOREENTRY, level) == 272);
static_assert(offsetof(HIGHSCOREENTRY, score) == 276);
static_assert(offsetof(HIGHSCOREENTRY, time) == 280);

// The salt of the score seals (also sealing the score upload).
constexpr uint32_t kScoreSealSalt = 0x5e9c41a7u;
