#include "platform/InputFocus.h"

#include <SDL.h>

namespace platform {

namespace {
int focusOverride = -1;
}

bool hasInputFocus() {
    if (focusOverride >= 0) return focusOverride != 0;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_GetKeyboardFocus() != nullptr;
}

void setInputFocusOverride(int state) { focusOverride = state < 0 ? -1 : state != 0; }

}  // namespace platform
