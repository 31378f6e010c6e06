#include "app/UserFiles.h"

#include <cstdio>

#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Utilities.h"

bool loadUserFile(WStringView fileName, WStringView keyText, void* record, int size) {
    const WString folder = getUserDataFolder();
    if (FileManager::loadSignedFile(folder, fileName, keyText, record, size)) return true;
    const WString path = folder + WString(fileName);
    if (fileExists(path)) {
        const WString aside = path + u".bad";
        std::rename(wideToUtf8(path).c_str(), wideToUtf8(aside).c_str());
        qelLog(u"loadUserFile", u"'%s' is damaged or not ours; kept as '%s', using defaults.", path, aside);
    }
    return false;
}

void saveUserFile(WStringView fileName, WStringView keyText, const void* record, int size) {
    FileManager::saveSignedFile(getUserDataFolder(), fileName, keyText, record, size);
}
