#pragma once
// The Direct3D object on SDL video and OpenGL 3.3: the default adapter is display 0, its modes
// are SDL's display modes, and its devices are GlDevice objects rendering into an SDL window
// created with SDL_WINDOW_OPENGL.

#include "platform/D3D9.h"

class GlDirect3D : public IDirect3D9 {
public:
    GlDirect3D();
    ~GlDirect3D() override;
    // False when SDL video could not be started.
    bool init();

    ULONG AddRef() override { return ++refCount; }
    ULONG Release() override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;

    // The capabilities reported for the OpenGL device.
    static D3DCAPS9 makeCaps();
    // The Direct3D format of an SDL pixel format (D3DFMT_UNKNOWN when none fits).
    static D3DFORMAT formatFromSdl(uint32_t sdlFormat);

private:
    bool videoStarted = false;
    ULONG refCount = 1;
};
