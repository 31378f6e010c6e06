#include "ui/UserFiles.h"

#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"
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

namespace {

bool isHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); }

WString fileNameOf(const WString& path) { return path.substr(path.find_last_of(u'/') + 1); }

}  // namespace

bool isOwnUserFileName(WStringView name) {
    const WString profiles = ProfileManager::getProfilesFileName();
    for (const WString& own : {Qel::getConfigFileName(), profiles, GameConfiguration::getConfigurationFileName(),
                               fileNameOf(getCrashLogPath()), fileNameOf(getCrashScreenshotPath())})
        if (name == own) return true;
    // A saved game: the profiles' name, a dot and the profile's number in eight hex digits.
    if (name.size() == profiles.size() + 9 && name.starts_with(profiles) && name[profiles.size()] == u'.') {
        bool hex = true;
        for (size_t i = profiles.size() + 1; i < name.size(); ++i) hex = hex && isHexDigit(name[i]);
        if (hex) return true;
    }
    // A screenshot: the product's name, a space, the time and ".bmp" or ".tga".
    const WString shot = getProductName() + u" ";
    return name.starts_with(shot) && (name.ends_with(u".bmp") || name.ends_with(u".tga"));
}

void removeLeftoverTemporaryFiles() {
    FileManager::removeLeftoverTemporaryFiles(getUserDataFolder(), [](WStringView name) { return isOwnUserFileName(name); });
}
