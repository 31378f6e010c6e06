#pragma once
// A framed panel with a caption at its top: the ground of the player screens and of the dialogs.

#include "engine/Text.h"
#include "media/Renderable.h"

class NameSlot : public Renderable {
public:
    NameSlot(float x, float y, float z, float width, float height, WStringView caption);

    void render() override;

    WString caption;
    float width;
    float height;
};
