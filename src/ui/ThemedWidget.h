#pragma once
// What a GUI theme styles: four margins (left, top, bottom, right) and three frames (owned).

class FrameSkin;

struct ThemedWidget {
    ThemedWidget() = default;
    ThemedWidget(const ThemedWidget&) = delete;
    ThemedWidget& operator=(const ThemedWidget&) = delete;
    ~ThemedWidget();

    int margins[4] = {};
    FrameSkin* frames[3] = {};
};
