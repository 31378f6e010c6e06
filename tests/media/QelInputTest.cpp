#include <gtest/gtest.h>

#include <vector>

#include "engine/MemoryIniFile.h"
#include "engine/QelBase.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"
#include "platform/Cursor.h"
#include "platform/KeyCodeTable.h"
#include "InputTestFixture.h"
#include "support/TestFolder.h"

using QelInputTest = InputTestFixture;

TEST_F(QelInputTest, SettingsAreWrittenWithDefaultsThenRead) {
    TestFolder folder("input");
    MemoryIniFile config(folder.wfile("game.cfg"));
    config.setDouble(0.5, u"QelInput", u"repeatRate");
    env.pConfig = &config;
    makeInput();
    EXPECT_DOUBLE_EQ(input->repeatRate, 0.5);
    EXPECT_DOUBLE_EQ(input->repeatDelay, 0.25);
    EXPECT_DOUBLE_EQ(input->joystickDeadZone, 0.2);
    EXPECT_TRUE(input->bTrackKeyboard);
    EXPECT_TRUE(input->bTrackJoystick);
    for (const char16_t* key : {u"bTrackKeyboard", u"bTrackJoystick", u"joystickDeadZone", u"repeatRate", u"repeatDelay"})
        EXPECT_TRUE(config.hasKey(u"QelInput", key)) << wideToUtf8(key);
    EXPECT_EQ(input->joystickNames[0], u"(1) --");
    EXPECT_EQ(input->joystickNames[3], u"(4) --");
}

TEST_F(QelInputTest, ClickCompletedBetweenFramesShowsDownForOneFrame) {
    makeInput();
    input->onMouseButtonDown(0);
    input->onMouseButtonUp(0);
    frame();
    EXPECT_EQ(input->mouseButtons[0], 1);
    EXPECT_EQ(input->prevMouseButtons[0], 0);
    frame();
    EXPECT_EQ(input->mouseButtons[0], 0);
    EXPECT_EQ(input->prevMouseButtons[0], 1);

    // Held across a frame, the button is down until the frame after its release.
    input->onMouseButtonDown(1);
    frame();
    frame();
    EXPECT_EQ(input->mouseButtons[1], 1);
    input->onMouseButtonUp(1);
    frame();
    EXPECT_EQ(input->mouseButtons[1], 0);
    input->onMouseButtonDown(7);  // not a button: ignored
    input->onMouseButtonUp(-1);
}

TEST_F(QelInputTest, KeyRepeatFollowsItsTimeline) {
    TestFolder folder("input");
    MemoryIniFile config(folder.wfile("game.cfg"));
    config.setDouble(0.125, u"QelInput", u"repeatRate");  // steps of 1/16 s keep the sums exact
    env.pConfig = &config;
    makeInput();

    const int A = 0x1E, B = 0x30;
    std::vector<int> answers;
    key(SDL_SCANCODE_A, true);
    for (int f = 0; f < 9; ++f) {
        frame();
        answers.push_back(input->pollKeyPress());
    }
    // New at once, first repeat after 0.25 s, then every 0.125 s.
    EXPECT_EQ(answers, (std::vector<int>{A, 0, 0, 0, A, 0, A, 0, A}));

    answers.clear();
    key(SDL_SCANCODE_B, true);  // a second key takes over at once and repeats
    for (int f = 0; f < 5; ++f) {
        frame();
        answers.push_back(input->pollKeyPress());
    }
    EXPECT_EQ(answers, (std::vector<int>{B, 0, 0, 0, B}));

    key(SDL_SCANCODE_B, false);
    frame();
    EXPECT_EQ(input->pollKeyPress(), 0);  // A is still down but B was the last key
    key(SDL_SCANCODE_A, false);
}

TEST_F(QelInputTest, ModifiersAreACodeOfTheHeldKeys) {
    makeInput();
    const struct {
        std::vector<SDL_Scancode> held;
        int expected;
    } cases[] = {
        {{}, MODIFIERS_NONE},
        {{SDL_SCANCODE_LSHIFT}, MODIFIERS_SHIFT},
        {{SDL_SCANCODE_RCTRL}, MODIFIERS_CTRL},
        {{SDL_SCANCODE_LALT}, MODIFIERS_ALT},
        {{SDL_SCANCODE_LCTRL, SDL_SCANCODE_RALT}, MODIFIERS_CTRL_ALT},
        {{SDL_SCANCODE_LCTRL, SDL_SCANCODE_RSHIFT}, MODIFIERS_CTRL_SHIFT},
        {{SDL_SCANCODE_RALT, SDL_SCANCODE_LSHIFT}, MODIFIERS_ALT_SHIFT},
        {{SDL_SCANCODE_RCTRL, SDL_SCANCODE_LALT, SDL_SCANCODE_RSHIFT}, MODIFIERS_CTRL_ALT_SHIFT},
    };
    for (const auto& c : cases) {
        platform::KeyboardDevice::clearKeys();
        for (SDL_Scancode s : c.held) key(s, true);
        frame();
        EXPECT_EQ(input->modifiers, c.expected) << c.held.size();
    }
}

TEST_F(QelInputTest, WithoutFocusKeysKeepTheirStatesUntilTheKeyboardIsBack) {
    makeInput();
    key(SDL_SCANCODE_SPACE, true);
    frame();
    EXPECT_TRUE(input->wasKeyPressed(platform::DIK_SPACE));

    platform::setInputFocusOverride(0);
    key(SDL_SCANCODE_SPACE, false);
    key(SDL_SCANCODE_LSHIFT, true);
    frame();
    EXPECT_TRUE(input->isKeyDown(platform::DIK_SPACE));
    EXPECT_FALSE(input->wasKeyPressed(platform::DIK_SPACE));
    EXPECT_EQ(input->modifiers, MODIFIERS_NONE);

    platform::setInputFocusOverride(1);
    frame();  // the failed read acquires the keyboard again
    EXPECT_TRUE(input->isKeyDown(platform::DIK_SPACE));
    frame();
    EXPECT_FALSE(input->isKeyDown(platform::DIK_SPACE));
    EXPECT_EQ(input->modifiers, MODIFIERS_SHIFT);
}

TEST_F(QelInputTest, WithoutKeyboardTrackingKeyboardStatesNeverChange) {
    TestFolder folder("input");
    MemoryIniFile config(folder.wfile("game.cfg"));
    config.setBool(false, u"QelInput", u"bTrackKeyboard");
    env.pConfig = &config;
    makeInput();
    EXPECT_EQ(input->keyboardDevice, nullptr);
    key(SDL_SCANCODE_LSHIFT, true);
    frame();
    EXPECT_FALSE(input->isKeyDown(platform::DIK_LSHIFT));
    EXPECT_EQ(input->modifiers, MODIFIERS_NONE);
}

TEST_F(QelInputTest, JoystickAnalogueHasADeadZone) {
    makeInput();
    input->numJoysticks = 1;  // states set by hand; no device behind them
    const struct {
        int32_t axis;
        float expected;
    } cases[] = {{0, 0.0f}, {200, 0.0f}, {-200, 0.0f}, {600, 0.5f}, {-600, -0.5f}, {1000, 1.0f}, {1400, 1.0f}};
    for (const auto& c : cases) {
        input->joyState[0].lX = c.axis;
        input->joyState[0].lY = -c.axis;  // up is positive
        const Vector3 v = input->getJoystickAnalogue(0);
        EXPECT_NEAR(v.x, c.expected, 1e-6) << c.axis;
        EXPECT_NEAR(v.y, c.expected, 1e-6) << c.axis;
    }
    EXPECT_EQ(input->getJoystickAnalogue(1), Vector3());
    input->joystickDeadZone = -0.5;  // a damaged setting acts as no dead zone
    input->joyState[0].lX = 0;
    EXPECT_EQ(input->getJoystickAnalogue(0).x, 0.0f);
    input->joyState[0].lX = 500;
    EXPECT_FLOAT_EQ(input->getJoystickAnalogue(0).x, 0.5f);
    input->joystickDeadZone = 1.0;
    input->joyState[0].lX = 1000;
    EXPECT_EQ(input->getJoystickAnalogue(0).x, 0.0f);
}

TEST_F(QelInputTest, JoystickPadReadsHatsAsDirections) {
    makeInput();
    input->numJoysticks = 1;
    const struct {
        uint32_t pov0, pov1;
        Vector3 expected;
    } cases[] = {
        {platform::POV_CENTERED, platform::POV_CENTERED, {0, 0, 0}},
        {0, platform::POV_CENTERED, {0, 1, 0}},
        {4500, platform::POV_CENTERED, {1, 1, 0}},
        {9000, platform::POV_CENTERED, {1, 0, 0}},
        {18000, platform::POV_CENTERED, {0, -1, 0}},
        {22500, platform::POV_CENTERED, {-1, -1, 0}},
        {31500, platform::POV_CENTERED, {-1, 1, 0}},
        {0, 4500, {1, 1, 0}},  // two hats pushing up still give 1
        {9000, 27000, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        for (auto& p : input->joyState[0].rgdwPOV) p = platform::POV_CENTERED;
        input->joyState[0].rgdwPOV[0] = c.pov0;
        input->joyState[0].rgdwPOV[1] = c.pov1;
        EXPECT_EQ(input->getJoystickPad(0), c.expected) << c.pov0 << " " << c.pov1;
    }
    EXPECT_EQ(input->getJoystickPad(4), Vector3());
}

TEST_F(QelInputTest, PointerFollowsTheMouseInsideTheViewportAndKeepsToTheEdgeInABand) {
    env.viewportLeft = 100;  // letterboxed: bands of 100 pixels left and right
    env.viewportRight = 700;
    makeInput();
    const struct {
        int x, y;
        float px, py;
    } cases[] = {
        {400, 240, 400, 240}, {100, 480, 0, 0}, {700, 0, 800, 480}, {250, 120, 200, 360},
        {50, 120, 0, 360},  // in the band the pointer stays on the edge
        {50, 240, 0, 240},  // and moving along the band changes only y
        {750, -40, 800, 480},
    };
    for (const auto& c : cases) {
        input->onWindowMouseMove(c.x, c.y);
        frame();
        EXPECT_EQ(input->inputMode, INPUTMODE_MOUSE);
        EXPECT_FLOAT_EQ(input->pointer.x, c.px) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(input->pointer.y, c.py) << c.x << "," << c.y;
    }
}

TEST_F(QelInputTest, WheelAddsToThePointerDepth) {
    makeInput();
    input->onWindowMouseMove(10, 10);
    frame();
    input->onMouseWheel(120);
    input->onMouseWheel(120);
    frame();
    EXPECT_FLOAT_EQ(input->pointer.z, 240);
    EXPECT_FLOAT_EQ(input->pointerDelta.z, 240);
    EXPECT_FLOAT_EQ(input->pointerDelta.x, 0);
    input->onMouseWheel(-120);
    frame();
    EXPECT_FLOAT_EQ(input->pointer.z, 120);
}

TEST_F(QelInputTest, CentredPointerStartsTouchModeAndStaysWithoutContact) {
    makeInput();
    input->centerPointer();
    EXPECT_EQ(input->inputMode, INPUTMODE_TOUCH);
    EXPECT_EQ(input->pointer, Vector3(400, 240, 0));
    frame();
    frame();
    EXPECT_EQ(input->pointer, Vector3(400, 240, 0));
    EXPECT_EQ(input->pointerDelta, Vector3());

    input->onWindowTouchDown(3, 200, 100);
    frame();
    EXPECT_EQ(input->pointer, Vector3(200, 380, 0));
    EXPECT_EQ(input->pointerDelta, Vector3(-200, 140, 0));
}

namespace {
struct ModeListener : QelBase {
    void onInputModeChange() override { ++calls; }
    int calls = 0;
};
}  // namespace

TEST_F(QelInputTest, InputModeChangeNotifiesEveryObjectOnceAndHidesTheCursor) {
    makeInput();
    ModeListener a, b;
    platform::setCursorVisible(true);
    input->setInputMode(INPUTMODE_MOUSE);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 1);
    EXPECT_FALSE(platform::isCursorVisible());
    input->setInputMode(INPUTMODE_MOUSE);
    EXPECT_EQ(a.calls, 1);

    env.bDebugLocked = false;  // debugging keeps the system cursor
    platform::setCursorVisible(true);
    input->setInputMode(INPUTMODE_TOUCH);
    EXPECT_EQ(a.calls, 2);
    EXPECT_TRUE(platform::isCursorVisible());
}

TEST_F(QelInputTest, PausingDropsTouchesAndButtons) {
    makeInput();
    input->onWindowMouseDown(10, 10, 0);
    input->onWindowTouchDown(4, 20, 20);
    frame();
    ASSERT_NE(input->getTouch(1), nullptr);
    input->onQELmodeChange(3, 1);  // only OK to PAUSED acts
    EXPECT_NE(input->getTouch(0), nullptr);
    input->onQELmodeChange(3, 2);
    EXPECT_EQ(input->getTouch(0), nullptr);
    EXPECT_EQ(input->mouseButtons[0], 0);
    EXPECT_EQ(input->prevMouseButtons[0], 0);
    EXPECT_EQ(input->mouseButtonMsg[0], 1);  // kept
}

TEST_F(QelInputTest, TypedCharacterIsKeptUntilCleared) {
    makeInput();
    for (char16_t c : {u'\b', u'\t', u'\r', char16_t(27), u'x'}) {
        input->onWindowChar(c);
        EXPECT_EQ(input->typedChar, c);
    }
}

namespace {
struct CursorRecorder : InputEnvironment {
    void setCursorPos(int x, int y) override { positions.push_back({x, y}); }
    std::vector<std::pair<int, int>> positions;
};
}  // namespace

TEST_F(QelInputTest, PointerPlacedInMouseModeMovesTheCursorIntoTheViewport) {
    CursorRecorder recorder;
    recorder.viewportLeft = 100;
    recorder.viewportRight = 700;
    QelInput mouse(&recorder);
    mouse.setInputMode(INPUTMODE_TOUCH);
    recorder.positions.clear();
    mouse.setPointerPosition(400, 240, 0);  // touch mode: the cursor stays
    EXPECT_TRUE(recorder.positions.empty());
    mouse.setInputMode(INPUTMODE_MOUSE);  // re-applies the pointer
    mouse.setPointerPosition(0, 0, 0);
    mouse.setPointerPosition(800, 480, 5);
    EXPECT_EQ(recorder.positions, (std::vector<std::pair<int, int>>{{400, 240}, {100, 480}, {700, 0}}));
    EXPECT_EQ(mouse.pointerDelta, Vector3());
}

TEST_F(QelInputTest, F11SpeedsUpTheRepeatClockOnlyWhileDebugging) {
    env.bDebugLocked = false;
    makeInput();
    key(SDL_SCANCODE_F11, true);
    frame();
    key(SDL_SCANCODE_A, true);
    frame();
    EXPECT_EQ(input->pollKeyPress(), 0x1E);
    frame();  // 0.0625 s counts five times: the 0.25 s delay has passed
    EXPECT_EQ(input->pollKeyPress(), 0x1E);

    env.bDebugLocked = true;
    frame();
    EXPECT_EQ(input->pollKeyPress(), 0);
}
