#include "game/ContextLevelComplete.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/ProfileData.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "game/AwardDisplay.h"
#include "game/ContextMessage.h"
#include "game/FloatingText.h"
#include "game/GameController.h"
#include "game/Mascot.h"
#include "game/SpeechBubble.h"
#include "media/FontQuad.h"
#include "media/TextTrace.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"

namespace {
float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }
bool touchMode() { return qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_TOUCH; }

// A label in a dark rim drawn eight ways round it, so that it reads on the snow and the train.
void drawInRim(TextLabel* label) {
    constexpr float kRim = 2.5f, kDiagonal = kRim * 0.7071f;
    constexpr uint32_t kRimColour = 0xE01B2A4A;
    const Vector3 at = label->position;
    const uint32_t colour = label->color;
    label->color = kRimColour;
    {
        TextTrace::Decoration rim;
        for (const Vector3& d : {Vector3(-kRim, 0, 0), Vector3(kRim, 0, 0), Vector3(0, -kRim, 0), Vector3(0, kRim, 0),
                                 Vector3(-kDiagonal, -kDiagonal, 0), Vector3(kDiagonal, -kDiagonal, 0),
                                 Vector3(-kDiagonal, kDiagonal, 0), Vector3(kDiagonal, kDiagonal, 0)}) {
            label->position = at + d;
            label->updateXform();
            FontAccess::drawAligned(label->pFont, label, label->alignment, label->text);
        }
    }
    label->position = at;
    label->color = colour;
    label->updateXform();
    FontAccess::drawAligned(label->pFont, label, label->alignment, label->text);
}
}  // namespace

float ContextLevelComplete::measureSpeed(int totalCars, double levelStartTime, double levelEndTime) {
    const float seconds = float(levelEndTime - levelStartTime);
    if (!(seconds > 0.0f)) return 0.0f;
    return clamp01(1.25f * float(totalCars) / seconds);
}

float ContextLevelComplete::measureAccuracy(int correct, int incorrect) {
    const int placed = correct + incorrect;
    if (placed <= 0) return 0.0f;
    return clamp01(float(correct) / float(placed));
}

float ContextLevelComplete::measureEfficiency(int bonusesCollected, int bonusesSpawned, int correct, int incorrect,
                                              int shotsFired) {
    float v = bonusesSpawned > 0 ? 0.5f * float(bonusesCollected) / float(bonusesSpawned) : 0.5f;
    if (shotsFired > 0) v += 0.5f * float(correct + incorrect) / float(shotsFired);
    return clamp01(v);
}

int ContextLevelComplete::excellenceBonus(const float values[MEASURE_COUNT]) {
    if (values[0] == 1.0f && values[1] == 1.0f && values[2] == 1.0f) return TOP_BONUS;
    if (values[0] > 0.9f && values[1] > 0.9f && values[2] > 0.9f) return GOOD_BONUS;
    return 0;
}

int ContextLevelComplete::shownPercentage(float value, double t) {
    const float share = clamp01(float((t - 0.5) * 2.0));
    return int(100.0f * value * share);
}

ContextLevelComplete::ContextLevelComplete() {
    bDeleteWhenDone = true;
    bAnyKeyCloses = true;
    if (GameController* c = GameController::current()) {
        measures[SPEED] = measureSpeed(c->totalCars, c->levelStartTime, c->levelEndTime);
        measures[ACCURACY] = measureAccuracy(c->stats_correctPlacements, c->stats_incorrectPlacements);
        measures[EFFICIENCY] = measureEfficiency(c->stats_bonusesCollected, c->stats_bonusesSpawned,
                                                 c->stats_correctPlacements, c->stats_incorrectPlacements,
                                                 c->stats_shotsFired);
    }
    addChild(new Mascot());
    // The panel lies below the head-up display (its top 30 units under the screen's top edge) and
    // reaches down past the medals' names, 120 units under the medals, with its tail below them.
    auto* bubble = new SpeechBubble(640.0f, BUBBLE_HEIGHT);
    bubble->position = Vector3(0.0f, float(layoutHeight()) / 2.0f - 30.0f - BUBBLE_HEIGHT / 2.0f, 0.0f);
    bubble->updateXform();
    addChild(bubble);
    addChild(new TextLabel(0.0f, 190.0f, 0.0f, AppText::text(u"LEVELCOMPLETE"), AppLink::fontLarge(), 0xFFFFFFFF));
    static const char16_t* const kHeadings[] = {u"STATSPEED", u"STATACCURACY", u"STATEFFICIENCY"};
    static const double kAwardDelays[] = {1.25, 1.75, 2.25};
    for (int i = 0; i < MEASURE_COUNT; ++i) {
        const float x = -200.0f + 200.0f * float(i);
        // The headings' line starts below the title's descenders (its "p" or "g" reach down to
        // 142 units), accents included; their values follow 20 units lower.
        auto* heading = new TextLabel(x, HEADING_Y, 0.0f, AppText::text(kHeadings[i]), AppLink::fontSmall(),
                                      ContextMessage::TEXT_COLOUR);
        // Grey small text on the white bubble reads crisply only without the drop shadow.
        heading->bShadow = false;
        addChild(heading);
        pValueLabels[i] = new TextLabel(x, HEADING_Y - 20.0f, 0.0f, u"", AppLink::fontLarge(), 0xFFFFFFFF);
        addChild(pValueLabels[i]);
        pAwards[i] = new AwardDisplay(AwardDisplay::medalFor(measures[i]), x, 0.0f, 0.0f, kAwardDelays[i]);
        addChild(pAwards[i]);
    }
    auto* prompt = new TextLabel(0.0f, 10.0f - float(layoutHeight()) / 2.0f, 0.0f,
                                 AppText::text(touchMode() ? u"IOS_CLICKTOCONTINUE" : u"CLICKTOCONTINUE"), AppLink::fontMedium(),
                                 0xFFFFFFFF);
    // The line stands on its point, 10 units above the bottom edge, instead of hanging from it
    // off the screen. Below the panel it lies on the snow: it is drawn in a dark rim.
    prompt->alignment = FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HEIGHT;
    prompt->bHidden = true;
    addChild(prompt);
    pPrompt = prompt;
}

ContextLevelComplete::~ContextLevelComplete() {
    // Closed before the bonus was due: it is paid all the same, once.
    settleBonus(false);
}

void ContextLevelComplete::settleBonus(bool bShow) {
    if (bBonusSettled) return;
    bBonusSettled = true;
    const int bonus = excellenceBonus(measures);
    if (bonus == 0) return;
    if (ProfileData* profile = GameController::currentProfile()) {
        profile->addScore(bonus);
        GameController::noteAward(GameController::AWARD_EXCELLENCE, bonus, 0);
    }
    if (!bShow) return;
    GameController::playSoundRandomPitch(bonus == TOP_BONUS ? u"applause3" : u"applause2");
    // The bonus rises as a score pop-up near the foot of the screen, from under the panel's foot up
    // to just below the medals' names (120 units under the medals), which it would cover if it
    // started higher: in its second of life it rises 32 units and grows to 1.25 times its size.
    addChild(new FloatingText(Vector3(0.0f, BONUS_Y - float(layoutHeight()) / 2.0f, 0.0f), format(u"+%d", bonus)));
}

void ContextLevelComplete::tickContents(double total, double dt) {
    GameController* controller = GameController::current();
    if (controller && controller->pHudLayer) controller->pHudLayer->tick(total, dt);
    const double t = totalTime;
    if (!bBellPlayed && t >= BELL_TIME) {
        bBellPlayed = true;
        GameController::playSoundRandomPitch(u"bellSmall");
    }
    for (int i = 0; i < MEASURE_COUNT; ++i)
        pValueLabels[i]->text = format(u"%d%%", shownPercentage(measures[i], t));
    if (t >= BONUS_TIME) settleBonus(true);
    Context::tickContents(total, dt);
}

void ContextLevelComplete::renderContents() {
    if (GameController* controller = GameController::current()) controller->draw();
    Context::renderContents();
    if (pPrompt) drawInRim(pPrompt);
}
