#include "platform/AudioMixer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr float minFrequency = 100.0f;
constexpr float maxFrequency = 200000.0f;

int slot(DWORD attrib) { return static_cast<int>(attrib) - 1; }

bool validAttribute(DWORD attrib) {
    return attrib == BASS_ATTRIB_FREQ || attrib == BASS_ATTRIB_VOL || attrib == BASS_ATTRIB_PAN;
}

// The value an attribute is kept at; false when it is not acceptable at all.
bool normalise(DWORD attrib, float& value) {
    if (std::isnan(value)) return false;
    switch (attrib) {
        case BASS_ATTRIB_FREQ:
            if (value < 0) return false;
            if (value > 0) value = std::clamp(value, minFrequency, maxFrequency);
            return true;
        case BASS_ATTRIB_VOL: value = std::clamp(value, 0.0f, 1.0f); return true;
        case BASS_ATTRIB_PAN: value = std::clamp(value, -1.0f, 1.0f); return true;
    }
    return false;
}

}  // namespace

AudioMixer::AudioMixer(int outputRate) : rate(outputRate > 0 ? outputRate : 44100) {}

int AudioMixer::addSample(std::shared_ptr<const PcmData> pcm, DWORD max, DWORD flags, HSAMPLE& handle) {
    handle = 0;
    if (!pcm || pcm->channels < 1 || pcm->channels > 2 || pcm->rate <= 0) return BASS_ERROR_FORMAT;
    if (pcm->frames() == 0) return BASS_ERROR_EMPTY;
    if (pcm->frames() * pcm->channels * 2 > 0x7fffffffu) return BASS_ERROR_MEM;
    if (max < 1 || max > 65535) return BASS_ERROR_ILLPARAM;
    handle = newHandle();
    Sample& s = samples[handle];
    s.pcm = std::move(pcm);
    s.max = max;
    s.flags = flags;
    return BASS_OK;
}

int AudioMixer::freeSample(HSAMPLE handle) {
    auto it = samples.find(handle);
    if (it == samples.end()) return BASS_ERROR_HANDLE;
    for (HCHANNEL c : it->second.channels) channels.erase(c);
    samples.erase(it);
    return BASS_OK;
}

int AudioMixer::sampleInfo(HSAMPLE handle, BASS_SAMPLE& info) const {
    auto it = samples.find(handle);
    if (it == samples.end()) return BASS_ERROR_HANDLE;
    const Sample& s = it->second;
    info = {};
    info.freq = static_cast<DWORD>(s.pcm->rate);
    info.volume = 1.0f;
    info.pan = 0.0f;
    info.flags = s.flags;
    info.length = static_cast<DWORD>(s.pcm->frames() * s.pcm->channels * 2);
    info.max = s.max;
    info.origres = 16;
    info.chans = static_cast<DWORD>(s.pcm->channels);
    return BASS_OK;
}

int AudioMixer::sampleChannels(HSAMPLE handle, std::vector<HCHANNEL>& list) const {
    auto it = samples.find(handle);
    if (it == samples.end()) return BASS_ERROR_HANDLE;
    list = it->second.channels;
    return BASS_OK;
}

int AudioMixer::getChannel(HSAMPLE handle, bool onlyNew, HCHANNEL& channel) {
    channel = 0;
    auto it = samples.find(handle);
    if (it == samples.end()) return BASS_ERROR_HANDLE;
    Sample& s = it->second;
    if (s.channels.size() >= s.max) {
        if (onlyNew || (s.flags & BASS_SAMPLE_OVER_DIST) != BASS_SAMPLE_OVER_POS) return BASS_ERROR_NOCHAN;
        // Take over the channel furthest into the sample (the first of equals).
        HCHANNEL victim = s.channels.front();
        uint64_t furthest = positionFrames(channels.at(victim));
        for (HCHANNEL c : s.channels) {
            uint64_t p = positionFrames(channels.at(c));
            if (p > furthest) {
                furthest = p;
                victim = c;
            }
        }
        releaseChannel(victim);
    }
    channel = newHandle();
    Channel& c = channels[channel];
    c.sample = handle;
    c.source = std::make_unique<PcmSource>(s.pcm);
    c.loop = (s.flags & BASS_SAMPLE_LOOP) != 0;
    s.channels.push_back(channel);
    return BASS_OK;
}

int AudioMixer::addStream(std::unique_ptr<AudioSource> source, DWORD flags, HSTREAM& handle) {
    handle = 0;
    if (!source || source->channels() < 1 || source->channels() > 2 || source->rate() <= 0) return BASS_ERROR_FORMAT;
    handle = newHandle();
    Channel& c = channels[handle];
    c.source = std::move(source);
    c.loop = (flags & BASS_SAMPLE_LOOP) != 0;
    return BASS_OK;
}

int AudioMixer::freeStream(HSTREAM handle) {
    auto it = channels.find(handle);
    if (it == channels.end() || it->second.sample != 0) return BASS_ERROR_HANDLE;
    channels.erase(it);
    return BASS_OK;
}

AudioMixer::Channel* AudioMixer::findChannel(DWORD handle) {
    auto it = channels.find(handle);
    return it == channels.end() ? nullptr : &it->second;
}

const AudioMixer::Channel* AudioMixer::findChannel(DWORD handle) const {
    auto it = channels.find(handle);
    return it == channels.end() ? nullptr : &it->second;
}

void AudioMixer::releaseChannel(DWORD handle) {
    auto it = channels.find(handle);
    if (it == channels.end()) return;
    if (it->second.sample != 0) {
        auto s = samples.find(it->second.sample);
        if (s != samples.end()) std::erase(s->second.channels, handle);
    }
    channels.erase(it);
}

float& AudioMixer::attribute(Channel& c, DWORD attrib) {
    if (attrib == BASS_ATTRIB_FREQ) return c.freq;
    if (attrib == BASS_ATTRIB_VOL) return c.volume;
    return c.pan;
}

uint64_t AudioMixer::positionFrames(const Channel& c) const { return c.primed ? c.curIndex : c.source->tell(); }

int AudioMixer::play(DWORD handle, bool restart) {
    Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    if (restart || c->ended) {
        if (!c->source->seek(0)) return BASS_ERROR_POSITION;
        c->primed = false;
        c->ended = false;
    }
    c->playing = true;
    return BASS_OK;
}

int AudioMixer::stop(DWORD handle) {
    Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    if (c->sample != 0) {
        releaseChannel(handle);
        return BASS_OK;
    }
    c->playing = false;
    for (Slide& s : c->slides) s.active = false;
    c->stopAtSlideEnd = false;
    return BASS_OK;
}

int AudioMixer::isActive(DWORD handle, DWORD& state) const {
    state = BASS_ACTIVE_STOPPED;
    const Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    state = c->playing ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    return BASS_OK;
}

int AudioMixer::setAttribute(DWORD handle, DWORD attrib, float value) {
    Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    if (!validAttribute(attrib)) return BASS_ERROR_ILLTYPE;
    if (!normalise(attrib, value)) return BASS_ERROR_ILLPARAM;
    attribute(*c, attrib) = value;
    c->slides[slot(attrib)].active = false;
    if (attrib == BASS_ATTRIB_VOL) c->stopAtSlideEnd = false;
    return BASS_OK;
}

int AudioMixer::getAttribute(DWORD handle, DWORD attrib, float& value) const {
    const Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    if (!validAttribute(attrib)) return BASS_ERROR_ILLTYPE;
    if (attrib == BASS_ATTRIB_FREQ) value = c->freq > 0 ? c->freq : static_cast<float>(c->source->rate());
    else value = attrib == BASS_ATTRIB_VOL ? c->volume : c->pan;
    return BASS_OK;
}

int AudioMixer::slideAttribute(DWORD handle, DWORD attrib, float value, DWORD timeMs) {
    Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    if (!validAttribute(attrib)) return BASS_ERROR_ILLTYPE;
    bool stopAtEnd = attrib == BASS_ATTRIB_VOL && value < 0;
    if (stopAtEnd) value = 0;
    if (!normalise(attrib, value)) return BASS_ERROR_ILLPARAM;
    float from = attribute(*c, attrib);
    if (attrib == BASS_ATTRIB_FREQ) {
        // 0 stands for the source's own rate: slide from and to the real rate.
        if (from == 0) from = static_cast<float>(c->source->rate());
        if (value == 0) value = static_cast<float>(c->source->rate());
    }
    uint64_t total = static_cast<uint64_t>(timeMs) * static_cast<uint64_t>(rate) / 1000u;
    if (total == 0) {
        attribute(*c, attrib) = value;
        c->slides[slot(attrib)].active = false;
        if (stopAtEnd) return stop(handle);
        if (attrib == BASS_ATTRIB_VOL) c->stopAtSlideEnd = false;
        return BASS_OK;
    }
    attribute(*c, attrib) = from;
    c->slides[slot(attrib)] = Slide{true, from, value, total, 0};
    if (attrib == BASS_ATTRIB_VOL) c->stopAtSlideEnd = stopAtEnd;
    return BASS_OK;
}

int AudioMixer::length(DWORD handle, QWORD& bytes) const {
    bytes = 0;
    const Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    bytes = c->source->lengthFrames() * static_cast<QWORD>(bytesPerFrame(*c));
    return BASS_OK;
}

int AudioMixer::position(DWORD handle, QWORD& bytes) const {
    bytes = 0;
    const Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    bytes = positionFrames(*c) * static_cast<QWORD>(bytesPerFrame(*c));
    return BASS_OK;
}

int AudioMixer::setPosition(DWORD handle, QWORD bytes) {
    Channel* c = findChannel(handle);
    if (!c) return BASS_ERROR_HANDLE;
    uint64_t frame = bytes / static_cast<QWORD>(bytesPerFrame(*c));
    // The very end is a position too: a stream put there ends (or loops) at once.
    if (frame > c->source->lengthFrames() || !c->source->seek(frame)) return BASS_ERROR_POSITION;
    c->primed = false;
    c->ended = false;
    return BASS_OK;
}

int AudioMixer::setGlobalVolume(DWORD option, DWORD value) {
    if (option < BASS_CONFIG_GVOL_SAMPLE || option > BASS_CONFIG_GVOL_MUSIC) return BASS_ERROR_ILLTYPE;
    if (value > 10000) return BASS_ERROR_ILLPARAM;
    gvol[option - BASS_CONFIG_GVOL_SAMPLE] = value;
    return BASS_OK;
}

DWORD AudioMixer::globalVolume(DWORD option) const {
    if (option < BASS_CONFIG_GVOL_SAMPLE || option > BASS_CONFIG_GVOL_MUSIC) return 0;
    return gvol[option - BASS_CONFIG_GVOL_SAMPLE];
}

void AudioMixer::stopAll() {
    std::vector<DWORD> handles;
    for (auto& [h, c] : channels) handles.push_back(h);
    for (DWORD h : handles) {
        Channel* c = findChannel(h);
        if (c && (c->playing || c->sample != 0)) stop(h);
    }
}

int AudioMixer::playingCount() const {
    int n = 0;
    for (auto& [h, c] : channels) n += c.playing ? 1 : 0;
    return n;
}

bool AudioMixer::fetch(Channel& c, float* frame, uint64_t& index) {
    float raw[2];
    index = c.source->tell();
    if (!c.source->readFrame(raw)) {
        // Loop seam: back to frame 0 with nothing left out and nothing repeated.
        if (!c.loop || c.source->lengthFrames() == 0 || !c.source->seek(0)) return false;
        index = 0;
        if (!c.source->readFrame(raw)) return false;
    }
    if (c.source->channels() == 1) raw[1] = raw[0];
    frame[0] = raw[0];
    frame[1] = raw[1];
    return true;
}

bool AudioMixer::mixChannel(Channel& c, float* acc, int frames) {
    if (!c.primed) {
        if (!fetch(c, c.cur, c.curIndex)) return false;
        c.nextValid = fetch(c, c.next, c.nextIndex);
        if (!c.nextValid) c.next[0] = c.next[1] = 0;
        c.frac = 0;
        c.primed = true;
    }
    const float global = static_cast<float>(gvol[c.sample != 0 ? 0 : 1]) / 10000.0f;
    for (int i = 0; i < frames; ++i) {
        // Slides move one output frame at a time.
        for (int a = 0; a < 3; ++a) {
            Slide& s = c.slides[a];
            if (!s.active) continue;
            ++s.done;
            float& value = attribute(c, static_cast<DWORD>(a + 1));
            if (s.done >= s.total) {
                value = s.to;
                s.active = false;
                if (a == 1 && c.stopAtSlideEnd) return false;
            } else {
                value = s.from + (s.to - s.from) * static_cast<float>(static_cast<double>(s.done) / static_cast<double>(s.total));
            }
        }
        const float f = static_cast<float>(c.frac);
        const float gain = c.volume * global;
        const float left = gain * std::min(1.0f, 1.0f - c.pan);
        const float right = gain * std::min(1.0f, 1.0f + c.pan);
        acc[2 * i] += left * (c.cur[0] + (c.next[0] - c.cur[0]) * f);
        acc[2 * i + 1] += right * (c.cur[1] + (c.next[1] - c.cur[1]) * f);

        const double freq = c.freq > 0 ? c.freq : static_cast<double>(c.source->rate());
        c.frac += freq / static_cast<double>(rate);
        while (c.frac >= 1.0) {
            c.frac -= 1.0;
            if (!c.nextValid) return false;
            c.cur[0] = c.next[0];
            c.cur[1] = c.next[1];
            c.curIndex = c.nextIndex;
            c.nextValid = fetch(c, c.next, c.nextIndex);
            if (!c.nextValid) c.next[0] = c.next[1] = 0;
        }
    }
    return true;
}

void AudioMixer::mix(int16_t* out, int frames) {
    if (frames <= 0) return;
    std::fill(out, out + 2 * frames, int16_t{0});
    if (!running) return;
    accumulator.assign(static_cast<size_t>(frames) * 2, 0.0f);
    std::vector<DWORD> ended;
    for (auto& [handle, c] : channels) {
        if (!c.playing) continue;
        if (!mixChannel(c, accumulator.data(), frames)) ended.push_back(handle);
    }
    for (DWORD h : ended) {
        Channel* c = findChannel(h);
        if (!c) continue;
        if (c->sample != 0) {
            releaseChannel(h);
        } else {
            // A stream that ran out (or faded out) stops where it is; one that ran out plays again
            // from the start.
            c->ended = c->ended || !c->nextValid;
            c->playing = false;
            for (Slide& s : c->slides) s.active = false;
            c->stopAtSlideEnd = false;
        }
    }
    for (int i = 0; i < 2 * frames; ++i) {
        float v = std::clamp(accumulator[i], -1.0f, 1.0f);
        out[i] = static_cast<int16_t>(std::lround(v * 32767.0f));
    }
}

}  // namespace platform
