#pragma once
// The engine object: creates and owns the engine's services, reads the settings files and keeps
// the engine-wide flags, counters and engine modes. Reached through the global pointer 'qel'. It is
// also the directory of the services of the floors above (media, the frame loop): their pointers
// live here and they join through Services; QelMedia (media) and QelRuntime (runtime, the frame
// loop and the debug overlay) are the engine objects that bring them.

#include <cstdint>
#include <vector>

#include "engine/BasicLink.h"
#include "engine/ClassRecord.h"
#include "engine/QelTimer.h"
#include "engine/Text.h"

struct SDL_Window;
class Logger;
class ErrorManager;
class MemoryIniFile;
class TimeKeeper;
class Context;
class QelAudio;
class FontGDI;
class FileManager;
class ResourceManager;
class QelNetwork;
class Console;
class Language;
class QelInput;
class PointerDispatcher;
class InputEnvironment;
class QelGraphics;

class Qel {
    QEL_DECLARE_ROOT_CLASS()
public:
    enum : int { MODE_FROZEN = 1, MODE_PAUSED = 2, MODE_OK = 3 };
    enum : int { STAT_RENDERABLES_CONSIDERED, STAT_RENDERABLES_DRAWN, STAT_VERTICES, STAT_TEXTURES_USED, STAT_TEXELS_USED,
                 STAT_COLLISIONS, STAT_VBUFFER_WRITES, STAT_XFORM_UPDATES, STAT_INVERSE_XFORMS, STAT_COUNT };
    enum : int { HISTORY_WORK_MS, HISTORY_TEXTURE_BYTES, HISTORY_IMAGE_BYTES, HISTORY_SOUND_BYTES, HISTORY_STREAM_BYTES,
                 HISTORY_COUNT };
    static constexpr int HISTORY_LENGTH = 512;
    // The value of debugCode that unlocks the debug features.
    static constexpr int DEBUG_UNLOCK_CODE = 0x6c1a;

    explicit Qel(void* hAppInstance = nullptr, SDL_Window* hWindowHandle = nullptr);
    virtual ~Qel();

    // Moves the engine mode to target one step at a time, announcing every step.
    void changeQELmode(int target);
    void saveSettings();
    void dumpSystemInfo();
    // The engine's time step: the frame timer's step, sped up by F11 or slowed by F10 while the
    // debug features are unlocked, at most maxFrameDelta.
    double getFrameDelta();

    static WString getConfigFileName();
    static WString getConfigFilePath();
    // The largest settings file read, far above any real one; a larger file is kept aside as damage.
    static constexpr size_t MAX_SETTINGS_BYTES = 1 << 20;
    static WString getStaticConfigFileName();
    static WString getStaticConfigFilePath();

    // Every live QelBase, in construction order (by their list entries). Never destroyed: the
    // entries belong to their objects, and objects still alive at exit are not the list's to
    // delete.
    static BasicLink& objectList;

    void* hAppInstance = nullptr;
    SDL_Window* hWindowHandle = nullptr;
    Logger* pLogger = nullptr;
    MemoryIniFile* pConfig = nullptr;
    ErrorManager* pErrorManager = nullptr;
    TimeKeeper* pTimeKeeper = nullptr;
    FileManager* pFileManager = nullptr;
    ResourceManager* pResourceManager = nullptr;
    Console* pConsole = nullptr;
    QelNetwork* pQelNetwork = nullptr;
    QelAudio* pQelAudio = nullptr;
    FontGDI* pFontGDI = nullptr;
    Language* pLanguage = nullptr;
    QelTimer frameTimer;
    bool bDebugLocked = true;
    int debugLevel = 0;
    WString osName = u"<unknown>";
    int defaultLanguage = 0;
    bool bTickWhilePaused = false;
    double maxFrameDelta = 0.05;
    double frameRate = 0.0;
    PointerDispatcher* pPointerDispatcher = nullptr;
    QelInput* pQelInput = nullptr;
    InputEnvironment* pInputEnvironment = nullptr;
    QelGraphics* pQelGraphics = nullptr;
    bool bShuttingDown = false;
    int singleLanguage = 0;
    WString languageMask;
    bool bHoliday = false;
    int ditherDepth = 0;
    int hq2x = 0;
    bool bEnableDelayedLoad = false;
    bool bWindowActive = true;
    bool bFreezeRequested = false;
    int frameCount = 0;
    int frameStats[STAT_COUNT] = {};
    int frameHistory[HISTORY_COUNT][HISTORY_LENGTH] = {};
    double lastFrameTime = 0.0;
    double totalWorkTime = 0.0;
    Context* pCurrentContext = nullptr;
    int qelMode = MODE_OK;

    // Run by a fatal error before the message box: saves the crash screenshot and leaves full
    // screen, when the graphics exist.
    void (*crashGraphicsHook)() = nullptr;

    // Frame measurements kept for the overlay: the unpaced rate, the profile marks t0..t7 and the
    // statistics as they were before the console drew.
    double unpacedRate = 0.0;
    double profileMarks[8] = {};
    int savedFrameStats[STAT_COUNT] = {};
    std::vector<WString> debugOverlayLines;

    // Until the graphics device joins, the device test and the restore of the presentation come
    // from these hooks (D3D_OK and success when unset); tests drive the engine modes with them.
    static inline int32_t (*deviceTestHook)() = nullptr;
    static inline bool (*restorePresentationHook)() = nullptr;
    // Tests may watch the overlay's text drawing through this hook; otherwise FontGDI draws.
    static inline void (*overlayTextHook)(float x, float y, float z, uint32_t color, int flags, const WString& text) = nullptr;
    // Until input joins, the state of a key by its key code (F10, F11) comes from this hook.
    static inline bool (*keyDownHook)(int keyCode) = nullptr;

    static constexpr int32_t D3D_OK = 0;
    static constexpr int32_t D3DERR_DEVICENOTRESET = static_cast<int32_t>(0x88760869u);

protected:
    // How the services of the floors above join the engine object; an unset entry does nothing.
    struct Services {
        // Starts them after the resource manager, before the network; then after the network.
        void (*startBeforeNetwork)(Qel& engine) = nullptr;
        void (*startAfterNetwork)(Qel& engine) = nullptr;
        // One numbered step of the shutdown that the engine core does not take itself.
        void (*stop)(Qel& engine, int step) = nullptr;
        // Their settings, before the settings file is written.
        void (*saveSettings)(Qel& engine) = nullptr;
        // Told of each step of an engine-mode change before every object.
        void (*changeMode)(Qel& engine, int oldMode, int newMode) = nullptr;
        // The state of a key by its key code.
        bool (*keyDown)(Qel& engine, int keyCode) = nullptr;
    };
    Qel(void* hAppInstance, SDL_Window* hWindowHandle, const Services& services);

    int32_t testCooperativeLevel();
    bool restorePresentation();
    void sleep(uint32_t ms);
    double gameTime();

    Services services;
};

extern Qel* qel;
