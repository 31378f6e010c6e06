// The screen stack: activation, popping, the global keys and the quit flag.

#include <gtest/gtest.h>

#include <algorithm>

#include "AppFixture.h"

namespace {


constexpr int kEscape = 1, kSpace = 57, kJoystickButton0 = 272;

class ContextManagerTest : public AppTest {
protected:
    ProbeScreen* push(const char* name, bool deleteWhenDone = true) {
        auto* s = new ProbeScreen(journal, name);
        s->bDeleteWhenDone = deleteWhenDone;
        stack->pushContext(s);
        return s;
    }
    void TearDown() override {
        ContextManager::createConfirmation = nullptr;
        AppTest::TearDown();
    }
    Journal journal;
};

}  // namespace

TEST_F(ContextManagerTest, OnlyTheFrontScreenIsTickedAndActivationsAreTold) {
    auto* a = new ProbeScreen(journal, "a");
    a->bDeleteWhenDone = true;
    a->bDone = true;
    stack->pushContext(a);  // pushing clears it
    tick();
    EXPECT_FALSE(a->bDone);
    ProbeScreen* b = push("b");
    tick();
    tick();
    EXPECT_EQ(a->ticks, 1);
    EXPECT_EQ(b->ticks, 2);
    b->bDone = true;
    tick();
    EXPECT_EQ(a->ticks, 2);
    EXPECT_EQ(journal, (Journal{"a activated first", "a covered", "b activated first", "b finished", "b deleted", "a activated"}));
}

TEST_F(ContextManagerTest, TwoScreensFinishingTogetherPopTopFirstAndTheLastSetsQuit) {
    ProbeScreen* a = push("a");
    ProbeScreen* b = push("b");
    tick();
    journal.clear();
    a->bDone = b->bDone = true;
    tick();
    EXPECT_EQ(journal, (Journal{"b finished", "b deleted", "a finished", "a deleted"}));
    EXPECT_TRUE(stack->bQuit);
    EXPECT_EQ(stack->getTopContext(), nullptr);
}

TEST_F(ContextManagerTest, AScreenNotToDeleteIsPoppedAndKept) {
    ProbeScreen* keep = push("keep", false);
    push("base");
    stack->removeChild(keep);
    stack->pushContext(keep);
    tick();
    keep->bDone = true;
    tick();
    EXPECT_EQ(keep->owner, nullptr);
    EXPECT_FALSE(stack->bQuit);
    EXPECT_EQ(journal.back(), "base activated first");
    delete keep;
}

TEST_F(ContextManagerTest, EscapeFinishesOnlyScreensItMayClose) {
    ProbeScreen* a = push("a");
    tick();
    a->bEscapeCloses = false;
    setKey(kEscape, true, false);
    tick();
    EXPECT_FALSE(a->bDone);
    a->bEscapeCloses = true;
    setKey(kEscape, true, true);  // held, not pressed
    tick();
    EXPECT_FALSE(a->bDone);
    setKey(kEscape, true, false);
    tick();
    EXPECT_TRUE(a->bDone);
}

TEST_F(ContextManagerTest, ConfirmedEscapeAsksAndOnlyYesFinishesTheScreen) {
    static int* answer = nullptr;
    static ProbeScreen* dialog = nullptr;
    static Journal* dialogJournal = nullptr;
    dialogJournal = &journal;
    ContextManager::createConfirmation = [](int* result) -> Context* {
        answer = result;
        *result = -1;
        dialog = new ProbeScreen(*dialogJournal, "dialog");
        dialog->bDeleteWhenDone = true;
        return dialog;
    };
    ProbeScreen* a = push("a");
    a->bConfirmEscape = true;
    tick();
    setKey(kEscape, true, false);
    tick();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(answer, &stack->confirmResult);
    EXPECT_FALSE(a->bDone);
    releaseKeys();

    // NO: the dialog closes, the screen stays.
    dialog->onTick = [](ProbeScreen& self) {
        *answer = 1;
        self.bDone = true;
    };
    tick();
    tick();
    EXPECT_FALSE(a->bDone);
    EXPECT_EQ(stack->getTopContext(), a);
    EXPECT_FALSE(stack->bQuit);

    // YES: both go in one tick, and with them the program.
    setKey(kEscape, true, false);
    tick();
    releaseKeys();
    dialog->onTick = [](ProbeScreen& self) {
        *answer = 0;
        self.bDone = true;
    };
    tick();
    EXPECT_TRUE(a->bDone);
    EXPECT_EQ(stack->confirmResult, -1);
    tick();
    EXPECT_TRUE(stack->bQuit);
}

TEST_F(ContextManagerTest, SkipKeysFinishSkippableScreens) {
    struct Case {
        int key;
        bool skippable;
        bool expectDone;
    } cases[] = {{kSpace, true, true}, {kJoystickButton0, true, true}, {kSpace, false, false}, {30, true, false}};
    for (const Case& k : cases) {
        ProbeScreen* s = push("s");
        s->bAnyKeyCloses = k.skippable;
        tick();
        setKey(k.key, true, false);
        tick();
        releaseKeys();
        EXPECT_EQ(s->bDone, k.expectDone) << k.key;
        s->bDone = true;
        tick();
    }
}

TEST_F(ContextManagerTest, SkipFollowsTheFifthKeyBinding) {
    application->gameConfiguration.keyBindings[4][0] = 30;
    ProbeScreen* s = push("s");
    s->bAnyKeyCloses = true;
    tick();
    setKey(kSpace, true, false);
    tick();
    EXPECT_FALSE(s->bDone);
    setKey(30, true, false);
    tick();
    EXPECT_TRUE(s->bDone);
}

TEST_F(ContextManagerTest, OnlyTheFrontScreenIsAskedForThePointer) {
    struct Hit : QelBase {
        bool isUnderPointer() override { return true; }
    };
    ProbeScreen* below = push("below");
    auto* item = new Hit();
    below->addChild(item);
    int skip = 0;
    EXPECT_EQ(stack->findObjectUnderPointer(skip), item);
    push("dialog");
    skip = 0;
    EXPECT_EQ(stack->findObjectUnderPointer(skip), nullptr);
}

TEST_F(ContextManagerTest, EscapeOnTheConfirmationClosesOnlyTheConfirmation) {
    static Journal* out = nullptr;
    out = &journal;
    ContextManager::createConfirmation = [](int* result) -> Context* {
        auto* dialog = new ProbeScreen(*out, "dialog");
        dialog->bDeleteWhenDone = true;
        return dialog;
    };
    ProbeScreen* a = push("a");
    a->bConfirmEscape = true;
    tick();
    setKey(kEscape, true, false);
    tick();
    ASSERT_NE(stack->getTopContext(), a);
    tick();  // escape pressed again, now on the dialog
    releaseKeys();
    tick();
    EXPECT_EQ(stack->getTopContext(), a);
    EXPECT_FALSE(a->bDone);
    EXPECT_FALSE(stack->bQuit);
    EXPECT_EQ(stack->confirmResult, -1);
}

TEST_F(ContextManagerTest, DrawsTheFrontScreenThenItsPointerOnlyWhileTheWindowIsActive) {
    struct Drawn : QelBase {
        explicit Drawn(Journal& j, std::string n) : journal(j), name(std::move(n)) {}
        void render() override { journal.push_back(name + " drawn"); }
        void update(double, double) override { journal.push_back(name + " updated"); }
        Journal& journal;
        std::string name;
    };
    struct DrawnScreen : ProbeScreen {
        using ProbeScreen::ProbeScreen;
        void draw() override { journal.push_back(name + " drawn"); }
    };
    auto* below = new DrawnScreen(journal, "below");
    auto* top = new DrawnScreen(journal, "top");
    Drawn companion(journal, "companion");
    stack->pushContext(below);
    stack->pushContext(top);
    top->pPointerOverride = &companion;
    tick();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "companion updated"), 1) << "updated before the screen's tick";
    journal.clear();
    engine->bWindowActive = true;
    stack->draw();
    EXPECT_EQ(journal, (Journal{"top drawn", "companion drawn"}));
    journal.clear();
    engine->bWindowActive = false;
    stack->draw();
    EXPECT_EQ(journal, (Journal{"top drawn"}));
    journal.clear();
    engine->bWindowActive = true;
    top->bShowPointer = false;
    stack->draw();
    EXPECT_EQ(journal, (Journal{"top drawn"}));
    top->pPointerOverride = nullptr;
}
