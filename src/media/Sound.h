#pragma once
// A sample loaded from a data file and played fire-and-forget: with a random pitch, a given
// pitch, a number of semitones or a pan taken from a layout x position.

#include "engine/QelBase.h"
#include "engine/Text.h"
#include "platform/AudioLibrary.h"

// Bytes of all loaded samples.
extern int residentSoundBytes;

class Sound : public QelBase {
    QEL_DECLARE_CLASS()
public:
    // bassFlags bit 0 loops the sample; maxPlaybacks bounds its channels playing at once.
    Sound(int bassFlags, int maxPlaybacks, WString fileName);
    ~Sound() override;

    // Losing the device (paused to frozen) frees the sample; it loads again on its next use.
    void onQELmodeChange(int oldMode, int newMode) override;
    // Frees the sample when none of its channels exists.
    void purge() override;

    // Pitch factor 1 + lo + (hi - lo) * r, r from the game's random generator.
    void playRandomPitch();
    void playPitch(float factor);
    // Pitch 1.0595 to the power n.
    void playSemitones(int n);
    // Pan from the layout x (-w/2 left edge .. +w/2 right edge), then the random pitch. y and z
    // are not used.
    void playPanned(float x, float y = 0.0f, float z = 0.0f);

    // Loads the sample when it is not loaded (and the audio is not muted).
    void recreateSound();
    void releaseSample();

    // The pan for a layout x with the layout width w: -1 + 2 * clamp((x + w/2) / w, 0, 1), the
    // centre when the layout has no width.
    static float panFromX(float x, int layoutWidth);
    // 1.0595 to the power n by repeated multiplication.
    static float semitoneFactor(int n);

    double lastPlayTime = 0.0;
    double minPlayInterval = 0.0;
    float randomPitchLow = 0.0f;
    float randomPitchHigh = 0.0f;
    HSAMPLE pSample = 0;
    BASS_SAMPLE info{};
    WString name;
    int bassFlags = 0;
    int savedMaxPlaybacks = 0;
    bool bSavedCreateWad = false;
};
