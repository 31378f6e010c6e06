#include "game/CargoColorPicker.h"

#include <algorithm>
#include <cmath>

#include "engine/Random.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"

CargoColorPicker::CargoColorPicker() {
    std::fill(std::begin(enabledColors), std::end(enabledColors), false);
    clear();
}

void CargoColorPicker::clear() {
    reset();
    std::fill(std::begin(typeWeights), std::end(typeWeights), 0.0f);
    std::fill(std::begin(carKindWeights), std::end(carKindWeights), 0.0f);
    forcedType = NO_TYPE;
    forcedCount = 0;
}

void CargoColorPicker::reset() {
    openSlots.clear();
    std::fill(std::begin(openCount), std::end(openCount), 0);
    std::fill(std::begin(nearestDistance), std::end(nearestDistance), FAR);
}

void CargoColorPicker::addOpenSlot(CargoSlot* slot) {
    if (slot->isFilled()) return;
    const int colour = slot->color;
    if (colour < 0 || colour >= COLOR_COUNT) return;
    openSlots.push_back(slot);
    ++openCount[colour];
    const Car* car = slot->car;
    const Track* track = car && car->segment && car->segment->train ? car->segment->train->track : nullptr;
    if (!track) return;
    const float d = std::fabs(track->path.length - (car->trackPos + slot->position.x));
    nearestDistance[colour] = std::min(nearestDistance[colour], d);
}

void CargoColorPicker::removeOpenSlot(CargoSlot* slot) {
    auto it = std::find(openSlots.begin(), openSlots.end(), slot);
    if (it != openSlots.end()) openSlots.erase(it);
}

int CargoColorPicker::urgentColor() const {
    int result = 0;
    int nearest = 1000000;
    for (int i = 0; i < COLOR_COUNT; ++i) {
        if (nearestDistance[i] < static_cast<float>(nearest)) {
            result = i;
            nearest = static_cast<int>(nearestDistance[i]);
        }
    }
    return result;
}

int CargoColorPicker::weightedColor() const {
    if (openSlots.empty()) return 0;
    int n = 0;
    for (int count : openCount) n += std::max(count, 0);
    const int r = static_cast<int>(randomNext());
    if (n <= 0) return 0;
    const int pick = r % n;
    int sum = 0;
    for (int i = 0; i < COLOR_COUNT; ++i) {
        sum += std::max(openCount[i], 0);
        if (pick < sum) return i;
    }
    return 0;
}

int CargoColorPicker::pickType() {
    if (forcedCount > 0 && forcedType != NO_TYPE) {
        --forcedCount;
        return forcedType;
    }
    float total = 0.0f;
    for (float w : typeWeights) total += w;
    const float x = total * static_cast<float>(randomNext()) / 65536.0f;
    float sum = 0.0f;
    for (int i = 0; i < TYPE_COUNT; ++i) {
        sum += typeWeights[i];
        if (sum > x) return i;
    }
    return 0;
}

bool CargoColorPicker::hasTypeWeights() const {
    float total = 0.0f;
    for (float w : typeWeights) total += w;
    return total > 0.0f;
}

int CargoColorPicker::pickCarKind() const {
    float total = 0.0f;
    for (float w : carKindWeights) total += w;
    const float x = total * static_cast<float>(randomNext()) / 65536.0f;
    float sum = 0.0f;
    for (int i = 0; i < 3; ++i) {
        sum += carKindWeights[i];
        if (sum > x) return i + 1;
    }
    // Without any weight the kind would be the engine, which can never bring a slot.
    return 1;
}

CargoSlot* CargoColorPicker::findSlotFor(const Cargo* piece) const {
    if (!piece) return nullptr;
    for (CargoSlot* slot : openSlots) {
        if (slot->held || slot->bHidden) continue;
        if (piece->type == Cargo::TYPE_WILDCARD) return slot;
        if (piece->type < COLOR_COUNT && piece->type == slot->color) return slot;
    }
    return nullptr;
}

CargoSlot* CargoColorPicker::findWrongSlot() const {
    for (CargoSlot* slot : openSlots)
        if (!slot->bHidden && slot->held && !slot->held->bPowerUp && !slot->isFilled()) return slot;
    return nullptr;
}

CargoSlot* CargoColorPicker::findBonusSlot() const {
    for (CargoSlot* slot : openSlots)
        if (!slot->bHidden && slot->held && slot->held->bPowerUp) return slot;
    return nullptr;
}

int pickEnabledColor(const bool enabled[CargoColorPicker::COLOR_COUNT]) {
    int n = 0;
    for (int i = 0; i < CargoColorPicker::COLOR_COUNT; ++i) n += enabled[i] ? 1 : 0;
    const int r = static_cast<int>(randomNext());
    if (n == 0) return 0;
    int wanted = r % n;
    for (int i = 0; i < CargoColorPicker::COLOR_COUNT; ++i) {
        if (!enabled[i]) continue;
        if (wanted-- == 0) return i;
    }
    return 0;
}
