#include "ui/GUIthemeStandard.h"

#include "ui/AppLink.h"
#include "engine/ErrorManager.h"

GUIthemeStandard::GUIthemeStandard() {
    const int values[7] = {20, 3, 1, 5, 5, 5, 5};
    for (int i = 0; i < 7; ++i) metrics[i] = values[i];
    pFont = AppLink::fontSmall();
}

void GUIthemeStandard::setStyle(ThemedWidget* widget, int style) {
    static const char16_t* const textures[] = {
        nullptr,
        u"gui-invisible",
        u"gui-standard-generic",
        u"gui-standard-thickframe",
        u"gui-standard-thinframe",
        u"gui-standard-groove",
        u"gui-standard-panel-bevelinner",
        u"gui-standard-editbox",
        u"gui-standard-button",
        u"gui-standard-button-nogroove",
        u"gui-standard-tab",
        u"gui-standard-tab-selected",
    };
    if (style < 0 || style > 11) QEL_FATAL(u"GUIthemeStandard::setStyle", u"Unhandled style");
    if (style == 0) return;
    if (style >= 10) {
        const int tabMargins[4] = {10, 5, 5, 10};
        for (int i = 0; i < 4; ++i) widget->margins[i] = tabMargins[i];
    }
    applyTexture(widget, textures[style]);
    if (style == 3) metrics[2] = 2;
}
