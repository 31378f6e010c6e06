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
    // The size and place are set in both modes, on the plain window: without a window manager (as
    // under Xvfb) the desktop full-screen request alone leaves the window as it was, and SDL keeps
    // size and border changes of a full-screen window for later. The window is moved while it is
    // still minimised and unframed: moving a shown window makes SDL wait for a window manager to
    // confirm the move, up to a second at every start where there is none.
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowPosition(window, client.left, client.top);
    SDL_SetWindowSize(window, client.right - client.left, client.bottom - client.top);
    SDL_SetWindowBordered(window, fullScreen ? SDL_FALSE : SDL_TRUE);
    // Shown normally in both modes: a window still minimised from start-up comes up.
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    if (fullScreen) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowWindow(window);
}

}  // namespace platform
