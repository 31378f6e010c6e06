#pragma once
// The audio library the engine calls: output devices, global volumes, samples with per-sample
// channel limits, channels with frequency, volume and pan (set at once or slid over a time) and
// Ogg Vorbis streams decoded from memory. Our own implementation: an AudioMixer fed to an SDL2
// audio callback.
//
// How this library behaves where the calls alone leave it open:
// - Device 0 is the silent device: it always initialises and opens no output; nothing is mixed
//   on it unless a caller pumps audioMixOutput. Devices 1..n are SDL's playback devices in SDL's
//   order; -1 is the system default. Only one device is initialised at a time.
// - Output is 16-bit stereo at the frequency given to BASS_Init.
// - Slides and play positions advance with the output that is mixed, so they stand still while
//   the output is paused or stopped.
// - A frequency of 0 means the sample's (or stream's) own rate; other frequencies are clamped to
//   100..200000 Hz. Volumes are clamped to 0..1 and pans to -1..1; a slide towards a negative
//   volume fades to 0 and stops the channel.
// - Pan is a balance: the left gain is min(1, 1 - pan), the right gain min(1, 1 + pan).
// - Plays are accepted while the output is paused or stopped; they are heard when it starts.
//   A channel reports itself playing while the output is paused.
// - BASS_Stop stops every channel (sample channels are released, streams keep their position)
//   and the output; BASS_Start starts the output again.
// - Handles are never reused: a handle of a freed object, a finished sample channel or a channel
//   that was taken over fails with BASS_ERROR_HANDLE and touches nothing.
// - BASS_Update does nothing: SDL's audio thread mixes on demand.

#include <cstdint>

using DWORD = uint32_t;
using QWORD = uint64_t;
using BOOL = int;
using HSAMPLE = DWORD;
using HCHANNEL = DWORD;
using HSTREAM = DWORD;

// Error codes.
enum : int {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_FILEOPEN = 2,
    BASS_ERROR_DRIVER = 3,
    BASS_ERROR_BUFLOST = 4,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_FORMAT = 6,
    BASS_ERROR_POSITION = 7,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_START = 9,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_NOCHAN = 18,
    BASS_ERROR_ILLTYPE = 19,
    BASS_ERROR_ILLPARAM = 20,
    BASS_ERROR_NO3D = 21,
    BASS_ERROR_NOEAX = 22,
    BASS_ERROR_DEVICE = 23,
    BASS_ERROR_NOPLAY = 24,
    BASS_ERROR_FREQ = 25,
    BASS_ERROR_NOTFILE = 27,
    BASS_ERROR_NOHW = 29,
    BASS_ERROR_EMPTY = 31,
    BASS_ERROR_NONET = 32,
    BASS_ERROR_CREATE = 33,
    BASS_ERROR_NOFX = 34,
    BASS_ERROR_NOTAVAIL = 37,
    BASS_ERROR_DECODE = 38,
    BASS_ERROR_DX = 39,
    BASS_ERROR_TIMEOUT = 40,
    BASS_ERROR_FILEFORM = 41,
    BASS_ERROR_SPEAKER = 42,
    BASS_ERROR_VERSION = 43,
    BASS_ERROR_CODEC = 44,
    BASS_ERROR_ENDED = 45,
    BASS_ERROR_BUSY = 46,
    BASS_ERROR_UNKNOWN = -1,
};

// Configuration options.
inline constexpr DWORD BASS_CONFIG_GVOL_SAMPLE = 4;
inline constexpr DWORD BASS_CONFIG_GVOL_STREAM = 5;
inline constexpr DWORD BASS_CONFIG_GVOL_MUSIC = 6;
inline constexpr DWORD BASS_CONFIG_DEV_DEFAULT = 36;
inline constexpr DWORD BASS_CONFIG_UNICODE = 42;

// Flags.
inline constexpr DWORD BASS_DEVICE_ENABLED = 1;
inline constexpr DWORD BASS_DEVICE_DEFAULT = 2;
inline constexpr DWORD BASS_DEVICE_INIT = 4;
inline constexpr DWORD BASS_DEVICE_3D = 4;
inline constexpr DWORD BASS_SAMPLE_LOOP = 4;
inline constexpr DWORD BASS_SAMPLE_VAM = 0x40;
inline constexpr DWORD BASS_SAMPLE_OVER_VOL = 0x10000;
inline constexpr DWORD BASS_SAMPLE_OVER_POS = 0x20000;
inline constexpr DWORD BASS_SAMPLE_OVER_DIST = 0x30000;
inline constexpr DWORD BASS_ATTRIB_FREQ = 1;
inline constexpr DWORD BASS_ATTRIB_VOL = 2;
inline constexpr DWORD BASS_ATTRIB_PAN = 3;
inline constexpr DWORD BASS_ACTIVE_STOPPED = 0;
inline constexpr DWORD BASS_ACTIVE_PLAYING = 1;
inline constexpr DWORD BASS_POS_BYTE = 0;
inline constexpr DWORD DSCAPS_CONTINUOUSRATE = 0x10;
inline constexpr DWORD DSCAPS_EMULDRIVER = 0x20;
inline constexpr DWORD DSCAPS_CERTIFIED = 0x40;
inline constexpr DWORD DSCAPS_SECONDARYMONO = 0x100;
inline constexpr DWORD DSCAPS_SECONDARYSTEREO = 0x200;
inline constexpr DWORD DSCAPS_SECONDARY8BIT = 0x400;
inline constexpr DWORD DSCAPS_SECONDARY16BIT = 0x800;

struct BASS_DEVICEINFO {
    const char* name;    // UTF-8
    const char* driver;  // UTF-8, or null
    DWORD flags;
};

struct BASS_INFO {
    DWORD flags;
    DWORD hwsize;
    DWORD hwfree;
    DWORD freesam;
    DWORD free3d;
    DWORD minrate;
    DWORD maxrate;
    BOOL eax;
    DWORD minbuf;
    DWORD dsver;
    DWORD latency;
    DWORD initflags;
    DWORD speakers;
    DWORD freq;
};

struct BASS_SAMPLE {
    DWORD freq;    // default frequency
    float volume;  // default volume
    float pan;     // default pan
    DWORD flags;
    DWORD length;  // bytes of 16-bit data
    DWORD max;     // most channels playing at once
    DWORD origres;
    DWORD chans;
    DWORD mingap;
};

DWORD BASS_GetVersion();
BOOL BASS_SetConfig(DWORD option, DWORD value);
BOOL BASS_GetDeviceInfo(DWORD device, BASS_DEVICEINFO* info);
// device: -1 default, 0 silent, 1.. SDL's devices.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid);
BOOL BASS_Free();
int BASS_ErrorGetCode();
BOOL BASS_GetInfo(BASS_INFO* info);
BOOL BASS_Pause();
BOOL BASS_Start();
BOOL BASS_Stop();
BOOL BASS_Update(DWORD length);
// Share of the audio thread's time spent mixing, in percent.
float BASS_GetCPU();

// Samples: Ogg Vorbis decoded once; mem must be true (file is then a pointer to the bytes).
HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, QWORD offset, DWORD length, DWORD max, DWORD flags);
BOOL BASS_SampleFree(HSAMPLE handle);
BOOL BASS_SampleGetInfo(HSAMPLE handle, BASS_SAMPLE* info);
// The sample's existing channels (written to channels when not null); -1 on failure.
DWORD BASS_SampleGetChannels(HSAMPLE handle, HCHANNEL* channels);
HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL onlyNew);

// Streams: Ogg Vorbis decoded while playing, from memory that must stay valid while the stream
// lives (mem true), or from 'length' bytes at 'offset' of the file whose UTF-8 path 'file' is,
// read as the stream plays (a missing file: BASS_ERROR_FILEOPEN). BASS_SAMPLE_LOOP loops
// sample-exactly.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
BOOL BASS_StreamFree(HSTREAM handle);

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
BOOL BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);

namespace platform {

// Mixes frames of 16-bit stereo output from the initialised device's mixer, as SDL's callback
// does; for the silent device and for tests. Returns false when no device is initialised.
bool audioMixOutput(int16_t* out, int frames);
// True while the output runs (initialised, neither paused nor stopped).
bool audioOutputRunning();

}  // namespace platform
