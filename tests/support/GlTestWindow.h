#pragma once
// A hidden OpenGL window for tests that need a real graphics device (under Xvfb).

#include <SDL.h>

#include "platform/GlDevice.h"

struct GlTestWindow {
    GlTestWindow(int width, int height) {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        // As the program's main window: the device's attributes.
        GlDevice::setContextAttributes();
        window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }
    ~GlTestWindow() {
        // SDL video stays up for the rest of the process: unloading the OpenGL driver would hide
        // its own allocations from the leak checker's suppressions.
        if (window) SDL_DestroyWindow(window);
    }
    GlTestWindow(const GlTestWindow&) = delete;
    GlTestWindow& operator=(const GlTestWindow&) = delete;

    SDL_Window* window = nullptr;
};
