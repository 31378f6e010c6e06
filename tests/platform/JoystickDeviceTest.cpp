#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/DirectInput.h"
#include "platform/InputFocus.h"
#include "platform/JoystickDevice.h"

using namespace platform;

namespace {

int attachVirtual(const char* name, int axes, int buttons, int hats) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = static_cast<Uint16>(axes);
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.nhats = static_cast<Uint16>(hats);
    desc.name = name;
    return SDL_JoystickAttachVirtualEx(&desc);
}

struct JoystickDeviceTest : testing::Test {
    void SetUp() override {
        input.reset(DirectInput::create());
        ASSERT_TRUE(input);
        setInputFocusOverride(1);
    }
    void TearDown() override {
        setInputFocusOverride(-1);
        input.reset();
    }
    std::unique_ptr<DirectInput> input;
};

bool collect(const JoystickInstance& instance, void* context) {
    static_cast<std::vector<JoystickInstance>*>(context)->push_back(instance);
    return true;
}

}  // namespace

TEST_F(JoystickDeviceTest, EnumeratesAttachedJoysticksInOrder) {
    ASSERT_GE(attachVirtual("Pad One", 2, 4, 1), 0) << SDL_GetError();
    ASSERT_GE(attachVirtual("Pad Two", 2, 4, 1), 0) << SDL_GetError();
    std::vector<JoystickInstance> found;
    ASSERT_TRUE(input->enumGameControllers(collect, &found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].productName, "Pad One");
    EXPECT_EQ(found[1].productName, "Pad Two");
    EXPECT_EQ(found[1].deviceIndex, 1);
}

TEST_F(JoystickDeviceTest, ScalesAxesIntoTheRangeAndReadsHatsAndButtons) {
    const int index = attachVirtual("Pad", 3, 33, 2);
    ASSERT_GE(index, 0) << SDL_GetError();
    std::unique_ptr<JoystickDevice> device(input->createJoystick({index, "Pad", "Pad"}));
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->setAxisRange(JOYAXIS_X, -1000, 1000));
    ASSERT_TRUE(device->setAxisRange(JOYAXIS_Y, -1000, 1000));
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    SDL_JoystickSetVirtualAxis(handle, 0, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(handle, 1, SDL_JOYSTICK_AXIS_MAX);
    SDL_JoystickSetVirtualAxis(handle, 2, 0);
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_RIGHTUP);
    SDL_JoystickSetVirtualButton(handle, 3, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, 32, SDL_PRESSED);  // a 33rd button has no place

    ASSERT_TRUE(device->acquire());
    device->poll();
    DIJOYSTATE state{};
    ASSERT_TRUE(device->getDeviceState(state));
    EXPECT_EQ(state.lX, -1000);
    EXPECT_EQ(state.lY, 1000);
    EXPECT_EQ(state.lZ, 32768);  // an axis left at its default range 0..65535
    EXPECT_EQ(state.rgdwPOV[0], 4500u);
    EXPECT_EQ(state.rgdwPOV[1], POV_CENTERED);
    EXPECT_EQ(state.rgdwPOV[2], POV_CENTERED);  // no such hat
    EXPECT_EQ(state.rgbButtons[3], 0x80);
    EXPECT_EQ(state.rgbButtons[0], 0);

    SDL_JoystickSetVirtualAxis(handle, 0, 0);
    device->poll();
    ASSERT_TRUE(device->getDeviceState(state));
    EXPECT_EQ(state.lX, 0);
    SDL_JoystickClose(handle);
}

TEST_F(JoystickDeviceTest, MissingAxisRefusesItsRange) {
    const int index = attachVirtual("Wheel", 1, 2, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    std::unique_ptr<JoystickDevice> device(input->createJoystick({index, "Wheel", "Wheel"}));
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->setAxisRange(JOYAXIS_X, -1000, 1000));
    EXPECT_FALSE(device->setAxisRange(JOYAXIS_Y, -1000, 1000));
}

TEST_F(JoystickDeviceTest, ReadsFailWithoutFocusOrAfterDetach) {
    const int index = attachVirtual("Pad", 2, 2, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    std::unique_ptr<JoystickDevice> device(input->createJoystick({index, "Pad", "Pad"}));
    ASSERT_TRUE(device);
    DIJOYSTATE state{};
    EXPECT_FALSE(device->getDeviceState(state));  // not acquired yet
    ASSERT_TRUE(device->acquire());
    EXPECT_TRUE(device->getDeviceState(state));
    setInputFocusOverride(0);
    EXPECT_FALSE(device->getDeviceState(state));
    EXPECT_FALSE(device->acquire());
    setInputFocusOverride(1);
    EXPECT_TRUE(device->acquire());
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    device->poll();
    EXPECT_FALSE(device->getDeviceState(state));
    EXPECT_FALSE(device->acquire());
}

TEST(JoystickDevice, HatsInHundredthsOfADegree) {
    const struct {
        uint8_t hat;
        uint32_t pov;
    } cases[] = {{SDL_HAT_CENTERED, POV_CENTERED}, {SDL_HAT_UP, 0},        {SDL_HAT_RIGHTUP, 4500},
                 {SDL_HAT_RIGHT, 9000},            {SDL_HAT_RIGHTDOWN, 13500}, {SDL_HAT_DOWN, 18000},
                 {SDL_HAT_LEFTDOWN, 22500},        {SDL_HAT_LEFT, 27000},  {SDL_HAT_LEFTUP, 31500}};
    for (const auto& c : cases) EXPECT_EQ(JoystickDevice::hatToPov(c.hat), c.pov) << int(c.hat);
}
