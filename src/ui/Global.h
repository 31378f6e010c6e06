#pragma once
// The game's application object: user data, fonts, the screen stack, the shared screens and
// themes, and the start-up before and after loading. Reached through the global pointer 'game'.
// The shell makes it right after the engine object and deletes it right before.

#include <cstdint>

#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"
#include "engine/MathUtil.h"
#include "engine/Text.h"

class FontQuad;
class ContextManager;
class Context;
class GUItheme;
class QelBase;
class Loader;

class Global {
public:
    // Loads ".hst" and ".pro" (through the two records' constructors).
    Global();
    // Deletes the screens, themes, screen stack and resources, then saves ".pro" and ".hst".
    virtual ~Global();
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;

    // Pushes the first menu screen.
    virtual void createStartContexts() = 0;

    // The screens of the menus that the start-up shows, set as the menus' code loads: the loading
    // screen, made and pushed on a new screen stack after the two pictures it needs are registered
    // (initPreLoader returns it), and the crash-report page (initPostLoader).
    static inline Loader* (*startLoader)(Global& application) = nullptr;
    static inline Context* (*createErrorReport)() = nullptr;

    // Start-up before loading: class numbers, the main archive, the two pictures the loading
    // screen needs, the screen stack and the Loader on it (returned).
    Loader* initPreLoader();
    // Start-up after loading (the Loader's last step): the shared screens and themes, then the
    // start screens; the last pushed is shown first.
    void initPostLoader();
    // ".pro", ".hst" and the engine's ".cfg".
    void saveUserData();
    // Frame rate, sample rate, volumes, display and detail from the settings record; -1 keeps the
    // current video mode's width or height.
    void applyAudioSettings(int width, int height);
    // A volume setting 0..24 as a global volume of the audio library, 0..10000 (truncated).
    static int globalVolume(int setting);

    GameConfiguration gameConfiguration;
    ProfileManager profileManager;
    // Set by the Loader; not owned (they are resources).
    FontQuad* pFontTiny = nullptr;
    FontQuad* pFontSmall = nullptr;
    FontQuad* pFontMedium = nullptr;
    FontQuad* pFontMediumOutline = nullptr;
    FontQuad* pFontLarge = nullptr;
    ContextManager* pContextManager = nullptr;
    // The intro (pre-render hook of the menus) and the menu background (their post-render hook);
    // owned, never on the stack.
    Context* pContextIntro = nullptr;
    Context* pContextMenuBackground = nullptr;
    GUItheme* pGUIthemeStandard = nullptr;
    GUItheme* pGUIthemeMinimal = nullptr;
    // The parent of every resource the Loader registers.
    QelBase* pResourceRoot = nullptr;
    // A page to open once the window has closed.
    WString pendingUrl;
    // The row of the last score entered, -1 for none.
    int lastHighScoreRow = -1;
};

extern Global* game;

// Whether a crash left its log or its dump in the user-data folder.
bool crashFilesExist();

WString getDataArchiveName();
WString getDataArchivePath();
// The number with a thousands separator every three digits; a minus sign stays in front.
WString formatThousands(int value, WStringView separator);
// The same with the current language's separator.
WString formatThousands(int value);
// An opaque colour with at least one full channel and at least one that is not.
uint32_t randomPrimaryColor();
// Where the ray from (x, y) at 'angle' leaves the rectangle (left, top, right, bottom).
Vector3 rectEdgePoint(float x, float y, float z, float angle, const float rect[4]);
