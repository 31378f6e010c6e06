// A level in play and the level-complete tally on the OpenGL device with the generated data: with
// draws hidden behind later opaque ones left out and quads cut to the screen tiles that show, the
// frames come out as when every draw is drawn in its order.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Utilities.h"
#include "media/Camera.h"
#include "game/ContextLevelComplete.h"
#include "game/GameController.h"
#include "game/PerfectLevel.h"
#include "game/GameGlobal.h"
#include "game/WorldManager.h"
#include "menus/ArchiveScreenFixture.h"
#include "media/QelInput.h"
#include "menus/Loader.h"
#include "platform/GlDevice.h"
#include "ui/ContextManager.h"
#include "ui/ProfileData.h"
#include "ui/ProfileManager.h"
#include "support/GeneratedData.h"

namespace {

class HiddenDrawPixelTest : public ArchiveScreenFixture<GameGlobal> {
protected:
    void SetUp() override {
        ArchiveScreenFixture::SetUp();
        if (!application) return;
        application->profileManager.addProfile(u"Ann");
        application->gameConfiguration.bTutorial = 0;
        // A 1280 by 1024 screen with filtering, as the program shows it.
        ASSERT_TRUE(presentAt(1280));
        gl = dynamic_cast<GlDevice*>(device);
        ASSERT_NE(gl, nullptr);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) stack->tick(0, 0);
    }
    // The frame as it stands drawn with and without leaving out hidden draws: the pixels that
    // differ by more than rounding.
    int differingPixels(const std::string& name) {
        gl->bSkipHidden = false;
        drawFrameWith([&] { stack->draw(); });
        const std::vector<D3DCOLOR> given = pixels;
        gl->bSkipHidden = true;
        gl->drawsHidden = gl->quadsCutHidden = 0;
        drawFrameWith([&] { stack->draw(); });
        EXPECT_GT(gl->drawsHidden + gl->quadsCutHidden, 0) << name;
        EXPECT_EQ(pixels.size(), given.size()) << name;
        return pixelsDifferingFrom(given, 2);
    }

    // Draws the frame as it stands and shows it, as the program does; then the pixels where what
    // the back buffer keeps differs by more than rounding from the frame drawn whole.
    int differingFromWholeAfterShowing() {
        Camera camera;
        device->BeginScene();
        graphics->resetViewport();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        graphics->setGlobalRenderState();
        camera.render();
        stack->draw();
        device->EndScene();
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        const std::vector<D3DCOLOR> kept = gl->readTargetPixels();
        UINT w = 0, h = 0;
        EXPECT_EQ(device->GetBackBufferPixels(&w, &h, &pixels), D3D_OK);
        return pixelsDifferingFrom(kept, 2);
    }

    // Starts the first level and plays until it is in play; null when it does not get there.
    GameController* startFirstLevel() {
        ProfileData& profile = application->profileManager.current();
        profile.resetGame();
        profile.level() = profile.highestLevel() = 0;
        auto* game = new GameController();
        application->pGameController = game;
        stack->pushContext(game);
        game->startGame();
        for (int i = 0; i < 1200 && (stack->getTopContext() != game || game->state != GameController::STATE_PLAYING); ++i) {
            if (stack->getTopContext() != game) stack->getTopContext()->bDone = true;
            ticks(1);
        }
        return game->state == GameController::STATE_PLAYING ? game : nullptr;
    }

    GlDevice* gl = nullptr;
};

TEST_F(HiddenDrawPixelTest, LevelInPlayAndTallyComeOutAsWhenEveryDrawIsDrawn) {
    stack->pushContext(new WorldManager());
    ticks(3);
    GameController* game = startFirstLevel();
    ASSERT_NE(game, nullptr);
    ticks(180);
    EXPECT_EQ(differingPixels("level in play"), 0);

    givePerfectLevelStatistics(*game);
    stack->pushContext(new ContextLevelComplete());
    ticks(150);
    EXPECT_EQ(differingPixels("level-complete tally"), 0);
}

TEST_F(HiddenDrawPixelTest, LevelFramesShownInPartKeepWhatDrawingThemWholeGives) {
    // Frame after frame of a level in play (the train running, smoke, the launcher turning), each
    // drawn only where it changed over the frame before in the back buffer.
    ASSERT_NE(startFirstLevel(), nullptr);
    ticks(120);
    // (The first frame shown settles the window's size: it may go through the framebuffer object.)
    differingFromWholeAfterShowing();
    const int before = gl->framesDrawnInPart;
    for (int frame = 0; frame < 40; ++frame) {
        ticks(2);
        EXPECT_EQ(differingFromWholeAfterShowing(), 0) << "frame " << frame;
    }
    EXPECT_GE(gl->framesDrawnInPart - before, 20);
}

}  // namespace
