// The world map on the real screen stack: its towns, train and buttons, the progress it books from
// level results (lives, next level, new town, game over, the end of the campaign), the clamps of a
// damaged profile, restarts at reached towns, keys reaching the towns, one map at a time, and
// resuming a saved game.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GameScreenFixture.h"
#include "game/ContextMainGame.h"
#include "ui/HighScoreEntry.h"
#include "ui/ProfileManager.h"
#include "ui/IrisCurtain.h"
#include "ui/MenuItemClose.h"
#include "ui/TextLabel.h"
#include "engine/Logger.h"
#include "engine/Utilities.h"
#include "game/ContextMessage.h"
#include "game/ContextRestartConfirm.h"
#include "game/FlareEffect.h"
#include "game/Hud.h"
#include "game/LayoutTable.h"
#include "game/SmokeEffect.h"
#include "game/TrackStrip.h"
#include "game/WorldManager.h"
#include "game/WorldMapButton.h"
#include "game/WorldMapMarker.h"
#include "media/AudioEnvironment.h"
#include "media/QelAudio.h"
#include "media/SoundStream.h"
#include "menus/ContextHighScores.h"
#include "platform/FileSystem.h"
#include "support/ChildChecks.h"
#include "support/FolderTrouble.h"
#include "support/OggEncoder.h"
#include "support/TestFolder.h"

namespace {

struct WorldMapTest : GameScreenTest {
    void SetUp() override {
        GameScreenTest::SetUp();
        pictures->addSkin(u"worldMap:0", 800, 480);
        addSkins(u"worldMapMarkers", 2, 36, 36);
        addSkins(u"ladder", 1, 64, 32);
        // The menu music: a short tone served from memory.
        AudioEnvironment::readFileHook = [](const WString&, bool, ByteBuffer& bytes) {
            const std::string ogg = encodeOgg(makeTone(440.0, 22050, 2205), 1, 22050);
            bytes.bytes.assign(ogg.begin(), ogg.end());
            return true;
        };
        AudioEnvironment::verifyFileHook = [](const WString&) { return true; };
        music = new SoundStream(1, u"theme.ogg");
        pictures->holder.addChild(music);
        qel->pResourceManager->addResource(music, u"musicMenu");
        application->gameConfiguration.detailLevel = 1;
    }
    void TearDown() override {
        GameScreenTest::TearDown();
        AudioEnvironment::readFileHook = nullptr;
        AudioEnvironment::verifyFileHook = nullptr;
    }

    WorldManager* openMap() {
        auto* map = new WorldManager();
        stack->pushContext(map);
        step();
        return map;
    }
    // A level in progress pushed over the map, as the play button does.
    GameController* pushLevel() {
        auto* controller = new GameController();
        application->pGameController = controller;
        stack->pushContext(controller);
        step();
        return controller;
    }
    // The level reports its result and finishes; the map comes back to the front.
    void finishLevel(WorldManager* map, GameController* controller, int result) {
        map->onLevelResult(result);
        controller->bDone = true;
        step();
    }
    // Plays the current level to its result from the map.
    void playTo(WorldManager* map, int result) { finishLevel(map, pushLevel(), result); }
    // The screens of the stack, bottom first.
    std::vector<Context*> screens() const {
        std::vector<Context*> out;
        for (BasicLink* l = stack->firstChild; l; l = l->next) out.push_back(static_cast<Context*>(l));
        return out;
    }
    static std::string log() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }
    template <typename T>
    static int countChildren(QelBase* parent) {
        int n = 0;
        for (BasicLink* l = parent->firstChild; l; l = l->next) n += dynamic_cast<T*>(static_cast<QelBase*>(l)) != nullptr;
        return n;
    }
    static std::vector<WString> labelTexts(Context* screen) {
        std::vector<WString> texts;
        for (BasicLink* l = screen->firstChild; l; l = l->next)
            if (auto* label = dynamic_cast<TextLabel*>(static_cast<QelBase*>(l))) texts.push_back(label->text);
        return texts;
    }

    SoundStream* music = nullptr;
};

void removeFile(const WString& path) { std::remove(wideToUtf8(path).c_str()); }

void expectNear(const Vector3& a, const Vector3& b, float tolerance = 0.01f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST_F(WorldMapTest, TownsTrainAndButtonsInMapSpace) {
    WorldManager* map = openMap();
    EXPECT_EQ(WorldManager::current(), map);
    EXPECT_EQ(application->pWorldManager, map);
    // The map's first point, 3.125 x (-103.9, -10.3), with y squeezed by 0.8 as the picture paints it.
    expectNear(map->stages[0]->position, Vector3(3.125f * -103.9f, 0.8f * 3.125f * -10.3f, 0.0f));
    EXPECT_EQ(map->stages[0]->townName, u"South Bend");
    EXPECT_EQ(map->stages[14]->townName, u"North Pole Central");
    for (int s = 0; s < WorldManager::STAGE_COUNT; ++s) {
        Vector3 at;
        map->mapPath.getPoint(std::min(WorldManager::getStage(s).startDistance, map->mapPath.length), at);
        expectNear(map->stages[s]->position, at);
        EXPECT_EQ(map->stages[s]->firstLevel, WorldManager::getStage(s).firstLevel);
        EXPECT_FLOAT_EQ(map->stages[s]->collisionSensitivity, 1.8f);
    }
    // The train at South Bend, 10 below the line.
    expectNear(map->pTrain->position, map->stages[0]->position - Vector3(0.0f, 10.0f, 0.0f));
    EXPECT_EQ(map->pPlayButton->caption, u"Play!");
    expectNear(map->pPlayButton->position, Vector3(-230.0f, -140.0f, 0.0f));
    expectNear(map->pBackButton->position, Vector3(-230.0f, -190.0f, 0.0f));
    EXPECT_FALSE(map->pHud->bInGame);
    EXPECT_EQ(map->lastChild, map->pHud);
    // Fifteen towns and the two buttons are what keys can visit.
    EXPECT_EQ(map->navigation.countChildren(), 17);
}

TEST_F(WorldMapTest, PlayButtonCaptionFollowsTheLevelAndTheLevelInProgress) {
    const struct {
        int level;
        bool inProgress;
        const char16_t* caption;
    } cases[] = {{0, false, u"Play!"}, {1, false, u"Play next level"}, {40, false, u"Play next level"},
                 {0, true, u"Continue level"}, {40, true, u"Continue level"}};
    WorldManager* map = openMap();
    for (const auto& c : cases) {
        profile().level() = c.level;
        if (c.inProgress) application->pGameController = new GameController();
        step();
        EXPECT_EQ(map->pPlayButton->caption, c.caption) << "level " << c.level;
        EXPECT_EQ(map->pPlayButton->bNewGame, !c.inProgress);
        delete application->pGameController;
    }
}

TEST_F(WorldMapTest, PlayStartsANewLevelOrContinuesTheOneInProgress) {
    WorldManager* map = openMap();
    clickAt(map->pPlayButton->position);
    auto* controller = static_cast<GameController*>(application->pGameController);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(stack->getTopContext(), controller);
    EXPECT_NE(log().find("Starting level 0."), std::string::npos);
    // Back on the map (as the pause's return to the map does), the same level continues.
    controller->bDone = true;
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    step();
    EXPECT_EQ(map->pPlayButton->caption, u"Continue level");
    clickAt(map->pPlayButton->position);
    EXPECT_EQ(application->pGameController, controller);
    EXPECT_EQ(stack->getTopContext(), controller);
    EXPECT_NE(log().find("Continuing level 0."), std::string::npos);
}

TEST_F(WorldMapTest, AWinGlidesTheTrainByOneLevelsShareInTwoSeconds) {
    profile().level() = 4;  // stage 1: from 220, four levels over 220
    WorldManager* map = openMap();
    EXPECT_FLOAT_EQ(map->trainAt, 220.0f);
    playTo(map, WorldManager::RESULT_WON);
    EXPECT_EQ(profile().level(), 5);
    EXPECT_EQ(profile().highestLevel(), 5);
    EXPECT_EQ(application->pGameController, nullptr);
    // Half way after one second, rocking with 0.1 x sin(8 pi t).
    for (int i = 0; i < 30; ++i) step(1.0 / 30.0);
    EXPECT_NEAR(map->trainAt, 220.0f + 55.0f * map->trainT, 0.01f);
    EXPECT_NEAR(map->trainT, 0.5f, 0.02f);
    EXPECT_NEAR(map->pTrain->rotation.z, 0.1f * std::sin(8.0f * 3.1415927f * map->trainT), 1e-4f);
    // The line ends at the train: a rung every 12 units and one more at the end.
    EXPECT_EQ(map->pStrip->quad->vertexBuffer.vertices, 2 * int(map->trainAt / 12.0f + 2.0f));
    for (int i = 0; i < 40; ++i) step(1.0 / 30.0);
    EXPECT_FLOAT_EQ(map->trainT, 1.0f);
    EXPECT_FLOAT_EQ(map->trainAt, 275.0f);
    Vector3 at;
    map->mapPath.getPoint(275.0f, at);
    expectNear(map->pTrain->position, at - Vector3(0.0f, 10.0f, 0.0f));
    EXPECT_NEAR(map->pTrain->rotation.z, 0.0f, 1e-6f);
}

TEST_F(WorldMapTest, ALostLevelCostsALifeAndKeepsTheLevel) {
    profile().level() = 6;
    profile().highestLevel() = 6;
    profile().score() = 900;
    WorldManager* map = openMap();
    playTo(map, WorldManager::RESULT_LOST);
    EXPECT_EQ(profile().lives(), 2);
    EXPECT_EQ(profile().level(), 6);
    EXPECT_EQ(profile().score(), 900);
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(stack->getTopContext(), map);
    EXPECT_EQ(application->lastHighScoreRow, -1);
}

TEST_F(WorldMapTest, LosingTheLastLifeIsGameOverWithTheScoreEnteredAndARestartAtTheStagesFirstLevel) {
    profile().level() = 14;  // stage 3, from level 12
    profile().highestLevel() = 15;
    profile().score() = 123456;
    profile().lives() = 1;
    WorldManager* map = openMap();
    SoundTrace::played.clear();
    playTo(map, WorldManager::RESULT_LOST);

    const HIGHSCOREENTRY& row = application->gameConfiguration.highScores[0];
    EXPECT_EQ(row.score, 123456);
    EXPECT_EQ(row.level, 14);
    uint8_t seal[16];
    GameConfiguration::computeSeal(row, seal);
    EXPECT_EQ(std::memcmp(seal, row.seal, 16), 0) << "the row is sealed";
    EXPECT_EQ(application->lastHighScoreRow, 0);
    EXPECT_EQ(profile().level(), 12);
    EXPECT_EQ(profile().highestLevel(), 15);
    EXPECT_EQ(profile().score(), 0);
    EXPECT_EQ(profile().lives(), 3);
    EXPECT_EQ(SoundTrace::count(u"toot2"), 1);

    // "Game Over!" for five seconds (or until skipped) over the high scores, over the map.
    step();
    std::vector<Context*> s = screens();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0], map);
    EXPECT_NE(dynamic_cast<ContextHighScores*>(s[1]), nullptr);
    Context* over = s[2];
    EXPECT_TRUE(over->bAnyKeyCloses);
    EXPECT_TRUE(over->bDeleteWhenDone);
    EXPECT_DOUBLE_EQ(over->timeLimit, 5.0);
    auto* label = dynamic_cast<TextLabel*>(static_cast<QelBase*>(over->firstChild));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, u"Game Over!");
    EXPECT_DOUBLE_EQ(label->delay, 1.0 - over->totalTime);
    EXPECT_DOUBLE_EQ(label->duration, 3.0);
    EXPECT_DOUBLE_EQ(label->fadeIn, 0.25);
    EXPECT_DOUBLE_EQ(label->fadeOut, 0.5);
    for (int i = 0; i < 60 * 5 + 2; ++i) step();
    EXPECT_NE(dynamic_cast<ContextHighScores*>(stack->getTopContext()), nullptr);
}

TEST_F(WorldMapTest, NewTownMessageForStagesOneToThirteenOnly) {
    const struct {
        int level;
        const char16_t* town;  // null: no message
    } cases[] = {{1, nullptr}, {3, u"Sugar Creek"}, {65, u"Pine Grove"}, {73, u"Klondike"}, {81, nullptr}};
    for (const auto& c : cases) {
        profile().resetGame();
        profile().level() = c.level;
        WorldManager* map = openMap();
        SoundTrace::played.clear();
        playTo(map, WorldManager::RESULT_WON);
        EXPECT_EQ(profile().level(), c.level + 1);
        step();
        auto* message = dynamic_cast<ContextMessage*>(stack->getTopContext());
        if (!c.town) {
            EXPECT_EQ(message, nullptr) << "level " << c.level;
            EXPECT_EQ(SoundTrace::count(u"extraLife"), 0);
        } else {
            ASSERT_NE(message, nullptr) << "level " << c.level;
            EXPECT_EQ(message->titleText, u"Well Done!");
            EXPECT_NE(message->bodyText.find(c.town), WString::npos);
            EXPECT_EQ(SoundTrace::count(u"extraLife"), 1);
            ASSERT_EQ(SoundTrace::count(u"toot"), 1);
            for (const auto& p : SoundTrace::played)
                if (p.first == u"toot") {
                    EXPECT_FLOAT_EQ(p.second, 1.5f);
                }
            message->bDone = true;
            step();
        }
        map->bDone = true;
        step();
        EXPECT_EQ(application->pWorldManager, nullptr);
    }
}

TEST_F(WorldMapTest, WinningTheLastLevelEndsTheCampaignWithEveryTownOpen) {
    profile().level() = 82;
    profile().highestLevel() = 82;
    profile().score() = 2000000;
    WorldManager* map = openMap();
    GameController* controller = pushLevel();
    map->onLevelResult(WorldManager::RESULT_WON);
    // Nothing beyond the last level: the profile does not advance.
    EXPECT_EQ(profile().level(), 82);
    controller->bDone = true;
    step();
    EXPECT_EQ(application->gameConfiguration.highScores[0].score, 2000000);
    EXPECT_EQ(application->gameConfiguration.highScores[0].level, 82);
    EXPECT_EQ(application->lastHighScoreRow, 0);
    EXPECT_EQ(profile().level(), 0);
    EXPECT_EQ(profile().score(), 0);
    EXPECT_EQ(profile().lives(), 3);
    EXPECT_EQ(profile().highestLevel(), 82);
    step();
    std::vector<Context*> s = screens();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_NE(dynamic_cast<ContextHighScores*>(s[1]), nullptr);
    Context* story = s[2];
    EXPECT_TRUE(story->bAnyKeyCloses);
    const std::vector<WString> texts = labelTexts(story);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts.front(), u"You made it!");
    EXPECT_EQ(texts.back(), u"Merry Christmas and Happy Holidays!");
    // Skipped: the high scores, then the map with every town open and the train going home.
    TouchPoint* t = press();
    step();
    endTouches();
    step();
    EXPECT_NE(dynamic_cast<ContextHighScores*>(stack->getTopContext()), nullptr);
    stack->getTopContext()->bDone = true;
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    for (WorldMapMarker* marker : map->stages) EXPECT_TRUE(marker->bEnabled) << marker->firstLevel;
    EXPECT_FLOAT_EQ(map->trainTo, 0.0f);
    (void)t;
}

TEST_F(WorldMapTest, ProfileCountersAreClampedWhenTheMapIsBuilt) {
    const struct {
        int level, highest, lives, score;
        int wantLevel, wantHighest, wantLives;
    } cases[] = {
        {-5, -3, 3, 0, 0, 0, 3},       {90, 100, 2, 10, 82, 82, 2},  {10, 3, 1, 0, 10, 10, 1},
        {10, 200, 3, 0, 10, 82, 3},    {30, 40, 3, 5, 30, 40, 3},
        // A zeroed profile without lives or score: a new game (the highest level kept).
        {30, 40, 0, 0, 0, 40, 3},
    };
    for (const auto& c : cases) {
        ProfileData& p = profile();
        p.level() = c.level;
        p.highestLevel() = c.highest;
        p.lives() = c.lives;
        p.score() = c.score;
        WorldManager* map = openMap();
        EXPECT_EQ(p.level(), c.wantLevel) << c.level;
        EXPECT_EQ(p.highestLevel(), c.wantHighest) << c.level;
        EXPECT_EQ(p.lives(), c.wantLives) << c.level;
        map->bDone = true;
        step();
    }
}

TEST_F(WorldMapTest, NoLivesLeftWithAScoreCompletesTheGameOverAtTheFirstActivation) {
    profile().level() = 20;
    profile().highestLevel() = 21;
    profile().lives() = 0;
    profile().score() = 654321;
    openMap();
    ASSERT_GE(application->lastHighScoreRow, 0);
    EXPECT_EQ(application->gameConfiguration.highScores[application->lastHighScoreRow].score, 654321);
    EXPECT_EQ(profile().level(), 17);
    EXPECT_EQ(profile().lives(), 3);
    step();
    EXPECT_NE(dynamic_cast<ContextHighScores*>(screens()[1]), nullptr);
}

TEST_F(WorldMapTest, TownsBeyondTheHighestLevelAreInert) {
    profile().level() = 5;
    profile().highestLevel() = 5;
    WorldManager* map = openMap();
    WorldMapMarker* reached = map->stages[1];   // first level 4
    WorldMapMarker* beyond = map->stages[2];    // first level 8
    EXPECT_TRUE(reached->bEnabled);
    EXPECT_FALSE(beyond->bEnabled);
    EXPECT_EQ(beyond->getNavigationPoint(0), WorldMapMarker::endOfPoints());

    pointerAt(beyond->position.x, beyond->position.y);
    for (int i = 0; i < 12; ++i) step();
    TouchPoint* t = press();
    step();
    endTouches();
    EXPECT_FALSE(beyond->bHover);
    EXPECT_FLOAT_EQ(beyond->scale.x, 1.0f);
    EXPECT_EQ(countChildren<FlareEffect>(map->pEffectsLayer), 0);
    EXPECT_EQ(profile().level(), 5);
    EXPECT_EQ(stack->getTopContext(), map);
    (void)t;

    // A reached town pulses and throws sparks (one burst each 0.1 s) while the pointer is on it.
    pointerAt(reached->position.x, reached->position.y);
    for (int i = 0; i < 7; ++i) step();
    EXPECT_TRUE(reached->bHover);
    EXPECT_FLOAT_EQ(reached->scale.x, WorldMapMarker::pulseScale(map->totalTime));
    EXPECT_EQ(countChildren<FlareEffect>(map->pEffectsLayer), 1);
}

TEST_F(WorldMapTest, ATownRestartsAtOnceWithScoreZeroElseAsksFirst) {
    profile().level() = 9;
    profile().highestLevel() = 9;
    WorldManager* map = openMap();
    pushLevel()->bDone = true;  // a level left through the pause: it waits
    step();
    ASSERT_NE(application->pGameController, nullptr);

    profile().score() = 0;
    SoundTrace::played.clear();
    pointerAt(map->stages[1]->position.x, map->stages[1]->position.y);
    step();
    press();
    step();
    endTouches();
    EXPECT_EQ(profile().level(), 4);
    EXPECT_EQ(application->pGameController, nullptr) << "the abandoned level is deleted";
    EXPECT_EQ(SoundTrace::count(u"toot2"), 1);

    profile().score() = 100;
    pointerAt(map->stages[2]->position.x, map->stages[2]->position.y);
    step();
    press();
    step();
    endTouches();
    step();
    auto* question = dynamic_cast<ContextRestartConfirm*>(stack->getTopContext());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->restartLevel, 8);
    EXPECT_EQ(profile().level(), 4);
    EXPECT_EQ(profile().score(), 100);
}

// Towns 2 and 4 lie closer than two hit radii: a press over both acts on the nearer only, once:
// one restart with a score of 0, one question with a score.
TEST_F(WorldMapTest, APressOverTwoTownsActsOnTheNearerOnly) {
    profile().level() = 82;
    profile().highestLevel() = 82;
    WorldManager* map = openMap();
    WorldMapMarker* two = map->stages[2];
    WorldMapMarker* four = map->stages[4];
    const Vector3 gap = four->position - two->position;
    ASSERT_LT(std::hypot(gap.x, gap.y), 2.0f * four->boundsRadius * WorldMapMarker::COLLISION_SENSITIVITY);
    // Nearer town 4, the later one of the two.
    const Vector3 at = two->position + gap * 0.6f;
    for (const int score : {0, 100}) {
        SCOPED_TRACE(score);
        profile().score() = score;
        profile().level() = 82;
        SoundTrace::played.clear();
        pointerAt(at.x, at.y);
        step();
        ASSERT_TRUE(two->bHover && four->bHover);
        press();
        step();
        endTouches();
        step();
        if (score == 0) {
            EXPECT_EQ(profile().level(), four->firstLevel);
            EXPECT_EQ(SoundTrace::count(u"toot2"), 1);
            EXPECT_EQ(stack->getTopContext(), map);
        } else {
            EXPECT_EQ(countChildren<ContextRestartConfirm>(stack), 1);
            auto* question = dynamic_cast<ContextRestartConfirm*>(stack->getTopContext());
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(question->restartLevel, four->firstLevel);
            EXPECT_EQ(profile().level(), 82);
            EXPECT_EQ(SoundTrace::count(u"toot2"), 0);
        }
    }
}

TEST_F(WorldMapTest, KeysReachTheTownsThroughTheirAnchors) {
    profile().level() = 82;
    profile().highestLevel() = 82;
    WorldManager* map = openMap();
    for (WorldMapMarker* marker : map->stages) {
        const Vector3 anchor = marker->getCaptionAnchor(false);
        // Inside the screen, where the menu's navigation looks for targets...
        EXPECT_TRUE(anchor.x >= 0.0f && anchor.x < 800.0f && anchor.y > 0.0f && anchor.y <= 480.0f) << marker->firstLevel;
        // ...and exactly on the town once the pointer is put there.
        expectNear(ContextMenu::pointerToWorld(map, anchor), marker->position);
    }
    EXPECT_EQ(map->stages[0]->getCaptionAnchor(true), WorldMapMarker::endOfPoints());

    // From the play button, Up goes to a town; the town is hovered and selected there.
    input()->pointer = map->pPlayButton->getNavigationPoint(0);
    step();
    keys({200});
    step();
    keys({});
    step();
    WorldMapMarker* reached = nullptr;
    for (WorldMapMarker* marker : map->stages)
        if (marker->getCaptionAnchor(false).x == input()->pointer.x && marker->getCaptionAnchor(false).y == input()->pointer.y)
            reached = marker;
    ASSERT_NE(reached, nullptr);
    EXPECT_TRUE(reached->bHover);
    EXPECT_TRUE(reached->bSelected);
}

TEST_F(WorldMapTest, OneMapAtATimeDeletedWhenItLeavesTheStackWithTheLevelInProgress) {
    // A named player: the main menu's greeting asks for nothing.
    std::strcpy(profile().name, "Tester");
    auto* menu = new ContextMainGame();
    stack->pushContext(menu);
    step();
    menu->createWorld();
    auto* map = static_cast<WorldManager*>(application->pWorldManager);
    ASSERT_NE(map, nullptr);
    menu->createWorld();
    EXPECT_EQ(application->pWorldManager, map) << "the map on the stack stays the only one";
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    EXPECT_EQ(screens().size(), 2u);

    pushLevel()->bDone = true;
    step();
    ASSERT_NE(application->pGameController, nullptr);
    // BACK: the main menu again, no map and no level left behind.
    clickAt(map->pBackButton->position);
    step();
    EXPECT_EQ(stack->getTopContext(), menu);
    EXPECT_EQ(application->pWorldManager, nullptr);
    EXPECT_EQ(application->pGameController, nullptr);

    // Escape leaves a new map the same way.
    menu->createWorld();
    step();
    ASSERT_NE(application->pWorldManager, nullptr);
    keys({1});
    step();
    keys({});
    step();
    EXPECT_EQ(stack->getTopContext(), menu);
    EXPECT_EQ(application->pWorldManager, nullptr);
}

TEST_F(WorldMapTest, QuittingFromTheMapWithALevelInProgressFreesBoth) {
    WorldManager* map = openMap();
    GameController* controller = pushLevel();
    controller->bDone = true;
    step();
    EXPECT_EQ(stack->getTopContext(), map);
    // The application goes first at exit (the sanitizers watch for leaks and double deletes).
    delete application;
    application = nullptr;
}

TEST_F(WorldMapTest, QuittingDuringALevelOverTheMapFreesBoth) {
    openMap();
    pushLevel();
    delete application;
    application = nullptr;
}

TEST_F(WorldMapTest, ActivationOpensTheCurtainPlaysTheMenuMusicAndSavesTheUserData) {
    stack->pCurtain->closedness = stack->pCurtain->targetClosedness = 1.0f;
    qel->pQelAudio->setMusic(nullptr);
    const WString profiles = ProfileManager::getProfilesPath();
    removeFile(profiles);
    openMap();
    EXPECT_FLOAT_EQ(stack->pCurtain->closedness, 0.0f);
    EXPECT_FLOAT_EQ(stack->pCurtain->targetClosedness, 0.0f);
    EXPECT_EQ(qel->pQelAudio->pCurrentMusic, music);
    EXPECT_TRUE(fileExists(profiles));
}

TEST_F(WorldMapTest, TheTrainSmokesOnlyWithDetail) {
    WorldManager* map = openMap();
    for (int i = 0; i < 6; ++i) step(1.0 / 60.0);
    ASSERT_EQ(countChildren<SmokeEffect>(map->pTrainLayer), 1);
    auto* smoke = static_cast<SmokeEffect*>(static_cast<QelBase*>(map->pTrainLayer->lastChild));
    EXPECT_EQ(smoke->count, 4);
    EXPECT_FLOAT_EQ(smoke->maxSpeed, 10.0f);
    EXPECT_FLOAT_EQ(smoke->size, 0.6f);
    application->gameConfiguration.detailLevel = 0;
    for (int i = 0; i < 30; ++i) step(1.0 / 60.0);
    EXPECT_LE(countChildren<SmokeEffect>(map->pTrainLayer), 1);
}

TEST_F(WorldMapTest, ASavedGameFlagWithoutItsFileIsCleared) {
    profile().bHasSavedGame = 1;
    removeFile(profile().getSavedGamePath());
    openMap();
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(log().find("Found saved game."), std::string::npos);
}

// A saved game that is there but cannot be used is never taken for a missing one: the level
// starts afresh, the file and the profile's flag stay as they are for the whole run, nothing is
// saved over it, and one line on standard error (and the log) names the file and the reason.
// Each case in a child process of its own: the file kept unchanged, the once-per-run line and a
// dropped privilege last until the process ends.
struct UnusableSavedGame {
    const char* name;
    // Puts the thing in the saved game's place; the tree is the user-data folder.
    std::function<void(const std::string& path, const std::string& tree)> make;
    const char* reason;  // what standard error gives as the reason (a pattern)
};

int failReadingSavedGames(const std::string& path, platform::FileStep step) {
    const std::string saved = wideToUtf8(GameController::currentProfile()->getSavedGamePath());
    return step == platform::FileStep::READ && path == saved ? EIO : 0;
}

void makeSocket(const std::string& path) {
    // The folder first: a socket's path must be short.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string here = std::filesystem::current_path().string();
    std::filesystem::current_path(folder);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = std::filesystem::path(path).filename().string();
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", name.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    CHILD_EXPECT(fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0);
    std::filesystem::current_path(here);
}

// What the file system says of the path itself: the same object, untouched, after the run.
std::string identity(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return "gone";
    return std::to_string(st.st_ino) + "/" + std::to_string(st.st_mode) + "/" + std::to_string(st.st_size) + "/" +
           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

using WorldMapDeathTest = WorldMapTest;

TEST_F(WorldMapDeathTest, AnUnusableSavedGameIsKeptWithItsFlagForTheWholeRun) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on with the fixture as it is
    const UnusableSavedGame cases[] = {
        {"a folder", [](const std::string& p, const std::string&) {
             std::filesystem::create_directory(p);
             writeFileBytes(p + "/inside", "kept");
         }, "it is a folder, not a regular file"},
        {"a named pipe", [](const std::string& p, const std::string&) { CHILD_EXPECT(mkfifo(p.c_str(), 0644) == 0); },
         "it is a named pipe, not a regular file"},
        {"a socket", [](const std::string& p, const std::string&) { makeSocket(p); }, "it is a socket, not a regular file"},
        {"a symbolic link to nothing", [](const std::string& p, const std::string&) { std::filesystem::create_symlink(p + ".gone", p); },
         "it is a symbolic link to nothing"},
        {"a looping symbolic link", [](const std::string& p, const std::string&) { std::filesystem::create_symlink(p, p); },
         "Too many levels of symbolic links"},
        {"a symbolic link to a device", [](const std::string& p, const std::string&) { std::filesystem::create_symlink("/dev/null", p); },
         "it is a device, not a regular file"},
        {"a file the player may not read", [](const std::string& p, const std::string& tree) {
             writeFileBytes(p, std::string(219, 's'));
             std::fprintf(stderr, "unreadable by %s\n", makeFileUnreadable(p, tree).c_str());
         }, "Permission denied"},
        {"a file that fails to read", [](const std::string& p, const std::string&) {
             writeFileBytes(p, std::string(219, 's'));
             platform::setFileFaultHook(failReadingSavedGames);
         }, "Input/output error"},
    };
    auto scenario = [this](const UnusableSavedGame& c) {
        const std::string path = wideToUtf8(profile().getSavedGamePath());
        profile().bHasSavedGame = 1;
        application->profileManager.save();
        c.make(path, wideToUtf8(getCommonAppDataFolder()));
        const std::string before = identity(path);
        ChildStderr capture;
        const size_t logged = log().size();
        WorldManager* map = openMap();
        CHILD_EXPECT(application->pGameController == nullptr);
        CHILD_EXPECT(profile().bHasSavedGame == 1);
        CHILD_EXPECT(std::make_unique<ProfileManager>()->current().bHasSavedGame == 1);
        // The level is played from its start; leaving it in play, losing the window and coming
        // back write nothing over the file and keep the flag.
        auto* level = new GameController();
        application->pGameController = level;
        level->state = GameController::STATE_PLAYING;
        CHILD_EXPECT(!level->save());
        level->onQELmodeChange(Qel::MODE_OK, Qel::MODE_PAUSED);
        level->onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_OK);
        map->bDone = true;  // the map takes the level in play with it, saving it
        step();
        CHILD_EXPECT(application->pGameController == nullptr);
        openMap();  // the next map of the run does not try the file again
        CHILD_EXPECT(application->pGameController == nullptr);
        CHILD_EXPECT(profile().bHasSavedGame == 1);
        CHILD_EXPECT(std::make_unique<ProfileManager>()->current().bHasSavedGame == 1);
        CHILD_EXPECT(identity(path) == before);
        CHILD_EXPECT(!std::filesystem::exists(path + ".tmp"));
        CHILD_EXPECT(!std::filesystem::exists(path + ".bad"));
        const std::string err = capture.take();
        CHILD_EXPECT(countOf(err, "'" + path + "'") == 1);  // once in the run
        const std::string text = log().substr(logged);
        CHILD_EXPECT(countOf(text, "WorldManager::WorldManager(): The saved game '" + path + "' cannot be read (") == 1);
        CHILD_EXPECT(text.find("GameController::save(): The game is not saved: '" + path + "' could not be used") != std::string::npos);
        CHILD_EXPECT(text.find("Found saved game") == std::string::npos);
        finishChild(err);
    };
    for (const UnusableSavedGame& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        std::filesystem::remove_all(wideToUtf8(profile().getSavedGamePath()), ec);
        EXPECT_EXIT(scenario(c), testing::ExitedWithCode(0),
                    std::string("VeskDiruzuri: The saved game '[^']*/VeskDiruzuri\\.pro\\.[0-9a-f]+' cannot be read \\(") + c.reason +
                        "\\); it is left as it is, with its flag, and no game is saved over it in this run\\.");
        std::filesystem::remove_all(wideToUtf8(profile().getSavedGamePath()), ec);
    }
}

TEST_F(WorldMapTest, ASavedGameThatDoesNotLoadLeavesNoLevelAndNoFlag) {
    profile().bHasSavedGame = 1;
    const WString path = profile().getSavedGamePath();
    writeFileBytes(wideToUtf8(path), std::string("\x00\x78\x56\x34\x12", 5));
    WorldManager* map = openMap();
    const std::string text = log();
    const size_t found = text.find("WorldManager::WorldManager(): Found saved game. Loading...");
    ASSERT_NE(found, std::string::npos);
    EXPECT_NE(text.find("WorldManager::WorldManager(): ...failed!", found), std::string::npos);
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_EQ(map->pPlayButton->caption, u"Play!");
    removeFile(path);
}

namespace {
// Says, when deleted, whether it was allowed to write the saved game.
struct WatchedController : GameController {
    ~WatchedController() override { savedWhenDeleted = bSaveWhenDeleted ? 1 : 0; }
    static inline int savedWhenDeleted = -1;
};
}  // namespace

TEST_F(WorldMapTest, ATownRestartDropsTheLevelUnsavedWhileLeavingTheMapKeepsIt) {
    WorldManager* map = openMap();
    application->pGameController = new WatchedController();
    WorldManager::restartAtLevel(0);
    EXPECT_EQ(WatchedController::savedWhenDeleted, 0);

    WatchedController::savedWhenDeleted = -1;
    application->pGameController = new WatchedController();
    map->bDone = true;
    step();
    EXPECT_EQ(application->pGameController, nullptr);
    EXPECT_EQ(WatchedController::savedWhenDeleted, 1);
}
