// The mixer on plain buffers: pitch, pan, slides, channel limits, stale handles and streams.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/PcmSource.h"
#include "support/OggEncoder.h"

using platform::AudioMixer;
using platform::PcmData;
using platform::PcmSource;

namespace {

std::shared_ptr<PcmData> pcm(std::vector<float> samples, int channels, int rate) {
    auto p = std::make_shared<PcmData>();
    for (float v : samples) p->samples.push_back(PcmData::quantise(v));
    p->channels = channels;
    p->rate = rate;
    return p;
}

std::shared_ptr<PcmData> constant(float value, int frames, int rate = 8000) {
    return pcm(std::vector<float>(static_cast<size_t>(frames), value), 1, rate);
}

// A ramp whose every frame is distinct: frame i holds (i + 1) / 4096.
std::shared_ptr<PcmData> ramp(int frames, int rate = 8000) {
    std::vector<float> s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) s[i] = static_cast<float>(i + 1) / 4096.0f;
    return pcm(std::move(s), 1, rate);
}

std::vector<int16_t> mix(AudioMixer& mixer, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    mixer.mix(out.data(), frames);
    return out;
}

int16_t level(float v) { return static_cast<int16_t>(std::lround(v * 32767.0f)); }

int zeroCrossings(const std::vector<int16_t>& stereo, int side) {
    int n = 0;
    for (size_t i = 2 + side; i < stereo.size(); i += 2)
        if ((stereo[i - 2] < 0) != (stereo[i] < 0)) ++n;
    return n;
}

struct Fixture {
    explicit Fixture(std::shared_ptr<PcmData> data, DWORD max = 4, DWORD flags = BASS_SAMPLE_OVER_POS, int rate = 8000)
        : mixer(rate) {
        EXPECT_EQ(mixer.addSample(std::move(data), max, flags, sample), BASS_OK);
    }
    HCHANNEL start() {
        HCHANNEL c = 0;
        EXPECT_EQ(mixer.getChannel(sample, false, c), BASS_OK);
        EXPECT_EQ(mixer.play(c, false), BASS_OK);
        return c;
    }
    AudioMixer mixer;
    HSAMPLE sample = 0;
};

}  // namespace

TEST(AudioMixer, PitchFollowsTheFrequencyAttribute) {
    struct Case {
        int sampleRate;
        float frequency;
        double expectedHz;
    } cases[] = {
        {44100, 0, 441},       // 0: the sample's own rate
        {44100, 88200, 882},   // twice the rate: an octave up
        {44100, 22050, 220.5}, // half the rate
        {22050, 0, 441},       // a slower sample at its own rate keeps its pitch
        {22050, 44100, 882},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.frequency);
        // A tone of 441 Hz at the sample's rate, long enough not to end.
        Fixture f(pcm(makeTone(441.0, k.sampleRate, k.sampleRate * 4), 1,
                      k.sampleRate),
                  4, BASS_SAMPLE_OVER_POS, 44100);
        HCHANNEL c = f.start();
        ASSERT_EQ(f.mixer.setAttribute(c, BASS_ATTRIB_FREQ, k.frequency), BASS_OK);
        auto out = mix(f.mixer, 44100);  // one second
        EXPECT_NEAR(zeroCrossings(out, 0) / 2.0, k.expectedHz, 2.0);
        EXPECT_NEAR(zeroCrossings(out, 1) / 2.0, k.expectedHz, 2.0);
    }
}

TEST(AudioMixer, PanAndVolumeGains) {
    struct Case {
        float pan, volume, left, right;
    } cases[] = {
        {-1, 1, 0.5f, 0},     {-0.5f, 1, 0.5f, 0.25f}, {0, 1, 0.5f, 0.5f},
        {0.5f, 1, 0.25f, 0.5f}, {1, 1, 0, 0.5f},       {0, 0.5f, 0.25f, 0.25f},
        {3, 1, 0, 0.5f},      // clamped to the right edge
        {0, 7, 0.5f, 0.5f},   // clamped to full volume
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.pan);
        Fixture f(constant(0.5f, 1000));
        HCHANNEL c = f.start();
        ASSERT_EQ(f.mixer.setAttribute(c, BASS_ATTRIB_PAN, k.pan), BASS_OK);
        ASSERT_EQ(f.mixer.setAttribute(c, BASS_ATTRIB_VOL, k.volume), BASS_OK);
        auto out = mix(f.mixer, 10);
        EXPECT_EQ(out[10], level(k.left));
        EXPECT_EQ(out[11], level(k.right));
    }
}

TEST(AudioMixer, GlobalSampleVolumeScalesSamplesOnly) {
    Fixture f(constant(0.5f, 1000));
    f.start();
    auto stream = std::make_unique<PcmSource>(constant(0.25f, 1000));
    HSTREAM s = 0;
    ASSERT_EQ(f.mixer.addStream(std::move(stream), 0, s), BASS_OK);
    ASSERT_EQ(f.mixer.play(s, true), BASS_OK);
    ASSERT_EQ(f.mixer.setGlobalVolume(BASS_CONFIG_GVOL_SAMPLE, 5000), BASS_OK);
    EXPECT_EQ(f.mixer.setGlobalVolume(BASS_CONFIG_GVOL_STREAM, 10001), BASS_ERROR_ILLPARAM);
    auto out = mix(f.mixer, 4);
    EXPECT_EQ(out[0], level(0.25f + 0.25f));
}

TEST(AudioMixer, SlidesMoveInAStraightLine) {
    struct Case {
        DWORD attrib;
        float from, to;
    } cases[] = {
        {BASS_ATTRIB_VOL, 1, 0.2f},
        {BASS_ATTRIB_PAN, -1, 1},
        {BASS_ATTRIB_FREQ, 8000, 16000},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.attrib);
        Fixture f(constant(0.5f, 100000));
        HCHANNEL c = f.start();
        ASSERT_EQ(f.mixer.setAttribute(c, k.attrib, k.from), BASS_OK);
        ASSERT_EQ(f.mixer.slideAttribute(c, k.attrib, k.to, 1000), BASS_OK);  // 8000 output frames
        for (int quarter = 1; quarter <= 4; ++quarter) {
            mix(f.mixer, 2000);
            float value = 0;
            ASSERT_EQ(f.mixer.getAttribute(c, k.attrib, value), BASS_OK);
            EXPECT_NEAR(value, k.from + (k.to - k.from) * quarter / 4.0f, std::fabs(k.to - k.from) * 1e-4f);
        }
        mix(f.mixer, 100);  // the slide is over: the value stays
        float value = 0;
        f.mixer.getAttribute(c, k.attrib, value);
        EXPECT_FLOAT_EQ(value, k.to);
    }
}

TEST(AudioMixer, VolumeSlideShapesTheOutputFrameByFrame) {
    Fixture f(constant(0.5f, 100000));
    HCHANNEL c = f.start();
    ASSERT_EQ(f.mixer.slideAttribute(c, BASS_ATTRIB_VOL, 0, 100), BASS_OK);  // 800 frames
    auto out = mix(f.mixer, 1000);
    for (int i : {0, 199, 399, 599, 798})
        EXPECT_NEAR(out[2 * i], 0.5f * (1.0f - (i + 1) / 800.0f) * 32767.0f, 1.0) << i;
    EXPECT_EQ(out[2 * 900], 0);
    DWORD state = 0;
    EXPECT_EQ(f.mixer.isActive(c, state), BASS_OK);  // a slide to 0 keeps the channel
    EXPECT_EQ(state, BASS_ACTIVE_PLAYING);
}

TEST(AudioMixer, NegativeVolumeSlideFadesOutAndStops) {
    Fixture f(constant(0.5f, 100000));
    HCHANNEL c = f.start();
    ASSERT_EQ(f.mixer.slideAttribute(c, BASS_ATTRIB_VOL, -0.001f, 100), BASS_OK);
    auto out = mix(f.mixer, 400);
    EXPECT_NEAR(out[2 * 399], 0.5f * (1.0f - 400 / 800.0f) * 32767.0f, 1.0);
    mix(f.mixer, 400);
    DWORD state = 1;
    EXPECT_EQ(f.mixer.isActive(c, state), BASS_ERROR_HANDLE);  // a stopped sample channel is released
    std::vector<HCHANNEL> left;
    f.mixer.sampleChannels(f.sample, left);
    EXPECT_TRUE(left.empty());

    // A stream stops and stays.
    HSTREAM s = 0;
    ASSERT_EQ(f.mixer.addStream(std::make_unique<PcmSource>(constant(0.5f, 100000)), 0, s), BASS_OK);
    f.mixer.play(s, true);
    f.mixer.slideAttribute(s, BASS_ATTRIB_VOL, -1, 50);
    mix(f.mixer, 401);
    EXPECT_EQ(f.mixer.isActive(s, state), BASS_OK);
    EXPECT_EQ(state, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(mix(f.mixer, 4)[0], 0);
}

TEST(AudioMixer, ChannelLimitTakesOverTheChannelFurthestIntoTheSample) {
    Fixture f(ramp(100000), 2, BASS_SAMPLE_OVER_POS | BASS_SAMPLE_VAM);
    HCHANNEL first = f.start();
    mix(f.mixer, 500);
    HCHANNEL second = f.start();
    mix(f.mixer, 100);
    HCHANNEL third = f.start();
    EXPECT_NE(third, first);
    DWORD state = 0;
    EXPECT_EQ(f.mixer.isActive(first, state), BASS_ERROR_HANDLE);
    EXPECT_EQ(f.mixer.isActive(second, state), BASS_OK);
    QWORD pos = 0;
    f.mixer.position(second, pos);
    EXPECT_EQ(pos, 100u * 2);
    std::vector<HCHANNEL> list;
    f.mixer.sampleChannels(f.sample, list);
    EXPECT_EQ(list.size(), 2u);

    // Without the take-over flag a full sample refuses, and nothing is cut off.
    Fixture g(ramp(1000), 1, 0);
    HCHANNEL only = g.start();
    HCHANNEL none = 1;
    EXPECT_EQ(g.mixer.getChannel(g.sample, false, none), BASS_ERROR_NOCHAN);
    EXPECT_EQ(none, 0u);
    EXPECT_EQ(g.mixer.isActive(only, state), BASS_OK);
}

TEST(AudioMixer, StaleHandlesFailWithoutEffect) {
    Fixture f(constant(0.5f, 100));
    HCHANNEL finished = f.start();
    HCHANNEL stopped = f.start();
    ASSERT_EQ(f.mixer.stop(stopped), BASS_OK);
    mix(f.mixer, 150);  // 'finished' runs out
    HCHANNEL live = f.start();
    HSAMPLE freedSample = 0;
    ASSERT_EQ(f.mixer.addSample(constant(0.1f, 10), 1, 0, freedSample), BASS_OK);
    ASSERT_EQ(f.mixer.freeSample(freedSample), BASS_OK);
    f.mixer.setAttribute(live, BASS_ATTRIB_VOL, 0.5f);

    for (DWORD stale : {finished, stopped, freedSample, DWORD{0}, DWORD{999999}}) {
        SCOPED_TRACE(stale);
        float value = 0;
        QWORD bytes = 0;
        DWORD state = 0;
        HCHANNEL c = 0;
        BASS_SAMPLE info{};
        EXPECT_EQ(f.mixer.play(stale, true), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.stop(stale), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.setAttribute(stale, BASS_ATTRIB_VOL, 0), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.slideAttribute(stale, BASS_ATTRIB_VOL, -1, 10), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.getAttribute(stale, BASS_ATTRIB_VOL, value), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.position(stale, bytes), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.setPosition(stale, 0), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.isActive(stale, state), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.freeStream(stale), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.freeSample(stale), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.getChannel(stale, false, c), BASS_ERROR_HANDLE);
        EXPECT_EQ(f.mixer.sampleInfo(stale, info), BASS_ERROR_HANDLE);
    }
    // The live channel is untouched.
    float volume = 0;
    ASSERT_EQ(f.mixer.getAttribute(live, BASS_ATTRIB_VOL, volume), BASS_OK);
    EXPECT_FLOAT_EQ(volume, 0.5f);
    EXPECT_EQ(mix(f.mixer, 2)[0], level(0.25f));
    // A sample's handle is not a stream's.
    EXPECT_EQ(f.mixer.freeStream(live), BASS_ERROR_HANDLE);
}

TEST(AudioMixer, LoopingStreamIsSeamlessAndReportsItsPosition) {
    const int n = 1000;
    auto data = ramp(n);
    AudioMixer mixer(8000);
    HSTREAM s = 0;
    ASSERT_EQ(mixer.addStream(std::make_unique<PcmSource>(data), BASS_SAMPLE_LOOP, s), BASS_OK);
    QWORD length = 0;
    mixer.length(s, length);
    EXPECT_EQ(length, QWORD{n} * 2);
    ASSERT_EQ(mixer.play(s, true), BASS_OK);
    int played = 0;
    for (int block : {700, 700, 700, 401}) {
        auto out = mix(mixer, block);
        for (int i = 0; i < block; ++i) {
            ASSERT_EQ(out[2 * i], level(data->sample((played + i) % n))) << played + i;
        }
        played += block;
        QWORD pos = 0;
        mixer.position(s, pos);
        EXPECT_EQ(pos, QWORD(played % n) * 2) << played;
    }
    DWORD state = 0;
    mixer.isActive(s, state);
    EXPECT_EQ(state, BASS_ACTIVE_PLAYING);
}

TEST(AudioMixer, StreamEndsSeeksAndPlaysAgain) {
    const int n = 1000;
    auto data = ramp(n);
    AudioMixer mixer(8000);
    HSTREAM s = 0;
    ASSERT_EQ(mixer.addStream(std::make_unique<PcmSource>(data), 0, s), BASS_OK);
    ASSERT_EQ(mixer.setPosition(s, 600 * 2), BASS_OK);
    EXPECT_EQ(mixer.setPosition(s, QWORD{n + 1} * 2), BASS_ERROR_POSITION);
    mixer.play(s, false);
    auto out = mix(mixer, 500);
    EXPECT_EQ(out[0], level(data->sample(600)));
    EXPECT_EQ(out[2 * 399], level(data->sample(999)));
    EXPECT_EQ(out[2 * 400], 0);
    DWORD state = 1;
    mixer.isActive(s, state);
    EXPECT_EQ(state, BASS_ACTIVE_STOPPED);
    // A stream that ran out starts again from the beginning.
    mixer.play(s, false);
    EXPECT_EQ(mix(mixer, 1)[0], level(data->sample(0)));
    // A stopped stream keeps its place.
    mix(mixer, 99);
    mixer.stop(s);
    mixer.play(s, false);
    EXPECT_EQ(mix(mixer, 1)[0], level(data->sample(100)));
    // The very end is a valid place: the stream ends there at once, a looping one goes on at 0.
    ASSERT_EQ(mixer.setPosition(s, QWORD{n} * 2), BASS_OK);
    EXPECT_EQ(mix(mixer, 1)[0], 0);
    mixer.isActive(s, state);
    EXPECT_EQ(state, BASS_ACTIVE_STOPPED);
    HSTREAM looping = 0;
    mixer.addStream(std::make_unique<PcmSource>(data), BASS_SAMPLE_LOOP, looping);
    ASSERT_EQ(mixer.setPosition(looping, QWORD{n} * 2), BASS_OK);
    mixer.play(looping, false);
    EXPECT_EQ(mix(mixer, 1)[0], level(data->sample(0)));
}

TEST(AudioMixer, NothingMovesWhileTheOutputIsPaused) {
    Fixture f(ramp(10000));
    HCHANNEL c = f.start();
    f.mixer.slideAttribute(c, BASS_ATTRIB_VOL, 0, 1000);
    mix(f.mixer, 100);
    f.mixer.setRunning(false);
    auto out = mix(f.mixer, 1000);
    for (int16_t v : out) ASSERT_EQ(v, 0);
    QWORD pos = 0;
    f.mixer.position(c, pos);
    EXPECT_EQ(pos, 100u * 2);
    float volume = 0;
    f.mixer.getAttribute(c, BASS_ATTRIB_VOL, volume);
    EXPECT_NEAR(volume, 1.0f - 100 / 8000.0f, 1e-5f);
    DWORD state = 0;
    f.mixer.isActive(c, state);
    EXPECT_EQ(state, BASS_ACTIVE_PLAYING);
    f.mixer.setRunning(true);
    EXPECT_EQ(mix(f.mixer, 1)[0], level(101.0f / 4096.0f * (1.0f - 101 / 8000.0f)));
}

TEST(AudioMixer, StopAllStopsEveryChannel) {
    Fixture f(constant(0.5f, 10000));
    HCHANNEL c = f.start();
    HSTREAM s = 0;
    f.mixer.addStream(std::make_unique<PcmSource>(constant(0.5f, 10000)), 0, s);
    f.mixer.play(s, true);
    mix(f.mixer, 10);
    f.mixer.stopAll();
    DWORD state = 1;
    EXPECT_EQ(f.mixer.isActive(c, state), BASS_ERROR_HANDLE);
    EXPECT_EQ(f.mixer.isActive(s, state), BASS_OK);
    EXPECT_EQ(state, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(f.mixer.playingCount(), 0);
}

TEST(AudioMixer, RefusesUnusableSamplesAndValues) {
    AudioMixer mixer(8000);
    HSAMPLE s = 0;
    EXPECT_EQ(mixer.addSample(pcm({}, 1, 8000), 1, 0, s), BASS_ERROR_EMPTY);
    EXPECT_EQ(mixer.addSample(pcm({0, 0, 0}, 3, 8000), 1, 0, s), BASS_ERROR_FORMAT);
    EXPECT_EQ(mixer.addSample(pcm({0}, 1, 0), 1, 0, s), BASS_ERROR_FORMAT);
    EXPECT_EQ(mixer.addSample(pcm({0}, 1, 8000), 0, 0, s), BASS_ERROR_ILLPARAM);
    ASSERT_EQ(mixer.addSample(pcm({0}, 1, 8000), 1, 0, s), BASS_OK);
    HCHANNEL c = 0;
    mixer.getChannel(s, false, c);
    EXPECT_EQ(mixer.setAttribute(c, 99, 1), BASS_ERROR_ILLTYPE);
    EXPECT_EQ(mixer.setAttribute(c, BASS_ATTRIB_FREQ, -1), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(mixer.setAttribute(c, BASS_ATTRIB_VOL, NAN), BASS_ERROR_ILLPARAM);
    ASSERT_EQ(mixer.setAttribute(c, BASS_ATTRIB_FREQ, 5), BASS_OK);
    float f = 0;
    mixer.getAttribute(c, BASS_ATTRIB_FREQ, f);
    EXPECT_EQ(f, 100.0f);  // clamped to the lowest rate
}
