#pragma once
// Music streamed from its file as it plays (or, where it cannot be read so, from an image of the
// file held in memory), with volume, fades and a start position; resumed where it was after the
// graphics device was lost.

#include "engine/ByteBuffer.h"
#include "engine/QelBase.h"
#include "engine/Text.h"
#include "platform/AudioLibrary.h"

// Bytes of the files behind created streams.
extern int residentStreamBytes;

class SoundStream : public QelBase {
public:
    // bassFlags bit 0 loops the stream.
    SoundStream(int bassFlags, WString fileName);
    ~SoundStream() override;

    // Losing the device remembers the place (and volume) of audible music and frees the stream;
    // coming back to running plays it on from there.
    void onQELmodeChange(int oldMode, int newMode) override;
    // Frees the stream when it is not playing.
    void purge() override;

    void setVolume(float volume, double seconds);
    // Unless it plays already: full volume, from the start, then to the fraction of its length.
    void play(float startFraction);

    void recreateSoundStream();
    // Frees the stream and the file image.
    void unload();

    // The file image, when the stream plays from memory: the whole music file, kept while the
    // stream exists.
    ByteBuffer sourceData;
    // The file's bytes the stream plays, counted in residentStreamBytes while it exists.
    int streamedBytes = 0;
    bool bSilenced = false;
    float resumeFraction = 0.0f;
    // The volume to resume at after a device loss.
    float resumeVolume = 1.0f;
    HSTREAM pStream = 0;
    WString name;
    int bassFlags = 0;
    bool bSavedCreateWad = false;
};
