#pragma once
// The loading screen: creates every shared resource of the game (music, pictures, sounds, fonts)
// in 102 small steps, at most a quarter of a second of steps per frame, shows the progress with a
// bar, settles the language and, as its last step, hands over to Global::initPostLoader.

#include "media/Context.h"
#include "engine/Text.h"

class ProgressBar;
class Texture;

class Loader : public Context {
public:
    static constexpr int STEP_COUNT = 102;
    // Seconds of steps per frame; a step that starts before the budget is spent runs to its end.
    static constexpr double FRAME_BUDGET = 0.25;

    Loader();
    ~Loader() override;

    void tickContents(double total, double dt) override;
    // With bCountOnly the number of steps; otherwise performs step currentStep + 1 and returns
    // it. After the last step every call does nothing and returns STEP_COUNT.
    int loadStuff(bool bCountOnly);

    // Appends the object to the application's resource root and registers it under the name.
    static void registerResource(QelBase* object, WStringView name);
    // Registers the texture, then each of its skins as "name:index".
    static void registerTexture(WStringView name, Texture* texture);
    // Loads the glyph pages and code-point table of one font from its code page's archive (the
    // current language's when codePage is empty), falling back to code page 1252.
    void fontRes(bool bPackPass, WStringView texturePrefix, WStringView rootPrefix, WStringView fontFolder,
                 WStringView codePage);

    // Replacements for the language screen and its two helpers (tests set them); unset, the
    // ContextLanguageSelect ones are used.
    static inline Context* (*createLanguageSelect)() = nullptr;
    static inline int (*autodetectLanguage)() = nullptr;
    static inline int (*isoCode2skinIndex)(WStringView isoCode) = nullptr;
    // Reads the game's level pictures, so that an archive being built takes them along (the game
    // sets it).
    static inline void (*readLevelPictures)() = nullptr;

    ProgressBar* progressBar = nullptr;
    int stepCount = 0;
    int currentStep = 0;
    bool bYieldFrame = true;

private:
    void performStep(int step);
    void selectLanguage();
    void loadFont(int index);
};
