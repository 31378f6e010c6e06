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
// A finger's position (SDL gives 0..1 of the window) in client pixels of a window of that size,
// truncated toward zero like the window system's hundredths of a pixel divided by 100.
void fingerToClient(const SDL_TouchFingerEvent& finger, int windowWidth, int windowHeight, int& x, int& y);
// The contact tag of a finger: its id made a non-negative int (-1 marks released contacts).
int fingerTag(SDL_FingerID id);

}  // namespace platform
