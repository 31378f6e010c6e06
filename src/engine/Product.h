#pragma once
// The product's names and the paths built from them.

#include "engine/Text.h"

// "VeskDiruzuri": the base of the log, settings, archive and crash file names.
WString getProductName();
// "Morvane studios", the maker's folder in the user-data path.
WString getMakerName();
// "1.47" and the patch letter "o".
WString getProductVersion();
WString getProductPatch();
// The program's folder + "/": where ".cfg.static" and the data archives lie.
WString getDataArchiveFolder();

// The user-data folder (ending in "/") and the crash files in it.
WString getUserDataPath();
WString getCrashDumpPath();
WString getCrashScreenshotPath();
WString getCrashLogPath();
// Network traffic of a crashed run: sent with a crash report when present (nothing writes it).
WString getCrashNetPath();

// Store text as NUL-ended UTF-8 in a fixed character field, dropping trailing UTF-16 units until
// it fits in size - 1 bytes. The bytes after the terminator are left as they were.
void setFixedText(char* field, size_t fieldSize, WStringView text);
inline void setFixedText256(char* field, WStringView text) { setFixedText(field, 256, text); }
inline void setFixedText32(char* field, WStringView text) { setFixedText(field, 32, text); }
inline void setFixedText16(char* field, WStringView text) { setFixedText(field, 16, text); }
