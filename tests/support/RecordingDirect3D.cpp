#include "support/RecordingDirect3D.h"

#include <cstring>

#include "platform/GlDirect3D.h"

RecordingDirect3D::RecordingDirect3D() {
    for (auto [w, h] : {std::pair{800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}})
        modes.push_back(D3DDISPLAYMODE{UINT(w), UINT(h), 60, D3DFMT_X8R8G8B8});
    desktop = D3DDISPLAYMODE{1920, 1080, 60, D3DFMT_X8R8G8B8};
    caps = GlDirect3D::makeCaps();
}

ULONG RecordingDirect3D::Release() {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
}

HRESULT RecordingDirect3D::GetAdapterIdentifier(UINT, DWORD, D3DADAPTER_IDENTIFIER9* id) {
    *id = D3DADAPTER_IDENTIFIER9();
    std::strcpy(id->Driver, "recording");
    std::strcpy(id->Description, "Recording device");
    id->DriverVersion = (int64_t(6) << 48) | (int64_t(14) << 32) | (int64_t(10) << 16) | 9999;
    id->VendorId = 0x10de;
    return D3D_OK;
}

UINT RecordingDirect3D::GetAdapterModeCount(UINT, D3DFORMAT format) {
    UINT n = 0;
    for (const D3DDISPLAYMODE& m : modes) n += m.Format == format;
    return n;
}

HRESULT RecordingDirect3D::EnumAdapterModes(UINT, D3DFORMAT format, UINT index, D3DDISPLAYMODE* out) {
    for (const D3DDISPLAYMODE& m : modes)
        if (m.Format == format && index-- == 0) {
            *out = m;
            return D3D_OK;
        }
    return D3DERR_INVALIDCALL;
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(UINT, D3DDISPLAYMODE* out) {
    *out = desktop;
    return D3D_OK;
}

HRESULT RecordingDirect3D::GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS9* out) {
    *out = caps;
    return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) {
    lastDevice = new RecordingDevice(*params);
    *device = lastDevice;
    return D3D_OK;
}

IDirect3D9* RecordingDirect3D::create(UINT) {
    RecordingDirect3D* d3d = next ? next : new RecordingDirect3D();
    next = nullptr;
    return d3d;
}
