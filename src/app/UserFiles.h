#pragma once
// Reading and writing the player's signed files in the user-data folder.

#include "engine/Text.h"

// Reads a signed user file of exactly 'size' bytes into 'record'. A file that exists but is
// damaged, foreign or of another size is renamed aside (".bad" added, replacing an older one) and
// logged, so that no player loses a file silently; the record is then left as it was.
bool loadUserFile(WStringView fileName, WStringView keyText, void* record, int size);
// Writes a signed user file (through a temporary file renamed into place).
void saveUserFile(WStringView fileName, WStringView keyText, const void* record, int size);
