#pragma once
// The engine's graphics service: owns the Direct3D device, reads and writes the graphics
// settings, chooses the presentation (full screen or window, back-buffer size and format, the
// letterboxed viewport of the 800 by 480 layout), sets the global render state, clears and
// presents each frame, places the window and brings the presentation back after a reset.

#include "engine/ClassRecord.h"
#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "platform/D3D9.h"

class MemoryIniFile;

class QelGraphics {
    QEL_DECLARE_ROOT_CLASS()
public:
    // Builds the device rendering into 'window' (an SDL window made with SDL_WINDOW_OPENGL);
    // the settings are read from and written to the "QelGraphics" section of 'config'.
    QelGraphics(HWND window, MemoryIniFile* config);
    virtual ~QelGraphics();
    virtual void onQELmodeChange(int oldMode, int newMode) {}

    void setGlobalRenderState();
    void resetViewport();
    void flip();
    // With bReset the device is reset with fresh parameters and every object is told. False only
    // when no reset worked (the requested parameters, the last that worked, a window at the
    // layout size).
    bool restorePresentation(bool bReset);
    void changePresentationParameters(int width, int height, bool bFullScreen, bool bAllowLetterbox, bool bBilinearFilter,
                                      bool bUseVSync);
    void saveSettings();

    // Video modes, closest match and the letterboxed viewport.
    void addVideoMode(int width, int height);
    void calcClosestMatchParameters(bool bFullScreen, int width, int height);
    // A point in back-buffer pixels as layout pixels (x from the left, y from the bottom).
    Vector3 windowToLayout(float x, float y, float z) const;

    // Diagnostics.
    void dumpAdapterInfo();
    void dumpDeviceCaps();
    static WString D3DFORMAT2string(D3DFORMAT format);
    static int D3DFORMAT2bits(D3DFORMAT format);

    void buildPresentParameters();
    void adjustWindow();
    void resetGammaRamp();

    // Leaves full screen before a fatal error's message box; does nothing when called again
    // from inside itself.
    static void onFatalError();

    struct ViewportRect {
        int left = 0, top = 0, bottom = 0, right = 0;
    };

    Vector3 presentationScale;
    Vector3 texelAlignment;
    bool bFullScreen = false;
    bool bBilinearFilter = false;
    bool bUseVSync = false;
    bool bEnableFontCache = false;
    bool bUseHardwareTL = false;
    bool bSimulate256x256TextureHW = false;
    int layoutWidth = 800;
    int layoutHeight = 480;
    int videoModeWidth = 0;
    int videoModeHeight = 0;
    int viewportWidth = 0;
    int viewportHeight = 0;
    int backBufferBits = 0;
    float layoutAspect = 0.6f;
    float viewportAspect = 0.0f;
    bool bScreenshotPass = false;
    bool bHighDetail = false;
    QelBase* videoModes = nullptr;
    ViewportRect viewport;
    IDirect3DDevice9* dxDevice = nullptr;
    bool bAllowLetterbox = false;
    int backBufferWidth = 0;
    int backBufferHeight = 0;
    int desktopWidth = 0;
    int desktopHeight = 0;
    D3DFORMAT desktopFormat = D3DFMT_UNKNOWN;
    RECT workArea;
    IDirect3D9* dxD3D = nullptr;
    D3DCAPS9 caps;
    D3DFORMAT backBufferFormat = D3DFMT_UNKNOWN;

    HWND hWindow = nullptr;
    // The client rectangle adjustWindow last gave the window (screen coordinates).
    RECT windowClientRect;
    MemoryIniFile* pConfig = nullptr;
    D3DPRESENT_PARAMETERS d3dpp;

    // Makes the Direct3D object; tests put a recording one here.
    static inline IDirect3D9* (*createDirect3D)(UINT sdkVersion) = &Direct3DCreate9;

private:
    // The requested presentation that last gave a working device.
    struct Request {
        int width = 0, height = 0;
        bool bFullScreen = false;
    };
    bool tryReset();
    Request lastWorking;
    bool bHaveLastWorking = false;
};
