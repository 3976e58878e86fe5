// Guesses how hard a puzzle is for a person from the solver's effort on it: the arithmetic.
#include "core/DifficultyScore.h"

#include <algorithm>
#include <cmath>

namespace {

// Tuned on the bundled library: a 5x5 picture lands on 0 and the 35x35 castle on 5.
constexpr double ScoreOffset = 6.375;
// A guess that has to be taken back is what a person finds hardest, so the first one
// costs a whole level. The quarter on top keeps the levels the estimate gave when the search
// still counted a plain guess beside each probing one: a puzzle one probe settles now counts
// one guess where it counted two.
constexpr double SearchPenalty = 1.25;
constexpr double PerGuessDoubling = 0.25;

} // namespace

double DifficultyScore(const TSolveResult &result, int32_t rows, int32_t cols)
{
    if (result.Status == TSolveResult::Status::GaveUp)
        return double(MaxDifficulty);
    const double cells = std::max(1.0, double(rows) * double(cols));
    const double workPerCell = std::max(1.0, double(result.Work) / cells);
    // The size counts fully and the work per cell by its square root: a big plain picture is
    // long to fill, but one hard line does not make a small puzzle a large one.
    double score = std::log2(cells) + 0.5 * std::log2(workPerCell) - ScoreOffset;
    if (!result.LineSolvable && result.Guesses > 0)
        score += SearchPenalty + PerGuessDoubling * std::log2(double(result.Guesses));
    return score;
}

int32_t EstimateDifficulty(const TSolveResult &result, int32_t rows, int32_t cols)
{
    const double score = DifficultyScore(result, rows, cols);
    return std::clamp(int32_t(std::floor(score)), int32_t(0), MaxDifficulty);
}

