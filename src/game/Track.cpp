#include "game/Track.h"

#include <cmath>

#include "engine/ErrorManager.h"
#include "engine/Packet.h"
#include "engine/Qel.h"
#include "game/Car.h"
#include "game/HiddenZone.h"
#include "game/LevelHost.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "runtime/QelRuntime.h"

namespace {

// The fractions of a level without a host: those of the game's first level.
constexpr float kDefaultSprintFraction = 0.35f;
constexpr float kDefaultRefillFraction = 0.75f;
constexpr int kDebugDrawTrack = 0x100;

void check(bool condition, const char16_t* statement, int line) {
    if (!condition) ErrorManager::assertionFailed(u"Track::init", "src\\Track", line, statement);
}

}  // namespace

Track::Track() {
    trains = new QelBase();
    addChild(trains);
    chordTables.reserve(8);
    chordTables.max_load_factor(1.0f);
}

Track::~Track() {
    // The trains go first: their cars still belong to this track while they are deleted.
    while (lastChild) lastChild->release();
    trains = nullptr;
}

void Track::init() {
    check(createLambda >= 0, u"createLambda >= 0", __LINE__);
    check(tunnelLambda >= 0, u"tunnelLambda >= 0", __LINE__);
    check(helpLambda >= 0, u"helpLambda >= 0", __LINE__);
    check(destroyLambda < 0, u"destroyLambda < 0", __LINE__);
    check(dangerLambda < 0, u"dangerLambda < 0", __LINE__);
    check(sprintLambda < 0, u"sprintLambda < 0", __LINE__);
    check(refillLambda < 0, u"refillLambda < 0", __LINE__);
    check(resistanceLambda < 0, u"resistanceLambda < 0", __LINE__);

    LevelHost* host = LevelHost::current();
    const float sprint = host ? host->getSprintFraction() : kDefaultSprintFraction;
    const float refill = host ? host->getRefillFraction() : kDefaultRefillFraction;
    const float span = tunnelLambda - createLambda;
    destroyLambda = tunnelLambda + 100.0f;
    dangerLambda = tunnelLambda - 300.0f;
    sprintLambda = createLambda + sprint * span;
    refillLambda = createLambda + refill * span;
    resistanceLambda = createLambda + 0.3f * span;
    check(refillLambda > sprintLambda, u"refillLambda > sprintLambda", __LINE__);

    path.resample();
    strip.build(path, path.length);
}

bool Track::serialize(Packet& packet) {
    int32_t count = packet.bWriting ? countTrains() : 0;
    packet.doInt(&count);
    if (packet.bWriting) {
        for (BasicLink* t = trains->firstChild; t; t = t->next)
            if (!static_cast<Train*>(t)->serialize(packet)) return false;
        return true;
    }
    // Every train takes at least one byte: a count beyond what is left is damaged data.
    if (packet.bBadData) return Train::refuseData(packet, u"Track::serialize", u"the track is cut short");
    if (count < 0 || !packet.canRead(count)) return Train::refuseData(packet, u"Track::serialize", u"a train count the data cannot hold");
    if (count > kMaxTrains) return Train::refuseData(packet, u"Track::serialize", u"more trains than a track holds");
    // A refused train takes the trains read before it along: the track is left as it was.
    BasicLink* before = trains->lastChild;
    int cars = 0;
    for (int32_t i = 0; i < count; ++i) {
        auto* train = new Train(&packet);
        for (BasicLink* s = train->firstChild; s; s = s->next) cars += static_cast<TrainLayout*>(s)->countCars();
        if (!packet.bBadData && cars > kMaxCars) Train::refuseData(packet, u"Track::serialize", u"more cars than a track holds");
        if (packet.bBadData) {
            train->release();
            while (trains->lastChild != before) trains->lastChild->release();
            return false;
        }
        addTrain(train);
    }
    return true;
}

void Track::update(double time, double dt) {
    if (chordTables.empty()) prepareChordTables();
    if (wantsNextTrain()) {
        if (LevelHost* host = LevelHost::current()) host->addTrain(this);
    }
    QelBase::update(time, dt);
    coupleTrains();
}

void Track::prepareChordTables() {
    // A car of each kind is made only to learn its body and gap lengths.
    for (int kind = Car::KIND_ENGINE; kind <= Car::KIND_THREE_SLOTS; ++kind) {
        Car* car = Car::createByType(kind);
        getChordTable(car->bodyLength);
        getChordTable(car->gapLength);
        car->release();
    }
}

bool Track::wantsNextTrain() const {
    for (BasicLink* t = trains->lastChild; t; t = t->prev) {
        if (t->bDead) continue;
        return static_cast<const Train*>(t)->rearPos() > refillLambda;
    }
    return true;
}

void Track::coupleTrains() {
    for (BasicLink* a = trains->firstChild; a;) {
        auto* ahead = static_cast<Train*>(a);
        BasicLink* b = a->next;
        // A dead train, or one without cars, is none.
        while (b && (b->bDead || !static_cast<Train*>(b)->firstSegment())) b = b->next;
        if (!b) return;
        auto* behind = static_cast<Train*>(b);
        const TrainLayout* tail = ahead->bDead ? nullptr : ahead->lastSegment();
        const TrainLayout* head = behind->firstSegment();
        if (!tail || head->firstCar()->frontPos <= tail->lastCar()->nextFrontPos) {
            a = b;
            continue;
        }
        // The train behind has caught up: its segments join the one ahead, which brings the slots
        // it still had to bring; they couple in the next frame.
        ahead->slotQuota += behind->slotQuota - behind->slotsSpawned;
        while (auto* segment = static_cast<TrainLayout*>(behind->firstChild)) {
            behind->removeChild(segment);
            ahead->insertSegmentAfter(segment, nullptr);
        }
        trains->removeChild(behind);
        behind->release();
    }
}

void Track::render() {
    if (!qel || !(qel->debugLevel & kDebugDrawTrack)) return;
    strip.render();
    path.render();
    auto label = [this](float at, const WString& text) {
        Vector3 p;
        path.getPoint(at, p);
        qelRuntime()->drawOverlayText(p.x, p.y, 0xFF000000, text);
    };
    for (BasicLink* z = hiddenZones.firstChild; z; z = z->next) {
        const auto* zone = static_cast<const HiddenZone*>(z);
        label(zone->start, u"\\hiddenstart");
        label(zone->end, u"\\hiddenend");
    }
    label(createLambda, u"\\start");
    label(destroyLambda, u"\\finish");
    label(sprintLambda, u"\\sprint");
    label(refillLambda, u"\\refill");
    label(tunnelLambda, u"\\tunnel");
    label(dangerLambda, u"\\danger");
    label(helpLambda, u"\\           help");
    label(resistanceLambda, u"\\resistance");
    Vector3 p;
    float depth = 0.0f;
    path.getPoint(debugMarker, p, nullptr, &depth);
    qelRuntime()->drawOverlayText(p.x, p.y, 0xFF000000, format(u"\\l=%lf,d=%lf", double(debugMarker), double(depth)));
}

bool Track::isHidden(float pos) const {
    if (pos > tunnelLambda) return true;
    for (const BasicLink* z = hiddenZones.firstChild; z; z = z->next)
        if (static_cast<const HiddenZone*>(z)->contains(pos)) return true;
    return false;
}

void Track::addTrain(Train* train) {
    train->track = this;
    trains->addChild(train);
}

ChordTable* Track::getChordTable(float length) {
    if (!std::isfinite(length) || length < 0.0f) length = 0.0f;
    if (length == 0.0f) length = 0.0f;  // one key for -0 and 0
    auto it = chordTables.find(length);
    if (it != chordTables.end()) return it->second.get();
    auto table = std::make_unique<ChordTable>(&path, length);
    table->build();
    return chordTables.emplace(length, std::move(table)).first->second.get();
}

float Track::getProgress() const {
    for (const BasicLink* t = trains->firstChild; t; t = t->next) {
        const auto* train = static_cast<const Train*>(t);
        if (train->bDead || train->countOpenSlots() == 0) continue;
        const TrainLayout* front = train->firstSegment();
        return front ? progressAt(front->frontPos()) : 0.0f;
    }
    return 0.0f;
}

float Track::progressAt(float p) const {
    const float span = tunnelLambda - createLambda;
    if (!(span != 0.0f) || !std::isfinite(p)) return 0.0f;
    const float f = (p - createLambda) / span;
    if (!(f > 0.0f)) return 0.0f;
    return f < 1.0f ? f : 1.0f;
}

void Track::stopTrains() {
    for (BasicLink* t = trains->firstChild; t; t = t->next) static_cast<Train*>(t)->gotoState(4, 0.0);
}

int Track::countTrains() const { return trains->countChildren(); }

void Track::reportOpenSlots() {
    for (BasicLink* t = trains->firstChild; t; t = t->next) static_cast<Train*>(t)->reportOpenSlots();
}
