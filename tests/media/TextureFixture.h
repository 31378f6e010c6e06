#pragma once
// An engine on the recording device working in a temporary folder, with helpers that write test
// images and skin descriptions there.

#include <unistd.h>

#include <string>

#include "engine/FileManager.h"
#include "media/MemoryImageFile.h"
#include "support/GraphicsFixture.h"

class TextureFixture : public GraphicsFixture {
protected:
    void SetUp() override {
        char buffer[4096];
        previousFolder = getcwd(buffer, sizeof(buffer)) ? buffer : "/";
        ASSERT_EQ(chdir(work.path.c_str()), 0);
        GraphicsFixture::SetUp();
        engine->bEnableDelayedLoad = true;
        engine->pFileManager->bUseWad = false;  // loose files on disk unless a test mounts an archive
    }
    void TearDown() override {
        GraphicsFixture::TearDown();
        if (chdir(previousFolder.c_str()) != 0) std::abort();
    }

    // A TGA in the working folder whose pixel (x, y) is the given function's colour.
    template <typename F>
    static void writeImage(const std::string& name, int w, int h, bool alpha, F colorAt) {
        MemoryImageFile image(w, h);
        image.bHasAlpha = alpha;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.pImageData[size_t(y) * size_t(w) + size_t(x)] = UColor(colorAt(x, y));
        ASSERT_TRUE(image.saveTGA(utf8ToWide(name)));
    }
    static void writeImage(const std::string& name, int w, int h, bool alpha = false) {
        writeImage(name, w, h, alpha, [](int x, int y) { return 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8; });
    }

    TestFolder work{"texture-work"};
    std::string previousFolder;
};
