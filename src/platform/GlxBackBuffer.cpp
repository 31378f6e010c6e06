#include "platform/GlxBackBuffer.h"

#include <epoxy/glx.h>

namespace {

// The current GLX display and drawable, and whether the display has an extension (asked once per
// display and extension).
bool currentGlx(Display*& display, GLXDrawable& drawable) {
    display = glXGetCurrentDisplay();
    drawable = glXGetCurrentDrawable();
    return display && drawable;
}

bool hasExtension(Display* display, const char* name, Display*& checked, bool& has) {
    if (checked != display) {
        checked = display;
        has = epoxy_has_glx_extension(display, DefaultScreen(display), name);
    }
    return has;
}

}  // namespace

int currentBackBufferAge() {
    Display* display;
    GLXDrawable drawable;
    if (!currentGlx(display, drawable)) return 0;
    static Display* checked = nullptr;
    static bool has = false;
    if (!hasExtension(display, "GLX_EXT_buffer_age", checked, has)) return 0;
    unsigned int age = 0;
    glXQueryDrawable(display, drawable, GLX_BACK_BUFFER_AGE_EXT, &age);
    return int(age);
}

bool copyBackBufferToWindow(int width, int height) {
    Display* display;
    GLXDrawable drawable;
    if (!currentGlx(display, drawable)) return false;
    static Display* checked = nullptr;
    static bool has = false;
    if (!hasExtension(display, "GLX_MESA_copy_sub_buffer", checked, has)) return false;
    glXCopySubBufferMESA(display, drawable, 0, 0, width, height);
    return true;
}
