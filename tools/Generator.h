// Makes new puzzles of a given size and difficulty: smoothed random shapes made unique.
#pragma once

#include "core/LineSolver.h"

#include <cstdint>
#include <random>
#include <set>

struct TGenerated {
    TMyCrossArr Picture;
    TSolveResult Solved; // the proof: unique, with the work the level was estimated from
    int32_t Level = 0;
};

class TGenerator {
public:
    TGenerator(int32_t rows, int32_t cols, int32_t level, uint64_t seed);

    // The next puzzle of the asked level, never one this generator made before. False when
    // maxCandidates shapes in a row gave none.
    bool Next(TGenerated &puzzle, int64_t maxCandidates = 5000);

    int64_t Candidates() const { return Tried; }

    // Work the solver may spend on one candidate: one that needs more is dropped, not kept
    // with an unproved verdict.
    static int64_t WorkBudget(int32_t rows, int32_t cols);

private:
    TMyCrossArr Shape();
    bool MakeUnique(TMyCrossArr &picture, TSolveResult &solved);
    uint32_t Below(uint32_t n) { return uint32_t(Engine() % n); }

    int32_t Rows, Cols, Level;
    std::mt19937_64 Engine; // raw output only, so every standard library draws the same
    int64_t Tried = 0;
    std::set<TMyCrossArr> Made;
};
