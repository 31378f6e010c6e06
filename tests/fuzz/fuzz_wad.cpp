// The game's own archive path over arbitrary archive bytes: the bytes become a file on disk, the
// FileManager mounts it (useWad) and every entry of its directory is opened and read through
// FileManager::open, as the loader reads pictures, sounds and fonts.
//
// The mount refuses a damaged directory, and opening an entry whose data does not inflate to its
// size, with a fatal report: the program cannot run on damaged data archives. Those inputs stop at
// the archive reader's own verdict (the same checks), so that the fuzzer keeps running; every
// entry the reader accepts must come out of the game's path as exactly the reader's bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/MemoryReadStream.h"
#include "engine/Stream.h"
#include "engine/WadFile.h"

namespace {

// One archive file per process, rewritten for every input.
const std::string& archivePath() {
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-wad-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { std::remove(archivePath().c_str()); });
        return std::string(name);
    }();
    return path;
}

bool writeArchive(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(archivePath().c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

// Reads a stream to its end the way the resource loaders do: in chunks until nothing comes.
std::vector<uint8_t> readAll(Stream& stream, int size) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    int done = 0;
    while (done < size) {
        const int n = stream.read(bytes.data() + done, size - done);
        if (n <= 0) break;
        done += n;
    }
    bytes.resize(static_cast<size_t>(done));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryReadStream memory(std::vector<uint8_t>(data, data + size));
    int32_t version = 0;
    std::vector<WadFile::Entry> entries;
    WString reason;
    if (!WadFile::readDirectory(memory, u"fuzz.wad", version, entries, reason)) return 0;
    if (!writeArchive(data, size)) std::abort();

    const WString path = utf8ToWide(archivePath());
    FileManager files;
    files.useWad(path);
    for (const auto& [name, entry] : files.directory) {
        if (!files.exists(name)) __builtin_trap();
        std::vector<uint8_t> expected;
        if (!WadFile::readEntry(memory, entry, expected, reason)) continue;
        int entrySize = -1;
        Stream* stream = files.open(&entrySize, name);
        if (entrySize != entry.unpackedSize) __builtin_trap();
        const std::vector<uint8_t> bytes = readAll(*stream, entrySize);
        delete stream;
        if (bytes != expected) __builtin_trap();
    }
    return 0;
}
