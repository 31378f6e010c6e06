#pragma once
// The launcher on level 0 of the play harness: the game's own launcher when it has one, else one
// made here and put in the playfield. The player's command and pointer are set as the game sets
// them for a frame.

#include <cmath>
#include <vector>

#include "PlayFixture.h"
#include "engine/Qel.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"

class LauncherTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        if (!game->pLauncher) {
            game->pLauncher = new Launcher();
            game->pWorldLayer->addChild(game->pLauncher);
        }
        launcher = game->pLauncher;
        launcher->moveToNextPosition();
        game->command = GameController::COMMAND_NONE;
        TracedSounds::played.clear();
    }

    // The launcher ready to fire with a full queue (one frame run).
    void arm() {
        launcher->gotoState(Launcher::STATE_READY);
        frame();
    }
    // One frame with the command given (the command lasts that frame only).
    void frame(int command = GameController::COMMAND_NONE) {
        game->command = command;
        harness->frame();
        game->command = GameController::COMMAND_NONE;
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // The pointer on a playfield point (the world layer's camera maps layout pixels 1:1 there).
    void pointAt(const Vector3& world) {
        Camera* camera = game->pWorldLayer->pCamera;
        const WorldRect rect = camera->getVisibleRect(camera->target.z);
        const float pixels = (0.0f - camera->position.z) / (static_cast<float>(qel->pQelGraphics->layoutWidth) / 2.0f);
        harness->setPointer((world.x - rect.left) / pixels, (world.y - rect.bottom) / pixels);
    }
    // The pointer straight along an angle from the launcher.
    void aimAlong(float angle, float distance = 200.0f) {
        pointAt(launcher->position + Vector3(std::cos(angle), std::sin(angle), 0.0f) * distance);
    }
    // The pieces flying in the playfield.
    std::vector<Cargo*> flying() const {
        std::vector<Cargo*> pieces;
        for (BasicLink* l = game->pCargoLayer->firstChild; l; l = l->next) pieces.push_back(static_cast<Cargo*>(l));
        return pieces;
    }
    static std::vector<int> typesOf(const std::vector<Cargo*>& pieces) {
        std::vector<int> types;
        for (const Cargo* p : pieces) types.push_back(p->type);
        return types;
    }

    Launcher* launcher = nullptr;
};
