// Grows the hard families of bench/hard: domino chains, pictures that need probing several
// levels deep, and ambiguous pictures whose second solution is far from the first. Each file's
// first line holds the verdict both solvers proved with a budget far beyond the import's.
//     bench_make_hard OUT_FOLDER [--seed S [--seconds T [--only NAME,...]]]   (T: climbing time per puzzle)
#include "bench/reference/ReferenceSolver.h"
#include "core/Clues.h"
#include "core/LineSolver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using TRunLines = std::vector<std::vector<int32_t>>;

std::mt19937_64 Engine;

uint32_t Below(uint32_t n)
{
    return uint32_t(Engine() % n);
}

TRunLines RowRunsOf(const TMyCrossArr &picture)
{
    TRunLines runs;
    for (const auto &row : picture)
        runs.push_back(LineRuns(row));
    return runs;
}

TRunLines ColumnRunsOf(const TMyCrossArr &picture)
{
    TRunLines runs;
    for (int32_t c = 0; c < int32_t(picture[0].size()); ++c)
        runs.push_back(LineRuns(ColumnCells(picture, c)));
    return runs;
}

TSolveResult Solve(const TMyCrossArr &picture, int64_t budget = 50'000'000)
{
    return SolveClues(RowRunsOf(picture), ColumnRunsOf(picture), budget);
}

int32_t Distance(const TMyCrossArr &a, const TMyCrossArr &b)
{
    int32_t d = 0;
    for (size_t r = 0; r < a.size(); ++r)
        for (size_t c = 0; c < a[r].size(); ++c)
            d += a[r][c] != b[r][c] ? 1 : 0;
    return d;
}

// Chains of 2 x 2 blocks, each black on one diagonal, every block next to the one before it
// in a row pair or a column pair: the clues of the shared lines tie neighbouring blocks, so
// only a long chain of reasoning from an end settles a block in the middle. Sparse specks and
// bars around them give the chains their ends.
TMyCrossArr Dominoes(int32_t n)
{
    TMyCrossArr picture = MakeCrossArr(n, n);
    std::vector<uint8_t> used(size_t(n) * n, 0);
    const int32_t chains = 1 + int32_t(Below(uint32_t(n / 6 + 1)));
    for (int32_t chain = 0; chain < chains; ++chain) {
        int32_t r = int32_t(Below(uint32_t(n - 1))), c = int32_t(Below(uint32_t(n - 1)));
        const int32_t length = n / 2 + int32_t(Below(uint32_t(n)));
        for (int32_t b = 0; b < length; ++b) {
            if (r < 0 || c < 0 || r + 1 >= n || c + 1 >= n)
                break;
            bool free = true;
            for (int32_t dr = 0; dr < 2; ++dr)
                for (int32_t dc = 0; dc < 2; ++dc)
                    free = free && !used[size_t(r + dr) * n + c + dc];
            if (!free)
                break;
            const bool falling = Below(2) == 0;
            for (int32_t dr = 0; dr < 2; ++dr)
                for (int32_t dc = 0; dc < 2; ++dc) {
                    used[size_t(r + dr) * n + c + dc] = 1;
                    picture[r + dr][c + dc] = (falling ? dr == dc : dr != dc) ? 1 : 0;
                }
            switch (Below(4)) {
            case 0: c += 2; break;
            case 1: r += 2; break;
            case 2: c -= 2; break;
            default: r += 2; c += Below(2) ? 2 : -2; break;
            }
        }
    }
    const int32_t specks = n * n / (8 + int32_t(Below(12)));
    for (int32_t i = 0; i < specks; ++i) {
        const int32_t r = int32_t(Below(uint32_t(n))), c = int32_t(Below(uint32_t(n)));
        if (!used[size_t(r) * n + c])
            picture[r][c] = 1;
    }
    return picture;
}

// Noise blurred with a narrow box and cut at a random density: fine-limbed silhouettes.
TMyCrossArr Blobs(int32_t n)
{
    const int32_t radius = 1 + int32_t(Below(2));
    const double density = 0.40 + 0.25 * double(Below(1000)) / 1000.0;
    std::vector<double> field(size_t(n) * n), blurred(field.size());
    for (double &v : field)
        v = double(Engine() >> 11) / double(uint64_t(1) << 53);
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) {
            double sum = 0;
            int32_t count = 0;
            for (int32_t dr = -radius; dr <= radius; ++dr)
                for (int32_t dc = -radius; dc <= radius; ++dc)
                    if (r + dr >= 0 && r + dr < n && c + dc >= 0 && c + dc < n) {
                        sum += field[size_t(r + dr) * n + c + dc];
                        ++count;
                    }
            blurred[size_t(r) * n + c] = sum / count;
        }
    std::vector<double> sorted = blurred;
    const size_t cut = size_t(double(sorted.size()) * (1.0 - density));
    std::nth_element(sorted.begin(), sorted.begin() + cut, sorted.end());
    TMyCrossArr picture = MakeCrossArr(n, n);
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c)
            picture[r][c] = blurred[size_t(r) * n + c] > sorted[cut] ? 1 : 0;
    return picture;
}

// Flips a cell where two solutions differ until one is left; empty when that fails.
TMyCrossArr MadeUnique(TMyCrossArr picture, TSolveResult &solved, int32_t steps = 0)
{
    const int32_t n = int32_t(picture.size());
    for (int32_t step = 0; step < (steps > 0 ? steps : 4 * n); ++step) {
        solved = Solve(picture);
        if (solved.Status == TSolveResult::Status::Unique)
            return picture;
        if (solved.Status != TSolveResult::Status::Ambiguous)
            return {};
        std::vector<std::pair<int32_t, int32_t>> differ;
        for (int32_t r = 0; r < n; ++r)
            for (int32_t c = 0; c < n; ++c)
                if (solved.Picture[r][c] != solved.Other[r][c])
                    differ.push_back({r, c});
        const auto [r, c] = differ[Below(uint32_t(differ.size()))];
        picture[r][c] ^= 1;
    }
    return {};
}

// Proves the verdict with both solvers and a budget ten times the bench's; writes the file.
bool Write(const std::string &folder, const std::string &name, const TMyCrossArr &picture, const std::string &what)
{
    const int64_t proof = 5'000'000'000;
    const TSolveResult mine = Solve(picture, proof);
    const TSolveResult reference = ReferenceSolver::SolveClues(RowRunsOf(picture), ColumnRunsOf(picture), proof);
    if (mine.Status == TSolveResult::Status::GaveUp || mine.Status != reference.Status
        || (mine.Status == TSolveResult::Status::Unique && mine.Picture != reference.Picture)) {
        std::printf("%s: no verdict (%s, reference %s)\n", name.c_str(), StatusName(mine.Status),
                    StatusName(reference.Status));
        return false;
    }
    const std::string path = folder + "/" + name + ".txt";
    FILE *file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "; %s, needs search: %s\n", StatusName(mine.Status), what.c_str());
    for (const auto &row : picture) {
        for (int32_t cell : row)
            std::fputc(cell ? '#' : '.', file);
        std::fputc('\n', file);
    }
    std::fclose(file);
    std::printf("%s: %s, work %lld (reference %lld), depth %d\n", name.c_str(), StatusName(mine.Status),
                static_cast<long long>(mine.Work), static_cast<long long>(reference.Work), mine.Depth);
    std::fflush(stdout);
    return true;
}

// The work of both solvers together (their geometric mean), so that a family is hard for
// both and favours neither.
int64_t Both(const TMyCrossArr &picture, const TSolveResult &mine)
{
    const TSolveResult reference = ReferenceSolver::SolveClues(RowRunsOf(picture), ColumnRunsOf(picture), 50'000'000);
    return int64_t(std::sqrt(double(mine.Work) * double(reference.Work)));
}

// Climbs towards harder puzzles of one kind: flips a cell or two (repairing up to a few
// steps when a unique puzzle turns ambiguous) and keeps the change when the solver needs at
// least nearly as much work of both solvers as before, for the given processor seconds. Returns the hardest
// picture met, or an empty one.
TMyCrossArr Climb(TMyCrossArr picture, bool wantUnique, double seconds, int64_t workCap, int32_t minDepth = 0)
{
    const int32_t n = int32_t(picture.size());
    auto accept = [&](const TSolveResult &solved, const TMyCrossArr &candidate) {
        if (solved.LineSolvable || solved.Work > workCap || solved.Depth < minDepth)
            return false;
        if (wantUnique)
            return solved.Status == TSolveResult::Status::Unique;
        (void)candidate;
        return solved.Status == TSolveResult::Status::Ambiguous && Distance(solved.Picture, solved.Other) >= n / 2;
    };
    TSolveResult solved;
    if (wantUnique)
        picture = MadeUnique(picture, solved);
    else
        solved = Solve(picture);
    if (picture.empty() || !accept(solved, picture))
        return {};
    TMyCrossArr best = picture;
    int64_t work = Both(picture, solved), bestWork = work;
    const std::clock_t end = std::clock() + std::clock_t(seconds * CLOCKS_PER_SEC);
    while (std::clock() < end) {
        TMyCrossArr candidate = picture;
        for (uint32_t flips = 1 + Below(2); flips > 0; --flips)
            candidate[Below(uint32_t(n))][Below(uint32_t(n))] ^= 1;
        TSolveResult tried;
        if (wantUnique) {
            candidate = MadeUnique(candidate, tried, 4);
            if (candidate.empty())
                continue;
        } else {
            tried = Solve(candidate);
        }
        if (!accept(tried, candidate))
            continue;
        const int64_t both = Both(candidate, tried);
        if (both * 20 < work * 19)
            continue;
        picture = candidate;
        work = both;
        if (work > bestWork) {
            bestWork = work;
            best = picture;
        }
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_make_hard OUT_FOLDER [--seed S]\n");
        return 2;
    }
    const std::string folder = argv[1];
    Engine.seed(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    const double seconds = argc > 5 ? std::strtod(argv[5], nullptr) : 15.0;
    // "--only a,b": just the puzzles so named.
    const std::string only = argc > 7 ? std::string(",") + argv[7] + "," : std::string();
    auto Wanted = [&](const std::string &name) { return only.empty() || only.find("," + name + ",") != std::string::npos; };

    // Domino chains, 13 x 13 to 25 x 25, climbed towards the most work.
    for (int32_t n = 13; n <= 25; n += 2) {
        TMyCrossArr best;
        if (!Wanted("domino" + std::to_string(n)))
            continue;
        for (int32_t t = 0; best.empty() && t < 50; ++t)
            best = Climb(Dominoes(n), true, seconds, 40'000'000);
        if (!best.empty())
            Write(folder, "domino" + std::to_string(n), best,
                  "chains of 2 x 2 diagonal blocks tied by their shared lines, among specks");
    }

    // Pictures 25 x 25 to 60 x 60 that need probing several branches deep.
    for (int32_t n : {25, 30, 35, 40, 50, 60}) {
        TMyCrossArr best;
        if (!Wanted("deep" + std::to_string(n)))
            continue;
        for (int32_t t = 0; best.empty() && t < 50; ++t)
            best = Climb(Blobs(n), true, seconds, 60'000'000, 2);
        if (!best.empty())
            Write(folder, "deep" + std::to_string(n), best, "a fine-limbed shape needing probes several branches deep");
    }

    // Ambiguous pictures 25 x 25 to 60 x 60 whose two solutions differ in many cells.
    for (int32_t n : {25, 30, 40, 50, 60}) {
        TMyCrossArr best;
        if (!Wanted("far" + std::to_string(n)))
            continue;
        for (int32_t t = 0; best.empty() && t < 200; ++t)
            best = Climb(t % 2 ? Dominoes(n) : Blobs(n), false, seconds, 60'000'000);
        if (!best.empty())
            Write(folder, "far" + std::to_string(n), best, "two solutions far apart");
    }
    return 0;
}
