#pragma once
// An engine with QelGraphics on the OpenGL device under Xvfb (800 by 480, point filtering) working
// in a temporary folder: draws one skin through the default camera and reads the back buffer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"
#include "media/QelMedia.h"
#include "media/Renderable.h"
#include "media/Skin.h"
#include "support/GlTestWindow.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

class GlPixelFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.window, nullptr);
        char buffer[4096];
        previousFolder = getcwd(buffer, sizeof(buffer)) ? buffer : "/";
        ASSERT_EQ(chdir(work.path.c_str()), 0);
        config = std::make_unique<MemoryIniFile>(work.wfile("test.cfg"));
        config->setBool(false, u"QelGraphics", u"bFullScreen");
        config->setInt(800, u"QelGraphics", u"videoModeWidth");
        config->setBool(false, u"QelGraphics", u"bBilinearFilter");
        // The graphics the engine builds itself get a recording device; these render into the
        // test window.
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        engine = std::make_unique<QelMedia>();
        engine->pFileManager->bUseWad = false;
        delete engine->pQelGraphics;
        QelGraphics::createDirect3D = &Direct3DCreate9;
        engine->pQelGraphics = graphics = new QelGraphics(window.window, config.get());
        device = graphics->dxDevice;
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        delete engine->pQelGraphics;
        engine->pQelGraphics = nullptr;
        engine.reset();
        QelGraphics::createDirect3D = &RecordingDirect3D::create;  // the test default
        if (chdir(previousFolder.c_str()) != 0) std::abort();
    }

    template <typename F>
    static void writeImage(const std::string& name, int w, int h, F colorAt) {
        MemoryImageFile image(w, h);
        image.bHasAlpha = true;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.pImageData[size_t(y) * size_t(w) + size_t(x)] = colorAt(x, y);
        ASSERT_TRUE(image.saveTGA(utf8ToWide(name)));
    }

    // The frame last read back, as a TGA picture named NAME in the folder VESK_SCREENSHOT_DIR
    // names, when it is set (for looking at what a test saw).
    void keepScreenshot(const std::string& name) const {
        const char* folder = std::getenv("VESK_SCREENSHOT_DIR");
        if (!folder || !*folder || pixels.empty()) return;
        const int height = static_cast<int>(pixels.size()) / width;
        MemoryImageFile image(width, height);
        for (size_t i = 0; i < pixels.size(); ++i) image.pImageData[i] = UColor(pixels[i] | 0xFF000000u);
        image.saveTGA(utf8ToWide(std::string(folder) + "/" + name + ".tga"));
    }

    // Clears to the colour, runs the drawing and reads the back buffer back.
    template <typename F>
    void drawFrameWith(F drawing, D3DCOLOR background = 0xFF000000) {
        Camera camera;
        device->BeginScene();
        graphics->resetViewport();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        graphics->setGlobalRenderState();
        camera.render();
        drawing();
        device->EndScene();
        UINT w = 0, h = 0;
        ASSERT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        width = int(w);
    }

    // Clears to the colour and draws the skin at the position in that colour through the default
    // camera: world (0, 0) is back-buffer pixel (400, 240), y up.
    void drawFrame(Skin* skin, Vector3 position, uint32_t color, D3DCOLOR background = 0xFF000000) {
        Renderable r;
        r.color = color;
        r.set(skin, &position, nullptr, nullptr, nullptr, nullptr);
        r.updateXform();
        Camera camera;
        device->BeginScene();
        graphics->resetViewport();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        graphics->setGlobalRenderState();
        camera.render();
        r.render();
        device->EndScene();
        UINT w = 0, h = 0;
        ASSERT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        width = int(w);
    }
    D3DCOLOR at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] | 0xFF000000; }
    static bool near(D3DCOLOR a, D3DCOLOR b, int tolerance) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
        return true;
    }

    GlTestWindow window{200, 120};
    TestFolder work{"texture-pixels"};
    std::string previousFolder;
    std::unique_ptr<MemoryIniFile> config;
    std::unique_ptr<QelMedia> engine;
    QelGraphics* graphics = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<D3DCOLOR> pixels;
    int width = 0;
};

