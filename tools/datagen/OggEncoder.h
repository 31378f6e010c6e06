#pragma once
// Encodes float samples as Ogg Vorbis in memory, deterministically (fixed stream serial).

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/Synth.h"

namespace datagen {

// quality: libvorbisenc's VBR quality (-0.1 .. 1.0).
std::vector<uint8_t> encodeOgg(const synth::Buffer& buffer, float quality, uint32_t serial);

}  // namespace datagen
