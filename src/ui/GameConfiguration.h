#pragma once
// The game's settings record with the local high-score table, stored as the ".hst" file.

#include <bit>
#include <cstddef>
#include <cstdint>

#include "ui/HighScoreEntry.h"
#include "engine/Text.h"

static_assert(std::endian::native == std::endian::little, "stored records are little-endian");

#pragma pack(push, 1)
struct GameConfigurationRecord {
    char product[32];
    char version[16];
    char reservedText[32];
    uint32_t installationId;
    char countryCode[4];
    HIGHSCOREENTRY highScores[10];
    int32_t detailLevel;
    int32_t maxFramesPerSecond;
    uint8_t bFullScreen;
    uint8_t bAllowLetterbox;
    uint8_t bBilinearFilter;
    uint8_t bUseVSync;
    uint8_t bShowFps;
    uint8_t zero1[3];
    int32_t soundQuality;
    int32_t soundVolume;
    int32_t musicVolume;
    uint8_t bInGameMusic;
    uint8_t bMuteAudio;
    uint8_t bAllowCheats;
    uint8_t bTutorial;
    uint8_t bColorBlind;
    uint8_t bSwapMouse;
    uint8_t bColorizeMouse;
    uint8_t bOnlineConfigured;
    struct {
        uint16_t family;
        uint16_t portNetworkOrder;
        uint32_t addressNetworkOrder;
        uint8_t zero[8];
    } masterServer;
    int32_t countryIndex;
    float countryDirection[3];
    int32_t keyBindings[6][2];
    uint8_t zero2[4];
    uint8_t reservedBlock[12];
    uint8_t bPlayerNameRequested;
    uint8_t zero3[19];
};
#pragma pack(pop)

static_assert(sizeof(GameConfigurationRecord) == 3120);
static_assert(offsetof(GameConfigurationRecord, installationId) == 80);
static_assert(offsetof(GameConfigurationRecord, countryCode) == 84);
static_assert(offsetof(GameConfigurationRecord, highScores) == 88);
static_assert(offsetof(GameConfigurationRecord, detailLevel) == 2968);
static_assert(offsetof(GameConfigurationRecord, bFullScreen) == 2976);
static_assert(offsetof(GameConfigurationRecord, bShowFps) == 2980);
static_assert(offsetof(GameConfigurationRecord, soundQuality) == 2984);
static_assert(offsetof(GameConfigurationRecord, bInGameMusic) == 2996);
static_assert(offsetof(GameConfigurationRecord, bOnlineConfigured) == 3003);
static_assert(offsetof(GameConfigurationRecord, masterServer) == 3004);
static_assert(offsetof(GameConfigurationRecord, countryIndex) == 3020);
static_assert(offsetof(GameConfigurationRecord, countryDirection) == 3024);
static_assert(offsetof(GameConfigurationRecord, keyBindings) == 3036);
static_assert(offsetof(GameConfigurationRecord, reservedBlock) == 3088);
static_assert(offsetof(GameConfigurationRecord, bPlayerNameRequested) == 3100);

class GameConfiguration : public GameConfigurationRecord {
public:
    // Defaults, then the ".hst" file when there is a valid one.
    GameConfiguration();

    void setDefaults();
    void resetHighScores();
    // Enters a finished game; returns its row 0..9, or -1 when it did not make the table.
    int addHighScore(int score, int level, bool bSeal, WStringView name);
    // Reads ".hst"; a damaged or foreign file is renamed aside with ".bad" and the defaults stay;
    // a file that exists but cannot be read is left alone and not overwritten in this run.
    void load();
    // Writes ".hst"; false (reported with the reason, the old file intact) when it cannot.
    bool save();
    // Brings every value read from a file into its valid range.
    void clampValues();

    static WString getConfigurationFileName();

    // The launcher's aim shows the colour of the piece on the bow; not part of the stored record.
    static inline bool bShowAimColor = true;
    // The seal of a row: MD5 over the salt and the row with its seal zeroed.
    static void computeSeal(const HIGHSCOREENTRY& row, uint8_t seal[16]);
};

static_assert(sizeof(GameConfiguration) == 3120);
