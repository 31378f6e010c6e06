#pragma once
// A graphics device that draws nothing and records every call as a line of text
// ("SetRenderState 27 1"), for tests of call sequences and per-draw state. It keeps the states
// it is given, checks draws against its buffers like the real device, and can be made lost or
// made to fail resets.

#include <string>
#include <vector>

#include "platform/D3D9.h"

class RecordingDevice : public IDirect3DDevice9 {
public:
    // A vertex buffer kept in memory.
    class Buffer : public IDirect3DVertexBuffer9 {
    public:
        explicit Buffer(UINT length) : data(length) {}
        ULONG AddRef() override { return ++refs; }
        ULONG Release() override;
        HRESULT Lock(UINT offset, UINT size, void** ppbData, DWORD flags) override;
        HRESULT Unlock() override { return D3D_OK; }
        UINT getLength() const override { return UINT(data.size()); }
        std::vector<unsigned char> data;
        ULONG refs = 1;
    };

    // A texture kept in memory.
    class Texture : public IDirect3DTexture9 {
    public:
        Texture(UINT w, UINT h, D3DFORMAT f) : width(w), height(h), format(f), pixels(size_t(w) * h) {}
        ULONG AddRef() override { return ++refs; }
        ULONG Release() override;
        uint32_t getGlTextureName() const override { return 0; }
        HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
        HRESULT UnlockRect(UINT) override { return D3D_OK; }
        UINT getWidth() const override { return width; }
        UINT getHeight() const override { return height; }
        D3DFORMAT getFormat() const override { return format; }
        UINT width, height;
        D3DFORMAT format;
        std::vector<D3DCOLOR> pixels;
        ULONG refs = 1;
    };

    explicit RecordingDevice(const D3DPRESENT_PARAMETERS& params) : present(params) {}

    ULONG AddRef() override { return ++refs; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    UINT GetAvailableTextureMem() override { return 64u << 20; }
    HRESULT BeginScene() override { return record("BeginScene"); }
    HRESULT EndScene() override { return record("EndScene"); }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* v) override {
        *v = viewport;
        return D3D_OK;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               void* shared) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* shared) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override;
    HRESULT ValidateDevice(DWORD* passes) override;
    void SetGammaRamp(UINT, DWORD, const D3DGAMMARAMP* ramp) override;
    void GetGammaRamp(UINT, D3DGAMMARAMP* ramp) override { *ramp = gamma; }
    HRESULT GetBackBufferPixels(UINT* width, UINT* height, std::vector<D3DCOLOR>* pixels) override;

    // Recorded lines that start with the prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;

    std::vector<std::string> calls;
    D3DPRESENT_PARAMETERS present;
    D3DVIEWPORT9 viewport;
    D3DMATRIX world, view, projection;
    DWORD renderStates[D3DRS_COUNT] = {};
    DWORD stage0[D3DTSS_COUNT] = {};
    DWORD sampler0[D3DSAMP_COUNT] = {};
    IDirect3DBaseTexture9* texture = nullptr;
    Buffer* stream = nullptr;
    D3DGAMMARAMP gamma;
    bool bLost = false;          // TestCooperativeLevel answers DEVICELOST
    bool bNeedsReset = false;    // ... then DEVICENOTRESET until a reset works
    int failingResets = 0;       // resets that fail with D3DERR_INVALIDCALL
    int resets = 0;
    ULONG refs = 1;
    // Off: calls are answered as before but not written down (long runs of frames).
    bool bRecording = true;

private:
    HRESULT record(const std::string& line) {
        if (bRecording) calls.push_back(line);
        return D3D_OK;
    }
};
