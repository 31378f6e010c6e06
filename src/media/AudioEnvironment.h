#pragma once
// What the audio resources need from the rest of the engine: file images, the delayed-load
// setting, game time and the layout width. Each can be replaced by a hook (tests serve files from
// memory and step the clock). Without hooks, files come through the engine's FileManager as
// DataBlocks (from disk by name when there is no FileManager), the delayed-load and create-WAD
// modes are the FileManager's, game time is the TimeKeeper's (0 without one) and the layout is
// 800 wide.

#include <cstdint>
#include <string>

#include "engine/ByteBuffer.h"
#include "engine/Text.h"

class AudioEnvironment {
public:
    // Reads the whole file into bytes with the file manager's bCreateWad set to createWad for the
    // duration; false when it cannot be read.
    static inline bool (*readFileHook)(const WString& name, bool createWad, ByteBuffer& bytes) = nullptr;
    // True when the file exists (used instead of loading while delayed loading is on).
    static inline bool (*verifyFileHook)(const WString& name) = nullptr;
    // The engine's bEnableDelayedLoad.
    static inline bool (*delayedLoadHook)() = nullptr;
    // The file manager's current bCreateWad mode.
    static inline bool (*createWadHook)() = nullptr;
    // Game time in seconds.
    static inline double (*gameTimeHook)() = nullptr;
    // The graphics layout width in pixels.
    static inline int (*layoutWidthHook)() = nullptr;

    static bool readFile(const WString& name, bool createWad, ByteBuffer& bytes);
    // Where the file's bytes lie on disk (a UTF-8 path, an offset and a count) for a reader that
    // reads them as it goes; false when they must be read whole (a read hook is set, there is no
    // FileManager, files are recorded for an archive being built, or they are stored compressed).
    static bool locateFile(const WString& name, bool createWad, std::string& path, uint64_t& offset, uint64_t& size);
    static bool verifyFile(const WString& name);
    static bool delayedLoad();
    static bool createWad();
    static double gameTime();
    static int layoutWidth() { return layoutWidthHook ? layoutWidthHook() : 800; }
    // True while the engine's audio service runs muted.
    static bool muted();
};
