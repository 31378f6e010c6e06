// The screens of the game itself read as a player would read them, in each of the five languages,
// on the OpenGL device under Xvfb with the generated data archives: the world map (a hovered town,
// the train's own town with its smoke, the train at the town nearest the top), the restart
// question and game over; and a level in play with its head-up display and the tutorial's
// hint arrow (left-click, right-click, and the claw's on the third level), the tutorial message,
// pause, the restart question, a streak's pop-up, the tally at each step of its count and game
// over. Each text's glyphs must stand out from what lies right
// around them (4.5:1, 3:1 for large text), and no text may run into another, into a foreign item
// or figure (the head-up display) or the picture's edge. The picture is what a 1280 by 1024
// screen shows of the layout (1280 by 768); the first language is also read at the pictures of a
// 16:9 screen (1200 by 720) and of a 4:3 one (1024 by 614), where the same layout is drawn smaller.
// Each frame, with its faults outlined, is written as a TGA picture to VESK_SCREENSHOT_DIR when
// that is set.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ui/AppText.h"
#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "ui/ProfileData.h"
#include "ui/ProfileManager.h"
#include "engine/Random.h"
#include "engine/Utilities.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/ContextLevelComplete.h"
#include "game/ContextPause.h"
#include "game/ContextRestartConfirm.h"
#include "game/GameController.h"
#include "game/PerfectLevel.h"
#include "game/Hud.h"
#include "game/SpeechBubble.h"
#include "ui/AppLink.h"
#include "ui/FontAccess.h"
#include "ui/FrameSkin.h"
#include "media/Skin.h"
#include "game/SpeechArrow.h"
#include "game/WorldManager.h"
#include "game/WorldMapMarker.h"
#include "menus/ArchiveScreenFixture.h"
#include "media/MemoryImageFile.h"
#include "media/QelInput.h"
#include "support/GeneratedData.h"
#include "support/LegibilityCheck.h"

namespace {

// Faults still open, by screen (a prefix of its name) and text, each with its reason: reported,
// not failed, and each entry not met in a language is named, so that the list can shrink.
struct OpenFault {
    const char* screen;
    const char16_t* textKey;  // the text's key (WORLD*: any town's name), or null for a literal
    const char16_t* literal;  // both null: any text of the screen
    const char* reason;
};
// None at present.
const std::vector<OpenFault> kOpenFaults = {};

// A language and the picture's width.
class InGameLegibilityTest : public ArchiveScreenFixture<GameGlobal>,
                             public testing::WithParamInterface<std::tuple<int, int>> {
protected:
    int languageToLoad() const override { return std::get<0>(GetParam()); }
    void SetUp() override {
        ArchiveScreenFixture::SetUp();
        if (!application) return;
        const auto [languageIndex, pictureWidth] = GetParam();
        application->profileManager.addProfile(u"Ann");
        application->gameConfiguration.detailLevel = 1;
        application->gameConfiguration.bTutorial = 1;
        // One game, frame for frame: the levels, where the hints point and the tally's sparkles all
        // come from the one generator, which the engine seeds from the clock.
        randomSeed = 1;
        language = wideToUtf8(AppText::text(u"LANGUAGEISOCODE"));
        if (language.empty()) language = "lang" + std::to_string(languageIndex);
        if (pictureWidth != 1280) language += "-" + std::to_string(pictureWidth);
        // The picture of the screen: the layout's shape, letterboxed.
        ASSERT_TRUE(presentAt(pictureWidth));
        rules.pixelsPerUnit = float(graphics->viewport.right - graphics->viewport.left) / float(graphics->layoutWidth);
    }
    ProfileData& profile() { return application->profileManager.current(); }
    void ticks(int n, double dt = 1.0 / 60.0) {
        engine->frameTimer.frameTime = dt;
        for (int i = 0; i < n; ++i) stack->tick(0, 0);
        engine->frameTimer.frameTime = 1.0 / 60.0;
    }
    // Reads the frame as it stands; the faults are collected with the screen's name.
    void read(const std::string& screen) {
        const TracedFrame f = traceFrame(graphics, [&] { drawFrameWith([&] { stack->draw(); }); });
        const LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
        lastTexts = f.trace.texts;
        PixelBox hud{};
        for (const TracedFigure& figure : f.trace.figures)
            if (figure.name == u"head-up display") hud = figure.box;
        for (const LegibilityFault& fault : report.faults) {
            // The head-up display's own texts stand at their places on its bar, along the top edge:
            // they must only not be cut.
            if (fault.kind == LegibilityFault::CUT && fault.figure >= 0 && !hud.empty() && fault.box.top >= hud.top - 1 &&
                fault.box.bottom <= hud.bottom + 1 && fault.box.left >= hud.left - 1 && fault.box.right <= hud.right + 1)
                continue;
            bool open = false;
            for (size_t k = 0; k < kOpenFaults.size(); ++k) {
                const OpenFault& o = kOpenFaults[k];
                if (screen.rfind(o.screen, 0) != 0) continue;
                if (!o.textKey && !o.literal) {
                    open = true;
                    openSeen[k] = true;
                    continue;
                }
                const bool anyTown = o.textKey && WStringView(o.textKey) == u"WORLD*";
                bool town = false;
                for (int s = 0; anyTown && s < WorldManager::STAGE_COUNT; ++s)
                    town = town || fault.text == AppText::text(format(u"WORLD%d", s).c_str());
                const WString text = anyTown ? WString() : o.textKey ? WString(AppText::text(o.textKey)) : WString(o.literal);
                if (!town && (anyTown || (fault.text != text && fault.text.find(text) == WString::npos)))
                    continue;
                open = true;
                openSeen[k] = true;
            }
            if (open) openFaults.push_back(fault.describe(screen, language));
            else faults.push_back(fault.describe(screen, language));
        }
        for (const TextReading& r : report.readings)
            if (r.required > 0 && r.inkPixels > 0 && r.contrast / r.required < worstShare) {
                worstShare = r.contrast / r.required;
                worst = screen + " \"" + utf8Of(r.text) + "\" " + std::to_string(r.contrast) + ":1";
            }
        ++screens;
        if (std::getenv("VESK_LEGIBILITY_TIMES")) std::printf("%s at %.1f s\n", screen.c_str(), double(std::clock()) / CLOCKS_PER_SEC);
        const char* folder = std::getenv("VESK_SCREENSHOT_DIR");
        if (!folder || !*folder) return;
        MemoryImageFile image(f.width, f.height);
        for (size_t i = 0; i < f.shown.size(); ++i) image.pImageData[i] = UColor(f.shown[i] | 0xFF000000u);
        for (const LegibilityFault& fault : report.faults) {
            const int l = std::clamp(int(fault.box.left) - 2, 0, f.width - 1), r = std::clamp(int(fault.box.right) + 1, 0, f.width - 1);
            const int t = std::clamp(int(fault.box.top) - 2, 0, f.height - 1), b = std::clamp(int(fault.box.bottom) + 1, 0, f.height - 1);
            for (int x = l; x <= r; ++x) image.pImageData[size_t(t) * size_t(f.width) + size_t(x)] = image.pImageData[size_t(b) * size_t(f.width) + size_t(x)] = UColor(0xFFFF0000u);
            for (int y = t; y <= b; ++y) image.pImageData[size_t(y) * size_t(f.width) + size_t(l)] = image.pImageData[size_t(y) * size_t(f.width) + size_t(r)] = UColor(0xFFFF0000u);
        }
        image.saveTGA(utf8ToWide(std::string(folder) + "/" + language + "-" + screen + ".tga"));
    }

    // The world map with the train at the level.
    WorldManager* showMap(int level) {
        clearStack();
        profile().resetGame();
        profile().level() = level;
        profile().highestLevel() = level;
        auto* map = new WorldManager();
        stack->pushContext(map);
        ticks(3);
        return map;
    }
    // A level as the map starts it, run until it plays.
    GameController* startLevel(int level) {
        WorldManager* map = showMap(level);
        (void)map;
        auto* controller = new GameController();
        application->pGameController = controller;
        stack->pushContext(controller);
        controller->startGame();
        return controller;
    }

    // An empty slot of the level that has come well onto the screen (past the first stretch of its
    // track), and with 'wrong' a colour of another open slot that is not its own; null if none.
    static CargoSlot* openSlotOnScreen(GameController* game, int* wrong = nullptr) {
        for (CargoSlot* slot : game->colorPicker.openSlots) {
            if (slot->bHidden || slot->held || slot->trackPos < 300.0f) continue;
            if (!wrong) return slot;
            for (CargoSlot* other : game->colorPicker.openSlots)
                if (other->color != slot->color) {
                    *wrong = other->color;
                    return slot;
                }
        }
        return nullptr;
    }

    LegibilityRules rules;
    std::string language;
    std::vector<std::string> faults, openFaults;
    std::vector<TracedText> lastTexts;
    std::vector<bool> openSeen = std::vector<bool>(kOpenFaults.size());
    double worstShare = 1e9;
    std::string worst;
    int screens = 0;

    // The faults found, each a failure; the worst contrast and the open faults are printed.
    void report() {
        std::printf("[%s] %d screens, worst contrast %s\n", language.c_str(), screens, worst.c_str());
        for (const std::string& fault : openFaults) std::printf("open: %s\n", fault.c_str());
        for (const std::string& fault : faults) ADD_FAILURE() << fault;
        for (size_t k = 0; k < kOpenFaults.size(); ++k)
            if (!openSeen[k]) std::printf("not seen in this language: %s, %s\n", kOpenFaults[k].screen, kOpenFaults[k].reason);
    }
};

TEST_P(InGameLegibilityTest, MapScreensReadClearly) {
    // The map: a town's name under the pointer, and the train at each of the towns near the top.
    {
        WorldManager* map = showMap(20);
        WorldMapMarker* town = map->stages[2];
        engine->pQelInput->pointer = ContextMenu::worldToPointer(map, town->position);
        ticks(30);
        read("world-map");
        // The town where the train stands, smoking, under the pointer.
        map = showMap(WorldManager::getStage(6).firstLevel);
        engine->pQelInput->pointer = ContextMenu::worldToPointer(map, map->stages[6]->position);
        ticks(90);
        read("world-map-train-town");
        int top = 0;
        for (int s = 1; s < WorldManager::STAGE_COUNT; ++s)
            if (map->stages[s]->position.y > map->stages[top]->position.y) top = s;
        map = showMap(WorldManager::getStage(top).firstLevel);
        engine->pQelInput->pointer = ContextMenu::worldToPointer(map, map->stages[top]->position);
        ticks(60);
        read("world-map-top-town");
        // The question before a new game at a town already reached.
        stack->pushContext(new ContextRestartConfirm(WorldManager::getStage(1).firstLevel));
        engine->pQelInput->pointer = Vector3(1.0f, 1.0f, 0.0f);
        ticks(60);
        read("restart-question");
    }
    // Game over.
    {
        WorldManager* map = showMap(14);
        profile().lives() = 1;
        profile().score() = 4321;
        auto* controller = new GameController();
        application->pGameController = controller;
        stack->pushContext(controller);
        ticks(1);
        map->onLevelResult(WorldManager::RESULT_LOST);
        controller->bDone = true;
        ticks(1);
        ticks(40, 0.05);
        read("game-over");
    }
    report();
}

TEST_P(InGameLegibilityTest, LevelScreensReadClearly) {
    // The first level with the tutorial: its message, then play with the hint arrow.
    {
        GameController* game = startLevel(0);
        for (int i = 0; i < 600 && stack->getTopContext() == game; ++i) ticks(1);
        ASSERT_NE(stack->getTopContext(), game) << "the tutorial's message";
        ticks(60);
        read("tutorial-message");
        stack->getTopContext()->bDone = true;
        ticks(2);
        ASSERT_EQ(stack->getTopContext(), game);
        for (int i = 0; i < 1200 && (game->pSpeechArrow->text.empty() || game->state != GameController::STATE_PLAYING); ++i) ticks(1);
        ASSERT_FALSE(game->pSpeechArrow->text.empty()) << "the hint arrow";
        ticks(30);
        read("level-with-hint");
        // A streak of five.
        const Vector3 at = game->pSpeechArrow->arrow.position;
        game->showFloatingScore(at, 500, format(AppText::text(u"STREAKX"), 5));
        ticks(20);
        read("streak");
        // The pop-up gone.
        ticks(45);
        // Paused.
        stack->pushContext(new ContextPause());
        ticks(30);
        read("pause");
        stack->getTopContext()->bDone = true;
        ticks(2);
        // A wrong piece in a slot on the screen: the right-click hint, in its own colour, takes over.
        {
            int wrong = -1;
            CargoSlot* slot = openSlotOnScreen(game, &wrong);
            ASSERT_NE(slot, nullptr) << "an open slot on the screen";
            slot->replaceCargo(Cargo::createByType(wrong));
            ticks(30);
            ASSERT_EQ(game->pSpeechArrow->text, AppText::text(u"TUTORIALRMB"));
            read("level-with-right-click-hint");
            slot->replaceCargo(Cargo::createByType(slot->color));
            ticks(2);
        }
        // The tally over a level won with three gold medals and the top bonus, at each step of
        // its count, and with the bonus rising (before it fades).
        givePerfectLevelStatistics(*game);
        auto* tally = new ContextLevelComplete();
        stack->pushContext(tally);
        // Its panel lies below the head-up display and holds the medals with their names.
        const Hud* hud = game->getHud();
        ASSERT_NE(hud, nullptr);
        const SpeechBubble* bubble = nullptr;
        for (BasicLink* c = tally->firstChild; c; c = c->next)
            if (const auto* b = dynamic_cast<const SpeechBubble*>(static_cast<QelBase*>(c))) bubble = b;
        ASSERT_NE(bubble, nullptr);
        const float bubbleTop = bubble->position.y + bubble->pFrame->height / 2.0f;
        // The panel's body ends above its tail, some 30 units over the frame's lower edge.
        const float bubbleBodyBottom = bubble->position.y - bubble->pFrame->height / 2.0f + 30.0f;
        EXPECT_LE(bubbleTop, hud->position.y - hud->pSkin->height / 2.0f);
        game->pSpeechArrow->setText(u"");
        double t = 0.0;
        for (double step : {0.25, 0.8, 1.5, 2.4, 2.8, 3.2}) {
            const int n = int((step - t) * 60.0 + 0.5);
            ticks(n);
            t = step;
            char name[32];
            std::snprintf(name, sizeof name, "tally-%.2fs", step);
            read(name);
            for (const TracedText& text : lastTexts) {
                if (text.text != AppText::text(u"GOLDAWARD")) continue;
                EXPECT_LE(text.box.bottom, float(graphics->viewport.top) + (240.0f - bubbleBodyBottom) * rules.pixelsPerUnit)
                    << "a medal's name below the panel";
            }
        }
    }
    // The third level: the claw's hint at a bonus in a slot.
    {
        GameController* game = startLevel(2);
        for (int i = 0; i < 1200 && game->state != GameController::STATE_PLAYING; ++i) {
            // The level's tutorial message, if it has one, closed.
            if (stack->getTopContext() != game) stack->getTopContext()->bDone = true;
            ticks(1);
        }
        ASSERT_EQ(game->state, GameController::STATE_PLAYING);
        CargoSlot* slot = nullptr;
        for (int i = 0; i < 1200 && !(slot = openSlotOnScreen(game)); ++i) ticks(1);
        ASSERT_NE(slot, nullptr) << "an open slot on the screen";
        slot->replaceCargo(Cargo::createByType(Cargo::TYPE_SLOW_BONUS));
        ticks(30);
        ASSERT_EQ(game->pSpeechArrow->text, AppText::text(u"TUTORIALRMBBONUS"));
        read("level-with-claw-hint");
    }
    report();
}

// The five languages at 1280 wide; the first also at the 16:9 and 4:3 pictures.
INSTANTIATE_TEST_SUITE_P(Languages, InGameLegibilityTest,
                         testing::Values(std::tuple(0, 1280), std::tuple(1, 1280), std::tuple(2, 1280),
                                         std::tuple(3, 1280), std::tuple(4, 1280), std::tuple(0, 1200),
                                         std::tuple(0, 1024)));

}  // namespace
