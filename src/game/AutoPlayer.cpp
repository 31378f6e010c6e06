#include "game/AutoPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "ui/Global.h"
#include "media/Context.h"
#include "engine/Qel.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/TrainLayout.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "platform/KeyCodeTable.h"
#include "platform/KeyboardDevice.h"

namespace {

constexpr int kKeySpace = 0x39;
constexpr float kTwoPi = 6.28318530718f;
// The launcher's shot speeds before the level's scale: normal, and during a speed shot.
constexpr float kShotSpeed = 640.0f;
constexpr float kFastShotSpeed = 1000.0f;
constexpr int kMouseLeft = 0;
constexpr int kMouseRight = 1;
// Fixed-point rounds of the intercept.
constexpr int kIterations = 6;
// A piece passing this near a slot centre is taken to meet it (piece radius and slot reach).
constexpr float kMeetDistance = 24.0f;
// Farther than a car moves along its track in a frame (segments are capped at 2000 units a
// second).
constexpr float kMaxSlotStep = 100.0f;
// Without a target for this long, with two or more spots, the player moves on.
constexpr double kIdleBeforeCycle = 1.0;
// The HUD's MENU corner at the top right of the layout (pixels), and how far the pointer keeps
// from it when it aims.
constexpr float kMenuCornerWidth = 150.0f;
constexpr float kMenuCornerHeight = 40.0f;
constexpr float kMenuCornerMargin = 3.0f;
// Without a target for this long (from any spot), the piece on the bow is fired away.
constexpr double kWaitBeforeDiscard = 2.5;

Track* trackOf(const CargoSlot& slot) { return slot.car ? slot.car->getTrack() : nullptr; }

float segmentSpeed(const CargoSlot& slot) {
    return slot.car && slot.car->segment ? slot.car->segment->motion.velocity.x : 0.0f;
}

bool swapMouse() { return game && game->gameConfiguration.bSwapMouse; }

// Whether this piece would be taken by that slot (when it meets it).
bool takes(const CargoSlot& slot, const Cargo& piece) {
    if (slot.bHidden || !slot.car) return false;
    if (!slot.held) return true;
    // A slot holding a piece takes only a fireball, and only when its piece is wrong.
    return piece.type == Cargo::TYPE_FIREBALL && !slot.held->fits(slot.color);
}

// Whether this piece is what that slot wants.
bool wanted(const CargoSlot& slot, const Cargo& piece) {
    if (!takes(slot, piece)) return false;
    if (piece.type == Cargo::TYPE_FIREBALL || piece.type == Cargo::TYPE_WILDCARD) return true;
    return piece.fits(slot.color);
}

// How far from 'from' along a unit direction the ray leaves the rectangle (left <= right,
// bottom <= top); a huge number when the direction is (nearly) zero.
float distanceToEdge(float left, float right, float bottom, float top, const Vector3& from, const Vector3& direction) {
    float reach = 1e9f;
    if (direction.x > 1e-6f) reach = std::min(reach, (right - from.x) / direction.x);
    if (direction.x < -1e-6f) reach = std::min(reach, (left - from.x) / direction.x);
    if (direction.y > 1e-6f) reach = std::min(reach, (top - from.y) / direction.y);
    if (direction.y < -1e-6f) reach = std::min(reach, (bottom - from.y) / direction.y);
    return reach;
}

// How far along its way to the tunnel a slot is (larger: more urgent).
float urgency(const CargoSlot& slot) {
    const Track* track = trackOf(slot);
    if (!track || track->tunnelLambda <= 0.0f) return 0.0f;
    return slot.trackPos / track->tunnelLambda;
}

}  // namespace

Vector3 AutoPlayer::predict(const CargoSlot& slot, float t) {
    const Track* track = trackOf(slot);
    const Vector3 now = slot.boundsCenter;
    if (!track) return now;
    Vector3 onPath, ahead;
    track->path.getPoint(slot.trackPos, onPath);
    track->path.getPoint(slot.trackPos + segmentSpeed(slot) * t, ahead);
    return now + (ahead - onPath);
}

bool AutoPlayer::flightIsClear(GameController& game, const Cargo& piece, const Vector3& from, const Vector3& direction, float distance,
                               float speed, float clearance, const CargoSlot* target) {
    for (CargoSlot* other : game.colorPicker.openSlots) {
        if (other == target || !takes(*other, piece)) continue;
        // Where along the flight the other slot lies when the piece gets there.
        const Vector3 o0 = other->boundsCenter;
        const float along0 = (o0.x - from.x) * direction.x + (o0.y - from.y) * direction.y;
        if (along0 <= 0.0f || along0 >= distance + kMeetDistance * 0.5f) continue;
        const Vector3 o = predict(*other, along0 / speed);
        const float along = (o.x - from.x) * direction.x + (o.y - from.y) * direction.y;
        if (along <= 0.0f || along >= distance) continue;
        const float across = std::fabs((o.x - from.x) * direction.y - (o.y - from.y) * direction.x);
        if (across < clearance) return false;
    }
    return true;
}

bool AutoPlayer::findDiscard(GameController& game, const Cargo& piece, const Vector3& from, float speed, Vector3& point) {
    Camera* camera = game.pWorldLayer ? game.pWorldLayer->pCamera : nullptr;
    if (!camera || speed <= 0.0f) return false;
    const WorldRect rect = camera->getVisibleRect(camera->target.z);
    const float left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const float bottom = std::min(rect.top, rect.bottom), top = std::max(rect.top, rect.bottom);
    // Every few degrees: whether a flight that way leaves the view without meeting a slot that
    // would take the piece (with room to spare).
    constexpr int kDirections = 72;
    bool clear[kDirections];
    Vector3 directions[kDirections];
    float reaches[kDirections];
    bool any = false, all = true;
    for (int i = 0; i < kDirections; ++i) {
        const float angle = kTwoPi * static_cast<float>(i) / static_cast<float>(kDirections);
        directions[i] = Vector3(std::cos(angle), std::sin(angle), 0.0f);
        reaches[i] = distanceToEdge(left, right, bottom, top, from, directions[i]);
        clear[i] = reaches[i] < 1e8f && reaches[i] > 0.0f &&
                   flightIsClear(game, piece, from, directions[i], reaches[i] + kMeetDistance, speed, 2.0f * kMeetDistance, nullptr);
        any |= clear[i];
        all &= clear[i];
    }
    if (!any) return false;
    // The middle of the widest run of clear directions (straight up when all are clear).
    int bestStart = 0, bestLength = 0;
    if (all) {
        bestStart = kDirections / 4;
        bestLength = 1;
    } else {
        for (int start = 0; start < kDirections; ++start) {
            // A run starts after a blocked direction.
            if (!clear[start] || clear[(start + kDirections - 1) % kDirections]) continue;
            int length = 0;
            while (length < kDirections && clear[(start + length) % kDirections]) ++length;
            if (length > bestLength) {
                bestStart = start;
                bestLength = length;
            }
        }
    }
    const int middle = (bestStart + bestLength / 2) % kDirections;
    point = from + directions[middle] * reaches[middle];
    return true;
}

AutoPlayer::Aim AutoPlayer::findShot(GameController& game, const Cargo& piece, const Vector3& from, float speed) {
    Aim best;
    if (speed <= 0.0f) return best;
    std::vector<CargoSlot*> candidates;
    for (CargoSlot* slot : game.colorPicker.openSlots)
        if (wanted(*slot, piece)) candidates.push_back(slot);
    std::stable_sort(candidates.begin(), candidates.end(), [](const CargoSlot* a, const CargoSlot* b) { return urgency(*a) > urgency(*b); });
    for (CargoSlot* slot : candidates) {
        const Track* track = trackOf(*slot);
        if (!track) continue;
        // Fixed point: the time the piece needs to reach where the slot will be.
        float t = 0.0f;
        Vector3 at = slot->boundsCenter;
        for (int i = 0; i < kIterations; ++i) {
            at = predict(*slot, t);
            t = Vector3(at.x - from.x, at.y - from.y, 0.0f).length() / speed;
        }
        const float arrivalPos = slot->trackPos + segmentSpeed(*slot) * t;
        if (track->isHidden(arrivalPos) || arrivalPos >= track->tunnelLambda) continue;
        // Another slot that the flight meets first and that would take the piece spoils the shot.
        const Vector3 flat(at.x - from.x, at.y - from.y, 0.0f);
        const float distance = flat.length();
        if (distance <= 0.0f) continue;
        const Vector3 direction = flat * (1.0f / distance);
        if (!flightIsClear(game, piece, from, direction, distance - kMeetDistance * 0.5f, speed, kMeetDistance, slot)) continue;
        best.slot = slot;
        best.point = at;
        best.arrival = game.getGameTime() + t;
        return best;
    }
    return best;
}

Vector3 AutoPlayer::pointerFor(GameController& game, const Vector3& from, const Vector3& target) {
    Camera* camera = game.pWorldLayer ? game.pWorldLayer->pCamera : nullptr;
    const float layoutWidth = qel && qel->pQelGraphics ? static_cast<float>(qel->pQelGraphics->layoutWidth) : 800.0f;
    const float layoutHeight = qel && qel->pQelGraphics ? static_cast<float>(qel->pQelGraphics->layoutHeight) : 600.0f;
    if (!camera) return Vector3(layoutWidth / 2.0f, layoutHeight / 2.0f, 0.0f);
    const WorldRect rect = camera->getVisibleRect(camera->target.z);
    const float s = (0.0f - camera->position.z) / (layoutWidth / 2.0f);
    // As far out along the aim as the screen allows (a margin inside), so that pixel rounding
    // turns the aim as little as possible.
    Vector3 direction(target.x - from.x, target.y - from.y, 0.0f);
    const float length = direction.length();
    Vector3 point = target;
    if (length > 0.0f) {
        direction = direction * (1.0f / length);
        const float margin = 2.0f * s;
        const float left = std::min(rect.left, rect.right) + margin, right = std::max(rect.left, rect.right) - margin;
        const float bottom = std::min(rect.top, rect.bottom) + margin, top = std::max(rect.top, rect.bottom) - margin;
        float reach = distanceToEdge(left, right, bottom, top, from, direction);
        reach = std::max(reach, length);
        if (reach > 1e8f) reach = length;
        point = from + direction * reach;
        // A primary click on the HUD's MENU corner (top right) pauses instead of firing: there the
        // pointer is drawn back along the aim to just short of the corner.
        const float menuLeft = rect.left + (layoutWidth - kMenuCornerWidth - kMenuCornerMargin) * s;
        const float menuBottom = rect.bottom + (layoutHeight - kMenuCornerHeight - kMenuCornerMargin) * s;
        if (point.x > menuLeft && point.y > menuBottom && (from.x <= menuLeft || from.y <= menuBottom)) {
            float enter = 0.0f;
            if (from.x <= menuLeft) enter = std::max(enter, (menuLeft - from.x) / direction.x);
            if (from.y <= menuBottom) enter = std::max(enter, (menuBottom - from.y) / direction.y);
            point = from + direction * enter;
        }
    }
    Vector3 layout((point.x - rect.left) / s, (point.y - rect.bottom) / s, 0.0f);
    layout.x = std::clamp(layout.x, 0.0f, layoutWidth - 1.0f);
    layout.y = std::clamp(layout.y, 0.0f, layoutHeight - 1.0f);
    return layout;
}

void AutoPlayer::pointAt(GameController& game, const Vector3& from, const Vector3& target) {
    QelInput* input = qel ? qel->pQelInput : nullptr;
    if (!input || !game.pWorldLayer || !game.pWorldLayer->pCamera) return;
    if (Vector3(target.x - from.x, target.y - from.y, 0.0f).length() <= 0.0f) return;
    const Vector3 window = input->layoutToWindow(pointerFor(game, from, target));
    if (input->inputMode != INPUTMODE_MOUSE) input->setInputMode(INPUTMODE_MOUSE);
    input->onMouseMove(static_cast<int>(std::lround(window.x)), static_cast<int>(std::lround(window.y)));
}

void AutoPlayer::click(int button) {
    QelInput* input = qel ? qel->pQelInput : nullptr;
    if (!input) return;
    // Down and up before the next poll: seen down for exactly one frame.
    input->onMouseButtonDown(button);
    input->onMouseButtonUp(button);
}

int AutoPlayer::keyDown(int dikCode) {
    for (const platform::KeyCodeRow& row : platform::keyCodeTable) {
        if (row.dik != dikCode || row.scancode == 0) continue;
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.scancode = static_cast<SDL_Scancode>(row.scancode);
        platform::KeyboardDevice::handleEvent(event);
        return row.scancode;
    }
    return 0;
}

void AutoPlayer::keyUp(int scancode) {
    SDL_Event event{};
    event.type = SDL_KEYUP;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    platform::KeyboardDevice::handleEvent(event);
}

void AutoPlayer::pressKey(int dikCode) {
    if (const int scancode = keyDown(dikCode)) heldKey = scancode;
}

bool AutoPlayer::tryClaw(GameController& game) {
    Launcher* launcher = game.pLauncher;
    if (!launcher || !launcher->chain || launcher->chain->state != LauncherChain::STATE_RETRACTED) return false;
    if (game.getGameTime() < nextClawTime) return false;
    Camera* camera = game.pWorldLayer ? game.pWorldLayer->pCamera : nullptr;
    if (!camera) return false;
    const Vector3 from = launcher->position;
    const WorldRect rect = camera->getVisibleRect(camera->target.z);
    for (CargoSlot* slot : game.colorPicker.openSlots) {
        if (slot->bHidden || !slot->held || !slot->car) continue;
        // Wrong pieces block their slot; bonuses are worth having.
        if (slot->held->fits(slot->color) && !slot->held->bPowerUp) continue;
        // The hook flies to the view's edge under a steady pull: find when it passes the slot.
        Vector3 at = slot->boundsCenter;
        float t = 0.0f;
        bool reachable = true;
        for (int i = 0; i < kIterations; ++i) {
            at = predict(*slot, t);
            Vector3 d(at.x - from.x, at.y - from.y, 0.0f);
            const float distance = d.length();
            const Vector3 direction = distance > 0.0f ? d * (1.0f / distance) : Vector3(1.0f, 0.0f, 0.0f);
            const float left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
            const float bottom = std::min(rect.top, rect.bottom), top = std::max(rect.top, rect.bottom);
            const float edge = distanceToEdge(left, right, bottom, top, from, direction);
            const float out = edge - 45.0f, need = distance - 45.0f;
            if (out <= 0.0f || need <= 0.0f || need > out) {
                reachable = false;
                break;
            }
            const float pull = LauncherChain::DECELERATION;
            const float v0 = pull * std::sqrt(2.0f * out / pull);
            const float disc = std::max(0.0f, v0 * v0 - 2.0f * pull * need);
            t = (v0 - std::sqrt(disc)) / pull;
        }
        const Track* track = trackOf(*slot);
        if (!reachable || !track || track->isHidden(slot->trackPos + segmentSpeed(*slot) * t)) continue;
        pointAt(game, from, at);
        click(swapMouse() ? kMouseLeft : kMouseRight);
        ++clawsFired;
        nextClawTime = game.getGameTime() + 0.3;
        return true;
    }
    return false;
}

void AutoPlayer::step() {
    // A key pressed last frame goes up now.
    if (heldKey != 0) {
        keyUp(heldKey);
        heldKey = 0;
        return;
    }
    GameController* game = GameController::current();
    if (!game || game->state != GameController::STATE_PLAYING || !game->pLevel || !game->pLauncher) {
        bookings.clear();
        idleSince = waitingSince = -1.0;
        return;
    }
    const double now = game->getGameTime();
    // A booking ends with its time, or as soon as its slot is no longer the same open slot: gone
    // from the open slots, another colour or track, or a jump no car makes in a frame (a new slot
    // that took a deleted one's address; what the player does must not depend on the heap).
    const std::vector<CargoSlot*>& open = game->colorPicker.openSlots;
    std::erase_if(bookings, [now, &open](Booking& b) {
        if (b.until < now) return true;
        const auto it = std::find(open.begin(), open.end(), b.slot);
        if (it == open.end()) return true;
        const CargoSlot& slot = **it;
        if (slot.color != b.color || trackOf(slot) != b.track || std::fabs(slot.trackPos - b.trackPos) > kMaxSlotStep) return true;
        b.trackPos = slot.trackPos;
        return false;
    });
    Launcher* launcher = game->pLauncher;
    if (tryClaw(*game)) return;
    // A reload brings a new piece onto the bow: its wait starts afresh.
    if (launcher->state != Launcher::STATE_READY) waitingSince = -1.0;
    if (launcher->state != Launcher::STATE_READY) return;
    const Cargo* piece = launcher->frontPiece();
    if (!piece) return;
    const float scale = game->pLevel->shotSpeedScale;
    const float speed = (launcher->speedShotTime > 0.0 ? kFastShotSpeed : kShotSpeed) * scale;
    // Slots with a shot on its way are left to it.
    GameController& g = *game;
    std::vector<CargoSlot*> saved = g.colorPicker.openSlots;
    std::erase_if(g.colorPicker.openSlots, [this](const CargoSlot* s) {
        return std::any_of(bookings.begin(), bookings.end(), [s](const Booking& b) { return b.slot == s; });
    });
    const Aim aim = findShot(g, *piece, launcher->position, speed);
    g.colorPicker.openSlots = saved;
    if (aim.slot) {
        pointAt(g, launcher->position, aim.point);
        click(swapMouse() ? kMouseRight : kMouseLeft);
        bookings.push_back({aim.slot, aim.slot->color, trackOf(*aim.slot), aim.slot->trackPos, aim.arrival + 0.25});
        ++shotsFired;
        idleSince = waitingSince = -1.0;
        return;
    }
    if (idleSince < 0.0) idleSince = now;
    if (waitingSince < 0.0 || waitingFor != piece->type) {
        waitingSince = now;
        waitingFor = piece->type;
    }
    // A piece that has found no way to its slots for a while (other trains always in the way,
    // its slots hidden) holds up every piece behind it: it is fired where it meets no slot.
    Vector3 away;
    if (now - waitingSince > kWaitBeforeDiscard && launcher->chain && launcher->chain->state == LauncherChain::STATE_RETRACTED &&
        findDiscard(g, *piece, launcher->position, speed, away)) {
        pointAt(g, launcher->position, away);
        click(swapMouse() ? kMouseRight : kMouseLeft);
        ++shotsFired;
        ++discards;
        idleSince = waitingSince = -1.0;
        return;
    }
    if (g.pLevel->launcherPositions.size() >= 2 && now - idleSince > kIdleBeforeCycle && now >= nextCycleTime &&
        launcher->chain && launcher->chain->state == LauncherChain::STATE_RETRACTED) {
        pressKey(kKeySpace);
        ++spotCycles;
        nextCycleTime = now + kIdleBeforeCycle;
        idleSince = -1.0;
    }
}
