// The solver as it was before the single probing search: the bench's reference.
#pragma once

#include "core/LineSolver.h"

namespace ReferenceSolver {

TSolveResult SolveClues(const std::vector<std::vector<int32_t>> &rowRuns,
                        const std::vector<std::vector<int32_t>> &colRuns,
                        int64_t maxWork = 50'000'000);

} // namespace ReferenceSolver
