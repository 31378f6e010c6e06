#pragma once
// One playing instance of a Sound with pitch, volume and pan, each set at once or slid over a
// time. A channel that was never started is stopped when the object goes; a started one plays on.

#include "engine/QelBase.h"
#include "platform/AudioLibrary.h"

class Sound;

class SoundChannel : public QelBase {
    QEL_DECLARE_CLASS()
public:
    explicit SoundChannel(Sound* pSound);
    ~SoundChannel() override;

    // A factor above 100 is a frequency in Hz; otherwise max(factor, 0) times the sample's rate.
    void setPitch(float factor, double seconds);
    // Volume 0..1; a slide to 0 fades out and then stops the channel.
    void setVolume(float volume, double seconds);
    void setPan(float pan, double seconds);
    // Starts the channel unless the sound played less than its minimum interval ago.
    void play();
    // True while the channel plays.
    bool isPlaying() const;

    Sound* pSound = nullptr;
    bool bPlayed = false;
    HCHANNEL hChannel = 0;

private:
    void setAttribute(DWORD attrib, float value, double seconds);
    bool intervalAllows() const;
    void acquireChannel();

    // Attributes asked for before the channel exists, applied when it is taken (see acquire).
    struct Pending {
        bool set = false;
        float value = 0;
        double seconds = 0;
    } pending[3];
};
