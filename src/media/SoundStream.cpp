#include "media/SoundStream.h"

#include <algorithm>

#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "media/AudioEnvironment.h"
#include "media/QelAudio.h"

int residentStreamBytes = 0;

SoundStream::SoundStream(int bassFlags, WString fileName) : name(std::move(fileName)), bassFlags(bassFlags) {
    bSavedCreateWad = AudioEnvironment::createWad();
    if (AudioEnvironment::delayedLoad()) {
        if (!AudioEnvironment::verifyFile(name)) QEL_FATAL(u"SoundStream::SoundStream", u"File not found: %s", name);
    } else {
        recreateSoundStream();
    }
}

SoundStream::~SoundStream() { unload(); }

void SoundStream::recreateSoundStream() {
    if (AudioEnvironment::muted() || pStream) return;
    // Music stored as it is on disk (loose or in an archive) is read from there as it plays: no
    // image of the file is held.
    std::string path;
    uint64_t offset = 0, size = 0;
    if (sourceData.length() == 0 && AudioEnvironment::locateFile(name, bSavedCreateWad, path, offset, size) && size > 0) {
        pStream = BASS_StreamCreateFile(false, path.c_str(), offset, size, (bassFlags & 1) ? BASS_SAMPLE_LOOP : 0);
        QEL_AUDIO_CHECK(u"SoundStream::recreateSoundStream", pStream != 0,
                        u"pStream = BASS_StreamCreateFile( false, fileName, offset, size, bassFlags)");
        streamedBytes = int(size);
        residentStreamBytes += streamedBytes;
        return;
    }
    if (sourceData.length() == 0) {
        if (!AudioEnvironment::readFile(name, bSavedCreateWad, sourceData) || sourceData.length() == 0)
            QEL_FATAL(u"SoundStream::recreateSoundStream", u"File not found: %s", name);
        residentMemoryFileBytes += sourceData.length();
    }
    // The library decodes from sourceData for as long as the stream lives.
    pStream = BASS_StreamCreateFile(true, sourceData.data(), 0, static_cast<QWORD>(sourceData.length()),
                                    (bassFlags & 1) ? BASS_SAMPLE_LOOP : 0);
    QEL_AUDIO_CHECK(u"SoundStream::recreateSoundStream", pStream != 0,
                    u"pStream = BASS_StreamCreateFile( true, sourceData.block.pData, 0, sourceData.block.size, bassFlags)");
    streamedBytes = sourceData.length();
    residentStreamBytes += streamedBytes;
}

void SoundStream::unload() {
    if (pStream) {
        residentStreamBytes -= streamedBytes;
        streamedBytes = 0;
        BASS_ChannelStop(pStream);
        BASS_StreamFree(pStream);
        pStream = 0;
    }
    residentMemoryFileBytes -= sourceData.length();
    sourceData.bytes.clear();
    sourceData.bytes.shrink_to_fit();
}

void SoundStream::setVolume(float volume, double seconds) {
    if (!pStream) recreateSoundStream();
    if (volume < 0.0f) {
        volume = 0.0f;
        bSilenced = true;
    } else if (volume > 1.0f) {
        volume = 1.0f;
        bSilenced = false;
    } else {
        bSilenced = volume == 0.0f;
    }
    if (seconds <= 0.0) {
        BASS_ChannelSetAttribute(pStream, BASS_ATTRIB_VOL, volume);
    } else {
        // A slide to silence ends with the stream stopped.
        BASS_ChannelSlideAttribute(pStream, BASS_ATTRIB_VOL, volume == 0.0f ? -0.001f : volume,
                                   static_cast<DWORD>(seconds * 1000.0));
    }
}

void SoundStream::play(float startFraction) {
    if (!pStream) recreateSoundStream();
    // A running stream is neither restarted nor moved.
    if (BASS_ChannelIsActive(pStream) == BASS_ACTIVE_PLAYING) return;
    setVolume(1.0f, 0.0);
    bSilenced = false;
    BASS_ChannelPlay(pStream, true);
    QWORD length = BASS_ChannelGetLength(pStream, BASS_POS_BYTE);
    if (length == 0 || length == static_cast<QWORD>(-1)) return;
    if (startFraction > 0.0f) {
        // The library rounds a byte position down to a whole frame.
        QWORD position = static_cast<QWORD>(std::min(startFraction, 1.0f) * static_cast<double>(length));
        BASS_ChannelSetPosition(pStream, position, BASS_POS_BYTE);
    }
}

void SoundStream::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_FROZEN) {
        if (!pStream) return;
        QWORD length = BASS_ChannelGetLength(pStream, BASS_POS_BYTE);
        if (BASS_ChannelIsActive(pStream) != BASS_ACTIVE_STOPPED && !bSilenced && length > 0 &&
            length != static_cast<QWORD>(-1)) {
            QWORD position = BASS_ChannelGetPosition(pStream, BASS_POS_BYTE);
            resumeFraction = std::clamp(static_cast<float>(static_cast<double>(position) / static_cast<double>(length)), 0.0f, 1.0f);
            float volume = 1.0f;
            if (BASS_ChannelGetAttribute(pStream, BASS_ATTRIB_VOL, &volume)) resumeVolume = volume;
        }
        unload();
    } else if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_OK) {
        if (resumeFraction > 0.0f) {
            play(resumeFraction);
            // Back at the volume it had, not at full volume.
            setVolume(resumeVolume, 0.0);
            resumeFraction = 0.0f;
            resumeVolume = 1.0f;
        }
    }
}

void SoundStream::purge() {
    if (pStream && BASS_ChannelIsActive(pStream) != BASS_ACTIVE_PLAYING) unload();
}
