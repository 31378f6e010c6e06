// The world map and the screens it shows over itself, drawn on the OpenGL device under Xvfb with
// the generated data archives: the line up to the train, the play and back captions, a hovered
// town's name, the "Game Over!" screen and the campaign's closing story must all be drawn where the
// player can read them. VESK_SCREENSHOT_DIR, when set, receives a TGA picture of each state.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "engine/Utilities.h"
#include "game/GameController.h"
#include "game/WorldManager.h"
#include "game/WorldMapButton.h"
#include "game/WorldMapMarker.h"
#include "menus/ArchiveScreenFixture.h"
#include "media/QelInput.h"

namespace {

class WorldMapPixelTest : public ArchiveScreenFixture<GameGlobal> {
protected:
    void SetUp() override {
        ArchiveScreenFixture::SetUp();
        if (!application) return;
        application->profileManager.addProfile(u"Ann");
        application->gameConfiguration.detailLevel = 1;
        engine->pQelInput->pointer = Vector3(799.0f, 240.0f, 0.0f);
    }
    ProfileData& profile() { return application->profileManager.current(); }
    static bool dark(D3DCOLOR c) { return r(c) < 0x40 && g(c) < 0x40 && b(c) < 0x50; }
    // Pixels of the rectangle that differ clearly between two frames.
    static int changed(const std::vector<D3DCOLOR>& before, const std::vector<D3DCOLOR>& after, int w, float cx, float cy,
                       float hw, float hh) {
        int n = 0;
        for (int y = int(240 - cy - hh); y < int(240 - cy + hh); ++y)
            for (int x = int(400 + cx - hw); x < int(400 + cx + hw); ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                const D3DCOLOR p = before[i], q = after[i];
                n += std::abs(r(p) - r(q)) + std::abs(g(p) - g(q)) + std::abs(b(p) - b(q)) > 60;
            }
        return n;
    }
    // The level in progress over the map reports its result and ends: the map is the front screen
    // again and shows what the result brings.
    void finishLevel(WorldManager* map, int result) {
        auto* controller = new GameController();
        application->pGameController = controller;
        stack->pushContext(controller);
        stack->tick(0, 0);
        map->onLevelResult(result);
        controller->bDone = true;
        stack->tick(0, 0);
    }
};

}  // namespace

TEST_F(WorldMapPixelTest, TheLineTheButtonsAndAHoveredTownsNameAreDrawnReadably) {
    profile().level() = 20;
    profile().highestLevel() = 20;
    auto* map = new WorldManager();
    stack->pushContext(map);
    frames(3);
    keepScreenshot("world-map-level-20");
    // The line (brown rails and sleepers) runs over the towns passed, and stops at the train.
    auto rail = [](D3DCOLOR c) { return r(c) > g(c) + 15 && g(c) > b(c) && r(c) < 0xA0; };
    const float midway = (WorldManager::getStage(1).startDistance + WorldManager::getStage(2).startDistance) / 2.0f;
    Vector3 passed, ahead;
    map->mapPath.getPoint(midway, passed);
    map->mapPath.getPoint(WorldManager::getStage(9).startDistance + 60.0f, ahead);
    EXPECT_GT(count(passed.x, passed.y, 10, 10, rail), 40) << passed.x << ", " << passed.y;
    EXPECT_LT(count(ahead.x, ahead.y, 10, 10, rail), 5) << ahead.x << ", " << ahead.y;
    // The captions, light on their dark buttons.
    for (const Vector3& button : {map->pPlayButton->position, Vector3(-230.0f, -190.0f, 0.0f)})
        EXPECT_GT(count(button.x, button.y, 60, 10, light), 40) << button.y;

    // A town under the pointer: its name above it, light letters in a dark rim that keeps them
    // apart from the snow.
    WorldMapMarker* town = map->stages[2];
    const Vector3 name = town->position + Vector3(0.0f, 20.0f, 0.0f);
    const int darkBefore = count(name.x, name.y, 50, 10, dark);
    engine->pQelInput->pointer = ContextMenu::worldToPointer(map, town->position);
    frames(3);
    keepScreenshot("world-map-hovered-town");
    ASSERT_TRUE(town->bHover);
    EXPECT_GT(count(name.x, name.y, 50, 10, dark), darkBefore + 100);
}

TEST_F(WorldMapPixelTest, GameOverAndTheClosingStoryAreDrawnReadably) {
    // The engine's frame step is at most 0.05 s: twenty frames a second of the screens' clock.
    engine->frameTimer.frameTime = 0.1;
    auto dark = [](D3DCOLOR c) { return WorldMapPixelTest::dark(c); };
    profile().level() = 14;
    profile().lives() = 1;
    profile().score() = 4321;
    auto* map = new WorldManager();
    stack->pushContext(map);
    frames(2);
    finishLevel(map, WorldManager::RESULT_LOST);
    // Half a second in, before "Game Over!" appears; then at two seconds, fully shown: white
    // letters in a dark outline over the light picture.
    frames(10);
    const int darkBefore = count(0, 0, 150, 25, dark);
    frames(30);
    keepScreenshot("game-over");
    EXPECT_GT(count(0, 0, 150, 25, dark), darkBefore + 300);
    // After five seconds, the high scores under it, and the map under them.
    frames(70);
    keepScreenshot("game-over-high-scores");
    ASSERT_NE(stack->getTopContext(), map);
    stack->getTopContext()->bDone = true;
    frames(2);
    ASSERT_EQ(stack->getTopContext(), map);

    // The last level won: the story over the high scores. Its title is drawn like "Game Over!",
    // the lines after it dark on the picture's sky.
    profile().level() = 82;
    profile().highestLevel() = 82;
    finishLevel(map, WorldManager::RESULT_WON);
    frames(10);
    const int titleDark = count(0, 0, 150, 25, dark);
    const int lineDark = count(0, 0, 250, 15, dark);
    frames(30);
    keepScreenshot("campaign-end-title");
    EXPECT_GT(count(0, 0, 150, 25, dark), titleDark + 300);
    frames(100);
    keepScreenshot("campaign-end-story");
    EXPECT_GT(count(0, 0, 250, 15, dark), lineDark + 300);
    frames(100);
    keepScreenshot("campaign-end-four-lines");
    // The closing line at 37 s: dark letters on the sky (measured against the empty screen at
    // 34.5 s, between the last lines and it).
    frames(450);
    const int closingBefore = count(0, 0, 390, 15, dark);
    frames(50);
    keepScreenshot("campaign-end-closing-line");
    EXPECT_GT(count(0, 0, 390, 15, dark), closingBefore + 300);
}
