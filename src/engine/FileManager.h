#pragma once
// Hands out readable streams for file names, from disk or from the mounted WAD archives, and
// builds archives in archive-creation mode.
//
// Lookups go to the archives while bUseWad is set and bForceDisk is not; otherwise to disk. There
// is no fallback from one source to the other. When two archives hold a name, the archive mounted
// first wins. In archive-creation mode the program runs on loose files; every file read is recorded
// under the archive name last given to useWad, and the archives are written at destruction.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/ClassRecord.h"
#include "engine/Text.h"
#include "engine/WadFile.h"

class Stream;
class FileStream;

class FileManager {
    QEL_DECLARE_ROOT_CLASS()
public:
    explicit FileManager(bool createWad = false);
    virtual ~FileManager();

    // A stream owned by the caller; 'outSize' (may be null) receives the bytes of the file or
    // entry. A missing file is fatal.
    Stream* open(int* outSize, WStringView name);
    FileStream* openDisk(int* outSize, WStringView name);
    Stream* openWad(int* outSize, WStringView name);

    // Where the bytes of a file lie on disk, for a reader that reads them itself as it goes: the
    // disk path, the offset of the file's bytes in it and their count. False when they are not
    // stored as they are (a compressed archive entry) or in archive-creation mode (the archive
    // being built must see the file read). A missing file is fatal, by the rule of open.
    bool locate(WStringView name, WString& path, int64_t& offset, int64_t& size);
    bool exists(WStringView name);
    bool existsDisk(WStringView name);
    bool existsWad(WStringView name);
    // Fatal when the file is missing, by the rule of open.
    void verifyFile(WStringView name);
    void verifyFileDisk(WStringView name);
    void verifyFileWad(WStringView name);
    // The name, or "override.hq2x/" + name when the hq2x setting is 2 and that file exists.
    WString getDiskPath(WStringView name);

    // Mounts an archive (or, in creation mode, makes it the archive new files are recorded under).
    void useWad(WStringView name);
    // Writes one recorded archive to wadOutputFolder + the archive's file name (+ ".z" when
    // compressed), creating the folder.
    void saveSubWad(bool compress, WStringView archiveName);
    void saveAllSubWads();

    // Signed user files: folder + "/" + name, sealed with hashText(name + keyText). Saving writes
    // through a temporary file renamed into place; it returns success, and a failure is reported
    // (reportFileProblem) with the path and the system's reason while the old file stays as it
    // was. A path kept unchanged (keepUnchanged) is not written. Loading is true only when the
    // file's seal holds and its payload is exactly 'size' bytes; the destination is untouched
    // otherwise.
    static bool saveSignedFile(WStringView folder, WStringView name, WStringView keyText, const void* data, int size);
    static bool loadSignedFile(WStringView folder, WStringView name, WStringView keyText, void* destination, int size);
    // folder + "/" + name, without doubling a separator that ends the folder.
    static WString signedFilePath(WStringView folder, WStringView name);
    // What reading a signed file found; 'reason' says why it was not LOADED.
    enum class LoadResult {
        LOADED,
        MISSING,     // no file there
        UNREADABLE,  // something is there that could not be read (permissions, I/O error, a pipe...)
        DAMAGED,     // read, but its seal, size or payload is not right
    };
    static LoadResult readSignedFile(WStringView folder, WStringView name, WStringView keyText, void* destination, int size,
                                     WString& reason);

    // The player's files (settings, profiles, high scores, the log). A problem with one is logged
    // under 'function' and, the first time for that path in this run, also written to standard
    // error: the log may be the very file that cannot be written.
    static void reportFileProblem(const char16_t* function, WStringView path, WStringView message);
    // A file that exists but could not be read is never overwritten in this run: the program
    // plays with defaults in memory and leaves the player's file as it is. Process-wide, so the
    // mark also holds across an engine restart until a later read succeeds (allowWriting).
    static void keepUnchanged(WStringView path);
    static void allowWriting(WStringView path);
    static bool isKeptUnchanged(WStringView path);
    // Renames a refused file aside and reports what happened: ".bad" added, or ".bad.1" up to
    // ".bad.<MAX_SET_ASIDE_COPIES - 1>" when earlier copies are there (none is ever replaced). When
    // every name is taken or the rename fails, the file is kept unchanged instead. True when set
    // aside.
    static bool setAside(const char16_t* function, WStringView path, WStringView why);
    static constexpr int MAX_SET_ASIDE_COPIES = 10;

    // Removes the temporary files that writes through a temporary file (".tmp" added) left in
    // 'folder' when the program was killed: regular files named X + ".tmp" where isOwnFile(X)
    // holds. Anything else (a folder or link under such a name, any other file) is left alone.
    // Each removal, and each one that fails, is logged.
    static void removeLeftoverTemporaryFiles(WStringView folder, bool (*isOwnFile)(WStringView name));

    // h = h * 33 + c over the UTF-16 units, from 0, wrapping at 32 bits.
    static uint32_t hashText(WStringView text);

    bool bForceDisk = false;
    bool bCreateWad = false;
    bool bUseWad = true;
    std::unordered_map<WString, WadFile::Entry> directory;
    WString currentWadName;
    std::vector<WadFile*> wadFiles;
    // Names recorded in creation mode, in the order they were first read.
    std::vector<WString> recorded;
    WString wadOutputFolder = u"./wad/win/";

    // Settings of the engine object that the file lookups follow, copied by the engine after it
    // reads its settings: the graphics "hq2x" mode, whether debug features are locked and whether
    // resources that allow it load on first use.
    int hq2x = 0;
    bool bDebugLocked = true;
    bool bEnableDelayedLoad = false;
};
