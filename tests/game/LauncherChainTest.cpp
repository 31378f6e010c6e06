// The launcher's chain: the shot to the edge of the view and back, what it may grab, and what
// happens to the piece it brings back (a bonus takes effect, any other piece goes onto the bow, a
// piece that dies on the way is let go).

#include <cmath>
#include <limits>

#include "LauncherFixture.h"

namespace {

constexpr float kPi = 3.14159265f;

using LauncherChainTest = LauncherTest;

TEST(LauncherChainEdge, DistanceAlongARayToTheEdgeOfARectangle) {
    struct Case {
        float x, y, angle, expected;
    };
    // The rectangle x -400..400, y -300..300.
    const Case cases[] = {
        {0, 0, 0, 400},
        {0, 0, kPi, 400},
        {0, 0, kPi / 2, 300},
        {0, 0, -kPi / 2, 300},
        {100, 100, 0, 300},
        {0, 0, kPi / 4, 300 * std::sqrt(2.0f)},         // leaves through the top first
        {0, 0, std::atan2(300.0f, 400.0f), 500},         // the corner
        {390, 0, 0, 10},                                  // near the edge
        {400, 0, 0, 0},                                   // on it
        {500, 0, kPi, 0},                                 // outside
        {0, -400, kPi / 2, 0},                            // outside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " at " << c.angle);
        EXPECT_NEAR(LauncherChain::distanceToEdge(c.x, c.y, c.angle, -400, 400, -300, 300), c.expected, 1e-2f);
    }
}

TEST_F(LauncherChainTest, TheHookJustReachesTheEdgeOfTheViewAndComesBack) {
    const WorldRect view = game->pWorldLayer->pCamera->getVisibleRect(0.0f);
    aimAlong(kPi / 2);
    arm();
    LauncherChain* chain = launcher->chain;
    EXPECT_NEAR((chain->position - (launcher->position + launcher->aimDirection * 45.0f)).length(), 0.0f, 1e-3f);
    frame(GameController::COMMAND_CLAW);
    ASSERT_EQ(chain->state, LauncherChain::STATE_OUT);
    const float reach = view.top - launcher->position.y;
    EXPECT_NEAR(chain->maxExtension, reach, 1e-2f);
    const float speed = 2000.0f * std::sqrt(2.0f * (reach - 45.0f) / 2000.0f);
    EXPECT_NEAR(chain->extension.velocity.x, speed, 1e-2f);
    // A second shot while it is out changes nothing.
    frame(GameController::COMMAND_CLAW);
    int frames = 1;
    float furthest = 0.0f;
    while (chain->state == LauncherChain::STATE_OUT && frames < 600) {
        furthest = std::max(furthest, chain->position.y);
        frame();
        ++frames;
    }
    EXPECT_EQ(chain->state, LauncherChain::STATE_RETRACTED);
    // Out and back under 2000 units a second squared: 2 v / 2000 seconds.
    EXPECT_NEAR(frames / 60.0f, 2.0f * speed / 2000.0f, 3.0f / 60.0f);
    // Stepped a frame at a time it falls short by up to half a frame's travel.
    EXPECT_NEAR(furthest, view.top, speed / 60.0f);
    EXPECT_LE(furthest, view.top + 1e-2f);
    EXPECT_FLOAT_EQ(chain->extension.position.x, 0.0f);
    EXPECT_FLOAT_EQ(chain->extension.force.x, 0.0f);
    EXPECT_GT(TracedSounds::count(u"chainClick"), 2);
    // The clicks are a tenth of a second apart at most.
    EXPECT_LE(TracedSounds::count(u"chainClick"), frames / 6 + 1);
}

TEST_F(LauncherChainTest, AShotTowardsAnEdgeCloserThanTheHookIsIgnored) {
    const WorldRect view = game->pWorldLayer->pCamera->getVisibleRect(0.0f);
    struct Case {
        float fromEdge;
        bool fires;
    };
    for (const Case& c : {Case{20.0f, false}, Case{44.0f, false}, Case{60.0f, true}}) {
        SCOPED_TRACE(c.fromEdge);
        launcher->chain->gotoState(LauncherChain::STATE_RETRACTED);
        launcher->position = Vector3(view.right - c.fromEdge, 0.0f, 0.0f);
        launcher->updateXform();
        launcher->chain->fire(view.right + 100.0f, 0.0f);
        EXPECT_EQ(launcher->chain->state == LauncherChain::STATE_OUT, c.fires);
    }
}

class GrabTest : public LauncherChainTest {
protected:
    void SetUp() override {
        LauncherChainTest::SetUp();
        // The trains stand still.
        game->stopUntil = 1.0e9;
        train = makeTrain({1, 1}, 900.0f);
        slot = slotOf(carAt(train, 1));
        slot->setColor(3);
        // A red slot keeps red pieces wanted.
        slotOf(carAt(train, 2))->setColor(0);
        arm();
    }
    // The hook shot at the slot, the frames run until it is back (or a limit).
    int clawAtSlot() {
        pointAt(slot->getCentre());
        frame(GameController::COMMAND_CLAW);
        int frames = 1;
        while (launcher->chain->state == LauncherChain::STATE_OUT && frames < 600) {
            frame();
            ++frames;
        }
        return frames;
    }
    Train* train = nullptr;
    CargoSlot* slot = nullptr;
};

TEST_F(GrabTest, AWrongPieceComesBackOntoTheBow) {
    Cargo* wrong = seat(slot, 0);
    const std::vector<Cargo*> before = launcher->queuedPieces();
    pointAt(slot->getCentre());
    frame(GameController::COMMAND_CLAW);
    LauncherChain* chain = launcher->chain;
    int frames = 0;
    while (!chain->held && chain->state == LauncherChain::STATE_OUT && frames < 600) {
        frame();
        ++frames;
    }
    ASSERT_EQ(chain->held, wrong);
    EXPECT_EQ(slot->held, nullptr);
    EXPECT_EQ(wrong->slot, nullptr);
    EXPECT_EQ(wrong->owner, chain);
    EXPECT_EQ(wrong->state, Cargo::STATE_CHAINED);
    // It comes back four times harder.
    EXPECT_FLOAT_EQ(chain->extension.force.x, -8000.0f);
    // The piece rides on the hook.
    frame();
    EXPECT_NEAR((wrong->position - chain->position).length(), 0.0f, 1e-3f);
    while (chain->state == LauncherChain::STATE_OUT && frames < 600) {
        frame();
        ++frames;
    }
    EXPECT_EQ(chain->held, nullptr);
    // On the bow, in front; the former front piece became the reserve, the reserve went.
    const std::vector<Cargo*> after = launcher->queuedPieces();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], wrong);
    EXPECT_EQ(after[1], before[0]);
    EXPECT_EQ(wrong->state, Cargo::STATE_QUEUED);
    EXPECT_EQ(launcher->cycleDirection, -1);
}

TEST_F(GrabTest, ABonusTakesEffectWhenTheChainIsBackAndIsDestroyed) {
    auto* bonus = new TracingBonus();
    slot->replaceCargo(bonus);
    const std::vector<Cargo*> before = launcher->queuedPieces();
    clawAtSlot();
    EXPECT_EQ(TracingBonus::activations, 1);
    EXPECT_FALSE(TracingBonus::heldBySlotWhenFired);
    EXPECT_EQ(launcher->chain->held, nullptr);
    EXPECT_EQ(launcher->chain->firstChild, nullptr);
    EXPECT_EQ(launcher->queuedPieces(), before);
}

TEST_F(GrabTest, WhatTheHookMayTake) {
    LauncherChain* chain = launcher->chain;
    Cargo* piece = seat(slot, 0);
    struct Case {
        const char* name;
        int state;
        bool holding;
        bool touching;
        bool taken;
    };
    const Case cases[] = {
        {"retracted", LauncherChain::STATE_RETRACTED, false, true, false},
        {"holding", LauncherChain::STATE_OUT, true, true, false},
        {"apart", LauncherChain::STATE_OUT, false, false, false},
        {"out, empty, touching", LauncherChain::STATE_OUT, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chain->state = c.state;
        Cargo* other = c.holding ? Cargo::createByType(1) : nullptr;
        chain->held = other;
        chain->position = c.touching ? piece->position : piece->position + Vector3(300.0f, 0.0f, 0.0f);
        chain->updateXform();
        chain->extension.force = Vector3(-2000.0f, 0.0f, 0.0f);
        EXPECT_EQ(chain->grab(piece), c.taken);
        EXPECT_FLOAT_EQ(chain->extension.force.x, c.taken ? -8000.0f : -2000.0f);
        EXPECT_EQ(chain->held, c.taken ? piece : other);
        delete other;
    }
    chain->held = nullptr;
    chain->removeChild(piece);
    delete piece;
    slot->held = nullptr;
    chain->state = LauncherChain::STATE_RETRACTED;
}

TEST_F(GrabTest, APieceThatDiesOnTheChainIsLetGo) {
    // A red piece in the green slot: once no red slot is open, it dies on the way back.
    Cargo* wrong = seat(slot, 0);
    pointAt(slot->getCentre());
    frame(GameController::COMMAND_CLAW);
    LauncherChain* chain = launcher->chain;
    int frames = 0;
    while (!chain->held && frames < 600) {
        frame();
        ++frames;
    }
    ASSERT_EQ(chain->held, wrong);
    // The last red slot is filled.
    seat(slotOf(carAt(train, 2)), 0);
    frame();
    EXPECT_EQ(chain->held, nullptr);
    EXPECT_EQ(chain->firstChild, nullptr);
    // The chain comes back empty; nothing is put on the bow.
    while (chain->state == LauncherChain::STATE_OUT && frames < 600) {
        frame();
        ++frames;
    }
    EXPECT_EQ(chain->state, LauncherChain::STATE_RETRACTED);
    EXPECT_EQ(launcher->cycleDirection, 0);
    EXPECT_EQ(launcher->queuedPieces().size(), 2u);
}

}  // namespace
