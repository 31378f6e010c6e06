#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InputTestFixture.h"
#include "media/PointerDispatcher.h"
#include "media/TouchPoint.h"
#include "platform/KeyCodeTable.h"

namespace {

using Log = std::vector<std::string>;

// An object that records every event pass it sees as "name:pass:code".
struct Recorder : QelBase {
    Recorder(const char* name, Log& log, QelBase* parent = nullptr) : name(name), log(log) {
        if (parent) parent->addChild(this);
    }
    bool isUnderPointer() override { return bUnder; }
    // An object may pick itself even while its input is disabled (the dispatcher checks again).
    QelBase* findObjectUnderPointer(int& skip) override {
        if (bPickWhenDisabled && bUnder) return --skip < 0 ? this : nullptr;
        return QelBase::findObjectUnderPointer(skip);
    }
    bool onPreviewEvent(PointerEvent* e) override { return record("preview", e, bConsumePreview); }
    bool onEvent(PointerEvent* e) override { return record("event", e, bConsumeEvent); }
    bool onBubbleEvent(PointerEvent* e) override { return record("bubble", e, false); }
    bool record(const char* pass, PointerEvent* e, bool answer) {
        if (e->code == POINTEREVENT_LINKCLEARED) return false;
        log.push_back(name + ":" + pass + ":" + std::to_string(e->code));
        if (e->code == POINTEREVENT_FOCUSLOST) lostTo = reinterpret_cast<QelBase*>(e->param2);
        return answer;
    }
    std::string name;
    Log& log;
    bool bUnder = false;
    bool bPickWhenDisabled = false;
    bool bConsumePreview = false;
    bool bConsumeEvent = false;
    QelBase* lostTo = reinterpret_cast<QelBase*>(1);
};

// The full path of one event to a target under root > panel.
Log path(const char* target, int code) {
    const std::string c = std::to_string(code);
    return {"root:preview:" + c, "panel:preview:" + c, std::string(target) + ":event:" + c, "panel:bubble:" + c,
            "root:bubble:" + c};
}

Log join(std::initializer_list<Log> parts) {
    Log all;
    for (const Log& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct PointerDispatcherTest : InputTestFixture {
    void SetUp() override {
        InputTestFixture::SetUp();
        makeInput();
        dispatcher = std::make_unique<PointerDispatcher>(input.get());
        // Settle the pointer on the buttons in mouse mode.
        input->onWindowMouseMove(100, 100);
        step();
        log.clear();
    }
    void TearDown() override {
        dispatcher.reset();
        InputTestFixture::TearDown();
    }
    void step() {
        frame();
        dispatcher->update(&root);
    }
    void click(int x, int y) {
        input->onWindowMouseDown(x, y, 0);
        step();
        input->onWindowMouseUp(x, y, 0);
        step();
    }

    Log log;
    Recorder root{"root", log};
    Recorder panel{"panel", log, &root};
    Recorder a{"a", log, &panel};
    Recorder b{"b", log, &panel};
    std::unique_ptr<PointerDispatcher> dispatcher;
};

}  // namespace

TEST_F(PointerDispatcherTest, PressMovesTheFocusAndReleaseClicksThroughPreviewEventBubble) {
    a.bUnder = true;
    input->onWindowMouseDown(100, 100, 0);
    step();
    EXPECT_EQ(log, path("a", POINTEREVENT_FOCUSGAINED));
    EXPECT_EQ(dispatcher->getFocus(), &a);
    log.clear();
    input->onWindowMouseMove(101, 100);
    input->onWindowMouseUp(101, 100, 0);  // within 2 pixels
    step();
    EXPECT_EQ(log, join({path("a", POINTEREVENT_CLICK), path("a", POINTEREVENT_MOVED)}));
    log.clear();

    // Pressing another object: focus lost (naming the new focus) then gained, in the press frame.
    a.bUnder = false;
    b.bUnder = true;
    input->onWindowMouseDown(101, 100, 0);
    step();
    EXPECT_EQ(log, join({path("a", POINTEREVENT_FOCUSLOST), path("b", POINTEREVENT_FOCUSGAINED)}));
    EXPECT_EQ(a.lostTo, &b);
    log.clear();
    input->onWindowMouseMove(104, 100);
    input->onWindowMouseUp(104, 100, 0);  // 3 pixels away: no click
    step();
    EXPECT_EQ(log, path("b", POINTEREVENT_MOVED));
}

TEST_F(PointerDispatcherTest, HeldMovementSendsMovedThenDragToThePressedObjectEvenOffIt) {
    a.bUnder = true;
    input->onWindowMouseDown(100, 100, 0);
    step();
    step();
    log.clear();
    a.bUnder = false;  // the pointer leaves the object
    input->onWindowMouseMove(150, 100);
    step();
    EXPECT_EQ(log, join({path("a", POINTEREVENT_MOVED), path("a", POINTEREVENT_DRAG)}));
    log.clear();
    step();  // no movement, no events
    EXPECT_TRUE(log.empty());
    input->onWindowMouseUp(150, 100, 0);
    step();
    EXPECT_TRUE(log.empty());  // released far from the press point: no click
}

TEST_F(PointerDispatcherTest, KeysGoToTheFocusOnlyAndTypedCharactersCount) {
    key(SDL_SCANCODE_SPACE, true);
    step();
    EXPECT_TRUE(log.empty());  // no focus: the dispatcher keeps it
    key(SDL_SCANCODE_SPACE, false);
    dispatcher->setFocus(&b);
    log.clear();
    key(SDL_SCANCODE_RETURN, true);
    step();
    EXPECT_EQ(log, path("b", POINTEREVENT_KEYPRESSED));
    log.clear();
    step();
    EXPECT_TRUE(log.empty());
    input->onWindowChar(u'\b');
    step();
    EXPECT_EQ(log, path("b", POINTEREVENT_KEYPRESSED));
    key(SDL_SCANCODE_RETURN, false);
}

TEST_F(PointerDispatcherTest, PressOnADisabledObjectKeepsTheFocusAndOnNothingClearsIt) {
    dispatcher->setFocus(&a);
    b.bUnder = true;
    b.bInputDisabled = true;
    b.bPickWhenDisabled = true;
    log.clear();
    click(100, 100);
    EXPECT_EQ(dispatcher->getFocus(), &a);

    b.bUnder = false;
    log.clear();
    input->onWindowMouseDown(100, 100, 0);
    step();
    EXPECT_EQ(dispatcher->getFocus(), nullptr);
    EXPECT_EQ(log, path("a", POINTEREVENT_FOCUSLOST));
    EXPECT_EQ(a.lostTo, nullptr);
}

TEST_F(PointerDispatcherTest, DisablingTheOwnerDropsTheFocusAndSwallowsFocusLost) {
    dispatcher->setFocus(&a);
    log.clear();
    panel.bInputDisabled = true;
    step();
    EXPECT_EQ(dispatcher->getFocus(), nullptr);
    EXPECT_TRUE(log.empty());

    panel.bInputDisabled = false;
    dispatcher->setFocus(&b);
    b.bInactive = true;
    log.clear();
    step();
    EXPECT_EQ(dispatcher->getFocus(), nullptr);
    EXPECT_EQ(log, path("b", POINTEREVENT_FOCUSLOST));
}

TEST_F(PointerDispatcherTest, TabPicksTheObjectBehind) {
    a.bUnder = true;
    b.bUnder = true;  // b is in front (the last child)
    step();
    EXPECT_EQ(dispatcher->getHover(), &b);
    key(SDL_SCANCODE_TAB, true);
    step();
    EXPECT_EQ(dispatcher->getHover(), &a);
    key(SDL_SCANCODE_TAB, false);
}

TEST_F(PointerDispatcherTest, ConsumedEventsStopWhereTheyAreTaken) {
    panel.bConsumePreview = true;
    dispatcher->sendEvent(POINTEREVENT_CLICK, dispatcher.get(), &a);
    EXPECT_EQ(log, (Log{"root:preview:4", "panel:preview:4"}));
    panel.bConsumePreview = false;
    a.bConsumeEvent = true;
    log.clear();
    dispatcher->sendEvent(POINTEREVENT_CLICK, dispatcher.get(), &a);
    EXPECT_EQ(log, (Log{"root:preview:4", "panel:preview:4", "a:event:4"}));
    a.bConsumeEvent = false;
    a.bInputDisabled = true;  // a disabled target is skipped, its owners still see the event
    log.clear();
    dispatcher->sendEvent(POINTEREVENT_CLICK, dispatcher.get(), &a);
    EXPECT_EQ(log, (Log{"root:preview:4", "panel:preview:4", "panel:bubble:4", "root:bubble:4"}));
    log.clear();
    dispatcher->sendEvent(POINTEREVENT_CLICK, nullptr, nullptr);
    EXPECT_TRUE(log.empty());
}

TEST_F(PointerDispatcherTest, DeletedFocusLeavesTheLinkEmpty) {
    auto* c = new Recorder("c", log, &panel);
    dispatcher->setFocus(c);
    c->bUnder = true;
    step();
    EXPECT_EQ(dispatcher->getHover(), c);
    delete c;
    EXPECT_EQ(dispatcher->getFocus(), nullptr);
    EXPECT_EQ(dispatcher->getHover(), nullptr);
    step();
}

TEST_F(PointerDispatcherTest, RoleIsCurrentOnlyDuringTheUpdate) {
    static std::vector<QelBase*> roles;
    PointerDispatcher::setCurrentRole = [](QelBase* role) { roles.push_back(role); };
    step();
    EXPECT_EQ(roles, (std::vector<QelBase*>{nullptr}));
    dispatcher->roleLink.set(&root);
    roles.clear();
    step();
    PointerDispatcher::setCurrentRole = nullptr;
    EXPECT_EQ(roles, (std::vector<QelBase*>{&root, nullptr}));
}

TEST(PointerDispatcher, OutlineIsAClosedFiveVertexStrip) {
    static std::vector<PointerDispatcher::OutlineVertex> drawn;
    const float rect[4] = {10, 20, 30, 5};
    PointerDispatcher::drawRectOutline(rect, 0xFF00FF00);  // no drawer yet: nothing happens
    PointerDispatcher::lineStripDrawer = [](const PointerDispatcher::OutlineVertex* v, int n) { drawn.assign(v, v + n); };
    PointerDispatcher::drawRectOutline(rect, 0xFF00FF00);
    PointerDispatcher::lineStripDrawer = nullptr;
    ASSERT_EQ(drawn.size(), 5u);
    const float expected[5][2] = {{10, 20}, {30, 20}, {30, 5}, {10, 5}, {10, 20}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(drawn[i].x, expected[i][0]) << i;
        EXPECT_EQ(drawn[i].y, expected[i][1]) << i;
        EXPECT_EQ(drawn[i].z, 0.0f);
        EXPECT_EQ(drawn[i].colour, 0xFF00FF00u);
    }
}
