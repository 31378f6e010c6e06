#include "ui/UserFiles.h"

#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Utilities.h"

bool loadUserFile(WStringView fileName, WStringView keyText, void* record, int size) {
    const char16_t* fn = u"loadUserFile";
    const WString folder = getUserDataFolder();
    const WString path = FileManager::signedFilePath(folder, fileName);
    WString reason;
    switch (FileManager::readSignedFile(folder, fileName, keyText, record, size, reason)) {
        case FileManager::LoadResult::LOADED:
            FileManager::allowWriting(path);
            return true;
        case FileManager::LoadResult::MISSING:
            FileManager::allowWriting(path);
            return false;
        case FileManager::LoadResult::UNREADABLE:
            // Treating it as missing would let the next save write empty defaults over it.
            FileManager::keepUnchanged(path);
            FileManager::reportFileProblem(
                fn, path, format(u"'%s' cannot be read (%s); using defaults, and the file is not overwritten in this run.", path, reason));
            return false;
        case FileManager::LoadResult::DAMAGED:
            FileManager::setAside(fn, path, reason);
            return false;
    }
    return false;
}

bool saveUserFile(WStringView fileName, WStringView keyText, const void* record, int size) {
    return FileManager::saveSignedFile(getUserDataFolder(), fileName, keyText, record, size);
}
