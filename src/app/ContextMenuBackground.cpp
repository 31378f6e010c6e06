#include "app/ContextMenuBackground.h"

#if __has_include("app/SnowEffect.h")
#include "app/SnowEffect.h"
#define VESK_MENU_SNOW 1
#endif

ContextMenuBackground::ContextMenuBackground() {
#ifdef VESK_MENU_SNOW
    addChild(new SnowEffect(pCamera, 1.0f));
#endif
}
