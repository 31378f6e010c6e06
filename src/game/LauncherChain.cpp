#include "game/LauncherChain.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "media/Context.h"
#include "engine/Qel.h"
#include "game/Cargo.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "media/Camera.h"
#include "media/QelInput.h"
#include "media/Quad.h"
#include "media/Texture.h"

LauncherChain::LauncherChain(Launcher* owner) : launcher(owner) {
    pSkin = GameController::findSkin(u"launcher:2");
    collisionSensitivity = 0.4f;
    extension.mass = 1.0f;
    extension.bClearForce = false;

    links = new Renderable();
    if (auto* chainPicture = dynamic_cast<Quad*>(GameController::findSkin(u"chain:0"))) {
        // A copy of its own: the texture rectangle follows the chain's length.
        linkSkin = new Quad();
        linkSkin->pTexture = chainPicture->pTexture;
        linkSkin->texLeft = chainPicture->texLeft;
        linkSkin->texTop = chainPicture->texTop;
        linkSkin->texRight = chainPicture->texRight;
        linkSkin->texBottom = chainPicture->texBottom;
        linkSkin->sourceRect = chainPicture->sourceRect;
        linkSkin->fitToTexture();
        // The links run from their placement back towards the launcher.
        linkSkin->setAnchor(6);
        links->pSkin = linkSkin;
        links->bOwnsSkin = true;
    }
    links->bHidden = true;

    gotoState(STATE_RETRACTED);
    updateXform();
}

LauncherChain::~LauncherChain() {
    delete links;
    links = nullptr;
}

void LauncherChain::onStateChange() {
    if (state != STATE_RETRACTED) return;
    extension.force = Vector3();
    extension.velocity = Vector3();
    extension.position = Vector3();
}

float LauncherChain::distanceToEdge(float x, float y, float angle, float left, float right, float bottom, float top) {
    if (x < left || x > right || y < bottom || y > top) return 0.0f;
    const float dx = std::cos(angle);
    const float dy = std::sin(angle);
    float distance = std::numeric_limits<float>::infinity();
    if (dx > 0.0f) distance = std::min(distance, (right - x) / dx);
    if (dx < 0.0f) distance = std::min(distance, (left - x) / dx);
    if (dy > 0.0f) distance = std::min(distance, (top - y) / dy);
    if (dy < 0.0f) distance = std::min(distance, (bottom - y) / dy);
    return std::isfinite(distance) ? distance : 0.0f;
}

void LauncherChain::fire(float pointerX, float pointerY) {
    if (state != STATE_RETRACTED || !launcher) return;
    const Vector3& from = launcher->position;
    chainAngle = std::atan2(pointerY - from.y, pointerX - from.x);
    GameController* game = GameController::current();
    Context* view = game ? game->pWorldLayer : (qel ? qel->pCurrentContext : nullptr);
    maxExtension = 0.0f;
    if (view && view->pCamera) {
        const WorldRect rect = view->pCamera->getVisibleRect(from.z);
        maxExtension = distanceToEdge(from.x, from.y, chainAngle, rect.left, rect.right, rect.bottom, rect.top);
    }
    if (maxExtension < baseLength) return;
    // Under a steady deceleration the hook just reaches the edge of the view, stops and comes back.
    extension.position = Vector3();
    extension.force = Vector3(-DECELERATION, 0.0f, 0.0f);
    extension.velocity = Vector3(DECELERATION * std::sqrt(2.0f * (maxExtension - baseLength) / DECELERATION), 0.0f, 0.0f);
    gotoState(STATE_OUT);
}

bool LauncherChain::grab(Cargo* piece) {
    if (state != STATE_OUT || held || !piece || !collide(piece)) return false;
    held = piece;
    if (piece->owner) static_cast<QelBase*>(piece->owner)->removeChild(piece);
    piece->prev = piece->next = nullptr;
    addChild(piece);
    extension.force = extension.force * 4.0f;
    piece->enterState(Cargo::STATE_CHAINED);
    return true;
}

void LauncherChain::deliver() {
    Cargo* piece = held;
    held = nullptr;
    if (piece) {
        removeChild(piece);
        piece->prev = piece->next = nullptr;
        if (piece->activate()) {
            piece->release();
        } else {
            piece->enterState(Cargo::STATE_QUEUED);
            if (launcher) launcher->insertCargo(piece, true);
            else piece->release();
        }
    }
    gotoState(STATE_RETRACTED);
}

void LauncherChain::layOutLinks(float length) {
    if (!linkSkin || !linkSkin->pTexture || linkSkin->pTexture->width <= 0) return;
    linkSkin->texLeft = linkSkin->texRight - length / static_cast<float>(linkSkin->pTexture->width);
    linkSkin->fitToTexture();
    linkSkin->setAnchor(6);
}

void LauncherChain::update(double time, double dt) {
    StateBase::tick(time, dt);
    if (!launcher) return;
    const float aim = launcher->aimAngle;
    if (qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_MOUSE) chainAngle = aim;
    const Vector3 direction(std::cos(chainAngle), std::sin(chainAngle), 0.0f);

    if (state == STATE_RETRACTED) {
        chainAngle = aim;
        position = launcher->position + launcher->aimDirection * baseLength;
        links->bHidden = true;
    } else if (state == STATE_OUT) {
        extension.update(time, dt);
        if (extension.position.x < 0.0f) extension.position.x = 0.0f;
        const float out = extension.position.x;
        position = launcher->position + direction * (out + baseLength);
        if (out <= 0.0f) {
            deliver();
            links->bHidden = true;
        } else {
            const float length = linkOffset + baseLength + out;
            layOutLinks(std::max(length, 0.0f));
            links->bHidden = length <= 0.0f;
            if (time > nextClickTime) {
                GameController::playSound(u"chainClick", remapClamped(1.0f, 0.85f, 100.0f, 500.0f, out));
                nextClickTime = time + 0.1;
            }
        }
    }

    rotation.z = chainAngle;
    updateXform();
    if (held) {
        held->position = position;
        if (!held->bFixedRotation) held->rotation.z = held->spinAngle + chainAngle;
        held->updateXform();
        held->update(time, dt);
        // A piece that dies on the chain (no open slot wants its colour any more) is let go.
        if (held->bDead) {
            Cargo* dead = held;
            held = nullptr;
            removeChild(dead);
            dead->release();
        }
    }
    links->position = position + Vector3(std::cos(chainAngle), std::sin(chainAngle), 0.0f) * linkOffset;
    links->rotation = rotation;
    links->updateXform();
}

void LauncherChain::render() {
    if (!links->bHidden) links->render();
    Renderable::render();
    if (held) held->render();
}
