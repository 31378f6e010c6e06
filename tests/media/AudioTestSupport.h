#pragma once
// Shared set-up of the audio tests: generated Ogg files served by name through the audio hooks,
// a steppable game time and output mixed on demand.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/Text.h"

class Qel;

namespace audiotest {

// Files the hooks serve, by name; reads counted.
extern std::map<WString, std::string> files;
extern int reads;
extern double now;

// Installs the hooks (files, game time, layout width 800, immediate loading).
void installHooks();
// A tone file of the given length, added to 'files' under name.
const std::string& addTone(const WString& name, int rate, int frames, int channels = 1, double hz = 441);
// Mixes output frames through the library (the silent device is driven by hand).
std::vector<int16_t> pump(int frames);
// An engine whose own audio service is taken away, so that a test can make and drive its own.
Qel* makeEngineWithoutAudio();
// The engine's log text.
std::string logText();

}  // namespace audiotest
