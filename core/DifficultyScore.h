// The difficulty estimate's arithmetic, free of Qt so the quick check can use it.
#pragma once

#include "core/LineSolver.h"

#include <cstdint>

// Levels 0–5 are the browser's difficulty digits; 6–9 are the crown, by how far beyond 5.
constexpr int32_t MaxDifficulty = 9;
constexpr int32_t CrownDifficulty = 6;
// What a level from CrownDifficulty on is called, in UTF-8.
constexpr const char *CrownText = "Корона";

// The level's score before rounding down, for tuning and reports. Grows by one for every
// doubling of cells * sqrt(work per cell); search adds one, plus a quarter per doubling of the
// guesses. A solver that gave up scores the top.
double DifficultyScore(const TSolveResult &result, int32_t rows, int32_t cols);

// 0…MaxDifficulty. The same result and size always give the same level.
int32_t EstimateDifficulty(const TSolveResult &result, int32_t rows, int32_t cols);
