#include "game/harness/PlayHarness.h"

#include <SDL.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>

#include "app/GameGlobal.h"
#include "app/Loader.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "platform/InputFocus.h"
#include "platform/KeyCodeTable.h"
#include "platform/KeyboardDevice.h"
#include "support/RecordingDirect3D.h"

namespace {

constexpr double kFrameStep = 1.0 / 60.0;

// The depth pass in the playfield's order: after the level (scene, tracks, launcher bases) and
// the objects that move along the tracks.
class DepthPass : public QelBase {
public:
    explicit DepthPass(DepthManager& manager) : manager(manager) {}
    void update(double time, double dt) override { manager.update(time, dt); }
    void render() override { manager.render(); }
    DepthManager& manager;
};

// FNV-1a over bytes.
class Hasher {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) h = (h ^ b) * 0x100000001B3ull;
    }
    void add(const Vector3& v) {
        add(v.x);
        add(v.y);
        add(v.z);
    }
    uint64_t h = 0xCBF29CE484222325ull;
};

void hashTree(Hasher& hasher, const QelBase* object) {
    hasher.add(object->getClass()->id);
    hasher.add(object->state);
    hasher.add(object->bDead);
    if (const auto* r = dynamic_cast<const Renderable*>(object)) {
        hasher.add(r->position);
        hasher.add(r->rotation);
        hasher.add(r->scale);
        hasher.add(r->color);
        hasher.add(r->bHidden);
        hasher.add(r->bVisible);
    }
    if (const auto* t = dynamic_cast<const TrackObject*>(object)) {
        hasher.add(t->depth);
        hasher.add(t->trackPos);
    }
    for (const BasicLink* child = object->firstChild; child; child = child->next) hashTree(hasher, static_cast<const QelBase*>(child));
}

}  // namespace

PlayHarness::Probe::Probe(Track* track, float speed) : track(track), speed(speed) {
    pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, u"car:1"));
    trackPos = track->createLambda;
}

void PlayHarness::Probe::update(double time, double dt) {
    trackPos += speed * static_cast<float>(dt);
    if (trackPos > track->path.length) trackPos = track->createLambda;
    Vector3 point;
    float heading = 0.0f;
    track->path.getPoint(trackPos, point, &heading, &depth);
    const Vector3 turn(0.0f, 0.0f, heading);
    set(nullptr, &point, &turn, nullptr, nullptr, nullptr);
    bHidden = trackPos > track->tunnelLambda;
    TrackObject::update(time, dt);
}

PlayHarness::PlayHarness(uint32_t seed) : seed(seed) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VESK_SILENT_ERRORS", "1", 1);
    platform::Clock::setCurrent(&clock);
    QelGraphics::createDirect3D = &RecordingDirect3D::create;
    platform::setInputFocusOverride(1);
    platform::KeyboardDevice::clearKeys();
    engine = new Qel();
    // English, without the language screen; every loader step up to the hand-over to the menus.
    engine->singleLanguage = 0;
    application = new GameGlobal();
    Loader* loader = application->initPreLoader();
    while (loader->currentStep < Loader::STEP_COUNT - 1) loader->loadStuff(false);
    setRecording(false);
    if (engine->pQelInput && engine->pQelInput->keyboardDevice) engine->pQelInput->keyboardDevice->acquire();
    LevelHost::setCurrent(&host);
}

PlayHarness::~PlayHarness() {
    delete world;
    world = nullptr;
    level = nullptr;
    if (LevelHost::current() == &host) LevelHost::setCurrent(nullptr);
    delete application;
    delete engine;
    engine = nullptr;
    platform::KeyboardDevice::clearKeys();
    platform::setInputFocusOverride(-1);
    platform::Clock::setCurrent(nullptr);
}

Level* PlayHarness::buildLevel(int number) {
    delete world;
    world = nullptr;
    level = nullptr;
    randomSeed = seed;
    frames = 0;
    host.trainRequests.clear();
    LevelHost::setCurrent(&host);

    // The fractions the game sets for the level: the sprint grows with the campaign's progress
    // unless the level's row fixes it.
    const float progress = std::clamp(static_cast<float>(number) / static_cast<float>(LayoutTable::LAST_LEVEL), 0.0f, 1.0f);
    const LevelRow& row = LayoutTable::row(number);
    host.sprintFraction = row.sprintFraction > 0.0f ? row.sprintFraction : 0.15f * progress + 0.35f;
    host.refillFraction = 0.75f;

    world = new Context();
    world->pCamera->position = Vector3(0.0f, 16.0f, -400.0f);
    world->pCamera->target = Vector3(0.0f, 16.0f, 0.0f);
    world->pCamera->update(0.0, 0.0);
    auto* levelGroup = new QelBase();
    world->addChild(levelGroup);
    world->addChild(new QelBase());  // the probes
    world->addChild(new DepthPass(host.depthManager));
    level = createLevelLayout(number);
    level->buildScene();
    levelGroup->addChild(level);

    return level;
}

std::vector<PlayHarness::Probe*> PlayHarness::addProbes(float speed) {
    std::vector<Probe*> probes;
    if (!world || !level) return probes;
    auto* layer = static_cast<QelBase*>(world->firstChild->next);
    for (Track* track : level->getTracks()) {
        auto* probe = new Probe(track, speed);
        layer->addChild(probe);
        probes.push_back(probe);
    }
    return probes;
}

uint64_t PlayHarness::frame() {
    // The engine's step is the difference of the frame timer's stamps: set so that it is exactly
    // the same 1/60 s every frame, whatever the clock's reading (its rounding would otherwise
    // differ between runs that start at different times).
    engine->frameTimer.period = 0.0;
    engine->frameTimer.previousFrameTime = 0.0;
    engine->frameTimer.frameTime = kFrameStep;
    clock.advance(kFrameStep);
    engine->frame(world);
    ++frames;
    return hash();
}

std::vector<uint64_t> PlayHarness::run(int count) {
    std::vector<uint64_t> hashes;
    hashes.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) hashes.push_back(frame());
    return hashes;
}

void PlayHarness::setKey(int keyCode, bool down) {
    for (const platform::KeyCodeRow& row : platform::keyCodeTable) {
        if (row.dik != keyCode || row.scancode == 0) continue;
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = static_cast<SDL_Scancode>(row.scancode);
        platform::KeyboardDevice::handleEvent(event);
        return;
    }
}

void PlayHarness::setPointer(float x, float y) {
    QelInput* input = engine->pQelInput;
    input->setInputMode(INPUTMODE_MOUSE);
    const Vector3 w = input->layoutToWindow(Vector3(x, y, 0.0f));
    input->onMouseMove(static_cast<int>(w.x + 0.5f), static_cast<int>(w.y + 0.5f));
}

void PlayHarness::setMouseButton(int button, bool down) {
    if (down) engine->pQelInput->onMouseButtonDown(button);
    else engine->pQelInput->onMouseButtonUp(button);
}

void PlayHarness::setRecording(bool on) {
    if (RecordingDevice* d = device()) d->bRecording = on;
}

RecordingDevice* PlayHarness::device() const {
    if (!engine || !engine->pQelGraphics || !engine->pQelGraphics->dxDevice) return nullptr;
    return static_cast<RecordingDevice*>(engine->pQelGraphics->dxDevice);
}

uint64_t PlayHarness::hash() const {
    Hasher hasher;
    hasher.add(frames);
    hasher.add(randomSeed);
    if (world) {
        hasher.add(world->totalTime);
        hashTree(hasher, world);
    }
    for (const TrackObject* object : host.depthManager.objects) {
        hasher.add(object->depth);
        hasher.add(object->trackPos);
    }
    for (int statistic : {Qel::STAT_RENDERABLES_CONSIDERED, Qel::STAT_RENDERABLES_DRAWN, Qel::STAT_VERTICES})
        hasher.add(engine->frameStats[statistic]);
    return hasher.h;
}
