#pragma once
// A line of text in one font and colour that can wait, fade in, stay, fade out and then remove
// itself.

#include <cstdint>

#include "engine/Text.h"
#include "media/Renderable.h"

class FontQuad;

class TextLabel : public Renderable {
public:
    TextLabel(float x, float y, float z, WStringView text, FontQuad* font, uint32_t colour);
    ~TextLabel() override;

    void update(double time, double dt) override;
    void render() override;

    void setText(WStringView text, double duration, double delay);
    void fitToWidth(int width);
    // The alpha of the fades at 'elapsed' seconds shown.
    static int fadeAlpha(double elapsed, double duration, double fadeIn, double fadeOut);

    bool bRemoveWhenDone = true;
    bool bShadow = true;
    double delay = 0.0;
    double duration = 999999.0;
    double fadeIn = 0.0;
    double fadeOut = 0.0;
    int alignment = 5;
    FontQuad* pFont;
    WString text;
    double elapsed = 0.0;
};
