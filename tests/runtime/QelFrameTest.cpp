#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/EngineFixture.h"
#include "runtime/Console.h"
#include "media/Context.h"
#include "media/Camera.h"
#include "media/FontGDI.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"
#include "runtime/QelRuntime.h"
#include "support/RecordingDirect3D.h"
#include "media/MemoryImageFile.h"
#include "media/Texture.h"

namespace {

// A root that counts how often the frame ticks and draws it.
class CountingContext : public Context {
public:
    void tickContents(double, double) override { ++ticks; }
    void renderContents() override { ++draws; }
    int ticks = 0;
    int draws = 0;
};

// Records every engine-mode step it is told of.
class ModeObserver : public QelBase {
public:
    void onQELmodeChange(int oldMode, int newMode) override { steps.emplace_back(oldMode, newMode); }
    std::vector<std::pair<int, int>> steps;
};

int32_t deviceResult = 0;
bool restoreResult = true;
constexpr int32_t DEVICE_LOST = static_cast<int32_t>(0x88760868u);

class QelFrameTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        deviceResult = Qel::D3D_OK;
        restoreResult = true;
        start();
        // After the engine's graphics, which install their own device test.
        Qel::deviceTestHook = [] { return deviceResult; };
        Qel::restorePresentationHook = [] { return restoreResult; };
        clock.sleeps.clear();
    }
    void TearDown() override {
        Qel::overlayTextHook = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }
};

TEST_F(QelFrameTest, ModeTable) {
    enum Device { OK, LOST, NOTRESET };
    struct Row {
        int mode;
        bool active;
        Device device;
        bool tickWhilePaused;
        bool restoreOk;
        int expectedMode;
        bool ticked;
        bool drawn;
        std::vector<uint32_t> sleeps;
    };
    const Row rows[] = {
        {3, true, OK, false, true, 3, true, true, {}},
        {3, false, OK, false, true, 2, false, false, {}},
        {3, true, LOST, false, true, 1, false, false, {}},
        {2, false, OK, false, true, 2, false, true, {500}},
        {2, false, OK, true, true, 2, true, true, {}},
        {2, true, OK, false, true, 3, false, false, {}},
        {2, false, LOST, false, true, 1, false, false, {}},
        {1, false, OK, false, true, 1, false, false, {100}},
        {1, true, NOTRESET, false, true, 2, false, false, {}},
        {1, true, OK, false, true, 2, false, false, {}},
        {1, true, NOTRESET, false, false, 1, false, false, {1000}},
        {1, true, LOST, false, true, 1, false, false, {1000}},
    };
    int n = 0;
    for (const Row& row : rows) {
        qel->qelMode = row.mode;
        qel->bWindowActive = row.active;
        qel->bTickWhilePaused = row.tickWhilePaused;
        deviceResult = row.device == OK ? Qel::D3D_OK : row.device == LOST ? DEVICE_LOST : Qel::D3DERR_DEVICENOTRESET;
        restoreResult = row.restoreOk;
        clock.sleeps.clear();
        CountingContext root;
        const int frames = qel->frameCount;
        qelRuntime()->frame(&root);
        EXPECT_EQ(qel->qelMode, row.expectedMode) << "row " << n;
        EXPECT_EQ(root.ticks, row.ticked ? 1 : 0) << "row " << n;
        EXPECT_EQ(qel->frameCount, frames + (row.ticked ? 1 : 0)) << "row " << n;
        EXPECT_EQ(root.draws, row.drawn ? 1 : 0) << "row " << n;
        EXPECT_EQ(clock.sleeps, row.sleeps) << "row " << n;
        ++n;
    }
}

TEST_F(QelFrameTest, ModeChangesStepOneAtATimeAndAreAnnouncedToEveryObject) {
    ModeObserver first, second;
    qel->changeQELmode(Qel::MODE_FROZEN);
    qel->changeQELmode(Qel::MODE_OK);
    const std::vector<std::pair<int, int>> expected = {{3, 2}, {2, 1}, {1, 2}, {2, 3}};
    EXPECT_EQ(first.steps, expected);
    EXPECT_EQ(second.steps, expected);
    stop();
    const std::string log = logText();
    size_t at = findAfter(log, "Qel::changeQELmode(): Change request from 3 to 1 (t=");
    at = findAfter(log, "Qel::changeQELmode(): Changing mode from 3 to 2.", at);
    at = findAfter(log, "Qel::changeQELmode(): Notifying ", at);
    at = findAfter(log, "Qel::changeQELmode(): Changing mode from 2 to 1.", at);
    at = findAfter(log, "Qel::changeQELmode(): Mode change complete.", at);
    EXPECT_NE(at, std::string::npos);
}

TEST_F(QelFrameTest, DeactivationLogsOneRequestAndRendersNothingInThatPass) {
    CountingContext root;
    qelRuntime()->frame(&root);
    qel->bWindowActive = false;
    qelRuntime()->frame(&root);
    EXPECT_EQ(root.draws, 1);
    stop();
    const std::string log = logText();
    const size_t first = log.find("Change request from 3 to 2");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Change request", first + 1), std::string::npos);
}

TEST_F(QelFrameTest, RestoredDevicePassesThroughOnePausedFrame) {
    qel->changeQELmode(Qel::MODE_FROZEN);
    deviceResult = Qel::D3DERR_DEVICENOTRESET;
    qelRuntime()->frame(nullptr);
    EXPECT_EQ(qel->qelMode, Qel::MODE_PAUSED);
    deviceResult = Qel::D3D_OK;
    qelRuntime()->frame(nullptr);
    EXPECT_EQ(qel->qelMode, Qel::MODE_OK);
}

TEST_F(QelFrameTest, ModeRequestsDuringShutdownAreIgnored) {
    ModeObserver observer;
    qel->bShuttingDown = true;
    qel->changeQELmode(Qel::MODE_FROZEN);
    EXPECT_EQ(qel->qelMode, Qel::MODE_OK);
    EXPECT_TRUE(observer.steps.empty());
    stop();
    EXPECT_NE(logText().find("Qel::changeQELmode(): Shutdown in progress -- ignoring."), std::string::npos);
}

TEST_F(QelFrameTest, FreezeRequestFreezesAfterTheFrameWhetherRunningOrPaused) {
    for (int mode : {Qel::MODE_OK, Qel::MODE_PAUSED}) {
        qel->qelMode = mode;
        qel->bWindowActive = mode == Qel::MODE_OK;
        qel->bFreezeRequested = true;
        qelRuntime()->frame(nullptr);
        EXPECT_EQ(qel->qelMode, Qel::MODE_FROZEN) << mode;
        EXPECT_FALSE(qel->bFreezeRequested) << mode;
    }
}

TEST_F(QelFrameTest, FramesArePacedByTheFrameTimer) {
    qel->frameTimer.reset(0.0205);
    clock.timerDelays.clear();
    CountingContext root;
    for (int i = 0; i < 5; ++i) {
        qelRuntime()->frame(&root);
        clock.advance(0.005);  // work done between frames
    }
    EXPECT_EQ(root.ticks, 5);
    ASSERT_EQ(clock.timerDelays.size(), 5u);
    for (size_t i = 1; i < 5; ++i) EXPECT_EQ(clock.timerDelays[i], 15u) << i;
    EXPECT_NEAR(qel->frameTimer.frameTime - qel->frameTimer.previousFrameTime, 0.020, 1e-9);  // whole milliseconds
}

TEST_F(QelFrameTest, FirstTickedFrameMeasuresElapsedAsItsWork) {
    qelRuntime()->frame(nullptr);
    EXPECT_DOUBLE_EQ(qel->frameRate, qel->unpacedRate);
    EXPECT_EQ(qel->frameCount, 1);
}

TEST_F(QelFrameTest, HistoryIsNeverReadBeforeItsFirstEntry) {
    int value = -1;
    EXPECT_FALSE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 0, value));
    for (int i = 0; i < 3; ++i) qelRuntime()->frame(nullptr);
    EXPECT_TRUE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 0, value));
    EXPECT_TRUE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 2, value));
    EXPECT_FALSE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 3, value));
    EXPECT_FALSE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, -1, value));
    for (int i = 0; i < 600; ++i) qelRuntime()->frame(nullptr);
    EXPECT_TRUE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 511, value));
    EXPECT_FALSE(qelRuntime()->getHistory(Qel::HISTORY_WORK_MS, 512, value));
}

TEST_F(QelFrameTest, DebugOverlayTextFollowsTheDebugBits) {
    // Text drawn by the font fills its cache's textures after the frame's entry is recorded.
    Qel::overlayTextHook = [](float, float, float, uint32_t, int, const WString&) {};
    qelRuntime()->frame(nullptr);
    qel->debugLevel = 3;
    qelRuntime()->frame(nullptr);
    // Five engine lines, then input: the pointer, four button and four joystick lines (no touches).
    ASSERT_EQ(qel->debugOverlayLines.size(), 14u);
    EXPECT_EQ(qel->debugOverlayLines[0].rfind(u"frame: fps=", 0), 0u);
    EXPECT_EQ(qel->debugOverlayLines[1].rfind(u"global clock: ", 0), 0u);
    EXPECT_EQ(qel->debugOverlayLines[2].rfind(u"tick(", 0), 0u);
    EXPECT_NE(qel->debugOverlayLines[3].find(u"renderables"), WString::npos);
    EXPECT_EQ(qel->debugOverlayLines[4].rfind(u"resident: ", 0), 0u);
    EXPECT_EQ(qel->debugOverlayLines[5].rfind(u"inputMode ", 0), 0u);
    EXPECT_EQ(qel->debugOverlayLines[13].rfind(u"joystick 3: ", 0), 0u);
    int value = -1;
    ASSERT_TRUE(qelRuntime()->getHistory(Qel::HISTORY_IMAGE_BYTES, 0, value));
    EXPECT_EQ(value, residentImageBytes);
    ASSERT_TRUE(qelRuntime()->getHistory(Qel::HISTORY_TEXTURE_BYTES, 0, value));
    EXPECT_EQ(value, residentTextureBytes);
    qel->debugLevel = 1;
    qelRuntime()->frame(nullptr);
    EXPECT_EQ(qel->debugOverlayLines.size(), 1u);
}

struct OverlayText {
    float x, y, z;
    uint32_t color;
    int flags;
    WString text;
};
std::vector<OverlayText> overlayDrawn;

class QelOverlayTest : public QelFrameTest {
protected:
    void SetUp() override {
        QelFrameTest::SetUp();
        overlayDrawn.clear();
        Qel::overlayTextHook = [](float x, float y, float z, uint32_t color, int flags, const WString& text) {
            overlayDrawn.push_back({x, y, z, color, flags, text});
        };
    }
};

TEST_F(QelOverlayTest, LinesRunDownFromTheTopLeftOfTheConsoleView) {
    qelRuntime()->frame(nullptr);
    EXPECT_TRUE(overlayDrawn.empty());  // debugLevel 0 draws nothing
    qel->debugLevel = 3;
    qelRuntime()->frame(nullptr);
    const WorldRect seen = qel->pConsole->pCamera->getVisibleRect(0.0f);
    ASSERT_LT(seen.left, seen.right);
    ASSERT_GT(seen.top, seen.bottom);
    const float lineHeight = static_cast<float>(qel->pFontGDI->pixelHeight);
    ASSERT_GT(lineHeight, 0.0f);
    ASSERT_EQ(overlayDrawn.size(), qel->debugOverlayLines.size());
    ASSERT_GE(overlayDrawn.size(), 5u);
    for (size_t i = 0; i < overlayDrawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(overlayDrawn[i].text, qel->debugOverlayLines[i]);
        EXPECT_EQ(overlayDrawn[i].x, seen.left);
        EXPECT_FLOAT_EQ(overlayDrawn[i].y, seen.top - lineHeight * static_cast<float>(i));
        EXPECT_EQ(overlayDrawn[i].z, 0.0f);
        EXPECT_EQ(overlayDrawn[i].color, 0xFFFFFFFFu);
        EXPECT_EQ(overlayDrawn[i].flags, 0);
    }
    // The first line ends with the audio mixer's share of time.
    const WString& first = overlayDrawn[0].text;
    const size_t audio = first.find(u", audio=");
    ASSERT_NE(audio, WString::npos);
    double cpu = -1.0;
    EXPECT_TRUE(scanDouble(WStringView(first).substr(audio + 8), cpu));
    EXPECT_GE(cpu, 0.0);
    EXPECT_EQ(first.back(), u'%');

    // Frames that do not tick draw no overlay.
    overlayDrawn.clear();
    qel->qelMode = Qel::MODE_PAUSED;
    qel->bWindowActive = false;
    qelRuntime()->frame(nullptr);
    EXPECT_TRUE(overlayDrawn.empty());
}

TEST_F(QelFrameTest, InputLinesShowTheInputState) {
    QelInput& input = *qel->pQelInput;
    input.inputMode = INPUTMODE_MOUSE;
    input.pointer = Vector3(10.5f, 20.25f, 0.0f);
    input.touchList.releaseChildren();
    auto* pressed = new TouchPoint(&input);
    pressed->bPressed = true;
    pressed->tag = 0x1a2b;
    pressed->state = TOUCH_PRESSED;
    pressed->layoutPos = Vector3(1.3f, 2.5f, 0.0f);
    input.touchList.addChild(pressed);
    auto* released = new TouchPoint(&input);
    released->bHeld = true;
    released->bReleased = true;
    released->bDragging = true;
    released->tag = -1;
    released->state = TOUCH_RELEASED;
    released->layoutPos = Vector3(-3.0f, 4.0f, 0.0f);
    QelBase claimer;
    released->pHandler = &claimer;
    input.touchList.addChild(released);
    // Button 0 newly down, 1 held, 2 newly up, 3 up.
    const uint8_t now[4] = {1, 1, 0, 0}, before[4] = {0, 1, 1, 0};
    for (int b = 0; b < 4; ++b) {
        input.mouseButtons[b] = now[b];
        input.prevMouseButtons[b] = before[b];
    }
    input.numJoysticks = 1;
    input.joystickDeadZone = 0.0;
    input.joyState[0] = {};
    input.joyState[0].lX = 500;
    input.joyState[0].lY = -250;
    for (auto& pov : input.joyState[0].rgdwPOV) pov = platform::POV_CENTERED;
    input.joyState[0].rgdwPOV[0] = 9000;  // east
    for (auto& k : input.keys) k = 0;
    input.keys[INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_BUTTONS + 3] = 0x80;
    input.keys[INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_BUTTONS + 31] = 0x80;
    input.keys[INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_KEYS * 2 + INPUT_JOYSTICK_BUTTONS] = 0x80;

    qel->debugLevel = 2;
    const std::vector<WString> lines = qelRuntime()->getDebugOverlayLines();
    const std::vector<WString> expected = {
        u"inputMode 1. mouse: 10.500,20.250,0.000",
        u"button: DOWN   | MDOWN MPRESSED ",
        u"button:  PRESSED UP |  MPRESSED ",
        u"button:    |   MUP",
        u"button:    |   ",
        u"joystick 0: analogue=(0.500,0.250) pad=(1.000,0.000) buttonPresses: 3 31 ",
        u"joystick 1: analogue=(0.000,0.000) pad=(0.000,0.000) buttonPresses: ",
        u"joystick 2: analogue=(0.000,0.000) pad=(0.000,0.000) buttonPresses: 0 ",
        u"joystick 3: analogue=(0.000,0.000) pad=(0.000,0.000) buttonPresses: ",
        u"touch:0 tag:00001a2b state:1 pos:1.3, 2.5  usage:0 handled:0",
        u"touch:1 tag:ffffffff state:3 pos:-3.0, 4.0 DRAG usage:0 handled:1",
    };
    ASSERT_EQ(lines.size(), 4u + expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(wideToUtf8(lines[4 + i]), wideToUtf8(expected[i])) << i;
}

TEST_F(QelOverlayTest, GraphLabelsSitAtTheNewestSamplesAtTheBottomRight) {
    qel->frameCount = 600;  // the ring has wrapped
    const int newest = 600 % Qel::HISTORY_LENGTH;
    qel->frameHistory[Qel::HISTORY_WORK_MS][newest] = 17;
    qel->frameHistory[Qel::HISTORY_TEXTURE_BYTES][newest] = 2 << 20;
    qel->frameHistory[Qel::HISTORY_IMAGE_BYTES][newest] = 1 << 20;
    qel->frameHistory[Qel::HISTORY_STREAM_BYTES][newest] = 1 << 19;
    qel->frameHistory[Qel::HISTORY_SOUND_BYTES][newest] = 1 << 19;
    qel->debugLevel = 4;
    qelRuntime()->drawDebugOverlay();
    const WorldRect seen = qel->pConsole->pCamera->getVisibleRect(0.0f);
    ASSERT_GT(seen.top - seen.bottom, 64.0f + 12.0f);
    struct Label {
        float dy;
        uint32_t color;
        const char16_t* text;
    };
    // Sixteen units per megabyte while the 4 MB stack fits.
    const Label expected[] = {{17.0f, 0xFFFF0000u, u"17ms"},     {32.0f, 0x8000FF00u, u"tex 2.0"},  {48.0f, 0x8000FF00u, u"image 1.0"},
                              {56.0f, 0x8000FF00u, u"stream 0.5"}, {64.0f, 0xFF00FF00u, u"sfx 0.5"}, {76.0f, 0xFF00FF00u, u"4.0MB"}};
    ASSERT_EQ(overlayDrawn.size(), std::size(expected));
    for (size_t i = 0; i < overlayDrawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(overlayDrawn[i].text, expected[i].text);
        EXPECT_EQ(overlayDrawn[i].x, seen.right);
        EXPECT_FLOAT_EQ(overlayDrawn[i].y, seen.bottom + expected[i].dy);
        EXPECT_EQ(overlayDrawn[i].color, expected[i].color);
    }

    // A stack taller than the view is scaled by halves until it just fits.
    qel->frameHistory[Qel::HISTORY_TEXTURE_BYTES][newest] = 1000 << 20;
    overlayDrawn.clear();
    qelRuntime()->drawDebugOverlay();
    ASSERT_EQ(overlayDrawn.size(), std::size(expected));
    const float height = overlayDrawn[4].y - seen.bottom;  // the stacked total, 1002 MB
    EXPECT_LE(seen.bottom + height, seen.top);
    EXPECT_GT(seen.bottom + 2.0f * height, seen.top);
    EXPECT_EQ(overlayDrawn[5].text, u"1002.0MB");
}

// The graphs drawn on a recording device.
class QelGraphTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        writeConfig("[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        d3d = RecordingDirect3D::next = new RecordingDirect3D();
        start();
        if (!engine->pQelGraphics) {
            engine->pQelGraphics = new QelGraphics(nullptr, engine->pConfig);
            bOwnGraphics = true;
        }
        device = d3d->lastDevice;
        Qel::overlayTextHook = [](float, float, float, uint32_t, int, const WString&) {};
    }
    void TearDown() override {
        Qel::overlayTextHook = nullptr;
        if (bOwnGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        EngineTestOn<QelRuntime>::TearDown();
        QelGraphics::createDirect3D = &Direct3DCreate9;
    }
    RecordingDirect3D* d3d = nullptr;
    RecordingDevice* device = nullptr;
    bool bOwnGraphics = false;
};

TEST_F(QelGraphTest, GraphsAreLineStripsThroughTheWholeHistoryInWorldSpace) {
    ASSERT_NE(device, nullptr);
    device->world.m[3][0] = 5.0f;  // a translation left by an earlier draw
    device->calls.clear();
    engine->debugLevel = 4;
    engine->drawDebugOverlay();
    std::vector<std::string> draws = device->callsStartingWith("DrawPrimitive");
    // The frame-time graph, its one-segment target line, then the four memory series.
    const std::vector<std::string> expected = {"DrawPrimitive 3 0 511", "DrawPrimitive 3 0 1",   "DrawPrimitive 3 0 511",
                                               "DrawPrimitive 3 0 511", "DrawPrimitive 3 0 511", "DrawPrimitive 3 0 511"};
    EXPECT_EQ(draws, expected);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(device->world.m[r][c], r == c ? 1.0f : 0.0f) << r << " " << c;

    device->calls.clear();
    engine->debugLevel = 3;
    engine->drawDebugOverlay();
    EXPECT_TRUE(device->callsStartingWith("DrawPrimitive").empty());
}

}  // namespace
