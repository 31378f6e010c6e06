// The factories of pieces and cars: every type and kind they make, the draws a new piece takes,
// and the fatal reports for values outside their tables.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/Random.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/ColorBombPowerUp.h"
#include "game/PowerUp.h"
#include "game/ThrownCargo.h"
#include "game/Train.h"
#include "media/Skin.h"

namespace {

TEST(CargoFactoryTest, EveryTypeOfTheTable) {
    for (int type = 0; type <= 18; ++type) {
        if (type == Cargo::TYPE_NONE) continue;
        SCOPED_TRACE(type);
        std::unique_ptr<Cargo> piece(Cargo::createByType(type));
        EXPECT_EQ(piece->type, type);
        EXPECT_TRUE(Cargo::isKnownType(type));
        const bool bonus = (type >= 10 && type <= 13) || type >= 15;
        EXPECT_EQ(piece->bPowerUp, bonus);
        EXPECT_EQ(dynamic_cast<PowerUp*>(piece.get()) != nullptr, bonus);
        EXPECT_EQ(dynamic_cast<ThrownCargo*>(piece.get()) != nullptr, !bonus);
        EXPECT_EQ(piece->bFixedRotation, bonus);
        EXPECT_DOUBLE_EQ(piece->lifetime, bonus ? 10.0 : 0.0);
        EXPECT_EQ(piece->bSpinning, type == Cargo::TYPE_WILDCARD || type == Cargo::TYPE_FIREBALL);
        // Without a picture the collision size stays as made; the fireball's is fixed.
        EXPECT_FLOAT_EQ(piece->collisionSensitivity, type == Cargo::TYPE_FIREBALL ? 0.85f : 0.75f);
        EXPECT_EQ(piece->state, 0);
        EXPECT_EQ(piece->slot, nullptr);
    }
    for (int type : {-1, 8, 19, 100}) EXPECT_FALSE(Cargo::isKnownType(type));
    // The fit rule: a colour fits its own slot, the wildcard every slot, nothing else any.
    EXPECT_TRUE(Cargo::typeFits(3, 3));
    EXPECT_FALSE(Cargo::typeFits(3, 4));
    EXPECT_TRUE(Cargo::typeFits(Cargo::TYPE_WILDCARD, 7));
    for (int type : {8, 10, 13, 14, 18, 19}) EXPECT_FALSE(Cargo::typeFits(type, type - 10 >= 0 ? 3 : 0)) << type;
}

TEST(CargoFactoryTest, ANewPieceDrawsItsSpinAngleThenItsRate) {
    uint32_t x = 0x1234;
    auto draw = [&x] {
        x = x * 214013u + 2531011u;
        return (x >> 16) & 0xFFFFu;
    };
    for (int type : {2, int(Cargo::TYPE_WILDCARD), int(Cargo::TYPE_FIREBALL), int(Cargo::TYPE_STOP_BONUS)}) {
        SCOPED_TRACE(type);
        randomSeed = x;
        const float angle = 6.28318530718f * float(draw()) / 65536.0f;
        std::unique_ptr<Cargo> piece(Cargo::createByType(type));
        EXPECT_FLOAT_EQ(piece->spinAngle, angle);
        if (type == Cargo::TYPE_STOP_BONUS) {
            EXPECT_EQ(randomSeed, x) << "a bonus draws only its angle";
            continue;
        }
        const float r = float(draw()) / 65536.0f;
        const float sign = draw() < 32768 ? 1.0f : -1.0f;
        EXPECT_EQ(randomSeed, x);
        // The wildcard and the fireball spin at a fixed rate, after the same draws.
        EXPECT_FLOAT_EQ(piece->spinRate, type == 2 ? (4.0f + 12.0f * r) * sign : -8.0f);
    }
}

TEST(CargoFactoryTest, CollisionSizeFromTheSkinAndNoDivisionByAZeroSkin) {
    Skin square;
    square.width = 32.0f;
    square.height = 32.0f;
    Skin nothing;
    struct Case {
        Skin* skin;
        float sensitivity;
    };
    const Case cases[] = {{&square, 16.0f / std::sqrt(512.0f)}, {&nothing, 0.75f}, {nullptr, 0.75f}};
    for (const Case& c : cases) {
        Cargo piece;
        piece.pSkin = c.skin;
        piece.initCollision();
        EXPECT_FLOAT_EQ(piece.collisionSensitivity, c.sensitivity);
    }
}

TEST(CargoFactoryTest, TheColourBombTakesItsSlotsColour) {
    CargoSlot slot(nullptr, 3);
    auto* bomb = static_cast<ColorBombPowerUp*>(Cargo::createByType(Cargo::TYPE_COLOR_BOMB));
    slot.replaceCargo(bomb);
    EXPECT_EQ(bomb->bombColor, 3);
    EXPECT_EQ(bomb->color, Cargo::colorTable[3]);
    EXPECT_EQ(bomb->state, Cargo::STATE_SEATED);
    EXPECT_EQ(bomb->owner, &slot);
}

TEST(CargoFactoryTest, WagonsCarryTheirSlotsFrontFirst) {
    struct Case {
        int kind;
        std::vector<float> offsets;
    };
    const Case cases[] = {{0, {}}, {1, {-1}}, {2, {14, -19}}, {3, {31, 0, -31}}};
    for (const Case& c : cases) {
        std::unique_ptr<Car> car(Car::createByType(c.kind));
        EXPECT_EQ(car->kind, c.kind);
        EXPECT_EQ(car->bEngine, c.kind == 0);
        EXPECT_FLOAT_EQ(car->bodyInset, 24.0f);
        EXPECT_FLOAT_EQ(car->gapLength, 28.0f);
        ASSERT_EQ(car->countSlots(), int(c.offsets.size()));
        int i = 0;
        for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++i) {
            EXPECT_FLOAT_EQ(static_cast<CargoSlot*>(s)->position.x, c.offsets[size_t(i)]);
            EXPECT_EQ(static_cast<CargoSlot*>(s)->car, car.get());
        }
        // A car without slots is never complete.
        EXPECT_FALSE(car->isComplete());
        EXPECT_EQ(car->countOpenSlots(), int(c.offsets.size()));
    }
}

TEST(CargoFactoryDeathTest, TypesAndKindsOutsideTheTablesAreFatal) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    for (int type : {8, -1, 19, 1000}) EXPECT_EXIT(Cargo::createByType(type), testing::ExitedWithCode(255), "Unknown type\\.") << type;
    EXPECT_EXIT(Cargo::createByType(8), testing::ExitedWithCode(255), "Function: Cargo::createByType\\(\\)");
    EXPECT_EXIT(Cargo::createByType(8), testing::ExitedWithCode(255), "Line: 272");
    for (int kind : {4, -1, 7}) EXPECT_EXIT(Car::createByType(kind), testing::ExitedWithCode(255), "Should not get here") << kind;
    EXPECT_EXIT(Car::createByType(4), testing::ExitedWithCode(255), "Function: Car::createByType\\(\\)");
}

}  // namespace
