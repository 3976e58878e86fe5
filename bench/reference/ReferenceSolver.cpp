// The solver as it was before the single probing search, kept unchanged so bench_solver can
// print its figures beside the present one in the same run. Not used by the program.
#include "bench/reference/ReferenceSolver.h"

#include <algorithm>

namespace ReferenceSolver {

namespace {

using enum ::TLineCell;

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

// Remembers what line logic made of a line in a given state, so probing, which keeps
// revisiting the same few states, pays for each one once. Cleared whole when full: simple,
// and the same on every run.
class TLineCache {
public:


    void Reserve(size_t lines)
    {
        size_t slots = 256;
        while (slots < lines * 64 && slots < (size_t(1) << 17))
            slots *= 2;
        Slots.assign(slots, TSlot{});
        // Reserved whole so it never doubles past the cap; pages untouched cost nothing.
        Pool.reserve(PoolCap);
    }

    static uint64_t HashOf(int32_t line, const TLineCell *cells, int32_t n)
    {
        uint64_t h = 1469598103934665603ull ^ uint64_t(line);
        for (int32_t i = 0; i < n; ++i)
            h = (h ^ uint64_t(cells[i])) * 1099511628211ull;
        return h ^ (h >> 29);
    }

    // The stored answer for this state: nullptr when unknown; *ok false for a contradiction.
    const TLineCell *Find(int32_t line, const TLineCell *cells, int32_t n, uint64_t hash, bool &ok) const
    {
        if (Slots.empty())
            return nullptr;
        const size_t mask = Slots.size() - 1;
        for (size_t i = 0, slot = hash & mask; i < 8; ++i, slot = (slot + 1) & mask) {
            const TSlot &s = Slots[slot];
            if (s.Offset == 0)
                return nullptr;
            if (s.Hash != hash || s.Line != line)
                continue;
            const TLineCell *entry = Pool.data() + s.Offset - 1;
            if (!std::equal(cells, cells + n, entry))
                continue;
            ok = entry[n] == Black;
            return entry + n + 1;
        }
        return nullptr;
    }

    void Store(int32_t line, const TLineCell *before, const TLineCell *after, int32_t n, uint64_t hash, bool ok)
    {
        if (Slots.empty())
            return;
        if (Used * 2 >= Slots.size() || Pool.size() + 2 * size_t(n) + 1 > PoolCap) {
            std::fill(Slots.begin(), Slots.end(), TSlot{});
            Pool.clear();
            Used = 0;
        }
        const size_t mask = Slots.size() - 1;
        for (size_t i = 0, slot = hash & mask; i < 8; ++i, slot = (slot + 1) & mask) {
            if (Slots[slot].Offset != 0)
                continue;
            Slots[slot] = TSlot{hash, uint32_t(Pool.size() + 1), line};
            Pool.insert(Pool.end(), before, before + n);
            Pool.push_back(ok ? Black : White);
            Pool.insert(Pool.end(), after, after + n);
            ++Used;
            return;
        }
    }

private:
    // Bounds the memory of a 1000 x 1000 solve (one entry is two lines) to 16 MB.
    static constexpr size_t PoolCap = size_t(1) << 24;
    struct TSlot {
        uint64_t Hash = 0;
        uint32_t Offset = 0; // into Pool, plus one; 0 is an empty slot
        int32_t Line = 0;
    };
    std::vector<TSlot> Slots;
    std::vector<TLineCell> Pool; // per entry: the state, ok, the result
    size_t Used = 0;
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

        CellCount = Rows * Cols;
        Cells.assign(size_t(CellCount), Unknown);
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

        // Plain guessing is cheap per node and enough when guesses seldom fail; probing at every
        // node costs more but prunes hard. Neither wins everywhere, so they take turns from the
        // root, each with twice the work of its last turn; the waste is at most a small factor.
        const size_t rootMark = Trail.size();
        UseCache = true;
        int32_t solutions = -1;
        for (int64_t slice = std::max<int64_t>(int64_t(1) << 16, int64_t(16) * CellCount);
             solutions < 0 && !OutOfWork; slice *= 2) {
            for (const bool probing : {false, true}) {
                Undo(rootMark);
                result.Picture.clear();
                result.Other.clear();
                SliceEnd = Work + (probing ? slice : slice / 2);
                solutions = Search(probing, result);
                if (solutions >= 0 || OutOfWork)
                    break;
            }
        }
        if (OutOfWork)
            return GiveUp(result);

        result.Work = Work;
        result.Guesses = Guesses;
        result.Probes = Probes;
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
    // Depth-first over guesses, stopping at a second solution; the trail undoes a branch in
    // place, so the depth costs no call stack and no grid copies. Returns the solutions found
    // (0–2), or -1 when its turn's work ran out.
    int32_t Search(bool probing, TSolveResult &result)
    {
        struct TFrame {
            int32_t Cell;
            size_t TrailMark;
            TLineCell Second;
            bool TriedSecond;
        };
        std::vector<TFrame> frames;
        int32_t solutions = 0;
        bool descend = true, ok = true;
        while (true) {
            if (descend) {
                int32_t cell = -1;
                TLineCell first = Black;
                if (probing) {
                    ok = ProbeNode(cell, first);
                    if (OutOfWork)
                        return 0;
                    if (Work > SliceEnd)
                        return -1;
                } else {
                    cell = PickCell();
                }
                if (ok && UnknownTotal > 0) {
                    frames.push_back(TFrame{cell, Trail.size(), first == Black ? White : Black, false});
                    ++Guesses;
                    Assign(cell, first);
                    ok = Propagate();
                    if (OutOfWork)
                        return 0;
                }
            } else {
                while (!frames.empty() && frames.back().TriedSecond) {
                    Undo(frames.back().TrailMark);
                    frames.pop_back();
                }
                if (frames.empty())
                    break;
                TFrame &frame = frames.back();
                Undo(frame.TrailMark);
                frame.TriedSecond = true;
                ++Guesses;
                Assign(frame.Cell, frame.Second);
                ok = Propagate();
                if (OutOfWork)
                    return 0;
            }
            if (Work > SliceEnd)
                return -1;
            if (!ok) {
                descend = false;
                continue;
            }
            if (UnknownTotal == 0) {
                if (++solutions == 1) {
                    result.Picture = Picture();
                } else {
                    result.Other = Picture();
                    break;
                }
                descend = false;
                continue;
            }
            descend = true;
        }
        return solutions;
    }

    // Tries each unknown cell both ways with line logic until a full round settles nothing:
    // a side that contradicts fixes the cell the other way, and what both sides agree on is
    // settled. False on a contradiction. Otherwise, when cells remain, picks the cell whose
    // two sides settle the most (the product, so both must) and the side to try first.
    bool ProbeNode(int32_t &branch, TLineCell &first)
    {
        if (Seen.empty()) {
            Seen.assign(size_t(CellCount), 0);
            SeenValue.assign(size_t(CellCount), Unknown);
            Cache.Reserve(size_t(Rows) + size_t(Cols));
        }
        int64_t bestScore = -1;
        int32_t sinceChange = 0;
        for (int32_t cell = 0; UnknownTotal > 0 && sinceChange < CellCount;
             cell = cell + 1 == CellCount ? 0 : cell + 1, ++sinceChange) {
            if (Cells[cell] != Unknown)
                continue;
            ++Probes;
            const size_t mark = Trail.size();
            Assign(cell, Black);
            const bool blackOk = Propagate();
            if (OutOfWork || Work > SliceEnd)
                return false;
            const int64_t blackCount = int64_t(Trail.size() - mark);
            if (blackOk) {
                ++Stamp;
                for (size_t i = mark; i < Trail.size(); ++i) {
                    Seen[Trail[i]] = Stamp;
                    SeenValue[Trail[i]] = Cells[Trail[i]];
                }
            }
            Undo(mark);
            Assign(cell, White);
            const bool whiteOk = Propagate();
            if (OutOfWork || Work > SliceEnd)
                return false;
            if (!whiteOk) {
                Undo(mark);
                if (!blackOk)
                    return false;
                Assign(cell, Black);
                if (!Propagate())
                    return false;
                sinceChange = 0;
                bestScore = -1;
                continue;
            }
            if (!blackOk) { // the white side stands, already propagated
                sinceChange = 0;
                bestScore = -1;
                continue;
            }
            const int64_t whiteCount = int64_t(Trail.size() - mark);
            Agreed.clear();
            for (size_t i = mark + 1; i < Trail.size(); ++i)
                if (Seen[Trail[i]] == Stamp && SeenValue[Trail[i]] == Cells[Trail[i]])
                    Agreed.push_back(Trail[i]);
            AgreedValue.clear();
            for (int32_t c : Agreed)
                AgreedValue.push_back(Cells[c]);
            Undo(mark);
            if (!Agreed.empty()) {
                for (size_t i = 0; i < Agreed.size(); ++i)
                    if (Cells[Agreed[i]] == Unknown)
                        Assign(Agreed[i], AgreedValue[i]);
                if (!Propagate())
                    return false;
                sinceChange = 0;
                bestScore = -1;
                continue;
            }
            const int64_t score = (blackCount + 1) * (whiteCount + 1);
            if (score > bestScore) {
                bestScore = score;
                branch = cell;
                first = blackCount >= whiteCount ? Black : White;
            }
        }
        if (OutOfWork)
            return false;
        if (UnknownTotal > 0 && bestScore < 0) { // not reached: a full round leaves a best cell
            branch = PickCell();
            first = Black;
        }
        return true;
    }

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
    // A line met again in a state seen before costs only its reading.
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
            const uint64_t hash = UseCache ? TLineCache::HashOf(line, Line.data(), length) : 0;
            bool ok = true;
            if (const TLineCell *known = UseCache ? Cache.Find(line, Line.data(), length, hash, ok) : nullptr) {
                Work += length;
                if (ok)
                    std::copy(known, known + length, Line.begin());
            } else {
                if (UseCache)
                    Before = Line;
                ok = Logic.Solve(Line, isRow ? RowRuns[index] : ColRuns[index], Work);
                if (UseCache)
                    Cache.Store(line, Before.data(), Line.data(), length, hash, ok);
            }
            if (!ok) {
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
        result.Probes = Probes;
        result.Picture.clear();
        result.Other.clear();
        return result;
    }

    const std::vector<TRuns> &RowRuns;
    const std::vector<TRuns> &ColRuns;
    const int32_t Rows;
    const int32_t Cols;
    const int64_t MaxWork;
    int32_t CellCount = 0;

    std::vector<TLineCell> Cells;   // row-major, Unknown / Black / White
    std::vector<int32_t> UnknownIn; // per line, rows then columns
    int64_t UnknownTotal = 0;
    std::vector<int32_t> Trail;     // cells in the order they were settled

    std::vector<int32_t> Queue;     // ring of dirty lines; each line is in it at most once
    std::vector<uint8_t> Queued;
    size_t QueueHead = 0, QueueTail = 0, QueueLength = 0;

    // What the black side of the current probe settled: Seen[cell] == Stamp.
    std::vector<uint32_t> Seen;
    std::vector<TLineCell> SeenValue;
    uint32_t Stamp = 0;
    std::vector<int32_t> Agreed;
    std::vector<TLineCell> AgreedValue;

    TLineLogic Logic;
    TLineCache Cache;
    std::vector<TLineCell> Line, Before;
    int64_t Work = 0;
    int32_t Guesses = 0;
    int32_t Probes = 0;
    bool OutOfWork = false;
    bool UseCache = false; // line logic to the first fixpoint never meets a state twice
    int64_t SliceEnd = 0;  // where the current search's turn ends
};

} // namespace

TSolveResult SolveClues(const std::vector<std::vector<int32_t>> &rowRuns,
                        const std::vector<std::vector<int32_t>> &colRuns, int64_t maxWork)
{
    return TGridSolver(rowRuns, colRuns, maxWork).Run();
}

} // namespace ReferenceSolver
