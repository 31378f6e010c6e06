#include "media/AudioEnvironment.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/Qel.h"
#include "media/QelAudio.h"

bool AudioEnvironment::readFile(const WString& name, bool createWad, ByteBuffer& bytes) {
    if (readFileHook) return readFileHook(name, createWad, bytes);
    std::ifstream in(std::filesystem::path(wideToUtf8(name)), std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.bytes = std::move(data);
    return true;
}

bool AudioEnvironment::verifyFile(const WString& name) {
    if (verifyFileHook) return verifyFileHook(name);
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(wideToUtf8(name)), error);
}

bool AudioEnvironment::muted() { return qel && qel->pQelAudio && qel->pQelAudio->bNoAudio; }
