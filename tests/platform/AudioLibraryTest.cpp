// The audio library calls: devices, Ogg samples and streams from memory, and real output through
// SDL's disk driver.

#include <gtest/gtest.h>
#include <SDL.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/AudioLibrary.h"
#include "platform/VorbisSource.h"
#include "support/OggEncoder.h"
#include "support/TestFolder.h"

namespace {

std::vector<int16_t> pump(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(platform::audioMixOutput(out.data(), frames));
    return out;
}

int zeroCrossings(const int16_t* stereo, size_t frames) {
    int n = 0;
    for (size_t i = 1; i < frames; ++i)
        if ((stereo[2 * i - 2] < 0) != (stereo[2 * i] < 0)) ++n;
    return n;
}

}  // namespace

TEST(AudioLibrary, SilentDeviceInitialisesOnceAndReportsErrors) {
    EXPECT_EQ(BASS_SampleGetChannel(1, false), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_GE(BASS_GetVersion(), 0x02040a08u);
    ASSERT_TRUE(BASS_Init(0, 22050, BASS_DEVICE_3D, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    BASS_DEVICEINFO info{};
    ASSERT_TRUE(BASS_GetDeviceInfo(0, &info));
    EXPECT_STREQ(info.name, "No sound");
    EXPECT_EQ(info.flags, BASS_DEVICE_ENABLED | BASS_DEVICE_INIT);
    BASS_INFO caps{};
    ASSERT_TRUE(BASS_GetInfo(&caps));
    EXPECT_EQ(caps.freq, 22050u);
    EXPECT_EQ(caps.initflags, BASS_DEVICE_3D);
    EXPECT_FALSE(BASS_SetConfig(4, 10001));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_SetConfig(999, 1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    EXPECT_TRUE(BASS_Free());
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));  // again after a free
    EXPECT_TRUE(BASS_Free());
}

TEST(AudioLibrary, SampleFromOggPlaysAtItsPitch) {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    std::string ogg = encodeOgg(makeTone(441, 22050, 22050), 1, 22050);
    HSAMPLE sample = BASS_SampleLoad(true, ogg.data(), 0, static_cast<DWORD>(ogg.size()), 3, BASS_SAMPLE_OVER_POS);
    ASSERT_NE(sample, 0u);
    BASS_SAMPLE info{};
    ASSERT_TRUE(BASS_SampleGetInfo(sample, &info));
    EXPECT_EQ(info.freq, 22050u);
    EXPECT_EQ(info.length, 22050u * 2);
    EXPECT_EQ(info.max, 3u);
    HCHANNEL channel = BASS_SampleGetChannel(sample, false);
    ASSERT_NE(channel, 0u);
    EXPECT_EQ(BASS_SampleGetChannels(sample, nullptr), 1u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(channel, BASS_ATTRIB_FREQ, 44100));
    ASSERT_TRUE(BASS_ChannelPlay(channel, false));
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_PLAYING);
    auto out = pump(22050);  // half a second at twice the rate: the whole sample, an octave up
    EXPECT_NEAR(zeroCrossings(out.data(), 22000) / 2.0 / (22000 / 44100.0), 882, 6);
    pump(100);
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);  // it ended and was released
    EXPECT_EQ(BASS_SampleGetChannels(sample, nullptr), 0u);
    EXPECT_TRUE(BASS_SampleFree(sample));
    EXPECT_FALSE(BASS_SampleFree(sample));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    std::string damaged = ogg.substr(0, ogg.size() / 4);
    EXPECT_EQ(BASS_SampleLoad(true, damaged.data(), 0, static_cast<DWORD>(damaged.size()), 1, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(BASS_StreamCreateFile(true, "not ogg", 0, 7, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    BASS_Free();
}

TEST(AudioLibrary, StreamFromAStretchOfAFilePlaysAsFromMemory) {
    // Music inside an archive: other bytes before and after it in the file.
    ASSERT_TRUE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    const int n = 3000;
    const std::string ogg = encodeOgg(makeTone(300, 22050, n, 2), 2, 22050);
    TestFolder folder("vesk-stream");
    const std::string archive = folder.file("archive.bin");
    writeFileBytes(archive, std::string(1001, 'a') + ogg + std::string(77, 'z'));
    std::vector<int16_t> first;
    for (bool fromFile : {false, true}) {
        HSTREAM stream = fromFile ? BASS_StreamCreateFile(false, archive.c_str(), 1001, ogg.size(), 0)
                                  : BASS_StreamCreateFile(true, ogg.data(), 0, ogg.size(), 0);
        ASSERT_NE(stream, 0u) << fromFile;
        EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), QWORD{n} * 4);
        ASSERT_TRUE(BASS_ChannelPlay(stream, true));
        const std::vector<int16_t> out = pump(n);
        if (!fromFile) first = out;
        else EXPECT_EQ(out, first);
        ASSERT_TRUE(BASS_ChannelSetPosition(stream, QWORD{2500} * 4, BASS_POS_BYTE));
        EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), QWORD{2500} * 4);
        EXPECT_TRUE(BASS_StreamFree(stream));
    }
    // A missing file, and a stretch that runs past the end of the file.
    EXPECT_EQ(BASS_StreamCreateFile(false, folder.file("missing.bin").c_str(), 0, 10, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(false, archive.c_str(), 1001, ogg.size() + 78, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    BASS_Free();
}

TEST(AudioLibrary, OggStreamLoopsSampleExactlyAndSeeksInBytes) {
    ASSERT_TRUE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    const int n = 3000;
    std::string ogg = encodeOgg(makeTone(300, 22050, n, 2), 2, 22050);
    platform::PcmData decoded;
    ASSERT_TRUE(platform::VorbisSource::decodeAll(ogg.data(), ogg.size(), decoded));
    HSTREAM stream = BASS_StreamCreateFile(true, ogg.data(), 0, ogg.size(), BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), QWORD{n} * 4);
    ASSERT_TRUE(BASS_ChannelPlay(stream, true));
    auto out = pump(2 * n + 500);
    for (int i = 0; i < 2 * n + 500; ++i) {
        int16_t expected = static_cast<int16_t>(std::lround(decoded.sample(size_t(2 * (i % n))) * 32767.0f));
        ASSERT_NEAR(out[2 * i], expected, 1) << i;
    }
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), QWORD{500} * 4);
    ASSERT_TRUE(BASS_ChannelSetPosition(stream, QWORD{2500} * 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), QWORD{2500} * 4);
    out = pump(1);
    EXPECT_NEAR(out[0], std::lround(decoded.sample(2 * 2500) * 32767.0f), 1);
    EXPECT_FALSE(BASS_ChannelSetPosition(stream, QWORD{n + 1} * 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    EXPECT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), static_cast<QWORD>(-1));
    BASS_Free();
}

TEST(AudioLibrary, StopAndPauseHaltTheOutput) {
    ASSERT_TRUE(BASS_Init(0, 8000, 0, nullptr, nullptr));
    std::string ogg = encodeOgg(makeTone(200, 8000, 8000), 1, 8000);
    HSAMPLE sample = BASS_SampleLoad(true, ogg.data(), 0, static_cast<DWORD>(ogg.size()), 2, 0);
    HSTREAM stream = BASS_StreamCreateFile(true, ogg.data(), 0, ogg.size(), 0);
    HCHANNEL channel = BASS_SampleGetChannel(sample, false);
    BASS_ChannelPlay(channel, false);
    BASS_ChannelPlay(stream, false);
    pump(100);
    ASSERT_TRUE(BASS_Pause());
    EXPECT_FALSE(platform::audioOutputRunning());
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_PLAYING);
    pump(100);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 100u * 2);
    ASSERT_TRUE(BASS_Start());
    EXPECT_TRUE(platform::audioOutputRunning());
    ASSERT_TRUE(BASS_Stop());
    EXPECT_FALSE(platform::audioOutputRunning());
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    ASSERT_TRUE(BASS_Start());
    EXPECT_TRUE(platform::audioOutputRunning());
    auto out = pump(100);
    for (int16_t v : out) ASSERT_EQ(v, 0);
    BASS_Free();
}

TEST(AudioLibrary, GlobalVolumesSetBeforeInitialisationApply) {
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 0));
    ASSERT_TRUE(BASS_Init(0, 8000, 0, nullptr, nullptr));
    std::string ogg = encodeOgg(makeTone(200, 8000, 8000), 1, 8000);
    HSTREAM stream = BASS_StreamCreateFile(true, ogg.data(), 0, ogg.size(), 0);
    BASS_ChannelPlay(stream, true);
    for (int16_t v : pump(1000)) ASSERT_EQ(v, 0);
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 10000));
    int peak = 0;
    for (int16_t v : pump(1000)) peak = std::max(peak, std::abs(int{v}));
    EXPECT_GT(peak, 10000);
    BASS_Free();
}

TEST(AudioLibrary, MissingDriverFailsButTheSilentDeviceWorks) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    BASS_DEVICEINFO info{};
    EXPECT_FALSE(BASS_GetDeviceInfo(1, &info));
    EXPECT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    BASS_Free();
}

// A program that exits while a sound plays, without freeing the library first, ends cleanly: the
// device's thread does not go on mixing into the library as it is torn down (the sanitizers
// would report that and end the process with another status).
TEST(AudioLibraryDeathTest, ExitWhilePlayingEndsCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TestFolder folder("vesk-audio-exit");
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", folder.file("output.raw").c_str(), 1);
            setenv("SDL_DISKAUDIODELAY", "1", 1);
            if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) _exit(3);
            std::string ogg = encodeOgg(makeTone(440, 44100, 44100, 1, 0.5f), 1, 44100);
            HSAMPLE sample = BASS_SampleLoad(true, ogg.data(), 0, static_cast<DWORD>(ogg.size()), 1, BASS_SAMPLE_LOOP);
            HCHANNEL channel = sample ? BASS_SampleGetChannel(sample, false) : 0;
            if (!channel || !BASS_ChannelPlay(channel, false)) _exit(4);
            SDL_Delay(50);
            exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioLibrary, PlaysThroughTheDiskDriver) {
    TestFolder folder("vesk-audio");
    const std::string path = folder.file("output.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);  // faster than real time
    BASS_DEVICEINFO info{};
    ASSERT_TRUE(BASS_GetDeviceInfo(1, &info));
    EXPECT_TRUE(info.flags & BASS_DEVICE_DEFAULT);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    std::string ogg = encodeOgg(makeTone(1000, 44100, 22050, 1, 0.8f), 1, 44100);
    HSAMPLE sample = BASS_SampleLoad(true, ogg.data(), 0, static_cast<DWORD>(ogg.size()), 1, 0);
    ASSERT_NE(sample, 0u);
    HCHANNEL channel = BASS_SampleGetChannel(sample, false);
    ASSERT_TRUE(BASS_ChannelSetAttribute(channel, BASS_ATTRIB_PAN, 1));
    ASSERT_TRUE(BASS_ChannelPlay(channel, false));
    // Wait (bounded) until the device has played the whole sound.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING && std::chrono::steady_clock::now() < deadline)
        SDL_Delay(5);
    ASSERT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);
    ASSERT_TRUE(BASS_Free());

    std::string raw = readFileBytes(path);
    ASSERT_GE(raw.size(), 22050u * 4);
    const auto* frames = reinterpret_cast<const int16_t*>(raw.data());
    size_t count = raw.size() / 4;
    // The tone is on the right only: find where it is loud and count its cycles there.
    size_t first = count, last = 0;
    int leftPeak = 0;
    for (size_t i = 0; i < count; ++i) {
        leftPeak = std::max(leftPeak, std::abs(int{frames[2 * i]}));
        if (std::abs(int{frames[2 * i + 1]}) > 8000) {
            first = std::min(first, i);
            last = i;
        }
    }
    EXPECT_EQ(leftPeak, 0);
    ASSERT_LT(first, last);
    EXPECT_NEAR(static_cast<double>(last - first), 22050, 200);
    int crossings = 0;
    for (size_t i = first + 1; i <= last; ++i)
        if ((frames[2 * i - 1] < 0) != (frames[2 * i + 1] < 0)) ++crossings;
    EXPECT_NEAR(crossings / 2.0, 500, 5);  // half a second of 1 kHz
}
