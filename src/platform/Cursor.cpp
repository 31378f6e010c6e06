#include "platform/Cursor.h"

#include <SDL.h>

namespace platform {

namespace {
bool cursorVisible = true;
}

void setCursorVisible(bool visible) {
    cursorVisible = visible;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool isCursorVisible() { return cursorVisible; }

void warpCursor(int x, int y) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Window* window = SDL_GetMouseFocus();
    if (!window) window = SDL_GetKeyboardFocus();
    if (window) SDL_WarpMouseInWindow(window, x, y);
}

}  // namespace platform
