// Screenshots on the OpenGL device under Xvfb, written and read back: BMP and JPG copy the back
// buffer; TGA takes its alpha from the mask pass without breaking the frame's scene or leaving
// the mask in it; the crash screenshot is a JPG.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "GlPixelFixture.h"
#include "engine/Logger.h"
#include "media/Context.h"
#include "engine/Product.h"
#include "platform/FileSystem.h"
#include "media/Quad.h"
#include "media/Texture.h"

namespace {

// A root whose drawing is one half-transparent sprite in the middle of the screen.
struct SpriteRoot : Context {
    void draw() override {
        Camera camera;
        camera.render();
        sprite.render();
    }
    Renderable sprite;
};

class ScreenshotTest : public GlPixelFixture {
protected:
    void SetUp() override {
        GlPixelFixture::SetUp();
        writeImage("sprite.tga", 64, 64, [](int, int) { return 0x80FFFFFFu; });
        texture = std::make_unique<Texture>(0, u"sprite.tga");
        root.sprite.color = 0xFF804020;
        root.sprite.set(texture->skins[0], nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    // One frame of the scene, left open like the frame loop's until after the screenshot.
    void frameWithScreenshot(const std::u16string& name) {
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        graphics->resetViewport();
        graphics->setGlobalRenderState();
        root.draw();
        graphics->saveScreenshot(&root, name);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        UINT w = 0, h = 0;
        ASSERT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        width = int(w);
    }
    static UColor pixel(const MemoryImageFile& image, int x, int y) { return image.pImageData[size_t(y) * size_t(image.width) + size_t(x)]; }

    std::unique_ptr<Texture> texture;
    SpriteRoot root;
};

TEST_F(ScreenshotTest, BmpAndJpgCopyTheBackBuffer) {
    frameWithScreenshot(u"shot.bmp");
    frameWithScreenshot(u"shot.jpg");
    MemoryImageFile bmp(0, u"shot.bmp");
    ASSERT_EQ(bmp.width, 800);
    ASSERT_EQ(bmp.height, 480);
    EXPECT_EQ(pixel(bmp, 400, 240) & 0xFFFFFF, 0x402010u);
    EXPECT_EQ(pixel(bmp, 10, 10) & 0xFFFFFF, 0u);
    MemoryImageFile jpg(0, u"shot.jpg");
    ASSERT_EQ(jpg.width, 800);
    EXPECT_TRUE(near(pixel(jpg, 400, 240), 0x402010, 8)) << std::hex << pixel(jpg, 400, 240);
    EXPECT_TRUE(near(pixel(jpg, 10, 10), 0, 8));
}

TEST_F(ScreenshotTest, TgaTakesItsAlphaFromTheMaskAndTheFrameKeepsTheScene) {
    frameWithScreenshot(u"shot.tga");
    // The frame shows the scene, not the white mask.
    EXPECT_TRUE(near(at(400, 240), 0xFF402010, 1)) << std::hex << at(400, 240);
    MemoryImageFile tga(0, u"shot.tga");
    ASSERT_EQ(tga.width, 800);
    const UColor p = pixel(tga, 400, 240);
    EXPECT_NEAR(int(p >> 24), 128, 1);
    // 0x40, 0x20, 0x10 divided by the coverage 128 / 255.
    EXPECT_TRUE(near(p, 0x7F3F1F, 2)) << std::hex << p;
    EXPECT_EQ(pixel(tga, 10, 10), 0u);
}

TEST_F(ScreenshotTest, NameWithTgaAnywhereIsSavedAsTga) {
    frameWithScreenshot(u"both.tga.jpg");
    const std::string bytes = readFileBytes(work.file("both.tga.jpg"));
    MemoryImageFile image(0, 0);
    WString reason;
    ASSERT_TRUE(image.readTGA(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason)) << wideToUtf8(reason);
    EXPECT_NEAR(int(pixel(image, 400, 240) >> 24), 128, 1);
}

TEST_F(ScreenshotTest, CrashScreenshotIsAJpgOfTheBackBuffer) {
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    graphics->resetViewport();
    graphics->setGlobalRenderState();
    root.draw();
    device->EndScene();
    QelGraphics::onFatalError();
    MemoryImageFile crash(0, getCrashScreenshotPath());
    ASSERT_EQ(crash.width, 800);
    EXPECT_TRUE(near(pixel(crash, 400, 240), 0x402010, 8));
}

// A screenshot taken between frames (a fatal error in a tick, F9 after the frame went to the
// window) shows the frame last shown, not a black picture.
TEST_F(ScreenshotTest, ScreenshotBetweenFramesShowsTheFrameLastShown) {
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    graphics->resetViewport();
    graphics->setGlobalRenderState();
    root.draw();
    device->EndScene();
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    graphics->saveScreenshot(nullptr, u"between.bmp");
    QelGraphics::onFatalError();
    MemoryImageFile bmp(0, u"between.bmp");
    ASSERT_EQ(bmp.width, 800);
    EXPECT_EQ(pixel(bmp, 400, 240) & 0xFFFFFF, 0x402010u);
    MemoryImageFile crash(0, getCrashScreenshotPath());
    ASSERT_EQ(crash.width, 800);
    EXPECT_TRUE(near(pixel(crash, 400, 240), 0x402010, 8)) << std::hex << pixel(crash, 400, 240);
}

TEST_F(ScreenshotTest, NoFileForAnotherExtension) {
    frameWithScreenshot(u"shot.png");
    EXPECT_EQ(readFileBytes(work.file("shot.png")), "");
}

// A disk that fills up under a screenshot leaves no empty or partial picture (nor its temporary
// file) and the failure is logged with the file and the system's reason.
TEST_F(ScreenshotTest, AFailedWriteLeavesNoPictureAndIsLogged) {
    platform::setFileFaultHook([](const std::string&, platform::FileStep step) { return step == platform::FileStep::WRITE ? ENOSPC : 0; });
    for (const char16_t* name : {u"shot.bmp", u"shot.tga", u"shot.jpg"}) frameWithScreenshot(name);
    QelGraphics::onFatalError();
    platform::setFileFaultHook(nullptr);
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    for (const std::string& path : {work.file("shot.bmp"), work.file("shot.tga"), work.file("shot.jpg"), wideToUtf8(getCrashScreenshotPath())}) {
        const std::string name = path.starts_with(work.path) ? path.substr(work.path.size() + 1) : path;
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << path;
        EXPECT_NE(log.find("QelGraphics::saveScreenshot(): Could not save the screenshot '" + name + "' (writing '" + name +
                           ".tmp' failed: No space left on device)."),
                  std::string::npos)
            << log;
    }
}

}  // namespace
