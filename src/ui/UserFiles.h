#pragma once
// Reading and writing the player's signed files in the user-data folder.

#include "engine/Text.h"

// Reads a signed user file of exactly 'size' bytes into 'record'; true when it was read. No player
// loses a file silently: a file that is damaged, foreign or of another size is renamed aside
// (".bad" added, or ".bad.1" and so on beside older copies) and reported; a file that exists but
// cannot be read (permissions, an I/O error, a pipe, a folder or a link to nothing in its place) is
// reported and never overwritten in this run. In both cases the record is left as it was (its
// defaults).
bool loadUserFile(WStringView fileName, WStringView keyText, void* record, int size);
// Writes a signed user file (through a temporary file renamed into place); false, reported with
// the reason, when it could not be written or the file is kept unchanged in this run.
bool saveUserFile(WStringView fileName, WStringView keyText, const void* record, int size);

// Whether a file name in the user-data folder is one of the player's files that the program writes
// through a temporary file: the settings, profiles and high scores, a saved game, the crash files
// and screenshots.
bool isOwnUserFileName(WStringView name);
// Removes what writes of those files left behind when the program was killed in the middle of one
// (each file's name with ".tmp" added). Called at start, while this copy holds the instance lock.
void removeLeftoverTemporaryFiles();
