#include "game/Launcher.h"

#include <algorithm>
#include <cmath>

#include "ui/GameConfiguration.h"
#include "ui/Global.h"
#include "media/Context.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/Cargo.h"
#include "game/CargoColorPicker.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "game/LauncherChain.h"
#include "game/Level.h"
#include "media/Skin.h"
#include "media/Sound.h"
#include "media/Texture.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr float kHalfPi = 1.5707963705062866f;
// Shot speeds in units a second, before the level's scale.
constexpr float kShotSpeed = 640.0f;
constexpr float kSpeedShotSpeed = 1000.0f;
// Reload rates (progress a second): after a shot, faster during a speed shot; after a piece was
// put in front.
constexpr float kReloadRate = 4.0f;
constexpr float kSpeedShotReloadRate = 8.0f;
constexpr float kInsertRate = 8.0f;

// Where the queued pieces sit behind the launcher and how large they are, from one end of the
// cycle animation to the other (see layOutQueue).
constexpr float kScales[5] = {0.0f, 1.0f, 0.55f, 0.0f, 0.0f};

// The screen the launcher is in (the playfield), else the one being updated, else the game's
// playfield.
Context* screenOf(const QelBase* object, GameController* game) {
    for (const BasicLink* o = object; o; o = o->owner) {
        auto* candidate = static_cast<const QelBase*>(o);
        if (candidate->isKindOf(&Context::classRecord)) return const_cast<Context*>(static_cast<const Context*>(candidate));
    }
    if (qel && qel->pCurrentContext) return qel->pCurrentContext;
    return game ? game->pWorldLayer : nullptr;
}

uint32_t withAlphaOf(uint32_t rgbFrom, uint32_t alphaFrom) { return (alphaFrom & 0xFF000000u) | (rgbFrom & 0x00FFFFFFu); }

}  // namespace

Launcher::Launcher() {
    pSkin = GameController::findSkin(u"launcher:1");

    beam = new Renderable();
    beam->pSkin = GameController::findSkin(u"beam:0");
    beam->scale = Vector3(3.0f, 1.0f, 1.0f);
    beam->bHidden = true;
    addChild(beam);

    bowstring = new Renderable();
    if (qel && qel->pResourceManager)
        if (auto* frames = static_cast<Texture*>(qel->pResourceManager->find(false, u"bowstring"))) bowstringFrames = frames->skins;
    if (!bowstringFrames.empty()) bowstring->pSkin = bowstringFrames.back();
    addChild(bowstring);

    queue = new QelBase();
    addChild(queue);

    chain = new LauncherChain(this);
    addChild(chain);

    gotoState(STATE_DISABLED);
    updateXform();
}

void Launcher::onStateChange() {
    if (state == STATE_DISABLED) clearQueue();
}

void Launcher::clearQueue() {
    if (queue) queue->releaseChildren();
}

std::vector<Cargo*> Launcher::queuedPieces() const {
    std::vector<Cargo*> pieces;
    for (BasicLink* l = queue ? queue->firstChild : nullptr; l; l = l->next)
        if (!l->bDead) pieces.push_back(static_cast<Cargo*>(l));
    return pieces;
}

Cargo* Launcher::frontPiece() const {
    for (BasicLink* l = queue ? queue->firstChild : nullptr; l; l = l->next)
        if (!l->bDead) return static_cast<Cargo*>(l);
    return nullptr;
}

void Launcher::insertCargo(Cargo* piece, bool bFront) {
    if (!piece) return;
    if (piece->owner) static_cast<QelBase*>(piece->owner)->removeChild(piece);
    piece->prev = piece->next = nullptr;
    if (!bFront) {
        queue->addChild(piece);
        return;
    }
    queue->prependChild(piece);
    if (state == STATE_DISABLED) return;
    // It grows in from the hook onto the bow.
    piece->scale = Vector3(0.0f, 0.0f, 1.0f);
    piece->updateXform();
    cycleDirection = -1;
    cycleProgress = 0.0f;
    if (stateGoto == STATE_RELOADING) stateGoto = -1;
    gotoState(STATE_RELOADING);
}

void Launcher::moveToNextPosition() {
    GameController* game = GameController::current();
    const Level* level = game ? game->pLevel : nullptr;
    const int count = level ? static_cast<int>(level->launcherPositions.size()) : 0;
    if (count == 0) return;
    const int previous = positionIndex;
    int next = positionIndex + 1;
    if (next >= count) next = 0;
    const Vector3 from = position;
    positionIndex = next;
    position = level->launcherPositions[static_cast<size_t>(next)];
    updateXform();
    if (previous < 0 || count < 2) return;

    GameController::playSoundRandomPitch(u"pop");
    if (GameController::detailLevel() < 1 || !game->pEffectsLayer) return;
    game->pEffectsLayer->addChild(new FlareEffect(position.x, position.y, position.z, 20, 40.0f, 100.0f, 0.0f, kTwoPi, 3.0f, 0));
    game->pEffectsLayer->addChild(new FlareEffect(from.x, from.y, from.z, 10, 20.0f, 50.0f, 0.0f, kTwoPi, 3.0f, 0xFFFFFFFF));
}

void Launcher::aim(GameController* game) {
    if (Context* context = screenOf(this, game)) aimAngle = std::atan2(context->pointerWorldPos[1] - position.y, context->pointerWorldPos[0] - position.x);
    aimDirection = Vector3(std::cos(aimAngle), std::sin(aimAngle), 0.0f);
    rotation.z = aimAngle;
    updateXform();
}

int Launcher::nextType(GameController* game) {
    if (fireballShots >= 1) {
        --fireballShots;
        return Cargo::TYPE_FIREBALL;
    }
    if (wildcardShots >= 1) {
        --wildcardShots;
        return Cargo::TYPE_WILDCARD;
    }
    const float r = randomUnit();
    if (!game) return 0;
    return game->helpChance > r ? game->colorPicker.urgentColor() : game->colorPicker.weightedColor();
}

void Launcher::refillQueue(GameController* game) {
    if (state != STATE_DISABLED) {
        while (static_cast<int>(queuedPieces().size()) < QUEUE_LENGTH) {
            Cargo* piece = Cargo::createByType(nextType(game));
            piece->position = position;
            queue->addChild(piece);
            piece->enterState(Cargo::STATE_QUEUED);
        }
    }
    // Too many live pieces (one was put in front): the last goes.
    std::vector<Cargo*> pieces = queuedPieces();
    for (size_t i = QUEUE_LENGTH; i < pieces.size(); ++i) {
        queue->removeChild(pieces[i]);
        pieces[i]->release();
    }
}

void Launcher::layOutQueue() {
    // Distances behind the launcher: the hook in front of it, the bow, the reserve spot, where a
    // new piece appears, and far away.
    const float distances[5] = {-(chain ? chain->baseLength : 45.0f), 0.0f, 34.0f, 25.0f, 999.0f};
    const int k = cycleDirection >= 0 ? 1 : 0;
    int i = 0;
    for (Cargo* piece : queuedPieces()) {
        const int a = std::min(k + i, 3);
        const float d = distances[a] + (distances[a + 1] - distances[a]) * cycleProgress;
        const float s = kScales[a] + (kScales[a + 1] - kScales[a]) * cycleProgress;
        piece->position = position - aimDirection * d;
        piece->scale = Vector3(s, s, 1.0f);
        piece->updateXform();
        ++i;
    }
}

void Launcher::updateBeam(double dt) {
    if (speedShotTime <= 0.0) {
        beam->bHidden = true;
        return;
    }
    beam->bHidden = false;
    // The last half pi seconds fade the beam out.
    beam->color = speedShotTime <= kHalfPi ? lerpColor(0x00FFFFFF, 0xFFFFFFFF, static_cast<float>(std::sin(speedShotTime)))
                                           : 0xFFFFFFFF;
    speedShotTime -= dt;
    beam->position = position;
    beam->rotation.z = aimAngle;
    beam->updateXform();
}

void Launcher::fire(GameController* game) {
    Cargo* piece = frontPiece();
    // Nothing on the bow (the piece died): no shot.
    if (!piece || !game) return;
    const float scaleOfLevel = game->pLevel ? game->pLevel->shotSpeedScale : 1.0f;
    const float speed = (speedShotTime > 0.0 ? kSpeedShotSpeed : kShotSpeed) * scaleOfLevel;
    piece->motion.position = piece->position;
    piece->motion.previousPosition = piece->position;
    piece->motion.velocity = aimDirection * speed;
    piece->enterState(Cargo::STATE_FLYING);
    queue->removeChild(piece);
    piece->prev = piece->next = nullptr;
    if (game->pCargoLayer) game->pCargoLayer->addChild(piece);
    else piece->release();
    ++game->stats_shotsFired;

    if (piece->launchSound) {
        const WString name = qel && qel->pResourceManager ? qel->pResourceManager->getName(piece->launchSound) : WString();
        if (!name.empty()) GameController::playSoundPanned(name.c_str(), position.x);
        else piece->launchSound->playPanned(position.x);
    } else {
        const bool fast = speedShotTime > 0.0;
        if (Sound* bow = GameController::findSound(u"bowSound")) {
            bow->randomPitchLow = fast ? 0.25f : 0.0f;
            bow->randomPitchHigh = fast ? 0.25f : 0.1f;
        }
        // A speed shot sounds twice, each play drawing its own pitch.
        GameController::playSoundPanned(u"bowSound", position.x);
        if (fast) GameController::playSoundPanned(u"bowSound", position.x);
    }

    if (stateGoto == STATE_RELOADING) stateGoto = -1;
    gotoState(STATE_RELOADING);
    cycleDirection = 1;
    cycleProgress = 1.0f;
}

void Launcher::updateBowstring() {
    if (state == STATE_DISABLED) drawFraction = 0.75f;
    else if (state == STATE_RELOADING) drawFraction = 1.0f - std::fabs(2.0f * cycleProgress - 1.0f);
    else drawFraction = 0.0f;
    const int n = static_cast<int>(bowstringFrames.size());
    if (n > 0) {
        const int index = static_cast<int>(std::lround(std::clamp(drawFraction, 0.0f, 1.0f) * static_cast<float>(n - 1)));
        if (index >= 0 && index < n && bowstringFrames[static_cast<size_t>(index)]) bowstring->pSkin = bowstringFrames[static_cast<size_t>(index)];
    }
    bowstring->position = position;
    bowstring->rotation = rotation;
    bowstring->updateXform();
}

void Launcher::updateAimColor(GameController* game) {
    uint32_t colour = 0xFFFFFFFF;
    if (GameConfiguration::bShowAimColor) {
        const Cargo* front = frontPiece();
        colour = front && front->type >= 0 && front->type < Cargo::TYPE_COLOR_COUNT ? Cargo::colorTable[front->type] : 0xFF808080;
    }
    if (game) game->aimColor = colour;
    beam->color = withAlphaOf(colour, beam->color);
}

void Launcher::update(double time, double dt) {
    StateBase::tick(time, dt);
    GameController* game = GameController::current();
    const int command = game ? game->command : GameController::COMMAND_NONE;

    if (state != STATE_DISABLED && command == GameController::COMMAND_CYCLE && chain->state == LauncherChain::STATE_RETRACTED)
        moveToNextPosition();
    aim(game);
    queue->update(time, dt);
    chain->update(time, dt);
    refillQueue(game);
    layOutQueue();
    updateBeam(dt);

    if (state == STATE_RELOADING) {
        const float step = static_cast<float>(dt);
        if (cycleDirection < 0) {
            cycleProgress += kInsertRate * step;
            if (cycleProgress >= 1.0f) {
                cycleProgress = 1.0f;
                gotoState(STATE_READY);
            }
        } else if (cycleDirection > 0) {
            cycleProgress -= (speedShotTime > 0.0 ? kSpeedShotReloadRate : kReloadRate) * step;
            if (cycleProgress <= 0.0f) {
                cycleProgress = 0.0f;
                gotoState(STATE_READY);
            }
        }
    }
    if (state == STATE_READY && command == GameController::COMMAND_FIRE) fire(game);
    if (state != STATE_DISABLED && command == GameController::COMMAND_CLAW) {
        if (Context* context = screenOf(this, game)) chain->fire(context->pointerWorldPos[0], context->pointerWorldPos[1]);
    }
    updateBowstring();
    updateAimColor(game);
}

void Launcher::render() {
    if (!beam->bHidden) beam->render();
    chain->render();
    Renderable::render();
    bowstring->render();
    const std::vector<Cargo*> pieces = queuedPieces();
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) (*it)->render();
}
