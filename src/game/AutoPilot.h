#pragma once
// The automatic player in the program itself (VESK_AUTOPLAY=1): before each frame it looks at the
// front screen and acts as a player would, through the window's input handlers only. It closes
// the logos, types a name when one is asked for, starts the game from the main menu, presses the
// map's play button, closes messages and, once its bonus is paid, the tally; in a level the
// AutoPlayer plays. Ten seconds into each level it saves one F9 screenshot. It plays on until the
// program ends.

#include "engine/MathUtil.h"
#include "engine/Text.h"
#include "game/AutoPlayer.h"

class Context;
class GameController;
class Renderable;

class AutoPilot {
public:
    // Whether the environment asks for it (VESK_AUTOPLAY=1).
    static bool requested();
    // One look at the screens and at most one action, before the engine's frame.
    void step();

    // The name it types when one is asked for.
    static constexpr const char16_t* PLAYER_NAME = u"Autoplayer";
    // Game-clock seconds into a level when its screenshot is taken.
    static constexpr double SCREENSHOT_TIME = 10.0;

private:
    // The pointer to a point of a screen (in that screen's coordinates), then a click of the left
    // button at the next step, so that the item under it has seen the pointer first.
    void clickOn(Context* screen, const Vector3& point);
    void clickOn(Context* screen, const Renderable* item);
    void pressKey(int dikCode);
    void playLevel(GameController& controller);

    AutoPlayer player;
    // The screen in front, and its clock when it came there.
    const Context* front = nullptr;
    double frontSince = 0.0;
    // A click waiting for its next step (window pixels).
    bool bClickPending = false;
    int clickX = 0;
    int clickY = 0;
    int nextActionFrame = 0;
    // The key held down since the last step (an SDL scan code).
    int heldKey = 0;
    // Characters of the name typed so far.
    size_t typed = 0;
    // The level run being played: its start on the game clock, and whether its picture was taken.
    const GameController* run = nullptr;
    double runStart = -1.0;
    bool bScreenshotTaken = false;
};
