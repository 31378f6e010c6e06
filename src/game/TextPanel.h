#pragma once
// A check box with its label, bound to a setting byte: a click or tap within 20 units of its
// position turns the setting over. The box lights up while the pointer is near.

#include <cstdint>

#include "engine/Text.h"
#include "media/Renderable.h"

class TextPanel : public Renderable {
public:
    static constexpr uint32_t LABEL_COLOUR = 0xFF606D80;
    static constexpr uint32_t HOVER_COLOUR = 0xFFFFC000;
    static constexpr float REACH = 20.0f;

    // target: the byte it toggles (not owned; null toggles nothing).
    TextPanel(const Vector3& position, WStringView label, uint8_t* target);

    void update(double t, double dt) override;
    // The label, then the box (character 14 of the text font) and, when set, its tick
    // (character 1), at scale 0.6 left of the label.
    void render() override;

    WString label;
    uint8_t* pTarget;
    bool bHover = false;
};
