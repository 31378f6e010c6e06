#pragma once
// The engine object of the running program: QelMedia with the console, the frame loop with its
// engine modes and the debug overlay. The shell makes it; qelRuntime() reaches it.

#include <cstdint>
#include <vector>

#include "engine/Text.h"
#include "media/QelMedia.h"

class Context;
struct WorldRect;

class QelRuntime : public QelMedia {
public:
    explicit QelRuntime(void* hAppInstance = nullptr, SDL_Window* hWindowHandle = nullptr);

    // One frame of the engine with the application's root context (may be null).
    void frame(Context* root);

    // Where the F9 key saves the picture: the user-data folder, the product name, the UTC time
    // stamp and the game time, as ".tga" or ".bmp".
    WString getScreenshotPath(bool bTga);
    // The history entry of the ticked frame 'age' frames before the newest (0 = newest); false
    // when that frame was never recorded (before the first frame or beyond the ring).
    bool getHistory(int ring, int age, int& value) const;
    // The debug overlay's text lines for the bits 1 and 2 of debugLevel that the engine core
    // fills.
    std::vector<WString> getDebugOverlayLines();
    // Draws the overlay's lines in white from the top-left corner of the console camera's view
    // downward, one font line apart.
    void drawDebugOverlay();
    // Text of the overlay in a colour at a world point, depth 0.
    void drawOverlayText(float x, float y, uint32_t color, const WString& text);
    // The frame-time and resident-memory graphs along the bottom right of the view.
    void drawDebugGraphs(const WorldRect& seen);
    // The overlay's input lines: pointer, touch and mouse buttons, joysticks and touch points.
    void appendInputLines(std::vector<WString>& lines);

private:
    static Services runtimeServices();
};

// The engine object as a QelRuntime; null when there is none or it is an engine object of a lower
// floor.
QelRuntime* qelRuntime();
