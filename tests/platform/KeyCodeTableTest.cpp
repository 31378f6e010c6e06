#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/KeyCodeTable.h"

using namespace platform;

TEST(KeyCodeTable, HoldsEachKeyOnceInStrictlyRisingCodes) {
    std::set<int> scancodes;
    for (int i = 0; i < KEYBOARD_KEY_ROWS; ++i) {
        const KeyCodeRow& row = keyCodeTable[i];
        ASSERT_NE(row.dik, 0) << row.name;
        if (i > 0) {
            EXPECT_LT(keyCodeTable[i - 1].dik, row.dik) << row.name;
        }
        if (row.scancode != 0) {
            EXPECT_TRUE(scancodes.insert(row.scancode).second) << row.name;
        }
    }
}

TEST(KeyCodeTable, TellingRowsHaveTheirDirectInputCodes) {
    const struct {
        const char* name;
        int dik;
    } cases[] = {{"ESCAPE", 0x01}, {"1", 0x02}, {"0", 0x0B}, {"RETURN", 0x1C}, {"SPACE", 0x39}, {"F1", 0x3B},
                 {"OEM_102", 0x56}, {"F11", 0x57}, {"F13", 0x64}, {"KANA", 0x70}, {"NUMPADENTER", 0x9C},
                 {"SYSRQ", 0xB7}, {"PAUSE", 0xC5}, {"UP", 0xC8}, {"LEFT", 0xCB}, {"RIGHT", 0xCD},
                 {"DOWN", 0xD0}, {"LWIN", 0xDB}, {"WAKE", 0xE3}, {"MEDIASELECT", 0xED}};
    for (const auto& c : cases) {
        bool found = false;
        for (const KeyCodeRow& row : keyCodeTable)
            if (std::string(row.name) == c.name) {
                found = true;
                EXPECT_EQ(row.dik, c.dik) << c.name;
            }
        EXPECT_TRUE(found) << c.name;
    }
    EXPECT_EQ(std::string(keyCodeTable.front().name), "ESCAPE");
    EXPECT_EQ(std::string(keyCodeTable.back().name), "MEDIASELECT");
}

TEST(KeyCodeTable, ScancodesMapToDirectInputCodes) {
    const struct {
        int scancode;
        int dik;
    } cases[] = {{SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_A, 0x1E},      {SDL_SCANCODE_LSHIFT, 0x2A},
                 {SDL_SCANCODE_RALT, 0xB8},   {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_UP, 0xC8},
                 {SDL_SCANCODE_TAB, 0x0F},    {SDL_SCANCODE_UNKNOWN, 0},    {-5, 0},
                 {SDL_NUM_SCANCODES, 0}};
    for (const auto& c : cases) EXPECT_EQ(dikFromScancode(c.scancode), c.dik) << c.scancode;
    for (const KeyCodeRow& row : keyCodeTable)
        if (row.scancode != 0) {
            EXPECT_EQ(dikFromScancode(row.scancode), row.dik) << row.name;
        }
}
