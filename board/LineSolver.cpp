// Solves a puzzle from its clues: line logic to a fixpoint, then guessing to count solutions.
#include "board/LineSolver.h"

#include <algorithm>

namespace {

using enum TLineCell;

using TRuns = std::vector<int32_t>;

// Settles what one line's clue forces on its partly known cells.
//
// A placement of runs 0..k-1 is read as blocks "run + one white", over the line plus one
// virtual white cell at its end. Run j can only start at First[j] + d, where First[j] is its
// left-most start and 0 <= d <= Slack, so both tables are (k + 1) x (Slack + 1) and a pass
// costs O(k * Slack + n) instead of O(k * n).
class TLineLogic {
public:
    // Cells in, cells out. False when no placement fits the known cells.
    bool Solve(std::vector<TLineCell> &cells, const TRuns &runs, int64_t &work)
    {
        const int32_t n = int32_t(cells.size());
        const int32_t k = int32_t(runs.size());
        work += n;

        // Known cells up to a white at either end hold runs of their own: match them off, so
        // a nearly solved line costs little.
        int32_t lo = 0, runLo = 0, length = 0, i = 0;
        for (; i < n && cells[i] != Unknown; ++i) {
            if (cells[i] == Black) {
                ++length;
                continue;
            }
            if (length > 0 && (runLo == k || runs[runLo++] != length))
                return false;
            length = 0;
            lo = i + 1;
        }
        if (i == n) {
            if (length > 0 && (runLo == k || runs[runLo++] != length))
                return false;
            return runLo == k;
        }
        int32_t hi = n, runHi = k;
        length = 0;
        for (i = n - 1; cells[i] != Unknown; --i) {
            if (cells[i] == Black) {
                ++length;
                continue;
            }
            if (length > 0 && (runHi == runLo || runs[--runHi] != length))
                return false;
            length = 0;
            hi = i;
        }
        return SolveSpan(cells.data() + lo, hi - lo, runs.data() + runLo, runHi - runLo, work);
    }

private:
    bool SolveSpan(TLineCell *cells, int32_t n, const int32_t *runs, int32_t k, int64_t &work)
    {
        int64_t needed = 0;
        for (int32_t j = 0; j < k; ++j)
            needed += int64_t(runs[j]) + 1;
        const int64_t slack64 = int64_t(n) + 1 - needed;
        if (slack64 < 0)
            return false;
        const int32_t slack = int32_t(slack64);
        const int32_t width = slack + 1;
        work += int64_t(k + 1) * width;

        First.assign(size_t(k) + 1, 0);
        for (int32_t j = 0; j < k; ++j)
            First[j + 1] = First[j] + runs[j] + 1;
        WhitesBefore.assign(size_t(n) + 2, 0);
        for (int32_t i = 0; i < n; ++i)
            WhitesBefore[i + 1] = WhitesBefore[i] + (cells[i] == White ? 1 : 0);
        WhitesBefore[n + 1] = WhitesBefore[n] + 1;

        auto canWhite = [&](int32_t i) { return i == n || cells[i] != Black; };
        // Run j at start s: no known white inside it and room for a white right after it.
        auto fits = [&](int32_t j, int32_t s) {
            const int32_t e = s + runs[j];
            return WhitesBefore[e] == WhitesBefore[s] && canWhite(e);
        };

        const size_t size = size_t(k + 1) * size_t(width);
        Fwd.assign(size, 0);
        Bwd.assign(size, 0);
        auto at = [width](int32_t j, int32_t d) { return size_t(j) * size_t(width) + size_t(d); };

        // Fwd(j, d): the cells before First[j] + d hold exactly runs 0..j-1.
        Fwd[at(0, 0)] = 1;
        for (int32_t j = 0; j <= k; ++j)
            for (int32_t d = 0; d <= slack; ++d) {
                if (!Fwd[at(j, d)])
                    continue;
                const int32_t i = First[j] + d;
                if (d < slack && canWhite(i))
                    Fwd[at(j, d + 1)] = 1;
                if (j < k && fits(j, i))
                    Fwd[at(j + 1, d)] = 1;
            }
        if (!Fwd[at(k, slack)])
            return false;

        // Bwd(j, d): the cells from First[j] + d on hold exactly runs j..k-1.
        Bwd[at(k, slack)] = 1;
        for (int32_t j = k; j >= 0; --j)
            for (int32_t d = slack; d >= 0; --d) {
                const int32_t i = First[j] + d;
                if ((d < slack && Bwd[at(j, d + 1)] && canWhite(i))
                    || (j < k && Bwd[at(j + 1, d)] && fits(j, i)))
                    Bwd[at(j, d)] = 1;
            }

        MayBeWhite.assign(size_t(n) + 1, 0);
        BlackCover.assign(size_t(n) + 1, 0);
        for (int32_t j = 0; j <= k; ++j)
            for (int32_t d = 0; d <= slack; ++d) {
                if (!Fwd[at(j, d)])
                    continue;
                const int32_t i = First[j] + d;
                if (d < slack && Bwd[at(j, d + 1)] && canWhite(i))
                    MayBeWhite[i] = 1;
                if (j < k && Bwd[at(j + 1, d)] && fits(j, i)) {
                    ++BlackCover[i];
                    --BlackCover[i + runs[j]];
                    MayBeWhite[i + runs[j]] = 1; // the white that closes the run
                }
            }

        int32_t cover = 0;
        for (int32_t i = 0; i < n; ++i) {
            cover += BlackCover[i];
            const bool mayBlack = cover > 0;
            const bool mayWhite = MayBeWhite[i] != 0;
            if (!mayBlack && !mayWhite)
                return false;
            if (mayBlack != mayWhite)
                cells[i] = mayBlack ? Black : White;
        }
        return true;
    }

    std::vector<int32_t> First, WhitesBefore, BlackCover;
    std::vector<uint8_t> Fwd, Bwd, MayBeWhite;
};

class TGridSolver {
public:
    TGridSolver(const std::vector<TRuns> &rowRuns, const std::vector<TRuns> &colRuns, int64_t maxWork)
        : RowRuns(rowRuns), ColRuns(colRuns), Rows(int32_t(rowRuns.size())),
          Cols(int32_t(colRuns.size())), MaxWork(maxWork)
    {
    }

    TSolveResult Run()
    {
        TSolveResult result;
        if (!CluesAreSane())
            return result;

        Cells.assign(size_t(Rows) * size_t(Cols), Unknown);
        UnknownIn.assign(size_t(Rows) + size_t(Cols), 0);
        for (int32_t r = 0; r < Rows; ++r)
            UnknownIn[r] = Cols;
        for (int32_t c = 0; c < Cols; ++c)
            UnknownIn[size_t(Rows) + c] = Rows;
        UnknownTotal = int64_t(Rows) * Cols;
        Queue.assign(size_t(Rows) + size_t(Cols), 0);
        Queued.assign(Queue.size(), 0);
        for (int32_t line = 0; line < Rows + Cols; ++line)
            Enqueue(line);

        bool ok = Propagate();
        if (OutOfWork)
            return GiveUp(result);
        if (!ok) {
            result.Work = Work;
            return result;
        }
        if (UnknownTotal == 0) {
            result.Status = TSolveResult::Status::Unique;
            result.LineSolvable = true;
            result.Work = Work;
            result.Picture = Picture();
            return result;
        }

        // Depth-first over guesses, black first; the trail undoes a branch in place, so the
        // depth costs no call stack and no grid copies.
        struct TFrame {
            int32_t Cell;
            size_t TrailMark;
            bool TriedWhite;
        };
        std::vector<TFrame> frames;
        int32_t solutions = 0;
        bool descend = true;
        while (true) {
            if (descend) {
                const int32_t cell = PickCell();
                frames.push_back(TFrame{cell, Trail.size(), false});
                ++Guesses;
                Assign(cell, Black);
            } else {
                while (!frames.empty() && frames.back().TriedWhite) {
                    Undo(frames.back().TrailMark);
                    frames.pop_back();
                }
                if (frames.empty())
                    break;
                TFrame &frame = frames.back();
                Undo(frame.TrailMark);
                frame.TriedWhite = true;
                ++Guesses;
                Assign(frame.Cell, White);
            }
            ok = Propagate();
            if (OutOfWork)
                return GiveUp(result);
            if (!ok) {
                descend = false;
                continue;
            }
            if (UnknownTotal == 0) {
                if (++solutions == 1)
                    result.Picture = Picture();
                else
                    break;
                descend = false;
                continue;
            }
            descend = true;
        }

        result.Work = Work;
        result.Guesses = Guesses;
        if (solutions == 0) {
            result.Picture.clear();
            result.Status = TSolveResult::Status::Unsolvable;
        } else {
            result.Status = solutions == 1 ? TSolveResult::Status::Unique
                                           : TSolveResult::Status::Ambiguous;
        }
        return result;
    }

private:
    bool CluesAreSane() const
    {
        auto lineFits = [](const TRuns &runs, int32_t length, int64_t &total) {
            int64_t needed = runs.empty() ? 0 : -1;
            for (int32_t r : runs) {
                if (r < 1)
                    return false;
                needed += int64_t(r) + 1;
                total += r;
            }
            return needed <= length;
        };
        int64_t rowBlack = 0, colBlack = 0;
        for (const TRuns &runs : RowRuns)
            if (!lineFits(runs, Cols, rowBlack))
                return false;
        for (const TRuns &runs : ColRuns)
            if (!lineFits(runs, Rows, colBlack))
                return false;
        return rowBlack == colBlack;
    }

    // Lines 0..Rows-1 are rows, Rows..Rows+Cols-1 are columns.
    void Enqueue(int32_t line)
    {
        if (Queued[line])
            return;
        Queued[line] = 1;
        Queue[QueueTail] = line;
        QueueTail = (QueueTail + 1) % Queue.size();
        ++QueueLength;
    }

    void ClearQueue()
    {
        while (QueueLength > 0) {
            Queued[Queue[QueueHead]] = 0;
            QueueHead = (QueueHead + 1) % Queue.size();
            --QueueLength;
        }
    }

    void Assign(int32_t cell, TLineCell value)
    {
        Cells[cell] = value;
        Trail.push_back(cell);
        const int32_t r = cell / Cols, c = cell % Cols;
        --UnknownIn[r];
        --UnknownIn[size_t(Rows) + c];
        --UnknownTotal;
        Enqueue(r);
        Enqueue(Rows + c);
    }

    void Undo(size_t mark)
    {
        ClearQueue();
        while (Trail.size() > mark) {
            const int32_t cell = Trail.back();
            Trail.pop_back();
            Cells[cell] = Unknown;
            ++UnknownIn[cell / Cols];
            ++UnknownIn[size_t(Rows) + cell % Cols];
            ++UnknownTotal;
        }
    }

    // Solves dirty lines until none is left. False on a contradiction or when out of work.
    bool Propagate()
    {
        while (QueueLength > 0) {
            const int32_t line = Queue[QueueHead];
            QueueHead = (QueueHead + 1) % Queue.size();
            --QueueLength;
            Queued[line] = 0;

            const bool isRow = line < Rows;
            const int32_t index = isRow ? line : line - Rows;
            const int32_t length = isRow ? Cols : Rows;
            const size_t start = isRow ? size_t(index) * Cols : size_t(index);
            const size_t stride = isRow ? 1 : size_t(Cols);
            Line.resize(size_t(length));
            for (int32_t i = 0; i < length; ++i)
                Line[i] = Cells[start + i * stride];
            if (!Logic.Solve(Line, isRow ? RowRuns[index] : ColRuns[index], Work)) {
                ClearQueue();
                return false;
            }
            for (int32_t i = 0; i < length; ++i) {
                const size_t cell = start + i * stride;
                if (Cells[cell] == Unknown && Line[i] != Unknown)
                    Assign(int32_t(cell), Line[i]);
            }
            if (Work > MaxWork) {
                OutOfWork = true;
                ClearQueue();
                return false;
            }
        }
        return true;
    }

    // The first unknown cell of the line with the fewest unknowns: a guess there settles the
    // most, and the choice depends on the grid alone.
    int32_t PickCell() const
    {
        int32_t best = -1;
        for (int32_t line = 0; line < Rows + Cols; ++line)
            if (UnknownIn[line] > 0 && (best < 0 || UnknownIn[line] < UnknownIn[best]))
                best = line;
        const bool isRow = best < Rows;
        const int32_t index = isRow ? best : best - Rows;
        const int32_t length = isRow ? Cols : Rows;
        for (int32_t i = 0; i < length; ++i) {
            const int32_t cell = isRow ? index * Cols + i : i * Cols + index;
            if (Cells[cell] == Unknown)
                return cell;
        }
        return -1; // not reached: the line has an unknown cell
    }

    TMyCrossArr Picture() const
    {
        TMyCrossArr picture = MakeCrossArr(Rows, Cols);
        for (int32_t r = 0; r < Rows; ++r)
            for (int32_t c = 0; c < Cols; ++c)
                picture[r][c] = Cells[size_t(r) * Cols + c] == Black ? 1 : 0;
        return picture;
    }

    TSolveResult &GiveUp(TSolveResult &result) const
    {
        result.Status = TSolveResult::Status::GaveUp;
        result.LineSolvable = false;
        result.Work = Work;
        result.Guesses = Guesses;
        result.Picture.clear();
        return result;
    }

    const std::vector<TRuns> &RowRuns;
    const std::vector<TRuns> &ColRuns;
    const int32_t Rows;
    const int32_t Cols;
    const int64_t MaxWork;

    std::vector<TLineCell> Cells;   // row-major, Unknown / Black / White
    std::vector<int32_t> UnknownIn; // per line, rows then columns
    int64_t UnknownTotal = 0;
    std::vector<int32_t> Trail;     // cells in the order they were settled

    std::vector<int32_t> Queue;     // ring of dirty lines; each line is in it at most once
    std::vector<uint8_t> Queued;
    size_t QueueHead = 0, QueueTail = 0, QueueLength = 0;

    TLineLogic Logic;
    std::vector<TLineCell> Line;
    int64_t Work = 0;
    int32_t Guesses = 0;
    bool OutOfWork = false;
};

} // namespace

bool SolveLine(std::vector<TLineCell> &cells, const std::vector<int32_t> &runs, int64_t *work)
{
    for (int32_t r : runs)
        if (r < 1)
            return false;
    int64_t spent = 0;
    const bool ok = TLineLogic().Solve(cells, runs, spent);
    if (work)
        *work += spent;
    return ok;
}

TSolveResult SolveClues(const std::vector<std::vector<int32_t>> &rowRuns,
                        const std::vector<std::vector<int32_t>> &colRuns, int64_t maxWork)
{
    return TGridSolver(rowRuns, colRuns, maxWork).Run();
}
