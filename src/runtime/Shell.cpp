#include "runtime/Shell.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelInput.h"
#include "platform/CrashHandler.h"
#include "platform/InstanceLock.h"
#include "platform/PageOpener.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "runtime/QelRuntime.h"

bool bRestartQEL = false;
WString programFileName;
bool bTouchAvailable = false;
ShellApplication shellApplication;

namespace {

bool applicationExists() { return shellApplication.exists && shellApplication.exists(); }

}  // namespace

int shellMain(int argc, char** argv) {
    platform::installCrashHandler(wideToUtf8(getCrashDumpPath()));
    programFileName = getFileName(utf8ToWide(argc > 0 ? argv[0] : ""));
    // The running executable's own name (argv[0] may be a link or a bare command).
    if (const std::string exe = platform::executablePath(); !exe.empty()) programFileName = getFileName(utf8ToWide(exe));
    for (int i = 1; i < argc; ++i) commandLineArgs.push_back(utf8ToWide(argv[i]));
    // One copy per user: a second start says so on standard error and ends with status 0.
    if (isAnotherInstanceRunning()) {
        const std::string line = wideToUtf8(getProductName()) + " is already running.\n";
        std::fputs(line.c_str(), stderr);
        return 0;
    }

    if (!platform::createMainWindow("Vesk", "Vesk.WindowClass", 50, 50, 100, 100)) return 0;
    bTouchAvailable = platform::isTouchAvailable();
    platform::installCloseSignals();

    std::vector<platform::WindowMessage> messages;
    for (;;) {
        messages.clear();
        if (platform::pollMessages(messages)) {
            for (const platform::WindowMessage& m : messages) {
                handleWindowMessage(m);
                if (m.type == platform::WindowMessage::CLOSE) {
                    // The window is destroyed and the loop ends with status 0.
                    platform::destroyMainWindow();
                    return 0;
                }
            }
        } else if (!idleTick()) {
            platform::postCloseMessage();
        }
    }
}

namespace {
// Held from the check until the process ends.
platform::InstanceLock instanceLock;
}  // namespace

WString getInstanceLockPath() {
    // Beside the version folders of the user's data: one copy per user, whatever the version.
    WString folder = getUserDataFolder();
    folder.pop_back();
    folder.resize(folder.find_last_of(u'/') + 1);
    return folder + getProductName() + u".lock";
}

bool isAnotherInstanceRunning() {
    return !instanceLock.acquire(wideToUtf8(getInstanceLockPath()), platform::InstanceLock::socketNameFor(wideToUtf8(getProductName())));
}

bool idleTick() {
    if (!qel) {
        if (!platform::isMainWindowForeground()) {
            // The window's own events (shown, focus) end the wait as soon as they come.
            platform::waitForMessage(100);
            return true;
        }
        createQEL();
    }
    if (shellApplication.beforeFrame) shellApplication.beforeFrame();
    qelRuntime()->frame(shellApplication.rootContext ? shellApplication.rootContext() : nullptr);
    if (shellApplication.quitRequested && shellApplication.quitRequested()) return false;
    if (bRestartQEL) {
        deleteQEL();
        bRestartQEL = false;
    }
    return true;
}

void createQEL() {
    new QelRuntime(nullptr, platform::getMainWindow());
    // From here a crash also leaves a copy of the log.
    platform::setCrashLogPaths(wideToUtf8(qel->pLogger->filePath), wideToUtf8(getCrashLogPath()));
    if (shellApplication.create) shellApplication.create();
    qelLog(u"createQEL", u"Entering game loop.");
}

void deleteQEL() {
    if (qel) qelLog(u"deleteQEL", u"QEL shutting down...");
    if (applicationExists() && shellApplication.destroy) shellApplication.destroy();
    if (qel) {
        platform::setCrashLogPaths("", "");
        delete qel;
    }
}

void handleWindowMessage(const platform::WindowMessage& m) {
    using M = platform::WindowMessage;
    switch (m.type) {
        case M::CHARACTER: onWindowChar(m.character); break;
        case M::FOCUS_GAINED: WMhooks::windowFocusGained(); break;
        case M::FOCUS_LOST: WMhooks::windowFocusLost(); break;
        case M::CLOSE: onWindowClose(); break;
        case M::MOUSE_DOWN: onWindowMouseDown(m.x, m.y, m.button); break;
        case M::MOUSE_UP: onWindowMouseUp(m.x, m.y, m.button); break;
        case M::MOUSE_MOVE: onWindowMouseMove(m.x, m.y); break;
        case M::MOUSE_WHEEL: onWindowMouseWheel(m.wheelDelta); break;
        case M::TOUCH_DOWN: onWindowTouchDown(m.x, m.y, m.touchId); break;
        case M::TOUCH_MOVE: onWindowTouchMove(m.x, m.y, m.touchId); break;
        case M::TOUCH_UP: onWindowTouchUp(m.x, m.y, m.touchId); break;
    }
}

void WMhooks::windowFocusGained() {
    if (!qel) return;
    qelLog(u"WMhooks::windowFocusGained", u"Window focus gained.");
    qel->bWindowActive = true;
}

void WMhooks::windowFocusLost() {
    if (!qel) return;
    qelLog(u"WMhooks::windowFocusLost", u"Window focus lost.");
    qel->bWindowActive = false;
}

void onWindowClose() {
    // The engine goes with the window, whether or not the game was built.
    const WString page = applicationExists() && shellApplication.pageToOpen ? shellApplication.pageToOpen() : WString();
    deleteQEL();
    if (!page.empty()) platform::openUrl(wideToUtf8(page));
}

// The input handlers feed QelInput (typed character, mouse buttons and motion, wheel and the
// touch-point list); they act only while the engine and its QelInput exist.
namespace {
QelInput* input() { return qel ? qel->pQelInput : nullptr; }
}  // namespace

void onWindowChar(char16_t c) {
    if (QelInput* in = input()) in->onWindowChar(c);
}
void onWindowMouseDown(int x, int y, int button) {
    if (QelInput* in = input()) in->onWindowMouseDown(x, y, button);
}
void onWindowMouseUp(int x, int y, int button) {
    if (QelInput* in = input()) in->onWindowMouseUp(x, y, button);
}
void onWindowMouseMove(int x, int y) {
    if (QelInput* in = input()) in->onWindowMouseMove(x, y);
}
void onWindowMouseWheel(int delta) {
    if (QelInput* in = input()) in->onMouseWheel(delta);
}
void onWindowTouchDown(int x, int y, uint32_t id) {
    if (QelInput* in = input()) in->onWindowTouchDown(static_cast<int>(id), x, y);
}
void onWindowTouchMove(int x, int y, uint32_t id) {
    if (QelInput* in = input()) in->onWindowTouchMove(static_cast<int>(id), x, y);
}
void onWindowTouchUp(int x, int y, uint32_t id) {
    if (QelInput* in = input()) in->onWindowTouchUp(static_cast<int>(id), x, y);
}
