#pragma once
// Records the box every line of text takes as it is handed to a font (plain or with a shadow): it
// hangs down from the point it is drawn at unless the flags lift it, and lies left, centred or
// right of it, at the renderable's scale. Installed for its life.

#include <string>
#include <vector>

#include "ui/FontAccess.h"
#include "media/FontQuad.h"
#include "media/Renderable.h"
#include "media/WorldRect.h"

struct DrawnBox {
    WString text;
    WorldRect box;
    uint32_t colour;
};

struct DrawnTextBoxes {
    DrawnTextBoxes() {
        current = this;
        FontAccess::drawHook = [](FontQuad* font, Renderable* r, int flags, WStringView text) {
            current->record(font, r, flags, text);
        };
        FontAccess::shadowHook = [](FontQuad* font, Renderable* r, int flags, const Vector3&, uint32_t,
                                    WStringView text) { current->record(font, r, flags, text); };
    }
    ~DrawnTextBoxes() {
        FontAccess::drawHook = nullptr;
        FontAccess::shadowHook = nullptr;
        current = nullptr;
    }
    void record(FontQuad* font, Renderable* r, int flags, WStringView text) {
        const float width = FontAccess::textWidth(font, text) * r->scale.x;
        const float height = float(FontAccess::lineHeight(font)) * r->scale.y;
        float left = r->position.x;
        if (flags & FontQuad::ALIGN_CENTER) left -= width / 2.0f;
        if (flags & FontQuad::ALIGN_RIGHT) left -= width;
        float top = r->position.y;
        if (flags & FontQuad::ALIGN_HALF_HEIGHT) top += height / 2.0f;
        if (flags & FontQuad::ALIGN_HEIGHT) top += height;
        drawn.push_back({WString(text), WorldRect{left, top, left + width, top - height}, r->color});
    }
    const DrawnBox* find(WStringView text) const {
        for (const DrawnBox& d : drawn)
            if (d.text == text) return &d;
        return nullptr;
    }

    static bool inside(const WorldRect& inner, const WorldRect& outer) {
        constexpr float slack = 0.01f;
        return inner.left >= outer.left - slack && inner.right <= outer.right + slack &&
               inner.top <= outer.top + slack && inner.bottom >= outer.bottom - slack;
    }
    static std::string describe(const WorldRect& r) {
        return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
               std::to_string(r.bottom) + ")";
    }

    std::vector<DrawnBox> drawn;
    static inline DrawnTextBoxes* current = nullptr;
};
