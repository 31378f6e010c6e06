#include "media/InputEnvironment.h"

#include "platform/Cursor.h"

void InputEnvironment::showCursor(bool visible) { platform::setCursorVisible(visible); }

void InputEnvironment::setCursorPos(int x, int y) { platform::warpCursor(x, y); }

InputEnvironment& InputEnvironment::getDefault() {
    static InputEnvironment environment;
    return environment;
}
