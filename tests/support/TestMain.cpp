// The main of every test executable: each test process gets a fresh user-data folder of its own
// (VESK_DATA_HOME) and fatal errors never show a message box.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestFolder.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    TestFolder dataHome("vesk-data");
    setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
    setenv("VESK_SILENT_ERRORS", "1", 1);
    return RUN_ALL_TESTS();
}

// Allocations that the system's display, D-Bus and OpenGL libraries keep until exit: the leak
// checker of the sanitizer build ignores them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:libX11.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libGLX.so\n"
           "leak:swrast_dri.so\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libEGL\n"
           "leak:libSDL2\n";
}
