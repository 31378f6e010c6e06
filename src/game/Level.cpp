#include "game/Level.h"

#include <cmath>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/HiddenZone.h"
#include "game/LayoutTable.h"
#include "game/LevelA1.h"
#include "game/LevelA12.h"
#include "game/LevelA13.h"
#include "game/LevelA14.h"
#include "game/LevelA2.h"
#include "game/LevelA5.h"
#include "game/LevelA7.h"
#include "game/LevelA8.h"
#include "game/LevelB1.h"
#include "game/LevelB2.h"
#include "game/LevelB3.h"
#include "game/LevelB4.h"
#include "game/LevelC1.h"
#include "game/LevelC2.h"
#include "game/LevelC3.h"
#include "game/LevelC4.h"
#include "game/Track.h"
#include "game/TrackObject.h"
#include "media/QelGraphics.h"
#include "media/Renderable.h"
#include "media/Skin.h"
#include "media/Texture.h"

namespace {
constexpr float kPi = 3.1415927f;
constexpr uint32_t kShadowColor = 0x40000000;
}  // namespace

Level::Level(int mirror) : mirrorX(mirror) {
    sceneLayer = new QelBase();
    trackLayer = new QelBase();
    launcherLayer = new QelBase();
    decorations = new QelBase();
    addChild(sceneLayer);
    addChild(trackLayer);
    addChild(launcherLayer);
    addChild(decorations);
    shadowVector = Vector3(std::cos(shadowAngle) * static_cast<float>(mirrorX), std::sin(shadowAngle) * static_cast<float>(mirrorY), 0.0f);
}

Level::~Level() {
    // Sprites, decorations and tracks first: they show the pictures' skins.
    while (lastChild) lastChild->release();
    delete sceneTexture;
    delete decorationTexture;
}

Vector3 Level::mirrorRotation() const { return Vector3(mirrorY < 0 ? kPi : 0.0f, mirrorX < 0 ? kPi : 0.0f, 0.0f); }

void Level::addTrack(Track* track, std::span<const LayoutPoint> points) {
    LayoutTable::convertTrack(points, mirrorX, mirrorY, track->path.controlPoints, track->path.tangents);
}

TrackObject* Level::addDecoration(Skin* skin, float depth) {
    auto* decoration = new TrackObject();
    const Vector3 position(0.0f, 0.0f, spriteDepth());
    const Vector3 rotation = mirrorRotation();
    const Vector3 scale(1.0f, 0.8f, 1.0f);
    decoration->set(skin, &position, &rotation, &scale, nullptr, nullptr);
    decoration->depth = depth;
    decorations->addChild(decoration);
    return decoration;
}

void Level::buildLayout(const SceneLayout& layout) {
    sceneTexture = new Texture(0, utf8ToWide(LayoutTable::scenePicture(layout)));
    decorationTexture = new Texture(0, utf8ToWide(LayoutTable::decorationPicture(layout)));
    for (const LayoutSpot& spot : layout.launchers) launcherPositions.emplace_back(spot.x, spot.y, 0.0f);
    for (size_t k = 0; k < layout.decorationDepths.size(); ++k) {
        if (k >= decorationTexture->skins.size()) {
            qelLog(u"Level::buildLayout", u"The picture %s has no skin %d for a decoration; left out.", decorationTexture->fileName,
                   static_cast<int>(k));
            continue;
        }
        addDecoration(decorationTexture->skins[k], layout.decorationDepths[k]);
    }
    for (const LayoutTrack& data : layout.tracks) {
        auto* track = new Track();
        track->createLambda = data.createLambda;
        track->tunnelLambda = data.tunnelLambda;
        track->helpLambda = data.helpLambda;
        for (const LayoutSpan& hidden : data.hidden) track->hiddenZones.addChild(new HiddenZone(hidden.start, hidden.end));
        addTrack(track, data.points);
        track->init();
        trackLayer->addChild(track);
    }
}

void Level::buildScene() {
    auto* scene = new Renderable();
    const Vector3 position(0.0f, 0.0f, spriteDepth());
    const Vector3 rotation = mirrorRotation();
    const Vector3 scale(1.0f, 0.8f, 1.0f);
    Skin* sceneSkin = sceneTexture && !sceneTexture->skins.empty() ? sceneTexture->skins[0] : nullptr;
    scene->set(sceneSkin, &position, &rotation, &scale, nullptr, nullptr);
    sceneLayer->addChild(scene);

    ResourceManager* resources = qel ? qel->pResourceManager : nullptr;
    auto* base = resources ? static_cast<Skin*>(resources->find(true, u"launcher:0")) : nullptr;
    const bool shadows = qel && qel->pQelGraphics && qel->pQelGraphics->bHighDetail;
    const Vector3 turn(0.0f, 0.0f, shadowAngle + kPi);
    for (Vector3& spot : launcherPositions) {
        spot = Vector3(static_cast<float>(mirrorX) * spot.x, static_cast<float>(mirrorY) * spot.y * 0.8f, 0.0f);
        if (shadows) {
            auto* shadow = new Renderable();
            const Vector3 at = spot + shadowVector * 8.0f;
            shadow->set(base, &at, &turn, nullptr, nullptr, nullptr);
            shadow->color = kShadowColor;
            launcherLayer->addChild(shadow);
        }
        auto* sprite = new Renderable();
        sprite->set(base, &spot, &turn, nullptr, nullptr, nullptr);
        launcherLayer->addChild(sprite);
    }
}

std::vector<Track*> Level::getTracks() const {
    std::vector<Track*> out;
    for (BasicLink* t = trackLayer->firstChild; t; t = t->next) out.push_back(static_cast<Track*>(t));
    return out;
}

int Level::countTrains() const {
    int count = 0;
    for (const Track* track : getTracks()) count += track->countTrains();
    return count;
}

float Level::getProgress() const {
    float progress = 0.0f;
    for (const Track* track : getTracks()) {
        const float p = track->getProgress();
        if (p > progress) progress = p;
    }
    return progress;
}

void Level::reportOpenSlots() {
    for (Track* track : getTracks()) track->reportOpenSlots();
}

void Level::stopTrains() {
    for (Track* track : getTracks()) track->stopTrains();
}

Level* createLevelLayout(int level) {
    const LevelRow& row = LayoutTable::row(level);
    switch (row.scene) {
        case LayoutTable::SCENE_A1: return new LevelA1(row.mirrorX);
        case LayoutTable::SCENE_A8: return new LevelA8(row.mirrorX);
        case LayoutTable::SCENE_A12: return new LevelA12(row.mirrorX);
        case LayoutTable::SCENE_A5: return new LevelA5(row.mirrorX);
        case LayoutTable::SCENE_B3: return new LevelB3(row.mirrorX);
        case LayoutTable::SCENE_A13: return new LevelA13(row.mirrorX);
        case LayoutTable::SCENE_B4: return new LevelB4(row.mirrorX);
        case LayoutTable::SCENE_A2: return new LevelA2(row.mirrorX);
        case LayoutTable::SCENE_B2: return new LevelB2(row.mirrorX);
        case LayoutTable::SCENE_B1: return new LevelB1(row.mirrorX);
        case LayoutTable::SCENE_A14: return new LevelA14(row.mirrorX);
        case LayoutTable::SCENE_A7: return new LevelA7(row.mirrorX);
        case LayoutTable::SCENE_C1: return new LevelC1(row.mirrorX);
        case LayoutTable::SCENE_C2: return new LevelC2(row.mirrorX);
        case LayoutTable::SCENE_C3: return new LevelC3(row.mirrorX);
        default: return new LevelC4(row.mirrorX);
    }
}
