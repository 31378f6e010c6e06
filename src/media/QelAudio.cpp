#include "media/QelAudio.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/SoundStream.h"
#include "platform/AudioLibrary.h"

QEL_IMPLEMENT_CLASS(QelAudio, nullptr, nullptr)

namespace {


// A log line without the function-name prefix.
void logPlain(const WString& text) {
    if (qel && qel->pLogger) qel->pLogger->writeLine(text);
}

const char16_t* const errorNames[] = {
    u"BASS_OK", u"BASS_ERROR_MEM", u"BASS_ERROR_FILEOPEN", u"BASS_ERROR_DRIVER", u"BASS_ERROR_BUFLOST",
    u"BASS_ERROR_HANDLE", u"BASS_ERROR_FORMAT", u"BASS_ERROR_POSITION", u"BASS_ERROR_INIT", u"BASS_ERROR_START",
    nullptr, nullptr, nullptr, nullptr, u"BASS_ERROR_ALREADY", nullptr, nullptr, nullptr, u"BASS_ERROR_NOCHAN",
    u"BASS_ERROR_ILLTYPE", u"BASS_ERROR_ILLPARAM", u"BASS_ERROR_NO3D", u"BASS_ERROR_NOEAX", u"BASS_ERROR_DEVICE",
    u"BASS_ERROR_NOPLAY", u"BASS_ERROR_FREQ", nullptr, u"BASS_ERROR_NOTFILE", nullptr, u"BASS_ERROR_NOHW", nullptr,
    u"BASS_ERROR_EMPTY", u"BASS_ERROR_NONET", u"BASS_ERROR_CREATE", u"BASS_ERROR_NOFX", nullptr, nullptr,
    u"BASS_ERROR_NOTAVAIL", u"BASS_ERROR_DECODE", u"BASS_ERROR_DX", u"BASS_ERROR_TIMEOUT", u"BASS_ERROR_FILEFORM",
    u"BASS_ERROR_SPEAKER", u"BASS_ERROR_VERSION", u"BASS_ERROR_CODEC", u"BASS_ERROR_ENDED", u"BASS_ERROR_BUSY",
};
static_assert(sizeof(errorNames) / sizeof(errorNames[0]) == 47);

}  // namespace

QelAudio::QelAudio(MemoryIniFile* config) : pConfig(config) {
    const char16_t* fn = u"QelAudio::QelAudio";
    frequency = 0;
    bNoAudio = false;
    pCurrentMusic = nullptr;
    qelLog(fn, u"Starting...");

    const WString& section = classRecord.name;
    frequency = 22050;
    if (pConfig) {
        if (!pConfig->hasKey(section, u"bNoAudio")) pConfig->setBool(false, section, u"bNoAudio");
        bNoAudio = pConfig->getBool(section, u"bNoAudio");
        if (!pConfig->hasKey(section, u"frequency")) pConfig->setInt(frequency, section, u"frequency");
        frequency = pConfig->getInt(section, u"frequency");
        // A rate no device can take would end in a fatal error on the silent device as well.
        if (frequency < 8000 || frequency > 192000) {
            qelLog(fn, u"Ignoring frequency %d: using 22050 Hz.", frequency);
            frequency = 22050;
        }
        // Kept in the file for its readers; the mixer needs no channel count.
        if (!pConfig->hasKey(section, u"channels")) pConfig->setInt(32, section, u"channels");
        pConfig->getInt(section, u"channels");
    }

    qelLog(fn, u"Using BASS version %08x", BASS_GetVersion());
    QEL_ASSERT(fn, BASS_GetVersion() >= 0x02040a08);
    BASS_SetConfig(BASS_CONFIG_DEV_DEFAULT, 1);
    BASS_SetConfig(BASS_CONFIG_UNICODE, 1);

    int deviceCount = 0;
    logDevices(deviceCount);

    if (bNoAudio) {
        qelLog(fn, u"Sound has been muted.");
    } else {
        qelLog(fn, u"Creating audio: %d Hz.", frequency);
        bool opened = false;
        for (int device = -1; device < deviceCount && !opened; ++device) {
            if (device == 0) continue;  // the silent device is the last resort
            qelLog(fn, u"Attempting to initialize device %d...", device);
            if (BASS_Init(device, static_cast<DWORD>(frequency), BASS_DEVICE_3D, nullptr, nullptr)) {
                qelLog(fn, u"...success!");
                opened = true;
            } else {
                qelLog(fn, u"... failed with '%s'", getBASSErrorString(BASS_ErrorGetCode()));
            }
        }
        // Muted for this run only: the setting is left as it was.
        if (!opened) bNoAudio = true;
    }
    if (bNoAudio) {
        qelLog(fn, u"Attempting to initialize device 0 (mute)...");
        QEL_AUDIO_CHECK(fn, BASS_Init(0, static_cast<DWORD>(frequency), BASS_DEVICE_3D, nullptr, nullptr),
                        u"BASS_Init(0, frequency, BASS_DEVICE_3D, qel->hWindowHandle, NULL)");
    }

    logCapabilities();
    qelLog(fn, u"Started.");
}

QelAudio::~QelAudio() {
    if (pConfig) pConfig->setInt(frequency, classRecord.name, u"frequency");
    BASS_Free();
}

void QelAudio::logDevices(int& deviceCount) {
    const char16_t* fn = u"QelAudio::QelAudio";
    qelLog(fn, u"Available audio devices: ");
    qelLog(fn, u"-1.  (default device)");
    deviceCount = 0;
    BASS_DEVICEINFO info{};
    for (DWORD d = 0; BASS_GetDeviceInfo(d, &info); ++d) {
        qelLog(fn, u"%d.  %s (driver=%s) flags=%s %s %s", static_cast<int>(d), utf8ToWide(info.name ? info.name : ""),
               info.driver ? utf8ToWide(info.driver) : WString(u"none"),
               (info.flags & BASS_DEVICE_ENABLED) ? u"ENABLED" : u"", (info.flags & BASS_DEVICE_DEFAULT) ? u"DEFAULT" : u"",
               (info.flags & BASS_DEVICE_INIT) ? u"INIT" : u"");
        ++deviceCount;
    }
}

void QelAudio::logCapabilities() {
    BASS_INFO info{};
    if (!BASS_GetInfo(&info)) return;
    struct Flag {
        DWORD bit;
        const char16_t* name;
    };
    static const Flag flags[] = {
        {DSCAPS_CONTINUOUSRATE, u" DSCAPS_CONTINUOUSRATE"}, {DSCAPS_EMULDRIVER, u" DSCAPS_EMULDRIVER"},
        {DSCAPS_CERTIFIED, u" DSCAPS_CERTIFIED"},           {DSCAPS_SECONDARYMONO, u" DSCAPS_SECONDARYMONO"},
        {DSCAPS_SECONDARYSTEREO, u" DSCAPS_SECONDARYSTEREO"}, {DSCAPS_SECONDARY8BIT, u" DSCAPS_SECONDARY8BIT"},
        {DSCAPS_SECONDARY16BIT, u" DSCAPS_SECONDARY16BIT"},
    };
    WString set, unset;
    for (const Flag& f : flags) ((info.flags & f.bit) ? set : unset) += f.name;
    logPlain(format(u"\t%s:%s", u"info.flags", set));
    if (!unset.empty()) logPlain(format(u"\t%s %s", u"(unsupported)", unset));
    const std::pair<const char16_t*, DWORD> first[] = {{u"info.hwsize", info.hwsize}, {u"info.hwfree", info.hwfree},
                                                       {u"info.freesam", info.freesam}, {u"info.free3d", info.free3d},
                                                       {u"info.minrate", info.minrate}, {u"info.maxrate", info.maxrate}};
    for (auto& [name, value] : first) logPlain(format(u"\t%s: %u", name, value));
    logPlain(format(u"\tinfo.eax: %s", info.eax ? u"true" : u"false"));
    const std::pair<const char16_t*, DWORD> second[] = {{u"info.minbuf", info.minbuf},     {u"info.dsver", info.dsver},
                                                        {u"info.latency", info.latency},   {u"info.initflags", info.initflags},
                                                        {u"info.speakers", info.speakers}};
    for (auto& [name, value] : second) logPlain(format(u"\t%s: %u", name, value));
}

void QelAudio::onQELmodeChange(int oldMode, int newMode) {
    // The output pauses with the engine even when the engine ticks while paused.
    if (oldMode == Qel::MODE_OK && newMode == Qel::MODE_PAUSED) BASS_Pause();
    else if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_OK) BASS_Start();
}

void QelAudio::setMusic(SoundStream* music) {
    if (music == pCurrentMusic) return;
    if (pCurrentMusic) {
        if (!pCurrentMusic->pStream) pCurrentMusic->recreateSoundStream();
        BASS_ChannelStop(pCurrentMusic->pStream);
    }
    pCurrentMusic = music;
    if (!music) return;
    // A stream still fading out from an earlier fadeMusic would keep fading (play leaves a playing
    // stream alone): bring it back to full volume, as a newly started music plays.
    if (music->pStream && BASS_ChannelIsActive(music->pStream) == BASS_ACTIVE_PLAYING) music->setVolume(1.0f, 0.0);
    music->play(0.0f);
}

void QelAudio::fadeMusic(float volume, double seconds) {
    if (!pCurrentMusic) return;
    pCurrentMusic->setVolume(volume, seconds);
    if (volume == 0.0f) pCurrentMusic = nullptr;
}

WString QelAudio::getBASSErrorString(int code) {
    if (code == -1) return u"BASS_ERROR_UNKNOWN";
    if (code >= 0 && code < 47 && errorNames[code]) return errorNames[code];
    // Only ever logged: an unexpected code must not end the program.
    return format(u"Unknown BASS error: %08x", static_cast<uint32_t>(code));
}

void QelAudio::libraryCallFailed(const char16_t* function, const char* sourcePath, int line, const char16_t* statement) {
    ErrorManager::error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d",
                        getBASSErrorString(BASS_ErrorGetCode()), statement, function,
                        getFileName(utf8ToWide(sourcePath)), line);
}
