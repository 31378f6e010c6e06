// Levels built and played headless: every level number builds with sound zones and scenery, the
// playfield repeats frame for frame, the camera sees the picture, input reaches the engine, and
// the depth pass orders the cars against the decorations.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "game/HiddenZone.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/harness/PlayHarness.h"
#include "media/Camera.h"
#include "media/QelInput.h"
#include "media/Texture.h"
#include "platform/KeyCodeTable.h"
#include "support/RecordingDevice.h"
#include "support/TestFolder.h"

namespace {

// One harness (engine and archives) for the whole suite: loading takes seconds.
class PlayHarnessTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    static PlayHarness* harness;
};
PlayHarness* PlayHarnessTest::harness = nullptr;

TEST_F(PlayHarnessTest, EveryLevelBuildsWithItsZonesInOrder) {
    std::vector<int> levels;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) levels.push_back(level);
    levels.insert(levels.end(), {83, 100, 5000});
    for (int number : levels) {
        SCOPED_TRACE(number);
        Level* level = harness->buildLevel(number);
        const LevelRow& row = LayoutTable::row(number);
        const SceneLayout& scene = LayoutTable::scene(row.scene);
        EXPECT_EQ(level->mirrorX, row.mirrorX);
        EXPECT_EQ(level->mirrorY, 1);
        EXPECT_EQ(level->getCameraFactor(), 1.0f);
        EXPECT_EQ(level->decorations->countChildren(), static_cast<int>(scene.decorationDepths.size()));
        EXPECT_EQ(level->launcherPositions.size(), scene.launchers.size());
        const std::vector<Track*> tracks = level->getTracks();
        ASSERT_EQ(tracks.size(), scene.tracks.size());
        for (const Track* t : tracks) {
            EXPECT_LT(t->createLambda, t->resistanceLambda);
            EXPECT_LT(t->resistanceLambda, t->sprintLambda);
            EXPECT_LT(t->sprintLambda, t->refillLambda);
            EXPECT_LT(t->refillLambda, t->tunnelLambda);
            EXPECT_FLOAT_EQ(t->destroyLambda, t->tunnelLambda + 100.0f);
            // The longest car and its gap still fit on the path at the destroy position.
            EXPECT_LE(t->destroyLambda + 96.0f + 28.0f, t->path.length);
            for (const BasicLink* z = t->hiddenZones.firstChild; z; z = z->next) {
                const auto* zone = static_cast<const HiddenZone*>(z);
                EXPECT_GE(zone->start, t->createLambda);
                EXPECT_LE(zone->end, t->tunnelLambda);
            }
        }
        const float expectedSprint = row.sprintFraction > 0 ? 0.5f : 0.15f * std::min(number / 82.0f, 1.0f) + 0.35f;
        EXPECT_NEAR(tracks[0]->sprintLambda, tracks[0]->createLambda + expectedSprint * (tracks[0]->tunnelLambda - tracks[0]->createLambda), 0.01f);
    }
}

TEST_F(PlayHarnessTest, EveryScenePictureHasASkinPerDecoration) {
    for (const SceneLayout& scene : LayoutTable::scenes()) {
        SCOPED_TRACE(scene.id);
        Texture picture(0, utf8ToWide(LayoutTable::scenePicture(scene)));
        EXPECT_EQ(picture.skins.size(), 1u);
        Texture decorations(0, utf8ToWide(LayoutTable::decorationPicture(scene)));
        EXPECT_EQ(decorations.skins.size(), scene.decorationDepths.size());
    }
}

// A scene that lists more decorations than its picture has skins.
class OverDecorated : public Level {
public:
    OverDecorated() : Level(1) {
        SceneLayout scene = LayoutTable::scene(LayoutTable::SCENE_A1);
        scene.decorationDepths = depths;
        buildLayout(scene);
    }
    static constexpr float depths[3] = {-10, -15, -15};
};

TEST_F(PlayHarnessTest, DecorationsThePictureLacksAreLeftOut) {
    harness->buildLevel(0);
    OverDecorated level;
    EXPECT_EQ(level.decorations->countChildren(), 1);
    EXPECT_NE(readFileBytes(wideToUtf8(Logger::getLogFilePath())).find("has no skin 1 for a decoration; left out."), std::string::npos);
}

TEST_F(PlayHarnessTest, MirroredLevelNegatesLauncherAndShadow) {
    Level* plain = harness->buildLevel(2);
    const Vector3 spot = plain->launcherPositions[0];
    const Vector3 shadow = plain->shadowVector;
    const Vector3 firstPoint = plain->getTracks()[0]->path.controlPoints[1];
    Level* mirrored = harness->buildLevel(12);
    EXPECT_EQ(mirrored->mirrorX, -1);
    EXPECT_FLOAT_EQ(mirrored->launcherPositions[0].x, -spot.x);
    EXPECT_FLOAT_EQ(mirrored->launcherPositions[0].y, spot.y);
    EXPECT_FLOAT_EQ(spot.y, -234.375f * 0.8f);
    EXPECT_FLOAT_EQ(mirrored->shadowVector.x, -shadow.x);
    EXPECT_FLOAT_EQ(mirrored->shadowVector.y, shadow.y);
    EXPECT_FLOAT_EQ(mirrored->getTracks()[0]->path.controlPoints[1].x, -firstPoint.x);
}

TEST_F(PlayHarnessTest, CameraSeesTheWholePictureBelowTheBar) {
    harness->buildLevel(0);
    harness->run(2);
    const WorldRect rect = harness->world->pCamera->getVisibleRect(0.0f);
    EXPECT_FLOAT_EQ(rect.left, -400.0f);
    EXPECT_FLOAT_EQ(rect.right, 400.0f);
    EXPECT_FLOAT_EQ(rect.bottom, -224.0f);
    EXPECT_FLOAT_EQ(rect.top, 256.0f);
    EXPECT_NEAR(harness->world->totalTime, 2.0 / 60.0, 1e-6);
}

TEST_F(PlayHarnessTest, PlayfieldRepeatsFrameForFrame) {
    for (int number : {0, 8, 21, 82}) {
        SCOPED_TRACE(number);
        std::vector<uint64_t> runs[2];
        for (auto& hashes : runs) {
            Level* level = harness->buildLevel(number);
            harness->addProbes(150.0f);
            // Only the tracks' first frame draws from the generator (the cars made to measure the
            // chord tables pick their slot colours); nothing else does while nothing is played.
            hashes = harness->run(1);
            const uint32_t afterFirstFrame = randomSeed;
            const std::vector<uint64_t> rest = harness->run(599);
            hashes.insert(hashes.end(), rest.begin(), rest.end());
            EXPECT_EQ(randomSeed, afterFirstFrame);
            EXPECT_EQ(level->getTracks().size(), LayoutTable::scene(LayoutTable::row(number).scene).tracks.size());
        }
        EXPECT_EQ(runs[0], runs[1]);
        // The hash follows the play: the probes move, so frames differ.
        EXPECT_EQ(std::set<uint64_t>(runs[0].begin(), runs[0].end()).size(), runs[0].size());
    }
}

TEST_F(PlayHarnessTest, ProbesAreOrderedAgainstDecorationsByDepth) {
    for (int number : {0, 8, 21, 82}) {
        SCOPED_TRACE(number);
        Level* level = harness->buildLevel(number);
        const std::vector<PlayHarness::Probe*> probes = harness->addProbes(200.0f);
        std::set<const TrackObject*> decorations;
        for (const BasicLink* d = level->decorations->firstChild; d; d = d->next) decorations.insert(static_cast<const TrackObject*>(d));
        int checked = 0;
        for (int frame = 0; frame < 600; ++frame) {
            harness->frame();
            const std::vector<TrackObject*>& pass = harness->host.depthManager.objects;
            for (size_t i = 0; i + 1 < pass.size(); ++i) ASSERT_GE(pass[i]->depth, pass[i + 1]->depth) << "frame " << frame;
            for (const PlayHarness::Probe* probe : probes) {
                const size_t at = std::find(pass.begin(), pass.end(), probe) - pass.begin();
                ASSERT_LT(at, pass.size());
                for (size_t i = 0; i < pass.size(); ++i) {
                    if (!decorations.count(pass[i])) continue;
                    // A decoration nearer than the probe is drawn after it and covers it.
                    if (pass[i]->depth < probe->depth) { EXPECT_GT(i, at); }
                    if (pass[i]->depth > probe->depth) { EXPECT_LT(i, at); }
                    ++checked;
                }
            }
        }
        EXPECT_GT(checked, 0);
    }
}

TEST_F(PlayHarnessTest, TracksAskForTrainsEveryFrameUntilOneComes) {
    Level* level = harness->buildLevel(21);
    harness->run(3);
    // The stand-in makes no trains: each track asks every frame.
    EXPECT_EQ(harness->host.trainRequests.size(), 3 * level->getTracks().size());
}

TEST_F(PlayHarnessTest, KeysPointerAndButtonsReachTheEngine) {
    harness->buildLevel(0);
    QelInput* input = harness->engine->pQelInput;
    harness->setKey(platform::DIK_SPACE, true);
    harness->setPointer(400.0f, 240.0f);
    harness->setMouseButton(0, true);
    harness->frame();
    EXPECT_TRUE(input->wasKeyPressed(platform::DIK_SPACE));
    EXPECT_TRUE(input->mouseButtons[0]);
    // The layout's centre is the world point the camera looks at.
    EXPECT_NEAR(harness->world->pointerWorldPos[0], 0.0f, 1.5f);
    EXPECT_NEAR(harness->world->pointerWorldPos[1], 16.0f, 1.5f);
    harness->frame();
    EXPECT_FALSE(input->wasKeyPressed(platform::DIK_SPACE));  // held, not pressed again
    harness->setKey(platform::DIK_SPACE, false);
    harness->setMouseButton(0, false);
    harness->frame();
    EXPECT_FALSE(input->isKeyDown(platform::DIK_SPACE));
}

TEST_F(PlayHarnessTest, RecordingCanBeSwitchedOn) {
    harness->buildLevel(0);
    RecordingDevice* device = harness->device();
    ASSERT_NE(device, nullptr);
    device->calls.clear();
    harness->frame();
    EXPECT_TRUE(device->calls.empty());
    harness->setRecording(true);
    harness->frame();
    EXPECT_FALSE(device->callsStartingWith("DrawPrimitive").empty());
    harness->setRecording(false);
    device->calls.clear();
}

}  // namespace
