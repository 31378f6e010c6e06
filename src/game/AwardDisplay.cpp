#include "game/AwardDisplay.h"

#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/Global.h"
#include "ui/ProfileData.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/AwardSparkle.h"
#include "game/ContextMessage.h"
#include "game/GameController.h"
#include "media/Skin.h"

namespace {
constexpr float kTwoPi = 2.0f * 3.14159265f;
constexpr float kNameOffset = -120.0f;

Renderable* sprite(const char16_t* skin, const Vector3& at, uint32_t colour) {
    auto* r = new Renderable();
    if (qel && qel->pResourceManager) r->pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, skin));
    r->position = at;
    r->color = colour;
    r->bSkipVisibility = true;
    r->updateXform();
    return r;
}
}  // namespace

int AwardDisplay::medalFor(float measure) {
    if (measure > 0.9f) return GOLD;
    if (measure > 0.8f) return SILVER;
    if (measure > 0.7f) return BRONZE;
    return NONE;
}

int AwardDisplay::pointsFor(int medal) {
    switch (medal) {
        case BRONZE: return 1000;
        case SILVER: return 3000;
        case GOLD: return 5000;
        default: return 0;
    }
}

uint32_t AwardDisplay::starColour(int medal) {
    switch (medal) {
        case BRONZE: return 0xFFCE6504;
        case GOLD: return 0xFFFFDF94;
        default: return 0xFFFFFFFF;
    }
}

AwardDisplay::AwardDisplay(int medal, float x, float y, float z, double delay)
    : position(x, y, z), medal(medal), points(pointsFor(medal)) {
    if (medal == NONE) {
        addChild(new TextLabel(x, y, z, AppText::text(u"NOAWARD"), AppLink::fontMedium(), ContextMessage::TEXT_COLOUR));
    } else {
        const uint32_t colour = starColour(medal);
        addChild(sprite(u"awardRibbon:0", position, 0xFFFFFFFF));
        addChild(sprite(u"awardStar:0", position, colour));
        auto* value = new TextLabel(x, y, z, formatThousands(points), AppLink::fontLarge(), colour);
        value->alignment = 0x14;
        addChild(value);
        pValue = value;
        static const char16_t* const kNames[] = {u"BRONZEAWARD", u"SILVERAWARD", u"GOLDAWARD"};
        // The outline font: the name stands under the bubble, over the game.
        auto* name = new TextLabel(x, y + kNameOffset, z, AppText::text(kNames[medal]), game ? game->pFontMediumOutline : nullptr,
                                   0xFFFFFFFF);
        name->scale = Vector3(0.75f, 0.75f, 1.0f);
        name->updateXform();
        addChild(name);
    }
    gotoState(SHOWN, delay);
}

AwardDisplay::~AwardDisplay() { pay(); }

void AwardDisplay::pay() {
    if (medal == NONE || bPaid) return;
    bPaid = true;
    if (ProfileData* profile = GameController::currentProfile()) {
        profile->addScore(points);
        GameController::noteAward(GameController::AWARD_MEDAL, points, medal);
    }
}

void AwardDisplay::onStateChange() {
    if (state != SHOWN || medal == NONE) return;
    GameController::playSound(u"bell", 1.0f + 0.25f * float(medal));
    pay();
}

void AwardDisplay::update(double t, double dt) {
    if (state == SHOWN && medal != NONE && t >= nextSparkleTime) {
        if (nextSparkleTime > 0.0) {
            const float a = kTwoPi * randomUnit();
            // Beneath the points and the medal's name: a sparkle swells to three times its size and
            // would hide the figures it passes over.
            auto* sparkle = new AwardSparkle(position.x + SPARKLE_DISTANCE * std::cos(a), position.y + SPARKLE_DISTANCE * std::sin(a),
                                             position.z);
            if (pValue) insertChildBefore(sparkle, pValue);
            else addChild(sparkle);
        }
        nextSparkleTime = t + double(randomUnit()) * double(4 - medal);
    }
    QelBase::update(t, dt);
}

void AwardDisplay::render() {
    if (state != SHOWN) return;
    QelBase::render();
}
