#pragma once
// The menu framework's calls into the application object (fonts, screen stack, curtain, user
// data), in one place. While there is no application object (tests of the framework alone) they
// answer null and do nothing.

#include "engine/Text.h"

class Context;
class FontQuad;
class Skin;

class AppLink {
public:
    static FontQuad* fontTiny();
    static FontQuad* fontSmall();
    static FontQuad* fontMedium();
    static FontQuad* fontLarge();

    static void pushContext(Context* context);
    // The front screen of the stack, or null.
    static Context* topContext();
    // Ends the program at the next frame (the stack's quit flag).
    static void requestQuit();
    static void setPendingUrl(WStringView url);
    static Context* introContext();
    static Context* menuBackgroundContext();
    // Closes the iris curtain at once; the stack opens it again over one second.
    static void closeCurtain();
    static void saveUserData();
    static void applyAudioSettings();
    // A skin by its resource name ("intro:0"), or null while it is not there.
    static Skin* findSkin(const char16_t* name);
};
