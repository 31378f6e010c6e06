#include "support/RecordingDevice.h"

#include "platform/GlDevice.h"

ULONG RecordingDevice::Buffer::Release() {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
}

HRESULT RecordingDevice::Buffer::Lock(UINT offset, UINT size, void** ppbData, DWORD) {
    if (offset > data.size() || size > data.size() - offset) return D3DERR_INVALIDCALL;
    *ppbData = data.data() + offset;
    return D3D_OK;
}

ULONG RecordingDevice::Texture::Release() {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
}

HRESULT RecordingDevice::Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (level != 0) return D3DERR_INVALIDCALL;
    size_t offset = rect ? size_t(rect->top) * width + size_t(rect->left) : 0;
    locked->Pitch = int(width * 4);
    locked->pBits = pixels.data() + offset;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT, DWORD, D3DFORMAT format, D3DPOOL, IDirect3DTexture9** texture,
                                       void*) {
    record("CreateTexture " + std::to_string(width) + "x" + std::to_string(height));
    if (width == 0 || height == 0) return D3DERR_INVALIDCALL;
    *texture = new Texture(width, height, format);
    return D3D_OK;
}

ULONG RecordingDevice::Release() {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
}

HRESULT RecordingDevice::TestCooperativeLevel() {
    if (bLost) return D3DERR_DEVICELOST;
    if (bNeedsReset) return D3DERR_DEVICENOTRESET;
    return D3D_OK;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* params) {
    ++resets;
    record("Reset " + std::to_string(params->BackBufferWidth) + "x" + std::to_string(params->BackBufferHeight) +
                    (params->Windowed ? " windowed" : " fullscreen"));
    if (bLost) return D3DERR_DEVICELOST;
    if (failingResets > 0) {
        --failingResets;
        bNeedsReset = true;
        return D3DERR_INVALIDCALL;
    }
    present = *params;
    bNeedsReset = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT*, const RECT*, HWND, const void*) {
    record("Present");
    return bLost || bNeedsReset ? D3DERR_DEVICELOST : D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT*, DWORD flags, D3DCOLOR color, float, DWORD) {
    char text[64];
    snprintf(text, sizeof(text), "Clear %u %u %08x", count, flags, color);
    return record(text);
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* v) {
    viewport = *v;
    return record("SetViewport " + std::to_string(v->X) + " " + std::to_string(v->Y) + " " + std::to_string(v->Width) + " " +
                  std::to_string(v->Height));
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (state == D3DTS_WORLD) world = *matrix;
    if (state == D3DTS_VIEW) view = *matrix;
    if (state == D3DTS_PROJECTION) projection = *matrix;
    return record("SetTransform " + std::to_string(state));
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    *matrix = state == D3DTS_WORLD ? world : state == D3DTS_VIEW ? view : projection;
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (uint32_t(state) >= uint32_t(D3DRS_COUNT)) return D3DERR_INVALIDCALL;
    renderStates[state] = value;
    return record("SetRenderState " + std::to_string(state) + " " + std::to_string(value));
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    *value = renderStates[state];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage == 0) stage0[type] = value;
    return record("SetTextureStageState " + std::to_string(stage) + " " + std::to_string(type) + " " + std::to_string(value));
}

HRESULT RecordingDevice::GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    *value = stage0[type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler == 0) sampler0[type] = value;
    return record("SetSamplerState " + std::to_string(sampler) + " " + std::to_string(type) + " " + std::to_string(value));
}

HRESULT RecordingDevice::GetSamplerState(DWORD, D3DSAMPLERSTATETYPE type, DWORD* value) {
    *value = sampler0[type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* t) {
    if (stage == 0) texture = t;
    return record(std::string("SetTexture ") + std::to_string(stage) + (t ? " texture" : " null"));
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) { return record("SetFVF " + std::to_string(fvf)); }

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer, void*) {
    record("CreateVertexBuffer " + std::to_string(length));
    if (length == 0) return D3DERR_INVALIDCALL;
    *buffer = new Buffer(length);
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    stream = static_cast<Buffer*>(buffer);
    return record("SetStreamSource " + std::to_string(offset) + " " + std::to_string(stride));
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) {
    record("DrawPrimitive " + std::to_string(type) + " " + std::to_string(start) + " " + std::to_string(count));
    UINT needed = GlDevice::verticesForPrimitives(type, count);
    if (!stream || count == 0 || needed == 0 || uint64_t(start) + needed > stream->data.size() / 24) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT RecordingDevice::ValidateDevice(DWORD* passes) {
    *passes = 1;
    return record("ValidateDevice");
}

void RecordingDevice::SetGammaRamp(UINT, DWORD, const D3DGAMMARAMP* ramp) {
    gamma = *ramp;
    record("SetGammaRamp");
}

HRESULT RecordingDevice::GetBackBufferPixels(UINT* width, UINT* height, std::vector<D3DCOLOR>* pixels) {
    *width = present.BackBufferWidth;
    *height = present.BackBufferHeight;
    pixels->assign(size_t(*width) * *height, 0);
    return D3D_OK;
}

std::vector<std::string> RecordingDevice::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}
