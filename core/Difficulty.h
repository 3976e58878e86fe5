// Guesses how hard a puzzle is for a person from the solver's effort on it.
#pragma once

#include "core/LineSolver.h"

#include <QString>
#include <cstdint>

// Levels 0–5 are the browser's difficulty digits; 6–9 are the crown, by how far beyond 5.
constexpr int32_t MaxDifficulty = 9;
constexpr int32_t CrownDifficulty = 6;

// The level's score before rounding down, for tuning and reports. Grows by one for every
// doubling of cells * sqrt(work per cell); search adds one, plus a quarter per doubling of the
// guesses. A solver that gave up scores the top.
double DifficultyScore(const TSolveResult &result, int32_t rows, int32_t cols);

// 0…MaxDifficulty. The same result and size always give the same level.
int32_t EstimateDifficulty(const TSolveResult &result, int32_t rows, int32_t cols);

// "0"…"5", or "Корона" from CrownDifficulty on.
QString DifficultyText(int32_t level);
