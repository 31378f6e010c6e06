#include "game/Hud.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/ProfileData.h"
#include "ui/ProgressBar.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/WorldManager.h"
#include "media/QelGraphics.h"
#include "media/Skin.h"
#include "media/TextTrace.h"
#include "media/Texture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kPercentageColour = 0xFF404040;
constexpr uint32_t kStatisticsColour = 0xFF000000;
constexpr int kStatisticsFlag = 0x100;

int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }

QelBase* findResource(const char16_t* name) {
    return qel && qel->pResourceManager ? qel->pResourceManager->find(true, name) : nullptr;
}

// One line of text through a renderable at a position and scale, in a colour.
void drawTextAt(FontQuad* font, float x, float y, float scale, uint32_t colour, int flags, WStringView text) {
    Renderable at;
    at.position = Vector3(x, y, 0.0f);
    at.scale = Vector3(scale, scale, 1.0f);
    at.color = colour;
    at.updateXform();
    FontAccess::drawAligned(font, &at, flags, text);
}

}  // namespace

FontQuad* Hud::hudFont() { return AppLink::fontLarge(); }
FontQuad* Hud::textFont() { return AppLink::fontMedium(); }
FontQuad* Hud::smallFont() { return AppLink::fontSmall(); }

Hud::Hud(bool bInGame) : bInGame(bInGame) {
    const float h = float(layoutHeight());
    pSkin = static_cast<Skin*>(findResource(u"HUDbar:0"));
    position = Vector3(0.0f, h / 2.0f, 0.0f);
    bSkipVisibility = true;
    updateXform();

    livesIcon.pSkin = static_cast<Skin*>(findResource(u"HUDicons:0"));
    livesIcon.position = Vector3(-210.0f, h / 2.0f - 12.0f, 0.0f);
    heartIcon.pSkin = static_cast<Skin*>(findResource(u"HUDicons:1"));
    heartIcon.position = Vector3(-160.0f, h / 2.0f - 12.0f, 0.0f);
    for (Renderable* icon : {&livesIcon, &heartIcon}) {
        icon->bSkipVisibility = true;
        icon->updateXform();
    }
    if (bInGame) {
        pProgressBar = new ProgressBar(static_cast<Texture*>(findResource(u"HUDprogress")), 0, 1);
        pProgressBar->position = Vector3(0.0f, h / 2.0f - 10.0f, 0.0f);
        pProgressBar->updateXform();
    }
}

Hud::~Hud() { delete pProgressBar; }

int Hud::countedScore(int from, int to, float blend) {
    const double remaining = 1.0 - double(blend);
    return int(double(from) + (1.0 - remaining * remaining) * double(to - from) + 0.1);
}

WString Hud::percentageText(float progress) { return format(u"%.0lf%%", double(progress) * 100.0); }

void Hud::update(double t, double dt) {
    ProfileData* profile = GameController::currentProfile();
    const int score = profile ? profile->score() : 0;
    if (bInGame) {
        // The level's name is taken once: it stays while this display lives.
        if (title.empty()) title = WorldManager::getCurrentLevelName();
        scoreBlend = std::min(scoreBlend + float(2.0 * dt), 1.0f);
        if (score != targetScore) {
            fromScore = displayedScore;
            targetScore = score;
            scoreBlend = 0.0f;
        }
        displayedScore = countedScore(fromScore, targetScore, scoreBlend);
        if (pProgressBar) {
            GameController* controller = GameController::current();
            pProgressBar->setFraction(controller ? controller->levelProgress : 0.0f);
        }
    } else {
        title = WorldManager::getCurrentLevelName();
        displayedScore = score;
    }
    Renderable::update(t, dt);
}

void Hud::render() {
    if (bHidden) return;
    const float w = float(layoutWidth()), h = float(layoutHeight());
    ProfileData* profile = GameController::currentProfile();
    TextTrace::Owner mine(this);
    if (TextTrace::active && pSkin)
        TextTrace::figure(u"head-up display", worldXform, WorldRect{-pSkin->width / 2.0f, pSkin->height / 2.0f, pSkin->width / 2.0f, -pSkin->height / 2.0f});
    Renderable::render();
    drawTextAt(hudFont(), 4.0f - w / 2.0f, h / 2.0f - 2.0f, 0.5f, kWhite, 258, formatThousands(displayedScore));
    if (bInGame) drawTextAt(hudFont(), w / 2.0f - 72.0f, h / 2.0f - 2.0f, 0.5f, kWhite, 4, AppText::text(u"MENU"));
    livesIcon.render();
    drawTextAt(textFont(), -200.0f, h / 2.0f, 1.0f, kWhite, 2, format(u"%d", profile ? profile->lives() : 0));
    heartIcon.render();
    drawTextAt(textFont(), -150.0f, h / 2.0f, 1.0f, kWhite, 2, format(u"%d", profile ? profile->hearts() : 0));
    drawTextAt(textFont(), 220.0f, h / 2.0f, 1.0f, kWhite, 8, title);
    if (!bInGame) return;
    GameController* controller = GameController::current();
    const float progress = controller ? controller->levelProgress : 0.0f;
    if (pProgressBar) pProgressBar->render();
    drawTextAt(textFont(), 0.0f, h / 2.0f - 11.0f, 0.6f, kPercentageColour, 20, percentageText(progress));
    if (controller && qel && (qel->debugLevel & kStatisticsFlag)) drawStatistics();
}

void Hud::drawStatistics() {
    GameController* c = GameController::current();
    const struct {
        float y;
        WString text;
    } lines[] = {
        {-10, format(u"stats_shotsFired %d", c->stats_shotsFired)},
        {-20, format(u"stats_correctPlacements %d", c->stats_correctPlacements)},
        {-30, format(u"stats_incorrectPlacements %d", c->stats_incorrectPlacements)},
        {-40, format(u"stats_placementStreak %d", c->stats_placementStreak)},
        {-60, format(u"stats_bonusesSpawned %d", c->stats_bonusesSpawned)},
        {-70, format(u"stats_bonusesCollected %d", c->stats_bonusesCollected)},
        {-80, format(u"stats_gameTime %.1lf", c->levelEndTime - c->levelStartTime)},
        {-90, format(u"now %.1lf", c->totalTime)},
    };
    for (const auto& line : lines) drawTextAt(smallFont(), -100.0f, line.y, 1.0f, kStatisticsColour, 8, line.text);
    // Each track's danger, one line apart from y = 0 down, then the level's (the largest).
    if (!c->pLevel) return;
    float y = 0.0f;
    for (const Track* track : c->pLevel->getTracks()) {
        drawTextAt(smallFont(), 150.0f, y, 1.0f, kWhite, 2, format(u"danger=%.3lf", double(track->getProgress())));
        y -= 10.0f;
    }
    drawTextAt(smallFont(), 150.0f, y, 1.0f, kWhite, 2, format(u"MAX=%.3lf", double(c->pLevel->getProgress())));
}
