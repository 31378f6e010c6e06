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

namespace {
int fullScreenChanges = 0;

void setFullScreen(SDL_Window* window, bool on) {
    const bool isOn = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (isOn == on) return;
    // Each change makes SDL wait for a window manager's answer, a long wait where there is none.
    ++fullScreenChanges;
    SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}
}  // namespace

int fullScreenChangeCount() { return fullScreenChanges; }

void placeWindow(HWND window, bool fullScreen, const RECT& client) {
    if (!window) return;
    const int width = client.right - client.left, height = client.bottom - client.top;
    const Uint32 flags = SDL_GetWindowFlags(window);
    const bool isFullScreen = (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    const bool inPlace = x == client.left && y == client.top && w == width && h == height;
    // The size and place are set in both modes, on the plain window: without a window manager (as
    // under Xvfb) the desktop full-screen request alone leaves the window as it was, and SDL keeps
    // size and border changes of a full-screen window for later. A full-screen window already in
    // its place stays as it is: the full-screen state changes at most once per placement. The
    // window is moved while it is still minimised and unframed: moving a shown window makes SDL
    // wait for a window manager to confirm the move, up to a second at every start where there is
    // none.
    if (!(fullScreen && isFullScreen && inPlace)) {
        setFullScreen(window, false);
        SDL_SetWindowPosition(window, client.left, client.top);
        SDL_SetWindowSize(window, width, height);
        SDL_SetWindowBordered(window, fullScreen ? SDL_FALSE : SDL_TRUE);
    }
    // Shown normally in both modes: a window still minimised from start-up comes up.
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    setFullScreen(window, fullScreen);
    SDL_ShowWindow(window);
}

}  // namespace platform
