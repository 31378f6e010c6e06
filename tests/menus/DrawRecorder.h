#pragma once
// Records every line of text the widgets draw through FontAccess (plain or with a shadow), with
// the renderable's position, scale and colour and the alignment flags. Installed for its life.

#include <vector>

#include "ui/FontAccess.h"
#include "media/Renderable.h"

struct WidgetText {
    WString text;
    Vector3 position;
    Vector3 scale;
    uint32_t colour;
    int flags;
    bool shadowed;
};

struct DrawRecorder {
    DrawRecorder() {
        current = this;
        FontAccess::drawHook = [](FontQuad*, Renderable* r, int flags, WStringView text) {
            current->drawn.push_back({WString(text), r->position, r->scale, r->color, flags, false});
        };
        FontAccess::shadowHook = [](FontQuad*, Renderable* r, int flags, const Vector3&, uint32_t, WStringView text) {
            current->drawn.push_back({WString(text), r->position, r->scale, r->color, flags, true});
        };
    }
    ~DrawRecorder() {
        FontAccess::drawHook = nullptr;
        FontAccess::shadowHook = nullptr;
        current = nullptr;
    }
    std::vector<WidgetText> withText(WStringView text) const {
        std::vector<WidgetText> out;
        for (const WidgetText& d : drawn)
            if (d.text == text) out.push_back(d);
        return out;
    }

    std::vector<WidgetText> drawn;
    static inline DrawRecorder* current = nullptr;
};
