#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "InputTestFixture.h"
#include "media/QelMedia.h"
#include "support/TestFolder.h"

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

struct JoystickInputTest : InputTestFixture {
    void SetUp() override {
        InputTestFixture::SetUp();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_EVENTS), 0);
    }
    void TearDown() override {
        for (SDL_Joystick* h : handles) SDL_JoystickClose(h);
        InputTestFixture::TearDown();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_EVENTS);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
    SDL_Joystick* attach(const char* name, int axes = 2, int buttons = 32, int hats = 1) {
        const int index = attachVirtual(name, axes, buttons, hats);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        handles.push_back(handle);
        return handle;
    }
    std::vector<SDL_Joystick*> handles;
};

}  // namespace

TEST_F(JoystickInputTest, EnumerationTakesFourJoysticksWithTwoAxesAndNamesThem) {
    QelMedia engine;  // for the log
    attach("Pad A");
    attach("Wheel", 1);  // no Y axis: dropped
    attach("Pad B");
    attach("Pad C");
    attach("Pad D");
    attach("Pad E");  // a fifth: too many
    // The engine made an input service of its own before the joysticks were attached.
    const size_t logBefore = readFileBytes(wideToUtf8(Logger::getLogFilePath())).size();
    makeInput();
    EXPECT_EQ(input->numJoysticks, 4);
    EXPECT_EQ(input->joystickNames[0], u"(1) Pad A");
    EXPECT_EQ(input->joystickNames[1], u"(2) Pad B");
    EXPECT_EQ(input->joystickNames[3], u"(4) Pad D");
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath())).substr(logBefore);
    for (const char* line : {"QelInput::enumerateCallback(): Enumerating joystick: Wheel (Wheel)",
                             "QelInput::enumerateCallback(): Error: Can't set range Y.",
                             "QelInput::enumerateCallback(): Joystick initialization failed. Removing joystick...",
                             "QelInput::enumerateCallback(): Using 'Pad B' as joystick 1.",
                             "QelInput::enumerateCallback(): Too many joysticks.", "QelInput::QelInput(): Started."})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("Did not find any joysticks."), std::string::npos);
}

TEST_F(JoystickInputTest, NoJoystickIsLogged) {
    QelMedia engine;
    makeInput();
    EXPECT_EQ(input->numJoysticks, 0);
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_NE(log.find("QelInput::QelInput(): Did not find any joysticks."), std::string::npos);
}

TEST_F(JoystickInputTest, HatsAxesAndButtonsBecomeKeyCodes) {
    attach("Pad A");
    SDL_Joystick* second = attach("Pad B");
    makeInput();
    ASSERT_EQ(input->numJoysticks, 2);
    const int base = INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_KEYS;  // joystick 2

    SDL_JoystickSetVirtualHat(second, 0, SDL_HAT_RIGHTUP);
    SDL_JoystickSetVirtualButton(second, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(second, 31, SDL_PRESSED);
    frame();
    frame();  // the first read acquires the joystick
    EXPECT_TRUE(input->isKeyDown(base + 0));   // up
    EXPECT_FALSE(input->isKeyDown(base + 1));  // down
    EXPECT_FALSE(input->isKeyDown(base + 2));  // left
    EXPECT_TRUE(input->isKeyDown(base + 3));   // right
    EXPECT_TRUE(input->isKeyDown(base + 16));
    EXPECT_TRUE(input->isKeyDown(base + 47));
    EXPECT_FALSE(input->isKeyDown(base + 17));
    EXPECT_FALSE(input->isKeyDown(INPUT_JOYSTICK_BASE + 16));  // joystick 1 untouched

    // An axis inside the dead zone does nothing; pushed down-left it sets those two codes.
    SDL_JoystickSetVirtualHat(second, 0, SDL_HAT_CENTERED);
    SDL_JoystickSetVirtualAxis(second, 0, 6553);  // 200 of 1000
    frame();
    EXPECT_FALSE(input->isKeyDown(base + 3));
    EXPECT_FLOAT_EQ(input->getJoystickAnalogue(1).x, 0.0f);
    SDL_JoystickSetVirtualAxis(second, 0, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(second, 1, SDL_JOYSTICK_AXIS_MAX);
    frame();
    EXPECT_TRUE(input->isKeyDown(base + 1));
    EXPECT_TRUE(input->isKeyDown(base + 2));
    EXPECT_FALSE(input->isKeyDown(base + 0));
}

TEST_F(JoystickInputTest, HeldButtonIsOneNewPressAlsoWithoutKeyboardTracking) {
    TestFolder folder("input");
    MemoryIniFile config(folder.wfile("game.cfg"));
    config.setBool(false, u"QelInput", u"bTrackKeyboard");
    config.setDouble(10.0, u"QelInput", u"repeatDelay");  // no repeat within the test
    env.pConfig = &config;
    SDL_Joystick* pad = attach("Pad A");
    makeInput();
    frame();
    const int button0 = INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_BUTTONS;
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    frame();
    EXPECT_TRUE(input->wasKeyPressed(button0));
    EXPECT_EQ(input->pollKeyPress(), button0);
    for (int f = 0; f < 3; ++f) {
        frame();
        EXPECT_TRUE(input->isKeyDown(button0));
        EXPECT_FALSE(input->wasKeyPressed(button0)) << f;
        EXPECT_EQ(input->pollKeyPress(), 0) << f;
    }
}

TEST_F(JoystickInputTest, JoystickReadsStopWithoutFocus) {
    SDL_Joystick* pad = attach("Pad A");
    makeInput();
    frame();
    const int button0 = INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_BUTTONS;
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    frame();
    ASSERT_TRUE(input->isKeyDown(button0));
    platform::setInputFocusOverride(0);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_RELEASED);
    frame();
    EXPECT_TRUE(input->isKeyDown(button0));  // kept while the device is lost
    platform::setInputFocusOverride(1);
    frame();
    frame();
    EXPECT_FALSE(input->isKeyDown(button0));
}
