#pragma once
// The standard look: one texture of frames per widget style.

#include "ui/GUItheme.h"

class GUIthemeStandard : public GUItheme {
public:
    GUIthemeStandard();
    void setStyle(ThemedWidget* widget, int style) override;
};
