#pragma once
// Test data for audio: generated tones, encoded to Ogg Vorbis in memory with the data generator's
// encoder.

#include <string>
#include <vector>

// Interleaved frames of a sine tone (every channel the same).
std::vector<float> makeTone(double hz, int rate, int frames, int channels = 1, float amplitude = 0.5f);
// An Ogg Vorbis file of the interleaved frames.
std::string encodeOgg(const std::vector<float>& frames, int channels, int rate);
