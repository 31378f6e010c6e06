#include "media/SoundChannel.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "media/AudioEnvironment.h"
#include "media/Sound.h"

QEL_IMPLEMENT_CLASS(SoundChannel, &QelBase::classRecord, nullptr)

SoundChannel::SoundChannel(Sound* pSound) : pSound(pSound) {
    QEL_ASSERT(u"SoundChannel::SoundChannel", pSound != NULL);
    if (!pSound->pSample) pSound->recreateSound();
    // A channel that could not be played now is not taken yet: with the sample's channels all
    // busy, taking one would cut off a playing sound for a play that the minimum interval drops.
    if (intervalAllows()) acquireChannel();
}

SoundChannel::~SoundChannel() {
    if (!bPlayed && hChannel) BASS_ChannelStop(hChannel);
}

void SoundChannel::acquireChannel() {
    // With BASS_SAMPLE_OVER_POS the library takes over the channel furthest into the sample when
    // all are busy.
    hChannel = BASS_SampleGetChannel(pSound->pSample, false);
    if (!hChannel) return;
    const DWORD attribs[3] = {BASS_ATTRIB_FREQ, BASS_ATTRIB_VOL, BASS_ATTRIB_PAN};
    for (int i = 0; i < 3; ++i)
        if (pending[i].set) setAttribute(attribs[i], pending[i].value, pending[i].seconds);
}

bool SoundChannel::intervalAllows() const {
    return AudioEnvironment::gameTime() >= pSound->lastPlayTime + pSound->minPlayInterval;
}

void SoundChannel::setAttribute(DWORD attrib, float value, double seconds) {
    if (!hChannel && !bPlayed) {
        Pending& p = pending[attrib - 1];
        p = {true, value, seconds};
        return;
    }
    if (seconds <= 0.0) BASS_ChannelSetAttribute(hChannel, attrib, value);
    else BASS_ChannelSlideAttribute(hChannel, attrib, value, static_cast<DWORD>(seconds * 1000.0));
}

void SoundChannel::setPitch(float factor, double seconds) {
    float frequency = factor;
    if (factor <= 100.0f) {
        if (!pSound->pSample) pSound->recreateSound();
        frequency = std::max(factor, 0.0f) * static_cast<float>(pSound->info.freq);
    }
    setAttribute(BASS_ATTRIB_FREQ, frequency, seconds);
}

void SoundChannel::setVolume(float volume, double seconds) {
    volume = std::clamp(volume, 0.0f, 1.0f);
    // A slide to silence ends with the channel stopped.
    if (volume == 0.0f && seconds != 0.0) volume = -0.001f;
    setAttribute(BASS_ATTRIB_VOL, volume, seconds);
}

void SoundChannel::setPan(float pan, double seconds) { setAttribute(BASS_ATTRIB_PAN, std::clamp(pan, -1.0f, 1.0f), seconds); }

void SoundChannel::play() {
    double now = AudioEnvironment::gameTime();
    if (now < pSound->lastPlayTime + pSound->minPlayInterval) return;
    if (!hChannel) acquireChannel();
    BASS_ChannelPlay(hChannel, false);
    pSound->lastPlayTime = now;
    bPlayed = true;
}

bool SoundChannel::isPlaying() const { return hChannel && BASS_ChannelIsActive(hChannel) == BASS_ACTIVE_PLAYING; }
