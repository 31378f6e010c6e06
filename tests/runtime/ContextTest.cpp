#include "media/Context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/EngineFixture.h"
#include "runtime/QelRuntime.h"

namespace {

class ContextTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
    }
    // Makes the next engine step 'step' seconds.
    void setStep(double step) {
        qel->frameTimer.previousFrameTime = 0.0;
        qel->frameTimer.frameTime = step;
    }
};

TEST_F(ContextTest, TimeLimitEndsTheContextOnlyOnceExceeded) {
    qel->maxFrameDelta = 1.0;
    setStep(0.5);
    Context context;
    context.timeLimit = 2.0;
    for (int i = 0; i < 4; ++i) context.tick(0, 0);
    EXPECT_DOUBLE_EQ(context.totalTime, 2.0);
    EXPECT_FALSE(context.bDone);
    context.tick(0, 0);
    EXPECT_TRUE(context.bDone);
}

TEST_F(ContextTest, StepIsClampedBeforeItIsScaled) {
    struct Row {
        double frameStep, timeScale, expected;
    };
    for (const Row& row : {Row{0.016, 1.0, 0.016}, Row{10.0, 1.0, 0.05}, Row{10.0, 2.0, 0.1}, Row{0.02, 0.5, 0.01},
                           Row{0.0, 1.0, 0.0}}) {
        setStep(row.frameStep);
        Context context;
        context.timeScale = row.timeScale;
        context.tick(0, 0);
        EXPECT_NEAR(context.deltaTime, row.expected, 1e-12) << row.frameStep << " x" << row.timeScale;
        EXPECT_NEAR(context.totalTime, row.expected, 1e-12);
    }
}

TEST_F(ContextTest, FramesDriveTheContextClockThroughTheFrameTimer) {
    qel->frameTimer.reset(0.0205);
    Context root;
    qelRuntime()->frame(&root);
    EXPECT_DOUBLE_EQ(root.deltaTime, 0.0);  // nothing has been waited for before the first frame
    qelRuntime()->frame(&root);
    EXPECT_NEAR(root.deltaTime, 0.020, 1e-9);  // the wait of the first frame, in whole milliseconds
    clock.advance(10.0);                       // a long stall
    qelRuntime()->frame(&root);
    qelRuntime()->frame(&root);
    EXPECT_DOUBLE_EQ(root.deltaTime, 0.05);
    qelRuntime()->frame(&root);
    EXPECT_NEAR(root.deltaTime, 0.020, 1e-9);
    EXPECT_NEAR(root.totalTime, 0.020 + 0.020 + 0.05 + 0.020, 1e-9);
}

bool f10Down = false, f11Down = false;

TEST_F(ContextTest, DebugKeysChangeTheStepOnlyWhenUnlocked) {
    Qel::keyDownHook = [](int code) { return (code == 0x44 && f10Down) || (code == 0x57 && f11Down); };
    struct Row {
        bool locked, f10, f11;
        double expected;
    };
    // Both keys down: F11 wins. The debug keys act before the clamp.
    for (const Row& row : {Row{true, true, false, 0.02}, Row{true, false, true, 0.02}, Row{false, true, false, 0.002},
                           Row{false, false, true, 0.05}, Row{false, true, true, 0.05}, Row{false, false, false, 0.02}}) {
        qel->bDebugLocked = row.locked;
        f10Down = row.f10;
        f11Down = row.f11;
        setStep(0.02);
        Context context;
        context.tick(0, 0);
        EXPECT_NEAR(context.deltaTime, row.expected, 1e-12) << row.locked << row.f10 << row.f11;
    }
}

// Records which context is current when it ticks or draws.
class ProbeContext : public Context {
public:
    void tickContents(double total, double dt) override {
        seenInTick = qel->pCurrentContext;
        Context::tickContents(total, dt);
    }
    void renderContents() override {
        seenInRender = qel->pCurrentContext;
        Context::renderContents();
    }
    Context* seenInTick = nullptr;
    Context* seenInRender = nullptr;
};

TEST_F(ContextTest, CurrentContextIsRestoredAroundNestedContexts) {
    auto* outer = new ProbeContext();
    auto* inner = new ProbeContext();
    outer->addChild(inner);
    Context* before = qel->pCurrentContext;
    outer->tick(0, 0);
    outer->draw();
    EXPECT_EQ(outer->seenInTick, outer);
    EXPECT_EQ(inner->seenInTick, inner);
    EXPECT_EQ(outer->seenInRender, outer);
    EXPECT_EQ(inner->seenInRender, inner);
    EXPECT_EQ(qel->pCurrentContext, before);
    delete outer;
}

// Records the times it is updated with.
class HookRecorder : public QelBase {
public:
    void update(double t, double dt) override { calls.push_back({t, dt}); }
    void render() override { ++renders; }
    std::vector<std::pair<double, double>> calls;
    int renders = 0;
};

TEST_F(ContextTest, PreHookSeesThePreviousTimesAndPostHookTheNewOnes) {
    setStep(0.01);
    HookRecorder pre, post;
    Context context;
    context.pPreHook = &pre;
    context.pPostHook = &post;
    context.tick(0, 0);
    context.tick(0, 0);
    context.draw();
    ASSERT_EQ(pre.calls.size(), 2u);
    EXPECT_DOUBLE_EQ(pre.calls[0].first, 0.0);
    EXPECT_NEAR(pre.calls[1].first, 0.01, 1e-12);
    ASSERT_EQ(post.calls.size(), 2u);
    EXPECT_NEAR(post.calls[1].first, 0.02, 1e-12);
    EXPECT_NEAR(post.calls[1].second, 0.01, 1e-12);
    EXPECT_EQ(pre.renders, 1);
    EXPECT_EQ(post.renders, 1);
}

// Both hooks lie beneath the contents: the backdrop, what passes over it (falling snow), then the
// screen's own captions.
TEST_F(ContextTest, BothHooksAreDrawnBeneathTheContents) {
    struct Drawn : QelBase {
        Drawn(std::string& order, char name) : order(order), name(name) {}
        void render() override { order += name; }
        std::string& order;
        char name;
    };
    struct Screen : Context {
        explicit Screen(std::string& order) : order(order) {}
        void renderContents() override { order += 'c'; }
        std::string& order;
    };
    std::string order;
    Drawn pre(order, 'a'), post(order, 'b');
    Screen screen(order);
    screen.pPreHook = &pre;
    screen.pPostHook = &post;
    screen.draw();
    EXPECT_EQ(order, "abc");
}

TEST_F(ContextTest, PointerProjectsOnePixelToOneUnitWithTheDefaultCamera) {
    struct Row {
        float left, bottom, cameraZ, layoutWidth, px, py, x, y;
    };
    // The default camera stands at z = -layoutWidth / 2; one twice as far sees two units per pixel.
    for (const Row& row : {Row{-400, -240, -400, 800, 0, 0, -400, -240}, Row{-400, -240, -400, 800, 800, 480, 400, 240},
                           Row{-800, -480, -800, 800, 100, 50, -600, -380}}) {
        float out[3] = {1, 1, 1};
        Context::projectPointer(row.left, row.bottom, row.cameraZ, row.layoutWidth, row.px, row.py, out);
        EXPECT_FLOAT_EQ(out[0], row.x);
        EXPECT_FLOAT_EQ(out[1], row.y);
        EXPECT_FLOAT_EQ(out[2], 0.0f);
    }
}

TEST_F(ContextTest, FindContextReturnsTheNearestContext) {
    auto* context = new Context();
    auto* child = new QelBase();
    auto* grandChild = new QelBase();
    context->addChild(child);
    child->addChild(grandChild);
    EXPECT_EQ(Context::findContext(grandChild), context);
    EXPECT_EQ(Context::findContext(context), context);
    delete context;
}

}  // namespace
