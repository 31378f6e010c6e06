// Bonuses: what each kind does when collected (caption, sound, the game's timers, the launcher's
// shots), the blink in its slot, the colour bomb and the extra life's hearts.

#include <cmath>
#include <algorithm>
#include <functional>

#include "LauncherFixture.h"
#include "game/ColorBombPowerUp.h"
#include "game/ExtraLifePowerUp.h"
#include "game/FlareEffect.h"
#include "game/FloatingText.h"
#include "language/Language.h"
#include "media/Sound.h"

namespace {

using PowerUpTest = LauncherTest;

// Collected as the chain collects it: activated, then destroyed.
bool collect(Cargo* bonus) {
    const bool used = bonus->activate();
    delete bonus;
    return used;
}

TEST_F(PowerUpTest, EachKindShowsItsCaptionPlaysItsSoundAndTakesEffect) {
    struct Case {
        int type;
        TextId caption;
        const char16_t* sound;
        std::function<double(GameController&, Launcher&)> measure;
        double change;  // what one bonus adds to the measure, or sets it to
        bool set;
    };
    const Case cases[] = {
        {Cargo::TYPE_STOP_BONUS, BONUSSTOP, u"railSqueak", [](GameController& g, Launcher&) { return g.stopUntil - g.getGameTime(); }, 5.0, true},
        {Cargo::TYPE_REVERSE_BONUS, BONUSREVERSE, u"steam", [](GameController& g, Launcher&) { return g.reverseUntil - g.getGameTime(); }, 5.0, true},
        {Cargo::TYPE_SLOW_BONUS, BONUSSLOW, u"trainSlow", [](GameController& g, Launcher&) { return g.slowUntil - g.getGameTime(); }, 8.0, true},
        {Cargo::TYPE_SPEED_SHOT_BONUS, BONUSSPEEDSHOT, u"guitar", [](GameController&, Launcher& l) { return l.speedShotTime; }, 20.0, false},
        {Cargo::TYPE_WILDCARD_BONUS, BONUSWILDCARD, u"stardust", [](GameController&, Launcher& l) { return double(l.wildcardShots); }, 4.0, false},
        {Cargo::TYPE_FIREBALL_BONUS, BONUSFIREBALL, u"fireballSound", [](GameController&, Launcher& l) { return double(l.fireballShots); }, 4.0, false},
        {Cargo::TYPE_COLOR_BOMB, BONUSCOLORBOMB, u"boom", [](GameController&, Launcher&) { return 0.0; }, 0.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SetUp();
        arm();
        frames(30);
        const double before = c.measure(*game, *launcher);
        const int texts = effectsOf<FloatingText>();
        const int flares = effectsOf<FlareEffect>();
        const int score = profile().score();
        TracedSounds::played.clear();

        auto* bonus = static_cast<PowerUp*>(Cargo::createByType(c.type));
        EXPECT_TRUE(bonus->bPowerUp);
        EXPECT_TRUE(bonus->bFixedRotation);
        EXPECT_EQ(bonus->caption, WString(qel->pLanguage->getText(c.caption)));
        EXPECT_TRUE(collect(bonus));

        EXPECT_NEAR(c.measure(*game, *launcher), (c.set ? 0.0 : before) + c.change, 1e-9);
        EXPECT_EQ(TracedSounds::count(c.sound), 1);
        EXPECT_EQ(game->stats_bonusesCollected, 1);
        EXPECT_EQ(effectsOf<FloatingText>(), texts + 1);
        EXPECT_EQ(effectsOf<FlareEffect>(), flares + 1);
        // A caption, no points.
        EXPECT_EQ(profile().score(), score);
    }
}

TEST_F(PowerUpTest, AmmunitionBonusesClearTheQueueAndAddUp) {
    struct Case {
        int type;
        int expectedType;
    };
    for (const Case& c : {Case{Cargo::TYPE_WILDCARD_BONUS, Cargo::TYPE_WILDCARD}, Case{Cargo::TYPE_FIREBALL_BONUS, Cargo::TYPE_FIREBALL}}) {
        SCOPED_TRACE(c.type);
        SetUp();
        arm();
        const std::vector<Cargo*> before = launcher->queuedPieces();
        ASSERT_EQ(before.size(), 2u);
        collect(Cargo::createByType(c.type));
        EXPECT_TRUE(launcher->queuedPieces().empty());
        collect(Cargo::createByType(c.type));
        // Eight shots; the refill loads them at once.
        frame();
        const std::vector<Cargo*> after = launcher->queuedPieces();
        ASSERT_EQ(after.size(), 2u);
        for (Cargo* piece : after) EXPECT_EQ(piece->type, c.expectedType);
        EXPECT_EQ(launcher->wildcardShots + launcher->fireballShots, 6);
    }
}

TEST_F(PowerUpTest, AFireballBonusWhileWildcardsArePendingLoadsFireballsFirst) {
    arm();
    collect(Cargo::createByType(Cargo::TYPE_WILDCARD_BONUS));
    collect(Cargo::createByType(Cargo::TYPE_FIREBALL_BONUS));
    frame();
    for (Cargo* piece : launcher->queuedPieces()) EXPECT_EQ(piece->type, Cargo::TYPE_FIREBALL);
    EXPECT_EQ(launcher->fireballShots, 2);
    EXPECT_EQ(launcher->wildcardShots, 4);
}

TEST_F(PowerUpTest, TimersAreSetNotAddedAndSpeedShotsAddUp) {
    frames(10);
    collect(Cargo::createByType(Cargo::TYPE_SLOW_BONUS));
    collect(Cargo::createByType(Cargo::TYPE_SPEED_SHOT_BONUS));
    frames(60);
    collect(Cargo::createByType(Cargo::TYPE_SLOW_BONUS));
    collect(Cargo::createByType(Cargo::TYPE_SPEED_SHOT_BONUS));
    // The later end wins; the speed shot ran for a second between the two.
    EXPECT_NEAR(game->slowUntil, game->getGameTime() + 8.0, 1e-9);
    EXPECT_NEAR(launcher->speedShotTime, 39.0, 0.02);
}

TEST_F(PowerUpTest, ASeatedBonusBlinksInItsSlotsColour) {
    Train* train = makeTrain({1, 1}, 1000.0f);
    struct Case {
        int slotColor;
        uint32_t base;
    };
    for (const Case& c : {Case{3, 0xFFFFFFFF}, Case{0, 0xFFFFFFFF}, Case{7, 0xFFA0A0A0}}) {
        SCOPED_TRACE(c.slotColor);
        CargoSlot* slot = slotOf(carAt(train, 1));
        slot->setColor(c.slotColor);
        Cargo* bonus = seat(slot, Cargo::TYPE_STOP_BONUS);
        for (double t : {0.0, 0.05, 0.3}) {
            bonus->update(t, 0.0);
            const float mix = 0.5f + 0.5f * std::sin(16.0f * static_cast<float>(t));
            EXPECT_EQ(bonus->color, lerpColor(c.base, Cargo::colorTable[c.slotColor], mix)) << t;
        }
    }
    // Ten seconds seated and it is gone.
    CargoSlot* slot = slotOf(carAt(train, 1));
    game->stopUntil = 1.0e9;
    for (int f = 0; f < 599; ++f) harness->frame();
    EXPECT_NE(slot->held, nullptr);
    harness->frame();
    harness->frame();
    EXPECT_EQ(slot->held, nullptr);
}

TEST_F(PowerUpTest, TheColourBombFillsEveryOpenSlotOfItsColour) {
    game->stopUntil = 1.0e9;
    Train* train = makeTrain({1, 1, 1, 2, 1}, 1100.0f);
    // Green: empty, a wrong piece, a bonus; a wagon with a filled green slot and an empty blue
    // one (it stays in the train); the bomb's own slot.
    CargoSlot* empty = slotOf(carAt(train, 1));
    CargoSlot* wrong = slotOf(carAt(train, 2));
    CargoSlot* withBonus = slotOf(carAt(train, 3));
    CargoSlot* filled = slotOf(carAt(train, 4), 0);
    CargoSlot* blue = slotOf(carAt(train, 4), 1);
    CargoSlot* home = slotOf(carAt(train, 5));
    for (CargoSlot* slot : {empty, wrong, withBonus, filled, home}) slot->setColor(3);
    blue->setColor(5);
    seat(wrong, 5);
    seat(withBonus, 0);
    withBonus->replaceCargo(new TracingBonus());
    Cargo* settled = seat(filled, 3);
    auto* bomb = static_cast<ColorBombPowerUp*>(seat(home, Cargo::TYPE_COLOR_BOMB));
    EXPECT_EQ(bomb->bombColor, 3);
    EXPECT_EQ(bomb->color, Cargo::colorTable[3]);
    frame();
    ASSERT_EQ(home->held, bomb);
    // Pulled out of its slot (as the chain does), then collected.
    home->held = nullptr;
    bomb->slot = nullptr;
    home->removeChild(bomb);
    // The empty green slot is filled after the frame's open slots were listed: it keeps its piece.
    Cargo* late = seat(empty, 3);
    TracedSounds::played.clear();
    EXPECT_TRUE(collect(bomb));

    EXPECT_EQ(empty->held, late);
    EXPECT_EQ(filled->held, settled);
    for (CargoSlot* slot : {wrong, withBonus, home}) {
        ASSERT_NE(slot->held, nullptr);
        EXPECT_EQ(slot->held->type, 3);
        EXPECT_EQ(slot->held->state, Cargo::STATE_SEATED);
        EXPECT_EQ(slot->countChildren(), 1);
    }
    EXPECT_EQ(blue->held, nullptr);
    EXPECT_EQ(TracingBonus::activations, 1);
    EXPECT_EQ(TracedSounds::count(u"boom"), 1);
    // A bomb with nothing left to fill still shows its caption and sound.
    auto* second = new ColorBombPowerUp();
    second->bombColor = 3;
    const int texts = effectsOf<FloatingText>();
    EXPECT_TRUE(collect(second));
    EXPECT_EQ(TracedSounds::count(u"boom"), 2);
    EXPECT_EQ(effectsOf<FloatingText>(), texts + 1);
}

TEST_F(PowerUpTest, AColourBombSkipsASlotWhoseCarWentSinceTheListWasMade) {
    game->stopUntil = 1.0e9;
    Train* train = makeTrain({1, 1, 1}, 1000.0f);
    for (int i = 1; i <= 3; ++i) slotOf(carAt(train, i))->setColor(3);
    frame();
    ASSERT_EQ(game->colorPicker.openSlots.size(), 3u);
    CargoSlot* kept = slotOf(carAt(train, 1));
    train->firstSegment()->removeCar(carAt(train, 2));
    auto* bomb = new ColorBombPowerUp();
    bomb->bombColor = 3;
    collect(bomb);
    EXPECT_EQ(kept->held->type, 3);
    EXPECT_EQ(slotOf(carAt(train, 2))->held->type, 3);
}

TEST_F(PowerUpTest, AHeartRaisesTheNoteByAtMostAnOctaveAndTheHundredthIsALife) {
    struct Case {
        int heartsBefore;
        int semitones;  // -1: a life
    };
    const Case cases[] = {{0, 1}, {4, 5}, {10, 11}, {11, 12}, {12, 12}, {50, 12}, {98, 12}, {99, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heartsBefore);
        profile().resetGame();
        profile().hearts() = c.heartsBefore;
        const int lives = profile().lives();
        const int texts = effectsOf<FloatingText>();
        const int flares = effectsOf<FlareEffect>();
        const int collected = game->stats_bonusesCollected;
        TracedSounds::played.clear();
        auto* bonus = new ExtraLifePowerUp();
        EXPECT_TRUE(bonus->caption.empty());
        bonus->activate();
        if (c.semitones < 0) {
            EXPECT_EQ(profile().lives(), lives + 1);
            EXPECT_EQ(profile().hearts(), 0);
            EXPECT_EQ(bonus->caption, WString(qel->pLanguage->getText(EXTRALIFE)));
            EXPECT_EQ(TracedSounds::count(u"extraLife"), 1);
            EXPECT_EQ(TracedSounds::count(u"vibe"), 0);
            EXPECT_EQ(effectsOf<FloatingText>(), texts + 1);
        } else {
            EXPECT_EQ(profile().lives(), lives);
            EXPECT_EQ(profile().hearts(), c.heartsBefore + 1);
            ASSERT_EQ(TracedSounds::played.size(), 1u);
            EXPECT_EQ(TracedSounds::played[0].first, u"vibe");
            EXPECT_FLOAT_EQ(TracedSounds::played[0].second, Sound::semitoneFactor(c.semitones));
            EXPECT_TRUE(bonus->caption.empty());
            EXPECT_EQ(effectsOf<FloatingText>(), texts);
        }
        EXPECT_EQ(effectsOf<FlareEffect>(), flares + 1);
        EXPECT_EQ(game->stats_bonusesCollected, collected + 1);
        delete bonus;
    }
}

TEST_F(PowerUpTest, TheExtraLifeBeatsInFrontOfATurningGlow) {
    auto* heart = new ExtraLifePowerUp();
    heart->position = Vector3(10.0f, 20.0f, 0.0f);
    heart->updateXform();
    game->pCargoLayer->addChild(heart);
    std::vector<Skin*> shown;
    for (int f = 1; f <= 30; ++f) {
        heart->update(f / 60.0, 1.0 / 60.0);
        shown.push_back(heart->pSkin);
        const float s = std::sin(8.0f * f / 60.0f) + 4.0f;
        EXPECT_NEAR(heart->glow.scale.x, s, 1e-4f);
        EXPECT_NEAR(heart->glow.rotation.z, 16.0f * f / 60.0f, 1e-3f);
        EXPECT_EQ(heart->glow.position, heart->position);
    }
    EXPECT_NEAR(heart->phase, 0.5f, 1e-4f);
    // The frames of the heart are stepped through.
    std::sort(shown.begin(), shown.end());
    EXPECT_GT(std::unique(shown.begin(), shown.end()) - shown.begin(), 1);
}

}  // namespace
