#pragma once
// A GUI theme maps a widget style number to a texture of frames; themed widgets get three frames
// from the first three skins of that texture, with the widget's margins as borders.

#include "engine/Text.h"

#include "ui/ThemedWidget.h"

class FontQuad;

class GUItheme {
public:
    virtual ~GUItheme() = default;
    virtual void setStyle(ThemedWidget* widget, int style) = 0;

    // Replaces the widget's frames with new ones on the texture's skins 1, 0 and 2.
    static void applyTexture(ThemedWidget* widget, const char16_t* textureName);

    int metrics[7] = {};
    FontQuad* pFont = nullptr;
};
