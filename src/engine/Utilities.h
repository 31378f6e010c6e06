#pragma once
// Paths, the platform word and version line, the user-data folder, the command line and time
// stamps.

#include <cstdint>
#include <vector>

#include "engine/Text.h"

// The command-line arguments after the program name, filled by the shell at start-up.
extern std::vector<WString> commandLineArgs;

WString getPlatformName();
// "VeskDiruzuri v1.47.o 32bit " (the version line of the log header and the credits).
WString getVersionLine();
// The folder under which the user-data folder lies: $VESK_DATA_HOME when set (tests), else
// $XDG_DATA_HOME, else ~/.local/share of $HOME or, without it, of the account's home folder in the
// password database. Without any home the game plays without saving: standard error says so once
// and the files go to a private temporary folder removed when the program ends.
WString getCommonAppDataFolder();
// getCommonAppDataFolder + "/Morvane studios/VeskDiruzuri/1.47/", each level created when missing.
WString getUserDataFolder();
// Creates one folder, readable by everyone and writable by its owner; reports nothing.
void createFolder(WStringView path);
bool fileExists(WStringView path);
// Writes a whole file through a temporary file beside it, synced and then renamed into place, so
// that a crash or a full disk never leaves a half-written file; returns success. On failure any
// old file at the path is left as it was and 'reason' (when given) names the step, the file and
// the system's reason.
bool writeFileAtomically(WStringView path, const void* data, size_t size, WString* reason = nullptr);
// Copies a file, replacing an existing target, through a temporary file; returns success.
bool copyFile(WStringView source, WStringView target, WString* reason = nullptr);
// Writes "<product>: <line>" to standard error, only the first time for each key in this run (a
// problem with a file is said once, not at every attempt).
void writeStandardErrorOnce(WStringView key, WStringView line);
WString getCurrentFolder();
WString getProgramFolder();
WString getProgramFolderPath();
// The ISO 639 code of the user's language ("en" when unknown).
WString getSystemLanguageCode();
void sleepMilliseconds(uint32_t ms);
bool hasCommandLineParameter(WStringView parameter);
// "%Y-%m-%d %H.%M.%S" in UTC.
WString formatTimeStamp(int64_t secondsSince1970);
