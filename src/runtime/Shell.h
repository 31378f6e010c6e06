#pragma once
// The process: command line, crash handler, single instance, the window and its message loop,
// and the lifetime of the engine and the game's application object (built once the window has
// focus, rebuilt on a restart request, torn down when the window closes).

#include "engine/Text.h"
#include "platform/WindowMessage.h"

class Context;

// Set to have the idle tick delete engine and game and build both again.
extern bool bRestartQEL;
// File name of the program.
extern WString programFileName;
extern bool bTouchAvailable;

// The game's application object as the shell uses it: made right after the engine, deleted right
// before it. Until the game plugs in, every entry may be null and the engine runs without it.
struct ShellApplication {
    // Makes the application object and runs its start-up before loading.
    void (*create)() = nullptr;
    // Deletes it (it saves its settings).
    void (*destroy)() = nullptr;
    // True while it exists.
    bool (*exists)() = nullptr;
    // Its root context, passed to every frame.
    Context* (*rootContext)() = nullptr;
    // Set when no screen is left: the window is then closed.
    bool (*quitRequested)() = nullptr;
    // The page to open after shutdown (empty for none).
    WString (*pageToOpen)() = nullptr;
    // Called before each frame of the engine (an unattended player gives its input here).
    void (*beforeFrame)() = nullptr;
};
extern ShellApplication shellApplication;

// The program's entry, called by main(); returns the exit status.
int shellMain(int argc, char** argv);

// True when another copy of the program runs for this user (it holds the instance lock); else this
// process now holds the lock until it ends.
bool isAnotherInstanceRunning();
// The instance lock file: "<product>.lock" in the product's folder of the user's data.
WString getInstanceLockPath();
// One pass when the message queue is empty; false asks for the window to close.
bool idleTick();
void createQEL();
void deleteQEL();

// The window procedure and its handlers.
void handleWindowMessage(const platform::WindowMessage& message);
void onWindowChar(char16_t c);
namespace WMhooks {
void windowFocusGained();
void windowFocusLost();
}  // namespace WMhooks
void onWindowClose();
void onWindowMouseDown(int x, int y, int button);
void onWindowMouseUp(int x, int y, int button);
void onWindowMouseMove(int x, int y);
void onWindowMouseWheel(int delta);
void onWindowTouchDown(int x, int y, uint32_t tag);
void onWindowTouchMove(int x, int y, uint32_t tag);
void onWindowTouchUp(int x, int y, uint32_t tag);
