#include "media/AudioEnvironment.h"

#include <filesystem>

#include "engine/DataBlock.h"
#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/TimeKeeper.h"
#include "media/QelAudio.h"
#include "platform/System.h"

namespace {

FileManager* fileManager() { return qel ? qel->pFileManager : nullptr; }

}  // namespace

bool AudioEnvironment::readFile(const WString& name, bool createWad, ByteBuffer& bytes) {
    if (readFileHook) return readFileHook(name, createWad, bytes);
    if (FileManager* files = fileManager()) {
        // Through a temporary DataBlock, with the file manager's mode as it was when the resource
        // was made; a missing file is fatal there.
        bool savedMode = files->bCreateWad;
        files->bCreateWad = createWad;
        {
            DataBlock block(0, name);
            bytes = ByteBuffer(block.getData(), block.getSize());
        }
        files->bCreateWad = savedMode;
        return true;
    }
    std::string data;
    if (!platform::readWholeFile(wideToUtf8(name), data)) return false;
    bytes.bytes.assign(data.begin(), data.end());
    return true;
}

bool AudioEnvironment::locateFile(const WString& name, bool createWad, std::string& path, uint64_t& offset, uint64_t& size) {
    if (readFileHook || createWad) return false;
    FileManager* files = fileManager();
    if (!files) return false;
    WString where;
    int64_t at = 0, bytes = 0;
    if (!files->locate(name, where, at, bytes)) return false;
    path = wideToUtf8(where);
    offset = uint64_t(at);
    size = uint64_t(bytes);
    return true;
}

bool AudioEnvironment::verifyFile(const WString& name) {
    if (verifyFileHook) return verifyFileHook(name);
    if (FileManager* files = fileManager()) {
        files->verifyFile(name);  // fatal when missing
        return true;
    }
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(wideToUtf8(name)), error);
}

bool AudioEnvironment::delayedLoad() {
    if (delayedLoadHook) return delayedLoadHook();
    FileManager* files = fileManager();
    return files && files->bEnableDelayedLoad;
}

bool AudioEnvironment::createWad() {
    if (createWadHook) return createWadHook();
    FileManager* files = fileManager();
    return files && files->bCreateWad;
}

double AudioEnvironment::gameTime() {
    if (gameTimeHook) return gameTimeHook();
    return qel && qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : 0.0;
}

bool AudioEnvironment::muted() { return qel && qel->pQelAudio && qel->pQelAudio->bNoAudio; }
