// A track's zones, hidden stretches, chord tables, train requests and the count check of its
// saved trains.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "GameTestSupport.h"
#include "engine/Packet.h"
#include "game/HiddenZone.h"
#include "game/LayoutTable.h"
#include "game/Track.h"
#include "game/Train.h"
#include "engine/Qel.h"
#include "media/Quad.h"
#include "media/QelGraphics.h"
#include "support/RecordingDevice.h"

namespace {

class TrackTest : public TrackTestBase {
protected:
    // Level 0's track: A1 as designed.
    Track* levelZeroTrack() {
        auto* track = new Track();
        const SceneLayout& a1 = LayoutTable::scene(LayoutTable::SCENE_A1);
        track->createLambda = a1.tracks[0].createLambda;
        track->tunnelLambda = a1.tracks[0].tunnelLambda;
        track->helpLambda = a1.tracks[0].helpLambda;
        LayoutTable::convertTrack(a1.tracks[0].points, 1, 1, track->path.controlPoints, track->path.tangents);
        return track;
    }
};

TEST_F(TrackTest, LevelZeroZones) {
    host->sprintFraction = 0.5f;
    Track* track = levelZeroTrack();
    track->init();
    EXPECT_FLOAT_EQ(track->createLambda, 315.0f);
    EXPECT_FLOAT_EQ(track->tunnelLambda, 1934.0f);
    EXPECT_FLOAT_EQ(track->destroyLambda, 2034.0f);
    EXPECT_FLOAT_EQ(track->dangerLambda, 1634.0f);
    EXPECT_FLOAT_EQ(track->sprintLambda, 1124.5f);
    EXPECT_FLOAT_EQ(track->refillLambda, 1529.25f);
    EXPECT_FLOAT_EQ(track->resistanceLambda, 800.7f);
    // Sampled, with the band over the whole path.
    EXPECT_GT(track->path.length, track->destroyLambda);
    EXPECT_EQ(track->path.samples.size(), static_cast<size_t>(track->path.length / 8) + 1);
    EXPECT_EQ(track->strip.quad->vertexBuffer.vertices, 2 * static_cast<int>(track->path.length / 12 + 2));
    delete track;
}

TEST_F(TrackTest, ZonesTheLevelMustNotSetStopTheInit) {
    struct Case {
        const char* statement;
        float Track::*zone;
        float value;
    };
    const Case cases[] = {
        {"createLambda >= 0", &Track::createLambda, -1},  {"tunnelLambda >= 0", &Track::tunnelLambda, -1},
        {"helpLambda >= 0", &Track::helpLambda, -0.5f},   {"destroyLambda < 0", &Track::destroyLambda, 0},
        {"dangerLambda < 0", &Track::dangerLambda, 10},   {"sprintLambda < 0", &Track::sprintLambda, 0},
        {"refillLambda < 0", &Track::refillLambda, 5},    {"resistanceLambda < 0", &Track::resistanceLambda, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        Track* track = levelZeroTrack();
        track->*c.zone = c.value;
        EXPECT_EXIT(track->init(), testing::ExitedWithCode(255), "");
        const std::string log = logText();
        EXPECT_NE(log.find(std::string("Statement: ") + c.statement), std::string::npos);
        EXPECT_NE(log.find("Error: Assertion failed."), std::string::npos);
        EXPECT_NE(log.find("Function: Track::init()"), std::string::npos);
        EXPECT_NE(log.find("File: Track"), std::string::npos);
        delete track;
    }
}

TEST_F(TrackTest, RefillMustLieBeyondSprint) {
    host->sprintFraction = 0.8f;
    Track* track = levelZeroTrack();
    EXPECT_EXIT(track->init(), testing::ExitedWithCode(255), "");
    EXPECT_NE(logText().find("Statement: refillLambda > sprintLambda"), std::string::npos);
    delete track;
}

TEST_F(TrackTest, HiddenBeyondTheTunnelAndInsideHiddenStretches) {
    Track track;
    track.tunnelLambda = 1000;
    track.hiddenZones.addChild(new HiddenZone(200, 250));
    track.hiddenZones.addChild(new HiddenZone(600, 601));
    const struct {
        float pos;
        bool hidden;
    } cases[] = {{0, false},   {199.9f, false}, {200, true},  {249.9f, true},  {250, false},  {600, true},
                 {601, false}, {1000, false},   {1000.1f, true}, {5000, true}, {-10, false}};
    for (const auto& c : cases) EXPECT_EQ(track.isHidden(c.pos), c.hidden) << c.pos;
}

TEST_F(TrackTest, ChordTablesAreBuiltOncePerLength) {
    Track* track = levelZeroTrack();
    track->init();
    ChordTable* body = track->getChordTable(48.0f);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->positions.size(), track->path.samples.size());
    EXPECT_EQ(track->getChordTable(48.0f), body);
    EXPECT_NE(track->getChordTable(28.0f), body);
    EXPECT_EQ(track->chordTables.size(), 2u);
    // Lengths that are no length at all share the table of length 0, however often asked.
    ChordTable* zero = track->getChordTable(0.0f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), -1.0f, -0.0f, std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()})
        EXPECT_EQ(track->getChordTable(bad), zero) << bad;
    EXPECT_EQ(track->chordTables.size(), 3u);
    delete track;
}

TEST_F(TrackTest, ATrackWithoutTrainsAsksForOneEveryFrame) {
    Track* track = levelZeroTrack();
    track->init();
    for (int frame = 1; frame <= 3; ++frame) {
        track->update(frame / 60.0, 1 / 60.0);
        EXPECT_EQ(host->requests.size(), static_cast<size_t>(frame));
    }
    EXPECT_EQ(host->requests.back(), track);
    // A dead train (one that lost its last car) counts as none: the track asks, and the dead
    // train is cleared away.
    auto* dead = new Train();
    track->addTrain(dead);
    dead->bDead = true;
    track->update(0.1, 1 / 60.0);
    EXPECT_EQ(host->requests.size(), 4u);
    EXPECT_EQ(track->countTrains(), 0);
    // A train that has not yet cleared the refill position holds the next one back, also behind
    // a dead one.
    auto* train = new Train();
    track->addTrain(train);
    EXPECT_EQ(train->track, track);
    EXPECT_EQ(track->countTrains(), 1);
    track->update(0.2, 1 / 60.0);
    EXPECT_EQ(host->requests.size(), 4u);
    dead = new Train();
    track->addTrain(dead);
    dead->bDead = true;
    track->update(0.3, 1 / 60.0);
    EXPECT_EQ(host->requests.size(), 4u);
    delete track;
}

TEST_F(TrackTest, StopTrainsEndsEveryTrainAtOnce) {
    Track* track = levelZeroTrack();
    track->init();
    auto* a = new Train();
    auto* b = new Train();
    track->addTrain(a);
    track->addTrain(b);
    track->stopTrains();
    EXPECT_EQ(a->state, 4);
    EXPECT_EQ(b->state, 4);
    delete track;
}

TEST_F(TrackTest, ProgressRunsFromCreateToTunnel) {
    Track track;
    track.createLambda = 300;
    track.tunnelLambda = 1300;
    EXPECT_FLOAT_EQ(track.progressAt(800), 0.5f);
    EXPECT_EQ(track.progressAt(0), 0.0f);
    EXPECT_EQ(track.progressAt(5000), 1.0f);
    EXPECT_EQ(track.progressAt(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(track.getProgress(), 0.0f);  // no train with an open slot
    // A track whose tunnel is its create position never divides by zero.
    track.tunnelLambda = 300;
    EXPECT_EQ(track.progressAt(300), 0.0f);
    EXPECT_EQ(track.progressAt(400), 0.0f);
}

TEST_F(TrackTest, SavedTrainCountsThePacketCannotHoldAreRefused) {
    Track track;
    // Written: no trains.
    Packet out(5, 64);
    EXPECT_TRUE(track.serialize(out));
    out.rewindToRead();
    out.bFatalOnBadData = false;
    EXPECT_TRUE(track.serialize(out));
    EXPECT_EQ(track.countTrains(), 0);
    // A count of more trains than bytes left, and a negative count.
    for (int32_t count : {1000, -3}) {
        Packet damaged(5, 64);
        damaged.doInt(&count);
        damaged.rewindToRead();
        damaged.bFatalOnBadData = false;
        EXPECT_FALSE(track.serialize(damaged)) << count;
        EXPECT_TRUE(damaged.bBadData);
        EXPECT_EQ(track.countTrains(), 0);
    }
}

std::vector<std::pair<Vector3, std::string>> labels;

TEST_F(TrackTest, DebugViewShowsTheBandPathAndZoneLabels) {
    Track* track = levelZeroTrack();
    track->hiddenZones.addChild(new HiddenZone(500, 540));
    track->init();
    auto* device = static_cast<RecordingDevice*>(engine->pQelGraphics->dxDevice);
    labels.clear();
    Qel::overlayTextHook = [](float x, float y, float, uint32_t color, int, const WString& text) {
        EXPECT_EQ(color, 0xFF000000u);
        labels.push_back({Vector3(x, y, 0), wideToUtf8(text)});
    };
    // In normal play the track draws nothing itself.
    device->calls.clear();
    track->render();
    EXPECT_TRUE(device->callsStartingWith("DrawPrimitive").empty());
    EXPECT_TRUE(labels.empty());

    engine->debugLevel = 0x100;
    track->render();
    EXPECT_GE(device->callsStartingWith("DrawPrimitive").size(), 3u);  // band, handles, samples
    std::vector<std::string> texts;
    for (const auto& label : labels) texts.push_back(label.second);
    const std::vector<std::string> expected = {"\\hiddenstart", "\\hiddenend", "\\start", "\\finish", "\\sprint", "\\refill",
                                               "\\tunnel", "\\danger", "\\           help", "\\resistance"};
    ASSERT_EQ(texts.size(), expected.size() + 1);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(texts[i], expected[i]);
    EXPECT_EQ(texts.back().rfind("\\l=1000.000000,d=-5.000000", 0), 0u) << texts.back();
    // Each label at its zone's point on the path.
    Vector3 tunnel;
    track->path.getPoint(track->tunnelLambda, tunnel);
    EXPECT_FLOAT_EQ(labels[6].first.x, tunnel.x);
    EXPECT_FLOAT_EQ(labels[6].first.y, tunnel.y);
    engine->debugLevel = 0;
    Qel::overlayTextHook = nullptr;
    delete track;
}

}  // namespace
