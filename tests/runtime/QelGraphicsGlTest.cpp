// QelGraphics on the OpenGL device under Xvfb, read back through the back buffer: letterbox and
// pillarbox bars (black, red with debug features unlocked), an untextured draw in the engine's
// render state, and a forced device loss with one restore broadcast and vertex buffers intact.

#include <gtest/gtest.h>

#include <memory>

#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "runtime/QelRuntime.h"
#include "media/VertexBuffer.h"
#include "platform/GlDevice.h"
#include "platform/TestClock.h"
#include "support/GlTestWindow.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

namespace {

class QelGraphicsGlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.window, nullptr);
        config = std::make_unique<MemoryIniFile>(folder.wfile("test.cfg"));
        config->setBool(false, u"QelGraphics", u"bFullScreen");
        config->setInt(800, u"QelGraphics", u"videoModeWidth");
        // Graphics the engine may build itself get a recording device; this test's own graphics
        // render into the test window.
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        engine = std::make_unique<QelRuntime>();
        delete engine->pQelGraphics;
        QelGraphics::createDirect3D = &Direct3DCreate9;
        engine->pQelGraphics = graphics = new QelGraphics(window.window, config.get());
        device = graphics->dxDevice;
    }
    void TearDown() override {
        delete engine->pQelGraphics;
        engine->pQelGraphics = nullptr;
        engine.reset();
        QelGraphics::createDirect3D = &RecordingDirect3D::create;  // the test default
    }

    // Full screen at a mode the list is made to hold, through the reset path of a mode change.
    void goFullScreen(int width, int height) {
        graphics->addVideoMode(width, height);
        graphics->changePresentationParameters(width, height, true, true, true, false);
        ASSERT_TRUE(engine->bFreezeRequested);
        ASSERT_TRUE(graphics->restorePresentation(true));
        ASSERT_EQ(graphics->backBufferWidth, width);
        ASSERT_EQ(graphics->backBufferHeight, height);
    }

    // One frame: the viewport is filled with green after resetViewport.
    std::vector<D3DCOLOR> frameWithGreenViewport() {
        device->BeginScene();
        graphics->resetViewport();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        device->EndScene();
        return readBack();
    }

    std::vector<D3DCOLOR> readBack() {
        UINT w = 0, h = 0;
        std::vector<D3DCOLOR> pixels;
        EXPECT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        width = int(w);
        return pixels;
    }
    D3DCOLOR at(const std::vector<D3DCOLOR>& p, int x, int y) const { return p[size_t(y) * width + x] | 0xFF000000; }

    GlTestWindow window{200, 120};
    TestFolder folder{"graphics"};
    std::unique_ptr<MemoryIniFile> config;
    std::unique_ptr<QelRuntime> engine;
    QelGraphics* graphics = nullptr;
    IDirect3DDevice9* device = nullptr;
    int width = 0;
};

TEST_F(QelGraphicsGlTest, StartsWindowedAndLogsTheDevice) {
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_EQ(graphics->backBufferWidth, 800);
    EXPECT_EQ(graphics->backBufferHeight, 480);
    std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    for (const char* line : {"Driver: OpenGL", "\tDevCaps:", "Supported adapter modes:", "Desktop resolution is ",
                             "Device validation: PASSED", "Viewport 800x480 (0,0)-(800,480)", "QelGraphics::QelGraphics(): Started."})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    auto p = frameWithGreenViewport();
    EXPECT_EQ(at(p, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(at(p, 799, 479), 0xFF00FF00u);
    graphics->flip();
}

TEST_F(QelGraphicsGlTest, LetterboxBarsAboveAndBelow) {
    goFullScreen(1280, 1024);
    EXPECT_EQ(graphics->viewport.top, 128);
    EXPECT_EQ(graphics->viewport.bottom, 896);
    auto p = frameWithGreenViewport();
    EXPECT_EQ(at(p, 640, 127), 0xFF000000u);
    EXPECT_EQ(at(p, 640, 128), 0xFF00FF00u);
    EXPECT_EQ(at(p, 0, 895), 0xFF00FF00u);
    EXPECT_EQ(at(p, 1279, 896), 0xFF000000u);
    engine->bDebugLocked = false;
    p = frameWithGreenViewport();
    EXPECT_EQ(at(p, 640, 0), 0xFFFF0000u);
    EXPECT_EQ(at(p, 640, 1023), 0xFFFF0000u);
    EXPECT_EQ(at(p, 640, 512), 0xFF00FF00u);
}

TEST_F(QelGraphicsGlTest, PillarboxBarsLeftAndRight) {
    goFullScreen(2560, 1080);
    auto p = frameWithGreenViewport();
    EXPECT_EQ(at(p, 380, 540), 0xFF000000u);
    EXPECT_EQ(at(p, 381, 540), 0xFF00FF00u);
    EXPECT_EQ(at(p, 2178, 0), 0xFF00FF00u);
    EXPECT_EQ(at(p, 2179, 1079), 0xFF000000u);
}

// Two quads in world units through the default camera and the engine's render state.
void fillQuads(VertexBuffer& buffer) {
    const float quads[2][2] = {{-100, -20}, {20, 100}};
    const uint32_t colors[2] = {0xFFFF0000, 0xFF0000FF};
    for (int q = 0; q < 2; ++q) {
        float x0 = quads[q][0], x1 = quads[q][1];
        Vertex* v = buffer.vertexData + 4 * q;
        v[0] = Vertex{x0, 50, 0, colors[q], 0, 0};
        v[1] = Vertex{x1, 50, 0, colors[q], 1, 0};
        v[2] = Vertex{x0, -50, 0, colors[q], 0, 1};
        v[3] = Vertex{x1, -50, 0, colors[q], 1, 1};
    }
    buffer.upload();
}

TEST_F(QelGraphicsGlTest, UntexturedDrawShowsVertexColoursWhereTheCameraPutsThem) {
    VertexBuffer buffer(8);
    fillQuads(buffer);
    Camera camera;
    device->BeginScene();
    graphics->resetViewport();
    camera.render();
    buffer.draw(nullptr, 4, 0, 4);
    buffer.draw(nullptr, 4, 4, 4);
    device->EndScene();
    auto p = readBack();
    // World (0, 0) is the middle of the 800 by 480 viewport; y grows upwards.
    EXPECT_EQ(at(p, 400 - 90, 240), 0xFFFF0000u);
    EXPECT_EQ(at(p, 400 - 30, 200), 0xFFFF0000u);
    EXPECT_EQ(at(p, 400 + 50, 280), 0xFF0000FFu);
    EXPECT_EQ(at(p, 400, 240), 0xFF000000u);
    EXPECT_EQ(at(p, 400 - 110, 240), 0xFF000000u);
    EXPECT_EQ(at(p, 400 - 50, 240 - 60), 0xFF000000u);
}

struct RestoreCounter : QelBase {
    void onRestorePresentation() override { ++restores; }
    int restores = 0;
};

TEST_F(QelGraphicsGlTest, ForcedLossRestoresOnceAndKeepsVertexBuffers) {
    RestoreCounter counter;
    VertexBuffer buffer(8);
    fillQuads(buffer);
    auto* gl = static_cast<GlDevice*>(device);
    gl->forceLoss();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_FALSE(graphics->restorePresentation(true));
    gl->endForcedLoss();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    gl->failNextResets(1);  // the first attempt fails; the fallback to the last working size succeeds
    EXPECT_TRUE(graphics->restorePresentation(true));
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(counter.restores, 1);

    Camera camera;
    device->BeginScene();
    graphics->resetViewport();
    camera.render();
    buffer.draw(nullptr, 4, 4, 4);
    device->EndScene();
    EXPECT_EQ(at(readBack(), 450, 240), 0xFF0000FFu);
}

// Records every engine-mode step it is told of.
struct ModeObserver : QelBase {
    void onQELmodeChange(int oldMode, int newMode) override { steps.emplace_back(oldMode, newMode); }
    std::vector<std::pair<int, int>> steps;
};

TEST_F(QelGraphicsGlTest, FrameLoopFreezesOnALostDeviceAndComesBackThroughPause) {
    platform::TestClock clock;
    platform::Clock::setCurrent(&clock);
    RestoreCounter counter;
    ModeObserver observer;
    VertexBuffer buffer(8);
    fillQuads(buffer);
    auto* gl = static_cast<GlDevice*>(device);

    engine->frame(nullptr);
    EXPECT_EQ(engine->qelMode, Qel::MODE_OK);
    gl->forceLoss();
    engine->frame(nullptr);  // OK -> PAUSED -> FROZEN
    EXPECT_EQ(engine->qelMode, Qel::MODE_FROZEN);
    engine->frame(nullptr);  // still lost: waits
    EXPECT_EQ(engine->qelMode, Qel::MODE_FROZEN);
    gl->endForcedLoss();
    engine->frame(nullptr);  // reset, restore, PAUSED
    EXPECT_EQ(engine->qelMode, Qel::MODE_PAUSED);
    engine->frame(nullptr);  // window active: OK
    EXPECT_EQ(engine->qelMode, Qel::MODE_OK);
    EXPECT_EQ(observer.steps, (std::vector<std::pair<int, int>>{{3, 2}, {2, 1}, {1, 2}, {2, 3}}));
    EXPECT_EQ(counter.restores, 1);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    Camera camera;
    device->BeginScene();
    graphics->resetViewport();
    camera.render();
    buffer.draw(nullptr, 4, 0, 4);
    device->EndScene();
    EXPECT_EQ(at(readBack(), 400 - 90, 240), 0xFFFF0000u);
    platform::Clock::setCurrent(nullptr);
}

}  // namespace
