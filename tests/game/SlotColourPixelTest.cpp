// The cargo slots drawn on the OpenGL device under Xvfb from the generated data, on every wagon
// body: an empty slot must show its palette colour as it is (within a CIEDE2000 distance of 10),
// the eight colours as drawn must stay at least 20 apart, and for viewers with protanopia,
// deuteranopia or tritanopia the colours that come closer than 10 must be told apart by the
// colour-blind mode's symbols. VESK_SCREENSHOT_DIR, when set, receives a TGA picture of each state.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "engine/Utilities.h"
#include "game/Car.h"
#include "game/CargoSlot.h"
#include "game/Cargo.h"
#include "menus/ArchiveScreenFixture.h"
#include "support/ColourScience.h"

namespace {

constexpr int kColours = Cargo::TYPE_COLOR_COUNT;
constexpr int kWagonKinds[] = {Car::KIND_ONE_SLOT, Car::KIND_TWO_SLOTS, Car::KIND_THREE_SLOTS};
const char* const kColourNames[kColours] = {"red", "orange", "yellow", "green", "cyan", "blue", "pink", "white"};

// One empty slot as drawn: its wagon, its centre in back-buffer pixels and the pixels of the
// square of side kSample around it (row by row).
constexpr int kSample = 20;
struct DrawnSlot {
    int wagon = 0;
    int x = 0, y = 0;
    std::vector<uint32_t> pixels;
};

// The colour a player reads as the slot's: the commonest colour in the middle of the slot,
// averaged with the pixels that differ from it by less than 3 (a rounding step of the tint).
uint32_t visibleColour(const std::vector<uint32_t>& pixels, double* share = nullptr) {
    std::map<uint32_t, int> counts;
    for (uint32_t p : pixels) ++counts[p];
    const auto mode = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    const colour::Lab centre = colour::toLab(mode->first);
    uint32_t sum[3] = {}, n = 0;
    for (uint32_t p : pixels) {
        if (colour::deltaE2000(colour::toLab(p), centre) >= 3.0) continue;
        ++n;
        for (int c = 0; c < 3; ++c) sum[c] += (p >> (16 - 8 * c)) & 0xFF;
    }
    if (share) *share = double(n) / double(pixels.size());
    return ((sum[0] + n / 2) / n) << 16 | ((sum[1] + n / 2) / n) << 8 | ((sum[2] + n / 2) / n);
}

std::string hex(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof(text), "%06X", rgb & 0xFFFFFFu);
    return text;
}

class SlotColourPixelTest : public ArchiveScreenFixture<GameGlobal> {
protected:
    void SetUp() override {
        ArchiveScreenFixture::SetUp();
        if (!application) return;
        // One wagon of each kind, side by side.
        for (size_t k = 0; k < std::size(kWagonKinds); ++k) {
            Car* car = Car::createByType(kWagonKinds[k]);
            car->position = Vector3(-150.0f + 150.0f * float(k), 0.0f, 0.0f);
            car->updateXform();
            wagons.push_back(car);
        }
    }
    void TearDown() override {
        for (Car* car : wagons) delete car;
        ArchiveScreenFixture::TearDown();
    }

    // Draws the wagons over a snowy ground with every slot set to the colour (in the colour-blind
    // look when asked) and reads back each slot.
    std::vector<DrawnSlot> drawSlots(int colour, bool colourBlind) {
        application->gameConfiguration.bColorBlind = colourBlind ? 1 : 0;
        for (Car* car : wagons)
            for (BasicLink* s = car->slots.firstChild; s; s = s->next) static_cast<CargoSlot*>(s)->setColor(colour);
        drawFrameWith([&] {
            for (Car* car : wagons) car->renderAtDepth();
        }, 0xFFE8F0F8);
        keepScreenshot(std::string(colourBlind ? "slots-colour-blind-" : "slots-") + kColourNames[colour]);
        std::vector<DrawnSlot> drawn;
        for (size_t k = 0; k < wagons.size(); ++k)
            for (BasicLink* s = wagons[k]->slots.firstChild; s; s = s->next) {
                const Vector3 centre = static_cast<CargoSlot*>(s)->getCentre();
                DrawnSlot slot{int(k), 400 + int(std::lround(centre.x)), 240 - int(std::lround(centre.y)), {}};
                for (int y = slot.y - kSample / 2; y < slot.y + kSample / 2; ++y)
                    for (int x = slot.x - kSample / 2; x < slot.x + kSample / 2; ++x) slot.pixels.push_back(at(x, y) & 0xFFFFFFu);
                drawn.push_back(std::move(slot));
            }
        return drawn;
    }
    std::vector<Car*> wagons;
};

TEST_F(SlotColourPixelTest, EverySlotShowsItsPaletteColourOnEveryWagonAndTheColoursStayApart) {
    for (bool colourBlind : {false, true}) {
        SCOPED_TRACE(colourBlind ? "colour-blind look" : "plain look");
        // visible[colour] = the colour read on each slot of each wagon.
        std::array<std::vector<uint32_t>, kColours> visible;
        for (int colour = 0; colour < kColours; ++colour) {
            const uint32_t palette = Cargo::colorTable[colour] & 0xFFFFFFu;
            const std::vector<DrawnSlot> slots = drawSlots(colour, colourBlind);
            ASSERT_EQ(slots.size(), 6u);
            for (const DrawnSlot& slot : slots) {
                double share = 0.0;
                const uint32_t seen = visibleColour(slot.pixels, &share);
                visible[size_t(colour)].push_back(seen);
                EXPECT_LE(colour::deltaE2000(seen, palette), 10.0)
                    << kColourNames[colour] << " slot on wagon " << slot.wagon << " reads as " << hex(seen) << ", palette " << hex(palette);
                EXPECT_GE(share, 0.5) << kColourNames[colour] << " slot on wagon " << slot.wagon << ": its colour covers too little of it";
            }
        }
        // Every pair of colours as drawn, on any two wagons.
        double worst = 1e9;
        for (int i = 0; i < kColours; ++i)
            for (int j = i + 1; j < kColours; ++j)
                for (uint32_t a : visible[size_t(i)])
                    for (uint32_t b : visible[size_t(j)]) {
                        const double d = colour::deltaE2000(a, b);
                        worst = std::min(worst, d);
                        EXPECT_GE(d, 20.0) << kColourNames[i] << " (" << hex(a) << ") and " << kColourNames[j] << " (" << hex(b) << ")";
                    }
        RecordProperty(colourBlind ? "closestPairColourBlind" : "closestPair", std::to_string(worst));
        std::printf("closest pair of slot colours as drawn (%s): %.2f\n", colourBlind ? "colour-blind look" : "plain look", worst);
    }
}

// The colour-blind look: where a simulated deficiency brings two colours closer than 10, their
// symbols, dark on the slot, must differ in shape, and each must stand out from its slot for that
// viewer.
TEST_F(SlotColourPixelTest, TheColourBlindSymbolsTellApartTheColoursADeficiencyMerges) {
    std::array<std::vector<DrawnSlot>, kColours> plain, marked;
    for (int colour = 0; colour < kColours; ++colour) {
        plain[size_t(colour)] = drawSlots(colour, false);
        marked[size_t(colour)] = drawSlots(colour, true);
    }
    int merged = 0;
    for (colour::Deficiency deficiency : colour::kDeficiencies) {
        auto seen = [&](uint32_t rgb) { return colour::simulate(rgb, deficiency); };
        for (int i = 0; i < kColours; ++i)
            for (int j = i + 1; j < kColours; ++j) {
                double closest = 1e9;
                for (const DrawnSlot& a : plain[size_t(i)])
                    for (const DrawnSlot& b : plain[size_t(j)])
                        closest = std::min(closest, colour::deltaE2000(seen(visibleColour(a.pixels)), seen(visibleColour(b.pixels))));
                if (closest >= 10.0) continue;
                ++merged;
                std::printf("%s: %s and %s come to %.2f apart\n", colour::name(deficiency), kColourNames[i], kColourNames[j], closest);
                // The symbol: the pixels of the middle of the slot that this viewer sees clearly
                // apart from the slot's own colour.
                for (size_t n = 0; n < marked[size_t(i)].size(); ++n) {
                    const DrawnSlot* pair[2] = {&marked[size_t(i)][n], &marked[size_t(j)][n]};
                    std::vector<bool> symbol[2];
                    int area[2] = {};
                    for (int s = 0; s < 2; ++s) {
                        const uint32_t pad = seen(visibleColour(pair[s]->pixels));
                        for (uint32_t p : pair[s]->pixels) {
                            symbol[s].push_back(colour::deltaE2000(seen(p), pad) > 20.0);
                            area[s] += symbol[s].back();
                        }
                        EXPECT_GE(area[s], 60) << colour::name(deficiency) << ": the symbol of " << kColourNames[s ? j : i]
                                               << " on wagon " << pair[s]->wagon << " hardly shows";
                    }
                    int both = 0, either = 0;
                    for (size_t p = 0; p < symbol[0].size(); ++p) {
                        both += symbol[0][p] && symbol[1][p];
                        either += symbol[0][p] || symbol[1][p];
                    }
                    EXPECT_GE(double(either - both), 0.2 * double(either))
                        << colour::name(deficiency) << ": the symbols of " << kColourNames[i] << " and " << kColourNames[j]
                        << " on wagon " << pair[0]->wagon << " are nearly the same shape";
                }
            }
    }
    // The palette has such pairs (red, orange and green for a deuteranope, for one): the check
    // above must have had something to check.
    EXPECT_GT(merged, 0);
}

}  // namespace
