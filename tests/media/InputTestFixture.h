#pragma once
// An input service driven by a stepped clock and frame counter, with injected SDL key events.

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "media/InputEnvironment.h"
#include "media/QelInput.h"
#include "platform/InputFocus.h"
#include "platform/KeyboardDevice.h"

struct InputTestFixture : testing::Test {
    void SetUp() override {
        platform::setInputFocusOverride(1);
        platform::KeyboardDevice::clearKeys();
    }
    void TearDown() override {
        input.reset();
        platform::setInputFocusOverride(-1);
    }
    // Makes the service; the first frame acquires the keyboard.
    void makeInput() {
        input = std::make_unique<QelInput>(&env);
        frame();
    }
    // One engine frame: the frame number and clock advance, then input is polled.
    void frame(double dt = 0.0625) {
        env.frameCount += 1;
        env.time += dt;
        env.timeStep = dt;
        input->poll();
    }
    static void key(SDL_Scancode scancode, bool pressed) {
        SDL_Event event{};
        event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }

    InputEnvironment env;
    std::unique_ptr<QelInput> input;
};
