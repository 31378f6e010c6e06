#pragma once
// Whether the game window has input focus ("foreground"). Keyboard and joystick reads work only
// while it has. Tests set the answer through the override.

namespace platform {

bool hasInputFocus();
// 1 or 0 fixes the answer; -1 (the default) asks SDL whether one of our windows has keyboard focus.
void setInputFocusOverride(int state);

}  // namespace platform
