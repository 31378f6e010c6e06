// libFuzzer target: the saved-game reader on arbitrary bytes, as the loader runs it (damage
// refused and logged, never fatal). One level is prepared on the headless play harness and reused
// for every input, and the level number the check expects is taken from the input. Whatever is
// accepted writes back, reads again and writes the same bytes; what is refused leaves no train.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/Packet.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/harness/PlayHarness.h"

namespace {

GameController& prepared() {
    static PlayHarness* harness = [] {
        // The harness's user files go to a folder of their own.
        static std::string home = "/tmp/vesk-fuzz-savedgame-" + std::to_string(getpid());
        setenv("VESK_DATA_HOME", home.c_str(), 1);
        auto* h = new PlayHarness();
        h->startGame(0);
        h->game->bSaveWhenDeleted = false;
        return h;
    }();
    return *harness->game;
}

// The level number the input starts with (-1 when it has none).
int levelOf(const uint8_t* data, size_t size) {
    Packet packet(5, static_cast<int>(size ? size : 1));
    if (size) std::memcpy(packet.start, data, size);
    packet.cursor = packet.start + size;
    packet.rewindToRead();
    packet.bFatalOnBadData = false;
    int32_t level = -1;
    packet.doInt(&level);
    return packet.bBadData ? -1 : level;
}

bool read(GameController& game, const uint8_t* data, size_t size, int level) {
    if (GameController::precheckSavedGame(data, size, level)) return false;
    return game.readSavedGame(data, size, level);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GameController& game = prepared();
    const int level = levelOf(data, size);
    if (!read(game, data, size, level)) {
        if (game.pLevel->countTrains() != 0) __builtin_trap();
        return 0;
    }
    std::vector<uint8_t> first, second;
    if (!game.writeSavedGame(level, first)) __builtin_trap();
    if (!read(game, first.data(), first.size(), level)) __builtin_trap();
    if (!game.writeSavedGame(level, second) || second != first) __builtin_trap();
    // The next input starts from the prepared level again: a refused read leaves no train.
    if (game.readSavedGame(data, 0, level) || game.pLevel->countTrains() != 0) __builtin_trap();
    return 0;
}
