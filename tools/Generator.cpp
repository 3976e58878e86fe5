// Makes new puzzles of a given size and difficulty: smoothed random shapes made unique.
#include "tools/Generator.h"

#include "core/Clues.h"
#include "tools/Difficulty.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<std::vector<int32_t>> RowRunsOf(const TMyCrossArr &picture)
{
    std::vector<std::vector<int32_t>> runs;
    for (const auto &row : picture)
        runs.push_back(LineRuns(row));
    return runs;
}

std::vector<std::vector<int32_t>> ColumnRunsOf(const TMyCrossArr &picture)
{
    std::vector<std::vector<int32_t>> runs;
    for (int32_t c = 0; c < int32_t(picture[0].size()); ++c)
        runs.push_back(LineRuns(ColumnCells(picture, c)));
    return runs;
}

} // namespace

TGenerator::TGenerator(int32_t rows, int32_t cols, int32_t level, uint64_t seed)
    : Rows(rows), Cols(cols), Level(level), Engine(seed)
{
}

int64_t TGenerator::WorkBudget(int32_t rows, int32_t cols)
{
    return 2'000'000 + int64_t(2000) * rows * cols;
}

// Noise, mirrored left to right in half the shapes, blurred with a box a few cells wide and cut
// at a random density: blobs and limbs with smooth edges, like a silhouette, not speckle. A
// narrower box gives finer detail, which is what makes a picture harder to solve.
TMyCrossArr TGenerator::Shape()
{
    const bool mirrored = Below(2) == 0;
    const int32_t span = std::max(1, std::min(Rows, Cols) / 5);
    const int32_t radius = 1 + int32_t(Below(uint32_t(span)));
    const double density = 0.35 + 0.30 * double(Below(1000)) / 1000.0;

    std::vector<double> field(size_t(Rows) * Cols);
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c)
            field[size_t(r) * Cols + c] = (mirrored && c >= (Cols + 1) / 2)
                ? field[size_t(r) * Cols + (Cols - 1 - c)]
                : double(Engine() >> 11) / double(uint64_t(1) << 53);
    std::vector<double> blurred(field.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (int32_t r = 0; r < Rows; ++r)
            for (int32_t c = 0; c < Cols; ++c) {
                double sum = 0;
                int32_t count = 0;
                for (int32_t dr = -radius; dr <= radius; ++dr)
                    for (int32_t dc = -radius; dc <= radius; ++dc) {
                        const int32_t rr = r + dr, cc = c + dc;
                        if (rr >= 0 && rr < Rows && cc >= 0 && cc < Cols) {
                            sum += field[size_t(rr) * Cols + cc];
                            ++count;
                        }
                    }
                blurred[size_t(r) * Cols + c] = sum / count;
            }
        field.swap(blurred);
    }
    std::vector<double> sorted = field;
    const size_t cut = std::min(sorted.size() - 1, size_t(double(sorted.size()) * (1.0 - density)));
    std::nth_element(sorted.begin(), sorted.begin() + cut, sorted.end());
    const double threshold = sorted[cut];

    TMyCrossArr picture = MakeCrossArr(Rows, Cols);
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c)
            picture[r][c] = field[size_t(r) * Cols + c] >= threshold ? 1 : 0;
    return picture;
}

// Where a second solution differs, one cell of the picture is flipped, until the clues allow
// only the picture. The result is unique, but often only just.
bool TGenerator::MakeUnique(TMyCrossArr &picture, TSolveResult &solved)
{
    const int32_t attempts = Rows + Cols;
    for (int32_t attempt = 0; attempt < attempts; ++attempt) {
        solved = SolveClues(RowRunsOf(picture), ColumnRunsOf(picture), WorkBudget(Rows, Cols));
        if (solved.Status == TSolveResult::Status::Unique)
            return true;
        if (solved.Status != TSolveResult::Status::Ambiguous)
            return false;
        const TMyCrossArr &other = solved.Picture == picture ? solved.Other : solved.Picture;
        std::vector<int32_t> differ;
        for (int32_t r = 0; r < Rows; ++r)
            for (int32_t c = 0; c < Cols; ++c)
                if (picture[r][c] != other[r][c])
                    differ.push_back(r * Cols + c);
        if (differ.empty())
            return false; // not reached: two solutions differ somewhere
        const int32_t cell = differ[Below(uint32_t(differ.size()))];
        picture[cell / Cols][cell % Cols] ^= 1;
    }
    return false;
}

bool TGenerator::Next(TGenerated &puzzle, int64_t maxCandidates)
{
    for (int64_t i = 0; i < maxCandidates; ++i) {
        ++Tried;
        TMyCrossArr picture = Shape();
        TSolveResult solved;
        if (!MakeUnique(picture, solved))
            continue;
        const int32_t level = EstimateDifficulty(solved, Rows, Cols);
        if (level != Level || Made.count(picture))
            continue;
        Made.insert(picture);
        puzzle = TGenerated{picture, solved, level};
        return true;
    }
    return false;
}
