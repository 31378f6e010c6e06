#include "game/AutoPilot.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "menus/ContextMain.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "media/Context.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "runtime/Shell.h"
#include "game/ContextLevelComplete.h"
#include "game/ContextMessage.h"
#include "game/ContextPause.h"
#include "game/GameController.h"
#include "game/WorldManager.h"
#include "game/WorldMapButton.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Renderable.h"
#include "menus/ContextPlayerName.h"

namespace {

constexpr int kKeySpace = 0x39;
constexpr int kKeyEscape = 0x01;
constexpr int kKeyF9 = 0x43;
constexpr int kMouseLeft = 0;
constexpr char16_t kReturn = 13;
// A screen that has just come to the front is left alone this long (engine seconds): fades and
// the first-frame guards of messages (a quarter of a second) are over by then.
constexpr double kSettleTime = 0.5;
// Frames between two actions on the front-end screens.
constexpr int kActionGap = 15;

int frameNumber() { return qel ? qel->frameCount : 0; }

}  // namespace

bool AutoPilot::requested() {
    const char* value = std::getenv("VESK_AUTOPLAY");
    return value && std::strcmp(value, "1") == 0;
}

void AutoPilot::clickOn(Context* screen, const Vector3& point) {
    QelInput* input = qel ? qel->pQelInput : nullptr;
    if (!input || !screen) return;
    const float layoutWidth = qel->pQelGraphics ? float(qel->pQelGraphics->layoutWidth) : 800.0f;
    const float layoutHeight = qel->pQelGraphics ? float(qel->pQelGraphics->layoutHeight) : 600.0f;
    // The screen's point in layout pixels (x from the left, y from the bottom), as the screen's
    // camera maps the pointer; a screen without a camera has its origin at the centre.
    Vector3 layout(point.x + layoutWidth / 2.0f, point.y + layoutHeight / 2.0f, 0.0f);
    if (Camera* camera = screen->pCamera) {
        const WorldRect rect = camera->getVisibleRect(camera->target.z);
        const float s = (0.0f - camera->position.z) / (layoutWidth / 2.0f);
        if (s != 0.0f) layout = Vector3((point.x - rect.left) / s, (point.y - rect.bottom) / s, 0.0f);
    }
    const Vector3 window = input->layoutToWindow(layout);
    clickX = int(std::lround(window.x));
    clickY = int(std::lround(window.y));
    onWindowMouseMove(clickX, clickY);
    bClickPending = true;
}

void AutoPilot::clickOn(Context* screen, const Renderable* item) {
    if (item) clickOn(screen, item->position);
}

void AutoPilot::pressKey(int dikCode) {
    if (const int scancode = AutoPlayer::keyDown(dikCode)) heldKey = scancode;
}

void AutoPilot::playLevel(GameController& controller) {
    if (controller.state == GameController::STATE_PREPARING || &controller != run) {
        // A new run of a level (or a new controller): its picture is still to be taken.
        run = &controller;
        runStart = -1.0;
        bScreenshotTaken = false;
    }
    if (controller.state != GameController::STATE_PLAYING) return;
    const double now = controller.getGameTime();
    if (runStart < 0.0) runStart = now;
    player.step();
    if (!bScreenshotTaken && heldKey == 0 && now - runStart >= SCREENSHOT_TIME) {
        bScreenshotTaken = true;
        qelLog(u"AutoPilot::playLevel", u"Screenshot of level %d.", GameController::currentLevel());
        pressKey(kKeyF9);
    }
}

void AutoPilot::step() {
    if (heldKey != 0) {
        AutoPlayer::keyUp(heldKey);
        heldKey = 0;
    }
    if (bClickPending) {
        bClickPending = false;
        onWindowMouseDown(clickX, clickY, kMouseLeft);
        onWindowMouseUp(clickX, clickY, kMouseLeft);
        nextActionFrame = frameNumber() + kActionGap;
        return;
    }
    ContextManager* stack = game ? game->pContextManager : nullptr;
    Context* top = stack ? stack->getTopContext() : nullptr;
    if (!top) return;
    if (top != front) {
        front = top;
        frontSince = top->totalTime;
    }

    // In a level the player acts every frame.
    if (auto* controller = dynamic_cast<GameController*>(top)) {
        playLevel(*controller);
        return;
    }
    if (top->totalTime - frontSince < kSettleTime || frameNumber() < nextActionFrame) return;
    nextActionFrame = frameNumber() + kActionGap;

    if (auto* naming = dynamic_cast<ContextPlayerName*>(top)) {
        (void)naming;
        const WString name = PLAYER_NAME;
        onWindowChar(typed < name.size() ? name[typed++] : kReturn);
        nextActionFrame = frameNumber() + 1;
        return;
    }
    typed = 0;
    if (auto* menu = dynamic_cast<ContextMain*>(top)) {
        clickOn(menu, menu->pStartButton);
        return;
    }
    if (auto* map = dynamic_cast<WorldManager*>(top)) {
        clickOn(map, map->pPlayButton);
        return;
    }
    if (auto* tally = dynamic_cast<ContextLevelComplete*>(top)) {
        // Closed once its bonus is paid, as a player does after watching it.
        if (tally->bBonusSettled) pressKey(kKeySpace);
        return;
    }
    if (auto* message = dynamic_cast<ContextMessage*>(top)) {
        // A click away from its items (the help check box sits under the text).
        const float h = qel && qel->pQelGraphics ? float(qel->pQelGraphics->layoutHeight) : 600.0f;
        clickOn(message, Vector3(0.0f, h / 2.0f - 60.0f, 0.0f));
        return;
    }
    if (auto* pause = dynamic_cast<ContextPause*>(top)) {
        clickOn(pause, pause->pResumeButton);
        return;
    }
    // Logos, the game-over screens and anything else that a key closes; Escape for the rest.
    pressKey(top->bAnyKeyCloses ? kKeySpace : kKeyEscape);
}
