#include "menus/ContextAdvancedOptions.h"

#include "ui/AppText.h"
#include "ui/GameConfiguration.h"
#include "ui/Global.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionItem.h"
#include <cmath>
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/VideoMode.h"
#include "menus/ContextOptions.h"
#include "menus/ListValueItem.h"

ContextAdvancedOptions::ContextAdvancedOptions() {
    ContextOptions::beginScreen(this, u"ADVANCEDOPTIONS");
    GameConfiguration* c = ContextOptions::settings();
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (g && g->videoModes) {
        for (BasicLink* l = g->videoModes->firstChild; l; l = l->next) {
            auto* mode = static_cast<VideoMode*>(l);
            modes.push_back(ModeSize{mode->width, mode->height});
            modeNames.push_back(mode->getModeText());
        }
    }
    const int currentWidth = g ? g->backBufferWidth : 0;
    const int currentHeight = g ? g->backBufferHeight : 0;
    const bool haveModes = !modes.empty();
    if (!haveModes) modeNames.push_back(format(u"%dx%d", currentWidth, currentHeight));
    selectedMode = haveModes ? findMode(modes, currentWidth, currentHeight) : 0;
    shownMode = selectedMode;

    const float r = float(itemSpacing);
    const float y0 = float(int(2.5f * r));
    // Captions on the leading side.
    const int side = ContextMenu::layoutInt(1);
    pVideoMode = new ListValueItem(0.0f, y0, 0.0f, &selectedMode, 0, int(modeNames.size()) - 1, &modeNames,
                                   AppText::text(u"VIDEOMODE"), AppText::text(u"VIDEOMODEHINT"));
    pVideoMode->bDisabled = !haveModes;
    pMaxFps = new MenuValueItem(0.0f, y0 - r, 0.0f, c ? &c->maxFramesPerSecond : nullptr, 25, 125, 5,
                                AppText::text(u"MAXIMUMFPS"), AppText::text(u"MAXIMUMFPSHINT"));
    auto row = [&](float x, float y, const char16_t* key, const char16_t* hintKey, uint8_t* option) {
        return new MenuOptionItem(x, y, 0.0f, AppText::text(key), AppText::text(hintKey), option);
    };
    // x is given for left-to-right; the items mirror it themselves in a right-to-left language.
    pFullScreen = row(-103.0f, y0 - 2 * r, u"FULLSCREEN", u"FULLSCREENHINT", c ? &c->bFullScreen : nullptr);
    pLetterbox = row(103.0f, y0 - 2 * r, u"LETTERBOX", u"LETTERBOXHINT", c ? &c->bAllowLetterbox : nullptr);
    pVSync = row(-103.0f, y0 - 3 * r, u"VSYNC", u"VSYNCHINT", c ? &c->bUseVSync : nullptr);
    pBilinearFilter = row(-103.0f, y0 - 4 * r, u"BILINEARFILTER", u"BILINEARFILTERHINT", c ? &c->bBilinearFilter : nullptr);
    pShowFps = row(-103.0f, y0 - 5 * r, u"SHOWFPS", u"SHOWFPSHINT", c ? &c->bShowFps : nullptr);
    for (MenuItem* item : std::initializer_list<MenuItem*>{pVideoMode, pMaxFps, pFullScreen, pLetterbox, pVSync,
                                                           pBilinearFilter, pShowFps}) {
        item->captionLocation = side;
        ContextOptions::addRow(this, item);
    }
    // The letterbox row's caption stands between its box and the full-screen box: it is kept a
    // clear gap away from the latter in every language.
    pLetterbox->captionRoom = std::abs(pLetterbox->position.x - pFullScreen->position.x) - pLetterbox->frameWidth / 2.0f -
                              5.0f - pFullScreen->frameWidth / 2.0f - CAPTION_GAP;
    pLetterbox->bDisabled = c && !c->bFullScreen;
    pBackButton = ContextOptions::addBackButton(this);
}

int ContextAdvancedOptions::findMode(const std::vector<ModeSize>& modes, int width, int height) {
    int found = 0;
    for (size_t i = 0; i < modes.size(); ++i)
        if (modes[i].width == width && modes[i].height == height) found = int(i);
    return found;
}

ContextAdvancedOptions::ModeSize ContextAdvancedOptions::modeToApply() const {
    if (!bModeChanged || selectedMode < 0 || size_t(selectedMode) >= modes.size()) return ModeSize{-1, -1};
    return modes[size_t(selectedMode)];
}

void ContextAdvancedOptions::noteModeChange() {
    if (selectedMode != shownMode) {
        bModeChanged = true;
        shownMode = selectedMode;
    }
}

void ContextAdvancedOptions::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    noteModeChange();
    if (GameConfiguration* c = ContextOptions::settings()) pLetterbox->bDisabled = !c->bFullScreen;
}

void ContextAdvancedOptions::onDeactivate(bool bPopped) {
    ContextMenu::onDeactivate(bPopped);
    if (!bPopped) return;
    noteModeChange();
    const ModeSize size = modeToApply();
    if (game) game->applyAudioSettings(size.width, size.height);
}
