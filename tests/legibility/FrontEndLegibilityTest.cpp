// Every front-end screen (the story at the start among them, and the main menu under the game logo
// that the story leaves when it has been told) read as a player would read it, in each of the five
// languages, on the OpenGL device under Xvfb with the generated data archives: each text's glyphs
// stand out from what lies right around them (4.5:1, 3:1 for large text), no text runs into another
// text, another item, a figure of the menus' picture (the bear, the station, the tree, the train),
// the logo or the picture's edge. The picture is 1280 wide (what a 1280 by 1024 screen
// shows of the 800 by 480 layout, letterboxed), and the first language is also read at the pictures
// of a 16:9 screen (1200 by 720) and of a 4:3 one (1024 by 614). Contact sheets of every screen,
// with the faults outlined in red, land in the build folder (legibility/<language>-<width>.png).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "ui/AppText.h"
#include "menus/ContextMain.h"
#include "ui/ContextIntro.h"
#include "ui/ContextLogo.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextMessageBox.h"
#include "ui/SnowEffect.h"
#include "ui/SnowFlake.h"
#include "game/GameGlobal.h"
#include "game/SmokeEffect.h"
#include "game/WorldManager.h"
#include "game/WorldMapMarker.h"
#include "ui/ProfileData.h"
#include "menus/Loader.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuOptionItem.h"
#include "ui/MessageViewer.h"
#include "engine/Random.h"
#include "engine/Utilities.h"
#include "menus/ArchiveScreenFixture.h"
#include "media/QelInput.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextCredits.h"
#include "menus/ContextErrorReport.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextHelp.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/ContextHighScoreUpload.h"
#include "menus/ContextHighScores.h"
#include "menus/ContextLanguageSelect.h"
#include "menus/ContextNetworkConfig.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ContextOptions.h"
#include "menus/ContextPlayerName.h"
#include "menus/ContextPlayers.h"
#include "menus/ContextSoundOptions.h"
#include "support/ContactSheet.h"
#include "support/GeneratedData.h"
#include "support/LegibilityCheck.h"

#ifndef VESK_LEGIBILITY_DIR
#define VESK_LEGIBILITY_DIR "legibility"
#endif
#ifndef VESK_FIGURES_FILE
#define VESK_FIGURES_FILE "datagen/figures.txt"
#endif

namespace {

// One screen as the player meets it: what is pushed over the main menu and how long it runs first.
struct Visit {
    Visit(std::string name, std::function<Context*()> make, int ticks = 30, std::function<void(Context*)> then = {},
          double step = 1.0 / 60.0)
        : name(std::move(name)), make(std::move(make)), ticks(ticks), then(std::move(then)), step(step) {}
    std::string name;
    std::function<Context*()> make;
    int ticks = 30;
    // Run after the ticks, before the frame is drawn (a hover, a later page).
    std::function<void(Context*)> then;
    // Seconds a tick (a long story is run in the engine's longest steps).
    double step = 1.0 / 60.0;
};

class FrontEndLegibilityTest : public ArchiveScreenFixture<GameGlobal>,
                                public testing::WithParamInterface<std::tuple<int, int>> {
protected:
    int languageToLoad() const override { return std::get<0>(GetParam()); }
    void SetUp() override {
        ArchiveScreenFixture::SetUp();
        if (!application) return;
        std::string error;
        painted = loadPaintedFigures(VESK_FIGURES_FILE, error);
        ASSERT_TRUE(error.empty()) << error;
        ASSERT_FALSE(painted.empty()) << "no figures in " << VESK_FIGURES_FILE;
        language = wideToUtf8(AppText::text(u"LANGUAGEISOCODE"));
        if (language.empty()) language = "lang" + std::to_string(std::get<0>(GetParam()));
        mkdir(VESK_LEGIBILITY_DIR, 0755);
    }
    // The picture width (the back buffer is the layout's shape: 0.6 times as high), with the game's
    // default filtering and detail.
    void present(int pictureWidth) {
        ASSERT_TRUE(presentAt(pictureWidth));
        rules.pixelsPerUnit = float(graphics->viewport.right - graphics->viewport.left) / float(graphics->layoutWidth);
    }

    // The screens of the front end in the states worth reading.
    std::vector<Visit> visits() {
        GameGlobal* app = application;
        auto profiles = [app] {
            for (const char16_t* n : {u"ABCDEFGHIJKLMNOP", u"Bj\u00f6rn", u"Cy"}) app->profileManager.addProfile(n);
            app->profileManager.currentIndex = 2;
        };
        auto scores = [app] {
            GameConfiguration& c = app->gameConfiguration;
            for (int i = 0; i < 10; ++i) {
                std::memset(c.highScores[i].name, 0, sizeof(c.highScores[i].name));
                std::strcpy(c.highScores[i].name, i == 3 ? "Zo\xc3\xab" : "Wendelin Mayer");
                c.highScores[i].level = 11 * i + 3;
                c.highScores[i].score = 1234567 - 98765 * i;
            }
            app->lastHighScoreRow = 3;
        };
        auto hover = [this](MenuItem* item) {
            engine->pQelInput->pointer = ContextMenu::worldToPointer(stack->getTopContext(), item->position);
            for (int i = 0; i < 30; ++i) stack->tick(0, 0);
        };
        auto text = [](const char16_t* key) { return AppText::text(key); };
        std::vector<Visit> v = {
            {"main-menu", [] { return nullptr; }},
            {"main-menu-player", [profiles] { profiles(); return nullptr; }},
            {"main-menu-fps",
             [app] {
                 app->gameConfiguration.bShowFps = 1;
                 return nullptr;
             }},
            {"main-menu-hover", [] { return nullptr; }, 60,
             [hover](Context* c) { hover(static_cast<ContextMain*>(c)->pOptionsButton); }},
            {"players", [profiles] { profiles(); return new ContextPlayers(); }},
            {"first-start",
             [app] {
                 app->profileManager.deleteProfile(0);
                 return nullptr;
             }},
            {"name-entry",
             [] {
                 auto* s = new ContextPlayerName(true);
                 s->name = u"Zo\u00eb";
                 return s;
             }},
            {"name-entry-touch",
             [this] {
                 engine->pQelInput->setInputMode(INPUTMODE_TOUCH);
                 auto* s = new ContextPlayerName(true);
                 s->name = u"Zo\u00eb";
                 return s;
             }},
            {"options", [] { return new ContextOptions(); }},
            {"options-gameplay", [] { return new ContextGameplayOptions(); }},
            {"options-controls", [] { return new ContextControlsOptions(); }},
            {"options-graphics", [] { return new ContextGraphicsOptions(); }},
            {"options-advanced", [] { return new ContextAdvancedOptions(); }},
            {"options-sound", [] { return new ContextSoundOptions(); }},
            {"high-scores-default", [] { return new ContextHighScores(); }},
            {"high-scores", [scores] { scores(); return new ContextHighScores(); }},
            {"high-score-options", [] { return new ContextHighScoreOptions(); }},
            {"credits-early", [] { return new ContextCredits(); }, 240},
            {"credits-late", [] { return new ContextCredits(); }, 900},
            {"help", [] { return new ContextHelp(); }},
            {"language-select", [] { return new ContextLanguageSelect(); }},
            {"network-wizard", [] { return new ContextNetworkWizard1(); }},
            {"network-wizard-after",
             [text] {
                 auto* wizard = new ContextNetworkWizard1();
                 wizard->runOnDesktopItem->bDisabled = true;
                 for (const WString& line : {text(u"STARTINGDOTS"), text(u"NETTESTSUCCESS"),
                                             WString(u"Hello from the maker's test server."), text(u"DONEDOT")})
                     wizard->viewer->addMessage(line);
                 return wizard;
             }},
            {"network-config", [] { return new ContextNetworkConfig(); }},
            {"score-upload", [] { return new ContextHighScoreUpload(); }},
            {"crash-report", [] { return new ContextErrorReport(); }},
            {"message-box",
             [text] {
                 auto* box = new ContextMessageBox();
                 box->text = text(u"CONFIRM");
                 box->firstButtonText = text(u"YES");
                 box->secondButtonText = text(u"NO");
                 box->layout();
                 return box;
             }},
            // The story's closing line over the picture as it glides down into place, and the logo
            // with the legal line in the bottom-left corner as soon as that reads, the glide not
            // yet ended.
            {"intro-closing", [] { return new ContextLogo(); }, 640, {}, 0.05},
            {"intro-end", [] { return new ContextLogo(); }, 726, {}, 0.05},
            // The main menu once the story has been told to its end: from then on the game logo
            // stands over the picture.
            {"main-menu-story-told", [] { return new ContextLogo(); }, 880, {}, 0.05},
            {"message-box-title",
             [text] {
                 auto* box = new ContextMessageBox();
                 box->title = text(u"NETWORKWIZARD");
                 box->text = text(u"NETTESTSUCCESS");
                 box->firstButtonText = text(u"OK");
                 box->layout();
                 return box;
             }},
        };
        return v;
    }

    // Runs every visit at the picture width, checks each frame and writes the contact sheet; returns
    // the faults described.
    std::vector<std::string> readAll(int pictureWidth) {
        present(pictureWidth);
        std::vector<std::string> faults;
        ContactSheet sheet;
        std::ofstream log(std::string(VESK_LEGIBILITY_DIR) + "/" + language + "-" + std::to_string(pictureWidth) + ".txt");
        double worst = 1e9;
        std::string worstText;
        const auto started = std::chrono::steady_clock::now();
        for (const Visit& visit : visits()) {
            SCOPED_TRACE(visit.name);
            clearStack();
            application->gameConfiguration.bShowFps = 0;
            engine->pQelInput->setInputMode(INPUTMODE_MOUSE);
            engine->pQelInput->pointer = Vector3(1.0f, 1.0f, 0.0f);
            // The menus' picture in its place, as the story leaves it when it ends.
            static_cast<ContextIntro*>(application->pContextIntro)->jumpTo(0.0f);
            // The snow over it alone, as before the story has been told: its end leaves the logo.
            for (BasicLink* c = application->pContextMenuBackground->firstChild; c;) {
                BasicLink* next = c->next;
                if (!dynamic_cast<SnowEffect*>(static_cast<QelBase*>(c))) static_cast<QelBase*>(c)->release();
                c = next;
            }
            while (application->profileManager.countProfiles() > 0) application->profileManager.deleteProfile(0);
            application->profileManager.currentIndex = 0;
            // A player is known, or the main menu asks for a name first.
            application->profileManager.addProfile(u"Ann");
            auto* main = new ContextMain();
            Context* screen = visit.make();
            stack->pushContext(main);
            if (screen) stack->pushContext(screen);
            // The stepped clock (a screen that applies the audio settings sets the frame timer to
            // the time of day).
            engine->frameTimer.previousFrameTime = 0.0;
            engine->frameTimer.frameTime = visit.step;
            for (int i = 0; i < visit.ticks; ++i) stack->tick(0, 0);
            engine->frameTimer.frameTime = 1.0 / 60.0;
            if (visit.then) visit.then(stack->getTopContext());
            const TracedFrame f = traceFrame(graphics, [&] { drawFrameWith([&] { stack->draw(); }); }, &painted);
            const LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
            if (visit.name == "main-menu" &&
                std::count_if(f.trace.figures.begin(), f.trace.figures.end(), [](const TracedFigure& t) { return t.bPainted; }) < 4)
                faults.push_back("screen main-menu [" + language + "]: the figures of the menus' picture were not traced");
            if (visit.name == "main-menu-story-told" &&
                std::none_of(f.trace.figures.begin(), f.trace.figures.end(), [](const TracedFigure& t) { return t.bPainted && t.name == u"logo"; }))
                faults.push_back("screen main-menu-story-told [" + language + "]: no game logo over the picture");
            std::vector<PixelBox> marked;
            for (const LegibilityFault& fault : report.faults) {
                faults.push_back(fault.describe(visit.name, language));
                marked.push_back(fault.box);
            }
            for (const TextReading& r : report.readings) {
                char line[64];
                std::snprintf(line, sizeof line, "%.2f:1 (needs %.1f) ", r.contrast, r.required);
                log << visit.name << " " << line << "\"" << wideToUtf8(r.text) << "\"\n";
                if (r.inkPixels && r.required > 0 && r.contrast / r.required < worst) {
                    worst = r.contrast / r.required;
                    worstText = visit.name + " \"" + wideToUtf8(r.text) + "\" " + line;
                }
            }
            sheet.add(visit.name, f.shown, f.width, f.height, f.picture, marked);
            if (!report.faults.empty()) {
                // The screen at full size, to look at what failed.
                ContactSheet single(1, int(f.picture.width()));
                single.add(visit.name, f.shown, f.width, f.height, f.picture, marked);
                single.write(std::string(VESK_LEGIBILITY_DIR) + "/" + language + "-" + std::to_string(pictureWidth) + "-" +
                             visit.name + ".png");
            }
            log << "TIME " << visit.name << " " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() << "\n";
        }
        for (const std::string& fault : faults) log << "FAULT " << fault << "\n";
        log << "WORST " << worstText << "\n";
        std::printf("[ LEGIBLE   ] %s at %d: %zu faults; worst contrast %s\n", language.c_str(), pictureWidth, faults.size(),
                    worstText.c_str());
        sheet.write(std::string(VESK_LEGIBILITY_DIR) + "/" + language + "-" + std::to_string(pictureWidth) + ".png");
        return faults;
    }

    std::string language;
    LegibilityRules rules;
    // The figures painted into the menus' pictures (the bear, the station, the tree, the train).
    PaintedFigures painted;
};

TEST_P(FrontEndLegibilityTest, EveryFrontEndScreenReadsClearly) {
    for (const std::string& fault : readAll(std::get<1>(GetParam()))) ADD_FAILURE() << fault;
}

// Falling snow never hides a text, wherever its flakes happen to be: the main menu, with the
// frame-rate counter (white letters straight on the picture) and a highlighted button, read with
// the flakes scattered from several seeds, after several times of falling and laid right on every
// text, finds no fault, and no text reads worse than with no snow at all.
class FrontEndSnowTest : public FrontEndLegibilityTest {
protected:
    // The main menu over a fresh snow scattered from 'seed' (without flakes: none at all).
    void showMainMenu(uint32_t seed, bool bFlakes) {
        clearStack();
        while (application->profileManager.countProfiles() > 0) application->profileManager.deleteProfile(0);
        application->profileManager.addProfile(u"Ann");
        application->gameConfiguration.bShowFps = 1;
        engine->pQelInput->setInputMode(INPUTMODE_MOUSE);
        randomSeed = seed;
        delete application->pContextMenuBackground;
        application->pContextMenuBackground = new ContextMenuBackground();
        auto* snow = dynamic_cast<SnowEffect*>(static_cast<QelBase*>(application->pContextMenuBackground->firstChild));
        ASSERT_NE(snow, nullptr);
        if (!bFlakes) snow->flakeCount = 0;
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
        auto* main = new ContextMain();
        stack->pushContext(main);
        // The pointer on a button: its caption in the highlight, the one nearest its contrast limit.
        engine->pQelInput->pointer = ContextMenu::worldToPointer(main, main->pOptionsButton->position);
    }
    // Reads the frame as it stands and adds it to the sheet; its faults fail the test unless they
    // are only to be compared.
    LegibilityReport read(const std::string& name, bool bFaultsFail = true) {
        const TracedFrame f = traceFrame(graphics, [&] { drawFrameWith([&] { stack->draw(); }); }, &painted);
        LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
        std::vector<PixelBox> marked;
        for (const LegibilityFault& fault : report.faults) {
            if (bFaultsFail) ADD_FAILURE() << fault.describe(name, language);
            marked.push_back(fault.box);
        }
        sheet.add(name, f.shown, f.width, f.height, f.picture, marked);
        picture = f.picture;
        return report;
    }
    // A back-buffer pixel of the last frame read as a point of the screens' world plane (the layout,
    // centred), where the default camera shows it.
    Vector3 worldAt(float x, float y) const {
        return Vector3((x - picture.left) / rules.pixelsPerUnit - float(graphics->layoutWidth) / 2.0f,
                       float(graphics->layoutHeight) / 2.0f - (y - picture.top) / rules.pixelsPerUnit, 0.0f);
    }
    ContactSheet sheet;
    // The picture of the last frame read.
    PixelBox picture;
};

TEST_P(FrontEndSnowTest, NoSnowSeedOrTimeHidesAText) {
    const int width = std::get<1>(GetParam());
    present(width);
    showMainMenu(1, false);
    for (int i = 0; i < 30; ++i) stack->tick(0, 0);
    std::map<WString, double> clear;
    std::vector<std::pair<WString, PixelBox>> inkBoxes;
    for (const TextReading& r : read("main-menu without snow").readings) {
        clear[r.text] = r.contrast;
        inkBoxes.emplace_back(r.text, r.ink);
    }
    ASSERT_GE(clear.size(), 9u);
    for (const uint32_t seed : {1u, 2u, 3u, 4u}) {
        showMainMenu(seed, true);
        int ticked = 0;
        for (const int ticks : {30, 100}) {
            for (; ticked < ticks; ++ticked) stack->tick(0, 0);
            const std::string name = "main-menu, snow seed " + std::to_string(seed) + " after " + std::to_string(ticks) + " frames";
            const LegibilityReport report = read(name);
            EXPECT_EQ(report.readings.size(), clear.size()) << name;
            for (const TextReading& r : report.readings)
                EXPECT_GE(r.contrast, 0.95 * clear[r.text]) << name << ": \"" << utf8Of(r.text) << "\" reads worse than without snow";
        }
    }
    // The worst case, whatever the seed: flakes laid right on every text, three to a line.
    showMainMenu(1, true);
    for (int i = 0; i < 30; ++i) stack->tick(0, 0);
    auto* snow = static_cast<SnowEffect*>(static_cast<QelBase*>(application->pContextMenuBackground->firstChild));
    int placed = 0;
    for (const auto& [text, box] : inkBoxes)
        for (const float share : {0.2f, 0.5f, 0.8f}) {
            if (placed == snow->flakeCount) break;
            SnowFlake& flake = snow->flakes[placed++];
            flake.position = worldAt(box.left + share * box.width(), (box.top + box.bottom) / 2.0f);
            flake.updateXform();
        }
    const LegibilityReport report = read("main-menu, flakes on every text");
    for (const TextReading& r : report.readings)
        EXPECT_GE(r.contrast, 0.95 * clear[r.text]) << "flakes on \"" << utf8Of(r.text) << "\": it reads worse than without snow";
    sheet.write(std::string(VESK_LEGIBILITY_DIR) + "/snow-" + language + "-" + std::to_string(width) + ".png");
}

// The train's smoke on the map passes behind the map's texts: the map with the train at a town
// whose name is under the pointer reads the same without smoke, after a while of puffing and with
// puffs laid right on every text (the head-up display's texts on its bar at the top edge are
// compared, not failed, as the in-game sweep reads them).
TEST_P(FrontEndSnowTest, MapSmokeNeverHidesAText) {
    const int width = std::get<1>(GetParam());
    present(width);
    const int stage = 6;
    auto showMap = [&](int detailLevel) {
        clearStack();
        application->gameConfiguration.detailLevel = detailLevel;
        while (application->profileManager.countProfiles() > 0) application->profileManager.deleteProfile(0);
        application->profileManager.addProfile(u"Ann");
        ProfileData& profile = application->profileManager.current();
        profile.resetGame();
        profile.level() = profile.highestLevel() = WorldManager::getStage(stage).firstLevel;
        engine->pQelInput->setInputMode(INPUTMODE_MOUSE);
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
        auto* map = new WorldManager();
        stack->pushContext(map);
        engine->pQelInput->pointer = ContextMenu::worldToPointer(map, map->stages[stage]->position);
        for (int i = 0; i < 90; ++i) stack->tick(0, 0);
        return map;
    };
    auto compare = [&](const LegibilityReport& clear, const LegibilityReport& report, const std::string& name) {
        EXPECT_EQ(report.readings.size(), clear.readings.size()) << name;
        EXPECT_EQ(report.faults.size(), clear.faults.size()) << name;
        for (size_t i = 0; i < std::min(report.readings.size(), clear.readings.size()); ++i)
            EXPECT_GE(report.readings[i].contrast, 0.95 * clear.readings[i].contrast)
                << name << ": \"" << utf8Of(report.readings[i].text) << "\" reads worse than without smoke";
    };
    showMap(0);
    const LegibilityReport clear = read("map without smoke", false);
    ASSERT_GE(clear.readings.size(), 3u);
    WorldManager* map = showMap(1);
    compare(clear, read("map, the train smoking", false), "map, the train smoking");
    for (const TextReading& r : clear.readings)
        for (const float share : {0.2f, 0.5f, 0.8f}) {
            const Vector3 at = worldAt(r.ink.left + share * r.ink.width(), (r.ink.top + r.ink.bottom) / 2.0f);
            map->pTrainLayer->addChild(new SmokeEffect(at.x, at.y, at.z, 3, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFF));
        }
    compare(clear, read("map, smoke on every text", false), "map, smoke on every text");
    sheet.write(std::string(VESK_LEGIBILITY_DIR) + "/smoke-" + language + "-" + std::to_string(width) + ".png");
}

INSTANTIATE_TEST_SUITE_P(English, FrontEndSnowTest, testing::Values(std::tuple(0, 1280)));

// The five languages at 1280 wide; the first also at the 16:9 and 4:3 pictures.
INSTANTIATE_TEST_SUITE_P(AllLanguages, FrontEndLegibilityTest,
                         testing::Values(std::tuple(0, 1280), std::tuple(1, 1280), std::tuple(2, 1280),
                                         std::tuple(3, 1280), std::tuple(4, 1280), std::tuple(0, 1200),
                                         std::tuple(0, 1024)));

}  // namespace
