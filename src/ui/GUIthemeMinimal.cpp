#include "ui/GUIthemeMinimal.h"

#include "ui/AppLink.h"
#include "engine/ErrorManager.h"

GUIthemeMinimal::GUIthemeMinimal() {
    const int values[7] = {10, 1, 0, 3, 3, 3, 3};
    for (int i = 0; i < 7; ++i) metrics[i] = values[i];
    pFont = AppLink::fontTiny();
}

void GUIthemeMinimal::setStyle(ThemedWidget* widget, int style) {
    if (style < 0 || style > 11) QEL_FATAL(u"GUIthemeMinimal::setStyle", u"Unhandled style");
    if (style == 0) return;
    applyTexture(widget, style == 1 ? u"gui-invisible" : u"gui-minimal-generic");
}
