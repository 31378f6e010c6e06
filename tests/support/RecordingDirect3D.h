#pragma once
// A Direct3D object for tests: a display with the modes, desktop and capabilities a test gives
// it, whose devices are RecordingDevices. The last device made is kept in 'lastDevice'.

#include <vector>

#include "platform/D3D9.h"
#include "support/RecordingDevice.h"

class RecordingDirect3D : public IDirect3D9 {
public:
    RecordingDirect3D();
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override;
    HRESULT GetAdapterIdentifier(UINT, DWORD, D3DADAPTER_IDENTIFIER9* id) override;
    UINT GetAdapterModeCount(UINT, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterDisplayMode(UINT, D3DDISPLAYMODE* out) override;
    HRESULT GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS9* out) override;
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;

    std::vector<D3DDISPLAYMODE> modes;
    D3DDISPLAYMODE desktop;
    D3DCAPS9 caps;
    RecordingDevice* lastDevice = nullptr;
    ULONG refs = 1;

    // The object QelGraphics gets next (set before constructing it).
    static inline RecordingDirect3D* next = nullptr;
    static IDirect3D9* create(UINT);
};
