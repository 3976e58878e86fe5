// Guesses how hard a puzzle is for a person from the solver's effort on it.
#pragma once

#include "core/DifficultyScore.h"

#include <QString>

// "0"…"5", or "Корона" from CrownDifficulty on.
QString DifficultyText(int32_t level);
