#pragma once
// The system mouse cursor over the game window: shown or hidden (a plain switch, not a counter)
// and placed in window client pixels.

namespace platform {

void setCursorVisible(bool visible);
bool isCursorVisible();
// Moves the cursor to a client point of the window that has mouse or keyboard focus; nothing
// when there is no such window.
void warpCursor(int x, int y);

}  // namespace platform
