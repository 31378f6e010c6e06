#pragma once
// Placement of the program's window for the graphics code: the desktop work area, and the window
// made borderless full screen or a captioned window with a given client rectangle.

#include "platform/D3D9.h"

namespace platform {

// The usable area of the primary display; false when it cannot be found.
bool getWorkArea(RECT* area);
// Full screen: the window has no frame and covers the display (desktop full screen). Windowed: a
// framed window whose client area is 'client' (screen coordinates). Either way it is shown
// normally, no longer minimised. The full-screen state is set here only (the graphics device
// leaves it alone), and changed only when it differs.
void placeWindow(HWND window, bool fullScreen, const RECT& client);
// Number of changes of a window's full-screen state made so far (each one can be slow).
int fullScreenChangeCount();

}  // namespace platform
