#pragma once
// Placement of the program's window for the graphics code: the desktop work area, and the window
// made borderless full screen or a captioned window with a given client rectangle.

#include "platform/D3D9.h"

namespace platform {

// The usable area of the primary display; false when it cannot be found.
bool getWorkArea(RECT* area);
// Full screen: the window has no frame (the device makes it cover the display). Windowed: a
// framed window whose client area is 'client' (screen coordinates). Either way it is shown
// normally, no longer minimised.
void placeWindow(HWND window, bool fullScreen, const RECT& client);

}  // namespace platform
