#pragma once
// What the window's event loop makes of SDL's input events before it calls the input handlers:
// the control characters SDL's text input leaves out, wheel deltas in the window system's units,
// and the mouse events SDL synthesises from touch (which are ignored, as fingers arrive on their own).

#include <SDL.h>

namespace platform {

// 8, 9, 13 or 27 for a press (or auto-repeat) of Backspace, Tab, Return/keypad Enter or Escape;
// otherwise 0.
char16_t controlCharForKey(const SDL_Event& event);
// 120 per notch, positive away from the user.
int wheelDelta(const SDL_MouseWheelEvent& wheel);
// True for mouse motion, button and wheel events that SDL made from touch input.
bool isTouchMadeMouseEvent(const SDL_Event& event);

}  // namespace platform
