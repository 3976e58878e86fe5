// Guesses how hard a puzzle is for a person from the solver's effort on it: the words.
#include "core/Difficulty.h"

#include <algorithm>

QString DifficultyText(int32_t level)
{
    if (level >= CrownDifficulty)
        return QString::fromUtf8(CrownText);
    return QString::number(std::max(level, int32_t(0)));
}
