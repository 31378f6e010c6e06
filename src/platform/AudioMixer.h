#pragma once
// The mixer behind the audio library: samples, their channels and streams, mixed into 16-bit
// stereo output. It knows no device and no clock: everything advances only as output is mixed,
// so it is driven and inspected on plain buffers. Not thread-safe: the library locks around it.
//
// Each call returns a library error code (BASS_OK on success).

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/AudioLibrary.h"
#include "platform/AudioSource.h"
#include "platform/PcmSource.h"

namespace platform {

class AudioMixer {
public:
    explicit AudioMixer(int outputRate);

    int outputRate() const { return rate; }

    int addSample(std::shared_ptr<const PcmData> pcm, DWORD max, DWORD flags, HSAMPLE& handle);
    int freeSample(HSAMPLE handle);
    int sampleInfo(HSAMPLE handle, BASS_SAMPLE& info) const;
    int sampleChannels(HSAMPLE handle, std::vector<HCHANNEL>& channels) const;
    // A new channel of the sample. When max channels exist: with BASS_SAMPLE_OVER_POS (and not
    // onlyNew) the channel furthest into the sample is taken over (its handle goes stale);
    // otherwise BASS_ERROR_NOCHAN.
    int getChannel(HSAMPLE handle, bool onlyNew, HCHANNEL& channel);

    // Takes a source whose frames play at its own rate; BASS_SAMPLE_LOOP loops it.
    int addStream(std::unique_ptr<AudioSource> source, DWORD flags, HSTREAM& handle);
    int freeStream(HSTREAM handle);

    int play(DWORD handle, bool restart);
    // A sample channel is released; a stream keeps its position.
    int stop(DWORD handle);
    int isActive(DWORD handle, DWORD& state) const;
    int setAttribute(DWORD handle, DWORD attrib, float value);
    int getAttribute(DWORD handle, DWORD attrib, float& value) const;
    // A straight line from the current value to the target over timeMs of output; a negative
    // volume target fades to 0 and then stops the channel. Time 0 sets at once.
    int slideAttribute(DWORD handle, DWORD attrib, float value, DWORD timeMs);
    int length(DWORD handle, QWORD& bytes) const;
    int position(DWORD handle, QWORD& bytes) const;
    int setPosition(DWORD handle, QWORD bytes);

    // Global volumes (BASS_CONFIG_GVOL_*), 0..10000.
    int setGlobalVolume(DWORD option, DWORD value);
    DWORD globalVolume(DWORD option) const;

    // While not running, mix writes silence and nothing moves.
    void setRunning(bool run) { running = run; }
    bool isRunning() const { return running; }
    // Stops every channel, as the library's BASS_Stop.
    void stopAll();

    void mix(int16_t* out, int frames);

    // Counts, for the output's description.
    int sampleCount() const { return static_cast<int>(samples.size()); }
    int playingCount() const;

private:
    struct Sample {
        std::shared_ptr<const PcmData> pcm;
        DWORD max = 1;
        DWORD flags = 0;
        std::vector<HCHANNEL> channels;
    };
    struct Slide {
        bool active = false;
        float from = 0, to = 0;
        uint64_t total = 0, done = 0;
    };
    struct Channel {
        HSAMPLE sample = 0;  // 0 for a stream
        std::unique_ptr<AudioSource> source;
        bool loop = false;
        bool playing = false;
        float freq = 0;  // 0: the source's own rate
        float volume = 1, pan = 0;
        Slide slides[3];     // frequency, volume, pan
        bool stopAtSlideEnd = false;
        bool primed = false;
        bool ended = false;
        bool nextValid = false;
        float cur[2] = {0, 0}, next[2] = {0, 0};
        uint64_t curIndex = 0, nextIndex = 0;
        double frac = 0;
    };

    DWORD newHandle() { return nextHandle++; }
    Channel* findChannel(DWORD handle);
    const Channel* findChannel(DWORD handle) const;
    void releaseChannel(DWORD handle);
    float& attribute(Channel& c, DWORD attrib);
    uint64_t positionFrames(const Channel& c) const;
    bool fetch(Channel& c, float* frame, uint64_t& index);
    // Mixes one channel into acc (stereo floats); false when the channel ended.
    bool mixChannel(Channel& c, float* acc, int frames);
    int bytesPerFrame(const Channel& c) const { return c.source->channels() * 2; }

    int rate;
    bool running = true;
    DWORD nextHandle = 1;
    DWORD gvol[3] = {10000, 10000, 10000};
    std::map<HSAMPLE, Sample> samples;
    std::map<DWORD, Channel> channels;
    std::vector<float> accumulator;
};

}  // namespace platform
