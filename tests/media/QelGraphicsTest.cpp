// QelGraphics on a recording device: settings, the global render state, presentation and restore
// (with forced loss and failing resets), closest match and letterboxing, the pointer mapping and
// the diagnostics.

#include <gtest/gtest.h>

#include <memory>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "media/QelMedia.h"
#include "media/VideoMode.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

namespace {

class QelGraphicsTest : public testing::Test {
protected:
    void SetUp() override {
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        d3d = new RecordingDirect3D();
        for (auto [w, h] : {std::pair{1280, 800}, {1600, 900}, {2560, 1080}})
            d3d->modes.push_back(D3DDISPLAYMODE{UINT(w), UINT(h), 60, D3DFMT_X8R8G8B8});
        config = std::make_unique<MemoryIniFile>(folder.wfile("test.cfg"));
        engine = std::make_unique<QelMedia>();  // any graphics it builds gets its own recording device
    }
    void TearDown() override {
        graphics.reset();
        engine.reset();
        commandLineArgs.clear();
        QelGraphics::createDirect3D = &RecordingDirect3D::create;  // the test default
    }
    void create() {
        RecordingDirect3D::next = d3d;
        graphics = std::make_unique<QelGraphics>(nullptr, config.get());
        device = d3d->lastDevice;
    }

    TestFolder folder{"graphics"};
    std::unique_ptr<QelMedia> engine;
    RecordingDirect3D* d3d = nullptr;
    std::unique_ptr<MemoryIniFile> config;
    std::unique_ptr<QelGraphics> graphics;
    RecordingDevice* device = nullptr;
};

TEST_F(QelGraphicsTest, FirstStartWritesEveryDefaultAndGoesFullScreenAtTheDesktopSize) {
    create();
    const char16_t* keys[] = {u"videoModeWidth",  u"videoModeHeight", u"texelAlignment.x", u"texelAlignment.y",
                              u"texelAlignment.z", u"bFullScreen",    u"bBilinearFilter",  u"bUseHardwareTL",
                              u"bUseVSync",       u"bEnableFontCache", u"bSimulate256x256TextureHW", u"bAllowLetterbox"};
    for (const char16_t* key : keys) EXPECT_TRUE(config->hasKey(u"QelGraphics", key)) << wideToUtf8(key);
    EXPECT_EQ(config->getInt(u"QelGraphics", u"videoModeWidth"), -1);
    EXPECT_TRUE(graphics->bFullScreen);
    EXPECT_EQ(graphics->backBufferWidth, 1920);
    EXPECT_EQ(graphics->backBufferHeight, 1080);
    EXPECT_EQ(device->present.Windowed, 0);
    EXPECT_EQ(device->present.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(graphics->backBufferBits, 32);
    EXPECT_FLOAT_EQ(graphics->texelAlignment.y, -0.5f);
    // Full screen gets the identity gamma ramp once.
    EXPECT_EQ(device->callsStartingWith("SetGammaRamp").size(), 1u);
    EXPECT_EQ(device->gamma.red[255], 255 * 256);
}

TEST_F(QelGraphicsTest, SafeOptionGivesAWindowWithTheLayoutsProportions) {
    config->setBool(true, u"QelGraphics", u"bFullScreen");
    commandLineArgs = {u"-safe"};
    create();
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_EQ(graphics->backBufferWidth, 800);
    EXPECT_EQ(graphics->backBufferHeight, 480);
    EXPECT_EQ(device->present.Windowed, 1);
    EXPECT_TRUE(config->getBool(u"QelGraphics", u"bFullScreen"));
    // Centred in the work area (here the desktop): client area at (560, 300).
    EXPECT_EQ(graphics->windowClientRect.left, 560);
    EXPECT_EQ(graphics->windowClientRect.top, 300);
}

TEST_F(QelGraphicsTest, GlobalRenderStateIsSetInItsOrder) {
    create();
    device->calls.clear();
    graphics->setGlobalRenderState();
    const std::vector<std::string> expected = {
        "SetRenderState 137 0",       "SetRenderState 26 0",        "SetRenderState 27 1",       "SetRenderState 19 5",
        "SetRenderState 20 6",        "SetRenderState 24 0",        "SetRenderState 15 1",       "SetRenderState 25 5",
        "SetRenderState 22 1",        "SetTextureStageState 0 1 4", "SetTextureStageState 0 2 2", "SetTextureStageState 0 3 3",
        "SetTextureStageState 0 4 4", "SetTextureStageState 0 5 2", "SetTextureStageState 0 6 3", "SetSamplerState 0 1 1",
        "SetSamplerState 0 2 1",      "SetSamplerState 0 5 2",      "SetSamplerState 0 6 2",     "SetSamplerState 0 7 2",
        "SetFVF 322",                 "ValidateDevice"};
    EXPECT_EQ(device->calls, expected);

    device->calls.clear();
    graphics->bScreenshotPass = true;
    graphics->bBilinearFilter = false;
    graphics->setGlobalRenderState();
    EXPECT_EQ(device->calls[9], "SetTextureStageState 0 1 3");
    EXPECT_EQ(device->calls[10], "SetRenderState 60 4294967295");
    EXPECT_EQ(device->calls[19], "SetSamplerState 0 6 1");
}

struct MatchCase {
    bool bFullScreen;
    int width, height;
    int bbWidth, bbHeight;
    int left, top, bottom, right;
};

TEST_F(QelGraphicsTest, ClosestMatchAndLetterboxing) {
    create();
    graphics->workArea = RECT{0, 0, 1920, 1040};
    const MatchCase cases[] = {
        {true, 1920, 1080, 1920, 1080, 0, 0, 1080, 1920},     // 1.778: stretched
        {true, 1600, 900, 1600, 900, 0, 0, 900, 1600},        // 1.778
        {true, 1280, 800, 1280, 800, 0, 0, 800, 1280},        // 1.6
        {true, 2560, 1080, 2560, 1080, 381, 0, 1080, 2179},   // pillarbox, 1798 wide
        {true, 1280, 1024, 1280, 1024, 0, 128, 896, 1280},    // letterbox, 768 high
        {true, 1024, 768, 1024, 768, 0, 77, 691, 1024},       // letterbox, 614 high
        {true, 1000, 700, 800, 600, 0, 60, 540, 800},         // largest mode that fits
        {true, 640, 400, 800, 600, 0, 60, 540, 800},          // none fits: the smallest
        {false, 1920, 1080, 1666, 1000, 0, 0, 1000, 1666},    // window limited by the work area
        {false, 800, 600, 800, 480, 0, 0, 480, 800},          // a window takes the layout's proportions
        {false, 1, 1, 2, 2, 0, 0, 2, 2},                      // never an empty back buffer or viewport
    };
    for (const MatchCase& c : cases) {
        graphics->calcClosestMatchParameters(c.bFullScreen, c.width, c.height);
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.bFullScreen ? " full screen" : " window"));
        EXPECT_EQ(graphics->backBufferWidth, c.bbWidth);
        EXPECT_EQ(graphics->backBufferHeight, c.bbHeight);
        EXPECT_EQ(graphics->viewport.left, c.left);
        EXPECT_EQ(graphics->viewport.top, c.top);
        EXPECT_EQ(graphics->viewport.bottom, c.bottom);
        EXPECT_EQ(graphics->viewport.right, c.right);
        EXPECT_EQ(graphics->viewportWidth, c.right - c.left);
        EXPECT_EQ(graphics->bFullScreen, c.bFullScreen);
        EXPECT_EQ(graphics->backBufferFormat, D3DFMT_X8R8G8B8);
    }
    graphics->bAllowLetterbox = false;
    graphics->calcClosestMatchParameters(true, 1280, 1024);
    EXPECT_EQ(graphics->viewport.top, 0);
    EXPECT_EQ(graphics->viewport.bottom, 1024);
}

TEST_F(QelGraphicsTest, WithoutAnyFullScreenFormatTheWindowIsUsed) {
    d3d->modes.clear();
    d3d->desktop.Format = D3DFMT_R5G6B5;
    create();
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_EQ(graphics->backBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(graphics->backBufferBits, 16);
}

TEST_F(QelGraphicsTest, VideoModesAreSortedOnceEach) {
    d3d->modes.clear();
    d3d->modes.push_back(D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8});
    create();
    graphics->addVideoMode(800, 480);
    graphics->addVideoMode(1024, 768);
    graphics->addVideoMode(800, 600);
    graphics->addVideoMode(640, 480);
    std::vector<std::pair<int, int>> sizes;
    for (BasicLink* c = graphics->videoModes->firstChild; c; c = c->next)
        sizes.emplace_back(static_cast<VideoMode*>(c)->width, static_cast<VideoMode*>(c)->height);
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{640, 480}, {800, 480}, {800, 600}, {1024, 768}}));
}

TEST_F(QelGraphicsTest, DebugUnlockedAddsSmallModes) {
    engine->bDebugLocked = false;
    d3d->modes.clear();
    d3d->modes.push_back(D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8});
    create();
    EXPECT_EQ(graphics->videoModes->countChildren(), 3);
    EXPECT_EQ(static_cast<VideoMode*>(graphics->videoModes->firstChild)->width, 320);
}

TEST(VideoMode, ProportionsForDisplay) {
    struct Case {
        int w, h;
        const char16_t* text;
    };
    const Case cases[] = {{1280, 800, u"1280x800 (16:10)"}, {1366, 768, u"1366x768 (16:9)"}, {800, 400, u"800x400 (2:1)"},
                          {1000, 700, u"1000x700"},         {1280, 1024, u"1280x1024 (5:4)"}, {1024, 768, u"1024x768 (4:3)"},
                          {720, 480, u"720x480 (3:2)"},     {1200, 720, u"1200x720 (5:3)"}, {100, 0, u"100x0"}};
    for (const Case& c : cases) EXPECT_EQ(VideoMode(c.w, c.h).getModeText(), c.text);
}

TEST_F(QelGraphicsTest, PresentationScaleFollowsTheViewportWidth) {
    create();
    graphics->workArea = RECT{0, 0, 4000, 4000};
    struct Case {
        int width;
        float x, z;
    };
    const Case cases[] = {{640, 0.625f, 0.5f}, {1200, 1.0f, 1.0f}, {1000, 0.8f, 1.0f}};
    for (const Case& c : cases) {
        graphics->calcClosestMatchParameters(false, c.width, 0);
        graphics->restorePresentation(false);
        EXPECT_FLOAT_EQ(graphics->presentationScale.x, c.x) << c.width;
        EXPECT_FLOAT_EQ(graphics->presentationScale.z, c.z) << c.width;
    }
    EXPECT_FLOAT_EQ(graphics->presentationScale.y, 480.0f / float(graphics->viewportHeight));
}

TEST_F(QelGraphicsTest, ResetViewportClearsTheWholeBufferThenSetsTheLayoutViewport) {
    config->setInt(1280, u"QelGraphics", u"videoModeWidth");
    config->setInt(1024, u"QelGraphics", u"videoModeHeight");
    create();
    for (bool locked : {true, false}) {
        engine->bDebugLocked = locked;
        device->calls.clear();
        graphics->resetViewport();
        const std::vector<std::string> expected = {"SetViewport 0 0 1280 1024",
                                                   locked ? "Clear 0 1 ff000000" : "Clear 0 1 ffff0000",
                                                   "SetViewport 0 128 1280 768"};
        EXPECT_EQ(device->calls, expected);
    }
}

TEST_F(QelGraphicsTest, PointerMapsToLayoutWithYGrowingUpwards) {
    create();
    graphics->calcClosestMatchParameters(true, 2560, 1080);  // pillarbox: viewport x 381..2179
    Vector3 p = graphics->windowToLayout(100, 540, 7);
    EXPECT_FLOAT_EQ(p.x, 0.0f);
    EXPECT_FLOAT_EQ(p.y, 240.0f);
    EXPECT_FLOAT_EQ(p.z, 7.0f);
    EXPECT_FLOAT_EQ(graphics->windowToLayout(2179, 1080, 0).y, 0.0f);
    EXPECT_FLOAT_EQ(graphics->windowToLayout(2179, 0, 0).y, 480.0f);
    EXPECT_FLOAT_EQ(graphics->windowToLayout(2179, 0, 0).x, 800.0f);
    EXPECT_FLOAT_EQ(graphics->windowToLayout(1280, 270, 0).y, 360.0f);
}

TEST_F(QelGraphicsTest, FilterAloneAppliesAtOnceAndOtherChangesAskForAFreeze) {
    config->setBool(false, u"QelGraphics", u"bFullScreen");
    create();
    auto& g = *graphics;
    g.changePresentationParameters(-1, -1, g.bFullScreen, g.bAllowLetterbox, false, g.bUseVSync);
    EXPECT_FALSE(engine->bFreezeRequested);
    EXPECT_EQ(device->sampler0[D3DSAMP_MINFILTER], DWORD(D3DTEXF_POINT));
    EXPECT_EQ(device->resets, 0);

    struct Case {
        int width;
        bool full, letterbox, vsync;
    };
    const Case cases[] = {{1024, false, true, false}, {-1, true, true, false}, {-1, false, false, false}, {-1, false, true, true}};
    for (const Case& c : cases) {
        engine->bFreezeRequested = false;
        g.bFullScreen = false;
        g.bAllowLetterbox = true;
        g.bUseVSync = false;
        int before = g.videoModeWidth;
        g.changePresentationParameters(c.width, -1, c.full, c.letterbox, false, c.vsync);
        EXPECT_TRUE(engine->bFreezeRequested) << c.width << c.full << c.letterbox << c.vsync;
        g.videoModeWidth = before;
    }
}

// Counts the restore notifications every object receives.
struct RestoreCounter : QelBase {
    void onRestorePresentation() override { ++restores; }
    int restores = 0;
};

TEST_F(QelGraphicsTest, LostDeviceRestoresOnceWithOneBroadcast) {
    config->setBool(false, u"QelGraphics", u"bFullScreen");
    create();
    RestoreCounter counter;
    device->bLost = true;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_FALSE(graphics->restorePresentation(true));
    EXPECT_EQ(counter.restores, 0);
    device->bLost = false;
    device->bNeedsReset = true;
    EXPECT_TRUE(graphics->restorePresentation(true));
    EXPECT_EQ(counter.restores, 1);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
}

TEST_F(QelGraphicsTest, AFailedResetFallsBackToTheLastWorkingParameters) {
    config->setBool(false, u"QelGraphics", u"bFullScreen");
    config->setInt(800, u"QelGraphics", u"videoModeWidth");
    create();
    RestoreCounter counter;
    graphics->changePresentationParameters(1024, -1, true, true, true, false);
    device->failingResets = 1;
    device->calls.clear();
    EXPECT_TRUE(graphics->restorePresentation(true));
    EXPECT_EQ(device->callsStartingWith("Reset"),
              (std::vector<std::string>{"Reset 1024x768 fullscreen", "Reset 800x480 windowed"}));
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_EQ(graphics->backBufferWidth, 800);
    EXPECT_EQ(counter.restores, 1);

    // When nothing works the restore reports failure, and the next attempt starts again.
    device->failingResets = 5;
    graphics->videoModeWidth = 1024;
    EXPECT_FALSE(graphics->restorePresentation(true));
    device->failingResets = 0;
    EXPECT_TRUE(graphics->restorePresentation(true));
    EXPECT_EQ(counter.restores, 2);
}

TEST_F(QelGraphicsTest, DestructionLeavesFullScreenFirst) {
    create();
    device->AddRef();
    graphics.reset();
    EXPECT_EQ(device->callsStartingWith("Reset").back(), "Reset 1732x1040 windowed");
    device->Release();
}

TEST(QelGraphicsFormats, NamesAndDepths) {
    EXPECT_EQ(QelGraphics::D3DFORMAT2string(D3DFMT_X8R8G8B8), u"D3DFMT_X8R8G8B8");
    EXPECT_EQ(QelGraphics::D3DFORMAT2string(D3DFORMAT(22)), u"D3DFMT_X8R8G8B8");
    EXPECT_EQ(QelGraphics::D3DFORMAT2string(D3DFMT_DXT5), u"D3DFMT_DXT5");
    EXPECT_EQ(QelGraphics::D3DFORMAT2string(D3DFORMAT(999)), u"unknown(999)");
    // The error reports name Direct3D results.
    EXPECT_EQ(ErrorManager::getDXErrorString(D3DERR_DEVICELOST), u"D3DERR_DEVICELOST (0x88760868)");
    EXPECT_EQ(ErrorManager::getDXErrorString(D3D_OK), u"S_OK");
    struct Case {
        D3DFORMAT format;
        int bits;
    };
    const Case cases[] = {{D3DFMT_A8R8G8B8, 32}, {D3DFMT_A2B10G10R10, 32}, {D3DFMT_X1R5G5B5, 16}, {D3DFMT_A8R3G3B2, 16},
                          {D3DFMT_R8G8B8, 0},    {D3DFMT_A8, 0},           {D3DFMT_R3G3B2, 0}};
    for (const Case& c : cases) EXPECT_EQ(QelGraphics::D3DFORMAT2bits(c.format), c.bits) << c.format;
}

TEST_F(QelGraphicsTest, StartLogsAdapterCapsModesAndViewport) {
    d3d->caps.CursorCaps = 0;
    d3d->caps.ZCmpCaps = 0xFF;
    create();
    std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    for (const char* line : {"QelGraphics::dumpAdapterInfo(): Driver: recording",
                             "DriverVersion (hex): Product(0x0006), Version(0x000e), SubVersion(0x000a), Build(0x270f)",
                             "VendorId: 0x10de", "\tCursorCaps:\r\n", "\t(unsupported)  D3DCURSORCAPS_COLOR D3DCURSORCAPS_LOWRES\r\n",
                             "\tZCmpCaps: D3DPCMPCAPS_ALWAYS D3DPCMPCAPS_EQUAL", "Sorted adapter modes:", " 1280x800 (16:10)",
                             "Desktop resolution is 1920x1080 D3DFMT_X8R8G8B8 @ 60 Hz.", "Using hardware T&L.",
                             "Viewport 1920x1080 (0,0)-(1920,1080)", "Device validation: PASSED (S_OK, 1 passes required).",
                             "QelGraphics::QelGraphics(): Started."})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    // Every comparison flag is supported: the line after ZCmpCaps is the next field, not "(unsupported)".
    size_t z = log.find("\tZCmpCaps:");
    ASSERT_NE(z, std::string::npos);
    size_t next = log.find("\n", z);
    EXPECT_NE(log.substr(next + 1, 40).find("SrcBlendCaps:"), std::string::npos) << log.substr(next + 1, 40);
    graphics.reset();
}

}  // namespace

namespace {

// Calls the fatal hook again from inside the restore it started.
struct ReenteringObject : QelBase {
    void onRestorePresentation() override {
        ++restores;
        QelGraphics::onFatalError();
    }
    int restores = 0;
};

TEST_F(QelGraphicsTest, FatalPathLeavesFullScreenOnceWithoutRecursing) {
    create();
    ASSERT_TRUE(graphics->bFullScreen);
    EXPECT_EQ(engine->crashGraphicsHook, &QelGraphics::onFatalError);
    ReenteringObject object;
    device->calls.clear();
    engine->crashGraphicsHook();
    EXPECT_FALSE(graphics->bFullScreen);
    EXPECT_EQ(object.restores, 1);
    EXPECT_EQ(device->callsStartingWith("Reset").size(), 1u);
    graphics.reset();
    EXPECT_EQ(engine->crashGraphicsHook, nullptr);
}

}  // namespace
