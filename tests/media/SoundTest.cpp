// Sounds and their channels: pitch variants, pan from the layout, minimum interval, limits,
// slides, and the sample's life through device loss and purges.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>

#include "AudioTestSupport.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "media/AudioEnvironment.h"
#include "media/Sound.h"
#include "media/SoundChannel.h"
#include "platform/AudioLibrary.h"

using namespace audiotest;

namespace {

// An engine without an audio service on the hand-driven silent device.
struct Fixture : testing::Test {
    void SetUp() override {
        installHooks();
        engine = makeEngineWithoutAudio();
        ASSERT_TRUE(BASS_Init(0, 22050, 0, nullptr, nullptr));
        addTone(u"sfx/pop.ogg", 22050, 22050);  // one second
    }
    void TearDown() override {
        BASS_Free();
        delete engine;
    }
    // The channels of the sound, oldest first.
    std::vector<HCHANNEL> channels(const Sound& s) {
        std::vector<HCHANNEL> list(64);
        DWORD n = BASS_SampleGetChannels(s.pSample, list.data());
        list.resize(n == static_cast<DWORD>(-1) ? 0 : n);
        return list;
    }
    float attribute(HCHANNEL c, DWORD attrib) {
        float v = -99;
        BASS_ChannelGetAttribute(c, attrib, &v);
        return v;
    }
    Qel* engine = nullptr;
};

using SoundTest = Fixture;

}  // namespace

TEST_F(SoundTest, PitchOperationsSetTheChannelFrequency) {
    Sound pop(0, 16, u"sfx/pop.ogg");
    ASSERT_NE(pop.pSample, 0u);
    EXPECT_EQ(pop.info.freq, 22050u);
    struct Case {
        void (*play)(Sound&);
        float frequency;
    } cases[] = {
        {[](Sound& s) { s.playSemitones(12); }, 22050 * std::pow(1.0595f, 12.0f)},
        {[](Sound& s) { s.playSemitones(-12); }, 22050 / std::pow(1.0595f, 12.0f)},
        {[](Sound& s) { s.playSemitones(0); }, 22050},
        {[](Sound& s) { s.playSemitones(1); }, 22050 * 1.0595f},
        {[](Sound& s) { s.playPitch(2); }, 44100},
        {[](Sound& s) { s.playPitch(44100); }, 44100},  // above 100: a frequency in Hz
        {[](Sound& s) { s.playPitch(-1); }, 22050},     // 0 Hz asked: the sample's own rate
    };
    for (const Case& c : cases) {
        c.play(pop);
        auto list = channels(pop);
        ASSERT_FALSE(list.empty());
        EXPECT_NEAR(attribute(list.back(), BASS_ATTRIB_FREQ), c.frequency, 1.0f);
        EXPECT_EQ(BASS_ChannelIsActive(list.back()), BASS_ACTIVE_PLAYING);
    }
    EXPECT_NEAR(Sound::semitoneFactor(12), 2.0f, 0.002f);
    EXPECT_NEAR(Sound::semitoneFactor(-12) * Sound::semitoneFactor(12), 1.0f, 1e-5f);
}

TEST_F(SoundTest, RandomPitchStepsTheGameGeneratorOnce) {
    Sound pop(0, 16, u"sfx/pop.ogg");
    pop.randomPitchLow = 0.1f;
    pop.randomPitchHigh = 0.5f;
    randomSeed = 12345;
    uint32_t next = 12345u * 214013u + 2531011u;
    float r = static_cast<float>(next >> 16) / 65536.0f;
    pop.playRandomPitch();
    EXPECT_EQ(randomSeed, next);
    EXPECT_NEAR(attribute(channels(pop).back(), BASS_ATTRIB_FREQ), 22050 * (1.1f + 0.4f * r), 1.0f);
}

TEST_F(SoundTest, PlayPannedTakesThePanFromTheLayoutX) {
    Sound pop(0, 16, u"sfx/pop.ogg");
    struct Case {
        float x, pan;
    } cases[] = {{-400, -1}, {-5000, -1}, {0, 0}, {200, 0.5f}, {400, 1}, {9999, 1}, {-100, -0.25f}};
    for (const Case& c : cases) {
        uint32_t seed = randomSeed;
        pop.playPanned(c.x, 0, 0);
        EXPECT_NEAR(attribute(channels(pop).back(), BASS_ATTRIB_PAN), c.pan, 1e-6f) << c.x;
        EXPECT_EQ(randomSeed, seed * 214013u + 2531011u);  // and the random pitch
    }
    EXPECT_EQ(Sound::panFromX(50, 0), 0.0f);  // no layout: the centre
    EXPECT_EQ(Sound::panFromX(50, 1), 0.0f);
}

TEST_F(SoundTest, MinimumIntervalDropsPlaysWithoutCuttingOffThePlayingOne) {
    Sound pop(0, 1, u"sfx/pop.ogg");
    pop.minPlayInterval = 0.5;
    now = 1.0;
    pop.playPitch(1);
    auto first = channels(pop);
    ASSERT_EQ(first.size(), 1u);
    pump(100);
    now = 1.3;
    pop.playPitch(2);  // dropped: the playing channel goes on untouched
    EXPECT_EQ(channels(pop), first);
    EXPECT_EQ(BASS_ChannelIsActive(first[0]), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BASS_ChannelGetPosition(first[0], BASS_POS_BYTE), 100u * 2);
    EXPECT_EQ(pop.lastPlayTime, 1.0);
    {
        // A held channel made within the interval and played after it still plays.
        SoundChannel held(&pop);
        held.setVolume(0.25f, 0);
        now = 1.6;
        held.play();
        EXPECT_TRUE(held.isPlaying());
        EXPECT_FLOAT_EQ(attribute(held.hChannel, BASS_ATTRIB_VOL), 0.25f);
        EXPECT_EQ(pop.lastPlayTime, 1.6);
    }
    // At the limit, the new play took over the old channel.
    auto now2 = channels(pop);
    ASSERT_EQ(now2.size(), 1u);
    EXPECT_NE(now2[0], first[0]);
    EXPECT_EQ(BASS_ChannelIsActive(first[0]), BASS_ACTIVE_STOPPED);
}

TEST_F(SoundTest, ChannelsSlideAndUnplayedOnesStop) {
    Sound pop(0, 4, u"sfx/pop.ogg");
    {
        SoundChannel unplayed(&pop);
        EXPECT_NE(unplayed.hChannel, 0u);
        EXPECT_EQ(channels(pop).size(), 1u);
    }
    EXPECT_TRUE(channels(pop).empty());  // stopped and released with its object

    SoundChannel channel(&pop);
    channel.setVolume(3, 0);
    EXPECT_FLOAT_EQ(attribute(channel.hChannel, BASS_ATTRIB_VOL), 1.0f);
    channel.setPan(-2, 0);
    EXPECT_FLOAT_EQ(attribute(channel.hChannel, BASS_ATTRIB_PAN), -1.0f);
    channel.setPan(1, 0.1);  // 2205 frames
    channel.play();
    pump(1102);
    EXPECT_NEAR(attribute(channel.hChannel, BASS_ATTRIB_PAN), 0.0f, 0.01f);
    channel.setVolume(0, 0.2);  // a fade to 0 stops the channel at its end
    pump(4000);
    EXPECT_TRUE(channel.isPlaying());
    pump(500);
    EXPECT_FALSE(channel.isPlaying());
    EXPECT_TRUE(channels(pop).empty());
}

TEST_F(SoundTest, SampleIsFreedOnDeviceLossAndPurgeAndComesBack) {
    residentSoundBytes = 0;
    Sound pop(0, 4, u"sfx/pop.ogg");
    EXPECT_EQ(residentSoundBytes, 22050 * 2);
    EXPECT_EQ(reads, 1);
    pop.onQELmodeChange(3, 2);  // other steps keep it
    pop.onQELmodeChange(1, 2);
    EXPECT_NE(pop.pSample, 0u);
    pop.onQELmodeChange(2, 1);
    EXPECT_EQ(pop.pSample, 0u);
    EXPECT_EQ(residentSoundBytes, 0);
    pop.playPitch(1);  // loads again on use
    EXPECT_NE(pop.pSample, 0u);
    EXPECT_EQ(reads, 2);
    pop.purge();  // a channel plays: kept
    EXPECT_NE(pop.pSample, 0u);
    pump(22100);
    pop.purge();
    EXPECT_EQ(pop.pSample, 0u);
    EXPECT_EQ(residentSoundBytes, 0);
    {
        SoundChannel channel(&pop);  // a channel loads it too
        EXPECT_NE(pop.pSample, 0u);
    }
}

// A fatal report ends the process with status 255.
bool endedByFatal(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 255; }

TEST_F(SoundTest, DelayedLoadingOnlyChecksTheFile) {
    AudioEnvironment::delayedLoadHook = [] { return true; };
    Sound pop(1, 2, u"sfx/pop.ogg");
    EXPECT_EQ(pop.pSample, 0u);
    EXPECT_EQ(reads, 0);
    pop.playRandomPitch();
    EXPECT_NE(pop.pSample, 0u);
    EXPECT_TRUE(pop.info.flags & BASS_SAMPLE_LOOP);
    EXPECT_TRUE(pop.info.flags & BASS_SAMPLE_OVER_POS);
    EXPECT_EXIT(Sound(0, 1, u"sfx/missing.ogg"), endedByFatal, "");
    EXPECT_NE(logText().find("File not found: sfx/missing.ogg"), std::string::npos);
}

TEST_F(SoundTest, DamagedFileAndNullSoundAreFatal) {
    files[u"sfx/bad.ogg"] = "OggS but not really";
    EXPECT_EXIT(Sound(0, 1, u"sfx/bad.ogg"), endedByFatal, "");
    std::string log = logText();
    EXPECT_NE(log.find("Error: BASS_ERROR_FILEFORM"), std::string::npos) << log;
    EXPECT_NE(log.find("Statement: pSample = BASS_SampleLoad( true, f.block.pData"), std::string::npos);
    EXPECT_NE(log.find("Function: Sound::recreateSound()"), std::string::npos);
    EXPECT_EXIT(Sound(0, 1, u"sfx/missing.ogg"), endedByFatal, "");
    EXPECT_NE(logText().find("File not found: sfx/missing.ogg"), std::string::npos);
    EXPECT_EXIT(SoundChannel(nullptr), endedByFatal, "");
    EXPECT_NE(logText().find("Statement: pSound != NULL"), std::string::npos);
}
