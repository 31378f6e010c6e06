#include "platform/WindowPlacement.h"

#include <SDL.h>

namespace platform {

bool getWorkArea(RECT* area) {
    if (!area || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Rect r;
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return false;
    *area = RECT{r.x, r.y, r.x + r.w, r.y + r.h};
    return true;
}

void placeWindow(HWND window, bool fullScreen, const RECT& client) {
    if (!window) return;
    SDL_SetWindowBordered(window, fullScreen ? SDL_FALSE : SDL_TRUE);
    if (!fullScreen) {
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
        SDL_SetWindowSize(window, client.right - client.left, client.bottom - client.top);
        SDL_SetWindowPosition(window, client.left, client.top);
    }
}

}  // namespace platform
