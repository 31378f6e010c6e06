#pragma once
// The window's back buffer across frames, as the driver allows on GLX.

// What the back buffer holds after a swap, as the driver tells it: 1 when it holds the frame just
// shown, n when it holds the frame shown n - 1 swaps before, 0 when its contents are unknown (the
// driver cannot tell, or the context is not a GLX one).
int currentBackBufferAge();

// Shows the back buffer's width x height pixels by copying them into the window, without a swap,
// where the driver can: the back buffer keeps the frame. False (nothing done) where it cannot.
bool copyBackBufferToWindow(int width, int height);
