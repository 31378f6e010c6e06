#include "engine/FileManager.h"

#include <dirent.h>
#include <sys/stat.h>
#include <zlib.h>
#include <zopfli/zlib_container.h>
#include <zopfli/zopfli.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>

#include "engine/ErrorManager.h"
#include "engine/FileStream.h"
#include "engine/Logger.h"
#include "engine/MemoryReadStream.h"
#include "engine/SignedDataFile.h"
#include "engine/Utilities.h"
#include "platform/FileSystem.h"

QEL_IMPLEMENT_CLASS(FileManager, nullptr, nullptr)

namespace {

void putLe32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void createFoldersFor(const WString& filePath) {
    for (size_t sep = filePath.find(u'/', 1); sep != WString::npos; sep = filePath.find(u'/', sep + 1))
        createFolder(filePath.substr(0, sep));
}

// Restores bForceDisk when a scope ends.
struct ForceDiskScope {
    explicit ForceDiskScope(FileManager& m) : manager(m), previous(m.bForceDisk) { m.bForceDisk = true; }
    ~ForceDiskScope() { manager.bForceDisk = previous; }
    FileManager& manager;
    bool previous;
};

}  // namespace

FileManager::FileManager(bool createWad) : bCreateWad(createWad) {
    qelLog(u"FileManager::FileManager", u"Starting...");
    // Creation mode reads loose files, so the archives are never used in it.
    bUseWad = !bCreateWad;
    if (bCreateWad) QEL_ASSERT(u"FileManager::FileManager", !bUseWad);
}

FileManager::~FileManager() {
    qelLog(u"FileManager::~FileManager", u"%d opened WAD files.", static_cast<int>(wadFiles.size()));
    if (bCreateWad) saveAllSubWads();
    for (WadFile* wad : wadFiles) delete wad;
    wadFiles.clear();
}

WString FileManager::getDiskPath(WStringView name) {
    if (hq2x == 2) {
        WString overridePath = format(u"override.hq2x/%s", name);
        if (fileExists(overridePath)) return overridePath;
    }
    return WString(name);
}

Stream* FileManager::open(int* outSize, WStringView name) {
    if (!bUseWad || bForceDisk) return openDisk(outSize, name);
    return openWad(outSize, name);
}

FileStream* FileManager::openDisk(int* outSize, WStringView name) {
    const WString path = getDiskPath(name);
    auto* stream = new FileStream(path, FileStream::MODE_READ);
    if (!stream->bOpen) {
        const int error = stream->error;
        const WString text = stream->errorText();
        delete stream;
        QEL_FATAL(u"FileManager::openDisk", u"Failed to open file '%s' (errno %d:%s, cwd %s)", path, error, text, getCurrentFolder());
    }
    if (outSize) *outSize = stream->size;
    if (bCreateWad && !bForceDisk) {
        const WString key(name);
        if (directory.count(key)) {
            qelLog(u"FileManager::openDisk", u"Skipping already existing file '%s' in wad creation.", name);
        } else {
            WadFile::Entry entry;
            entry.name = key;
            entry.archive = currentWadName;
            directory.emplace(key, std::move(entry));
            recorded.push_back(key);
        }
    }
    return stream;
}

Stream* FileManager::openWad(int* outSize, WStringView name) {
    const auto it = directory.find(WString(name));
    if (it == directory.end()) QEL_FATAL(u"FileManager::openWad", u"WAD entry %s not found.", name);
    const WadFile::Entry& entry = it->second;
    FileStream* file = openDisk(nullptr, entry.archive);
    file->seek(entry.offset);
    if (!entry.isCompressed()) {
        if (outSize) *outSize = entry.unpackedSize;
        return file;
    }
    std::vector<uint8_t> compressedData(static_cast<size_t>(entry.storedSize));
    int done = 0;
    while (done < entry.storedSize) {
        const int n = file->read(compressedData.data() + done, entry.storedSize - done);
        if (n <= 0) break;
        done += n;
    }
    delete file;
    if (done != entry.storedSize)
        QEL_FATAL(u"FileManager::openWad", u"WAD entry %s is cut short (%d of %d bytes).", name, done, entry.storedSize);
    std::vector<uint8_t> uncompressedData(static_cast<size_t>(entry.unpackedSize));
    uLongf uncompressedSize = static_cast<uLongf>(entry.unpackedSize);
    const uLongf correctUncompressedSize = uncompressedSize;
    const uLong compressedSize = static_cast<uLong>(entry.storedSize);
    uint8_t empty = 0;
    uint8_t* target = uncompressedData.empty() ? &empty : uncompressedData.data();
    QEL_ASSERT(u"FileManager::openWad", uncompress(target, &uncompressedSize, compressedData.data(), compressedSize) == Z_OK);
    QEL_ASSERT(u"FileManager::openWad", correctUncompressedSize == uncompressedSize);
    if (outSize) *outSize = entry.unpackedSize;
    return new MemoryReadStream(std::move(uncompressedData));
}

bool FileManager::locate(WStringView name, WString& path, int64_t& offset, int64_t& size) {
    if (bCreateWad) return false;
    if (!bUseWad || bForceDisk) {
        int bytes = 0;
        delete openDisk(&bytes, name);  // fatal when missing
        path = getDiskPath(name);
        offset = 0;
        size = bytes;
        return true;
    }
    const auto it = directory.find(WString(name));
    if (it == directory.end()) QEL_FATAL(u"FileManager::openWad", u"WAD entry %s not found.", name);
    const WadFile::Entry& entry = it->second;
    if (entry.isCompressed()) return false;
    path = getDiskPath(entry.archive);
    offset = entry.offset;
    size = entry.unpackedSize;
    return true;
}

bool FileManager::existsDisk(WStringView name) { return fileExists(getDiskPath(name)); }

bool FileManager::existsWad(WStringView name) { return directory.count(WString(name)) != 0; }

bool FileManager::exists(WStringView name) {
    if (!bUseWad || bForceDisk) return existsDisk(name);
    return existsWad(name);
}

void FileManager::verifyFile(WStringView name) {
    if (!bUseWad || bForceDisk)
        verifyFileDisk(name);
    else
        verifyFileWad(name);
}

void FileManager::verifyFileDisk(WStringView name) {
    const WString path = getDiskPath(name);
    FileStream stream(path, FileStream::MODE_READ);
    if (!stream.bOpen)
        QEL_FATAL(u"FileManager::verifyFileDisk", u"File %s verification failed (errno %d:%s, cwd %s)", path, stream.error,
                  stream.errorText(), getCurrentFolder());
}

void FileManager::verifyFileWad(WStringView name) {
    if (!existsWad(name)) ErrorManager::errorText(u"File '" + WString(name) + u"' does not exist.");
}

void FileManager::useWad(WStringView wadName) {
    WString name(wadName);
    if (hq2x == 2) name += u".hq2x";
    currentWadName = name;
    if (bCreateWad || !bUseWad) return;
    if (directory.count(name)) return;

    WadFile::Entry self;
    self.name = name;
    self.archive = name;
    directory.emplace(name, self);
    wadFiles.push_back(new WadFile(openDisk(nullptr, name)));

    FileStream* stream = openDisk(nullptr, name);
    int32_t wadVersion = 0;
    std::vector<WadFile::Entry> entries;
    WString reason;
    const bool ok = WadFile::readDirectory(*stream, name, wadVersion, entries, reason);
    delete stream;
    if (!ok) {
        // The version field was read but is not ours: the classic assertion. Anything else is damage.
        if (wadVersion != 0) QEL_ASSERT(u"FileManager::useWad", wadVersion == WAD_VERSION);
        QEL_FATAL(u"FileManager::useWad", u"WAD %s is damaged: %s.", name, reason);
    }
    for (WadFile::Entry& entry : entries) {
        if (!bDebugLocked)
            qelLog(u"FileManager::useWad", u"%s WAD contents: %s @ %d (%d/%d bytes) %s", name, entry.name, entry.offset, entry.storedSize,
                   entry.unpackedSize, entry.isCompressed() ? u"COMPRESSED" : u"OK");
        WString key = entry.name;
        directory.emplace(std::move(key), std::move(entry));
    }
}

void FileManager::saveSubWad(bool compress, WStringView archiveName) {
    struct Item {
        WadFile::Entry* entry;
        std::vector<uint8_t> bytes;
    };
    std::vector<Item> items;
    for (const WString& name : recorded) {
        auto it = directory.find(name);
        if (it != directory.end() && it->second.archive == archiveName) items.push_back({&it->second, {}});
    }
    const int count = static_cast<int>(items.size());

    const WString target = wadOutputFolder + getFileName(archiveName) + (compress ? u".z" : u"");
    createFoldersFor(target);
    FileStream out(target, FileStream::MODE_WRITE);
    if (!out.bOpen)
        QEL_FATAL(u"FileManager::saveSubWad", u"Failed to open file '%s' (errno %d:%s, cwd %s)", target, out.error, out.errorText(),
                  getCurrentFolder());

    {
        ForceDiskScope forceDisk(*this);
        for (Item& item : items) {
            int size = 0;
            Stream* in = openDisk(&size, item.entry->name);
            item.bytes.resize(static_cast<size_t>(size));
            int done = 0;
            while (done < size) {
                const int n = in->read(item.bytes.data() + done, size - done);
                if (n <= 0) break;
                done += n;
            }
            delete in;
            if (done != size) QEL_FATAL(u"FileManager::saveSubWad", u"Failed to read file '%s' (%d of %d bytes).", item.entry->name, done, size);
            item.entry->unpackedSize = size;
            item.entry->storedSize = size;
            if (!compress || item.bytes.empty()) continue;
            ZopfliOptions options;
            ZopfliInitOptions(&options);
            options.verbose = 0;
            options.verbose_more = 0;
            options.numiterations = 1;
            options.blocksplitting = 1;
            options.blocksplittinglast = 0;
            options.blocksplittingmax = 15;
            unsigned char* packed = nullptr;
            size_t packedSize = 0;
            ZopfliZlibCompress(&options, item.bytes.data(), item.bytes.size(), &packed, &packedSize);
            if (packed && static_cast<float>(packedSize) < 0.98f * static_cast<float>(item.bytes.size())) {
                item.bytes.assign(packed, packed + packedSize);
                item.entry->storedSize = static_cast<int32_t>(packedSize);
            }
            std::free(packed);
        }
    }

    bool ok = true;
    uint8_t header[8];
    putLe32(header, WAD_VERSION);
    putLe32(header + 4, count);
    ok = out.write(header, 8) && ok;
    qelLog(u"FileManager::saveSubWad", u"Writing: WAD %s (%d entries).", archiveName, count);

    int64_t totalOffset = 8 + int64_t(WADDISKENTRY_BYTESIZE) * count;
    for (Item& item : items) {
        WadFile::Entry& e = *item.entry;
        QEL_ASSERT(u"FileManager::saveSubWad", wideToUtf8(e.name).size() < WADDISKENTRY_FILENAME_BYTESIZE);
        uint8_t raw[WADDISKENTRY_BYTESIZE];
        WadFile::encodeName(e.name, raw);
        e.padding = static_cast<int32_t>((8 - totalOffset % 8) % 8);
        totalOffset += e.padding;
        QEL_ASSERT(u"FileManager::saveSubWad", totalOffset % 8 == 0);
        QEL_ASSERT(u"FileManager::saveSubWad", totalOffset + e.storedSize <= 0x7FFFFFFF);
        e.offset = static_cast<int32_t>(totalOffset);
        putLe32(raw + 80, e.offset);
        putLe32(raw + 84, e.unpackedSize);
        putLe32(raw + 88, e.storedSize);
        ok = out.write(raw, sizeof(raw)) && ok;
        totalOffset += e.storedSize;
    }
    static const uint8_t zeros[8] = {};
    for (Item& item : items) {
        WadFile::Entry& e = *item.entry;
        ok = out.write(zeros, static_cast<size_t>(e.padding)) && ok;
        qelLog(u"FileManager::saveSubWad", u"Writing: %s (%d/%d bytes).", e.name, e.storedSize, e.unpackedSize);
        ok = out.write(item.bytes.data(), item.bytes.size()) && ok;
    }
    out.flush();
    ok = ok && std::ferror(out.file) == 0;
    out.close();
    if (!ok) QEL_FATAL(u"FileManager::saveSubWad", u"Failed to write WAD '%s'.", target);

    std::vector<WString> remaining;
    for (const WString& name : recorded) {
        auto it = directory.find(name);
        if (it != directory.end() && it->second.archive == archiveName)
            directory.erase(it);
        else
            remaining.push_back(name);
    }
    recorded = std::move(remaining);
}

void FileManager::saveAllSubWads() {
    while (!recorded.empty()) {
        const WString archive = directory.at(recorded.front()).archive;
        saveSubWad(false, archive);
    }
}

void FileManager::removeLeftoverTemporaryFiles(WStringView folder, bool (*isOwnFile)(WStringView name)) {
    const char16_t* fn = u"FileManager::removeLeftoverTemporaryFiles";
    WString prefix(folder);
    if (prefix.empty() || prefix.back() != u'/') prefix += u'/';
    DIR* dir = opendir(wideToUtf8(prefix).c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    constexpr std::string_view suffix = ".tmp";
    for (const std::string& name : names) {
        if (name.size() <= suffix.size() || !name.ends_with(suffix)) continue;
        if (!isOwnFile(utf8ToWide(name.substr(0, name.size() - suffix.size())))) continue;
        const std::string path = wideToUtf8(prefix) + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        std::string reason;
        if (platform::removeFile(path, reason))
            qelLog(fn, u"Removed '%hs', left by a save that did not finish.", path);
        else
            qelLog(fn, u"Could not remove '%hs', left by a save that did not finish (%hs).", path, reason);
    }
}

uint32_t FileManager::hashText(WStringView text) {
    uint32_t h = 0;
    for (char16_t c : text) {
        if (c == 0) break;
        h = h * 33u + c;
    }
    return h;
}

bool FileManager::saveSignedFile(WStringView folder, WStringView name, WStringView keyText, const void* data, int size) {
    const char16_t* fn = u"FileManager::saveSignedFile";
    if (size == 0) return true;
    if (size < 0 || data == nullptr) return false;
    const WString path = signedFilePath(folder, name);
    if (isKeptUnchanged(path)) {
        reportFileProblem(fn, path, format(u"'%s' is not saved: it could not be read at start, so it is left as it is.", path));
        return false;
    }
    const uint32_t key = hashText(WString(name) + WString(keyText));
    SignedDataFile file;
    if (!file.build(data, size, key)) {
        reportFileProblem(fn, path, format(u"Could not save '%s': the data could not be packed.", path));
        return false;
    }
    WString reason;
    if (writeFileAtomically(path, file.data.data(), file.data.size(), &reason)) return true;
    reportFileProblem(fn, path, format(u"Could not save '%s' (%s); the file there is left as it was.", path, reason));
    return false;
}

WString FileManager::signedFilePath(WStringView folder, WStringView name) {
    WString path(folder);
    if (path.empty() || path.back() != u'/') path += u'/';
    return path + WString(name);
}

bool FileManager::loadSignedFile(WStringView folder, WStringView name, WStringView keyText, void* destination, int size) {
    WString reason;
    return readSignedFile(folder, name, keyText, destination, size, reason) == LoadResult::LOADED;
}

FileManager::LoadResult FileManager::readSignedFile(WStringView folder, WStringView name, WStringView keyText, void* destination,
                                                    int size, WString& reason) {
    reason.clear();
    if (size == 0) return LoadResult::LOADED;
    if (size < 0 || destination == nullptr) {
        reason = u"no record to read into";
        return LoadResult::DAMAGED;
    }
    const std::string path = wideToUtf8(signedFilePath(folder, name));
    // No image of a record this size comes near the limit: zlib's output for it is bounded.
    const size_t limit = SignedDataFile::HEADER_BYTES + 4 + 2 * static_cast<size_t>(size) + 65536;
    std::string image, why;
    switch (platform::readRegularFile(path, image, why, limit)) {
        case platform::ReadOutcome::OK: break;
        case platform::ReadOutcome::MISSING: return LoadResult::MISSING;
        case platform::ReadOutcome::UNREADABLE:
            reason = utf8ToWide(why);
            return LoadResult::UNREADABLE;
        case platform::ReadOutcome::TOO_LARGE:
            reason = utf8ToWide(why);
            return LoadResult::DAMAGED;
    }
    const uint32_t key = hashText(WString(name) + WString(keyText));
    SignedDataFile file;
    if (!file.unpack(reinterpret_cast<const uint8_t*>(image.data()), static_cast<int>(image.size()), key, size)) {
        reason = u"its seal or contents do not check out";
        return LoadResult::DAMAGED;
    }
    if (file.size != size) {
        reason = format(u"it holds %d bytes, not %d", file.size, size);
        return LoadResult::DAMAGED;
    }
    std::memcpy(destination, file.data.data(), static_cast<size_t>(size));
    return LoadResult::LOADED;
}

namespace {

std::mutex keptMutex;
std::set<WString>& keptPaths() {
    static std::set<WString> paths;
    return paths;
}

}  // namespace

void FileManager::reportFileProblem(const char16_t* function, WStringView path, WStringView message) {
    qelLogText(function, message);
    writeStandardErrorOnce(path, message);
}

void FileManager::keepUnchanged(WStringView path) {
    std::lock_guard lock(keptMutex);
    keptPaths().insert(WString(path));
}

void FileManager::allowWriting(WStringView path) {
    std::lock_guard lock(keptMutex);
    keptPaths().erase(WString(path));
}

bool FileManager::isKeptUnchanged(WStringView path) {
    std::lock_guard lock(keptMutex);
    return keptPaths().count(WString(path)) != 0;
}

bool FileManager::setAside(const char16_t* function, WStringView path, WStringView why) {
    // Earlier copies are never replaced: the first free name of ".bad", ".bad.1", ... is taken.
    WString aside;
    std::string reason;
    bool taken = false;
    for (int copy = 0; copy < MAX_SET_ASIDE_COPIES; ++copy) {
        aside = WString(path) + u".bad";
        if (copy > 0) aside += format(u".%d", copy);
        if (platform::renameFileWithoutReplacing(wideToUtf8(path), wideToUtf8(aside), taken, reason)) {
            allowWriting(path);
            reportFileProblem(function, path, format(u"'%s' is damaged or not ours (%s); kept as '%s', using defaults.", path, why, aside));
            return true;
        }
        if (!taken) break;
    }
    keepUnchanged(path);
    if (taken) {
        reportFileProblem(function, path,
                          format(u"'%s' is damaged or not ours (%s) and could not be kept aside: '%s.bad' to '%s' are all taken; it is "
                                 u"left in place and not overwritten in this run, using defaults. Move the older copies away to keep it.",
                                 path, why, path, aside));
        return false;
    }
    reportFileProblem(function, path,
                      format(u"'%s' is damaged or not ours (%s) and could not be kept aside as '%s' (%hs); it is left in place and "
                             u"not overwritten in this run, using defaults.",
                             path, why, aside, reason));
    return false;
}
