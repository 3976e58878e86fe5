// Solves a puzzle from its clues: line logic to a fixpoint, then probing and search to count solutions.
#pragma once

#include "format/PuzzleDocument.h"

#include <cstdint>
#include <string>
#include <vector>

struct TSolveResult {
    // Unique: exactly one picture fits. Ambiguous: two or more do. Unsolvable: none does,
    // or the clues are malformed. GaveUp: the work budget ran out first.
    enum class Status { Unique, Ambiguous, Unsolvable, GaveUp } Status = Status::Unsolvable;
    bool LineSolvable = false;  // line logic alone solved it, without a single guess
    int64_t Work = 0;           // line-solver cell operations; the same on every machine
    int32_t Guesses = 0;        // search branches tried, and probes that settled something
    int32_t Probes = 0;         // cells tried both ways with line logic
    int32_t Depth = 0;          // the deepest nesting of search branches
    TMyCrossArr Picture;        // [row][column] 0/1: the solution, or the first one found
                                // when ambiguous; empty when unsolvable or given up
    TMyCrossArr Other;          // the second solution when ambiguous, else empty
};

// One cell as line logic sees it.
enum class TLineCell : uint8_t { Unknown, Black, White };

// Settles every cell of one line that is the same in all placements of its runs that agree
// with the known cells. False when no placement fits; the cells are then left part-way.
// Adds the cell operations spent to *work when given.
bool SolveLine(std::vector<TLineCell> &cells, const std::vector<int32_t> &runs, int64_t *work = nullptr);

// The budget of check and import: about two seconds on any board. Line logic and probing both
// run at 110-125 million cell operations a second (measured once with bench_solver on a 2-core
// machine of 2026); line logic settles a 1000 x 1000 in 20-90 million, so a line-solvable board
// always fits.
constexpr int64_t DefaultWorkBudget = 240'000'000;

// rowRuns[r]: runs of row r, left to right; colRuns[c]: runs of column c, top to bottom.
// An empty vector is an empty line. The result is deterministic for the same clues.
TSolveResult SolveClues(const std::vector<std::vector<int32_t>> &rowRuns,
                        const std::vector<std::vector<int32_t>> &colRuns,
                        int64_t maxWork = 50'000'000);

// "unique", "ambiguous", "unsolvable" or "gave-up": the status as one word.
const char *StatusName(decltype(TSolveResult::Status) status);
// What check prints: the status, or for one given up "undecided after N cell operations".
std::string VerdictText(const TSolveResult &result);
