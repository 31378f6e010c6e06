#pragma once
// Encodes float samples as Ogg Vorbis in memory, deterministically (a fixed stream serial). The
// data generator encodes the game's sounds and music with it, the tests their sound files.

#include <cstdint>
#include <vector>

namespace datagen {

// Interleaved samples in [-1, 1] (clamped) of 'channels' channels at 'rate' samples a second.
// quality: libvorbisenc's VBR quality (-0.1 .. 1.0). encoderTag, when given, is written as the
// ENCODER comment.
std::vector<uint8_t> encodeOgg(const std::vector<float>& interleaved, int channels, int rate, float quality, uint32_t serial,
                               const char* encoderTag = nullptr);

}  // namespace datagen
