#pragma once
// An application object loaded from the generated data archives, on the OpenGL device under Xvfb,
// for pixel tests of whole screens: the user data starts empty (no players, no configuration of an
// earlier test), the texts are those of one language (the first unless the test names another),
// the start screens are taken away so that each test pushes its own, and the pointer rests where
// it hovers nothing (unless the test puts it elsewhere).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Utilities.h"
#include "media/GlPixelFixture.h"
#include "media/QelInput.h"
#include "menus/Loader.h"
#include "support/GeneratedData.h"
#include "ui/ContextManager.h"
#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"

template <class Application>
class ArchiveScreenFixture : public GlPixelFixture {
protected:
    void SetUp() override {
        GlPixelFixture::SetUp();
        VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
        engine->pFileManager->bUseWad = true;
        engine->bEnableDelayedLoad = engine->pFileManager->bEnableDelayedLoad = false;
        engine->singleLanguage = languageToLoad();
        for (const WString& path : {ProfileManager::getProfilesPath(),
                                    ProfileManager::getProfilesFolder() + GameConfiguration::getConfigurationFileName()})
            std::remove(wideToUtf8(path).c_str());
        application = new Application();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT) loader->loadStuff(false);
        stack = application->pContextManager;
        clearStack();
        engine->pQelInput->setInputMode(INPUTMODE_MOUSE);
        engine->pQelInput->pointer = Vector3(1.0f, 1.0f, 0.0f);
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
    }
    void TearDown() override {
        if (application) {
            clearStack();
            delete application;
            application = nullptr;
        }
        GlPixelFixture::TearDown();
    }

    // The language whose texts are loaded (its index among the five).
    virtual int languageToLoad() const { return 0; }
    // Every screen off the stack (and the game in progress, for an application that has one).
    void clearStack() {
        while (Context* top = stack->getTopContext()) {
            stack->removeChild(top);
            if constexpr (requires { application->pGameController; })
                if (top == application->pGameController) application->pGameController = nullptr;
            delete top;
        }
        if constexpr (requires { application->pGameController; }) {
            delete application->pGameController;
            application->pGameController = nullptr;
        }
        stack->pLastActive = stack->pTop = nullptr;
    }
    // The back buffer as a screen of the width shows the layout (its shape, 0.6 times as high as
    // wide), with the game's default filtering and detail.
    bool presentAt(int pictureWidth) {
        graphics->workArea = RECT{0, 0, 4096, 4096};
        graphics->videoModeWidth = pictureWidth;
        graphics->videoModeHeight = pictureWidth * 3 / 5;
        graphics->bBilinearFilter = true;
        graphics->bHighDetail = true;
        return graphics->restorePresentation(true);
    }
    // Ticks the stack a number of frames, then draws it and reads the back buffer.
    void frames(int n) {
        for (int i = 0; i < n; ++i) stack->tick(0, 0);
        drawFrameWith([&] { stack->draw(); });
    }
    // Pixels of a rectangle in layout units (centre, half sizes; origin at the centre, y up) that
    // pass a test.
    int count(float cx, float cy, float hw, float hh, const std::function<bool(D3DCOLOR)>& test) const {
        int n = 0;
        for (int y = int(240 - cy - hh); y < int(240 - cy + hh); ++y)
            for (int x = int(400 + cx - hw); x < int(400 + cx + hw); ++x)
                if (x >= 0 && x < width && y >= 0 && y < 480 && test(at(x, y))) ++n;
        return n;
    }
    static int r(D3DCOLOR c) { return int((c >> 16) & 0xFF); }
    static int g(D3DCOLOR c) { return int((c >> 8) & 0xFF); }
    static int b(D3DCOLOR c) { return int(c & 0xFF); }
    static bool light(D3DCOLOR c) { return r(c) > 0xB0 && g(c) > 0xB0 && b(c) > 0xB0; }
    // The pixels of the frame read last that differ from the given one's by more than the
    // tolerance in a colour channel (a frame of another size differs everywhere).
    int pixelsDifferingFrom(const std::vector<D3DCOLOR>& given, int tolerance) const {
        if (given.size() != pixels.size()) return int(std::max(given.size(), pixels.size()));
        int differing = 0;
        for (size_t i = 0; i < pixels.size(); ++i)
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(int((given[i] >> shift) & 0xFF) - int((pixels[i] >> shift) & 0xFF)) > tolerance) {
                    ++differing;
                    break;
                }
        return differing;
    }

    Application* application = nullptr;
    ContextManager* stack = nullptr;
};
