#pragma once
// The program's one window on SDL2 and its message queue. The window is created minimised; when
// it is shown it asks for input focus itself (under Xvfb there is no window manager to give it).
// SIGINT, SIGTERM and SIGHUP close it like its close button.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowMessage.h"

struct SDL_Window;
union SDL_Event;

namespace platform {

// Creates the window (OpenGL, minimised) with its title and class name; false on failure.
bool createMainWindow(const char* title, const char* className, int x, int y, int width, int height);
void destroyMainWindow();
SDL_Window* getMainWindow();
// True when the window has input focus (or as forced by setForegroundOverride).
bool isMainWindowForeground();
// Tests: -1 follows the window, 0 or 1 forces the answer of isMainWindowForeground.
void setForegroundOverride(int state);
// True when the system offers touch input.
bool isTouchAvailable();

// Takes the next pending event and appends its messages; false when the queue is empty. A
// pending SIGINT, SIGTERM or SIGHUP comes out as one CLOSE message.
bool pollMessages(std::vector<WindowMessage>& out);
// Waits until a message is pending or timeoutMs have passed; true when one is pending. Without a
// window system it sleeps on the current clock for the whole time.
bool waitForMessage(uint32_t timeoutMs);
// The messages of one SDL event; clientWidth and clientHeight scale touch positions.
std::vector<WindowMessage> translateEvent(const SDL_Event& event, int clientWidth, int clientHeight);
// Asks the message queue for a close, as the close button does.
void postCloseMessage();

// SIGINT, SIGTERM and SIGHUP become a close message.
void installCloseSignals();

}  // namespace platform
