#include "menus/ScoreUploadData.h"

#include <cstring>

#include "ui/HighScoreEntry.h"
#include "engine/MD5Context.h"

ScoreUploadData ScoreUploadData::fromConfiguration(const GameConfigurationRecord& record) {
    ScoreUploadData data;
    std::memset(&data, 0, sizeof(data));
    std::memcpy(data.configuration, &record, CONFIGURATION_BYTES);
    data.applySeal();
    return data;
}

void ScoreUploadData::computeSeal(uint8_t digest[16]) const {
    ScoreUploadData unsealed = *this;
    std::memset(unsealed.seal, 0, sizeof(unsealed.seal));
    md5WithKey(digest, kScoreSealSalt, &unsealed, static_cast<int>(sizeof(unsealed)));
}

void ScoreUploadData::applySeal() {
    uint8_t digest[16];
    computeSeal(digest);
    std::memcpy(seal, digest, sizeof(seal));
}
