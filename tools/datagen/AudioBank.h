#pragma once
// The game's sound effects and music, synthesised and encoded as Ogg Vorbis.

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/Synth.h"

namespace datagen {

struct AudioFile {
    std::string name;  // archive name, e.g. "sfx/pop.ogg"
    bool music;
    synth::Buffer (*make)();
};

// Every sound and music file the game loads, in a fixed order.
const std::vector<AudioFile>& audioFiles();

}  // namespace datagen
