// The audio service: settings, device choice and fallback, engine modes, music and error names.

#include <gtest/gtest.h>
#include <SDL.h>
#include <stdlib.h>

#include <chrono>

#include "AudioTestSupport.h"
#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/QelAudio.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "platform/AudioLibrary.h"
#include "support/TestFolder.h"

using namespace audiotest;

namespace {

struct Engine {
    Engine() {
        installHooks();
        engine = makeEngineWithoutAudio();
    }
    ~Engine() { delete engine; }
    Qel* engine;
    MemoryIniFile config{ByteBuffer()};
};

float volumeOf(DWORD handle) {
    float v = -1;
    BASS_ChannelGetAttribute(handle, BASS_ATTRIB_VOL, &v);
    return v;
}

}  // namespace

TEST(QelAudio, OpensTheDefaultDeviceWritesDefaultsAndLogs) {
    Engine e;
    {
        QelAudio audio(&e.config);
        EXPECT_FALSE(audio.bNoAudio);
        EXPECT_EQ(audio.frequency, 22050);
        EXPECT_EQ(e.config.getString(u"QelAudio", u"bNoAudio"), u"No");
        EXPECT_EQ(e.config.getInt(u"QelAudio", u"frequency"), 22050);
        EXPECT_EQ(e.config.getInt(u"QelAudio", u"channels"), 32);
        EXPECT_TRUE(platform::audioOutputRunning());
        audio.frequency = 44100;
    }
    EXPECT_EQ(e.config.getInt(u"QelAudio", u"frequency"), 44100);  // written back for the next start
    EXPECT_FALSE(platform::audioOutputRunning());                   // freed
    const std::string log = logText();
    for (const char* line : {"\tQelAudio::QelAudio(): Starting...\r\n", "\tQelAudio::QelAudio(): Using BASS version 02041100\r\n",
                             "\tQelAudio::QelAudio(): Available audio devices: \r\n",
                             "\tQelAudio::QelAudio(): -1.  (default device)\r\n",
                             "\tQelAudio::QelAudio(): 0.  No sound (driver=none) flags=ENABLED  \r\n",
                             "\tQelAudio::QelAudio(): Creating audio: 22050 Hz.\r\n",
                             "\tQelAudio::QelAudio(): Attempting to initialize device -1...\r\n",
                             "\tQelAudio::QelAudio(): ...success!\r\n",
                             "\t\tinfo.flags: DSCAPS_CONTINUOUSRATE DSCAPS_EMULDRIVER DSCAPS_SECONDARYMONO "
                             "DSCAPS_SECONDARYSTEREO DSCAPS_SECONDARY16BIT\r\n",
                             "\t\t(unsupported)  DSCAPS_CERTIFIED DSCAPS_SECONDARY8BIT\r\n", "\t\tinfo.eax: false\r\n",
                             "\t\tinfo.speakers: 2\r\n", "\tQelAudio::QelAudio(): Started.\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("Attempting to initialize device 0"), std::string::npos);
}

TEST(QelAudio, MutedSettingUsesTheSilentDeviceAndLoadsNothing) {
    Engine e;
    e.config.setBool(true, u"QelAudio", u"bNoAudio");
    addTone(u"sfx/pop.ogg", 22050, 1000);
    addTone(u"music/a.ogg", 22050, 1000);
    const size_t logBefore = logText().size();  // the engine made and removed an audio service of its own
    QelAudio audio(&e.config);
    e.engine->pQelAudio = &audio;
    EXPECT_TRUE(audio.bNoAudio);
    const std::string log = logText().substr(logBefore);
    EXPECT_NE(log.find("QelAudio::QelAudio(): Sound has been muted.\r\n"), std::string::npos);
    EXPECT_NE(log.find("QelAudio::QelAudio(): Attempting to initialize device 0 (mute)...\r\n"), std::string::npos);
    EXPECT_EQ(log.find("Attempting to initialize device -1"), std::string::npos);

    Sound sound(0, 4, u"sfx/pop.ogg");
    SoundStream music(1, u"music/a.ogg");
    sound.playPitch(1);
    music.play(0);
    audio.setMusic(&music);
    EXPECT_EQ(sound.pSample, 0u);
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(residentSoundBytes, 0);
    e.engine->pQelAudio = nullptr;
}

TEST(QelAudio, UnavailableDeviceFallsBackToSilentOutputForThisRunOnly) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Engine e;
    QelAudio audio(&e.config);
    EXPECT_TRUE(audio.bNoAudio);
    EXPECT_EQ(e.config.getString(u"QelAudio", u"bNoAudio"), u"No");
    const std::string log = logText();
    EXPECT_NE(log.find("Attempting to initialize device -1...\r\n"), std::string::npos);
    EXPECT_NE(log.find("... failed with 'BASS_ERROR_DRIVER'\r\n"), std::string::npos);
    EXPECT_NE(log.find("Attempting to initialize device 0 (mute)...\r\n"), std::string::npos);
    EXPECT_NE(log.find("Started."), std::string::npos);
}

TEST(QelAudio, UnusableFrequencySettingFallsBackToTheDefault) {
    for (int setting : {0, -5, 7999, 192001}) {
        Engine e;
        e.config.setInt(setting, u"QelAudio", u"frequency");
        {
            QelAudio audio(&e.config);
            EXPECT_EQ(audio.frequency, 22050);
            EXPECT_FALSE(audio.bNoAudio);
        }
        EXPECT_NE(logText().find("Ignoring frequency " + std::to_string(setting) + ": using 22050 Hz."), std::string::npos);
    }
}

TEST(QelAudio, EngineModeStepsPauseAndResumeTheOutput) {
    Engine e;
    QelAudio audio(&e.config);
    struct Step {
        int from, to;
        bool running;
    } steps[] = {
        {3, 2, false},  // running to paused: paused
        {2, 1, false},  // device lost: nothing more
        {1, 2, false},
        {2, 3, true},   // back to running
        {3, 1, true},   // a direct freeze leaves the output alone
    };
    for (const Step& s : steps) {
        audio.onQELmodeChange(s.from, s.to);
        EXPECT_EQ(platform::audioOutputRunning(), s.running) << s.from << "->" << s.to;
    }
}

TEST(QelAudio, ErrorNamesAndUnknownCodesAreNotFatal) {
    struct Case {
        int code;
        const char16_t* name;
    } cases[] = {
        {0, u"BASS_OK"},
        {5, u"BASS_ERROR_HANDLE"},
        {14, u"BASS_ERROR_ALREADY"},
        {18, u"BASS_ERROR_NOCHAN"},
        {25, u"BASS_ERROR_FREQ"},
        {41, u"BASS_ERROR_FILEFORM"},
        {46, u"BASS_ERROR_BUSY"},
        {-1, u"BASS_ERROR_UNKNOWN"},
        {10, u"Unknown BASS error: 0000000a"},
        {26, u"Unknown BASS error: 0000001a"},
        {47, u"Unknown BASS error: 0000002f"},
        {-2, u"Unknown BASS error: fffffffe"},
    };
    for (const Case& c : cases) EXPECT_EQ(QelAudio::getBASSErrorString(c.code), c.name) << c.code;
}

TEST(QelAudio, MusicSwitchesFadesAndComesBack) {
    Engine e;
    QelAudio audio(&e.config);
    // Drive the mixing by hand: the silent device only mixes what the test pumps.
    BASS_Free();
    ASSERT_TRUE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    e.engine->pQelAudio = &audio;
    addTone(u"music/a.ogg", 22050, 22050 * 10);
    addTone(u"music/b.ogg", 22050, 22050 * 10);
    SoundStream a(1, u"music/a.ogg");
    SoundStream b(1, u"music/b.ogg");

    audio.setMusic(&a);
    EXPECT_EQ(audio.pCurrentMusic, &a);
    EXPECT_EQ(BASS_ChannelIsActive(a.pStream), BASS_ACTIVE_PLAYING);
    pump(1000);
    audio.setMusic(&a);  // the current music: not restarted
    EXPECT_EQ(BASS_ChannelGetPosition(a.pStream, BASS_POS_BYTE), 1000u * 2);

    audio.setMusic(&b);
    EXPECT_EQ(BASS_ChannelIsActive(a.pStream), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelIsActive(b.pStream), BASS_ACTIVE_PLAYING);

    // A fade to 0 forgets the music at once; the next music does not cut the fading one off.
    audio.fadeMusic(0, 2.0);
    EXPECT_EQ(audio.pCurrentMusic, nullptr);
    audio.setMusic(&a);
    EXPECT_EQ(BASS_ChannelIsActive(b.pStream), BASS_ACTIVE_PLAYING);
    pump(22050 * 2 + 10);
    EXPECT_EQ(BASS_ChannelIsActive(b.pStream), BASS_ACTIVE_STOPPED);

    // Setting the fading music again brings it back instead of letting it fade to silence.
    audio.fadeMusic(0, 1.0);
    pump(2205);
    EXPECT_LT(volumeOf(a.pStream), 1.0f);
    audio.setMusic(&a);
    EXPECT_EQ(audio.pCurrentMusic, &a);
    pump(22050 * 2);
    EXPECT_EQ(BASS_ChannelIsActive(a.pStream), BASS_ACTIVE_PLAYING);
    EXPECT_FLOAT_EQ(volumeOf(a.pStream), 1.0f);

    audio.fadeMusic(0.5f, 0.5);  // a partial fade keeps the music
    EXPECT_EQ(audio.pCurrentMusic, &a);
    audio.setMusic(nullptr);
    EXPECT_EQ(BASS_ChannelIsActive(a.pStream), BASS_ACTIVE_STOPPED);
    e.engine->pQelAudio = nullptr;
}

TEST(QelAudio, PlaysASoundThroughTheDiskDriver) {
    TestFolder folder("vesk-audio");
    const std::string path = folder.file("out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
    Engine e;
    e.config.setInt(44100, u"QelAudio", u"frequency");
    {
        QelAudio audio(&e.config);
        e.engine->pQelAudio = &audio;
        ASSERT_FALSE(audio.bNoAudio);
        addTone(u"sfx/beep.ogg", 22050, 11025, 1, 500);
        Sound beep(0, 1, u"sfx/beep.ogg");
        beep.playSemitones(12);  // an octave up: about 1000 Hz at 44100 Hz output
        std::vector<HCHANNEL> channels(1);
        ASSERT_EQ(BASS_SampleGetChannels(beep.pSample, channels.data()), 1u);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (BASS_ChannelIsActive(channels[0]) == BASS_ACTIVE_PLAYING && std::chrono::steady_clock::now() < deadline)
            SDL_Delay(5);
        e.engine->pQelAudio = nullptr;
    }
    std::string raw = readFileBytes(path);
    const auto* frames = reinterpret_cast<const int16_t*>(raw.data());
    size_t count = raw.size() / 4, first = count, last = 0;
    for (size_t i = 0; i < count; ++i)
        if (std::abs(int{frames[2 * i]}) > 8000) {
            first = std::min(first, i);
            last = i;
        }
    ASSERT_LT(first, last);
    // Half a second of sample at twice its rate lasts a quarter second at 44100 Hz.
    EXPECT_NEAR(static_cast<double>(last - first), 11025, 300);
    int crossings = 0;
    for (size_t i = first + 1; i <= last; ++i)
        if ((frames[2 * i - 2] < 0) != (frames[2 * i] < 0)) ++crossings;
    EXPECT_NEAR(crossings / 2.0 / ((last - first) / 44100.0), 500 * 2.0, 25);
}
