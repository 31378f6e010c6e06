// The OpenGL device read back through its back buffer: clears, viewport, pixel centres, stage-0
// colour, blending, alpha test, draw range checks, device loss and resets.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/D3DX9.h"
#include "platform/GlDevice.h"
#include "support/GlTestWindow.h"

namespace {

struct TestVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(TestVertex) == 24);

constexpr UINT W = 64, H = 48;

class GlDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.window, nullptr) << SDL_GetError();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS pp = params(W, H);
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                    &pp, &device),
                  D3D_OK);
        gl = static_cast<GlDevice*>(device);
        // Screen-pixel coordinates: x right, y down, origin at the top-left corner of the viewport.
        D3DXMATRIX pixels;
        D3DXMatrixIdentity(&pixels);
        pixels.m[0][0] = 2.0f / W;
        pixels.m[1][1] = -2.0f / H;
        pixels.m[3][0] = -1.0f;
        pixels.m[3][1] = 1.0f;
        device->SetTransform(D3DTS_PROJECTION, &pixels);
    }
    void TearDown() override {
        if (buffer) buffer->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
    }

    static D3DPRESENT_PARAMETERS params(UINT w, UINT h) {
        D3DPRESENT_PARAMETERS pp;
        pp.BackBufferWidth = w;
        pp.BackBufferHeight = h;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = 1;
        return pp;
    }

    std::vector<D3DCOLOR> readBack() {
        UINT w = 0, h = 0;
        std::vector<D3DCOLOR> pixels;
        EXPECT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        bbWidth = w;
        return pixels;
    }
    D3DCOLOR at(const std::vector<D3DCOLOR>& p, int x, int y) { return p[size_t(y) * bbWidth + x] | 0xFF000000; }

    // Uploads the vertices into a buffer set as stream 0.
    void setVertices(const std::vector<TestVertex>& vertices) {
        if (buffer) buffer->Release();
        ASSERT_EQ(device->CreateVertexBuffer(UINT(vertices.size() * 24), D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_MANAGED, &buffer, nullptr),
                  D3D_OK);
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * 24);
        buffer->Unlock();
        device->SetStreamSource(0, buffer, 0, 24);
    }
    // A rectangle of pixel edges (x0, y0)-(x1, y1) as a 4-vertex strip.
    static std::vector<TestVertex> rect(float x0, float y0, float x1, float y1, D3DCOLOR c) {
        return {{x0, y0, 0.5f, c, 0, 0}, {x1, y0, 0.5f, c, 1, 0}, {x0, y1, 0.5f, c, 0, 1}, {x1, y1, 0.5f, c, 1, 1}};
    }

    GlTestWindow window{W, H};
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    GlDevice* gl = nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT bbWidth = 0;
};

bool near(D3DCOLOR a, D3DCOLOR b, int tolerance = 3) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

TEST_F(GlDeviceTest, ClearFillsTheBackBufferWithTheColour) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0), D3D_OK);
    auto p = readBack();
    ASSERT_EQ(p.size(), size_t(W) * H);
    EXPECT_EQ(at(p, 0, 0), 0xFF204060u);
    EXPECT_EQ(at(p, W - 1, H - 1), 0xFF204060u);
}

TEST_F(GlDeviceTest, ClearTouchesOnlyTheViewport) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DVIEWPORT9 vp{8, 4, 20, 10, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&vp), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    auto p = readBack();
    EXPECT_EQ(at(p, 8, 4), 0xFFFF0000u);
    EXPECT_EQ(at(p, 27, 13), 0xFFFF0000u);
    EXPECT_EQ(at(p, 7, 4), 0xFF000000u);
    EXPECT_EQ(at(p, 28, 13), 0xFF000000u);
    EXPECT_EQ(at(p, 8, 3), 0xFF000000u);
    EXPECT_EQ(at(p, 8, 14), 0xFF000000u);
}

TEST_F(GlDeviceTest, ViewportOutsideTheBackBufferIsRefused) {
    D3DVIEWPORT9 vp{40, 0, 30, 10, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&vp), D3DERR_INVALIDCALL);
}

TEST_F(GlDeviceTest, UntexturedDrawShowsItsVertexColoursOnDirect3DPixelCentres) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // The engine's global stage-0 setting: a texture draw would be tinted by the factor; an
    // untextured one shows its vertex colour.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF0000FF);
    std::vector<TestVertex> v = rect(9.5f, 9.5f, 19.5f, 19.5f, 0xFF00FF00);
    std::vector<TestVertex> second = rect(29.5f, 9.5f, 39.5f, 19.5f, 0xFFFF00FF);
    v.insert(v.end(), second.begin(), second.end());
    setVertices(v);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2), D3D_OK);
    auto p = readBack();
    // Pixel centres lie on whole coordinates: edges at .5 cover pixels 10 to 19 exactly.
    EXPECT_EQ(at(p, 10, 10), 0xFF00FF00u);
    EXPECT_EQ(at(p, 19, 19), 0xFF00FF00u);
    EXPECT_EQ(at(p, 9, 10), 0xFF000000u);
    EXPECT_EQ(at(p, 10, 9), 0xFF000000u);
    EXPECT_EQ(at(p, 20, 19), 0xFF000000u);
    EXPECT_EQ(at(p, 19, 20), 0xFF000000u);
    EXPECT_EQ(at(p, 35, 15), 0xFFFF00FFu);
}

TEST_F(GlDeviceTest, BlendingMixesBySourceAlpha) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    setVertices(rect(-0.5f, -0.5f, W - 0.5f, H - 0.5f, 0x80FFFFFF));
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    EXPECT_TRUE(near(at(readBack(), 5, 5), 0xFF808080, 2));
}

TEST_F(GlDeviceTest, AlphaTestDropsPixelsThatFail) {
    struct Case {
        D3DCMPFUNC func;
        DWORD ref;
        D3DCOLOR vertexColor;
        bool drawn;
    };
    const Case cases[] = {
        {D3DCMP_GREATER, 0, 0x00FFFFFF, false},
        {D3DCMP_GREATER, 0, 0x01FFFFFF, true},
        {D3DCMP_LESS, 0x80, 0x80FFFFFF, false},
        {D3DCMP_LESSEQUAL, 0x80, 0x80FFFFFF, true},
        {D3DCMP_NEVER, 0, 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
        device->SetRenderState(D3DRS_ALPHAREF, c.ref);
        setVertices(rect(-0.5f, -0.5f, W - 0.5f, H - 0.5f, c.vertexColor));
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        EXPECT_EQ(at(readBack(), 5, 5), c.drawn ? 0xFFFFFFFFu : 0xFF000000u) << "func " << c.func;
    }
}

TEST_F(GlDeviceTest, DrawsBeyondTheBufferAreRefused) {
    setVertices(rect(0, 0, 10, 10, 0xFFFFFFFF));
    struct Case {
        D3DPRIMITIVETYPE type;
        UINT start, count;
        HRESULT result;
    };
    const Case cases[] = {
        {D3DPT_TRIANGLESTRIP, 0, 2, D3D_OK},     {D3DPT_TRIANGLESTRIP, 0, 3, D3DERR_INVALIDCALL},
        {D3DPT_TRIANGLESTRIP, 1, 2, D3DERR_INVALIDCALL}, {D3DPT_TRIANGLELIST, 0, 1, D3D_OK},
        {D3DPT_TRIANGLELIST, 2, 1, D3DERR_INVALIDCALL},  {D3DPT_LINELIST, 0, 2, D3D_OK},
        {D3DPT_LINESTRIP, 0, 4, D3DERR_INVALIDCALL},     {D3DPT_POINTLIST, 3, 1, D3D_OK},
        {D3DPT_POINTLIST, 4, 1, D3DERR_INVALIDCALL},     {D3DPT_TRIANGLEFAN, 0, 0, D3DERR_INVALIDCALL},
        {D3DPRIMITIVETYPE(9), 0, 1, D3DERR_INVALIDCALL}, {D3DPT_POINTLIST, 0xFFFFFFFF, 2, D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(device->DrawPrimitive(c.type, c.start, c.count), c.result) << c.type << " " << c.start << " " << c.count;
}

TEST_F(GlDeviceTest, ForcedLossNeedsAResetAndKeepsVertexBuffers) {
    setVertices(rect(-0.5f, -0.5f, W - 0.5f, H - 0.5f, 0xFF00FF00));
    gl->forceLoss();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS pp = params(32, 24);
    EXPECT_EQ(device->Reset(&pp), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    gl->endForcedLoss();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    gl->failNextResets(1);
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    // The buffer made before the loss still draws its contents into the new back buffer.
    D3DXMATRIX pixels;
    D3DXMatrixIdentity(&pixels);
    pixels.m[0][0] = 2.0f / W;
    pixels.m[1][1] = -2.0f / H;
    pixels.m[3][0] = -1.0f;
    pixels.m[3][1] = 1.0f;
    device->SetTransform(D3DTS_PROJECTION, &pixels);
    device->SetStreamSource(0, buffer, 0, 24);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    UINT w = 0, h = 0;
    std::vector<D3DCOLOR> p;
    device->GetBackBufferPixels(&w, &h, &p);
    EXPECT_EQ(w, 32u);
    EXPECT_EQ(h, 24u);
    EXPECT_EQ(p[0] | 0xFF000000, 0xFF00FF00u);
}

TEST_F(GlDeviceTest, ResetWithAnEmptyBackBufferFails) {
    D3DPRESENT_PARAMETERS pp = params(0, 24);
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
}

TEST_F(GlDeviceTest, PresentCopiesTheBackBufferToTheWindow) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST(Direct3D, ReportsModesCapsAndAnAdapter) {
    GlTestWindow window(16, 16);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DDISPLAYMODE desktop;
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_GT(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8), 0u);
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, 0, &mode), D3D_OK);
    EXPECT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, 100000, &mode), D3DERR_INVALIDCALL);
    D3DCAPS9 caps;
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    D3DADAPTER_IDENTIFIER9 id;
    EXPECT_EQ(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id), D3D_OK);
    EXPECT_EQ(std::strncmp(id.Driver, "OpenGL", 6), 0);
    d3d->Release();
}

TEST(Direct3D, ResultNamesCarryDirect3DValues) {
    EXPECT_EQ(D3DERR_DEVICENOTRESET, HRESULT(0x88760869u));
    EXPECT_EQ(D3DERR_DEVICELOST, HRESULT(0x88760868u));
    EXPECT_EQ(D3DERR_INVALIDCALL, HRESULT(0x8876086Cu));
    EXPECT_EQ(std::u16string(getD3DResultName(D3DERR_DEVICELOST)), u"D3DERR_DEVICELOST");
    EXPECT_EQ(std::u16string(getD3DResultName(E_OUTOFMEMORY)), u"E_OUTOFMEMORY");
    EXPECT_EQ(getD3DResultName(HRESULT(0x80001234u)), nullptr);
    EXPECT_EQ(uint32_t(D3DFMT_DXT1), 0x31545844u);
}

}  // namespace

namespace {

class GlTextureTest : public GlDeviceTest {
protected:
    // A 2 by 2 texture: red, green / blue, transparent white.
    IDirect3DTexture9* makeTexture(D3DFORMAT format) {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(device->CreateTexture(2, 2, 1, 0, format, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
        auto* p = static_cast<D3DCOLOR*>(locked.pBits);
        p[0] = 0xFFFF0000;
        p[1] = 0xFF00FF00;
        p[locked.Pitch / 4] = 0xFF0000FF;
        p[locked.Pitch / 4 + 1] = 0x00FFFFFF;
        t->UnlockRect(0);
        return t;
    }
    // The texture over the whole back buffer with the stage-0 setting given.
    std::vector<D3DCOLOR> drawTextured(IDirect3DTexture9* t, DWORD colorOp, DWORD alphaOp, D3DCOLOR factor) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetTexture(0, t);
        device->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
        device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        setVertices(rect(-0.5f, -0.5f, W - 0.5f, H - 0.5f, 0xFF123456));
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        return readBack();
    }
};

TEST_F(GlTextureTest, StageZeroModulatesAndSelectsTextureAndFactor) {
    IDirect3DTexture9* t = makeTexture(D3DFMT_A8R8G8B8);
    auto p = drawTextured(t, D3DTOP_MODULATE, D3DTOP_MODULATE, 0xFFFFFFFF);
    EXPECT_EQ(at(p, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(at(p, W - 5, 5), 0xFF00FF00u);
    EXPECT_EQ(at(p, 5, H - 5), 0xFF0000FFu);
    EXPECT_EQ(at(p, W - 5, H - 5), 0xFF000000u);  // alpha 0 fails the alpha test
    p = drawTextured(t, D3DTOP_MODULATE, D3DTOP_MODULATE, 0xFF808080);
    EXPECT_TRUE(near(at(p, 5, 5), 0xFF800000));
    p = drawTextured(t, D3DTOP_SELECTARG2, D3DTOP_SELECTARG1, 0xFF00FFFF);
    EXPECT_EQ(at(p, 5, H - 5), 0xFF00FFFFu);
    EXPECT_EQ(at(p, W - 5, H - 5), 0xFF000000u);
    device->SetTexture(0, nullptr);
    t->Release();
}

// A lock of part of a texture shows what the texture holds there, and writing it back leaves the
// rest of the texture as it was.
TEST_F(GlTextureTest, ALockShowsTheTexturesPixelsAndKeepsWhatLiesOutsideIt) {
    IDirect3DTexture9* t = makeTexture(D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    const RECT rightColumn{1, 0, 2, 2};
    ASSERT_EQ(t->LockRect(0, &locked, &rightColumn, 0), D3D_OK);
    auto* p = static_cast<D3DCOLOR*>(locked.pBits);
    EXPECT_EQ(p[0], 0xFF00FF00u);
    EXPECT_EQ(p[locked.Pitch / 4], 0x00FFFFFFu);
    p[locked.Pitch / 4] = 0xFFFFFF00;
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    auto pixels = drawTextured(t, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, 0xFFFFFFFF);
    EXPECT_EQ(at(pixels, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, W - 5, 5), 0xFF00FF00u);
    EXPECT_EQ(at(pixels, 5, H - 5), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, W - 5, H - 5), 0xFFFFFF00u);
    // A lock of the whole texture sees the change too.
    ASSERT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
    p = static_cast<D3DCOLOR*>(locked.pBits);
    EXPECT_EQ(p[0], 0xFFFF0000u);
    EXPECT_EQ(p[locked.Pitch / 4 + 1], 0xFFFFFF00u);
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
    device->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(GlTextureTest, TextureWithoutAlphaIsOpaqueAndLocksAreChecked) {
    IDirect3DTexture9* t = makeTexture(D3DFMT_X8R8G8B8);
    auto p = drawTextured(t, D3DTOP_MODULATE, D3DTOP_MODULATE, 0xFFFFFFFF);
    EXPECT_EQ(at(p, W - 5, H - 5), 0xFFFFFFFFu);
    D3DLOCKED_RECT locked;
    RECT outside{1, 1, 3, 2};
    EXPECT_EQ(t->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DTexture9* none = nullptr;
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    device->SetTexture(0, nullptr);
    t->Release();
}

}  // namespace
