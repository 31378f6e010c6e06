// The launcher on a level being played: aiming, the queue and its refill order, shots at both
// speeds, the reload, moving between spots, the beam, the bowstring and the aim colour.

#include <algorithm>
#include <functional>

#include "LauncherFixture.h"
#include "ui/GameConfiguration.h"
#include "game/FlareEffect.h"
#include "media/Sound.h"

namespace {

constexpr float kPi = 3.14159265f;

TEST_F(LauncherTest, DisabledItHoldsNothingAndArmedItLoadsTwoPieces) {
    frames(3);
    EXPECT_EQ(launcher->state, Launcher::STATE_DISABLED);
    EXPECT_TRUE(launcher->queuedPieces().empty());
    EXPECT_FLOAT_EQ(launcher->drawFraction, 0.75f);
    // Firing and clawing while disabled do nothing.
    frame(GameController::COMMAND_FIRE);
    frame(GameController::COMMAND_CLAW);
    EXPECT_EQ(game->stats_shotsFired, 0);
    EXPECT_EQ(launcher->chain->state, LauncherChain::STATE_RETRACTED);

    aimAlong(0.5f);
    arm();
    const std::vector<Cargo*> queued = launcher->queuedPieces();
    ASSERT_EQ(queued.size(), 2u);
    for (Cargo* piece : queued) EXPECT_EQ(piece->state, Cargo::STATE_QUEUED);
    EXPECT_NEAR(launcher->aimAngle, 0.5f, 0.01f);
    EXPECT_NEAR(launcher->rotation.z, launcher->aimAngle, 1e-6f);
    // The front piece sits on the bow at full size, the reserve 34 units behind at 0.55.
    EXPECT_NEAR((queued[0]->position - launcher->position).length(), 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(queued[0]->scale.x, 1.0f);
    const Vector3 back = launcher->position - launcher->aimDirection * 34.0f;
    EXPECT_NEAR((queued[1]->position - back).length(), 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(queued[1]->scale.x, 0.55f);
    EXPECT_FLOAT_EQ(launcher->drawFraction, 0.0f);

    // Back to disabled at the end of a level: the queue goes.
    launcher->gotoState(Launcher::STATE_DISABLED);
    EXPECT_TRUE(launcher->queuedPieces().empty());
    frames(2);
    EXPECT_TRUE(launcher->queuedPieces().empty());
}

TEST_F(LauncherTest, AShotFliesAtTheLevelsSpeedAndReloadsAtItsRate) {
    struct Case {
        double speedShot;
        float speed;
        int bowSounds;
        float pitchLow, pitchHigh;
        int reloadFrames;  // 1 / rate seconds at 60 frames a second (one more when the sum rounds up)
    };
    const Case cases[] = {{0.0, 640.0f, 1, 0.0f, 0.1f, 15}, {5.0, 1000.0f, 2, 0.25f, 0.25f, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speedShot);
        level->shotSpeedScale = 0.75f;
        launcher->speedShotTime = c.speedShot;
        aimAlong(kPi / 2);
        arm();
        Cargo* front = launcher->frontPiece();
        ASSERT_NE(front, nullptr);
        const int shots = game->stats_shotsFired;
        TracedSounds::played.clear();
        frame(GameController::COMMAND_FIRE);

        EXPECT_EQ(game->stats_shotsFired, shots + 1);
        ASSERT_EQ(flying().size(), 1u);
        EXPECT_EQ(flying()[0], front);
        EXPECT_EQ(front->state, Cargo::STATE_FLYING);
        EXPECT_NEAR(front->motion.velocity.length(), c.speed * 0.75f, 1e-2f);
        EXPECT_NEAR(front->motion.velocity.y, c.speed * 0.75f, 1e-2f);
        EXPECT_EQ(TracedSounds::count(u"bowSound"), c.bowSounds);
        Sound* bow = GameController::findSound(u"bowSound");
        ASSERT_NE(bow, nullptr);
        EXPECT_FLOAT_EQ(bow->randomPitchLow, c.pitchLow);
        EXPECT_FLOAT_EQ(bow->randomPitchHigh, c.pitchHigh);

        // The reload: the reserve slides onto the bow, and firing meanwhile does nothing.
        EXPECT_EQ(launcher->state, Launcher::STATE_RELOADING);
        EXPECT_EQ(launcher->cycleDirection, 1);
        int reload = 0;
        for (; reload < 5; ++reload) frame(GameController::COMMAND_FIRE);
        EXPECT_EQ(game->stats_shotsFired, shots + 1);
        while (launcher->state == Launcher::STATE_RELOADING && reload < 100) {
            frame();
            ++reload;
        }
        EXPECT_NEAR(reload, c.reloadFrames, 1);
        EXPECT_EQ(launcher->state, Launcher::STATE_READY);
        EXPECT_FLOAT_EQ(launcher->cycleProgress, 0.0f);
        EXPECT_EQ(launcher->queuedPieces().size(), 2u);
        game->pCargoLayer->releaseChildren();
    }
}

TEST_F(LauncherTest, FireballsAreLoadedFirstThenWildcardsThenColours) {
    arm();
    launcher->clearQueue();
    launcher->fireballShots = 4;
    launcher->wildcardShots = 4;
    std::vector<int> loaded;
    // Up with the pointer: each shot leaves the view without touching a car.
    aimAlong(kPi / 2);
    frame();
    for (int shot = 0; shot < 10; ++shot) {
        Cargo* front = launcher->frontPiece();
        ASSERT_NE(front, nullptr);
        loaded.push_back(front->type);
        frame(GameController::COMMAND_FIRE);
        while (launcher->state != Launcher::STATE_READY) frame();
        game->pCargoLayer->releaseChildren();
    }
    const std::vector<int> expected = {14, 14, 14, 14, 9, 9, 9, 9};
    EXPECT_EQ(std::vector<int>(loaded.begin(), loaded.begin() + 8), expected);
    EXPECT_LT(loaded[8], 8);
    EXPECT_LT(loaded[9], 8);
    EXPECT_EQ(launcher->fireballShots, 0);
    EXPECT_EQ(launcher->wildcardShots, 0);
    // The fireball's own launch sound instead of the bow's.
    EXPECT_GE(TracedSounds::count(u"fireballLaunch"), 4);
}

TEST_F(LauncherTest, ColoursFollowTheOpenSlotsOrTheUrgentOneByTheHelpChance) {
    // Blue at the front, nearest the tunnel: the urgent colour; red everywhere behind it.
    Train* train = makeTrain({1, 1, 1, 1, 1}, 1000.0f);
    slotOf(carAt(train, 1))->setColor(5);
    for (int car = 2; car <= 5; ++car) slotOf(carAt(train, car))->setColor(0);
    frame();
    ASSERT_EQ(game->colorPicker.urgentColor(), 5);
    struct Case {
        float helpChance;
        int blueAtLeast, blueAtMost;
    };
    for (const Case& c : {Case{1.0f, 20, 20}, Case{0.0f, 1, 15}}) {
        SCOPED_TRACE(c.helpChance);
        game->helpChance = c.helpChance;
        launcher->gotoState(Launcher::STATE_READY);
        int blue = 0;
        for (int round = 0; round < 10; ++round) {
            launcher->clearQueue();
            launcher->update(game->getGameTime(), 0.0);
            for (Cargo* piece : launcher->queuedPieces()) {
                EXPECT_TRUE(piece->type == 5 || piece->type == 0) << piece->type;
                blue += piece->type == 5;
            }
        }
        EXPECT_GE(blue, c.blueAtLeast);
        EXPECT_LE(blue, c.blueAtMost);
    }
}

TEST_F(LauncherTest, APieceBroughtInFrontPushesTheLastOneOut) {
    aimAlong(0.0f);
    arm();
    const std::vector<Cargo*> before = launcher->queuedPieces();
    Cargo* brought = Cargo::createByType(Cargo::TYPE_WILDCARD);
    brought->enterState(Cargo::STATE_QUEUED);
    launcher->insertCargo(brought, true);
    EXPECT_EQ(brought->owner, launcher->queue);
    EXPECT_FLOAT_EQ(brought->scale.x, 0.0f);
    EXPECT_EQ(launcher->state, Launcher::STATE_RELOADING);
    EXPECT_EQ(launcher->cycleDirection, -1);
    frame();
    const std::vector<Cargo*> after = launcher->queuedPieces();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], brought);
    EXPECT_EQ(after[1], before[0]);
    // It comes from the hook, 45 units in front, growing from nothing.
    EXPECT_NEAR((brought->position - (launcher->position + launcher->aimDirection * 45.0f)).length(), 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(brought->scale.x, 0.0f);
    int frames = 1;
    while (launcher->state == Launcher::STATE_RELOADING && frames < 100) {
        frame();
        ++frames;
    }
    // 1/8 s at 60 frames a second.
    EXPECT_EQ(frames, 8);
    EXPECT_FLOAT_EQ(launcher->cycleProgress, 1.0f);
    frame();
    EXPECT_NEAR((brought->position - launcher->position).length(), 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(brought->scale.x, 1.0f);
    EXPECT_NEAR((before[0]->position - (launcher->position - launcher->aimDirection * 34.0f)).length(), 0.0f, 1e-3f);
    // The queue never holds more than two.
    for (int i = 0; i < 3; ++i) {
        launcher->insertCargo(Cargo::createByType(i), i != 1);
        frame();
        EXPECT_EQ(launcher->queuedPieces().size(), 2u);
        EXPECT_EQ(launcher->queue->countChildren(), 2);
    }
}

TEST_F(LauncherTest, ADeadQueuedPieceIsNeitherCountedNorLaidOutNorFired) {
    aimAlong(kPi / 2);
    arm();
    std::vector<Cargo*> queued = launcher->queuedPieces();
    ASSERT_EQ(queued.size(), 2u);
    queued[0]->bDead = true;
    EXPECT_EQ(launcher->queuedPieces().size(), 1u);
    EXPECT_EQ(launcher->frontPiece(), queued[1]);
    frame(GameController::COMMAND_FIRE);
    // The live reserve was fired; the dead piece went; the queue is full again.
    ASSERT_EQ(flying().size(), 1u);
    EXPECT_EQ(flying()[0], queued[1]);
    EXPECT_EQ(game->stats_shotsFired, 1);
    EXPECT_EQ(launcher->queuedPieces().size(), 1u);
    EXPECT_EQ(launcher->queue->countChildren(), 1);
    frame();
    EXPECT_EQ(launcher->queuedPieces().size(), 2u);
}

TEST_F(LauncherTest, MovingBetweenSpots) {
    struct Case {
        int spots;
        std::vector<int> indices;  // after each of three moves
        int pops;
    };
    const Case cases[] = {{1, {0, 0, 0}, 0}, {2, {1, 0, 1}, 3}, {3, {1, 2, 0}, 3}};
    const Vector3 first = level->launcherPositions[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spots);
        SetUp();
        level->launcherPositions.resize(1);
        for (int i = 1; i < c.spots; ++i) level->launcherPositions.push_back(first + Vector3(-150.0f * i, 40.0f * i, 0.0f));
        // A new launcher's first move only places it: no sound, no sparks.
        launcher->positionIndex = -1;
        TracedSounds::played.clear();
        launcher->moveToNextPosition();
        EXPECT_EQ(launcher->positionIndex, 0);
        EXPECT_EQ(TracedSounds::count(u"pop"), 0);
        arm();
        for (int move = 0; move < 3; ++move) {
            const int flares = effectsOf<FlareEffect>();
            frame(GameController::COMMAND_CYCLE);
            EXPECT_EQ(launcher->positionIndex, c.indices[static_cast<size_t>(move)]);
            EXPECT_EQ(launcher->position, level->launcherPositions[static_cast<size_t>(launcher->positionIndex)]);
            EXPECT_EQ(effectsOf<FlareEffect>() - flares, c.spots > 1 ? 2 : 0);
        }
        EXPECT_EQ(TracedSounds::count(u"pop"), c.pops);
    }
}

TEST_F(LauncherTest, AShotWhileTheChainIsOutIsAllowedAMoveIsNot) {
    level->launcherPositions.push_back(level->launcherPositions[0] + Vector3(-200.0f, 0.0f, 0.0f));
    aimAlong(kPi / 2);
    arm();
    frame(GameController::COMMAND_CLAW);
    ASSERT_EQ(launcher->chain->state, LauncherChain::STATE_OUT);
    frame(GameController::COMMAND_CYCLE);
    EXPECT_EQ(launcher->positionIndex, 0);
    frame(GameController::COMMAND_FIRE);
    EXPECT_EQ(game->stats_shotsFired, 1);
}

TEST_F(LauncherTest, TheBeamShowsDuringASpeedShotAndFadesOutAtTheEnd) {
    aimAlong(1.0f);
    arm();
    struct Case {
        double timeLeft;
        bool shown;
        uint32_t alpha;
    };
    const Case cases[] = {{0.0, false, 0}, {-1.0, false, 0}, {10.0, true, 255}, {1.6, true, 255},
                          {1.5, true, static_cast<uint32_t>(255.0f * std::sin(1.5f))}, {0.5, true, static_cast<uint32_t>(255.0f * std::sin(0.5f))}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeLeft);
        launcher->speedShotTime = c.timeLeft;
        launcher->update(game->getGameTime(), 0.01);
        EXPECT_EQ(!launcher->beam->bHidden, c.shown);
        if (!c.shown) continue;
        EXPECT_NEAR(static_cast<double>(launcher->beam->color >> 24), static_cast<double>(c.alpha), 1.0);
        EXPECT_NEAR(launcher->speedShotTime, c.timeLeft - 0.01, 1e-9);
        EXPECT_EQ(launcher->beam->position, launcher->position);
        EXPECT_NEAR(launcher->beam->rotation.z, launcher->aimAngle, 1e-6f);
        // Its colour is the aim colour, its alpha its own.
        EXPECT_EQ(launcher->beam->color & 0x00FFFFFFu, game->aimColor & 0x00FFFFFFu);
    }
}

TEST_F(LauncherTest, TheAimColourIsThatOfThePieceOnTheBow) {
    arm();
    struct Case {
        bool option;
        int frontType;  // -1: an empty queue
        uint32_t expected;
    };
    const Case cases[] = {{true, 3, Cargo::colorTable[3]},     {true, 7, Cargo::colorTable[7]}, {true, Cargo::TYPE_WILDCARD, 0xFF808080},
                          {true, Cargo::TYPE_FIREBALL, 0xFF808080}, {true, -1, 0xFF808080},     {false, 3, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frontType);
        GameConfiguration::bShowAimColor = c.option;
        launcher->clearQueue();
        if (c.frontType >= 0) launcher->insertCargo(Cargo::createByType(c.frontType), false);
        // Disabled: the queue is not refilled.
        launcher->state = Launcher::STATE_DISABLED;
        launcher->update(game->getGameTime(), 0.0);
        EXPECT_EQ(game->aimColor, c.expected);
    }
    GameConfiguration::bShowAimColor = true;
}

TEST_F(LauncherTest, TheBowstringIsDrawnWithTheReload) {
    aimAlong(kPi / 2);
    arm();
    frame(GameController::COMMAND_FIRE);
    // Half way through the reload the string is fully drawn.
    std::vector<float> fractions;
    while (launcher->state == Launcher::STATE_RELOADING) {
        fractions.push_back(launcher->drawFraction);
        EXPECT_NEAR(launcher->drawFraction, 1.0f - std::fabs(2.0f * launcher->cycleProgress - 1.0f), 1e-5f);
        frame();
    }
    ASSERT_FALSE(fractions.empty());
    EXPECT_GT(*std::max_element(fractions.begin(), fractions.end()), 0.9f);
    EXPECT_FLOAT_EQ(launcher->drawFraction, 0.0f);
    EXPECT_EQ(launcher->bowstring->position, launcher->position);
}

}  // namespace

namespace {

// A scripted stretch of play with the launcher: the pointer sweeping, shots (some of them speed
// shots), the chain and moves between two spots; the frames' hashes.
class LauncherPlayTest : public LauncherTest {
protected:
    std::vector<uint64_t> playScripted() {
        level->launcherPositions.push_back(level->launcherPositions[0] + Vector3(-120.0f, 30.0f, 0.0f));
        makeTrain({1, 2, 3, 1, 2}, 900.0f);
        makeTrain({3, 3, 1}, 500.0f);
        launcher->gotoState(Launcher::STATE_READY);
        std::vector<uint64_t> hashes;
        for (int f = 0; f < 600; ++f) {
            const float angle = 0.4f + 2.3f * static_cast<float>(f % 240) / 240.0f;
            aimAlong(angle, 250.0f);
            const int command = f % 150 == 75    ? GameController::COMMAND_CLAW
                                : f % 200 == 199 ? GameController::COMMAND_CYCLE
                                : f % 12 == 0    ? GameController::COMMAND_FIRE
                                                 : GameController::COMMAND_NONE;
            if (f == 300) launcher->speedShotTime = 3.0;
            hashes.push_back(frameHashed(command));
        }
        return hashes;
    }
};

TEST_F(LauncherPlayTest, OneSeedPlaysTheSameWithSoundsTracedOrPlayed) {
    const std::vector<uint64_t> first = playScripted();
    const int shots = game->stats_shotsFired;
    EXPECT_GT(shots, 20);
    EXPECT_GT(TracedSounds::count(u"bowSound"), shots);
    EXPECT_GT(TracedSounds::count(u"pop"), 0);
    EXPECT_GT(TracedSounds::count(u"chainClick"), 0);

    SetUp();
    EXPECT_EQ(playScripted(), first);

    // Played on the silent audio device instead of traced: the pitches are drawn all the same.
    SetUp();
    GameController::soundHook = nullptr;
    const std::vector<uint64_t> played = playScripted();
    ASSERT_EQ(played.size(), first.size());
    for (size_t f = 0; f < first.size(); ++f) ASSERT_EQ(played[f], first[f]) << "frame " << f;
}

}  // namespace
