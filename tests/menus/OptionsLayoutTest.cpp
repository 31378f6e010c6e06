// The options screens with the fonts of the generated data archives, in each of the five
// languages: every title, side caption and value stays on the screen.

#include <gtest/gtest.h>

#include <memory>

#include "ui/FontAccess.h"
#include "menus/MenuApplication.h"
#include "menus/Loader.h"
#include "runtime/QelRuntime.h"
#include "ui/MenuItem.h"
#include "ui/TextLabel.h"
#include "engine/EngineFixture.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/QelGraphics.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextOptions.h"
#include "menus/ContextSoundOptions.h"
#include "menus/EnumValueItem.h"
#include "support/GeneratedData.h"

namespace {

// The engine with the loader's steps run over the generated archives, up to the hand-over to the
// menus: the real fonts are registered.
class OptionsWithFonts : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
        start();
        engine->singleLanguage = 0;
        application = new MenuApplication();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT - 1) loader->loadStuff(false);
        ASSERT_NE(application->pFontMedium, nullptr);
        engine->singleLanguage = -1;
    }
    void TearDown() override {
        delete application;
        application = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }

    MenuApplication* application = nullptr;
};

}  // namespace

TEST_F(OptionsWithFonts, TitlesCaptionsAndValuesStayOnTheScreenInEveryLanguage) {
    const float half = float(engine->pQelGraphics->layoutWidth) / 2.0f;
    for (int language = 0; language < LANGUAGE_COUNT; ++language) {
        engine->pLanguage->setLanguage(language);
        SCOPED_TRACE(testing::Message() << "language " << language);
        std::unique_ptr<ContextMenu> screens[] = {
            std::make_unique<ContextOptions>(),         std::make_unique<ContextGameplayOptions>(),
            std::make_unique<ContextControlsOptions>(), std::make_unique<ContextGraphicsOptions>(),
            std::make_unique<ContextSoundOptions>(),    std::make_unique<ContextAdvancedOptions>()};
        for (auto& screen : screens) {
            for (BasicLink* c = screen->firstChild; c; c = c->next) {
                auto* object = static_cast<QelBase*>(c);
                if (auto* title = dynamic_cast<TextLabel*>(object)) {
                    EXPECT_LE(FontAccess::textWidth(title->pFont, title->text) * title->scale.x, 2 * half)
                        << wideToUtf8(title->text);
                    continue;
                }
                auto* item = dynamic_cast<MenuItem*>(object);
                if (!item) continue;
                // A side caption too long for the room beside its item is drawn smaller, but still
                // legible.
                const float raw = FontAccess::textWidth(item->pFont, item->caption);
                const float fit = item->sideCaptionFit(raw);
                EXPECT_GT(fit, 0.8f) << wideToUtf8(item->caption);
                const float caption = raw * item->scale.x * fit;
                const float edge = item->frameWidth / 2.0f + 5.0f;
                if (item->captionLocation == 4) {
                    EXPECT_GE(item->position.x - edge - caption, -half) << wideToUtf8(item->caption);
                } else if (item->captionLocation == 6) {
                    EXPECT_LE(item->position.x + edge + caption, half) << wideToUtf8(item->caption);
                }
                // Values are drawn scaled down to the frame's inner width.
                if (auto* named = dynamic_cast<EnumValueItem*>(item)) {
                    const float value = FontAccess::textWidth(item->pFont, named->valueText());
                    EXPECT_LE(value * item->fitCaption(value), item->frameWidth) << wideToUtf8(named->valueText());
                }
            }
        }
    }
}
