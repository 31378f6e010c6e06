// libFuzzer target: the saved-game reader on arbitrary bytes, as the loader runs it (damage
// refused and logged, never fatal). The level the input names (0 until one names a level of the
// campaign) is prepared on the headless play harness and reused while the inputs name it, and the
// level number the check expects is taken from the input, so that whole saves of any level (the
// seeds hold the busiest) are read into their own tracks. Whatever is accepted writes back, reads
// again and writes the same bytes; what is refused leaves no train.
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

GameController& prepared(int level) {
    static int current = -1;
    static PlayHarness* harness = [] {
        // The harness's user files go to a folder of their own.
        static std::string home = "/tmp/vesk-fuzz-savedgame-" + std::to_string(getpid());
        setenv("VESK_DATA_HOME", home.c_str(), 1);
        return new PlayHarness();
    }();
    if (level < 0 || level > GameController::LAST_LEVEL) level = current < 0 ? 0 : current;
    if (level != current) {
        harness->startGame(level);
        harness->game->bSaveWhenDeleted = false;
        current = level;
    }
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
    const int level = levelOf(data, size);
    GameController& game = prepared(level);
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
