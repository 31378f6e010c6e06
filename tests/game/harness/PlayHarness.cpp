#include "game/harness/PlayHarness.h"

#include <SDL.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstring>

#include "runtime/QelRuntime.h"
#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "ui/ProfileData.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/WorldManager.h"
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
    if (const auto* train = dynamic_cast<const Train*>(object)) {
        hasher.add(train->engineForce);
        hasher.add(train->slotQuota);
        hasher.add(train->slotsSpawned);
        hasher.add(train->comboCount);
    }
    if (const auto* segment = dynamic_cast<const TrainLayout*>(object)) {
        hasher.add(segment->motion.position);
        hasher.add(segment->motion.velocity);
    }
    if (const auto* car = dynamic_cast<const Car*>(object)) {
        hasher.add(car->kind);
        hasher.add(car->frontPos);
        hasher.add(car->rearPos);
        hasher.add(car->nextFrontPos);
        // The slots hang off the car's own slot list, not its children.
        for (const BasicLink* slot = car->slots.firstChild; slot; slot = slot->next) hashTree(hasher, static_cast<const QelBase*>(slot));
    }
    if (const auto* slot = dynamic_cast<const CargoSlot*>(object)) {
        hasher.add(slot->color);
        hasher.add(slot->trackPos);
        hasher.add(slot->held ? slot->held->type : -1);
    }
    if (const auto* piece = dynamic_cast<const Cargo*>(object)) {
        hasher.add(piece->type);
        hasher.add(piece->spinAngle);
        hasher.add(piece->motion.position);
        hasher.add(piece->lifetime);
    }
    if (const auto* launcher = dynamic_cast<const Launcher*>(object)) {
        hasher.add(launcher->aimAngle);
        hasher.add(launcher->cycleProgress);
        hasher.add(launcher->positionIndex);
    }
    for (const BasicLink* child = object->firstChild; child; child = child->next) hashTree(hasher, static_cast<const QelBase*>(child));
}

}  // namespace

DepthManager* PlayHarness::Host::getDepthManager() { return game ? &game->depthManager : &depthManager; }

void PlayHarness::Host::addTrain(Track* track) { trainRequests.push_back(track); }

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
    engine = new QelRuntime();
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
    clearWorld();
    if (LevelHost::current() == &host) LevelHost::setCurrent(nullptr);
    delete application;
    delete engine;
    engine = nullptr;
    platform::KeyboardDevice::clearKeys();
    platform::setInputFocusOverride(-1);
    platform::Clock::setCurrent(nullptr);
}

void PlayHarness::clearWorld() {
    if (game) {
        // The game deletes its layers with the level in them, and leaves the application.
        if (game->owner) static_cast<QelBase*>(game->owner)->removeChild(game);
        if (application->pContextManager && application->pContextManager->pLastActive == game) application->pContextManager->pLastActive = nullptr;
        if (application->pContextManager && application->pContextManager->pTop == game) application->pContextManager->pTop = nullptr;
        game->bSaveWhenDeleted = false;
        delete game;
        game = nullptr;
        host.game = nullptr;
    } else {
        delete world;
    }
    world = nullptr;
    level = nullptr;
}

Level* PlayHarness::buildLevel(int number) {
    clearWorld();
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

GameController* PlayHarness::newGame(int number) {
    clearWorld();
    randomSeed = seed;
    frames = 0;
    host.trainRequests.clear();

    // Every game starts from the same input: the mouse's pointer in the middle, no button down.
    QelInput* input = engine->pQelInput;
    for (int button = 0; button < 4; ++button) input->mouseButtonMsg[button] = input->mouseButtons[button] = input->prevMouseButtons[button] = 0;
    setPointer(static_cast<float>(engine->pQelGraphics->layoutWidth) / 2.0f, static_cast<float>(engine->pQelGraphics->layoutHeight) / 2.0f);

    game = new GameController();
    application->pGameController = game;
    host.game = game;
    // A new game for the player at that level: score, hearts and lives as at the start.
    if (ProfileData* profile = GameController::currentProfile()) {
        profile->resetGame();
        profile->level() = number;
    }
    world = game->pWorldLayer;
    return game;
}

Level* PlayHarness::startGame(int number) {
    newGame(number);
    // The level's set-up and build as the first state makes them, then straight into play.
    game->gotoState(GameController::STATE_PREPARING);
    game->gotoState(GameController::STATE_PLAYING);
    level = game->pLevel;
    return level;
}

GameController* PlayHarness::playLevel(int number) {
    newGame(number);
    game->startGame();
    return game;
}

void PlayHarness::pushGame() {
    if (!game || !application->pContextManager) return;
    ContextManager* stack = application->pContextManager;
    // Only the game (and what it pushes) on the stack.
    while (Context* top = stack->getTopContext()) {
        stack->removeChild(top);
        if (top != game) top->release();
    }
    stack->pLastActive = nullptr;
    stack->pushContext(game);
}

Cargo* PlayHarness::shoot(int type, const Vector3& target) {
    if (!game || !level) return nullptr;
    Cargo* piece = Cargo::createByType(type);
    const Vector3 from = level->launcherPositions.empty() ? Vector3() : level->launcherPositions[0];
    const Vector3 toward = target - from;
    const float distance = toward.length();
    const Vector3 direction = distance > 0.0f ? toward * (1.0f / distance) : Vector3(0.0f, 1.0f, 0.0f);
    piece->position = from;
    piece->motion.position = from;
    piece->motion.velocity = direction * (640.0f * level->shotSpeedScale);
    piece->updateXform();
    piece->enterState(Cargo::STATE_FLYING);
    game->pCargoLayer->addChild(piece);
    ++game->stats_shotsFired;
    return piece;
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
    Context* root = world;
    if (game) {
        // The game runs its own frame (its colour picker, rules and states), on the screen stack
        // once pushed there.
        root = game->owner && application->pContextManager ? static_cast<Context*>(application->pContextManager) : game;
        level = game->pLevel;
        world = game->pWorldLayer;
    }
    timespec before{}, after{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    engine->frame(root);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    lastFrameCpuSeconds = static_cast<double>(after.tv_sec - before.tv_sec) + 1e-9 * static_cast<double>(after.tv_nsec - before.tv_nsec);
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
    if (game) {
        for (int statistic : {game->stats_shotsFired, game->stats_correctPlacements, game->stats_incorrectPlacements,
                              game->stats_placementStreak, game->carsSpawned, game->carsCompleted, game->trainsSpawned, game->state,
                              game->command, game->stats_bonusesSpawned})
            hasher.add(statistic);
        if (ProfileData* profile = GameController::currentProfile()) hasher.add(profile->score());
        hasher.add(game->totalTime);
        hasher.add(game->nextPowerUpTime);
        hasher.add(game->levelProgress);
    }
    const DepthManager& depthPass = game ? game->depthManager : host.depthManager;
    for (const TrackObject* object : depthPass.objects) {
        hasher.add(object->depth);
        hasher.add(object->trackPos);
    }
    for (int statistic : {Qel::STAT_RENDERABLES_CONSIDERED, Qel::STAT_RENDERABLES_DRAWN, Qel::STAT_VERTICES})
        hasher.add(engine->frameStats[statistic]);
    return hasher.h;
}
