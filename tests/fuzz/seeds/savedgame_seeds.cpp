// Writes the seeds of the saved-game fuzz target: whole saves of the busiest levels (the last
// level of each two-track scene and the campaign's last level), each the largest of two runs on
// the headless harness; the last level with every slot of its cars on the tracks at once, each
// holding a piece or a power-up; and the largest save the reader takes (as many wagons as its
// tracks hold). Every seed is read back into its level before it is written. Run it again when the
// saved game's layout changes:
//   savedgame_fuzz_seeds tests/fuzz/corpus/fuzz_savedgame

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/AutoPlayer.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/ContextLevelComplete.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"
#include "support/TestFolder.h"
#include "ui/ContextManager.h"

namespace {

using Image = std::vector<uint8_t>;

// The largest save of two runs of the level: one in which the automatic player plays the level
// through, one in which it stops after a minute and the trains come until the level is lost.
Image busiestSave(PlayHarness& harness, int level) {
    Image largest, image;
    for (int playedFrames : {60 * 600, 60 * 60}) {
        AutoPlayer player;
        GameController* game = harness.playLevel(level);
        harness.pushGame();
        ContextManager* stack = harness.application->pContextManager;
        for (int frame = 0; frame < 60 * 600 && (frame < 600 || game->state == GameController::STATE_PLAYING); ++frame) {
            if (frame < playedFrames) player.step();
            harness.frame();
            if (auto* tally = dynamic_cast<ContextLevelComplete*>(stack->getTopContext()); tally && tally->bBonusSettled) tally->bDone = true;
            if (frame % 30 == 0 && game->state == GameController::STATE_PLAYING && game->writeSavedGame(level, image) &&
                image.size() > largest.size())
                largest = image;
        }
    }
    return largest;
}

// The largest save the reader takes: the last level with, on each track, a train of as many
// wagons of every kind as a track holds.
Image packedCars(PlayHarness& harness) {
    const int level = GameController::LAST_LEVEL;
    harness.startGame(level);
    GameController& game = *harness.game;
    for (Track* track : game.pLevel->getTracks()) {
        auto* train = new Train();
        track->addTrain(train);
        for (int cars = 1; cars < Track::kMaxCars; ++cars) train->firstSegment()->addCar(Car::createByType(Car::KIND_ONE_SLOT + cars % 3), true);
        train->firstSegment()->placeCars();
    }
    harness.run(2);
    Image image;
    game.writeSavedGame(level, image);
    return image;
}

// The last level with all its slots on the tracks: on each track one train of three-slot wagons,
// the slots alternately holding a piece of their colour and a power-up of each kind in turn.
Image everySlot(PlayHarness& harness) {
    const int level = GameController::LAST_LEVEL;
    harness.startGame(level);
    GameController& game = *harness.game;
    const std::vector<Track*> tracks = game.pLevel->getTracks();
    const int perTrack = game.totalCars / static_cast<int>(tracks.size()) + 2;
    const int powerUps[] = {Cargo::TYPE_SLOW_BONUS, Cargo::TYPE_REVERSE_BONUS, Cargo::TYPE_STOP_BONUS, Cargo::TYPE_WILDCARD,
                            Cargo::TYPE_COLOR_BOMB};
    int k = 0;
    for (Track* track : tracks) {
        auto* train = new Train();
        track->addTrain(train);
        for (int slots = 0; slots < perTrack; slots += 3) {
            Car* car = Car::createByType(Car::KIND_THREE_SLOTS);
            train->firstSegment()->addCar(car, true);
            for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++k) {
                auto* slot = static_cast<CargoSlot*>(s);
                slot->replaceCargo(Cargo::createByType(k % 2 ? powerUps[(k / 2) % 5] : slot->color));
            }
        }
        train->slotQuota = train->slotsSpawned = perTrack;
        train->firstSegment()->placeCars();
        ++game.trainsSpawned;
    }
    harness.run(2);
    Image image;
    game.writeSavedGame(level, image);
    return image;
}

// The image read into a freshly prepared level of its number.
bool readsBack(PlayHarness& harness, int level, const Image& image) {
    harness.startGame(level);
    return !image.empty() && GameController::precheckSavedGame(image.data(), image.size(), level) == nullptr &&
           harness.game->readSavedGame(image.data(), image.size(), level);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    TestFolder dataHome("vesk-savedgame-seeds");
    setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    auto* harness = new PlayHarness();
    GameController::soundHook = [](WStringView, float) {};
    harness->application->gameConfiguration.bTutorial = 0;

    // The last level of each two-track scene, and the last level.
    std::map<int, int> lastOfScene;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level)
        if (LayoutTable::row(level).scene >= LayoutTable::SCENE_C1) lastOfScene[LayoutTable::row(level).scene] = level;
    std::vector<std::pair<std::string, int>> seeds;
    lastOfScene[-1] = GameController::LAST_LEVEL;
    std::set<int> levels;
    for (const auto& [scene, level] : lastOfScene) levels.insert(level);
    for (int level : levels) seeds.emplace_back("level" + std::to_string(level) + "-busiest", level);

    int failures = 0;
    auto write = [&](const std::string& name, int level, const Image& image) {
        if (!readsBack(*harness, level, image)) {
            std::fprintf(stderr, "%s: not read back (%zu bytes)\n", name.c_str(), image.size());
            ++failures;
            return;
        }
        writeFileBytes(out + "/" + name, std::string(image.begin(), image.end()));
        std::printf("%s: %zu bytes\n", name.c_str(), image.size());
    };
    for (const auto& [name, level] : seeds) write(name, level, busiestSave(*harness, level));
    const std::string last = "level" + std::to_string(GameController::LAST_LEVEL);
    write(last + "-every-slot", GameController::LAST_LEVEL, everySlot(*harness));
    write(last + "-packed-cars", GameController::LAST_LEVEL, packedCars(*harness));
    harness->clearWorld();
    GameController::soundHook = nullptr;
    delete harness;
    return failures == 0 ? 0 : 1;
}
