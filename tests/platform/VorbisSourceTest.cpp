// Ogg Vorbis from memory: lengths, sample-exact seeking and refusal of damaged files.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/VorbisSource.h"
#include "support/OggEncoder.h"

using platform::PcmData;
using platform::VorbisSource;

TEST(VorbisSource, DecodesTheWholeFileAtItsRate) {
    for (int channels : {1, 2}) {
        std::string ogg = encodeOgg(makeTone(1000, 22050, 5000, channels), channels, 22050);
        PcmData pcm;
        ASSERT_TRUE(VorbisSource::decodeAll(ogg.data(), ogg.size(), pcm));
        EXPECT_EQ(pcm.channels, channels);
        EXPECT_EQ(pcm.rate, 22050);
        EXPECT_EQ(pcm.frames(), 5000u);
        // Held for the program's life: no room left over from decoding.
        EXPECT_EQ(pcm.samples.capacity(), pcm.samples.size());
        EXPECT_NEAR(pcm.sample(size_t(pcm.channels) * 11), 0.5f * std::sin(2 * M_PI * 1000 * 11 / 22050.0), 0.05);
    }
}

TEST(VorbisSource, SeeksToTheExactFrame) {
    std::string ogg = encodeOgg(makeTone(440, 44100, 20000), 1, 44100);
    PcmData pcm;
    ASSERT_TRUE(VorbisSource::decodeAll(ogg.data(), ogg.size(), pcm));
    VorbisSource source(ogg.data(), ogg.size());
    ASSERT_TRUE(source.isOpen());
    for (uint64_t frame : {uint64_t{12345}, uint64_t{0}, uint64_t{19999}, uint64_t{7}}) {
        ASSERT_TRUE(source.seek(frame));
        EXPECT_EQ(source.tell(), frame);
        float v = 0;
        ASSERT_TRUE(source.readFrame(&v));
        EXPECT_NEAR(v, pcm.sample(frame), 0.5f / 32768.0f + 1e-7f) << frame;  // the sample is held in 16 bits
    }
    EXPECT_FALSE(source.seek(20001));
    ASSERT_TRUE(source.seek(20000));
    float v = 0;
    EXPECT_FALSE(source.readFrame(&v));
}

TEST(VorbisSource, RefusesDamagedInput) {
    std::string ogg = encodeOgg(makeTone(440, 22050, 4000), 1, 22050);
    std::string garbage(ogg.size(), 'x');
    std::string flipped = ogg;
    for (size_t i = 0; i < 40; ++i) flipped[i] ^= 0x5a;
    for (const std::string& bytes : {ogg.substr(0, 20), ogg.substr(0, ogg.size() / 3), garbage, flipped, std::string()}) {
        PcmData pcm;
        EXPECT_FALSE(VorbisSource::decodeAll(bytes.data(), bytes.size(), pcm)) << bytes.size();
    }
}

TEST(PcmData, SamplesAreHeldInSixteenBitsToTheNearestStep) {
    struct Case {
        float in;
        int16_t held;
    };
    const Case cases[] = {
        {0.0f, 0},       {0.5f, 16384},    {-0.5f, -16384},  {1.0f / 4096, 8},   {0.4f / 32768, 0},
        {0.6f / 32768, 1}, {1.0f, 32767},  {1.5f, 32767},    {-1.0f, -32768},   {-2.0f, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PcmData::quantise(c.in), c.held) << c.in;
        PcmData pcm;
        pcm.samples = {PcmData::quantise(c.in)};
        EXPECT_FLOAT_EQ(pcm.sample(0), float(c.held) / 32768.0f) << c.in;
    }
    EXPECT_EQ(PcmData::quantise(std::nanf("")), -32768);  // never undefined
}
