#pragma once
// A menu row that steps an integer between bounds with two arrows: a press near the left arrow
// steps it one way, near the right arrow the other (mirrored in a right-to-left language). The
// value is written straight into the caller's variable; every press raises bClicked. The arrows
// show only where the value can still go, and fade in while the row is hovered.

#include "ui/MenuItem.h"

class MenuValueItem : public MenuItem {
public:
    // How far inside each end the arrows are drawn, where presses are aimed at, and how near to
    // that point a press must land.
    static constexpr float ARROW_INSET = 15.0f;
    static constexpr float ARROW_POINT_INSET = 24.0f;
    static constexpr float ARROW_REACH = 50.0f;
    static constexpr char16_t LEFT_ARROW = u'\x07';
    static constexpr char16_t RIGHT_ARROW = u'\x08';

    MenuValueItem(float x, float y, float z, int* target, int minValue, int maxValue, int step, WStringView caption,
                  WStringView hint);

    void update(double time, double dt) override;
    void render() override;
    // Index 0: the left arrow point, index 1: the right arrow point, in pointer coordinates.
    Vector3 getNavigationPoint(int index) override;
    void drawContents(float x, float y, float z) override;
    // Draws the current value centred at the point; here as a number.
    virtual void drawValue(float x, float y, float z);

    // The value after a press at x (relative to the item's centre, y likewise): a step down near
    // the left arrow point, up near the right one (the other way round in a right-to-left
    // language), then clamped to the bounds.
    int valueAfterPress(float x, float y) const;
    bool canGoDown() const;
    bool canGoUp() const;
    // Which arrows are drawn: the left one when its press would change the value, and the right.
    bool showsLeftArrow() const;
    bool showsRightArrow() const;
    // The arrows' colour: the highlight colour (the normal one in touch input) at the hover fade.
    uint32_t arrowColour() const;

    // A text drawn as the item's value: centred at the point in the item's font, colour and
    // scale, scaled down to fit the frame, with the caption's shadow.
    void drawValueText(WStringView text, float x, float y, float z);

    int* target;
    int minValue;
    int maxValue;
    int step;

protected:
    // The item's centre in the world when the pointer was pressed: a press's position relative
    // to it decides the arrow.
    Vector3 pressPoint() const;
};
