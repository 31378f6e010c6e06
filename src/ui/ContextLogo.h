#pragma once
// The intro story in timed lines over the gliding winter picture, ending with the game logo and
// the legal notice; 40 seconds or until skipped.

#include "media/Context.h"
#include "engine/Text.h"

class Renderable;

class ContextLogo : public Context {
public:
    ContextLogo();

    void onActivate(bool bFirst) override;
    void onDeactivate(bool bFinished) override;
    void tickContents(double total, double dt) override;

    void addText(float y, double duration, const char16_t* textKey, bool bTitle);
    // The game logo picture at the top of the screen.
    static Renderable* makeLogo(bool fading);

    QelBase* pTexts;
};
