#include "game/Launcher.h"

#include <algorithm>
#include <cmath>

#include "engine/Context.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "game/Cargo.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "game/LauncherChain.h"
#include "game/Level.h"

namespace {

constexpr float kPi = 3.14159265358979f;

GameController* controller() { return GameController::current(); }

}  // namespace

Launcher::Launcher() {
    pSkin = GameController::findSkin(u"launcher:1");
    chain = new LauncherChain(this);
    addChild(chain);
    gotoState(STATE_DISABLED);
    updateXform();
}

Launcher::~Launcher() { queue.deleteChildren(); }

void Launcher::onStateChange() {
    if (state == STATE_DISABLED) queue.deleteChildren();
}

Cargo* Launcher::frontPiece() const {
    for (BasicLink* l = queue.firstChild; l; l = l->next) {
        auto* piece = static_cast<Cargo*>(static_cast<QelBase*>(l));
        if (!piece->bDead) return piece;
    }
    return nullptr;
}

int Launcher::countQueued() const {
    int n = 0;
    for (BasicLink* l = queue.firstChild; l; l = l->next)
        if (!static_cast<QelBase*>(l)->bDead) ++n;
    return n;
}

void Launcher::moveToNextPosition() {
    GameController* game = controller();
    Level* level = game ? game->pLevel : nullptr;
    const int count = level ? static_cast<int>(level->launcherPositions.size()) : 0;
    const int old = positionIndex;
    const Vector3 from = position;
    int i = positionIndex + 1;
    if (i >= count) i = 0;
    positionIndex = i;
    if (count > 0) position = level->launcherPositions[static_cast<size_t>(i)];
    updateXform();
    if (old < 0 || count < 2) return;
    GameController::playSoundRandomPitch(u"pop");
    if (GameController::detailLevel() >= 1 && game->pEffectsLayer) {
        game->pEffectsLayer->addChild(new FlareEffect(position.x, position.y, position.z, 20, 40.0f, 100.0f, 0.0f, 2.0f * kPi, 3.0f, 0));
        game->pEffectsLayer->addChild(new FlareEffect(from.x, from.y, from.z, 10, 20.0f, 50.0f, 0.0f, 2.0f * kPi, 3.0f, 0xFFFFFFFF));
    }
}

void Launcher::insertCargo(Cargo* piece, bool bFront) {
    if (!piece) return;
    if (piece->owner) static_cast<QelBase*>(piece->owner)->removeChild(piece);
    if (!bFront) {
        queue.addChild(piece);
        return;
    }
    if (queue.firstChild) queue.insertChildBefore(piece, queue.firstChild);
    else queue.addChild(piece);
    piece->scale = Vector3(0.0f, 0.0f, 0.0f);
    if (state == STATE_DISABLED) return;
    cycleDirection = -1;
    cycleProgress = 0.0f;
    gotoState(STATE_RELOADING);
}

void Launcher::update(double t, double dt) {
    StateBase::tick(t, dt);
    GameController* game = controller();
    const int command = game ? game->command : GameController::COMMAND_NONE;

    if ((state == STATE_RELOADING || state == STATE_READY) && command == GameController::COMMAND_CYCLE && chain &&
        chain->state == LauncherChain::STATE_RETRACTED)
        moveToNextPosition();

    // Aim at the pointer in the playfield.
    if (qel && qel->pCurrentContext) {
        const float* p = qel->pCurrentContext->pointerWorldPos;
        aimAngle = std::atan2(p[1] - position.y, p[0] - position.x);
    }
    aimDirection = Vector3(std::cos(aimAngle), std::sin(aimAngle), 0.0f);
    rotation.z = aimAngle;
    updateXform();

    queue.update(t, dt);
    if (chain) chain->update(t, dt);
    refillQueue();
    layOutQueue();

    if (speedShotTime > 0.0) speedShotTime -= dt;

    if (state == STATE_RELOADING) {
        if (cycleDirection < 0) {
            cycleProgress += 8.0f * static_cast<float>(dt);
            if (cycleProgress >= 1.0f) {
                cycleProgress = 1.0f;
                gotoState(STATE_READY);
            }
        } else if (cycleDirection > 0) {
            cycleProgress -= (speedShotTime > 0.0 ? 8.0f : 4.0f) * static_cast<float>(dt);
            if (cycleProgress <= 0.0f) {
                cycleProgress = 0.0f;
                gotoState(STATE_READY);
            }
        }
    }
    if (state == STATE_READY && command == GameController::COMMAND_FIRE) fire();
    if (state != STATE_DISABLED && command == GameController::COMMAND_CLAW && chain && qel && qel->pCurrentContext)
        chain->fire(qel->pCurrentContext->pointerWorldPos[0], qel->pCurrentContext->pointerWorldPos[1]);

    if (state == STATE_DISABLED) drawFraction = 0.75f;
    else if (state == STATE_RELOADING) drawFraction = 1.0f - std::fabs(2.0f * cycleProgress - 1.0f);
    else drawFraction = 0.0f;

    if (game) {
        const Cargo* front = frontPiece();
        if (!front || front->type >= Cargo::TYPE_COLOR_COUNT) game->aimColor = 0xFF808080;
        else game->aimColor = Cargo::colorTable[front->type];
    }
}

void Launcher::refillQueue() {
    // Dead pieces (their colour is no longer wanted) are dropped, never fired.
    for (BasicLink* l = queue.firstChild; l;) {
        BasicLink* next = l->next;
        if (static_cast<QelBase*>(l)->bDead) static_cast<QelBase*>(l)->release();
        l = next;
    }
    if (state != STATE_DISABLED) {
        GameController* game = controller();
        while (queue.countChildren() < QUEUE_LENGTH) {
            int type;
            if (fireballShots >= 1) {
                type = Cargo::TYPE_FIREBALL;
                --fireballShots;
            } else if (wildcardShots >= 1) {
                type = Cargo::TYPE_WILDCARD;
                --wildcardShots;
            } else {
                const float r = randomUnit();
                const bool help = game && game->helpChance > r;
                type = game ? (help ? game->colorPicker.urgentColor() : game->colorPicker.weightedColor()) : 0;
            }
            Cargo* piece = Cargo::createByType(type);
            queue.addChild(piece);
            piece->enterState(Cargo::STATE_QUEUED);
        }
    }
    while (queue.countChildren() > QUEUE_LENGTH) queue.lastChild->release();
}

void Launcher::layOutQueue() {
    const float distances[] = {chain ? -chain->baseLength : -45.0f, 0.0f, 34.0f, 25.0f, 999.0f};
    const float scales[] = {0.0f, 1.0f, 0.55f, 0.0f, 0.0f};
    const int k = cycleDirection >= 0 ? 1 : 0;
    int i = 0;
    for (BasicLink* l = queue.firstChild; l && k + i + 1 < 5; l = l->next, ++i) {
        auto* piece = static_cast<Cargo*>(static_cast<QelBase*>(l));
        const float d = distances[k + i] + (distances[k + i + 1] - distances[k + i]) * cycleProgress;
        const float s = scales[k + i] + (scales[k + i + 1] - scales[k + i]) * cycleProgress;
        piece->position = position - aimDirection * d;
        piece->scale = Vector3(s, s, s);
        piece->updateXform();
    }
}

void Launcher::fire() {
    GameController* game = controller();
    Cargo* piece = frontPiece();
    if (!game || !piece) return;
    const float scale = game->pLevel ? game->pLevel->shotSpeedScale : 1.0f;
    const float speed = (speedShotTime > 0.0 ? FAST_SHOT_SPEED : SHOT_SPEED) * scale;
    queue.removeChild(piece);
    piece->scale = Vector3(1.0f, 1.0f, 1.0f);
    piece->motion.position = piece->position;
    piece->motion.velocity = aimDirection * speed;
    piece->enterState(Cargo::STATE_FLYING);
    game->pCargoLayer->addChild(piece);
    ++game->stats_shotsFired;
    if (piece->launchSound) {
        GameController::playSoundPanned(u"fireballLaunch", position.x);
    } else {
        GameController::playSoundPanned(u"bowSound", position.x);
        if (speedShotTime > 0.0) GameController::playSoundPanned(u"bowSound", position.x);
    }
    cycleDirection = 1;
    cycleProgress = 1.0f;
    gotoState(STATE_RELOADING);
}

void Launcher::render() {
    if (bHidden) return;
    if (chain) chain->render();
    Renderable::render();
    // Back of the queue first: the piece on the bow is drawn last.
    for (BasicLink* l = queue.lastChild; l; l = l->prev) static_cast<QelBase*>(l)->render();
}
