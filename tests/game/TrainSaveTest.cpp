// Trains in the saved game: a train of several segments with every kind of car and slot content
// writes, reads and writes again to the same bytes and then runs as the original did; damaged and
// cut-short images are refused without ending the program and without leaving anything behind.

#include <climits>
#include <cmath>
#include <functional>
#include <cstring>
#include <limits>
#include <memory>

#include "PlayFixture.h"
#include "game/GameGlobal.h"
#include "engine/Logger.h"
#include "engine/Packet.h"
#include "engine/Random.h"
#include "support/TestFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const Packet& packet) { return Bytes(packet.start, packet.start + (packet.cursor - packet.start)); }

// A reading packet over the bytes, as the saved-game loader makes it (damage is reported, never
// fatal).
std::unique_ptr<Packet> reader(const Bytes& bytes) {
    auto packet = std::make_unique<Packet>(5, int(bytes.size()));
    if (!bytes.empty()) std::memcpy(packet->start, bytes.data(), bytes.size());
    packet->cursor = packet->start + bytes.size();
    packet->rewindToRead();
    packet->bFatalOnBadData = false;
    return packet;
}

class TrainSaveTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        // The tables of the track are made in its first frame.
        harness->frame();
    }
    // Three segments: the engine and a one-slot wagon; a two- and a three-slot wagon; a one-slot
    // wagon. The slots hold nothing, a wrong piece, a bonus, a fitting piece, a wildcard...
    Train* savedTrain() {
        Train* train = makeTrain({1, 2, 3, 1}, 1100.0f);
        split(carAt(train, 4), 50.0f);
        split(carAt(train, 2), 30.0f);
        train->slotQuota = train->slotsSpawned + 12;
        train->comboCount = 2;
        train->engineForce = 123.5f;
        train->firstSegment()->motion.velocity = Vector3(-40, 0, 0);
        CargoSlot* s[7];
        int n = 0;
        for (int i = 1; i <= 4; ++i)
            for (BasicLink* slot = carAt(train, i)->slots.firstChild; slot; slot = slot->next) s[n++] = static_cast<CargoSlot*>(slot);
        EXPECT_EQ(n, 7);
        seat(s[1], (s[1]->color + 1) % 8);             // wrong
        seat(s[2], Cargo::TYPE_REVERSE_BONUS);          // a bonus
        seat(s[3], s[3]->color);                        // fitting
        seat(s[4], Cargo::TYPE_WILDCARD);               // wildcard
        seat(s[5], Cargo::TYPE_COLOR_BOMB);             // the bomb takes its slot's colour
        return train;
    }
    static Bytes write(Track* t) {
        Packet packet(5, 65536);
        EXPECT_TRUE(t->serialize(packet));
        return bytesOf(packet);
    }
    // The trains of the image read into a fresh track of the same level (the packet is left as
    // the read left it).
    bool read(const Bytes& bytes, Packet** used = nullptr) {
        lastReader = reader(bytes);
        if (used) *used = lastReader.get();
        return track->serialize(*lastReader);
    }
    // What a train is: states, forces, counts, motion, cars and slots with their pieces.
    static uint64_t trainHash(Track* t) {
        uint64_t h = 0xCBF29CE484222325ull;
        auto add = [&h](auto value) {
            unsigned char b[sizeof(value)];
            std::memcpy(b, &value, sizeof(value));
            for (unsigned char c : b) h = (h ^ c) * 0x100000001B3ull;
        };
        for (BasicLink* tr = t->trains->firstChild; tr; tr = tr->next) {
            auto* train = static_cast<Train*>(tr);
            add(train->state), add(train->engineForce), add(train->slotQuota), add(train->slotsSpawned), add(train->comboCount);
            for (BasicLink* sg = train->firstChild; sg; sg = sg->next) {
                auto* segment = static_cast<TrainLayout*>(sg);
                add(segment->motion.position.x), add(segment->motion.velocity.x), add(segment->motion.mass), add(segment->motion.damping);
                for (BasicLink* c = segment->firstChild; c; c = c->next) {
                    auto* car = static_cast<Car*>(c);
                    add(car->kind), add(car->frontPos), add(car->rearPos), add(car->nextFrontPos), add(car->bodyLength), add(car->bEngine);
                    add(car->position.x), add(car->position.y), add(car->rotation.z);
                    for (BasicLink* sl = car->slots.firstChild; sl; sl = sl->next) {
                        auto* slot = static_cast<CargoSlot*>(sl);
                        add(slot->color), add(slot->held ? slot->held->type : -1), add(slot->held ? slot->held->state : -1);
                    }
                }
            }
        }
        return h;
    }
    std::unique_ptr<Packet> lastReader;
};

TEST_F(TrainSaveTest, ATrainWritesReadsAndWritesTheSameBytesAndRunsAsBefore) {
    game->carsSpawned = 17;
    game->totalCars = 200;
    // Effects draw from the generator by their own timers, which are not saved: without them the
    // copy must take exactly the draws the original takes.
    application()->gameConfiguration.detailLevel = 0;
    savedTrain();
    const Bytes image = write(track);
    const uint32_t seed = randomSeed;
    std::vector<uint64_t> original;
    for (int frame = 0; frame < 300; ++frame) {
        harness->frame();
        original.push_back(trainHash(track));
    }
    // The play went on: segments rolled back and coupled.
    EXPECT_NE(original.front(), original.back());

    PlayTest::SetUp();
    harness->frame();
    ASSERT_EQ(track->countTrains(), 0);
    ASSERT_TRUE(read(image));
    ASSERT_EQ(track->countTrains(), 1);
    auto* copy = static_cast<Train*>(track->trains->firstChild);
    EXPECT_EQ(copy->countSegments(), 3);
    EXPECT_EQ(copy->comboCount, 2);
    EXPECT_FLOAT_EQ(copy->engineForce, 123.5f);
    EXPECT_EQ(write(track), image);
    game->carsSpawned = 17;
    game->totalCars = 200;
    randomSeed = seed;
    std::vector<uint64_t> again;
    for (int frame = 0; frame < 300; ++frame) {
        harness->frame();
        again.push_back(trainHash(track));
    }
    EXPECT_EQ(again, original);
    application()->gameConfiguration.detailLevel = 1;
}

TEST_F(TrainSaveTest, EveryCutOfAnImageIsRefused) {
    // Two trains: a cut in the second takes the first one read along.
    savedTrain();
    makeTrain({2, 1}, 500.0f);
    const Bytes image = write(track);
    track->trains->deleteChildren();
    for (size_t n = 0; n < image.size(); ++n) {
        Packet* used = nullptr;
        EXPECT_FALSE(read(Bytes(image.begin(), image.begin() + long(n)), &used)) << n;
        EXPECT_TRUE(used->bBadData) << n;
        EXPECT_EQ(track->countTrains(), 0) << n;
    }
    EXPECT_TRUE(read(image));
}

TEST_F(TrainSaveTest, DamagedValuesAreRefusedAndLogged) {
    struct Case {
        const char* name;
        std::function<void(Train*)> damage;
        const char* reason;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto slotAt = [](Train* t, int car, int slot) { return slotOf(carAt(t, car), slot); };
    const Case cases[] = {
        {"state 0", [](Train* t) { t->state = 0; }, "a state outside 1-4"},
        {"state 5", [](Train* t) { t->state = 5; }, "a state outside 1-4"},
        {"engine force not a number", [&](Train* t) { t->engineForce = nan; }, "an engine force that is no number"},
        {"negative quota", [](Train* t) { t->slotQuota = -1; }, "a negative quota or spawned count"},
        {"negative spawned count", [](Train* t) { t->slotsSpawned = -4; }, "a negative quota or spawned count"},
        {"negative combo", [](Train* t) { t->comboCount = -1; }, "a combo that cannot be scored"},
        {"a combo whose score overflows", [](Train* t) { t->comboCount = INT_MAX / 1000 + 1; }, "a combo that cannot be scored"},
        {"mass 0", [](Train* t) { t->firstSegment()->motion.mass = 0.0f; }, "mass <= 0"},
        {"negative mass", [](Train* t) { t->lastSegment()->motion.mass = -1.0f; }, "mass <= 0"},
        // A positive mass without a finite inverse turns the first force into an infinite speed.
        {"denormal mass", [](Train* t) { t->firstSegment()->motion.mass = 1.4e-45f; }, "a mass below 0.001"},
        {"mass 1e-30", [](Train* t) { t->firstSegment()->motion.mass = 1.0e-30f; }, "a mass below 0.001"},
        {"mass 0.0005", [](Train* t) { t->lastSegment()->motion.mass = 0.0005f; }, "a mass below 0.001"},
        {"floor above the cap", [](Train* t) { t->lastSegment()->motion.minVelocity = t->lastSegment()->motion.maxVelocity + 1.0f; }, "minVelocity > maxVelocity"},
        {"position not a number", [&](Train* t) { t->firstSegment()->motion.position.y = nan; }, "a vector that is no number"},
        {"infinite damping", [&](Train* t) { t->firstSegment()->motion.damping = inf; }, "a coefficient that is no number"},
        {"negative body length", [](Train* t) { carAt(t, 2)->bodyLength = -1.0f; }, "a length outside 0-1000"},
        {"body length over 1000", [](Train* t) { carAt(t, 3)->bodyLength = 1000.5f; }, "a length outside 0-1000"},
        {"gap over 1000", [](Train* t) { carAt(t, 1)->gapLength = 5000.0f; }, "a length outside 0-1000"},
        // Every length other than the kind's would build tables of its own for the track.
        {"body length a little longer", [](Train* t) { carAt(t, 2)->bodyLength += 0.25f; }, "lengths that are not the car kind's"},
        {"engine body length", [](Train* t) { carAt(t, 0)->bodyLength = 10.0f; }, "lengths that are not the car kind's"},
        {"gap a little shorter", [](Train* t) { carAt(t, 3)->gapLength -= 1.0f; }, "lengths that are not the car kind's"},
        {"gap of another kind's body", [](Train* t) { carAt(t, 1)->gapLength = carAt(t, 3)->bodyLength; }, "lengths that are not the car kind's"},
        {"inset 0", [](Train* t) { carAt(t, 4)->bodyInset = 0.0f; }, "lengths that are not the car kind's"},
        {"inset not a number", [&](Train* t) { carAt(t, 1)->bodyInset = nan; }, "a length or position that is no number"},
        {"infinite front", [&](Train* t) { carAt(t, 4)->frontPos = -inf; }, "a length or position that is no number"},
        {"car kind 4", [](Train* t) { carAt(t, 2)->kind = 4; }, "a car kind outside 0-3"},
        {"car kind -1", [](Train* t) { carAt(t, 0)->kind = -1; }, "a car kind outside 0-3"},
        {"slot colour 8", [&](Train* t) { slotAt(t, 3, 2)->color = 8; }, "a colour outside 0-7"},
        {"slot colour -1", [&](Train* t) { slotAt(t, 1, 0)->color = -1; }, "a colour outside 0-7"},
        {"held type 8", [&](Train* t) { slotAt(t, 2, 1)->held->type = 8; }, "a piece of no known type"},
        {"held type 19", [&](Train* t) { slotAt(t, 2, 1)->held->type = 19; }, "a piece of no known type"},
        {"held type -3", [&](Train* t) { slotAt(t, 2, 1)->held->type = -3; }, "a piece of no known type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Train* train = savedTrain();
        c.damage(train);
        const Bytes image = write(track);
        // The damage is put right again before the object goes (a colour outside the table
        // would index nothing, but deleting does not look).
        track->trains->deleteChildren();
        const size_t logged = readFileBytes(wideToUtf8(Logger::getLogFilePath())).size();
        Packet* used = nullptr;
        EXPECT_FALSE(read(image, &used));
        EXPECT_TRUE(used->bBadData);
        EXPECT_EQ(track->countTrains(), 0);
        const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath())).substr(logged);
        EXPECT_NE(log.find(std::string("Saved data refused: ") + c.reason), std::string::npos) << log;
    }
}

// A train read back moves on the tables the track made for the car kinds: none is added.
TEST_F(TrainSaveTest, ALoadedTrainNeedsNoTablesBeyondTheCarKinds) {
    const size_t tables = track->chordTables.size();
    ASSERT_GT(tables, 0u);
    savedTrain();
    makeTrain({3, 3, 2, 1, 1}, 400.0f);
    const Bytes image = write(track);
    track->trains->deleteChildren();
    ASSERT_TRUE(read(image));
    harness->run(5);
    EXPECT_EQ(track->chordTables.size(), tables);
}

// A track holds what a level brings, with room to spare, and no more: every car of a save moves
// and is drawn in each frame from the first one on.
TEST_F(TrainSaveTest, ATrackOfMoreTrainsOrCarsThanALevelBringsIsRefused) {
    struct Case {
        const char* name;
        int trains;
        int wagons;  // behind each train's engine
        bool accepted;
    } cases[] = {
        {"as many cars as a track holds", 2, Track::kMaxCars / 2 - 1, true},
        {"one car more", 2, Track::kMaxCars / 2 - 1 + 1, false},
        {"as many trains as a track holds", Track::kMaxTrains, 0, true},
        {"one train more", Track::kMaxTrains + 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int t = 0; t < c.trains; ++t) makeTrain(std::vector<int>(size_t(c.wagons), Car::KIND_ONE_SLOT), 1000.0f - 100.0f * float(t));
        const Bytes image = write(track);
        track->trains->deleteChildren();
        const size_t logged = readFileBytes(wideToUtf8(Logger::getLogFilePath())).size();
        EXPECT_EQ(read(image), c.accepted);
        EXPECT_EQ(track->countTrains(), c.accepted ? c.trains : 0);
        const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath())).substr(logged);
        if (!c.accepted) { EXPECT_NE(log.find(c.wagons ? "more cars than a track holds" : "more trains than a track holds"), std::string::npos) << log; }
        track->trains->deleteChildren();
    }
}

TEST_F(TrainSaveTest, CountsTheDataCannotHoldAreRefused) {
    // A train without segments, and a segment without cars, each ending in its count (one byte
    // for 0): the count is replaced by a damaged one.
    auto withCount = [](Bytes head, int32_t count, const Bytes& tail) {
        head.pop_back();
        Packet packet(5, 64);
        packet.doInt(&count);
        const Bytes encoded = bytesOf(packet);
        head.insert(head.end(), encoded.begin(), encoded.end());
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    Train* train = savedTrain();
    Packet segmentBytes(5, 4096);
    ASSERT_TRUE(train->firstSegment()->serialize(segmentBytes));
    const Bytes oneSegment = bytesOf(segmentBytes);
    auto* bare = new Train();
    bare->deleteChildren();
    Packet trainHead(5, 256);
    int32_t one = 1;
    trainHead.doInt(&one);  // the track's train count
    ASSERT_TRUE(bare->serialize(trainHead));
    bare->release();
    auto* emptySegment = new TrainLayout();
    Packet segmentHead(5, 256);
    ASSERT_TRUE(emptySegment->serialize(segmentHead));
    emptySegment->release();
    track->trains->deleteChildren();

    // The count of segments of a train.
    EXPECT_TRUE(read(withCount(bytesOf(trainHead), 1, oneSegment)));
    track->trains->deleteChildren();
    for (int32_t bad : {-1, 1000, INT_MAX, 2}) {
        EXPECT_FALSE(read(withCount(bytesOf(trainHead), bad, oneSegment))) << bad;
        EXPECT_EQ(track->countTrains(), 0);
    }
    // The count of cars of a segment.
    Bytes head = bytesOf(trainHead);
    Bytes segment = bytesOf(segmentHead);
    for (int32_t bad : {-1, 5000, INT_MIN}) {
        Bytes image = withCount(head, 1, withCount(segment, bad, {}));
        EXPECT_FALSE(read(image)) << bad;
        EXPECT_EQ(track->countTrains(), 0);
    }
}

}  // namespace
