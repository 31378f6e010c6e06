#include "platform/GlDirect3D.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/GlDevice.h"

IDirect3D9* Direct3DCreate9(UINT) {
    auto* d3d = new GlDirect3D();
    if (!d3d->init()) {
        d3d->Release();
        return nullptr;
    }
    return d3d;
}

GlDirect3D::GlDirect3D() = default;

GlDirect3D::~GlDirect3D() {
    if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool GlDirect3D::init() {
    videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return videoStarted && SDL_GetNumVideoDisplays() > 0;
}

ULONG GlDirect3D::Release() {
    ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
}

HRESULT GlDirect3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
    if (!identifier || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    *identifier = D3DADAPTER_IDENTIFIER9();
    const char* videoDriver = SDL_GetCurrentVideoDriver();
    std::snprintf(identifier->DeviceName, sizeof(identifier->DeviceName), "%s", videoDriver ? videoDriver : "");

    // The renderer strings need a context: a hidden 1 by 1 window lends one for the question.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    GlDevice::setContextAttributes();
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return D3DERR_NOTAVAILABLE;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    HRESULT hr = D3DERR_NOTAVAILABLE;
    if (context) {
        auto text = [](GLenum name) {
            const GLubyte* s = glGetString(name);
            return s ? reinterpret_cast<const char*>(s) : "";
        };
        std::snprintf(identifier->Driver, sizeof(identifier->Driver), "OpenGL %s", text(GL_VERSION));
        std::snprintf(identifier->Description, sizeof(identifier->Description), "%s (%s)", text(GL_RENDERER), text(GL_VENDOR));
        int major = 0, minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        identifier->DriverVersion = (int64_t(major) << 48) | (int64_t(minor) << 32);
        SDL_GL_DeleteContext(context);
        hr = D3D_OK;
    }
    SDL_DestroyWindow(window);
    if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
    return hr;
}

D3DFORMAT GlDirect3D::formatFromSdl(uint32_t sdlFormat) {
    switch (sdlFormat) {
        case SDL_PIXELFORMAT_RGB888:
        case SDL_PIXELFORMAT_RGB24:
            return D3DFMT_X8R8G8B8;
        case SDL_PIXELFORMAT_ARGB8888:
            return D3DFMT_A8R8G8B8;
        case SDL_PIXELFORMAT_RGB565:
            return D3DFMT_R5G6B5;
        case SDL_PIXELFORMAT_RGB555:
            return D3DFMT_X1R5G5B5;
        default:
            return SDL_BITSPERPIXEL(sdlFormat) >= 24 ? D3DFMT_X8R8G8B8 : D3DFMT_UNKNOWN;
    }
}

UINT GlDirect3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
    if (adapter != D3DADAPTER_DEFAULT) return 0;
    int n = SDL_GetNumDisplayModes(0);
    UINT count = 0;
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && formatFromSdl(mode.format) == format) ++count;
    }
    return count;
}

HRESULT GlDirect3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT modeIndex, D3DDISPLAYMODE* displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || !displayMode) return D3DERR_INVALIDCALL;
    int n = SDL_GetNumDisplayModes(0);
    UINT count = 0;
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || formatFromSdl(mode.format) != format) continue;
        if (count++ == modeIndex) {
            displayMode->Width = UINT(mode.w);
            displayMode->Height = UINT(mode.h);
            displayMode->RefreshRate = UINT(mode.refresh_rate);
            displayMode->Format = format;
            return D3D_OK;
        }
    }
    return D3DERR_INVALIDCALL;
}

HRESULT GlDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || !displayMode) return D3DERR_INVALIDCALL;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return D3DERR_NOTAVAILABLE;
    displayMode->Width = UINT(mode.w);
    displayMode->Height = UINT(mode.h);
    displayMode->RefreshRate = UINT(mode.refresh_rate);
    D3DFORMAT format = formatFromSdl(mode.format);
    displayMode->Format = format == D3DFMT_UNKNOWN ? D3DFMT_X8R8G8B8 : format;
    return D3D_OK;
}

D3DCAPS9 GlDirect3D::makeCaps() {
    D3DCAPS9 c;
    c.DeviceType = D3DDEVTYPE_HAL;
    c.Caps2 = 0x00020000;  // FULLSCREENGAMMA
    c.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    c.DevCaps = 0x10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x800 | 0x2000 | 0x8000 | D3DDEVCAPS_HWTRANSFORMANDLIGHT |
                0x80000;
    c.PrimitiveMiscCaps = 0x2 | 0x10 | 0x20 | 0x40 | 0x80 | 0x800;
    c.RasterCaps = 0x1 | 0x10 | 0x2000 | 0x8000 | 0x20000;
    c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;
    c.SrcBlendCaps = c.DestBlendCaps = 0x7FF;
    c.ShadeCaps = 0x8 | 0x200 | 0x4000;
    c.TextureCaps = 0x1 | 0x4 | 0x800 | 0x4000 | 0x10000;
    c.TextureFilterCaps = c.CubeTextureFilterCaps = 0x100 | 0x200 | 0x10000 | 0x20000 | 0x1000000 | 0x2000000;
    c.TextureAddressCaps = 0x1 | 0x2 | 0x4 | 0x8 | 0x10;
    c.LineCaps = 0x1 | 0x4 | 0x8;
    c.MaxTextureWidth = c.MaxTextureHeight = 8192;
    c.MaxTextureRepeat = 8192;
    c.MaxTextureAspectRatio = 8192;
    c.MaxAnisotropy = 1;
    c.MaxVertexW = 1e10f;
    c.GuardBandLeft = c.GuardBandTop = -32768.0f;
    c.GuardBandRight = c.GuardBandBottom = 32768.0f;
    c.StencilCaps = 0;
    c.FVFCaps = 1;
    c.TextureOpCaps = 0x1 | 0x2 | 0x4 | 0x8;
    c.MaxTextureBlendStages = 1;
    c.MaxSimultaneousTextures = 1;
    c.MaxPrimitiveCount = 0xFFFFF;
    c.MaxVertexIndex = 0xFFFFFF;
    c.MaxStreams = 1;
    c.MaxStreamStride = 255;
    c.MaxPointSize = 1.0f;
    c.VertexShaderVersion = 0xFFFE0300;
    c.PixelShaderVersion = 0xFFFF0300;
    return c;
}

HRESULT GlDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !caps) return D3DERR_NOTAVAILABLE;
    *caps = makeCaps();
    return D3D_OK;
}

HRESULT GlDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* params,
                                 IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !params) return D3DERR_INVALIDCALL;
    HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    if (!window) return D3DERR_INVALIDCALL;
    auto* created = new GlDevice(window);
    HRESULT hr = created->init(*params);
    if (dxFailed(hr)) {
        created->Release();
        return hr;
    }
    *device = created;
    return D3D_OK;
}
