// The main of every test executable: each test process gets a fresh user-data folder of its own
// (VESK_DATA_HOME) and fatal errors never show a message box. Death-test children, which run
// this main again, share their parent's folder so that the parent can read what they wrote.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "media/QelGraphics.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

// System libraries keep process-wide caches until exit (libdbus once SDL has talked to the session
// bus, fontconfig, the X and GL client libraries); they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libX11\nleak:libGLX\nleak:libEGL\nleak:libgallium\nleak:swrast_dri\n";
}

// The leak check at exit reads the threads' blocks of thread-local storage, those of libraries
// loaded at run time from its own record, kept by catching the lookups of such blocks. Libraries
// that reach their blocks through TLS descriptors (the GL driver's) make that record hold wrong
// addresses, and the check crashes on them after the tests have passed ("Tracer caught signal
// 11"), now and then or every time, as the program's layout falls. Nothing of ours keeps a heap
// pointer in thread-local storage only.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }

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
    // Headless: SDL's silent audio driver and Mesa's software OpenGL, unless the caller chose.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    // Mesa's software rasteriser draws on the calling thread: test programs run side by side,
    // and each keeps to one thread of drawing.
    setenv("LP_NUM_THREADS", "0", 0);
    // An engine made by a test draws on a recording device unless the test asks for OpenGL.
    QelGraphics::createDirect3D = &RecordingDirect3D::create;
    return RUN_ALL_TESTS();
}
