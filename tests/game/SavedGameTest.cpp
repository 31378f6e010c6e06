// The saved game on the headless harness: a level played by the automatic player is saved and
// loaded at several moments and writes the same bytes again; the byte layout; the profile's flag
// on disk; a folder that cannot be written; and a table of damaged files, each refused without
// harm, kept aside as ".bad", with nothing written in its place.

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "ui/ProfileManager.h"
#include "engine/Logger.h"
#include "engine/Packet.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "game/AutoPlayer.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/ContextLevelComplete.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"
#include "platform/FileSystem.h"
#include "support/ChildChecks.h"
#include "support/FolderTrouble.h"
#include "support/TestFolder.h"

namespace {

using Bytes = std::string;

class SavedGameTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    void SetUp() override {
        GameController::soundHook = [](WStringView, float) {};
        harness->application->gameConfiguration.bTutorial = 0;
        removeFile(path());
        removeFile(path() + u".bad");
        profile().bHasSavedGame = 0;
        harness->application->profileManager.save();
    }
    void TearDown() override {
        platform::setFileFaultHook(nullptr);
        harness->clearWorld();
        GameController::soundHook = nullptr;
        removeFile(path());
        removeFile(path() + u".bad");
    }

    static ProfileData& profile() { return *GameController::currentProfile(); }
    static WString path() { return profile().getSavedGamePath(); }
    static void removeFile(const WString& p) { std::remove(wideToUtf8(p).c_str()); }
    static Bytes fileBytes(const WString& p) { return readFileBytes(wideToUtf8(p)); }
    static size_t logSize() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())).size(); }
    static std::string logSince(size_t from) { return readFileBytes(wideToUtf8(Logger::getLogFilePath())).substr(from); }
    // The flag as the profiles file holds it (a second manager reads the file; it writes back
    // the same record when it goes).
    static int flagOnDisk() {
        auto disk = std::make_unique<ProfileManager>();
        return disk->current().bHasSavedGame;
    }

    // Level L played by the automatic player on the screen stack, until 'frames' frames have run
    // (or the level has left play).
    GameController* play(int level, int frames, AutoPlayer& player) {
        GameController* g = harness->playLevel(level);
        harness->pushGame();
        runPlayer(player, frames);
        return g;
    }
    static void runPlayer(AutoPlayer& player, int frames) {
        ContextManager* stack = harness->application->pContextManager;
        for (int i = 0; i < frames; ++i) {
            player.step();
            harness->frame();
            if (auto* tally = dynamic_cast<ContextLevelComplete*>(stack->getTopContext()); tally && tally->bBonusSettled) tally->bDone = true;
        }
    }
    // A fresh controller loading the profile's saved game (not on the stack, not the application's).
    static std::unique_ptr<GameController> loadSaved(bool* loaded) {
        auto controller = std::make_unique<GameController>();
        *loaded = controller->load();
        // The harness's game is the level host again for anything it runs next.
        if (harness->game) LevelHost::setCurrent(harness->game);
        return controller;
    }
    static Bytes image(GameController& g) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(g.writeSavedGame(GameController::currentLevel(), bytes));
        return Bytes(bytes.begin(), bytes.end());
    }
    static int countHeld(GameController& g, bool powerUps) {
        int n = 0;
        for (Track* track : g.pLevel->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next)
                    for (BasicLink* c = s->firstChild; c; c = c->next)
                        for (BasicLink* slot = static_cast<Car*>(c)->slots.firstChild; slot; slot = slot->next)
                            if (const Cargo* held = static_cast<CargoSlot*>(slot)->held) n += held->bPowerUp == powerUps;
        return n;
    }

    static inline PlayHarness* harness = nullptr;
};

TEST_F(SavedGameTest, SaveLoadSaveWritesTheSameBytesAtEveryMomentOfALevel) {
    AutoPlayer player;
    // Two tracks; power-ups every second or two, so that slots hold some when the player idles.
    GameController* g = play(25, 200, player);
    g->powerUpPeriod = 2.0;
    int moments = 0, withPowerUps = 0, withFlyingCargo = 0, withTwoTrains = 0;
    for (int i = 0; i < 40 && g->state == GameController::STATE_PLAYING; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(g->save());
        const Bytes saved = fileBytes(path());
        ASSERT_GE(saved.size(), 4u);
        EXPECT_EQ(saved.substr(saved.size() - 4), Bytes("\x78\x56\x34\x12", 4));
        EXPECT_EQ(flagOnDisk(), 1);
        bool loaded = false;
        const size_t logged = logSize();
        std::unique_ptr<GameController> copy = loadSaved(&loaded);
        ASSERT_TRUE(loaded) << logSince(logged);
        EXPECT_EQ(copy->state, GameController::STATE_PLAYING);
        EXPECT_EQ(copy->pLauncher->state, Launcher::STATE_READY);
        EXPECT_EQ(copy->pLevel->countTrains(), g->pLevel->countTrains());
        EXPECT_EQ(countHeld(*copy, true), countHeld(*g, true));
        EXPECT_EQ(copy->stats_shotsFired, g->stats_shotsFired);
        EXPECT_FLOAT_EQ(float(copy->getGameTime()), float(g->getGameTime()));
        EXPECT_EQ(image(*copy), saved);
        EXPECT_EQ(flagOnDisk(), 0);
        ++moments;
        withPowerUps += countHeld(*g, true) > 0;
        withFlyingCargo += g->pCargoLayer->countChildren() > 0;
        withTwoTrains += g->pLevel->countTrains() > 1;
        copy.reset();
        // Deleting the loaded copy in play saves it again: the same bytes.
        EXPECT_EQ(fileBytes(path()), saved);
        // The player plays, then looks away for a while.
        if (i % 3 == 2) harness->run(90);
        else runPlayer(player, 90);
    }
    EXPECT_GE(moments, 10);
    EXPECT_GT(withPowerUps, 0);
    EXPECT_GT(withFlyingCargo, 0);
    EXPECT_GT(withTwoTrains, 0);
}

// A loaded level is played on to its end by the automatic player.
TEST_F(SavedGameTest, ALoadedLevelPlaysOnToItsEnd) {
    AutoPlayer player;
    GameController* g = play(0, 900, player);
    ASSERT_EQ(g->state, GameController::STATE_PLAYING);
    const int completed = g->carsCompleted;
    ASSERT_GT(completed, 0);
    ASSERT_TRUE(g->save());
    harness->clearWorld();
    bool loaded = false;
    std::unique_ptr<GameController> copy = loadSaved(&loaded);
    ASSERT_TRUE(loaded);
    GameController* resumed = copy.release();
    harness->game = resumed;
    harness->host.game = resumed;
    harness->world = resumed->pWorldLayer;
    harness->level = resumed->pLevel;
    harness->application->pGameController = resumed;
    LevelHost::setCurrent(resumed);
    resumed->continueGame();
    harness->pushGame();
    EXPECT_EQ(resumed->carsCompleted, completed);
    AutoPlayer again;
    for (int i = 0; i < 60 * 300 && resumed->state == GameController::STATE_PLAYING; ++i) {
        again.step();
        harness->frame();
    }
    EXPECT_EQ(resumed->state, GameController::STATE_WON);
    EXPECT_EQ(resumed->carsCompleted, resumed->totalCars);
    EXPECT_GT(resumed->levelEndTime, resumed->levelStartTime);
}

// The layout: the level first, each track's trains, the controller's values in single precision,
// varints for the counters, the end marker last.
TEST_F(SavedGameTest, TheFileIsTheLevelTheTracksTheValuesAndTheMarker) {
    harness->startGame(12);
    GameController& g = *harness->game;
    const size_t tracks = g.pLevel->getTracks().size();
    g.stats_shotsFired = 200;
    g.slowUntil = 1.1;
    g.levelStartTime = 0.1;
    harness->world->totalTime = 2.2;
    const size_t logged = logSize();
    ASSERT_TRUE(g.save());
    const Bytes saved = fileBytes(path());
    // 1 level byte, one empty train count a track, 15 raw floats, then the shot count.
    const size_t shots = 1 + tracks + 15 * 4;
    ASSERT_GT(saved.size(), shots + 2);
    EXPECT_EQ(saved[0], '\x0C');
    EXPECT_EQ(saved.substr(1, tracks), Bytes(tracks, '\0'));
    EXPECT_EQ(saved.substr(shots, 2), Bytes("\x88\x03", 2));
    const float slow = 1.1f;
    EXPECT_EQ(saved.substr(1 + tracks + 6 * 4, 4), Bytes(reinterpret_cast<const char*>(&slow), 4));
    EXPECT_EQ(saved.substr(saved.size() - 4), Bytes("\x78\x56\x34\x12", 4));
    // 5 more statistics, 2 times, 2 progress values, 5 counters, 2 power-up times, the marker.
    EXPECT_EQ(saved.size(), shots + 2 + 5 + 2 * 4 + 2 * 4 + 5 + 2 * 4 + 4);
    const std::string log = logSince(logged);
    EXPECT_NE(log.find("GameController::save(): Saving game to " + wideToUtf8(path()) + "..."), std::string::npos) << log;
    EXPECT_NE(log.find("GameController::save(): level=12"), std::string::npos) << log;

    bool loaded = false;
    std::unique_ptr<GameController> copy = loadSaved(&loaded);
    ASSERT_TRUE(loaded);
    // Doubles come back only to single precision.
    EXPECT_EQ(copy->slowUntil, double(1.1f));
    EXPECT_EQ(copy->levelStartTime, double(0.1f));
    EXPECT_EQ(copy->getGameTime(), double(2.2f));
    EXPECT_EQ(copy->stats_shotsFired, 200);
}

TEST_F(SavedGameTest, ASaveOfAnotherLevelIsRefusedWithTheMismatchLine) {
    harness->startGame(5);
    ASSERT_TRUE(harness->game->save());
    const Bytes saved = fileBytes(path());
    profile().level() = 6;
    const size_t logged = logSize();
    bool loaded = true;
    std::unique_ptr<GameController> copy = loadSaved(&loaded);
    EXPECT_FALSE(loaded);
    const std::string log = logSince(logged);
    EXPECT_NE(log.find("GameController::load(): level=5"), std::string::npos) << log;
    EXPECT_NE(log.find("GameController::load(): Error: was looking for level 6 but found 5."), std::string::npos) << log;
    copy.reset();
    EXPECT_FALSE(fileExists(path()));
    EXPECT_EQ(fileBytes(path() + u".bad"), saved);
}

// The flag on disk: set by a save, cleared when the window comes back during play, cleared
// before a load reads the file.
TEST_F(SavedGameTest, TheFlagOnDiskFollowsSaveReactivationAndLoad) {
    harness->startGame(0);
    harness->run(30);
    EXPECT_EQ(flagOnDisk(), 0);
    harness->engine->bWindowActive = false;
    harness->frame();
    EXPECT_TRUE(fileExists(path()));
    EXPECT_EQ(flagOnDisk(), 1);
    harness->engine->bWindowActive = true;
    harness->frame();
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_EQ(flagOnDisk(), 0);

    ASSERT_TRUE(harness->game->save());
    EXPECT_EQ(flagOnDisk(), 1);
    bool loaded = false;
    std::unique_ptr<GameController> copy = loadSaved(&loaded);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_EQ(flagOnDisk(), 0);
}

// The temporary file cannot be made: the failure is logged, the old file and the flag stay.
int failCreatingSaves(const std::string& p, platform::FileStep step) {
    const std::string saved = wideToUtf8(GameController::currentProfile()->getSavedGamePath());
    return step == platform::FileStep::CREATE && p.compare(0, saved.size(), saved) == 0 ? EACCES : 0;
}

TEST_F(SavedGameTest, AFailedWriteIsLoggedAndKeepsTheOldFileAndFlag) {
    harness->startGame(0);
    harness->run(30);
    ASSERT_TRUE(harness->game->save());
    const Bytes before = fileBytes(path());
    harness->run(60);
    platform::setFileFaultHook(&failCreatingSaves);
    const size_t logged = logSize();
    EXPECT_FALSE(harness->game->save());
    platform::setFileFaultHook(nullptr);
    EXPECT_NE(logSince(logged).find("GameController::save(): Can't open file, aborting save."), std::string::npos);
    EXPECT_EQ(fileBytes(path()), before);
    EXPECT_EQ(profile().bHasSavedGame, 1);
    EXPECT_EQ(flagOnDisk(), 1);
}

// A read-only or full user folder, or a folder where the temporary file goes (in a child process
// of its own): the save fails, the old file and the flag (in memory and on disk) stay, no
// temporary file is left, and the failure is said once on standard error with the file and the
// system's reason.
enum class SaveTrouble { READ_ONLY, FULL, TEMPORARY_IS_A_FOLDER };

void troubledFolderSave(PlayHarness* harness, SaveTrouble trouble) {
    harness->startGame(0);
    harness->run(30);
    CHILD_EXPECT(harness->game->save());
    const WString saved = GameController::currentProfile()->getSavedGamePath();
    const std::string path = wideToUtf8(saved);
    const Bytes before = readFileBytes(path);
    harness->run(60);
    if (trouble == SaveTrouble::TEMPORARY_IS_A_FOLDER) std::filesystem::create_directory(path + ".tmp");
    else makeFolderTrouble(wideToUtf8(getUserDataFolder()), trouble == SaveTrouble::READ_ONLY ? FolderTrouble::READ_ONLY : FolderTrouble::FULL);
    ChildStderr capture;
    CHILD_EXPECT(!harness->game->save());
    harness->run(60);
    CHILD_EXPECT(!harness->game->save());
    const std::string err = capture.take();
    CHILD_EXPECT(countOf(err, "Could not save '" + path + "' (") == 1);
    CHILD_EXPECT(readFileBytes(path) == before);
    CHILD_EXPECT(GameController::currentProfile()->bHasSavedGame == 1);
    auto disk = std::make_unique<ProfileManager>();
    CHILD_EXPECT(disk->current().bHasSavedGame == 1);
    for (const auto& entry : std::filesystem::directory_iterator(wideToUtf8(getUserDataFolder())))
        CHILD_EXPECT(entry.path().extension() != ".tmp" || (trouble == SaveTrouble::TEMPORARY_IS_A_FOLDER && entry.is_directory()));
    finishChild(err);
}

TEST_F(SavedGameTest, AFailedSaveKeepsTheSavedGameAndItsFlagAndSaysSoOnce) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on with the harness as it is
    const struct {
        SaveTrouble trouble;
        const char* reasons;  // what the system says, by the way the trouble was made
    } cases[] = {
        {SaveTrouble::READ_ONLY, "(Read-only file system|Permission denied)"},
        {SaveTrouble::FULL, "No space left on device"},
        {SaveTrouble::TEMPORARY_IS_A_FOLDER, "File exists"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.trouble));
        EXPECT_EXIT(troubledFolderSave(harness, c.trouble), testing::ExitedWithCode(0),
                    std::string("VeskDiruzuri: Could not save '[^']*/VeskDiruzuri\\.pro\\.[0-9a-f]+' \\([^)]*") + c.reasons);
        std::filesystem::remove(wideToUtf8(path()) + ".tmp");
    }
}

// A damaged saved game that cannot be set aside stays where it is: no save of the run writes over
// it.
int failRenamingSaves(const std::string& p, platform::FileStep step) {
    const std::string saved = wideToUtf8(GameController::currentProfile()->getSavedGamePath());
    return step == platform::FileStep::RENAME && p == saved ? EACCES : 0;
}

void unmovableDamagedSave(PlayHarness* harness) {
    harness->startGame(0);
    harness->run(30);
    CHILD_EXPECT(harness->game->save());
    const std::string path = wideToUtf8(GameController::currentProfile()->getSavedGamePath());
    harness->clearWorld();
    Bytes damaged = readFileBytes(path);
    damaged.back() = '\x13';
    writeFileBytes(path, damaged);
    ChildStderr capture;
    platform::setFileFaultHook(&failRenamingSaves);
    auto controller = std::make_unique<GameController>();
    CHILD_EXPECT(!controller->load());
    controller.reset();
    platform::setFileFaultHook(nullptr);
    harness->startGame(0);
    harness->run(30);
    CHILD_EXPECT(!harness->game->save());
    harness->run(60);
    CHILD_EXPECT(!harness->game->save());
    const std::string err = capture.take();
    CHILD_EXPECT(readFileBytes(path) == damaged);
    CHILD_EXPECT(!std::filesystem::exists(path + ".bad"));
    CHILD_EXPECT(!std::filesystem::exists(path + ".tmp"));
    CHILD_EXPECT(countOf(err, "'" + path + "'") == 1);
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    CHILD_EXPECT(countOf(log, "GameController::save(): The game is not saved: '" + path + "' could not be used") >= 2);
    finishChild(err);
}

TEST_F(SavedGameTest, ADamagedSaveThatCannotBeSetAsideIsNeverWrittenOver) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on with the harness as it is
    EXPECT_EXIT(unmovableDamagedSave(harness), testing::ExitedWithCode(0), "VeskDiruzuri: '[^']*/VeskDiruzuri\\.pro\\.[0-9a-f]+' is damaged");
}

TEST_F(SavedGameTest, ALevelTooLargeToSaveIsRefusedAndWritesNothing) {
    harness->startGame(0);
    Track* track = harness->level->getTracks()[0];
    // Some 2,500 wagons: more than 65,536 bytes.
    auto* train = new Train();
    track->addTrain(train);
    for (int i = 0; i < 2500; ++i) train->firstSegment()->addCar(Car::createByType(Car::KIND_THREE_SLOTS), false);
    const size_t logged = logSize();
    EXPECT_FALSE(harness->game->save());
    EXPECT_NE(logSince(logged).find("GameController::save(): The level does not fit in 65536 bytes, not saved."), std::string::npos);
    EXPECT_FALSE(fileExists(path()));
    EXPECT_EQ(profile().bHasSavedGame, 0);
    EXPECT_EQ(flagOnDisk(), 0);
}

// Damaged saves, each made from a good one: refused without a fatal error, nothing written in
// the file's place, the file kept aside as ".bad", the flag 0 on disk, and the next level fresh.
TEST_F(SavedGameTest, DamagedSavesAreRefusedKeptAsideAndNeverWrittenOver) {
    AutoPlayer player;
    GameController* g = play(12, 600, player);
    // A piece seated in a slot of the last wagon, so that the cases below find one (the player
    // plays on while every wagon in play is already complete).
    CargoSlot* last = nullptr;
    for (int i = 0; i < 60 * 60 && !last && g->state == GameController::STATE_PLAYING; ++i) {
        for (Track* track : g->pLevel->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next)
                    for (BasicLink* c = s->firstChild; c; c = c->next)
                        if (BasicLink* slot = static_cast<Car*>(c)->slots.firstChild) last = static_cast<CargoSlot*>(slot);
        if (!last) runPlayer(player, 1);
    }
    ASSERT_EQ(g->state, GameController::STATE_PLAYING);
    ASSERT_NE(last, nullptr);
    last->replaceCargo(Cargo::createByType(last->color));
    ASSERT_TRUE(g->save());
    const Bytes good = fileBytes(path());
    harness->clearWorld();

    // The good save loaded into a controller, changed there and written again.
    bool loaded = false;
    auto damaged = [&](const std::function<void(GameController&)>& damage) {
        std::unique_ptr<GameController> copy = loadSaved(&loaded);
        EXPECT_TRUE(loaded);
        copy->bSaveWhenDeleted = false;
        damage(*copy);
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(copy->writeSavedGame(GameController::currentLevel(), bytes));
        return Bytes(bytes.begin(), bytes.end());
    };
    auto firstCar = [](GameController& c, int kind) -> Car* {
        for (Track* track : c.pLevel->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next)
                    for (BasicLink* car = s->firstChild; car; car = car->next)
                        if (static_cast<Car*>(car)->kind == kind) return static_cast<Car*>(car);
        return nullptr;
    };
    auto wagon = [&](GameController& c) -> Car* {
        for (int kind : {1, 2, 3})
            if (Car* car = firstCar(c, kind)) return car;
        return nullptr;
    };
    auto firstHeld = [](GameController& c) -> CargoSlot* {
        for (Track* track : c.pLevel->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next)
                    for (BasicLink* car = s->firstChild; car; car = car->next)
                        for (BasicLink* slot = static_cast<Car*>(car)->slots.firstChild; slot; slot = slot->next)
                            if (static_cast<CargoSlot*>(slot)->held) return static_cast<CargoSlot*>(slot);
        return static_cast<CargoSlot*>(nullptr);
    };
    auto firstTrain = [](GameController& c) {
        for (Track* track : c.pLevel->getTracks())
            if (track->trains->firstChild) return static_cast<Train*>(track->trains->firstChild);
        return static_cast<Train*>(nullptr);
    };
    // Re-saving a good file copy must give the good bytes, or the damage cases prove nothing.
    ASSERT_EQ(damaged([](GameController&) {}), good);
    struct Case {
        std::string name;
        std::function<Bytes()> bytes;  // the file's content; no file when it is "missing"
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<Case> cases = {
        {"missing", [] { return Bytes("missing"); }},
        {"empty", [] { return Bytes(); }},
        {"wrong marker", [&] { Bytes b = good; b.back() = '\x13'; return b; }},
        {"trailing byte", [&] { return good + Bytes(1, '\0'); }},
        {"over 65,536 bytes", [&] { return good + Bytes(65537 - good.size(), '\0'); }},
        {"another level", [&] { Bytes b = good; b[0] = '\x0D'; return b; }},
        {"a million trains", [&] {
             Packet count(5, 16);
             int32_t level = 12, million = 1000000;
             count.doInt(&level);
             count.doInt(&million);
             return Bytes(reinterpret_cast<const char*>(count.start), count.cursor - count.start) + good.substr(2);
         }},
        {"car kind 7", [&] { return damaged([&](GameController& c) { wagon(c)->kind = 7; }); }},
        {"engine kind 7", [&] { return damaged([&](GameController& c) { firstCar(c, 0)->kind = 7; }); }},
        {"cargo type 19", [&] { return damaged([&](GameController& c) { firstHeld(c)->held->type = 19; }); }},
        {"cargo type 8", [&] { return damaged([&](GameController& c) { firstHeld(c)->held->type = 8; }); }},
        {"a fireball in a slot", [&] { return damaged([&](GameController& c) { firstHeld(c)->held->type = Cargo::TYPE_FIREBALL; }); }},
        {"colour 8", [&] { return damaged([&](GameController& c) { firstHeld(c)->color = 8; }); }},
        {"colour -1", [&] { return damaged([&](GameController& c) { firstHeld(c)->color = -1; }); }},
        {"negative quota", [&] { return damaged([&](GameController& c) { firstTrain(c)->slotQuota = -1; }); }},
        {"a quota of a million", [&] { return damaged([&](GameController& c) { firstTrain(c)->slotQuota = 1000000; }); }},
        {"negative time in state", [&] { return damaged([&](GameController& c) { firstTrain(c)->timeInState = -1.0; }); }},
        {"car front not a number", [&] { return damaged([&](GameController& c) { wagon(c)->frontPos = nan; }); }},
        {"car front off any track", [&] { return damaged([&](GameController& c) { wagon(c)->frontPos = 1.0e9f; }); }},
        {"segment speed infinite", [&] { return damaged([&](GameController& c) { firstTrain(c)->firstSegment()->motion.velocity.x = inf; }); }},
        {"trains a million", [&] { return damaged([](GameController& c) { c.trainsTotal = 1000000; }); }},
        {"cars a million", [&] { return damaged([](GameController& c) { c.totalCars = 1000000; }); }},
        {"more trains out than in the level", [&] { return damaged([](GameController& c) { c.trainsSpawned = c.trainsTotal + 1; }); }},
    };
    // Every float row of the controller as not a number and as infinity.
    struct FloatRow {
        const char* name;
        std::function<void(GameController&, float)> set;
    };
    const FloatRow floatRows[] = {
        {"context clock", [](GameController& c, float v) { c.totalTime = v; }},
        {"game clock", [](GameController& c, float v) { c.pWorldLayer->totalTime = v; }},
        {"maxSegmentSpeed", [](GameController& c, float v) { c.maxSegmentSpeed = v; }},
        {"minSegmentSpeed", [](GameController& c, float v) { c.minSegmentSpeed = v; }},
        {"helpChance", [](GameController& c, float v) { c.helpChance = v; }},
        {"slotHelpChance", [](GameController& c, float v) { c.slotHelpChance = v; }},
        {"slowUntil", [](GameController& c, float v) { c.slowUntil = v; }},
        {"stopUntil", [](GameController& c, float v) { c.stopUntil = v; }},
        {"reverseUntil", [](GameController& c, float v) { c.reverseUntil = v; }},
        {"cruiseForce", [](GameController& c, float v) { c.cruiseForce = v; }},
        {"tunnelForce", [](GameController& c, float v) { c.tunnelForce = v; }},
        {"departForce", [](GameController& c, float v) { c.departForce = v; }},
        {"rollbackForce", [](GameController& c, float v) { c.rollbackForce = v; }},
        {"sprintFraction", [](GameController& c, float v) { c.sprintFraction = v; }},
        {"refillFraction", [](GameController& c, float v) { c.refillFraction = v; }},
        {"levelStartTime", [](GameController& c, float v) { c.levelStartTime = v; }},
        {"levelEndTime", [](GameController& c, float v) { c.levelEndTime = v; }},
        {"gameProgress", [](GameController& c, float v) { c.gameProgress = v; }},
        {"levelProgress", [](GameController& c, float v) { c.levelProgress = v; }},
        {"powerUpPeriod", [](GameController& c, float v) { c.powerUpPeriod = v; }},
        {"nextPowerUpTime", [](GameController& c, float v) { c.nextPowerUpTime = v; }},
    };
    for (const FloatRow& row : floatRows)
        for (float v : {nan, inf, -inf})
            cases.push_back({std::string(row.name) + " " + std::to_string(v), [&, v] { return damaged([&](GameController& c) { row.set(c, v); }); }});
    // Every counter negative.
    int GameController::*counters[] = {&GameController::stats_shotsFired,        &GameController::stats_correctPlacements,
                                       &GameController::stats_incorrectPlacements, &GameController::stats_placementStreak,
                                       &GameController::stats_bonusesSpawned,     &GameController::stats_bonusesCollected,
                                       &GameController::trainsTotal,              &GameController::trainsSpawned,
                                       &GameController::totalCars,                &GameController::carsSpawned,
                                       &GameController::carsCompleted};
    for (size_t i = 0; i < std::size(counters); ++i)
        cases.push_back({"negative counter " + std::to_string(i), [&, i] { return damaged([&](GameController& c) { c.*counters[i] = -1; }); }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(wideToUtf8(path()), good);
        const Bytes content = c.bytes();
        removeFile(path() + u".bad");
        if (content == "missing") removeFile(path());
        else writeFileBytes(wideToUtf8(path()), content);
        profile().bHasSavedGame = 1;
        harness->application->profileManager.save();
        const size_t logged = logSize();
        std::unique_ptr<GameController> copy = loadSaved(&loaded);
        EXPECT_FALSE(loaded);
        EXPECT_EQ(profile().bHasSavedGame, 0);
        EXPECT_EQ(flagOnDisk(), 0);
        copy.reset();
        // Nothing written in the refused file's place; the file kept aside as it was.
        EXPECT_FALSE(fileExists(path()));
        if (content != "missing") { EXPECT_EQ(fileBytes(path() + u".bad"), content); }
        const std::string log = logSince(logged);
        EXPECT_NE(log.find("GameController::load(): Loading game from "), std::string::npos) << log;
        if (content == "missing") { EXPECT_NE(log.find("Can't open file, aborting load."), std::string::npos) << log; }
        // The reason is logged: the file's level, its size, or what the reader refused.
        if (c.name == "another level") { EXPECT_NE(log.find("Error: was looking for level 12 but found 13."), std::string::npos) << log; }
        else if (c.name == "over 65,536 bytes") { EXPECT_NE(log.find("Can't read file, aborting load"), std::string::npos) << log; }
        else if (content != "missing") { EXPECT_NE(log.find("Saved data refused: "), std::string::npos) << log; }
        if (c.name == "a million trains") { EXPECT_NE(log.find("a train count the data cannot hold"), std::string::npos) << log; }
    }
    // Play starts the level afresh.
    harness->startGame(12);
    EXPECT_EQ(harness->game->stats_shotsFired, 0);
    EXPECT_EQ(harness->level->countTrains(), 0);
}

// Every cut of a good save is refused by the reader, leaving no train behind.
TEST_F(SavedGameTest, EveryTruncationIsRefused) {
    AutoPlayer player;
    GameController* g = play(12, 1200, player);
    ASSERT_EQ(g->state, GameController::STATE_PLAYING);
    std::vector<uint8_t> good;
    ASSERT_TRUE(g->writeSavedGame(12, good));
    harness->clearWorld();
    profile().level() = 12;
    GameController reader;
    reader.prepareLevel();
    reader.bSaveWhenDeleted = false;
    for (size_t size = 0; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(reader.readSavedGame(good.data(), size, 12));
        EXPECT_EQ(reader.pLevel->countTrains(), 0);
    }
    EXPECT_TRUE(reader.readSavedGame(good.data(), good.size(), 12));
}

}  // namespace
