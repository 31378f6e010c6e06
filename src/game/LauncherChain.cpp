#include "game/LauncherChain.h"

#include <algorithm>
#include <cmath>

#include "engine/Context.h"
#include "engine/MathUtil.h"
#include "engine/Qel.h"
#include "game/Cargo.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "media/Camera.h"
#include "media/QelInput.h"

LauncherChain::LauncherChain(Launcher* owner) : launcher(owner) {
    pSkin = GameController::findSkin(u"launcher:2");
    links.pSkin = GameController::findSkin(u"chain:0");
    collisionSensitivity = 0.4f;
    extension.mass = 1.0f;
    extension.bClearForce = false;
    gotoState(STATE_RETRACTED);
    updateXform();
}

void LauncherChain::onStateChange() {
    if (state == STATE_RETRACTED) extension.force = Vector3();
}

void LauncherChain::placeHook() {
    const float reach = baseLength + extension.position.x;
    position = launcher->position + Vector3(std::cos(chainAngle), std::sin(chainAngle), 0.0f) * reach;
    rotation.z = chainAngle;
    updateXform();
    if (held) {
        held->position = position;
        if (!held->bFixedRotation) held->rotation.z = held->spinAngle + chainAngle;
        held->updateXform();
    }
    links.position = position + Vector3(std::cos(chainAngle), std::sin(chainAngle), 0.0f) * linkOffset;
    links.rotation = rotation;
    links.updateXform();
}

void LauncherChain::update(double t, double dt) {
    StateBase::tick(t, dt);
    if (qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_MOUSE) chainAngle = launcher->aimAngle;
    if (state == STATE_RETRACTED) {
        chainAngle = launcher->aimAngle;
        extension.position = Vector3();
        extension.velocity = Vector3();
    } else {
        extension.update(t, dt);
        if (extension.position.x <= 0.0f) {
            extension.position.x = 0.0f;
            if (Cargo* piece = held) {
                held = nullptr;
                removeChild(piece);
                if (piece->activate()) {
                    piece->release();
                } else {
                    piece->enterState(Cargo::STATE_QUEUED);
                    launcher->insertCargo(piece, true);
                }
            }
            gotoState(STATE_RETRACTED);
        }
        if (t > nextClickTime) {
            const float pitch = remapClamped(1.0f, 0.85f, 100.0f, 500.0f, extension.position.x);
            GameController::playSound(u"chainClick", pitch);
            nextClickTime = t + 0.1;
        }
    }
    // A piece on the chain whose colour died is let go: the chain never points at a dead piece.
    if (held && held->bDead) {
        Cargo* dead = held;
        held = nullptr;
        dead->release();
    }
    placeHook();
    if (held) held->update(t, dt);
}

void LauncherChain::render() {
    if (state == STATE_OUT) links.render();
    Renderable::render();
    if (held) held->render();
}

void LauncherChain::fire(float pointerX, float pointerY) {
    if (state != STATE_RETRACTED) return;
    const Vector3 from = launcher->position;
    chainAngle = std::atan2(pointerY - from.y, pointerX - from.x);
    const Context* context = qel ? qel->pCurrentContext : nullptr;
    if (!context || !context->pCamera) return;
    const WorldRect rect = context->pCamera->getVisibleRect(context->pCamera->target.z);
    // Where the ray from the launcher leaves the visible rectangle.
    const float dx = std::cos(chainAngle), dy = std::sin(chainAngle);
    float reach = 1e9f;
    const float left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const float bottom = std::min(rect.top, rect.bottom), top = std::max(rect.top, rect.bottom);
    if (dx > 1e-6f) reach = std::min(reach, (right - from.x) / dx);
    if (dx < -1e-6f) reach = std::min(reach, (left - from.x) / dx);
    if (dy > 1e-6f) reach = std::min(reach, (top - from.y) / dy);
    if (dy < -1e-6f) reach = std::min(reach, (bottom - from.y) / dy);
    maxExtension = reach;
    if (!(maxExtension >= baseLength) || maxExtension > 1e8f) return;
    extension.position = Vector3();
    extension.force = Vector3(-PULL, 0.0f, 0.0f);
    extension.velocity = Vector3(PULL * std::sqrt(2.0f * (maxExtension - baseLength) / PULL), 0.0f, 0.0f);
    gotoState(STATE_OUT);
}

bool LauncherChain::grab(Cargo* piece) {
    if (state != STATE_OUT || held || !piece || !collide(piece)) return false;
    held = piece;
    if (piece->owner) static_cast<QelBase*>(piece->owner)->removeChild(piece);
    addChild(piece);
    extension.force = extension.force * 4.0f;
    piece->enterState(Cargo::STATE_CHAINED);
    return true;
}
