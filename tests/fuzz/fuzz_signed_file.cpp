// The signed-file reader and the records behind it. A seal proves nothing against a forger: its
// key comes from the file name and a text inside the program, so anyone can seal any bytes. The
// checks that count are those after the seal: the zlib payload, its size, and the values of the
// ".hst" and ".pro" records as the game loads them.
//
// The first byte chooses: bits 0-1 what is fed (0 a raw image, 1 a body under a valid seal, 2 the
// ".hst" file, 3 the ".pro" file); for the two user files, bit 2 gives either the rest as a sealed
// body (arbitrary zlib data) or the rest repeated over the whole record, properly packed, so that
// every field of the record takes fuzzed values.
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"
#include "engine/FileManager.h"
#include "engine/MD5Context.h"
#include "engine/Product.h"
#include "engine/SignedDataFile.h"
#include "engine/Utilities.h"

namespace {

std::vector<uint8_t> sealedImage(const uint8_t* body, size_t size, uint32_t key) {
    std::vector<uint8_t> image(SignedDataFile::HEADER_BYTES, 0);
    image.insert(image.end(), body, body + size);
    md5WithKey(image.data() + SignedDataFile::SEAL_OFFSET, key, image.data() + SignedDataFile::HEADER_BYTES,
               static_cast<int>(image.size()) - SignedDataFile::HEADER_BYTES);
    return image;
}

// Writes the user file as the game would find it: either the fuzzed bytes as a sealed body, or
// the fuzzed bytes repeated over a record of 'recordSize' bytes, packed and sealed.
void writeUserFile(const WString& name, bool rawBody, const uint8_t* data, size_t size, size_t recordSize) {
    const WString folder = getUserDataFolder();
    if (rawBody) {
        const uint32_t key = FileManager::hashText(name + getProductVersion());
        const std::vector<uint8_t> image = sealedImage(data, size, key);
        std::ofstream out(wideToUtf8(folder + name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        return;
    }
    std::vector<uint8_t> record(recordSize, 0);
    if (size > 0)
        for (size_t i = 0; i < recordSize; ++i) record[i] = data[i % size];
    SignedDataFile file;
    if (!file.build(record.data(), static_cast<int>(recordSize), FileManager::hashText(name + getProductVersion()))) abort();
    std::ofstream out(wideToUtf8(folder + name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data.data()), static_cast<std::streamsize>(file.data.size()));
}

template <size_t N>
bool terminated(const char (&text)[N]) {
    return std::memchr(text, 0, N) != nullptr;
}

void checkSettings() {
    GameConfiguration c;
    bool ok = terminated(c.product) && terminated(c.version) && terminated(c.reservedText) && c.countryCode[2] == 0 &&
              c.detailLevel >= 0 && c.detailLevel <= 1 && c.maxFramesPerSecond >= 25 && c.maxFramesPerSecond <= 125 &&
              c.soundQuality >= 0 && c.soundQuality <= 2 && c.soundVolume >= 0 && c.soundVolume <= 24 && c.musicVolume >= 0 &&
              c.musicVolume <= 24 && c.countryIndex >= 0 && c.countryIndex <= 240;
    for (const float v : c.countryDirection) ok = ok && std::isfinite(v);
    for (const uint8_t flag : {c.bFullScreen, c.bAllowLetterbox, c.bBilinearFilter, c.bUseVSync, c.bShowFps, c.bInGameMusic, c.bMuteAudio,
                               c.bAllowCheats, c.bTutorial, c.bColorBlind, c.bSwapMouse, c.bColorizeMouse, c.bOnlineConfigured,
                               c.bPlayerNameRequested})
        ok = ok && flag <= 1;
    for (const auto& pair : c.keyBindings)
        for (const int32_t key : pair) ok = ok && key >= 0 && key <= 455;
    for (const HIGHSCOREENTRY& row : c.highScores) ok = ok && terminated(row.name) && row.score >= 0 && row.level >= 0;
    if (!ok) __builtin_trap();
    // The table takes a new score whatever it held.
    c.addHighScore(123456, 3, true, u"fuzz");
}

void checkProfiles() {
    ProfileManager m;
    bool ok = m.currentIndex >= 0 && m.currentIndex <= 9;
    for (ProfileData& p : m.profiles) {
        ok = ok && terminated(p.name) && p.bHasSavedGame <= 1 && p.hearts() >= 0 && p.hearts() <= 99 && p.lives() >= 0 && p.level() >= 0 &&
             p.highestLevel() >= 0 && p.score() >= 0;
    }
    if (!ok) __builtin_trap();
    for (int i = 0; i < 10; ++i) (void)m.getProfileName(i);
    m.addProfile(u"fuzz");
    m.deleteProfile(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The user files go to a folder of this run's own.
    // In memory where there is a tmpfs: the game syncs every file it saves.
    static std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm/vesk-fuzz-signed-XXXXXX" : "/tmp/vesk-fuzz-signed-XXXXXX";
    if (!mkdtemp(folder.data())) abort();
    setenv("VESK_DATA_HOME", folder.c_str(), 1);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;
    switch (mode & 3) {
        case 0:
        case 1: {
            const std::vector<uint8_t> image = (mode & 3) == 1 ? sealedImage(data, size, 1234) : std::vector<uint8_t>(data, data + size);
            SignedDataFile file;
            if (file.unpack(image.data(), static_cast<int>(image.size()), 1234, 1 << 20) && file.size != static_cast<int>(file.data.size()))
                __builtin_trap();
            break;
        }
        case 2:
            writeUserFile(GameConfiguration::getConfigurationFileName(), (mode & 4) != 0, data, size, sizeof(GameConfigurationRecord));
            checkSettings();
            break;
        case 3:
            writeUserFile(ProfileManager::getProfilesFileName(), (mode & 4) != 0, data, size, sizeof(ProfileManager));
            checkProfiles();
            break;
    }
    return 0;
}
