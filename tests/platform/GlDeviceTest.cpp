// The OpenGL device read back through its back buffer: clears, viewport, pixel centres, stage-0
// colour and the fragment programs built for it, blending, alpha test, draw range checks, device
// loss and resets.

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
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

// Stage 0 as the engine sets it for its sprites: the texture's colour and alpha, each combined with
// the texture factor by the operations given.
void useTextureWithFactor(IDirect3DDevice9* device, IDirect3DTexture9* t, DWORD colorOp = D3DTOP_MODULATE,
                          DWORD alphaOp = D3DTOP_MODULATE, D3DCOLOR factor = 0xFFFFFFFF) {
    device->SetTexture(0, t);
    device->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
}

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

TEST_F(GlDeviceTest, TheWindowHasNeitherDepthNorStencilBuffer) {
    // The device never tests depth: a window made with its attributes carries no buffers for it.
    gl->makeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (GLenum attachment : {GLenum(GL_DEPTH), GLenum(GL_STENCIL)}) {
        GLint type = -1;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
        EXPECT_EQ(type, GL_NONE) << attachment;
    }
    GLint red = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE, &red);
    EXPECT_EQ(red, 8);
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

TEST_F(GlDeviceTest, AVertexBufferRewrittenBetweenDrawsGivesEachDrawItsOwnVertices) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    setVertices(rect(9.5f, 9.5f, 19.5f, 19.5f, 0xFF00FF00));
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    // The same buffer, written again before the frame is drawn: the first draw keeps its vertices.
    const std::vector<TestVertex> moved = rect(29.5f, 9.5f, 39.5f, 19.5f, 0xFFFF00FF);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    std::memcpy(data, moved.data(), moved.size() * 24);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    auto p = readBack();
    EXPECT_EQ(at(p, 15, 15), 0xFF00FF00u);
    EXPECT_EQ(at(p, 35, 15), 0xFFFF00FFu);
    EXPECT_EQ(at(p, 25, 15), 0xFF000000u);
    // A lock while locked, or an unlock without a lock, is refused.
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
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

TEST_F(GlDeviceTest, PresentCopiesOnlyWhenTheWindowHasAnotherSize) {
    struct Case {
        UINT width, height;
        int copies;
    };
    for (const Case& c : {Case{W, H, 0}, Case{W / 2, H / 2, 1}, Case{W, H + 2, 1}}) {
        D3DPRESENT_PARAMETERS pp = params(c.width, c.height);
        ASSERT_EQ(device->Reset(&pp), D3D_OK);
        gl->presentCopies = 0;
        for (int frame = 0; frame < 2; ++frame) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
            std::vector<D3DCOLOR> p = readBack();
            EXPECT_EQ(at(p, 0, 0), 0xFF00FF00u) << c.width << "x" << c.height;
            EXPECT_EQ(at(p, int(c.width) - 1, int(c.height) - 1), 0xFF00FF00u) << c.width << "x" << c.height;
            EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        }
        EXPECT_EQ(gl->presentCopies, 2 * c.copies) << c.width << "x" << c.height;
    }
}

TEST_F(GlDeviceTest, ResizedWindowIsDrawnThroughTheCopyUntilItsNextSwap) {
    // The driver takes the window's new size at the next swap: the frame before it must not land
    // in a back buffer of the old size.
    const int w = int(W) + 16, h = int(H) + 8;
    D3DPRESENT_PARAMETERS pp = params(UINT(w), UINT(h));
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    SDL_SetWindowSize(window.window, w, h);
    gl->presentCopies = 0;
    for (int frame = 0; frame < 3; ++frame) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        std::vector<D3DCOLOR> p = readBack();
        EXPECT_EQ(at(p, w - 1, h - 1), 0xFF00FF00u) << frame;
        EXPECT_EQ(at(p, 0, 0), 0xFF00FF00u) << frame;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    EXPECT_EQ(gl->presentCopies, 1);
}

TEST_F(GlDeviceTest, FullScreenPresentationLeavesTheWindowStateToItsPlacement) {
    // The window placement sets the full-screen state once; the device setting it too would make
    // the window switch back and forth at every start.
    D3DPRESENT_PARAMETERS pp = params(W, H);
    pp.Windowed = 0;
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(SDL_GetWindowFlags(window.window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST_F(GlDeviceTest, WindowBackBufferIsBlackOutsideTheViewportEveryFrame) {
    // A full-size frame first leaves white everywhere; the next frames draw into a smaller viewport.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    D3DVIEWPORT9 inner{8, 6, W - 16, H - 12, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&inner), D3D_OK);
    for (int frame = 0; frame < 3; ++frame) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
        std::vector<D3DCOLOR> p = readBack();
        EXPECT_EQ(at(p, 8, 6), 0xFF0000FFu) << frame;
        EXPECT_EQ(at(p, int(W) - 9, int(H) - 7), 0xFF0000FFu) << frame;
        const int w = int(W), h = int(H);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{7, 20}, std::pair{w - 8, 20}, std::pair{30, 5}, std::pair{30, h - 6}})
            EXPECT_EQ(at(p, x, y), 0xFF000000u) << frame << " at " << x << "," << y;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    EXPECT_EQ(gl->presentCopies, 0);
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
        useTextureWithFactor(device, t, colorOp, alphaOp, factor);
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

// Pixels written straight from the caller's rows (a part of a larger picture): no lock, and a new
// texture reads as transparent black where nothing was written.
TEST_F(GlTextureTest, UpdateRectWritesRowsOfALargerPictureAndANewTextureIsTransparent) {
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
    // A 3-pixel-wide picture whose middle column goes to the texture's right column.
    const D3DCOLOR picture[] = {0xFF111111, 0xFFFF0000, 0xFF222222, 0xFF333333, 0xFF0000FF, 0xFF444444};
    EXPECT_EQ(t->UpdateRect(RECT{1, 0, 2, 2}, picture + 1, 12), D3D_OK);
    auto pixels = drawTextured(t, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, 0xFFFFFFFF);
    EXPECT_EQ(at(pixels, W - 5, 5), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, W - 5, H - 5), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, 5, 5), 0xFF000000u);  // transparent: the alpha test drops it
    D3DLOCKED_RECT locked;
    ASSERT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const auto* p = static_cast<const D3DCOLOR*>(locked.pBits);
    EXPECT_EQ(p[0], 0x00000000u);
    EXPECT_EQ(p[1], 0xFFFF0000u);
    EXPECT_EQ(p[locked.Pitch / 4 + 1], 0xFF0000FFu);
    // Nothing is written while a lock is held, nor outside the texture or with too short a pitch.
    EXPECT_EQ(t->UpdateRect(RECT{0, 0, 1, 1}, picture, 4), D3DERR_INVALIDCALL);
    t->UnlockRect(0);
    EXPECT_EQ(t->UpdateRect(RECT{1, 1, 3, 2}, picture, 12), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->UpdateRect(RECT{0, 0, 2, 1}, picture, 4), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->UpdateRect(RECT{0, 0, 1, 1}, nullptr, 4), D3DERR_INVALIDCALL);
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

namespace {

// Quads cut to the texels that can show: with cutting on, every pixel comes out as when each quad
// is drawn as given, for sprites with transparent margins drawn at their size, scaled, turned,
// filtered, blended or alpha-tested; fully transparent quads are left out and fully opaque ones go
// without blending.
// Each draw's stage-0 operations and alpha test run in a fragment program built for that
// combination. Every combination below is drawn through the device, once without and once with
// blending by source alpha, over a texture whose four texels sit around the alpha reference, and
// compared with the result worked out here, texel by texel.
class GlStageProgramTest : public GlTextureTest {
protected:
    static constexpr D3DCOLOR background = 0xFF336699, vertexColor = 0xC090A0B0, factor = 0x60FF2010;
    static constexpr DWORD alphaRef = 0x80;
    static constexpr D3DCOLOR texels[4] = {0x7FC04020, 0x8020C040, 0x814020C0, 0xFF808080};
    struct Case {
        DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
        DWORD alphaFunc;  // 0: no alpha test
        bool textured = true;
    };
    IDirect3DTexture9* quadrants() {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
        const RECT all{0, 0, 2, 2};
        EXPECT_EQ(t->UpdateRect(all, texels, 8), D3D_OK);
        return t;
    }
    static float channel(D3DCOLOR c, int k) { return float((c >> (8 * k)) & 0xFF) / 255.0f; }  // k: 0 blue .. 3 alpha
    static float operate(DWORD op, float a1, float a2, float diffuse) {
        switch (op) {
            case D3DTOP_DISABLE: return diffuse;
            case D3DTOP_SELECTARG1: return a1;
            case D3DTOP_SELECTARG2: return a2;
            case D3DTOP_MODULATE2X: return std::clamp(a1 * a2 * 2.0f, 0.0f, 1.0f);
            case D3DTOP_MODULATE4X: return std::clamp(a1 * a2 * 4.0f, 0.0f, 1.0f);
            case D3DTOP_ADD: return std::clamp(a1 + a2, 0.0f, 1.0f);
            default: return a1 * a2;
        }
    }
    // The pixel a fragment over the texel gives: the stage's result, the alpha test, then either
    // written as it is or blended by its alpha over the background.
    static D3DCOLOR expected(const Case& c, D3DCOLOR texel, bool blend) {
        auto source = [&](DWORD arg) {
            if (c.textured && (arg & 15) == D3DTA_TEXTURE) return texel;
            if ((arg & 15) == D3DTA_TFACTOR) return factor;
            return vertexColor;
        };
        float result[4];
        for (int k = 0; k < 4; ++k) {
            result[k] = channel(vertexColor, k);
            if (!c.textured) continue;
            const bool alpha = k == 3;
            result[k] = operate(alpha ? c.alphaOp : c.colorOp, channel(source(alpha ? c.alphaArg1 : c.colorArg1), k),
                                channel(source(alpha ? c.alphaArg2 : c.colorArg2), k), channel(vertexColor, k));
        }
        const float a = std::floor(result[3] * 255.0f + 0.5f), ref = float(alphaRef);
        bool passes = true;
        switch (c.alphaFunc) {
            case D3DCMP_NEVER: passes = false; break;
            case D3DCMP_LESS: passes = a < ref; break;
            case D3DCMP_EQUAL: passes = a == ref; break;
            case D3DCMP_LESSEQUAL: passes = a <= ref; break;
            case D3DCMP_GREATER: passes = a > ref; break;
            case D3DCMP_NOTEQUAL: passes = a != ref; break;
            case D3DCMP_GREATEREQUAL: passes = a >= ref; break;
            default: break;
        }
        if (!passes) return background;
        D3DCOLOR out = 0xFF000000;
        for (int k = 0; k < 3; ++k) {
            const float v = blend ? result[k] * result[3] + channel(background, k) * (1.0f - result[3]) : result[k];
            out |= D3DCOLOR(std::lround(v * 255.0f)) << (8 * k);
        }
        return out;
    }
    std::vector<D3DCOLOR> draw(IDirect3DTexture9* t, const Case& c, bool blend) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        device->SetTexture(0, c.textured ? t : nullptr);
        const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> stage[] = {
            {D3DTSS_COLOROP, c.colorOp}, {D3DTSS_COLORARG1, c.colorArg1}, {D3DTSS_COLORARG2, c.colorArg2},
            {D3DTSS_ALPHAOP, c.alphaOp}, {D3DTSS_ALPHAARG1, c.alphaArg1}, {D3DTSS_ALPHAARG2, c.alphaArg2}};
        for (auto [state, value] : stage) device->SetTextureStageState(0, state, value);
        device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaFunc != 0);
        device->SetRenderState(D3DRS_ALPHAFUNC, c.alphaFunc ? c.alphaFunc : D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_ALPHAREF, alphaRef);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        setVertices(rect(-0.5f, -0.5f, W - 0.5f, H - 0.5f, vertexColor));
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
        return readBack();
    }
};

TEST_F(GlStageProgramTest, EachStageAndAlphaTestCombinationGivesTheComputedPixels) {
    const DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, C = D3DTA_CURRENT, F = D3DTA_TFACTOR;
    const Case cases[] = {
        // The common draws: the texture modulated by the vertex colour, with or without a test.
        {D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, 0},
        {D3DTOP_MODULATE, T, C, D3DTOP_MODULATE, T, C, D3DCMP_GREATER},
        {D3DTOP_MODULATE, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_GREATER},
        // Every alpha-test function against texel alphas just below, at and above the reference.
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_NEVER},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_LESS},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_EQUAL},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_LESSEQUAL},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_NOTEQUAL},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_GREATEREQUAL},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D, D3DCMP_ALWAYS},
        // Each operation and source, in colour and in alpha.
        {D3DTOP_SELECTARG2, T, F, D3DTOP_SELECTARG2, T, F, 0},
        {D3DTOP_MODULATE2X, T, D, D3DTOP_MODULATE2X, F, T, 0},
        {D3DTOP_MODULATE4X, F, T, D3DTOP_MODULATE4X, D, T, D3DCMP_GREATER},
        {D3DTOP_ADD, T, F, D3DTOP_ADD, T, D, 0},
        {D3DTOP_DISABLE, T, F, D3DTOP_DISABLE, T, F, 0},
        {D3DTOP_MODULATE, F, D, D3DTOP_SELECTARG1, D, T, D3DCMP_LESS},
        {D3DTOP_SELECTARG1, T | 0x10, D, D3DTOP_MODULATE, T | 0x20, F, 0},  // modifiers have no effect here
        // The texel alone and the texel times the factor, one in colour and the other in alpha.
        {D3DTOP_MODULATE, F, T, D3DTOP_SELECTARG2, D, T, D3DCMP_GREATER},
        {D3DTOP_SELECTARG1, T, D, D3DTOP_MODULATE, T, F, D3DCMP_GREATER},
        // Without a texture the vertex colour comes out, whatever the stage says.
        {D3DTOP_SELECTARG1, F, T, D3DTOP_SELECTARG2, F, F, 0, false},
        {D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_LESSEQUAL, false},
    };
    IDirect3DTexture9* t = quadrants();
    const std::pair<int, int> probes[4] = {{5, 5}, {W - 5, 5}, {5, H - 5}, {W - 5, H - 5}};
    int index = 0;
    for (const Case& c : cases) {
        for (bool blend : {false, true}) {
            const auto p = draw(t, c, blend);
            for (int q = 0; q < 4; ++q) {
                const D3DCOLOR want = expected(c, texels[q], blend), got = at(p, probes[q].first, probes[q].second);
                EXPECT_TRUE(near(got, want, blend ? 2 : 1))
                    << "case " << index << (blend ? " blended" : "") << ", texel " << q << ": got " << std::hex << got << ", want " << want;
            }
        }
        ++index;
    }
    device->SetTexture(0, nullptr);
    t->Release();
}

// A program is built once for each combination that changes what a fragment computes: sources an
// operation does not read, argument modifiers, the stage of an untextured draw (a disabled colour
// operation draws untextured), an alpha test that always passes and the texture factor beside the
// texel alone make none of their own. Each
// pair whose second draw differs uses a combination no draw before it in this test has used.
TEST_F(GlStageProgramTest, ProgramsAreBuiltOncePerCombinationThatChangesTheResult) {
    const DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, C = D3DTA_CURRENT, F = D3DTA_TFACTOR;
    struct Pair {
        Case a, b;
        bool same;
    };
    const Pair pairs[] = {
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, 0}, {D3DTOP_MODULATE, T, C, D3DTOP_MODULATE, T | 0x20, C, 0}, true},
        {{D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG2, D, T, 0}, {D3DTOP_SELECTARG1, T, F, D3DTOP_SELECTARG2, F, T, 0}, true},
        {{D3DTOP_DISABLE, T, D, D3DTOP_DISABLE, T, D, 0}, {D3DTOP_DISABLE, F, F, D3DTOP_DISABLE, D, T, 0}, true},
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, 0}, {D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_ALWAYS}, true},
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_LESS, false}, {D3DTOP_ADD, F, F, D3DTOP_ADD, F, F, D3DCMP_LESS, false}, true},
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, 0}, {D3DTOP_MODULATE, D, T, D3DTOP_MODULATE, T, D, 0}, false},
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, 0}, {D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_GREATER}, false},
        {{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_GREATEREQUAL},
         {D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D, D3DCMP_GREATEREQUAL, false}, false},
        {{D3DTOP_MODULATE2X, T, D, D3DTOP_MODULATE, T, D, 0}, {D3DTOP_MODULATE4X, T, D, D3DTOP_MODULATE, T, D, 0}, false},
        // The texel alone shares the program of the texel times the factor (the factor then is 1).
        {{D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG2, D, T, D3DCMP_GREATER},
         {D3DTOP_MODULATE, T, F, D3DTOP_MODULATE, F, T, D3DCMP_GREATER}, true},
        {{D3DTOP_MODULATE, F, T, D3DTOP_SELECTARG1, T, D, D3DCMP_GREATER},
         {D3DTOP_SELECTARG2, F, T, D3DTOP_MODULATE, T, F, D3DCMP_GREATER}, true},
    };
    IDirect3DTexture9* t = quadrants();
    for (size_t i = 0; i < std::size(pairs); ++i) {
        const Pair& p = pairs[i];
        draw(t, p.a, false);
        const size_t built = gl->fragmentProgramCount();
        draw(t, p.a, false);
        EXPECT_EQ(gl->fragmentProgramCount(), built) << "pair " << i << ": the same draw again";
        draw(t, p.b, false);
        EXPECT_EQ(gl->fragmentProgramCount(), p.same ? built : built + 1) << "pair " << i;
    }
    device->SetTexture(0, nullptr);
    t->Release();
}

class GlQuadCutTest : public GlTextureTest {
protected:
    static constexpr int S = 32;
    // An S x S texture, 'outside' everywhere but the block [x0, x1) x [y0, y1), which is opaque red
    // with a half-transparent green ring of one texel around it.
    IDirect3DTexture9* sprite(int x0, int y0, int x1, int y1, D3DCOLOR outside = 0x00FFFFFF) {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(device->CreateTexture(S, S, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
        std::vector<D3DCOLOR> pixels(size_t(S) * S, outside);
        for (int y = y0 - 1; y <= y1; ++y)
            for (int x = x0 - 1; x <= x1; ++x) {
                if (x < 0 || y < 0 || x >= S || y >= S) continue;
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                pixels[size_t(y) * S + size_t(x)] = inside ? 0xFFFF0000 : 0x8000FF00;
            }
        const RECT all{0, 0, S, S};
        EXPECT_EQ(t->UpdateRect(all, pixels.data(), S * 4), D3D_OK);
        return t;
    }
    enum Geometry { AT_SIZE, SCALED, TURNED };
    static std::vector<TestVertex> quad(Geometry g) {
        const D3DCOLOR c = 0xFFFFFFFF;
        switch (g) {
            case AT_SIZE: return {{9.5f, 5.5f, 0.5f, c, 0, 0}, {41.5f, 5.5f, 0.5f, c, 1, 0}, {9.5f, 37.5f, 0.5f, c, 0, 1}, {41.5f, 37.5f, 0.5f, c, 1, 1}};
            case SCALED: return {{3.3f, 2.1f, 0.5f, c, 0, 0}, {60.7f, 2.1f, 0.5f, c, 1, 0}, {3.3f, 45.2f, 0.5f, c, 0, 1}, {60.7f, 45.2f, 0.5f, c, 1, 1}};
            case TURNED: {
                // Turned by about 20 degrees and enlarged: a parallelogram (u and v flipped too).
                const float cx = 32.0f, cy = 24.0f, a = 0.35f, k = 20.0f;
                auto at = [&](float s, float t) {
                    return std::pair{cx + k * (s * std::cos(a) - t * std::sin(a)), cy + k * (s * std::sin(a) + t * std::cos(a))};
                };
                auto [x0, y0] = at(-1, -1);
                auto [x1, y1] = at(1, -1);
                auto [x2, y2] = at(-1, 1);
                auto [x3, y3] = at(1, 1);
                return {{x0, y0, 0.5f, c, 1, 1}, {x1, y1, 0.5f, c, 0, 1}, {x2, y2, 0.5f, c, 1, 0}, {x3, y3, 0.5f, c, 0, 0}};
            }
        }
        return {};
    }
    struct States {
        bool blend, alphaTest, linear, wrap;
        DWORD destBlend = D3DBLEND_INVSRCALPHA;
    };
    std::vector<D3DCOLOR> draw(IDirect3DTexture9* t, Geometry g, const States& s, bool cut) {
        gl->bCutQuads = cut;
        gl->quadsCut = gl->quadsLeftOut = gl->quadsOpaque = 0;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
        useTextureWithFactor(device, t);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, s.blend);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, s.destBlend);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, s.alphaTest);
        device->SetRenderState(D3DRS_ALPHAREF, 0);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        const DWORD filter = s.linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        const DWORD address = s.wrap ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, address);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, address);
        setVertices(quad(g));
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
        return readBack();
    }
    // Every pixel alike but for rounding.
    void expectSamePixels(const std::vector<D3DCOLOR>& given, const std::vector<D3DCOLOR>& cut, const std::string& what) {
        ASSERT_EQ(given.size(), cut.size());
        int differing = 0;
        for (size_t i = 0; i < given.size(); ++i)
            if (!near(given[i] | 0xFF000000, cut[i] | 0xFF000000, 2)) ++differing;
        EXPECT_EQ(differing, 0) << what;
    }
};

TEST_F(GlQuadCutTest, CutQuadsShowTheSamePixels) {
    struct Case {
        const char* name;
        Geometry geometry;
        States states;
    } cases[] = {
        {"at size, blended, alpha-tested, point", AT_SIZE, {true, true, false, false}},
        {"at size, blended, linear, repeating", AT_SIZE, {true, false, true, true}},
        {"scaled, alpha-tested only, linear", SCALED, {false, true, true, false}},
        {"scaled, blended, linear, repeating", SCALED, {true, false, true, true}},
        {"turned, blended, linear", TURNED, {true, true, true, false}},
        {"turned, glow (source alpha, one), point", TURNED, {true, false, false, true, D3DBLEND_ONE}},
    };
    IDirect3DTexture9* t = sprite(12, 8, 20, 24);
    for (const Case& c : cases) {
        const auto given = draw(t, c.geometry, c.states, false);
        const auto cut = draw(t, c.geometry, c.states, true);
        EXPECT_EQ(gl->quadsCut, 1) << c.name;
        expectSamePixels(given, cut, c.name);
    }
    device->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(GlQuadCutTest, FilteredEdgeOfARepeatingTextureKeepsWhatTheOtherEdgeLendsIt) {
    // Only the last column shows; filtered and repeating, the first column's pixels read it too.
    IDirect3DTexture9* t = sprite(S - 1, 0, S, S);
    for (bool wrap : {true, false}) {
        const States s{true, false, true, wrap};
        const auto given = draw(t, SCALED, s, false);
        const auto cut = draw(t, SCALED, s, true);
        expectSamePixels(given, cut, wrap ? "repeating" : "clamped");
    }
    device->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(GlQuadCutTest, TransparentQuadsAreLeftOutAndOpaqueOnesGoWithoutBlending) {
    IDirect3DTexture9* clear = sprite(-5, -5, -5, -5, 0x00000000);  // no block, no ring: all transparent
    auto given = draw(clear, SCALED, {true, true, true, false}, false);
    auto cut = draw(clear, SCALED, {true, true, true, false}, true);
    EXPECT_EQ(gl->quadsLeftOut, 1);
    expectSamePixels(given, cut, "transparent");
    // Opaque red all over (the ring falls outside the texture).
    IDirect3DTexture9* opaque = sprite(0, 0, S, S);
    given = draw(opaque, TURNED, {true, true, true, false}, false);
    cut = draw(opaque, TURNED, {true, true, true, false}, true);
    EXPECT_EQ(gl->quadsOpaque, 1);
    EXPECT_EQ(gl->quadsCut, 0);
    expectSamePixels(given, cut, "opaque");
    device->SetTexture(0, nullptr);
    clear->Release();
    opaque->Release();
}

TEST_F(GlQuadCutTest, QuadsWhoseTransparentTexelsStillShowAreDrawnAsGiven) {
    // Neither blended nor alpha-tested, the white of the transparent texels shows: nothing is cut.
    IDirect3DTexture9* t = sprite(12, 8, 20, 24);
    const States plain{false, false, false, false};
    const auto given = draw(t, AT_SIZE, plain, false);
    const auto cut = draw(t, AT_SIZE, plain, true);
    EXPECT_EQ(gl->quadsCut + gl->quadsLeftOut + gl->quadsOpaque, 0);
    EXPECT_EQ(at(cut, 10, 6), 0xFFFFFFFFu);
    expectSamePixels(given, cut, "plain");
    device->SetTexture(0, nullptr);
    t->Release();
}

}  // namespace

namespace {

// Draws wholly hidden behind later opaque draws are left out, and quads partly hidden are cut to
// the screen tiles that show: the picture stays as when everything is drawn in its order.
class GlHiddenDrawTest : public GlQuadCutTest {
protected:
    void opaqueRect(float x0, float y0, float x1, float y1, D3DCOLOR c) {
        device->SetTexture(0, nullptr);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
        setVertices(rect(x0, y0, x1, y1, c));
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    }
    void spriteQuad(IDirect3DTexture9* t, float x0, float y0, float x1, float y1, bool linear, D3DCOLOR factor = 0xFFFFFFFF) {
        useTextureWithFactor(device, t, D3DTOP_MODULATE, D3DTOP_MODULATE, factor);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(D3DRS_ALPHAREF, 0);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        const DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        const D3DCOLOR c = 0xFFFFFFFF;
        setVertices({{x0, y0, 0.5f, c, 0, 0}, {x1, y0, 0.5f, c, 1, 0}, {x0, y1, 0.5f, c, 0, 1}, {x1, y1, 0.5f, c, 1, 1}});
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    }
    // A scene: a sprite over the whole back buffer, a small one, an opaque band from past the left
    // edge over the small sprite's place, then a sprite whose opaque block covers part of what lies below.
    std::vector<D3DCOLOR> scene(bool skipHidden, bool linear) {
        gl->bSkipHidden = skipHidden;
        gl->drawsHidden = gl->quadsCutHidden = 0;
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
        // (Sizes that put no texel edge exactly on a pixel centre, where a point sample may go
        // either way.)
        spriteQuad(big, 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, linear);
        spriteQuad(big, 4.3f, 4.2f, 19.6f, 19.7f, linear);
        opaqueRect(-8.0f, -8.0f, 24.0f, float(H) + 8.0f, 0xFF20C040);
        spriteQuad(block, 20.2f, -0.3f, 52.3f, 31.8f, linear);
        return readBack();
    }
    IDirect3DTexture9* big = nullptr;
    IDirect3DTexture9* block = nullptr;
};

TEST_F(GlHiddenDrawTest, HiddenDrawsAreLeftOutAndPartlyHiddenQuadsCutWithTheSamePixels) {
    big = sprite(4, 4, 28, 28);
    block = sprite(0, 0, S, S);  // opaque red all over
    for (bool linear : {false, true}) {
        SCOPED_TRACE(linear ? "linear" : "point");
        const auto given = scene(false, linear);
        EXPECT_EQ(gl->drawsHidden + gl->quadsCutHidden, 0);
        const auto skipped = scene(true, linear);
        // The small sprite lies wholly under the band; the big one is cut to what the band and the
        // opaque block leave of it.
        EXPECT_EQ(gl->drawsHidden, 1);
        EXPECT_GE(gl->quadsCutHidden, 1);
        expectSamePixels(given, skipped, "hidden draws");
        EXPECT_EQ(at(skipped, 10, 10), 0xFF20C040u);
        EXPECT_EQ(at(skipped, 30, 10), 0xFFFF0000u);
    }
    device->SetTexture(0, nullptr);
    big->Release();
    block->Release();
}

TEST_F(GlHiddenDrawTest, OpaqueTilesOfABlendedDrawGoApartWithTheSamePixels) {
    // A blended sprite opaque over its upper three quarters: the tiles that show only opaque texels
    // are drawn as a draw of their own without blending, the rest blended, and the picture stays.
    struct Case {
        const char* name;
        float x0, y0, x1, y1;
        bool linear;
        D3DCOLOR factor;
        int parted;
    } cases[] = {
        {"enlarged, point", 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, false, 0xFFFFFFFF, 1},
        {"enlarged, linear", 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, true, 0xFFFFFFFF, 1},
        // Half-transparent through the texture factor: every tile needs blending.
        {"translucent factor", 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, true, 0x80FFFFFF, 0},
        // Too few opaque tiles to pay for a draw of their own.
        {"small", 4.3f, 4.2f, 27.6f, 23.7f, true, 0xFFFFFFFF, 0},
    };
    big = sprite(0, 0, S, 24);
    auto draw = [&](const Case& c, bool apart) {
        gl->bDrawOpaquePartsApart = apart;
        gl->drawsPartedOpaque = 0;
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
        spriteQuad(big, c.x0, c.y0, c.x1, c.y1, c.linear, c.factor);
        return readBack();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto together = draw(c, false);
        EXPECT_EQ(gl->drawsPartedOpaque, 0);
        const auto apart = draw(c, true);
        EXPECT_EQ(gl->drawsPartedOpaque, c.parted);
        expectSamePixels(together, apart, c.name);
        if (c.factor == 0xFFFFFFFF) {
            EXPECT_EQ(at(apart, int(c.x0 + c.x1) / 2, int(c.y0) + 4), 0xFFFF0000u);
        }
        gl->bSkipHidden = false;
        expectSamePixels(draw(c, true), apart, "every draw as it came");
        gl->bSkipHidden = true;
    }
    device->SetTexture(0, nullptr);
    big->Release();
}

TEST_F(GlHiddenDrawTest, AFramePlannedAfterOthersIsPlannedAsOnAFreshDevice) {
    // The planning keeps its working memory from frame to frame: whatever the frames before left
    // there (more draws and quads, parted draws, other textures), a frame is planned as the first
    // frame of a new device plans it.
    big = sprite(4, 4, 28, 28);
    block = sprite(0, 0, S, S);
    IDirect3DTexture9* topOpaque = sprite(0, 0, S, 24);
    struct Planned {
        std::vector<D3DCOLOR> pixels;
        std::vector<uint8_t> vertices;
        int hidden, cut;
    };
    auto frame = [&](const std::function<std::vector<D3DCOLOR>()>& drawScene) {
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        Planned p;
        p.pixels = drawScene();
        EXPECT_EQ(device->EndScene(), D3D_OK);
        p.vertices = gl->frameDrawnVertices();
        p.hidden = gl->drawsHidden, p.cut = gl->quadsCutHidden;
        return p;
    };
    auto sceneFrame = [&](bool linear) { return frame([&] { return scene(true, linear); }); };
    auto partedFrame = [&] {
        return frame([&] {
            gl->drawsPartedOpaque = 0;
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
            for (int k = 0; k < 3; ++k) {
                spriteQuad(topOpaque, 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, true);
                spriteQuad(big, 2.3f + float(k), 3.2f, 40.6f, 30.7f, false);
            }
            auto pixels = readBack();
            EXPECT_GE(gl->drawsPartedOpaque, 1);
            return pixels;
        });
    };
    // The fixture's device is new: its first frame is planned from nothing kept.
    const Planned fresh = sceneFrame(true);
    EXPECT_GT(fresh.hidden, 0);
    EXPECT_GT(fresh.cut, 0);
    partedFrame();
    sceneFrame(false);
    const Planned again = sceneFrame(true);
    EXPECT_EQ(again.vertices, fresh.vertices);
    EXPECT_EQ(again.hidden, fresh.hidden);
    EXPECT_EQ(again.cut, fresh.cut);
    expectSamePixels(fresh.pixels, again.pixels, "planned again");
    device->SetTexture(0, nullptr);
    topOpaque->Release();
    big->Release();
    block->Release();
}

TEST_F(GlHiddenDrawTest, DrawsShowInTheirOrderAcrossReadsAndTextureWrites) {
    // A read of the back buffer and a write to a texture that queued draws use both see those
    // draws done first, with the texture as it was when they were asked for.
    block = sprite(0, 0, S, S);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    spriteQuad(block, 0.0f, 0.0f, 16.0f, 16.0f, false);
    std::vector<D3DCOLOR> blue(size_t(S) * S, 0xFF0000FF);
    const RECT all{0, 0, S, S};
    ASSERT_EQ(block->UpdateRect(all, blue.data(), S * 4), D3D_OK);
    spriteQuad(block, 16.0f, 0.0f, 32.0f, 16.0f, false);
    const auto pixels = readBack();
    EXPECT_EQ(at(pixels, 8, 8), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, 24, 8), 0xFF0000FFu);
    device->SetTexture(0, nullptr);
    block->Release();
}

}  // namespace

namespace {

// A frame drawn as it is shown, into a back buffer that keeps the frame before it, is drawn only
// where the two frames' draws differ: what the back buffer holds after each frame is what drawing
// every frame whole gives.
class GlChangedAreasTest : public GlHiddenDrawTest {
protected:
    // Frame k: the background sprite over everything, an opaque band, a sprite moving right by k
    // pixels, a sprite whose texture turns blue from frame 'recolourAt' on (its draw unchanged), a
    // turned sprite, and nothing new at all in the frames after 'still'.
    std::vector<std::vector<D3DCOLOR>> frames(bool inPart, int count) {
        gl->bRedrawChangesOnly = inPart;
        std::vector<std::vector<D3DCOLOR>> kept;
        const RECT all{0, 0, S, S};
        std::vector<D3DCOLOR> red(size_t(S) * S, 0xFFFF0000), blue(size_t(S) * S, 0xFF0000FF);
        EXPECT_EQ(recoloured->UpdateRect(all, red.data(), S * 4), D3D_OK);
        for (int k = 0; k < count; ++k) {
            if (k == recolourAt) {
                EXPECT_EQ(recoloured->UpdateRect(all, blue.data(), S * 4), D3D_OK);
            }
            const int step = k > still ? still : k;
            EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0), D3D_OK);
            EXPECT_EQ(device->BeginScene(), D3D_OK);
            device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
            spriteQuad(big, 0.3f, 0.2f, float(W) - 0.4f, float(H) - 0.3f, true);
            opaqueRect(-8.0f, 30.0f, float(W) + 8.0f, 36.0f, 0xFF20C040);
            spriteQuad(big, 2.3f + float(step), 3.2f, 20.6f + float(step), 25.7f, true);
            spriteQuad(recoloured, 40.2f, 20.3f, 56.1f, 44.4f, false);
            // A turned sprite over the moving one's way, drawn whole within each area it meets.
            const float x = 30.3f;
            const D3DCOLOR c = 0xFFFFFFFF;
            setVertices({{x, 4.2f, 0.5f, c, 0, 0}, {x + 14.0f, 12.1f, 0.5f, c, 1, 0}, {x - 8.0f, 18.3f, 0.5f, c, 0, 1}, {x + 6.0f, 26.2f, 0.5f, c, 1, 1}});
            useTextureWithFactor(device, big);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
            EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
            EXPECT_EQ(device->EndScene(), D3D_OK);
            EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
            kept.push_back(gl->readTargetPixels());
            // A read between frames draws the frame shown whole: the same again.
            if (k == 3) {
                expectSamePixels(readBack(), kept.back(), "read back");
            }
        }
        device->SetTexture(0, nullptr);
        return kept;
    }
    IDirect3DTexture9* recoloured = nullptr;
    int recolourAt = 5, still = 7;
};

TEST_F(GlChangedAreasTest, FramesDrawnInPartKeepWhatDrawingThemWholeGives) {
    big = sprite(4, 4, 28, 28);
    recoloured = sprite(0, 0, S, S);
    const int count = 10;
    const auto whole = frames(false, count);
    EXPECT_EQ(gl->framesDrawnInPart, 0);
    const auto inPart = frames(true, count);
    // Every frame but those that change most of the small picture (the first, whose sprite jumps
    // back to where the run starts).
    EXPECT_GE(gl->framesDrawnInPart, count - 2);
    ASSERT_EQ(inPart.size(), whole.size());
    for (int k = 0; k < count; ++k) expectSamePixels(whole[size_t(k)], inPart[size_t(k)], "frame " + std::to_string(k));
    bbWidth = W;
    EXPECT_EQ(at(inPart[6], 48, 24), 0xFF0000FFu);
    EXPECT_EQ(at(inPart[4], 48, 24), 0xFFFF0000u);
    expectSamePixels(readBack(), inPart.back(), "read back at the end");
    big->Release();
    recoloured->Release();
}

TEST_F(GlChangedAreasTest, FramesDrawnInPartInTheFramebufferObjectKeepWhatDrawingThemWholeGives) {
    // A window of another size than the back buffer: the frames go to the framebuffer object,
    // which keeps each one, and are copied into the window.
    SDL_SetWindowSize(window.window, int(W) + 16, int(H) + 8);
    big = sprite(4, 4, 28, 28);
    recoloured = sprite(0, 0, S, S);
    const int count = 8;
    gl->presentCopies = 0;
    const auto whole = frames(false, count);
    const int partsBefore = gl->framesDrawnInPart;
    const auto inPart = frames(true, count);
    EXPECT_EQ(gl->presentCopies, 2 * count);
    EXPECT_GE(gl->framesDrawnInPart - partsBefore, count - 2);
    for (int k = 0; k < count; ++k) expectSamePixels(whole[size_t(k)], inPart[size_t(k)], "frame " + std::to_string(k));
    big->Release();
    recoloured->Release();
}

TEST_F(GlChangedAreasTest, AFrameThatDoesNotClearFirstIsDrawnWhole) {
    big = sprite(4, 4, 28, 28);
    gl->bRedrawChangesOnly = true;
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        spriteQuad(big, 2.3f + float(k), 3.2f, 20.6f, 25.7f, true);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    EXPECT_EQ(gl->framesDrawnInPart, 0);
    device->SetTexture(0, nullptr);
    big->Release();
}

}  // namespace
