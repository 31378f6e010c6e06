#include "game/WorldMapMarker.h"

#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextMenu.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/ProfileData.h"
#include "media/Context.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "game/WorldManager.h"
#include "media/FontQuad.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "media/TextTrace.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr uint32_t kNameColour = 0xFFFFFFFF;
// The name's dark rim: light text on the light, snowy map.
constexpr uint32_t kRimColour = 0xFF1B2A4A;
constexpr float kRim = 2.0f;

Context* owningContext(const BasicLink* link) {
    for (BasicLink* o = link->owner; o; o = o->owner)
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) return static_cast<Context*>(o);
    return nullptr;
}

}  // namespace

float WorldMapMarker::pulseScale(double time) { return 1.0f + 0.15f * float(std::sin(8.0 * time)); }

WorldMapMarker::WorldMapMarker(int stage, const Vector3& at) {
    const WorldManager::Stage& s = WorldManager::getStage(stage);
    townName = AppText::text(format(u"WORLD%d", stage).c_str());
    startDistance = s.startDistance;
    stageLength = s.length;
    firstLevel = s.firstLevel;
    levelCount = s.levelCount;
    if (qel && qel->pResourceManager) pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, u"worldMapMarkers:1"));
    collisionSensitivity = COLLISION_SENSITIVITY;
    position = at;
    bEnabled = isReached();
    updateXform();
}

bool WorldMapMarker::isReached() const {
    ProfileData* profile = GameController::currentProfile();
    return profile && firstLevel <= profile->highestLevel();
}

void WorldMapMarker::update(double time, double dt) {
    bEnabled = isReached();
    Context* context = qel ? qel->pCurrentContext : nullptr;
    QelInput* input = qel ? qel->pQelInput : nullptr;
    const Vector3 pointer = context ? Vector3(context->pointerWorldPos[0], context->pointerWorldPos[1], 0.0f) : Vector3();
    bHover = bEnabled && context && isPointInsideCollisionBounds(pointer);
    bSelected = false;
    if (bHover) {
        // A press is the map's to act on: it picks one town when the pointer is over several.
        if (game && game->gameConfiguration.detailLevel > 0) {
            flareTimer += dt;
            if (flareTimer >= flarePeriod) {
                flareTimer = 0.0;
                if (pEffectsLayer)
                    pEffectsLayer->addChild(new FlareEffect(position.x, position.y, position.z, 5, 50.0f, 55.0f, 0.0f, kTwoPi, 1.0f, 0));
            }
        }
        const float s = pulseScale(time);
        scale = Vector3(s, s, 1.0f);
        // Keys put the pointer exactly on the anchor: the town is then the selected one.
        if (input && ContextMenu::menuNavigationMode == ContextMenu::NAV_KEYBOARD) {
            const Vector3 anchor = getCaptionAnchor(false);
            bSelected = std::fabs(anchor.x - input->pointer.x) < 1.0f && std::fabs(anchor.y - input->pointer.y) < 1.0f;
        }
    } else {
        scale = Vector3(1.0f, 1.0f, 1.0f);
    }
    updateXform();
    QelBase::update(time, dt);
}

namespace {
float layoutTop() { return qel && qel->pQelGraphics ? float(qel->pQelGraphics->layoutHeight) / 2.0f : 240.0f; }
}  // namespace

void WorldMapMarker::render() { Renderable::render(); }

void WorldMapMarker::renderName() {
    if (bHidden || (!bHover && !bSelected)) return;
    FontQuad* font = AppLink::fontMedium();
    // Above the town rather than below it: the pointer, whose tip is on the town, covers what
    // lies below and to the right. The name hangs down from its place.
    const float half = pSkin ? pSkin->height / 2.0f : 0.0f;
    Renderable at;
    at.position = Vector3(position.x, position.y + half + NAME_GAP, position.z);
    // A town near the top: its name would reach the head-up display, so it goes below the town.
    if (at.position.y > layoutTop() - HUD_CLEARANCE) at.position.y = position.y - half - 2.0f;
    at.color = kNameColour;
    at.updateXform();
    const int flags = FontQuad::ALIGN_CENTER;
    // The rim: the name in the dark colour around its place, then the name itself.
    Renderable rim;
    rim.color = kRimColour;
    {
        TextTrace::Decoration decoration;
        // Eight ways round, so that the rim also closes at the letters' corners.
        const float k = kRim * 0.7071f;
        for (const auto& d : {Vector3(-kRim, 0, 0), Vector3(kRim, 0, 0), Vector3(0, -kRim, 0), Vector3(0, kRim, 0),
                              Vector3(-k, -k, 0), Vector3(k, -k, 0), Vector3(-k, k, 0), Vector3(k, k, 0)}) {
            rim.position = at.position + d;
            rim.updateXform();
            FontAccess::drawAligned(font, &rim, flags, townName);
        }
    }
    FontAccess::drawAligned(font, &at, flags, townName);
}

Vector3 WorldMapMarker::getNavigationPoint(int index) {
    if (index != 0) return endOfPoints();
    return getCaptionAnchor(!isReached());
}

Vector3 WorldMapMarker::getCaptionAnchor(bool bNone) {
    if (bNone) return endOfPoints();
    // The exact inverse of the context's conversion from pointer to world (Context::projectPointer).
    return ContextMenu::worldToPointer(owningContext(this), Vector3(position.x, position.y, position.z));
}
