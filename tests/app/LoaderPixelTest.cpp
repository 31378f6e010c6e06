// The loading screen on the OpenGL device under Xvfb, against the generated archives beside the
// program: the bar is drawn from the first frame and fills as the steps go.

#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "ui/ProgressBar.h"
#include "engine/Utilities.h"
#include "media/GlPixelFixture.h"
#include "media/MemoryImageFile.h"
#include "support/GeneratedData.h"

namespace {

class LoaderPixelTest : public GlPixelFixture {
protected:
    void SetUp() override {
        GlPixelFixture::SetUp();
        VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
        engine->pFileManager->bUseWad = true;
    }
    // One frame of the application: tick the stack, then draw it and read the back buffer.
    void frame(ContextManager* stack) {
        stack->tick(0, 0);
        drawFrameWith([&] { stack->draw(); });
    }
    // Pixels along a row that are not the black background.
    int litPixels(int y) const {
        int n = 0;
        for (int x = 0; x < width; ++x) n += (at(x, y) & 0xFFFFFF) > 0x101010;
        return n;
    }
    // Pixels along a row that are clearly red (the stripes of the filling).
    int redPixels(int y) const {
        int n = 0;
        for (int x = 0; x < width; ++x) {
            const D3DCOLOR c = at(x, y);
            n += int((c >> 16) & 0xFF) > int((c >> 8) & 0xFF) + 80;
        }
        return n;
    }
    // Writes the back buffer where VESK_SCREENSHOT asks for it.
    void keepScreenshot() const {
        const char* path = std::getenv("VESK_SCREENSHOT");
        if (!path || !*path) return;
        const int height = static_cast<int>(pixels.size()) / width;
        MemoryImageFile image(width, height);
        for (size_t i = 0; i < pixels.size(); ++i) image.pImageData[i] = UColor(pixels[i] | 0xFF000000u);
        image.saveTGA(utf8ToWide(path));
    }
};

}  // namespace

TEST_F(LoaderPixelTest, TheBarIsDrawnAtOnceAndFills) {
    // Files are read as they are made; with delayed loading the bar stays hidden.
    engine->bEnableDelayedLoad = engine->pFileManager->bEnableDelayedLoad = false;
    GameGlobal application;
    Loader* loader = application.initPreLoader();
    ContextManager* stack = application.pContextManager;
    ASSERT_NE(loader->progressBar, nullptr);
    frame(stack);
    ASSERT_EQ(loader->currentStep, 1);
    const int y = 240 - static_cast<int>(loader->progressBar->position.y);
    EXPECT_GT(litPixels(y), 100) << "the frame of the bar shows before any file is read";
    const int first = redPixels(y);

    // The filling grows from the left with the fraction.
    loader->progressBar->setFraction(0.5f);
    drawFrameWith([&] { stack->draw(); });
    const int half = redPixels(y);
    keepScreenshot();
    loader->progressBar->setFraction(1.0f);
    drawFrameWith([&] { stack->draw(); });
    const int full = redPixels(y);
    EXPECT_LT(first, half);
    EXPECT_GT(full, half + half / 2);
}

TEST_F(LoaderPixelTest, DelayedLoadingHidesTheBar) {
    engine->bEnableDelayedLoad = engine->pFileManager->bEnableDelayedLoad = true;
    GameGlobal application;
    Loader* loader = application.initPreLoader();
    ASSERT_NE(loader->progressBar, nullptr);
    EXPECT_TRUE(loader->progressBar->bHidden);
    frame(application.pContextManager);
    EXPECT_EQ(litPixels(240), 0);
}
