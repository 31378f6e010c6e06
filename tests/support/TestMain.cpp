// The main of every test executable: each test process gets a fresh user-data folder of its own
// (VESK_DATA_HOME) and fatal errors never show a message box. Death-test children, which run
// this main again, share their parent's folder so that the parent can read what they wrote.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "support/TestFolder.h"

// libdbus keeps a small allocation for the life of the process once SDL has talked to the session
// bus (under Xvfb); it is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    std::unique_ptr<TestFolder> dataHome;
    if (const char* inherited = getenv("VESK_TEST_DATA_HOME"); inherited && *inherited) {
        setenv("VESK_DATA_HOME", inherited, 1);
    } else {
        dataHome = std::make_unique<TestFolder>("vesk-data");
        setenv("VESK_TEST_DATA_HOME", dataHome->path.c_str(), 1);
        setenv("VESK_DATA_HOME", dataHome->path.c_str(), 1);
    }
    setenv("VESK_SILENT_ERRORS", "1", 1);
    return RUN_ALL_TESTS();
}
