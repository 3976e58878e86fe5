// Makes new puzzles of a given size and difficulty: pictures drawn from simple shapes, made unique.
#pragma once

#include "core/DifficultyScore.h"
#include "core/LineSolver.h"

#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <set>

struct TGenerated {
    TMyCrossArr Picture;
    TSolveResult Solved; // the proof: unique, with the work the level was estimated from
    int32_t Level = 0;
};

// What the picture shows. Any picks one of the others for every candidate.
enum class TPictureKind : int32_t { Any, Figure, Ornament, Blobs };
constexpr int32_t PictureKindCount = 4;

// "Любой", "Фигура", "Орнамент", "Пятна".
QString PictureKindText(TPictureKind kind);
// The word pxgtool takes: any, figure, ornament, blobs. Parsing gives false for anything else.
QString PictureKindName(TPictureKind kind);
bool ParsePictureKind(const QString &name, TPictureKind &kind);

// The levels the generator makes at a size and kind of picture within a second or so, both ends
// included. The estimate weighs size most, so a small board cannot be hard and a big one cannot
// be easy. Measured on boards near square; a long thin board may reach fewer, which the
// generator then reports by the levels it saw.
struct TLevelRange {
    int32_t Low = 0;
    int32_t High = 0;
    bool Holds(int32_t level) const { return level >= Low && level <= High; }
    int32_t Nearest(int32_t level) const { return level < Low ? Low : level > High ? High : level; }
};
TLevelRange ReachableLevels(int32_t rows, int32_t cols, TPictureKind kind = TPictureKind::Any);

// When to give up on a puzzle: on a cancel flag (looked at between solver runs, which take
// at most a few tenths of a second up to 100 x 100), at a deadline, or after a number of
// candidates. Progress, when set, hears the candidates tried so far after each one.
struct TGenerateLimits {
    int64_t MaxCandidates = 5000;
    const std::atomic<bool> *Cancel = nullptr;
    std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::time_point::max();
    std::function<void(int64_t candidates)> Progress;
};

enum class TGenerateOutcome { Made, Exhausted, Cancelled, OutOfTime };

class TGenerator {
public:
    TGenerator(int32_t rows, int32_t cols, int32_t level, uint64_t seed, TPictureKind kind = TPictureKind::Any);

    // The next puzzle of the asked level, never one this generator made before.
    TGenerateOutcome Make(TGenerated &puzzle, const TGenerateLimits &limits);
    // The same, false when maxCandidates shapes in a row gave none.
    bool Next(TGenerated &puzzle, int64_t maxCandidates = 5000);

    int64_t Candidates() const { return Tried; }
    // The level nearest the asked one among the unique candidates this generator scored, or -1:
    // what a size really reaches when the asked level would not come.
    int32_t NearestSeenLevel() const;

    // Work the solver may spend on one candidate: one that needs more is dropped, not kept
    // with an unproved verdict.
    static int64_t WorkBudget(int32_t rows, int32_t cols);

    // One picture before it is made unique; for the benchmark's and the tests' measures.
    TMyCrossArr Picture();
    // Changes the picture a cell at a time until its clues allow only it; false when it stays
    // ambiguous, needs more than WorkBudget or the limits stop it.
    bool MakeUnique(TMyCrossArr &picture, TSolveResult &solved, const TGenerateLimits &limits);

private:
    TMyCrossArr Figure();
    TMyCrossArr Ornament();
    TMyCrossArr Blobs();
    void Tidy(TMyCrossArr &picture);
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : uint32_t(Engine() % n); }
    double Uniform(double low, double high) { return low + (high - low) * double(Engine() >> 11) / double(uint64_t(1) << 53); }

    int32_t Rows, Cols, Level;
    TPictureKind Kind;
    std::mt19937_64 Engine; // raw output only, so every standard library draws the same
    int64_t Tried = 0;
    // 0 coarse … 1 fine: how much small detail a picture gets. It drifts towards the level
    // asked for, since finer pictures take the solver more work.
    double Detail = 0.5;
    double DetailCeiling = 1.0;
    std::set<TMyCrossArr> Made;
    std::array<bool, MaxDifficulty + 1> Seen{};
};
