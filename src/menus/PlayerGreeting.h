#pragma once
// "Hello, <name>!" on the main menu with a hint beneath it. Clicking the greeting opens the list of
// players; while the current profile has no name it asks for one by itself.

#include "ui/MenuNavigable.h"
#include "ui/BackingPanel.h"

class TextLabel;

class PlayerGreeting : public MenuNavigable {
public:
    // The hover box spans the greeting line: x in [-HALF_WIDTH, HALF_WIDTH), y in
    // (label y - LINE_HEIGHT, label y].
    static constexpr float HALF_WIDTH = 100.0f;
    static constexpr float LINE_HEIGHT = 36.0f;
    // It stands straight on the pale snow of the menu picture, so it is written dark: the
    // greeting in the dark blue of the picture's signs (red while hovered), its hint in dark grey.
    static constexpr uint32_t NORMAL_COLOUR = 0xFF1B2A4A;
    static constexpr uint32_t HOVER_COLOUR = 0xFFFF0000;
    static constexpr uint32_t HINT_COLOUR = 0xFF404040;

    PlayerGreeting();

    void update(double time, double dt) override;
    // Draws its two labels on their backing panel.
    void render() override;
    void onInputModeChange() override;
    // The centre of the greeting line, in pointer coordinates.
    Vector3 getNavigationPoint(int index) override;

    // Whether a point of the main menu's space lies over the greeting line at height labelY.
    static bool isOver(float x, float y, float labelY);
    void setHintText();

    TextLabel* helloLabel;
    TextLabel* hintLabel;
    BackingPanel backing;
};
