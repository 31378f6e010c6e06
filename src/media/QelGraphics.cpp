#include "media/QelGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/BasicLinkIterator.h"
#include "media/Context.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/ObjectListEntry.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/MemoryImageFile.h"
#include "media/PointerDispatcher.h"
#include "media/VertexBuffer.h"
#include "media/VideoMode.h"
#include "platform/D3DX9.h"
#include "platform/WindowPlacement.h"

QEL_IMPLEMENT_CLASS(QelGraphics, nullptr, nullptr)

namespace {

// Result names for the error reports, from the start of the program.
const bool resultNamesRegistered = (ErrorManager::resultNameLookup = &getD3DResultName, true);

QelGraphics* liveGraphics = nullptr;

const char16_t* const section = u"QelGraphics";

int readInt(MemoryIniFile* config, const char16_t* key, int defaultValue) {
    if (!config) return defaultValue;
    if (!config->hasKey(section, key)) config->setInt(defaultValue, section, key);
    return config->getInt(section, key);
}

double readDouble(MemoryIniFile* config, const char16_t* key, double defaultValue) {
    if (!config) return defaultValue;
    if (!config->hasKey(section, key)) config->setDouble(defaultValue, section, key);
    return config->getDouble(section, key);
}

bool readBool(MemoryIniFile* config, const char16_t* key, bool defaultValue) {
    if (!config) return defaultValue;
    if (!config->hasKey(section, key)) config->setBool(defaultValue, section, key);
    return config->getBool(section, key);
}

// A failed call reported as a failed assertion whose error text is the result's name.
[[noreturn]] void fatalResult(HRESULT hr, const char16_t* statement, int line) {
    ErrorManager::error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", ErrorManager::getDXErrorString(hr),
                        statement, u"QelGraphics::QelGraphics", getFileName(utf8ToWide(__FILE__)), line);
}

// Debug features stay locked without an engine.
bool debugLocked() { return !qel || qel->bDebugLocked; }

// The frame loop's device test and restore go to the device.
int32_t testLiveDevice() { return liveGraphics && liveGraphics->dxDevice ? liveGraphics->dxDevice->TestCooperativeLevel() : D3D_OK; }
bool restoreLivePresentation() { return !liveGraphics || liveGraphics->restorePresentation(true); }

// The pointer dispatcher's outlines: a line strip in world space, untextured.
void drawLineStrip(const PointerDispatcher::OutlineVertex* vertices, int count) {
    if (!liveGraphics || !liveGraphics->dxDevice || count < 2) return;
    VertexBuffer strip(count);
    for (int i = 0; i < count; ++i) {
        const auto& v = vertices[i];
        strip.vertexData[i] = Vertex{v.x, v.y, v.z, v.colour, v.u, v.v};
    }
    strip.upload();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    liveGraphics->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    strip.draw(nullptr, 2, 0, -1);
}

const char16_t* onOff(bool fullScreen) { return fullScreen ? u"fullscreen" : u"windowed"; }

}  // namespace

QelGraphics::QelGraphics(HWND window, MemoryIniFile* config) : hWindow(window), pConfig(config) {
    (void)resultNamesRegistered;
    const char16_t* fn = u"QelGraphics::QelGraphics";
    qelLog(fn, u"Starting...");

    layoutWidth = 800;
    layoutHeight = 480;
    videoModeWidth = readInt(config, u"videoModeWidth", -1);
    videoModeHeight = readInt(config, u"videoModeHeight", -1);
    texelAlignment.x = float(readDouble(config, u"texelAlignment.x", 0.5));
    texelAlignment.y = float(readDouble(config, u"texelAlignment.y", -0.5));
    texelAlignment.z = float(readDouble(config, u"texelAlignment.z", 0.0));
    bFullScreen = readBool(config, u"bFullScreen", true);
    bBilinearFilter = readBool(config, u"bBilinearFilter", true);
    bUseHardwareTL = readBool(config, u"bUseHardwareTL", true);
    bUseVSync = readBool(config, u"bUseVSync", false);
    bEnableFontCache = readBool(config, u"bEnableFontCache", true);
    bSimulate256x256TextureHW = readBool(config, u"bSimulate256x256TextureHW", true);
    bAllowLetterbox = readBool(config, u"bAllowLetterbox", true);

    if (hasCommandLineParameter(u"-safe")) {
        videoModeWidth = 800;
        videoModeHeight = 600;
        bFullScreen = false;
    }
    layoutAspect = float(layoutHeight) / float(layoutWidth);

    dxD3D = createDirect3D(D3D_SDK_VERSION);
    if (!dxD3D) ErrorManager::error(u"Could not create DirectX object. Make sure you have DirectX 9.0c (or later) installed.");
    if (dxFailed(dxD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)))
        ErrorManager::error(u"Cannot find Direct3D hardware acceleration on your primary display device.");

    dumpAdapterInfo();
    dumpDeviceCaps();

    videoModes = new QelBase();
    qelLog(fn, u"Supported adapter modes:");
    const D3DFORMAT listed[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    for (D3DFORMAT format : listed) {
        UINT count = dxD3D->GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode;
            if (dxFailed(dxD3D->EnumAdapterModes(D3DADAPTER_DEFAULT, format, i, &mode))) continue;
            qelLog(fn, u" %dx%d %s @ %d Hz.", int(mode.Width), int(mode.Height), D3DFORMAT2string(mode.Format), int(mode.RefreshRate));
            addVideoMode(int(mode.Width), int(mode.Height));
        }
    }
    if (!debugLocked()) {
        addVideoMode(320, 240);
        addVideoMode(480, 360);
    }
    qelLog(fn, u"Sorted adapter modes:");
    for (BasicLink* child = videoModes->firstChild; child; child = child->next)
        qelLog(fn, u" %s", static_cast<VideoMode*>(child)->getModeText());

    bool bAllowTL = bUseHardwareTL && (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    qelLog(fn, bAllowTL ? u"Using hardware T&L." : u"Hardware T&L is not available (or disabled).");

    D3DDISPLAYMODE desktopMode;
    HRESULT hr = dxD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktopMode);
    if (dxFailed(hr)) fatalResult(hr, u"dxD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktopMode)", __LINE__);
    qelLog(fn, u"Desktop resolution is %dx%d %s @ %d Hz.", int(desktopMode.Width), int(desktopMode.Height),
           D3DFORMAT2string(desktopMode.Format), int(desktopMode.RefreshRate));
    desktopWidth = int(desktopMode.Width);
    desktopHeight = int(desktopMode.Height);
    desktopFormat = desktopMode.Format;

    if (videoModeWidth < 0) videoModeWidth = desktopWidth;
    if (videoModeHeight < 0) videoModeHeight = desktopHeight;
    if (!platform::getWorkArea(&workArea)) workArea = RECT{0, 0, desktopWidth, desktopHeight};

    buildPresentParameters();
    hr = dxD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWindow,
                             bAllowTL ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING, &d3dpp, &dxDevice);
    if (dxFailed(hr))
        fatalResult(hr,
                    u"dxD3D->CreateDevice( D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, qel->hWindowHandle, bAllowTL ? "
                    u"D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING, &d3dpp, &dxDevice)",
                    __LINE__);
    lastWorking = Request{videoModeWidth, videoModeHeight, bFullScreen};
    bHaveLastWorking = true;
    qelLog(fn, u"Available texture memory: %u", dxDevice->GetAvailableTextureMem());

    resetGammaRamp();
    restorePresentation(false);
    liveGraphics = this;
    if (qel) qel->crashGraphicsHook = &QelGraphics::onFatalError;
    Qel::deviceTestHook = &testLiveDevice;
    Qel::restorePresentationHook = &restoreLivePresentation;
    PointerDispatcher::lineStripDrawer = &drawLineStrip;
    qelLog(fn, u"Started.");
}

QelGraphics::~QelGraphics() {
    if (bFullScreen && dxDevice) {
        bFullScreen = false;
        restorePresentation(true);
    }
    if (liveGraphics == this) {
        liveGraphics = nullptr;
        if (qel && qel->crashGraphicsHook == &QelGraphics::onFatalError) qel->crashGraphicsHook = nullptr;
        if (Qel::deviceTestHook == &testLiveDevice) Qel::deviceTestHook = nullptr;
        if (Qel::restorePresentationHook == &restoreLivePresentation) Qel::restorePresentationHook = nullptr;
        if (PointerDispatcher::lineStripDrawer == &drawLineStrip) PointerDispatcher::lineStripDrawer = nullptr;
    }
    if (dxDevice) {
        dxDevice->Release();
        dxDevice = nullptr;
    }
    if (dxD3D) {
        dxD3D->Release();
        dxD3D = nullptr;
    }
    delete videoModes;
    videoModes = nullptr;
}

void QelGraphics::onFatalError() {
    static bool bInside = false;
    if (bInside || !liveGraphics) return;
    bInside = true;
    liveGraphics->saveScreenshot(nullptr, getCrashScreenshotPath());
    if (liveGraphics->bFullScreen && liveGraphics->dxDevice) {
        liveGraphics->bFullScreen = false;
        liveGraphics->restorePresentation(true);
    }
}

void QelGraphics::buildPresentParameters() {
    calcClosestMatchParameters(bFullScreen, videoModeWidth, videoModeHeight);
    d3dpp = D3DPRESENT_PARAMETERS();
    d3dpp.BackBufferWidth = UINT(backBufferWidth);
    d3dpp.BackBufferHeight = UINT(backBufferHeight);
    d3dpp.BackBufferFormat = backBufferFormat;
    d3dpp.BackBufferCount = 1;
    d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    d3dpp.Windowed = bFullScreen ? 0 : 1;
    if (bFullScreen)
        d3dpp.PresentationInterval = bUseVSync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    else
        d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    backBufferBits = D3DFORMAT2bits(backBufferFormat);
}

void QelGraphics::setGlobalRenderState() {
    IDirect3DDevice9* d = dxDevice;
    d->SetRenderState(D3DRS_LIGHTING, 0);
    d->SetRenderState(D3DRS_DITHERENABLE, 0);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (bScreenshotPass) {
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
    } else {
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    }
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    DWORD filter = bBilinearFilter ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    d->SetSamplerState(0, D3DSAMP_MIPFILTER, filter);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);

    DWORD passes = 0;
    HRESULT hr = d->ValidateDevice(&passes);
    qelLog(u"QelGraphics::setGlobalRenderState", u"Device validation: %s (%s, %d passes required).",
           dxSucceeded(hr) ? u"PASSED" : u"FAILED", ErrorManager::getDXErrorString(hr), int(passes));
}

void QelGraphics::resetViewport() {
    D3DVIEWPORT9 whole{0, 0, DWORD(backBufferWidth), DWORD(backBufferHeight), 0.0f, 1.0f};
    dxDevice->SetViewport(&whole);
    dxDevice->Clear(0, nullptr, D3DCLEAR_TARGET, debugLocked() ? 0xFF000000 : 0xFFFF0000, 1.0f, 0);
    D3DVIEWPORT9 inner{DWORD(viewport.left), DWORD(viewport.top), DWORD(viewport.right - viewport.left),
                       DWORD(viewport.bottom - viewport.top), 0.0f, 1.0f};
    dxDevice->SetViewport(&inner);
}

void QelGraphics::flip() {
    HRESULT hr = dxDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr != D3D_OK) qelLog(u"QelGraphics::flip", u"Present failed with code %s.", ErrorManager::getDXErrorString(hr));
}

bool QelGraphics::tryReset() {
    buildPresentParameters();
    HRESULT hr = dxDevice->Reset(&d3dpp);
    qelLog(u"QelGraphics::restorePresentation", u"dxDevice->Reset() returned %s.", ErrorManager::getDXErrorString(hr));
    if (dxSucceeded(hr)) return true;
    if (hr == D3DERR_DEVICELOST) return false;  // nothing works until the device can be reset

    // These parameters do not work: go back to the last request that did, then to a window of
    // the layout's size, rather than staying frozen for good.
    Request fallbacks[2];
    int n = 0;
    Request windowed{layoutWidth, layoutHeight, false};
    if (bHaveLastWorking) fallbacks[n++] = lastWorking;
    fallbacks[n++] = windowed;
    for (int i = 0; i < n; ++i) {
        const Request& r = fallbacks[i];
        if (r.width == videoModeWidth && r.height == videoModeHeight && r.bFullScreen == bFullScreen) continue;
        qelLog(u"QelGraphics::restorePresentation", u"Falling back to %dx%d %s.", r.width, r.height, onOff(r.bFullScreen));
        videoModeWidth = r.width;
        videoModeHeight = r.height;
        bFullScreen = r.bFullScreen;
        buildPresentParameters();
        hr = dxDevice->Reset(&d3dpp);
        qelLog(u"QelGraphics::restorePresentation", u"dxDevice->Reset() returned %s.", ErrorManager::getDXErrorString(hr));
        if (dxSucceeded(hr)) return true;
        if (hr == D3DERR_DEVICELOST) return false;
    }
    return false;
}

bool QelGraphics::restorePresentation(bool bReset) {
    if (bReset) {
        if (!tryReset()) return false;
        lastWorking = Request{videoModeWidth, videoModeHeight, bFullScreen};
        bHaveLastWorking = true;
    }
    float r = float(viewportWidth) / float(layoutWidth);
    Vector3 s(float(layoutWidth) / float(viewportWidth), float(layoutHeight) / float(viewportHeight), 1.0f);
    if (r < 0.85f)
        presentationScale = s * 0.5f;
    else if (r >= 1.5f)
        presentationScale = Vector3(1.0f, 1.0f, 1.0f);
    else
        presentationScale = s;
    setGlobalRenderState();
    adjustWindow();
    if (bReset) {
        qelLog(u"QelGraphics::restorePresentation", u"Notifying %d objects.", Qel::objectList.countChildren());
        BasicLinkIterator::forEach(&Qel::objectList, 0,
                                   [](BasicLink* entry) { static_cast<ObjectListEntry*>(entry)->object->onRestorePresentation(); });
    }
    return true;
}

void QelGraphics::adjustWindow() {
    RECT client;
    if (bFullScreen) {
        client = RECT{0, 0, backBufferWidth, backBufferHeight};
    } else {
        client.left = ((workArea.right - workArea.left) - backBufferWidth) / 2;
        client.top = ((workArea.bottom - workArea.top) - backBufferHeight) / 2;
        client.right = client.left + backBufferWidth;
        client.bottom = client.top + backBufferHeight;
    }
    windowClientRect = client;
    platform::placeWindow(hWindow, bFullScreen, client);
}

void QelGraphics::resetGammaRamp() {
    if (!bFullScreen) return;
    D3DGAMMARAMP ramp;
    for (int i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = WORD(i * 256);
    dxDevice->SetGammaRamp(0, D3DSGR_NO_CALIBRATION, &ramp);
}

void QelGraphics::changePresentationParameters(int width, int height, bool newFullScreen, bool newAllowLetterbox,
                                               bool newBilinearFilter, bool newUseVSync) {
    if (width < 0) width = videoModeWidth;
    if (height < 0) height = videoModeHeight;
    bool restart = newAllowLetterbox != bAllowLetterbox || newUseVSync != bUseVSync || newFullScreen != bFullScreen ||
                   width != videoModeWidth || height != videoModeHeight;
    videoModeWidth = width;
    videoModeHeight = height;
    bFullScreen = newFullScreen;
    bAllowLetterbox = newAllowLetterbox;
    bBilinearFilter = newBilinearFilter;
    bUseVSync = newUseVSync;
    if (restart) {
        qelLog(u"QelGraphics::changePresentationParameters", u"Restarting to apply configuration.");
        if (qel) qel->bFreezeRequested = true;
    } else {
        setGlobalRenderState();
    }
}

void QelGraphics::saveSettings() {
    if (!pConfig) return;
    pConfig->setInt(videoModeWidth, section, u"videoModeWidth");
    pConfig->setInt(videoModeHeight, section, u"videoModeHeight");
    pConfig->setBool(bFullScreen, section, u"bFullScreen");
    pConfig->setBool(bBilinearFilter, section, u"bBilinearFilter");
    pConfig->setBool(bUseVSync, section, u"bUseVSync");
    pConfig->setBool(bAllowLetterbox, section, u"bAllowLetterbox");
    pConfig->setDouble(texelAlignment.x, section, u"texelAlignment.x");
    pConfig->setDouble(texelAlignment.y, section, u"texelAlignment.y");
    pConfig->setDouble(texelAlignment.z, section, u"texelAlignment.z");
}

// Video modes, closest match and letterboxing.

void QelGraphics::addVideoMode(int width, int height) {
    BasicLink* after = nullptr;
    for (BasicLink* child = videoModes->firstChild; child; child = child->next) {
        auto* mode = static_cast<VideoMode*>(child);
        if (mode->width == width && mode->height == height) return;
        if (mode->width < width || (mode->width == width && mode->height < height)) after = child;
    }
    auto* mode = new VideoMode(width, height);
    if (after)
        videoModes->insertChildAfter(mode, after);
    else
        videoModes->prependChild(mode);
}

void QelGraphics::calcClosestMatchParameters(bool fullScreen, int width, int height) {
    const char16_t* fn = u"QelGraphics::calcClosestMatchParameters";
    qelLog(fn, u"Requested mode %dx%d, %s %s (%dbpp).", width, height, onOff(fullScreen), D3DFORMAT2string(D3DFMT_X8R8G8B8),
           D3DFORMAT2bits(D3DFMT_X8R8G8B8));

    D3DFORMAT format = D3DFMT_UNKNOWN;
    bool found = false;
    const D3DFORMAT candidates[] = {D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    for (D3DFORMAT candidate : candidates) {
        qelLog(fn, u"Checking for video format %s.", D3DFORMAT2string(candidate));
        UINT count = dxD3D->GetAdapterModeCount(D3DADAPTER_DEFAULT, candidate);
        for (UINT i = 0; i < count && !found; ++i) {
            D3DDISPLAYMODE mode;
            if (dxSucceeded(dxD3D->EnumAdapterModes(D3DADAPTER_DEFAULT, candidate, i, &mode)) && mode.Format == candidate) {
                qelLog(fn, u"Found.");
                format = candidate;
                found = true;
            }
        }
        if (found) break;
    }
    if (!found) {
        qelLog(fn, u"No suitable format found, trying windowed.");
        fullScreen = false;
    }

    int W = 0, H = 0;
    if (fullScreen) {
        int bestW = 0, bestH = 0;
        for (BasicLink* child = videoModes->firstChild; child; child = child->next) {
            auto* mode = static_cast<VideoMode*>(child);
            if (mode->width <= width && mode->height <= height) {
                bestW = mode->width;
                bestH = mode->height;
            }
        }
        if (bestW == 0 && bestH == 0 && videoModes->firstChild) {
            bestW = static_cast<VideoMode*>(videoModes->firstChild)->width;
            bestH = static_cast<VideoMode*>(videoModes->firstChild)->height;
        }
        QEL_ASSERT(u"QelGraphics::calcClosestMatchParameters", bestW != 0 && bestH != 0);
        width = W = bestW;
        height = H = bestH;
    } else {
        format = desktopFormat;
        qelLog(fn, u"Running windowed, forcing desktop video mode %s.", D3DFORMAT2string(format));
        W = width;
        H = int(double(layoutAspect) * width);
        int availW = workArea.right - workArea.left - 20;
        int availH = workArea.bottom - workArea.top - 40;
        qelLog(fn, u"Limiting resolution to %dx%d, available space (%d,%d)-(%d,%d).", availW, availH, workArea.left, workArea.top,
               workArea.right, workArea.bottom);
        if (width > availW && width > 0) {
            double k = double(availW) / double(width);
            W = int(double(width) * k);
            H = int(double(H) * k);
        }
        if (H > availH && H > 0) {
            double k = double(availH) / double(H);
            W = int(double(W) * k);
            H = int(double(H) * k);
        }
        W &= ~1;
        H &= ~1;
        // A window needs a back buffer of at least one pixel pair.
        if (W < 2) W = 2;
        if (H < 2) H = 2;
    }
    qelLog(fn, u"Best mode found %dx%d (window %dx%d), %s %s (%dbpp).", width, height, W, H, onOff(fullScreen),
           D3DFORMAT2string(format), D3DFORMAT2bits(format));

    ViewportRect v{0, 0, H, W};
    double windowAspect = double(H) / double(W);
    double fovAspect = double(layoutWidth) / double(layoutHeight);
    qelLog(fn, u"Window aspect ratio = %.6lf, fov aspect ratio = %.6lf", double(W) / double(H), fovAspect);
    bool bCloseEnough = std::fabs(double(W) / double(H) - fovAspect) < 0.2;
    qelLog(fn, u"bCloseEnough=%d", bCloseEnough ? 1 : 0);
    if (!bCloseEnough && bAllowLetterbox) {
        if (double(layoutAspect) > windowAspect) {
            qelLog(fn, u"Pillarboxing.");
            int vw = std::max(2, int(double(H) / double(layoutAspect)) & ~1);
            v.left = (W - vw) / 2;
            v.right = v.left + vw;
        } else {
            qelLog(fn, u"Letterboxing.");
            int vh = std::min(H, std::max(2, int(double(layoutAspect) * double(W)) & ~1));
            v.top = (H - vh) / 2;
            v.bottom = v.top + vh;
        }
    }
    qelLog(fn, u"Viewport %dx%d (%d,%d)-(%d,%d)", v.right - v.left, v.bottom - v.top, v.left, v.top, v.right, v.bottom);

    backBufferFormat = format;
    bFullScreen = fullScreen;
    videoModeWidth = width;
    videoModeHeight = height;
    viewport = v;
    backBufferWidth = W;
    backBufferHeight = H;
    viewportWidth = v.right - v.left;
    viewportHeight = v.bottom - v.top;
    viewportAspect = float(viewportHeight) / float(viewportWidth);
}

Vector3 QelGraphics::windowToLayout(float x, float y, float z) const {
    // Layout y grows upwards: the viewport's bottom edge is layout y 0.
    return Vector3(remapClamped(0.0f, float(layoutWidth), float(viewport.left), float(viewport.right), x),
                   remapClamped(0.0f, float(layoutHeight), float(viewport.bottom), float(viewport.top), y), z);
}

// Diagnostics.

void QelGraphics::dumpAdapterInfo() {
    const char16_t* fn = u"QelGraphics::dumpAdapterInfo";
    D3DADAPTER_IDENTIFIER9 id;  // starts zeroed, so a failed query logs empty fields
    dxD3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id);
    id.Driver[sizeof(id.Driver) - 1] = 0;
    id.Description[sizeof(id.Description) - 1] = 0;
    qelLog(fn, u"Adapter information:");
    qelLog(fn, u"%s: %s", u"Driver", utf8ToWide(id.Driver));
    qelLog(fn, u"%s: %s", u"Description", utf8ToWide(id.Description));
    uint32_t high = uint32_t(uint64_t(id.DriverVersion) >> 32), low = uint32_t(uint64_t(id.DriverVersion));
    uint32_t parts[4] = {high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF};
    qelLog(fn, u"%s: Product(0x%04x), Version(0x%04x), SubVersion(0x%04x), Build(0x%04x)", u"DriverVersion (hex)", parts[0],
           parts[1], parts[2], parts[3]);
    qelLog(fn, u"%s: Product(%d), Version(%d), SubVersion(%d), Build(%d)", u"DriverVersion (decimal)", int(parts[0]),
           int(parts[1]), int(parts[2]), int(parts[3]));
    qelLog(fn, u"%s: 0x%lx", u"VendorId", id.VendorId);
    qelLog(fn, u"%s: 0x%lx", u"DeviceId", id.DeviceId);
    qelLog(fn, u"%s: 0x%lx", u"SubSysId", id.SubSysId);
    qelLog(fn, u"%s: 0x%lx", u"Revision", id.Revision);
    const GUID& g = id.DeviceIdentifier;
    qelLog(fn, u"%s: %08lx-%04x-%04x-%02x%02x%02x%02x%02x%02x%02x%02x", u"DeviceIdentifier", g.Data1, uint32_t(g.Data2),
           uint32_t(g.Data3), uint32_t(g.Data4[0]), uint32_t(g.Data4[1]), uint32_t(g.Data4[2]), uint32_t(g.Data4[3]),
           uint32_t(g.Data4[4]), uint32_t(g.Data4[5]), uint32_t(g.Data4[6]), uint32_t(g.Data4[7]));
    qelLog(fn, u"WHQLLevel: 0x%lx", id.WHQLLevel);
}

namespace {

struct Flag {
    const char16_t* name;
    DWORD bit;
};

template <class... Args>
void capsLine(WStringView fmt, const Args&... args) {
    if (qel && qel->pLogger) qel->pLogger->log(fmt, args...);
}

void flagsLine(const char16_t* field, DWORD value, const char16_t* prefix, std::initializer_list<Flag> flags) {
    WString supported, unsupported;
    for (const Flag& f : flags) {
        WString& text = (value & f.bit) ? supported : unsupported;
        text += u" ";
        text += prefix;
        text += f.name;
    }
    capsLine(u"\t%s:%s", field, supported);
    if (!unsupported.empty()) capsLine(u"\t%s %s", u"(unsupported)", unsupported);
}

const std::initializer_list<Flag> compareFlags = {{u"ALWAYS", 0x80}, {u"EQUAL", 0x4},    {u"GREATER", 0x10},
                                                  {u"GREATEREQUAL", 0x40}, {u"LESS", 0x2}, {u"LESSEQUAL", 0x8},
                                                  {u"NEVER", 0x1},  {u"NOTEQUAL", 0x20}};
const std::initializer_list<Flag> blendFlags = {
    {u"BOTHINVSRCALPHA", 0x1000}, {u"BOTHSRCALPHA", 0x800}, {u"DESTALPHA", 0x40}, {u"DESTCOLOR", 0x100},
    {u"INVDESTALPHA", 0x80},      {u"INVDESTCOLOR", 0x200}, {u"INVSRCALPHA", 0x20}, {u"INVSRCCOLOR", 0x8},
    {u"ONE", 0x2},                {u"SRCALPHA", 0x10},      {u"SRCALPHASAT", 0x400}, {u"SRCCOLOR", 0x4},
    {u"ZERO", 0x1}};
const std::initializer_list<Flag> filterFlags = {{u"MAGFANISOTROPIC", 0x4000000}, {u"MAGFLINEAR", 0x2000000},
                                                 {u"MAGFPOINT", 0x1000000},       {u"MINFANISOTROPIC", 0x400},
                                                 {u"MINFLINEAR", 0x200},          {u"MINFPOINT", 0x100},
                                                 {u"MIPFLINEAR", 0x20000},        {u"MIPFPOINT", 0x10000}};
const std::initializer_list<Flag> addressFlags = {{u"BORDER", 0x8}, {u"CLAMP", 0x4},       {u"INDEPENDENTUV", 0x10},
                                                  {u"MIRROR", 0x2}, {u"MIRRORONCE", 0x20}, {u"WRAP", 0x1}};

}  // namespace

void QelGraphics::dumpDeviceCaps() {
    const D3DCAPS9& c = caps;
    WString deviceType;
    if (c.DeviceType == 1) deviceType = u" D3DDEVTYPE_HAL";
    if (c.DeviceType == 2) deviceType = u" D3DDEVTYPE_REF";
    if (c.DeviceType == 3) deviceType = u" D3DDEVTYPE_SW";
    capsLine(u"\t%s:%s", u"DeviceType", deviceType);
    capsLine(u"\t%s: %u", u"AdapterOrdinal", uint32_t(c.AdapterOrdinal));
    flagsLine(u"Caps", c.Caps, u"D3DCAPS_", {{u"READ_SCANLINE", 0x20000}});
    flagsLine(u"Caps2", c.Caps2, u"D3DCAPS2_", {{u"CANCALIBRATEGAMMA", 0x100000}, {u"FULLSCREENGAMMA", 0x20000}});
    flagsLine(u"PresentationIntervals", c.PresentationIntervals, u"D3DPRESENT_INTERVAL_",
              {{u"IMMEDIATE", 0x80000000u}, {u"ONE", 1}, {u"TWO", 2}, {u"THREE", 4}, {u"FOUR", 8}});
    flagsLine(u"CursorCaps", c.CursorCaps, u"D3DCURSORCAPS_", {{u"COLOR", 1}, {u"LOWRES", 2}});
    flagsLine(u"DevCaps", c.DevCaps, u"D3DDEVCAPS_",
              {{u"CANBLTSYSTONONLOCAL", 0x20000}, {u"CANRENDERAFTERFLIP", 0x800}, {u"DRAWPRIMTLVERTEX", 0x400},
               {u"EXECUTESYSTEMMEMORY", 0x10}, {u"EXECUTEVIDEOMEMORY", 0x20}, {u"HWRASTERIZATION", 0x80000},
               {u"HWTRANSFORMANDLIGHT", 0x10000}, {u"NPATCHES", 0x1000000}, {u"PUREDEVICE", 0x100000},
               {u"QUINTICRTPATCHES", 0x200000}, {u"RTPATCHES", 0x400000}, {u"RTPATCHHANDLEZERO", 0x800000},
               {u"SEPARATETEXTUREMEMORIES", 0x4000}, {u"TEXTURENONLOCALVIDMEM", 0x1000}, {u"TEXTURESYSTEMMEMORY", 0x100},
               {u"TEXTUREVIDEOMEMORY", 0x200}, {u"TLVERTEXSYSTEMMEMORY", 0x40}, {u"TLVERTEXVIDEOMEMORY", 0x80}});
    flagsLine(u"PrimitiveMiscCaps", c.PrimitiveMiscCaps, u"D3DPMISCCAPS_",
              {{u"BLENDOP", 0x800}, {u"CLIPPLANESCALEDPOINTS", 0x100}, {u"CLIPTLVERTS", 0x200}, {u"COLORWRITEENABLE", 0x80},
               {u"CULLCCW", 0x40}, {u"CULLCW", 0x20}, {u"CULLNONE", 0x10}, {u"MASKZ", 0x2}, {u"TSSARGTEMP", 0x400}});
    flagsLine(u"RasterCaps", c.RasterCaps, u"D3DPRASTERCAPS_",
              {{u"ANISOTROPY", 0x20000}, {u"COLORPERSPECTIVE", 0x400000}, {u"DITHER", 0x1}, {u"FOGRANGE", 0x10000},
               {u"FOGTABLE", 0x100}, {u"FOGVERTEX", 0x80}, {u"MIPMAPLODBIAS", 0x2000}, {u"WBUFFER", 0x40000},
               {u"WFOG", 0x100000}, {u"ZBUFFERLESSHSR", 0x8000}, {u"ZFOG", 0x200000}, {u"ZTEST", 0x10}});
    flagsLine(u"ZCmpCaps", c.ZCmpCaps, u"D3DPCMPCAPS_", compareFlags);
    flagsLine(u"SrcBlendCaps", c.SrcBlendCaps, u"D3DPBLENDCAPS_", blendFlags);
    flagsLine(u"DestBlendCaps", c.DestBlendCaps, u"D3DPBLENDCAPS_", blendFlags);
    flagsLine(u"AlphaCmpCaps", c.AlphaCmpCaps, u"D3DPCMPCAPS_", compareFlags);
    flagsLine(u"ShadeCaps", c.ShadeCaps, u"D3DPSHADECAPS_",
              {{u"ALPHAGOURAUDBLEND", 0x4000}, {u"COLORGOURAUDRGB", 0x8}, {u"FOGGOURAUD", 0x80000}, {u"SPECULARGOURAUDRGB", 0x200}});
    flagsLine(u"TextureCaps", c.TextureCaps, u"D3DPTEXTURECAPS_",
              {{u"ALPHA", 0x4}, {u"ALPHAPALETTE", 0x80}, {u"CUBEMAP", 0x800}, {u"CUBEMAP_POW2", 0x20000}, {u"MIPCUBEMAP", 0x10000},
               {u"MIPMAP", 0x4000}, {u"MIPVOLUMEMAP", 0x8000}, {u"NONPOW2CONDITIONAL", 0x100}, {u"PERSPECTIVE", 0x1},
               {u"POW2", 0x2}, {u"PROJECTED", 0x400}, {u"SQUAREONLY", 0x20}, {u"TEXREPEATNOTSCALEDBYSIZE", 0x40},
               {u"VOLUMEMAP", 0x2000}, {u"VOLUMEMAP_POW2", 0x40000}});
    flagsLine(u"TextureFilterCaps", c.TextureFilterCaps, u"D3DPTFILTERCAPS_", filterFlags);
    flagsLine(u"CubeTextureFilterCaps", c.CubeTextureFilterCaps, u"D3DPTFILTERCAPS_", filterFlags);
    flagsLine(u"VolumeTextureFilterCaps", c.VolumeTextureFilterCaps, u"D3DPTFILTERCAPS_", filterFlags);
    flagsLine(u"TextureAddressCaps", c.TextureAddressCaps, u"D3DPTADDRESSCAPS_", addressFlags);
    flagsLine(u"VolumeTextureAddressCaps", c.VolumeTextureAddressCaps, u"D3DPTADDRESSCAPS_", addressFlags);
    flagsLine(u"LineCaps", c.LineCaps, u"D3DLINECAPS_",
              {{u"ALPHACMP", 0x8}, {u"BLEND", 0x4}, {u"FOG", 0x10}, {u"TEXTURE", 0x1}, {u"ZTEST", 0x2}});
    capsLine(u"\t%s: %u", u"MaxTextureWidth", c.MaxTextureWidth);
    capsLine(u"\t%s: %u", u"MaxTextureHeight", c.MaxTextureHeight);
    capsLine(u"\t%s: %u", u"MaxVolumeExtent", c.MaxVolumeExtent);
    capsLine(u"\t%s: %u", u"MaxTextureRepeat", c.MaxTextureRepeat);
    capsLine(u"\t%s: %u", u"MaxTextureAspectRatio", c.MaxTextureAspectRatio);
    capsLine(u"\t%s: %u", u"MaxAnisotropy", c.MaxAnisotropy);
    capsLine(u"\t%s: %f", u"MaxVertexW", double(c.MaxVertexW));
    capsLine(u"\t%s: %f", u"GuardBandLeft", double(c.GuardBandLeft));
    capsLine(u"\t%s: %f", u"GuardBandTop", double(c.GuardBandTop));
    capsLine(u"\t%s: %f", u"GuardBandRight", double(c.GuardBandRight));
    capsLine(u"\t%s: %f", u"GuardBandBottom", double(c.GuardBandBottom));
    capsLine(u"\t%s: %f", u"ExtentsAdjust", double(c.ExtentsAdjust));
    flagsLine(u"StencilCaps", c.StencilCaps, u"D3DSTENCILCAPS_",
              {{u"DECR", 0x80}, {u"DECRSAT", 0x10}, {u"INCR", 0x40}, {u"INCRSAT", 0x8}, {u"INVERT", 0x20}, {u"KEEP", 0x1},
               {u"REPLACE", 0x4}, {u"ZERO", 0x2}});
    flagsLine(u"FVFCaps", c.FVFCaps, u"D3DFVFCAPS_", {{u"DONOTSTRIPELEMENTS", 0x80000}, {u"PSIZE", 0x100000}});
    capsLine(u"\t%s: %u", u"FVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK", c.FVFCaps & 0xFFFF);
    flagsLine(u"TextureOpCaps", c.TextureOpCaps, u"D3DTEXOPCAPS_",
              {{u"ADD", 0x40}, {u"ADDSIGNED", 0x80}, {u"ADDSIGNED2X", 0x100}, {u"ADDSMOOTH", 0x400},
               {u"BLENDCURRENTALPHA", 0x8000}, {u"BLENDDIFFUSEALPHA", 0x800}, {u"BLENDFACTORALPHA", 0x2000},
               {u"BLENDTEXTUREALPHA", 0x1000}, {u"BLENDTEXTUREALPHAPM", 0x4000}, {u"BUMPENVMAP", 0x200000},
               {u"BUMPENVMAPLUMINANCE", 0x400000}, {u"DISABLE", 0x1}, {u"DOTPRODUCT3", 0x800000}, {u"LERP", 0x2000000},
               {u"MODULATE", 0x8}, {u"MODULATE2X", 0x10}, {u"MODULATE4X", 0x20}, {u"MODULATEALPHA_ADDCOLOR", 0x20000},
               {u"MODULATECOLOR_ADDALPHA", 0x40000}, {u"MODULATEINVALPHA_ADDCOLOR", 0x80000},
               {u"MODULATEINVCOLOR_ADDALPHA", 0x100000}, {u"MULTIPLYADD", 0x1000000}, {u"PREMODULATE", 0x10000},
               {u"SELECTARG1", 0x2}, {u"SELECTARG2", 0x4}, {u"SUBTRACT", 0x200}});
    capsLine(u"\t%s: %u", u"MaxTextureBlendStages", c.MaxTextureBlendStages);
    capsLine(u"\t%s: %u", u"MaxSimultaneousTextures", c.MaxSimultaneousTextures);
    flagsLine(u"VertexProcessingCaps", c.VertexProcessingCaps, u"D3DVTXPCAPS_",
              {{u"DIRECTIONALLIGHTS", 0x8}, {u"LOCALVIEWER", 0x20}, {u"MATERIALSOURCE7", 0x2}, {u"POSITIONALLIGHTS", 0x10},
               {u"TEXGEN", 0x1}, {u"TWEENING", 0x40}});
    capsLine(u"\t%s: %u", u"MaxActiveLights", c.MaxActiveLights);
    capsLine(u"\t%s: %u", u"MaxUserClipPlanes", c.MaxUserClipPlanes);
    capsLine(u"\t%s: %u", u"MaxVertexBlendMatrices", c.MaxVertexBlendMatrices);
    capsLine(u"\t%s: %u", u"MaxVertexBlendMatrixIndex", c.MaxVertexBlendMatrixIndex);
    capsLine(u"\t%s: %f", u"MaxPointSize", double(c.MaxPointSize));
    capsLine(u"\t%s: %u", u"MaxPrimitiveCount", c.MaxPrimitiveCount);
    capsLine(u"\t%s: %u", u"MaxVertexIndex", c.MaxVertexIndex);
    capsLine(u"\t%s: %u", u"MaxStreams", c.MaxStreams);
    capsLine(u"\t%s: %u", u"MaxStreamStride", c.MaxStreamStride);
    capsLine(u"\t%s: 0x%x", u"VertexShaderVersion", c.VertexShaderVersion);
    capsLine(u"\t%s: %u", u"MaxVertexShaderConst", c.MaxVertexShaderConst);
    capsLine(u"\t%s: 0x%x", u"PixelShaderVersion", c.PixelShaderVersion);
    capsLine(u"\t%s: %f", u"PixelShader1xMaxValue", double(c.PixelShader1xMaxValue));
}

WString QelGraphics::D3DFORMAT2string(D3DFORMAT format) {
    struct Name {
        D3DFORMAT format;
        const char16_t* name;
    };
    static const Name names[] = {
        {D3DFMT_UNKNOWN, u"D3DFMT_UNKNOWN"},       {D3DFMT_R8G8B8, u"D3DFMT_R8G8B8"},
        {D3DFMT_A8R8G8B8, u"D3DFMT_A8R8G8B8"},     {D3DFMT_X8R8G8B8, u"D3DFMT_X8R8G8B8"},
        {D3DFMT_R5G6B5, u"D3DFMT_R5G6B5"},         {D3DFMT_X1R5G5B5, u"D3DFMT_X1R5G5B5"},
        {D3DFMT_A1R5G5B5, u"D3DFMT_A1R5G5B5"},     {D3DFMT_A4R4G4B4, u"D3DFMT_A4R4G4B4"},
        {D3DFMT_R3G3B2, u"D3DFMT_R3G3B2"},         {D3DFMT_A8, u"D3DFMT_A8"},
        {D3DFMT_A8R3G3B2, u"D3DFMT_A8R3G3B2"},     {D3DFMT_X4R4G4B4, u"D3DFMT_X4R4G4B4"},
        {D3DFMT_A2B10G10R10, u"D3DFMT_A2B10G10R10"}, {D3DFMT_G16R16, u"D3DFMT_G16R16"},
        {D3DFMT_A8P8, u"D3DFMT_A8P8"},             {D3DFMT_P8, u"D3DFMT_P8"},
        {D3DFMT_L8, u"D3DFMT_L8"},                 {D3DFMT_A8L8, u"D3DFMT_A8L8"},
        {D3DFMT_A4L4, u"D3DFMT_A4L4"},             {D3DFMT_V8U8, u"D3DFMT_V8U8"},
        {D3DFMT_L6V5U5, u"D3DFMT_L6V5U5"},         {D3DFMT_X8L8V8U8, u"D3DFMT_X8L8V8U8"},
        {D3DFMT_Q8W8V8U8, u"D3DFMT_Q8W8V8U8"},     {D3DFMT_V16U16, u"D3DFMT_V16U16"},
        {D3DFMT_A2W10V10U10, u"D3DFMT_A2W10V10U10"}, {D3DFMT_UYVY, u"D3DFMT_UYVY"},
        {D3DFMT_YUY2, u"D3DFMT_YUY2"},             {D3DFMT_DXT1, u"D3DFMT_DXT1"},
        {D3DFMT_DXT2, u"D3DFMT_DXT2"},             {D3DFMT_DXT3, u"D3DFMT_DXT3"},
        {D3DFMT_DXT4, u"D3DFMT_DXT4"},             {D3DFMT_DXT5, u"D3DFMT_DXT5"},
        {D3DFMT_D16_LOCKABLE, u"D3DFMT_D16_LOCKABLE"}, {D3DFMT_D32, u"D3DFMT_D32"},
        {D3DFMT_D15S1, u"D3DFMT_D15S1"},           {D3DFMT_D24S8, u"D3DFMT_D24S8"},
        {D3DFMT_D16, u"D3DFMT_D16"},               {D3DFMT_D24X8, u"D3DFMT_D24X8"},
        {D3DFMT_D24X4S4, u"D3DFMT_D24X4S4"},       {D3DFMT_VERTEXDATA, u"D3DFMT_VERTEXDATA"},
        {D3DFMT_INDEX16, u"D3DFMT_INDEX16"},       {D3DFMT_INDEX32, u"D3DFMT_INDEX32"},
    };
    for (const Name& n : names)
        if (n.format == format) return n.name;
    return ::format(u"unknown(%d)", int(format));
}

int QelGraphics::D3DFORMAT2bits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A2B10G10R10:
            return 32;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_A8R3G3B2:
        case D3DFMT_X4R4G4B4:
            return 16;
        default:
            qelLog(u"QelGraphics::D3DFORMAT2bits", u"Unhandled pixel format: %s", D3DFORMAT2string(format));
            return 0;
    }
}

// Screenshots: the back buffer copied into an image and written as TGA (with the mask pass for
// its alpha), BMP or JPG.

MemoryImageFile* QelGraphics::captureBackBuffer() {
    auto* image = new MemoryImageFile(std::max(1, backBufferWidth), std::max(1, backBufferHeight));
    image->bHasAlpha = true;
    std::memset(image->pImageData, 0, size_t(image->width) * size_t(image->height) * sizeof(UColor));
    if (!dxDevice) return image;
    UINT w = 0, h = 0;
    std::vector<D3DCOLOR> pixels;
    if (dxFailed(dxDevice->GetBackBufferPixels(&w, &h, &pixels))) return image;
    const size_t rows = std::min<size_t>(h, size_t(image->height));
    const size_t columns = std::min<size_t>(w, size_t(image->width));
    if (pixels.size() < size_t(w) * size_t(h)) return image;
    for (size_t y = 0; y < rows; ++y)
        std::memcpy(image->pImageData + y * size_t(image->width), pixels.data() + y * size_t(w), columns * sizeof(UColor));
    return image;
}

void QelGraphics::saveScreenshot(Context* drawRoot, WStringView fileName) {
    if (!dxD3D || !dxDevice) return;
    MemoryImageFile* picture = captureBackBuffer();
    if (fileName.find(u".tga") != WStringView::npos) {
        // The mask: the scene again in white on black. Inside the frame's own scene a second
        // BeginScene is refused; the draw then joins that scene, which is not closed here.
        bScreenshotPass = true;
        setGlobalRenderState();
        dxDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        const bool bOwnScene = dxSucceeded(dxDevice->BeginScene());
        if (drawRoot) drawRoot->draw();
        bScreenshotPass = false;
        setGlobalRenderState();
        MemoryImageFile* mask = captureBackBuffer();
        // The frame goes on to be shown: draw the scene back over the mask.
        if (drawRoot) {
            resetViewport();
            drawRoot->draw();
        }
        if (bOwnScene) dxDevice->EndScene();

        const size_t count = size_t(mask->width) * size_t(mask->height);
        for (size_t i = 0; i < count && i < size_t(picture->width) * size_t(picture->height); ++i) {
            const uint32_t a = (mask->pImageData[i] >> 16) & 0xFF;
            UColor& p = picture->pImageData[i];
            p = (p & 0x00FFFFFFu) | a << 24;
            if (a >= 1 && a <= 254) {
                const float f = 1.0f / (float(a) / 255.0f);
                uint32_t out = a << 24;
                for (int shift = 0; shift < 24; shift += 8) {
                    const float c = f * float((p >> shift) & 0xFF);
                    out |= uint32_t(std::min(255.0f, float(int(c)))) << shift;
                }
                p = out;
            }
        }
        delete mask;
    }
    WString reason = u"not a picture name";
    bool saved = false;
    if (fileName.find(u".tga") != WStringView::npos) saved = picture->saveTGA(fileName, &reason);
    else if (fileName.find(u".bmp") != WStringView::npos) saved = picture->saveBMP(fileName, &reason);
    else if (fileName.find(u".jpg") != WStringView::npos) saved = picture->saveJPG(60, fileName, &reason);
    delete picture;
    if (saved) qelLog(u"QelGraphics::saveScreenshot", u"Saved '%s'.", fileName);
    else FileManager::reportFileProblem(u"QelGraphics::saveScreenshot", fileName, format(u"Could not save the screenshot '%s' (%s).", fileName, reason));
}
