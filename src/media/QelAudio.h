#pragma once
// The engine's audio service: reads its settings, opens an output device (falling back to the
// silent device), pauses and resumes the output with the engine mode and holds the current music.

#include "engine/ClassRecord.h"
#include "engine/Text.h"

class MemoryIniFile;
class SoundStream;

class QelAudio {
    QEL_DECLARE_ROOT_CLASS()
public:
    // config: the engine's settings (section "QelAudio"); null runs on the defaults and saves
    // nothing.
    explicit QelAudio(MemoryIniFile* config = nullptr);
    virtual ~QelAudio();
    QelAudio(const QelAudio&) = delete;
    QelAudio& operator=(const QelAudio&) = delete;

    // One step of the engine mode: running to paused pauses the output, paused to running
    // starts it again.
    virtual void onQELmodeChange(int oldMode, int newMode);

    // Makes the stream (or none) the current music: the old one stops, the new one plays from the
    // start.
    void setMusic(SoundStream* music);
    // Slides the current music's volume; a target of exactly 0 forgets the music, which fades out.
    void fadeMusic(float volume, double seconds);

    // The name of a library error code; an unknown code gives "Unknown BASS error: %08x".
    static WString getBASSErrorString(int code);
    // The assertion report for a failed library call, with the library's last error as message.
    [[noreturn]] static void libraryCallFailed(const char16_t* function, const char* sourcePath, int line,
                                               const char16_t* statement);

    int frequency = 0;
    bool bNoAudio = false;
    SoundStream* pCurrentMusic = nullptr;

private:
    void logDevices(int& deviceCount);
    void logCapabilities();

    MemoryIniFile* pConfig = nullptr;
};

// Fatal with the library's last error when a library call's result is false.
#define QEL_AUDIO_CHECK(function, expression, statement)                                            \
    do {                                                                                             \
        if (!(expression)) ::QelAudio::libraryCallFailed(function, __FILE__, __LINE__, statement); \
    } while (0)
