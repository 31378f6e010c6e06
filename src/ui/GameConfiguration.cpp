#include "ui/GameConfiguration.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "ui/UserFiles.h"
#include "engine/MD5Context.h"
#include "engine/Product.h"
#include "engine/Random.h"

namespace {

void clampInt(int32_t& v, int32_t lo, int32_t hi) { v = std::clamp(v, lo, hi); }
void clampBool(uint8_t& v) { v = v ? 1 : 0; }
template <size_t N>
void terminate(char (&text)[N]) {
    text[N - 1] = 0;
}

}  // namespace

GameConfiguration::GameConfiguration() : GameConfigurationRecord() {
    setDefaults();
    load();
}

void GameConfiguration::setDefaults() {
    std::memset(static_cast<GameConfigurationRecord*>(this), 0, sizeof(GameConfigurationRecord));
    setFixedText32(product, getProductName());
    setFixedText16(version, getProductVersion());
    countryCode[0] = countryCode[1] = '-';
    resetHighScores();
    detailLevel = 1;
    maxFramesPerSecond = 100;
    bFullScreen = 1;
    bAllowLetterbox = 1;
    bBilinearFilter = 1;
    bUseVSync = 0;
    bShowFps = 0;
    soundQuality = 1;
    soundVolume = 24;
    musicVolume = 15;
    bInGameMusic = 1;
    bMuteAudio = 0;
    bAllowCheats = 0;
    bTutorial = 1;
    bColorBlind = 0;
    bSwapMouse = 0;
    bColorizeMouse = 1;
    bOnlineConfigured = 0;
    masterServer.family = 2;
    countryIndex = 0;
    countryDirection[0] = countryDirection[1] = 0.0f;
    countryDirection[2] = -1.0f;
    static const int32_t bindings[6][2] = {{203, 258}, {205, 259}, {200, 256}, {208, 257}, {57, 272}, {28, 273}};
    std::memcpy(keyBindings, bindings, sizeof(bindings));
    bPlayerNameRequested = 1;
}

void GameConfiguration::resetHighScores() {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    for (int i = 0; i < 10; ++i) {
        HIGHSCOREENTRY& row = highScores[i];
        std::memset(&row, 0, sizeof(row));
        row.score = 100000 - 10000 * i;
        row.time = now;
    }
}

void GameConfiguration::computeSeal(const HIGHSCOREENTRY& row, uint8_t seal[16]) {
    HIGHSCOREENTRY unsealed = row;
    std::memset(unsealed.seal, 0, sizeof(unsealed.seal));
    const uint32_t salt = kScoreSealSalt;
    MD5Context context;
    context.update(&salt, 4);
    context.update(&unsealed, sizeof(unsealed));
    context.final(seal);
}

int GameConfiguration::addHighScore(int score, int level, bool bSeal, WStringView name) {
    int i = 0;
    while (i < 10 && highScores[i].score > score) ++i;
    if (i == 10) return -1;
    for (int k = 9; k > i; --k) highScores[k] = highScores[k - 1];
    HIGHSCOREENTRY& row = highScores[i];
    // The new row starts from zero bytes so that nothing of the row it replaced is sealed with it.
    std::memset(&row, 0, sizeof(row));
    setFixedText256(row.name, name);
    row.score = score;
    row.level = level;
    row.time = static_cast<int64_t>(std::time(nullptr));
    if (bSeal) computeSeal(row, row.seal);
    else row.seal[0] = 1;
    return i;
}

void GameConfiguration::clampValues() {
    terminate(product);
    terminate(version);
    terminate(reservedText);
    countryCode[2] = countryCode[3] = 0;
    for (HIGHSCOREENTRY& row : highScores) {
        terminate(row.name);
        row.score = std::max(row.score, 0);
        row.level = std::max(row.level, 0);
    }
    clampInt(detailLevel, 0, 1);
    clampInt(maxFramesPerSecond, 25, 125);
    for (uint8_t* flag : {&bFullScreen, &bAllowLetterbox, &bBilinearFilter, &bUseVSync, &bShowFps, &bInGameMusic, &bMuteAudio,
                          &bAllowCheats, &bTutorial, &bColorBlind, &bSwapMouse, &bColorizeMouse, &bOnlineConfigured, &bPlayerNameRequested})
        clampBool(*flag);
    clampInt(soundQuality, 0, 2);
    clampInt(soundVolume, 0, 24);
    clampInt(musicVolume, 0, 24);
    clampInt(countryIndex, 0, 240);
    if (!std::isfinite(countryDirection[0]) || !std::isfinite(countryDirection[1]) || !std::isfinite(countryDirection[2])) {
        countryDirection[0] = countryDirection[1] = 0.0f;
        countryDirection[2] = -1.0f;
    }
    for (auto& pair : keyBindings)
        for (int32_t& key : pair) clampInt(key, 0, 455);
}

void GameConfiguration::load() {
    loadUserFile(getConfigurationFileName(), getProductVersion(), static_cast<GameConfigurationRecord*>(this), sizeof(GameConfigurationRecord));
    clampValues();
    if (installationId == 0) {
        const uint32_t low = randomNext();
        const uint32_t high = randomNext();
        installationId = low | (high << 16);
    }
}

bool GameConfiguration::save() {
    return saveUserFile(getConfigurationFileName(), getProductVersion(), static_cast<GameConfigurationRecord*>(this), sizeof(GameConfigurationRecord));
}

WString GameConfiguration::getConfigurationFileName() { return getProductName() + u".hst"; }
