// Which clue numbers the player's marks have finished and which lines they contradict.
#include "core/ClueHelp.h"

#include "core/Clues.h"
#include "core/LineSolver.h"

#include <algorithm>

namespace {

// The leftmost arrangement: each run as early as the marks and the runs after it allow.
bool LeftmostStarts(const std::vector<int32_t> &marks, const TRuns &runs, std::vector<int32_t> &starts)
{
    const int32_t n = int32_t(marks.size());
    const int32_t k = int32_t(runs.size());
    std::vector<int32_t> whites(size_t(n) + 1, 0), blacks(size_t(n) + 1, 0);
    for (int32_t i = 0; i < n; ++i) {
        whites[i + 1] = whites[i] + (marks[i] == MarkCrossed ? 1 : 0);
        blacks[i + 1] = blacks[i] + (marks[i] == MarkFilled ? 1 : 0);
    }
    // Run j at s: no cross under it, and the cell after it may be white.
    auto fits = [&](int32_t j, int32_t s) {
        const int32_t e = s + runs[j];
        return e <= n && whites[e] == whites[s] && (e == n || marks[e] != MarkFilled);
    };
    // rest[j][i]: runs j.. fit into the cells from i on.
    const size_t width = size_t(n) + 1;
    std::vector<uint8_t> rest((size_t(k) + 1) * width, 0);
    auto at = [width](int32_t j, int32_t i) { return size_t(j) * width + size_t(i); };
    for (int32_t i = 0; i <= n; ++i)
        rest[at(k, i)] = blacks[n] == blacks[i] ? 1 : 0;
    auto after = [&](int32_t j, int32_t s) {
        const int32_t e = s + runs[j];
        return e == n ? j + 1 == k : rest[at(j + 1, e + 1)] != 0;
    };
    for (int32_t j = k - 1; j >= 0; --j)
        for (int32_t i = n; i >= 0; --i)
            rest[at(j, i)] = (i < n && marks[i] != MarkFilled && rest[at(j, i + 1)])
                    || (fits(j, i) && after(j, i))
                ? 1
                : 0;
    if (!rest[at(0, 0)])
        return false;
    starts.assign(size_t(k), 0);
    int32_t from = 0;
    for (int32_t j = 0; j < k; ++j) {
        int32_t s = from;
        // A filled cell may not be passed over; rest[] promises a start before the first one.
        while (!(fits(j, s) && after(j, s)))
            ++s;
        starts[j] = s;
        from = s + runs[j] + 1;
    }
    return true;
}

} // namespace

TLinePlacements PlaceRuns(const std::vector<int32_t> &marks, const TRuns &runs)
{
    TLinePlacements p;
    for (int32_t r : runs)
        if (r < 1)
            return p;
    if (!LeftmostStarts(marks, runs, p.Left))
        return p;
    // The rightmost arrangement is the leftmost of the line read backwards.
    const std::vector<int32_t> backMarks(marks.rbegin(), marks.rend());
    const TRuns backRuns(runs.rbegin(), runs.rend());
    std::vector<int32_t> back;
    if (!LeftmostStarts(backMarks, backRuns, back))
        return p;
    const int32_t n = int32_t(marks.size());
    const size_t k = runs.size();
    p.Right.resize(k);
    for (size_t j = 0; j < k; ++j)
        p.Right[j] = n - (back[k - 1 - j] + runs[j]);
    p.Fits = true;
    return p;
}

TLineHelp AnalyseLine(const std::vector<int32_t> &marks, const TRuns &runs)
{
    TLineHelp help;
    help.Finished.assign(runs.size(), 0);
    // The verdict on a wrong line is the solver's own, the one the puzzles are checked with.
    std::vector<TLineCell> cells(marks.size(), TLineCell::Unknown);
    for (size_t i = 0; i < marks.size(); ++i)
        if (marks[i] == MarkFilled)
            cells[i] = TLineCell::Black;
        else if (marks[i] == MarkCrossed)
            cells[i] = TLineCell::White;
    if (!SolveLine(cells, runs)) {
        help.Contradiction = true;
        return help;
    }
    const TLinePlacements p = PlaceRuns(marks, runs);
    if (!p.Fits)
        return help;
    for (size_t j = 0; j < runs.size(); ++j) {
        if (p.Left[j] != p.Right[j])
            continue;
        const auto from = marks.begin() + p.Left[j];
        help.Finished[j] = std::all_of(from, from + runs[j], [](int32_t v) { return v == MarkFilled; });
    }
    return help;
}

void TClueHelp::SetClues(std::vector<TRuns> rowRuns, std::vector<TRuns> colRuns)
{
    RowRuns = std::move(rowRuns);
    ColRuns = std::move(colRuns);
    RowSeen.assign(RowRuns.size(), {});
    ColSeen.assign(ColRuns.size(), {});
    RowKnown.assign(RowRuns.size(), 0);
    ColKnown.assign(ColRuns.size(), 0);
    RowHelp.assign(RowRuns.size(), {});
    ColHelp.assign(ColRuns.size(), {});
    InkOf.Rows.assign(RowRuns.size(), {});
    InkOf.Columns.assign(ColRuns.size(), {});
    Ready = true;
}

int TClueHelp::Update(const TMyCrossArr &marks)
{
    if (!Ready)
        return 0;
    int judged = 0;
    const size_t rows = std::min(RowRuns.size(), marks.size());
    for (size_t r = 0; r < rows; ++r)
        if (!RowKnown[r] || RowSeen[r] != marks[r]) {
            Judge(false, int32_t(r), marks[r]);
            ++judged;
        }
    for (size_t c = 0; c < ColRuns.size(); ++c) {
        Scratch.clear();
        for (size_t r = 0; r < marks.size(); ++r)
            Scratch.push_back(c < marks[r].size() ? marks[r][c] : MarkEmpty);
        if (!ColKnown[c] || ColSeen[c] != Scratch) {
            Judge(true, int32_t(c), Scratch);
            ++judged;
        }
    }
    return judged;
}

void TClueHelp::Judge(bool isColumn, int32_t line, const std::vector<int32_t> &cells)
{
    const TRuns &runs = isColumn ? ColRuns[size_t(line)] : RowRuns[size_t(line)];
    TLineHelp help = AnalyseLine(cells, runs);
    // The number next to the grid (k = 0) is the line's last run.
    std::vector<QRgb> ink(runs.size(), qRgb(0, 0, 0));
    for (size_t k = 0; k < runs.size(); ++k) {
        const size_t j = runs.size() - 1 - k;
        if (help.Contradiction)
            ink[k] = ClueWrongInk;
        else if (help.Finished[j])
            ink[k] = ClueDoneInk;
    }
    if (isColumn) {
        ColSeen[size_t(line)] = cells;
        ColKnown[size_t(line)] = 1;
        ColHelp[size_t(line)] = std::move(help);
        InkOf.Columns[size_t(line)] = std::move(ink);
    } else {
        RowSeen[size_t(line)] = cells;
        RowKnown[size_t(line)] = 1;
        RowHelp[size_t(line)] = std::move(help);
        InkOf.Rows[size_t(line)] = std::move(ink);
    }
}

std::vector<TRuns> RowRunsOf(const TMyCrossArr &picture)
{
    std::vector<TRuns> runs;
    for (const auto &row : picture)
        runs.push_back(LineRuns(row));
    return runs;
}

std::vector<TRuns> ColumnRunsOf(const TMyCrossArr &picture)
{
    std::vector<TRuns> runs;
    const int32_t cols = picture.empty() ? 0 : int32_t(picture[0].size());
    for (int32_t c = 0; c < cols; ++c)
        runs.push_back(LineRuns(ColumnCells(picture, c)));
    return runs;
}
