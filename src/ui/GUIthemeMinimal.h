#pragma once
// The minimal look: one generic frame texture for every visible style.

#include "ui/GUItheme.h"

class GUIthemeMinimal : public GUItheme {
public:
    GUIthemeMinimal();
    void setStyle(ThemedWidget* widget, int style) override;
};
