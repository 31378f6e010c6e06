#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/DirectInput.h"
#include "platform/InputFocus.h"
#include "platform/KeyCodeTable.h"
#include "platform/KeyboardDevice.h"

using namespace platform;

namespace {

void pushKey(SDL_Scancode scancode, bool pressed) {
    SDL_Event event{};
    event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

struct KeyboardDeviceTest : testing::Test {
    void SetUp() override {
        input.reset(DirectInput::create());
        ASSERT_TRUE(input);
        keyboard.reset(input->createKeyboard());
    }
    void TearDown() override {
        keyboard.reset();
        input.reset();
        setInputFocusOverride(-1);
    }
    std::unique_ptr<DirectInput> input;
    std::unique_ptr<KeyboardDevice> keyboard;
    uint8_t state[256] = {};
};

}  // namespace

TEST_F(KeyboardDeviceTest, KeyEventsBecomeDirectInputStates) {
    setInputFocusOverride(1);
    ASSERT_TRUE(keyboard->acquire());
    pushKey(SDL_SCANCODE_SPACE, true);
    pushKey(SDL_SCANCODE_RCTRL, true);
    ASSERT_TRUE(keyboard->getDeviceState(state));
    EXPECT_EQ(state[DIK_SPACE], 0x80);
    EXPECT_EQ(state[DIK_RCONTROL], 0x80);
    EXPECT_EQ(state[DIK_LCONTROL], 0);

    pushKey(SDL_SCANCODE_SPACE, false);
    ASSERT_TRUE(keyboard->getDeviceState(state));
    EXPECT_EQ(state[DIK_SPACE], 0);
    EXPECT_EQ(state[DIK_RCONTROL], 0x80);
}

TEST_F(KeyboardDeviceTest, ReadsFailWithoutFocusUntilAcquiredAgain) {
    setInputFocusOverride(1);
    // Like a DirectInput device, a new keyboard must be acquired before it can be read.
    EXPECT_FALSE(keyboard->getDeviceState(state));
    ASSERT_TRUE(keyboard->acquire());
    EXPECT_TRUE(keyboard->getDeviceState(state));

    setInputFocusOverride(0);
    state[5] = 0x55;
    EXPECT_FALSE(keyboard->getDeviceState(state));
    EXPECT_EQ(state[5], 0x55);  // nothing copied
    EXPECT_FALSE(keyboard->acquire());

    setInputFocusOverride(1);
    EXPECT_FALSE(keyboard->getDeviceState(state));  // lost with the focus
    EXPECT_TRUE(keyboard->acquire());
    EXPECT_TRUE(keyboard->getDeviceState(state));
}
