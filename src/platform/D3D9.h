#pragma once
// The Direct3D 9 interface the graphics code is written against: types, constants, result codes
// and the device interfaces, declared here and implemented on OpenGL 3.3 (GlDirect3D, GlDevice).
// Numeric values are those of Direct3D 9 wherever the log prints them or files keep them.

#include <cstdint>
#include <cstring>
#include <vector>

struct SDL_Window;

using HRESULT = int32_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using ULONG = unsigned long;
using BOOL = int;
using WORD = uint16_t;
using D3DCOLOR = uint32_t;
using HWND = SDL_Window*;

struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0, Data3 = 0;
    uint8_t Data4[8] = {};
};

constexpr bool dxSucceeded(HRESULT hr) { return hr >= 0; }
constexpr bool dxFailed(HRESULT hr) { return hr < 0; }

// Result codes.
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT makeD3DResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = makeD3DResult(2072);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = makeD3DResult(2073);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLORARG = makeD3DResult(2074);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAOPERATION = makeD3DResult(2075);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAARG = makeD3DResult(2076);
constexpr HRESULT D3DERR_TOOMANYOPERATIONS = makeD3DResult(2077);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREFILTER = makeD3DResult(2078);
constexpr HRESULT D3DERR_UNSUPPORTEDFACTORVALUE = makeD3DResult(2079);
constexpr HRESULT D3DERR_CONFLICTINGRENDERSTATE = makeD3DResult(2081);
constexpr HRESULT D3DERR_UNSUPPORTEDTEXTUREFILTER = makeD3DResult(2082);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREPALETTE = makeD3DResult(2086);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = makeD3DResult(2087);
constexpr HRESULT D3DERR_NOTFOUND = makeD3DResult(2150);
constexpr HRESULT D3DERR_MOREDATA = makeD3DResult(2151);
constexpr HRESULT D3DERR_DEVICELOST = makeD3DResult(2152);
constexpr HRESULT D3DERR_DEVICENOTRESET = makeD3DResult(2153);
constexpr HRESULT D3DERR_NOTAVAILABLE = makeD3DResult(2154);
constexpr HRESULT D3DERR_INVALIDDEVICE = makeD3DResult(2155);
constexpr HRESULT D3DERR_INVALIDCALL = makeD3DResult(2156);
constexpr HRESULT D3DERR_DRIVERINVALIDCALL = makeD3DResult(2157);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = makeD3DResult(380);
constexpr HRESULT D3DERR_WASSTILLDRAWING = makeD3DResult(540);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// The name of a result code ("D3DERR_DEVICELOST"), or null when unknown.
const char16_t* getD3DResultName(HRESULT hr);

constexpr uint32_t makeFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_G16R16 = 34,
    D3DFMT_A8P8 = 40,
    D3DFMT_P8 = 41,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_A4L4 = 52,
    D3DFMT_V8U8 = 60,
    D3DFMT_L6V5U5 = 61,
    D3DFMT_X8L8V8U8 = 62,
    D3DFMT_Q8W8V8U8 = 63,
    D3DFMT_V16U16 = 64,
    D3DFMT_A2W10V10U10 = 67,
    D3DFMT_UYVY = makeFourCC('U', 'Y', 'V', 'Y'),
    D3DFMT_YUY2 = makeFourCC('Y', 'U', 'Y', '2'),
    D3DFMT_DXT1 = makeFourCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = makeFourCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = makeFourCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = makeFourCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = makeFourCC('D', 'X', 'T', '5'),
    D3DFMT_D16_LOCKABLE = 70,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_VERTEXDATA = 100,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
};

enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };
constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr UINT D3D_SDK_VERSION = 31;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

enum D3DSWAPEFFECT : uint32_t { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3 };
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_TWO = 2;
constexpr UINT D3DPRESENT_INTERVAL_THREE = 4;
constexpr UINT D3DPRESENT_INTERVAL_FOUR = 8;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth = 0;
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    UINT BackBufferCount = 0;
    uint32_t MultiSampleType = 0;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_DISCARD;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = 0;
    BOOL EnableAutoDepthStencil = 0;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT PresentationInterval = 0;
};

struct D3DDISPLAYMODE {
    UINT Width = 0;
    UINT Height = 0;
    UINT RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct D3DADAPTER_IDENTIFIER9 {
    char Driver[512] = {};
    char Description[512] = {};
    char DeviceName[32] = {};
    int64_t DriverVersion = 0;
    DWORD VendorId = 0;
    DWORD DeviceId = 0;
    DWORD SubSysId = 0;
    DWORD Revision = 0;
    GUID DeviceIdentifier;
    DWORD WHQLLevel = 0;
};

// The capability fields the engine reads and logs.
struct D3DCAPS9 {
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    UINT AdapterOrdinal = 0;
    DWORD Caps = 0, Caps2 = 0, Caps3 = 0;
    DWORD PresentationIntervals = 0;
    DWORD CursorCaps = 0;
    DWORD DevCaps = 0;
    DWORD PrimitiveMiscCaps = 0, RasterCaps = 0, ZCmpCaps = 0, SrcBlendCaps = 0, DestBlendCaps = 0;
    DWORD AlphaCmpCaps = 0, ShadeCaps = 0, TextureCaps = 0, TextureFilterCaps = 0;
    DWORD CubeTextureFilterCaps = 0, VolumeTextureFilterCaps = 0, TextureAddressCaps = 0;
    DWORD VolumeTextureAddressCaps = 0, LineCaps = 0;
    DWORD MaxTextureWidth = 0, MaxTextureHeight = 0, MaxVolumeExtent = 0, MaxTextureRepeat = 0;
    DWORD MaxTextureAspectRatio = 0, MaxAnisotropy = 0;
    float MaxVertexW = 0, GuardBandLeft = 0, GuardBandTop = 0, GuardBandRight = 0, GuardBandBottom = 0;
    float ExtentsAdjust = 0;
    DWORD StencilCaps = 0, FVFCaps = 0, TextureOpCaps = 0;
    DWORD MaxTextureBlendStages = 0, MaxSimultaneousTextures = 0, VertexProcessingCaps = 0;
    DWORD MaxActiveLights = 0, MaxUserClipPlanes = 0, MaxVertexBlendMatrices = 0, MaxVertexBlendMatrixIndex = 0;
    float MaxPointSize = 0;
    DWORD MaxPrimitiveCount = 0, MaxVertexIndex = 0, MaxStreams = 0, MaxStreamStride = 0;
    DWORD VertexShaderVersion = 0, MaxVertexShaderConst = 0, PixelShaderVersion = 0;
    float PixelShader1xMaxValue = 0;
};
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;

struct D3DVIEWPORT9 {
    DWORD X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0, MaxZ = 1;
};

struct D3DRECT {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct D3DGAMMARAMP {
    WORD red[256] = {}, green[256] = {}, blue[256] = {};
};
constexpr DWORD D3DSGR_NO_CALIBRATION = 0;
constexpr DWORD D3DSGR_CALIBRATE = 1;

struct D3DVECTOR {
    float x = 0, y = 0, z = 0;
};

struct D3DMATRIX {
    float m[4][4] = {};
};

enum D3DRENDERSTATETYPE : uint32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_LIGHTING = 137,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_BLENDOP = 171,
    D3DRS_SCISSORTESTENABLE = 174,
};
constexpr int D3DRS_COUNT = 256;

enum D3DBLEND : uint32_t {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_SRCALPHASAT = 11,
};

enum D3DCMPFUNC : uint32_t {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};

enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };

enum D3DTEXTURESTAGESTATETYPE : uint32_t {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
};
constexpr int D3DTSS_COUNT = 33;

enum D3DTEXTUREOP : uint32_t {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
};

constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;

enum D3DSAMPLERSTATETYPE : uint32_t {
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_ADDRESSW = 3,
    D3DSAMP_BORDERCOLOR = 4,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
};
constexpr int D3DSAMP_COUNT = 14;

enum D3DTEXTUREADDRESS : uint32_t { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3, D3DTADDRESS_BORDER = 4 };
enum D3DTEXTUREFILTERTYPE : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1, D3DTEXF_LINEAR = 2 };

enum D3DTRANSFORMSTATETYPE : uint32_t { D3DTS_VIEW = 2, D3DTS_PROJECTION = 3, D3DTS_WORLD = 256 };

enum D3DPRIMITIVETYPE : uint32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2 };
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DCLEAR_TARGET = 1;
constexpr DWORD D3DCLEAR_ZBUFFER = 2;
constexpr DWORD D3DCLEAR_STENCIL = 4;

// A texture that can be made current on a stage; the texture code implements it.
class IDirect3DBaseTexture9 {
public:
    virtual ~IDirect3DBaseTexture9() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // The OpenGL texture name that carries the texture's pixels.
    virtual uint32_t getGlTextureName() const = 0;
};

struct D3DLOCKED_RECT {
    int Pitch = 0;
    void* pBits = nullptr;
};

// A two-dimensional texture of one level, kept in memory (the managed pool) and copied to the
// device at UnlockRect.
class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
public:
    // The whole level or a rectangle of it (rect null: the whole level).
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
    virtual UINT getWidth() const = 0;
    virtual UINT getHeight() const = 0;
    virtual D3DFORMAT getFormat() const = 0;
    // Writes rows of 32-bit pixels ('pitch' bytes apart) into a rectangle of the level. A texture
    // that can take them straight from there does so, without holding a copy of the rectangle.
    virtual HRESULT UpdateRect(const RECT& area, const void* pixels, UINT pitch) {
        D3DLOCKED_RECT locked;
        if (!pixels) return D3DERR_INVALIDCALL;
        HRESULT hr = LockRect(0, &locked, &area, D3DLOCK_DISCARD);
        if (hr != D3D_OK) return hr;
        const size_t rowBytes = size_t(area.right - area.left) * 4;
        for (int32_t row = 0; row < area.bottom - area.top; ++row)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(row) * size_t(locked.Pitch),
                        static_cast<const uint8_t*>(pixels) + size_t(row) * pitch, rowBytes);
        return UnlockRect(0);
    }
};

class IDirect3DVertexBuffer9 {
public:
    virtual ~IDirect3DVertexBuffer9() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Byte range (0, 0 = the whole buffer); the data becomes the buffer's at Unlock.
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual UINT getLength() const = 0;
};

class IDirect3DDevice9 {
public:
    virtual ~IDirect3DDevice9() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual UINT GetAvailableTextureMem() = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow, const void* dirtyRegion) = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT SetFVF(DWORD fvf) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                       void* sharedHandle) = 0;
    // Textures of one level in D3DFMT_A8R8G8B8 or D3DFMT_X8R8G8B8.
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, void* sharedHandle) = 0;
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) = 0;
    // Draws primitives from the stream source; the vertices used must lie inside the buffer.
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT ValidateDevice(DWORD* numPasses) = 0;
    virtual void SetGammaRamp(UINT swapChain, DWORD flags, const D3DGAMMARAMP* ramp) = 0;
    virtual void GetGammaRamp(UINT swapChain, D3DGAMMARAMP* ramp) = 0;
    // Reads the back buffer as A8R8G8B8 pixels, rows from the top (for screenshots and tests).
    virtual HRESULT GetBackBufferPixels(UINT* width, UINT* height, std::vector<D3DCOLOR>* pixels) = 0;
};

class IDirect3D9 {
public:
    virtual ~IDirect3D9() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) = 0;
};

// The Direct3D object on OpenGL (SDL video); null when no display can be opened.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
