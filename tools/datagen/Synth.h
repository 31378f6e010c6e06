#pragma once
// A small deterministic synthesiser for the game's sounds and music: oscillators, envelopes,
// noise, filters and a few instruments, writing into float sample buffers.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int kRate = 44100;

// Mono or stereo float samples in [-1, 1] (interleaved when stereo).
struct Buffer {
    Buffer(int channels, double seconds)
        : channels(channels), frames(static_cast<size_t>(seconds * kRate + 0.5)), samples(frames * static_cast<size_t>(channels), 0.0f) {}
    int channels;
    size_t frames;
    std::vector<float> samples;

    float& at(size_t frame, int channel) { return samples[frame * channels + channel]; }
    // Adds a mono signal at a time offset with a gain and a pan (-1 left .. 1 right); with
    // 'wrap' the part past the end continues from the start (seamless loops).
    void mix(const std::vector<float>& mono, double atSeconds, float gain, float pan = 0.0f, bool wrap = false);
    // Scales so that the loudest sample is 'peak'.
    void normalize(float peak);
    // Short fades at both ends against clicks.
    void fadeEnds(double inSeconds, double outSeconds);
};

// A deterministic noise source.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    float next();  // uniform in [-1, 1)
    float unit();  // uniform in [0, 1)
private:
    uint32_t state;
};

// One-pole and state-variable filters applied in place.
void lowPass(std::vector<float>& s, float cutoffHz);
void highPass(std::vector<float>& s, float cutoffHz);
void bandPass(std::vector<float>& s, float centreHz, float q);

double noteHz(int midiNote);

// Instruments: each returns a mono signal of the given length in seconds.
std::vector<float> bell(double hz, double seconds, float brightness = 1.0f);
std::vector<float> pluck(double hz, double seconds, uint32_t seed, float damping = 0.996f);
std::vector<float> softSquare(double hz, double seconds, float attack, float release);
std::vector<float> sine(double hzStart, double hzEnd, double seconds);
std::vector<float> noiseBurst(double seconds, uint32_t seed, float decayPerSecond);
std::vector<float> steamWhistle(double seconds, double baseHz, uint32_t seed);
std::vector<float> sleighBells(double seconds, uint32_t seed);
std::vector<float> clap(uint32_t seed);
std::vector<float> kick(double seconds);

// Multiplies by an attack-decay envelope (linear attack, exponential decay to silence).
void envelope(std::vector<float>& s, double attack, double decayPerSecond);
void gain(std::vector<float>& s, float g);
void addInto(std::vector<float>& into, const std::vector<float>& s, double atSeconds, float g = 1.0f);

}  // namespace synth
