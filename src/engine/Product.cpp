#include "engine/Product.h"

#include <cstring>

#include "engine/Utilities.h"

WString getProductName() { return u"VeskDiruzuri"; }
WString getMakerName() { return u"Morvane studios"; }
WString getProductVersion() { return u"1.47"; }
WString getProductPatch() { return u"o"; }
WString getDataArchiveFolder() { return getProgramFolderPath(); }

WString getUserDataPath() { return getUserDataFolder(); }
WString getCrashDumpPath() { return getUserDataPath() + u"crash." + getProductName() + u".mdmp"; }
WString getCrashScreenshotPath() { return getUserDataPath() + u"crash." + getProductName() + u".jpg"; }
WString getCrashLogPath() { return getUserDataPath() + u"crash." + getProductName() + u".log"; }
WString getCrashNetPath() { return getUserDataPath() + u"crash." + getProductName() + u".net"; }

void setFixedText(char* field, size_t fieldSize, WStringView text) {
    if (fieldSize == 0) return;
    std::string utf8 = wideToUtf8(text);
    while (utf8.size() > fieldSize - 1) {
        text.remove_suffix(1);
        utf8 = wideToUtf8(text);
    }
    std::memcpy(field, utf8.c_str(), utf8.size() + 1);
}
