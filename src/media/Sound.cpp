#include "media/Sound.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "media/AudioEnvironment.h"
#include "media/QelAudio.h"
#include "media/SoundChannel.h"

QEL_IMPLEMENT_CLASS(Sound, &QelBase::classRecord, nullptr)

int residentSoundBytes = 0;

Sound::Sound(int bassFlags, int maxPlaybacks, WString fileName)
    : name(std::move(fileName)), bassFlags(bassFlags), savedMaxPlaybacks(maxPlaybacks) {
    bSavedCreateWad = AudioEnvironment::createWad();
    if (AudioEnvironment::delayedLoad()) {
        if (!AudioEnvironment::verifyFile(name)) QEL_FATAL(u"Sound::Sound", u"File not found: %s", name);
    } else {
        recreateSound();
    }
}

Sound::~Sound() { releaseSample(); }

void Sound::recreateSound() {
    if (AudioEnvironment::muted() || pSample) return;
    ByteBuffer file;
    if (!AudioEnvironment::readFile(name, bSavedCreateWad, file) || file.length() == 0)
        QEL_FATAL(u"Sound::recreateSound", u"File not found: %s", name);
    // A limit below one channel would make every load fail: at least one channel plays.
    DWORD flags = BASS_SAMPLE_OVER_POS | BASS_SAMPLE_VAM | ((bassFlags & 1) ? BASS_SAMPLE_LOOP : 0);
    pSample = BASS_SampleLoad(true, file.data(), 0, static_cast<DWORD>(file.length()),
                              static_cast<DWORD>(std::max(savedMaxPlaybacks, 1)), flags);
    QEL_AUDIO_CHECK(u"Sound::recreateSound", pSample != 0,
                    u"pSample = BASS_SampleLoad( true, f.block.pData, 0, f.block.size, savedMaxPlaybacks, bassFlags | "
                    u"BASS_SAMPLE_OVER_POS | BASS_SAMPLE_VAM)");
    info = {};
    QEL_AUDIO_CHECK(u"Sound::recreateSound", BASS_SampleGetInfo(pSample, &info), u"BASS_SampleGetInfo(pSample, &info)");
    residentSoundBytes += static_cast<int>(info.length);
    // The file image goes now: the library keeps its own decoded copy.
}

void Sound::releaseSample() {
    if (!pSample) return;
    residentSoundBytes -= static_cast<int>(info.length);
    BASS_SampleFree(pSample);
    pSample = 0;
}

void Sound::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_FROZEN) releaseSample();
}

void Sound::purge() {
    if (pSample && BASS_SampleGetChannels(pSample, nullptr) == 0) releaseSample();
}

float Sound::panFromX(float x, int layoutWidth) {
    int w = layoutWidth / 2;
    if (w <= 0) return 0.0f;
    float t = std::clamp((x + static_cast<float>(w)) / (2.0f * static_cast<float>(w)), 0.0f, 1.0f);
    return -1.0f + 2.0f * t;
}

float Sound::semitoneFactor(int n) {
    float factor = 1.0f;
    if (n > 0)
        for (int i = 0; i < n; ++i) factor *= 1.0595f;
    else if (n < 0) {
        float down = 1.0f;
        for (int i = 0; i < -n; ++i) down *= 1.0595f;
        factor = 1.0f / down;
    }
    return factor;
}

void Sound::playRandomPitch() {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    channel.setPitch(1.0f + randomPitchLow + (randomPitchHigh - randomPitchLow) * randomUnit(), 0.0);
    channel.play();
}

void Sound::playPitch(float factor) {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    channel.setPitch(factor, 0.0);
    channel.play();
}

void Sound::playSemitones(int n) { playPitch(semitoneFactor(n)); }

void Sound::playPanned(float x, float y, float z) {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    channel.setPan(panFromX(x, AudioEnvironment::layoutWidth()), 0.0);
    channel.setPitch(1.0f + randomPitchLow + (randomPitchHigh - randomPitchLow) * randomUnit(), 0.0);
    channel.play();
}
