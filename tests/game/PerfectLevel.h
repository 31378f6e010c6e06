#pragma once
// The statistics of a level won perfectly: ten cars in five seconds, every shot placed right and
// every power-up collected, so that the tally gives three gold medals and the top bonus.

#include "game/GameController.h"

inline void givePerfectLevelStatistics(GameController& game) {
    game.totalCars = 10;
    game.levelStartTime = 0.0;
    game.levelEndTime = 5.0;
    game.stats_correctPlacements = game.stats_shotsFired = 10;
    game.stats_incorrectPlacements = 0;
    game.stats_bonusesCollected = game.stats_bonusesSpawned = 2;
}
