#include "platform/AudioLibrary.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/VorbisSource.h"

namespace {

// Our library's version: 2.4.17.0.
constexpr DWORD libraryVersion = 0x02041100;

struct Library {
    std::mutex lock;
    std::unique_ptr<platform::AudioMixer> mixer;
    int device = -2;  // initialised device; -2 none
    SDL_AudioDeviceID sdlDevice = 0;
    bool sdlAudioStarted = false;
    DWORD globalVolumes[3] = {10000, 10000, 10000};
    DWORD initFlags = 0;
    DWORD bufferFrames = 0;
    DWORD devDefault = 0;
    DWORD unicode = 0;
    double cpu = 0;
    // Names handed out by BASS_GetDeviceInfo, kept alive like the library's own strings.
    std::vector<std::string> deviceNames;

    // A program that ends without freeing the library (exit() from a lost display, say) must not
    // leave the device's thread mixing into a mixer that is being destroyed: the device is
    // closed first, which waits for a running callback to return.
    ~Library() {
        if (sdlDevice) SDL_CloseAudioDevice(sdlDevice);
        sdlDevice = 0;
    }
};

Library& library() {
    static Library lib;
    return lib;
}

thread_local int lastError = BASS_OK;

BOOL fail(int code) {
    lastError = code;
    return 0;
}

BOOL succeed() {
    lastError = BASS_OK;
    return 1;
}

BOOL result(int code) { return code == BASS_OK ? succeed() : fail(code); }

// SDL's shutdown when nothing else of SDL is in use: it also lets go of the session bus that SDL
// connects to on initialisation.
void quitSdlWhenUnused() {
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

bool startSdlAudio(Library& lib) {
    if (lib.sdlAudioStarted) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        quitSdlWhenUnused();
        return false;
    }
    lib.sdlAudioStarted = true;
    return true;
}

// SDL's audio thread: mixes straight into the device buffer and measures its share of time.
void audioCallback(void* user, Uint8* stream, int len) {
    auto* lib = static_cast<Library*>(user);
    auto start = std::chrono::steady_clock::now();
    int frames = len / 4;
    std::lock_guard<std::mutex> guard(lib->lock);
    if (lib->mixer) lib->mixer->mix(reinterpret_cast<int16_t*>(stream), frames);
    else SDL_memset(stream, 0, static_cast<size_t>(len));
    if (lib->mixer && frames > 0) {
        double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        double span = static_cast<double>(frames) / lib->mixer->outputRate();
        lib->cpu = spent / span * 100.0;
    }
}

}  // namespace

DWORD BASS_GetVersion() { return libraryVersion; }

BOOL BASS_SetConfig(DWORD option, DWORD value) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    switch (option) {
        case BASS_CONFIG_GVOL_SAMPLE:
        case BASS_CONFIG_GVOL_STREAM:
        case BASS_CONFIG_GVOL_MUSIC: {
            if (value > 10000) return fail(BASS_ERROR_ILLPARAM);
            // Kept for a mixer made later as well.
            lib.globalVolumes[option - BASS_CONFIG_GVOL_SAMPLE] = value;
            if (lib.mixer) return result(lib.mixer->setGlobalVolume(option, value));
            return succeed();
        }
        case BASS_CONFIG_DEV_DEFAULT: lib.devDefault = value; return succeed();
        case BASS_CONFIG_UNICODE: lib.unicode = value; return succeed();
    }
    return fail(BASS_ERROR_ILLTYPE);
}

BOOL BASS_GetDeviceInfo(DWORD device, BASS_DEVICEINFO* info) {
    if (!info) return fail(BASS_ERROR_ILLPARAM);
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (device == 0) {
        info->name = "No sound";
        info->driver = nullptr;
        info->flags = BASS_DEVICE_ENABLED | (lib.device == 0 ? BASS_DEVICE_INIT : 0);
        return succeed();
    }
    if (!startSdlAudio(lib)) return fail(BASS_ERROR_DEVICE);
    int count = SDL_GetNumAudioDevices(0);
    if (count < 0 || device > static_cast<DWORD>(count)) return fail(BASS_ERROR_DEVICE);
    const char* name = SDL_GetAudioDeviceName(static_cast<int>(device) - 1, 0);
    if (lib.deviceNames.size() < device) lib.deviceNames.resize(device);
    lib.deviceNames[device - 1] = name ? name : "";
    info->name = lib.deviceNames[device - 1].c_str();
    info->driver = SDL_GetCurrentAudioDriver();
    info->flags = BASS_DEVICE_ENABLED | (device == 1 ? BASS_DEVICE_DEFAULT : 0) |
                  (lib.device == static_cast<int>(device) ? BASS_DEVICE_INIT : 0);
    return succeed();
}

namespace {

BOOL initLocked(Library& lib, int device, DWORD freq, DWORD flags) {
    if (lib.mixer) return fail(BASS_ERROR_ALREADY);
    if (device < -1) return fail(BASS_ERROR_DEVICE);
    if (freq == 0 || freq > 384000) return fail(BASS_ERROR_FORMAT);
    if (device != 0) {
        if (!startSdlAudio(lib)) return fail(BASS_ERROR_DRIVER);
        const char* name = nullptr;
        if (device > 0) {
            if (device > SDL_GetNumAudioDevices(0)) return fail(BASS_ERROR_DEVICE);
            name = SDL_GetAudioDeviceName(device - 1, 0);
            if (!name) return fail(BASS_ERROR_DEVICE);
        }
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(freq);
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = audioCallback;
        want.userdata = &lib;
        SDL_AudioSpec have{};
        SDL_AudioDeviceID id = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
        if (id == 0) return fail(BASS_ERROR_DRIVER);
        lib.sdlDevice = id;
        lib.bufferFrames = have.samples;
    } else {
        lib.bufferFrames = 0;
    }
    lib.mixer = std::make_unique<platform::AudioMixer>(static_cast<int>(freq));
    lib.device = device;
    lib.initFlags = flags;
    for (DWORD option = BASS_CONFIG_GVOL_SAMPLE; option <= BASS_CONFIG_GVOL_MUSIC; ++option)
        lib.mixer->setGlobalVolume(option, lib.globalVolumes[option - BASS_CONFIG_GVOL_SAMPLE]);
    lib.cpu = 0;
    return succeed();
}

}  // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid) {
    Library& lib = library();
    SDL_AudioDeviceID id = 0;
    {
        std::lock_guard<std::mutex> guard(lib.lock);
        if (!initLocked(lib, device, freq, flags)) return 0;
        id = lib.sdlDevice;
    }
    // SDL's device lock is held around our callback, which takes the library lock: never touch
    // the device while holding the library lock. The output then always runs; pausing the
    // library makes the mixer write silence.
    if (id) SDL_PauseAudioDevice(id, 0);
    return succeed();
}

BOOL BASS_Free() {
    Library& lib = library();
    SDL_AudioDeviceID id = 0;
    {
        std::lock_guard<std::mutex> guard(lib.lock);
        if (!lib.mixer) return fail(BASS_ERROR_INIT);
        id = lib.sdlDevice;
        lib.sdlDevice = 0;
    }
    // Closing waits for the callback, which takes the lock: close outside it.
    if (id) SDL_CloseAudioDevice(id);
    std::lock_guard<std::mutex> guard(lib.lock);
    lib.mixer.reset();
    lib.device = -2;
    if (lib.sdlAudioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lib.sdlAudioStarted = false;
        quitSdlWhenUnused();
    }
    return succeed();
}

int BASS_ErrorGetCode() { return lastError; }

BOOL BASS_GetInfo(BASS_INFO* info) {
    if (!info) return fail(BASS_ERROR_ILLPARAM);
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    *info = {};
    // A software mixer: any rate, mono or stereo 16-bit sources, nothing in hardware.
    info->flags = DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
                  DSCAPS_SECONDARY16BIT;
    info->minrate = 100;
    info->maxrate = 200000;
    info->eax = 0;
    info->minbuf = lib.bufferFrames * 1000 / static_cast<DWORD>(lib.mixer->outputRate());
    info->latency = info->minbuf;
    info->dsver = 0;
    info->initflags = lib.initFlags;
    info->speakers = 2;
    info->freq = static_cast<DWORD>(lib.mixer->outputRate());
    return succeed();
}

BOOL BASS_Pause() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    lib.mixer->setRunning(false);
    return succeed();
}

BOOL BASS_Start() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    lib.mixer->setRunning(true);
    return succeed();
}

BOOL BASS_Stop() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    lib.mixer->stopAll();
    lib.mixer->setRunning(false);
    return succeed();
}

BOOL BASS_Update(DWORD length) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    if (!lib.mixer->isRunning()) return fail(BASS_ERROR_NOPLAY);
    return succeed();
}

float BASS_GetCPU() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    return static_cast<float>(lib.cpu);
}

HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, QWORD offset, DWORD length, DWORD max, DWORD flags) {
    if (!mem) return fail(BASS_ERROR_NOTAVAIL);  // only memory images are loaded
    if (!file || length == 0) return fail(BASS_ERROR_ILLPARAM);
    {
        Library& lib = library();
        std::lock_guard<std::mutex> guard(lib.lock);
        if (!lib.mixer) return fail(BASS_ERROR_INIT);
    }
    // Decoded outside the lock: the audio thread keeps mixing meanwhile.
    auto pcm = std::make_shared<platform::PcmData>();
    if (!platform::VorbisSource::decodeAll(static_cast<const unsigned char*>(file) + offset, length, *pcm))
        return fail(BASS_ERROR_FILEFORM);
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return fail(BASS_ERROR_INIT);
    HSAMPLE handle = 0;
    int code = lib.mixer->addSample(std::move(pcm), max, flags, handle);
    if (code != BASS_OK) return fail(code);
    succeed();
    return handle;
}

namespace {

// Runs one mixer call under the lock; BASS_ERROR_INIT without a device.
template <class F>
int withMixer(F&& f) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return BASS_ERROR_INIT;
    return f(*lib.mixer);
}

}  // namespace

BOOL BASS_SampleFree(HSAMPLE handle) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.freeSample(handle); }));
}

BOOL BASS_SampleGetInfo(HSAMPLE handle, BASS_SAMPLE* info) {
    if (!info) return fail(BASS_ERROR_ILLPARAM);
    return result(withMixer([&](platform::AudioMixer& m) { return m.sampleInfo(handle, *info); }));
}

DWORD BASS_SampleGetChannels(HSAMPLE handle, HCHANNEL* channels) {
    std::vector<HCHANNEL> list;
    if (!result(withMixer([&](platform::AudioMixer& m) { return m.sampleChannels(handle, list); })))
        return static_cast<DWORD>(-1);
    if (channels)
        for (size_t i = 0; i < list.size(); ++i) channels[i] = list[i];
    return static_cast<DWORD>(list.size());
}

HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL onlyNew) {
    HCHANNEL channel = 0;
    result(withMixer([&](platform::AudioMixer& m) { return m.getChannel(handle, onlyNew != 0, channel); }));
    return channel;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    if (!file || length == 0) return fail(BASS_ERROR_ILLPARAM);
    std::unique_ptr<platform::VorbisSource> source;
    if (mem) {
        source = std::make_unique<platform::VorbisSource>(static_cast<const unsigned char*>(file) + offset, static_cast<size_t>(length));
    } else {
        // A file by its UTF-8 path, read as the stream plays.
        if (FILE* probe = std::fopen(static_cast<const char*>(file), "rb")) std::fclose(probe);
        else return fail(BASS_ERROR_FILEOPEN);
        source = std::make_unique<platform::VorbisSource>(static_cast<const char*>(file), offset, length);
    }
    if (!source->isOpen()) return fail(BASS_ERROR_FILEFORM);
    HSTREAM handle = 0;
    result(withMixer([&](platform::AudioMixer& m) { return m.addStream(std::move(source), flags, handle); }));
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.freeStream(handle); }));
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.play(handle, restart != 0); }));
}

BOOL BASS_ChannelStop(DWORD handle) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.stop(handle); }));
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    DWORD state = BASS_ACTIVE_STOPPED;
    result(withMixer([&](platform::AudioMixer& m) { return m.isActive(handle, state); }));
    return state;
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.setAttribute(handle, attrib, value); }));
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
    if (!value) return fail(BASS_ERROR_ILLPARAM);
    return result(withMixer([&](platform::AudioMixer& m) { return m.getAttribute(handle, attrib, *value); }));
}

BOOL BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time) {
    return result(withMixer([&](platform::AudioMixer& m) { return m.slideAttribute(handle, attrib, value, time); }));
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    if (mode != BASS_POS_BYTE) {
        fail(BASS_ERROR_NOTAVAIL);
        return static_cast<QWORD>(-1);
    }
    QWORD bytes = 0;
    if (!result(withMixer([&](platform::AudioMixer& m) { return m.length(handle, bytes); }))) return static_cast<QWORD>(-1);
    return bytes;
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    if (mode != BASS_POS_BYTE) {
        fail(BASS_ERROR_NOTAVAIL);
        return static_cast<QWORD>(-1);
    }
    QWORD bytes = 0;
    if (!result(withMixer([&](platform::AudioMixer& m) { return m.position(handle, bytes); }))) return static_cast<QWORD>(-1);
    return bytes;
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
    if (mode != BASS_POS_BYTE) return fail(BASS_ERROR_NOTAVAIL);
    return result(withMixer([&](platform::AudioMixer& m) { return m.setPosition(handle, pos); }));
}

namespace platform {

bool audioMixOutput(int16_t* out, int frames) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.mixer) return false;
    lib.mixer->mix(out, frames);
    return true;
}

bool audioOutputRunning() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.lock);
    return lib.mixer && lib.mixer->isRunning();
}

}  // namespace platform
