#pragma once
// The record the score upload sends: a seal, the identifying head and the ten high-score rows of
// the settings record exactly as stored, and eight zero bytes.

#include <cstddef>
#include <cstdint>

#include "ui/GameConfiguration.h"

#pragma pack(push, 1)
struct ScoreUploadData {
    // The number of settings-record bytes carried: everything before the display settings.
    static constexpr size_t CONFIGURATION_BYTES = 2968;

    // MD5 over the salt and the record with these 16 bytes zeroed.
    uint8_t seal[16];
    uint8_t configuration[CONFIGURATION_BYTES];
    uint8_t zero[8];

    // The record of a settings record, cleared, filled and sealed.
    static ScoreUploadData fromConfiguration(const GameConfigurationRecord& record);
    // The seal this record should carry.
    void computeSeal(uint8_t digest[16]) const;
    void applySeal();
};
#pragma pack(pop)

static_assert(sizeof(ScoreUploadData) == 2992);
static_assert(sizeof(ScoreUploadData) % 8 == 0);
static_assert(offsetof(ScoreUploadData, configuration) == 16);
static_assert(offsetof(ScoreUploadData, zero) == 2984);
// The carried bytes end exactly where the high-score rows end.
static_assert(offsetof(GameConfigurationRecord, highScores) + sizeof(GameConfigurationRecord::highScores) ==
              ScoreUploadData::CONFIGURATION_BYTES);
