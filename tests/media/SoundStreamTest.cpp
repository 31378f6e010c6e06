// Music streams: start fraction, no restart while playing, volumes and fades, purge, and resuming
// after the device was lost.

#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "engine/DataBlock.h"
#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "media/Sound.h"
#include "media/AudioEnvironment.h"
#include "media/SoundStream.h"
#include "platform/AudioLibrary.h"
#include "support/TestFolder.h"

using namespace audiotest;

namespace {

constexpr int rate = 22050;
constexpr int frames = rate * 10;  // ten seconds of mono: 2 bytes a frame

struct SoundStreamTest : testing::Test {
    void SetUp() override {
        installHooks();
        engine = makeEngineWithoutAudio();
        ASSERT_TRUE(BASS_Init(0, rate, 0, nullptr, nullptr));
        fileSize = static_cast<int>(addTone(u"music/theme.ogg", rate, frames).size());
    }
    void TearDown() override {
        BASS_Free();
        delete engine;
    }
    QWORD position(const SoundStream& s) { return BASS_ChannelGetPosition(s.pStream, BASS_POS_BYTE); }
    float volume(const SoundStream& s) {
        float v = -1;
        BASS_ChannelGetAttribute(s.pStream, BASS_ATTRIB_VOL, &v);
        return v;
    }
    bool playing(const SoundStream& s) { return BASS_ChannelIsActive(s.pStream) == BASS_ACTIVE_PLAYING; }
    Qel* engine = nullptr;
    int fileSize = 0;
};

}  // namespace

TEST_F(SoundStreamTest, PlaysFromAFractionAndLeavesARunningStreamAlone) {
    residentStreamBytes = 0;
    SoundStream music(0, u"music/theme.ogg");
    ASSERT_NE(music.pStream, 0u);
    EXPECT_EQ(residentStreamBytes, fileSize);
    music.play(0.25f);
    EXPECT_TRUE(playing(music));
    EXPECT_EQ(position(music), QWORD{frames} / 4 * 2);
    pump(100);
    music.setVolume(0.5f, 0);
    music.play(0.0f);  // playing: neither restarted nor moved nor made louder
    EXPECT_EQ(position(music), (QWORD{frames} / 4 + 100) * 2);
    EXPECT_FLOAT_EQ(volume(music), 0.5f);
    music.setVolume(0, 0.5);
    pump(rate / 2 + 1);
    EXPECT_FALSE(playing(music));
    music.play(5.0f);  // at most the whole length: starts at the very end and stops
    pump(10);
    EXPECT_FALSE(playing(music));
    music.play(0);
    EXPECT_EQ(position(music), 0u);
    EXPECT_FLOAT_EQ(volume(music), 1.0f);
}

TEST_F(SoundStreamTest, VolumeLimitsAndSilencedFlag) {
    SoundStream music(1, u"music/theme.ogg");
    struct Case {
        float asked, set;
        bool silenced;
    } cases[] = {{-1, 0, true}, {0, 0, true}, {0.3f, 0.3f, false}, {2, 1, false}};
    for (const Case& c : cases) {
        music.setVolume(c.asked, 0);
        EXPECT_FLOAT_EQ(volume(music), c.set) << c.asked;
        EXPECT_EQ(music.bSilenced, c.silenced) << c.asked;
    }
}

TEST_F(SoundStreamTest, LoopingStreamPlaysOnPastItsEnd) {
    SoundStream music(1, u"music/theme.ogg");
    music.play(0.5f);
    pump(frames / 2 + 500);
    EXPECT_TRUE(playing(music));
    EXPECT_EQ(position(music), 500u * 2);
}

TEST_F(SoundStreamTest, ResumesAfterDeviceLossAtItsPlaceAndVolume) {
    residentStreamBytes = 0;
    SoundStream music(1, u"music/theme.ogg");
    music.play(0.4f);
    music.setVolume(0.6f, 0);
    music.onQELmodeChange(3, 2);
    music.onQELmodeChange(2, 1);
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_EQ(residentStreamBytes, 0);
    EXPECT_NEAR(music.resumeFraction, 0.4f, 1e-4f);
    music.onQELmodeChange(1, 2);
    EXPECT_EQ(music.pStream, 0u);
    music.onQELmodeChange(2, 3);
    ASSERT_NE(music.pStream, 0u);
    EXPECT_TRUE(playing(music));
    EXPECT_NEAR(static_cast<double>(position(music)) / (frames * 2), 0.4, 1e-4);
    EXPECT_FLOAT_EQ(volume(music), 0.6f);  // not full volume
    EXPECT_EQ(music.resumeFraction, 0.0f);
    EXPECT_EQ(residentStreamBytes, fileSize);
}

TEST_F(SoundStreamTest, SilencedOrStoppedMusicDoesNotResume) {
    SoundStream silenced(1, u"music/theme.ogg");
    silenced.play(0.5f);
    silenced.setVolume(0, 0);
    SoundStream stopped(1, u"music/theme.ogg");
    for (SoundStream* s : {&silenced, &stopped}) {
        s->onQELmodeChange(2, 1);
        EXPECT_EQ(s->pStream, 0u);
        s->onQELmodeChange(2, 3);
        EXPECT_EQ(s->pStream, 0u);
    }
}

TEST_F(SoundStreamTest, PurgeFreesOnlyAStreamThatIsNotPlaying) {
    residentStreamBytes = 0;
    SoundStream music(0, u"music/theme.ogg");
    music.play(0);
    music.purge();
    EXPECT_NE(music.pStream, 0u);
    BASS_ChannelStop(music.pStream);
    music.purge();
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_EQ(music.sourceData.length(), 0);
    EXPECT_EQ(residentStreamBytes, 0);
    EXPECT_EQ(reads, 1);
    music.play(0);  // made again on use
    EXPECT_TRUE(playing(music));
    EXPECT_EQ(reads, 2);
}

TEST_F(SoundStreamTest, DelayedLoadingMakesTheStreamOnFirstUse) {
    AudioEnvironment::delayedLoadHook = [] { return true; };
    SoundStream music(0, u"music/theme.ogg");
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_EQ(reads, 0);
    music.setVolume(0.5f, 0);
    EXPECT_NE(music.pStream, 0u);
}

TEST_F(SoundStreamTest, LoadsThroughTheFileManagerAndCountsResidentBytes) {
    AudioEnvironment::readFileHook = nullptr;
    AudioEnvironment::verifyFileHook = nullptr;
    TestFolder folder("vesk-music");
    writeFileBytes(folder.file("theme.ogg"), files[u"music/theme.ogg"]);
    AudioEnvironment::delayedLoadHook = nullptr;
    FileManager& fileManager = *engine->pFileManager;
    fileManager.bForceDisk = true;
    fileManager.bEnableDelayedLoad = false;
    residentMemoryFileBytes = 0;
    residentStreamBytes = 0;
    residentSoundBytes = 0;
    {
        Sound sound(0, 1, folder.wfile("theme.ogg"));
        EXPECT_NE(sound.pSample, 0u);
        EXPECT_EQ(residentMemoryFileBytes, 0);  // the sample's file image is gone after loading
        EXPECT_EQ(residentSoundBytes, frames * 2);
        SoundStream music(0, folder.wfile("theme.ogg"));
        EXPECT_NE(music.pStream, 0u);
        EXPECT_EQ(residentMemoryFileBytes, 0);  // the stream reads its file as it plays
        EXPECT_EQ(music.sourceData.length(), 0);
        EXPECT_EQ(residentStreamBytes, fileSize);
        music.unload();
        EXPECT_EQ(residentMemoryFileBytes, 0);
        EXPECT_EQ(residentStreamBytes, 0);
    }
    EXPECT_EQ(residentSoundBytes, 0);
    fileManager.bEnableDelayedLoad = true;
    SoundStream later(0, folder.wfile("theme.ogg"));
    EXPECT_EQ(later.pStream, 0u);
    EXPECT_EXIT(SoundStream(0, folder.wfile("missing.ogg")), testing::ExitedWithCode(255), "");
}
