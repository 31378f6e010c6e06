#pragma once
// The developer's console: a screen-wide overlay that keeps the lines written to it, takes a typed
// command line and runs a few commands that change engine settings at run time. Left Shift with
// the grave-accent key shows and hides it while the debug features are unlocked; Page Up and Page
// Down scroll its history.
//
// Commands: "debug %d" (debug level), "fps %lf" (frame period in seconds), "fontcache %d" (font
// cache on or off), "rel %d" (debug lock), "crash" (a fatal error on purpose).

#include <cstdint>
#include <deque>

#include "media/Context.h"
#include "engine/Text.h"

class Console : public Context {
    QEL_DECLARE_CLASS()
public:
    // The history keeps the newest lines only.
    static constexpr int maxHistoryLines = 1000;
    // The frame periods "fps" accepts, in seconds.
    static constexpr double minFramePeriod = 0.001;
    static constexpr double maxFramePeriod = 1.0;
    // Key codes.
    static constexpr int DIK_GRAVE = 0x29;
    static constexpr int DIK_LSHIFT = 0x2A;
    static constexpr int DIK_PRIOR = 0xC9;
    static constexpr int DIK_NEXT = 0xD1;

    Console();
    ~Console() override;

    void onRestorePresentation() override;
    void tickContents(double total, double dt) override;
    void renderContents() override;
    virtual void executeCommand(WString line);

    template <class... Args>
    void addLine(WStringView fmt, const Args&... args) {
        addLineText(format(fmt, args...));
    }
    void addLineText(const WString& line);

    int countLines() const { return static_cast<int>(history.size()); }
    const WString& getLine(int i) const { return history[static_cast<size_t>(i)]; }

    // Tests may watch the text drawing through this hook; otherwise the engine's FontGDI draws.
    static inline void (*drawTextHook)(float x, float y, float z, uint32_t color, int flags, const WString& text) = nullptr;

    std::deque<WString> history;
    int32_t scrollLine = -1;
    WString inputLine;
    bool bVisible = false;
    int32_t maxVisibleLines = 40;

private:
    void drawLine(float x, float y, const WString& text);
};
