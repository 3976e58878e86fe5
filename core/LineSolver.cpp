// Solves a puzzle from its clues: line logic to a fixpoint, then probing and search to count solutions.
#include "core/LineSolver.h"

#include <algorithm>
#include <cstdint>
#include <memory>

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

// Remembers what line logic made of a line in a given state, so probing, which keeps revisiting
// the same few states, pays for each one once. Four entries share a bucket; a full bucket gives
// up the one used least recently, so the states of the current search stay while old ones go.
// The table starts at 64 states a line, since most searches are short, and doubles, keeping
// its entries, each time it has given up a quarter as many as it holds, up to its size for the
// board.
class TLineCache {
public:
    // Sized to the board: room for 512 states a line, at most 16 MB of states.
    void Reserve(int32_t lines, int32_t longest)
    {
        EntryLength = size_t(2) * size_t(longest) + 1;
        const size_t wanted = std::clamp<size_t>(size_t(lines) * 512, 1024, PoolCap / EntryLength);
        MaxSlots = Ways;
        while (MaxSlots * 2 <= wanted)
            MaxSlots *= 2;
        // Left uninitialised: a slot's state is only read once the slot is in use, and pages
        // never written cost nothing.
        Pool.reset(new TLineCell[MaxSlots * EntryLength]);
        size_t slots = Ways;
        while (slots * 2 <= size_t(lines) * 64)
            slots *= 2;
        Slots.assign(std::min(slots, MaxSlots), TSlot{});
        Evicted = 0;
    }

    static uint64_t HashOf(int32_t line, const TLineCell *cells, int32_t n)
    {
        uint64_t h = 1469598103934665603ull ^ uint64_t(line);
        for (int32_t i = 0; i < n; ++i)
            h = (h ^ uint64_t(cells[i])) * 1099511628211ull;
        return h ^ (h >> 29);
    }

    // The stored answer for this state: nullptr when unknown; *ok false for a contradiction.
    const TLineCell *Find(int32_t line, const TLineCell *cells, int32_t n, uint64_t hash, bool &ok)
    {
        if (Slots.empty())
            return nullptr;
        const size_t first = (hash & (Slots.size() / Ways - 1)) * Ways;
        for (size_t slot = first; slot < first + Ways; ++slot) {
            TSlot &s = Slots[slot];
            if (s.LastUse == 0 || s.Hash != hash || s.Line != line)
                continue;
            const TLineCell *entry = Pool.get() + slot * EntryLength;
            if (!std::equal(cells, cells + n, entry))
                continue;
            s.LastUse = ++Clock;
            ok = entry[n] == Black;
            return entry + n + 1;
        }
        return nullptr;
    }

    void Store(int32_t line, const TLineCell *before, const TLineCell *after, int32_t n, uint64_t hash, bool ok)
    {
        if (Slots.empty())
            return;
        const size_t first = (hash & (Slots.size() / Ways - 1)) * Ways;
        size_t victim = first;
        for (size_t slot = first + 1; slot < first + Ways; ++slot)
            if (Slots[slot].LastUse < Slots[victim].LastUse)
                victim = slot;
        if (Slots[victim].LastUse != 0 && ++Evicted * 4 > Slots.size() && Slots.size() < MaxSlots) {
            Grow();
            Store(line, before, after, n, hash, ok);
            return;
        }
        Slots[victim] = TSlot{hash, ++Clock, line};
        TLineCell *entry = Pool.get() + victim * EntryLength;
        std::copy(before, before + n, entry);
        entry[n] = ok ? Black : White;
        std::copy(after, after + n, entry + n + 1);
    }

private:
    // Doubles the table, keeping every entry: bucket b's entries stay in b or move to
    // b + the old bucket count, past the old table, in the same way.
    void Grow()
    {
        const size_t oldSize = Slots.size();
        Slots.resize(oldSize * 2, TSlot{});
        const size_t mask = Slots.size() / Ways - 1;
        for (size_t slot = 0; slot < oldSize; ++slot) {
            TSlot &s = Slots[slot];
            const size_t to = (s.Hash & mask) * Ways + slot % Ways;
            if (s.LastUse == 0 || to == slot)
                continue;
            Slots[to] = s;
            std::copy(Pool.get() + slot * EntryLength, Pool.get() + (slot + 1) * EntryLength, Pool.get() + to * EntryLength);
            s = TSlot{};
        }
        Evicted = 0;
    }

    // Bounds the memory of a 1000 x 1000 solve (one entry is two lines) to 16 MB.
    static constexpr size_t PoolCap = size_t(1) << 24;
    static constexpr size_t Ways = 4;
    struct TSlot {
        uint64_t Hash = 0;
        uint64_t LastUse = 0; // 0: empty
        int32_t Line = 0;
    };
    std::vector<TSlot> Slots;
    std::unique_ptr<TLineCell[]> Pool; // per slot: the state, ok, the result
    size_t EntryLength = 0;
    size_t MaxSlots = 0;
    size_t Evicted = 0; // live entries given up since the table last grew
    uint64_t Clock = 0;
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

        UseCache = true;
        Cache.Reserve(Rows + Cols, std::max(Rows, Cols));
        Seen.assign(size_t(CellCount), 0);
        SeenValue.assign(size_t(CellCount), Unknown);
        Implied.assign(size_t(CellCount) * 2, 0);
        ImpliedCount.assign(size_t(CellCount) * 2, 0);
        QueuedForProbe.assign(size_t(CellCount), 0);
        ProbedAt.assign(size_t(CellCount), 0);
        ScoredAt.assign(size_t(CellCount), 0);
        Score.assign(size_t(CellCount), 0);
        FirstSide.assign(size_t(CellCount), Black);

        const int32_t solutions = Search(result);
        if (OutOfWork)
            return GiveUp(result);

        result.Work = Work;
        result.Guesses = Guesses;
        result.Probes = Probes;
        result.Depth = DeepestDepth;
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
    // One depth-first search with probing at every node, stopping at a second solution; the
    // trail undoes a branch in place, so the depth costs no call stack and no grid copies.
    // Returns the solutions found (0–2); 0 too when the work ran out.
    int32_t Search(TSolveResult &result)
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
        size_t changedFrom = SIZE_MAX; // what the last step settled: the whole grid at the root
        while (true) {
            if (descend) {
                int32_t cell = -1;
                TLineCell first = Black;
                ok = ProbeNode(changedFrom, cell, first);
                if (OutOfWork)
                    return 0;
                if (ok && UnknownTotal > 0) {
                    frames.push_back(TFrame{cell, Trail.size(), first == Black ? White : Black, false});
                    DeepestDepth = std::max(DeepestDepth, int32_t(frames.size()));
                    ++Guesses;
                    Assign(cell, first);
                    ok = Propagate();
                    if (OutOfWork)
                        return 0;
                    changedFrom = frames.back().TrailMark;
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
                changedFrom = frame.TrailMark;
            }
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

    // Probes the unknown cells next to what the last step settled (every unknown cell at the
    // root): each is tried both ways with line logic. A side that contradicts fixes the cell the
    // other way and what both sides agree on is settled; either puts the neighbours of the newly
    // settled cells up for probing again. A side some earlier probe of the same grid already
    // implied is not tried: it can settle nothing that probe did not, and it cannot contradict.
    // False on a contradiction. Otherwise, when cells remain, picks the branch cell among those
    // probed: the one whose two sides settle the most (the product, so both must), its busier
    // side first.
    bool ProbeNode(size_t changedFrom, int32_t &branch, TLineCell &first)
    {
        ++ProbeRound;
        ClearProbeQueue();
        Scored.clear();
        // At the root every unknown cell, row by row; below it the neighbours of what the branch
        // settled first, where a probe most likely yields, then the rest.
        const bool root = changedFrom == SIZE_MAX;
        if (!root)
            QueueNeighbours(changedFrom);
        for (int32_t cell = 0; cell < CellCount; ++cell)
            if (Cells[cell] == Unknown)
                QueueProbe(cell);
        ++GridStamp;

        // Probes that settle nothing only rank the branch cells; after this many in a row the
        // node branches on what it has. Halved at each node where probing settled nothing,
        // doubled where it did: a puzzle of many loose solutions soon searches almost plainly,
        // a tight one probes every neighbourhood.
        const size_t fruitlessLimit = FruitlessLimit;
        size_t fruitless = 0;
        bool settled = false;
        HotProbes.clear();
        size_t head = 0;
        while (UnknownTotal > 0 && fruitless < fruitlessLimit) {
            // Cells next to what a probe just settled come first: that is where the next yield is.
            int32_t cell;
            if (!HotProbes.empty()) {
                cell = HotProbes.back();
                HotProbes.pop_back();
            } else if (head < ProbeQueue.size()) {
                cell = ProbeQueue[head++];
            } else {
                break;
            }
            if (Cells[cell] != Unknown || ProbedAt[cell] == GridStamp)
                continue;
            ProbedAt[cell] = GridStamp;
            const bool skipBlack = Implied[2 * size_t(cell)] == GridStamp;
            const bool skipWhite = Implied[2 * size_t(cell) + 1] == GridStamp;
            if (skipBlack && skipWhite)
                continue;
            ++Probes;
            const size_t mark = Trail.size();
            int64_t blackCount = 0, whiteCount = 0;
            bool blackOk = true, whiteOk = true;
            if (skipBlack) {
                blackCount = ImpliedCount[2 * size_t(cell)];
            } else {
                blackOk = TrySide(cell, Black, blackCount);
                if (OutOfWork)
                    return false;
                if (blackOk) {
                    ++Stamp;
                    for (size_t i = mark; i < Trail.size(); ++i) {
                        Seen[Trail[i]] = Stamp;
                        SeenValue[Trail[i]] = Cells[Trail[i]];
                    }
                }
                Undo(mark);
            }
            if (skipWhite) {
                whiteCount = ImpliedCount[2 * size_t(cell) + 1];
            } else {
                whiteOk = TrySide(cell, White, whiteCount);
                if (OutOfWork)
                    return false;
            }
            if (!blackOk || !whiteOk) {
                Undo(mark);
                if (!blackOk && !whiteOk) {
                    ++Guesses;
                    ClearProbeQueue();
                    FruitlessLimit = std::min<size_t>(FruitlessLimit * 2, size_t(CellCount) + 1);
                    return false;
                }
                Assign(cell, blackOk ? Black : White);
                if (!Propagate())
                    return false; // not reached: the side just passed alone; OutOfWork aside
                Settled(mark);
                fruitless = 0;
                settled = true;
                ++Guesses;
                continue;
            }
            if (!skipBlack && !skipWhite) {
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
                    Settled(mark);
                    fruitless = 0;
                    settled = true;
                    ++Guesses;
                    continue;
                }
            } else {
                Undo(mark);
            }
            if (ScoredAt[cell] != ProbeRound) {
                ScoredAt[cell] = ProbeRound;
                Scored.push_back(cell);
            }
            Score[cell] = (blackCount + 1) * (whiteCount + 1);
            FirstSide[cell] = blackCount >= whiteCount ? Black : White;
            ++fruitless;
        }
        if (OutOfWork)
            return false;
        FruitlessLimit = settled ? std::min<size_t>(FruitlessLimit * 2, size_t(CellCount) + 1)
                                 : std::max<size_t>(FruitlessLimit / 2, 1);
        if (UnknownTotal == 0)
            return true;
        // Where probing has stopped paying, the puzzle is loose: plain guesses that complete the
        // shortest open line find its solutions soonest; scores from a handful of probes do not.
        int64_t best = -1;
        if (FruitlessLimit > PlainGuessLimit)
            for (int32_t cell : Scored)
                if (Cells[cell] == Unknown && Score[cell] > best) {
                    best = Score[cell];
                    branch = cell;
                    first = FirstSide[cell];
                }
        if (best < 0) {
            branch = PickCell();
            first = Black;
        }
        return true;
    }

    // Sets the cell and propagates, leaving the grid as it ends; the count is what it settled,
    // and every cell it settled is marked as implied by a probe of this grid.
    bool TrySide(int32_t cell, TLineCell side, int64_t &count)
    {
        const size_t mark = Trail.size();
        Assign(cell, side);
        const bool ok = Propagate();
        count = int64_t(Trail.size() - mark);
        if (ok)
            for (size_t i = mark + 1; i < Trail.size(); ++i) {
                const size_t key = 2 * size_t(Trail[i]) + (Cells[Trail[i]] == White ? 1 : 0);
                if (Implied[key] != GridStamp || ImpliedCount[key] < count) {
                    Implied[key] = GridStamp;
                    ImpliedCount[key] = count;
                }
            }
        return ok;
    }

    // The grid changed for good at this node: earlier probes' implications may no longer be
    // the whole story, and the neighbours of what changed are worth probing again.
    void Settled(size_t mark)
    {
        ++GridStamp;
        QueueNeighbours(mark, true);
    }

    void QueueNeighbours(size_t mark, bool hot = false)
    {
        for (size_t i = mark; i < Trail.size(); ++i) {
            const int32_t r = Trail[i] / Cols, c = Trail[i] % Cols;
            for (int32_t dr = -1; dr <= 1; ++dr)
                for (int32_t dc = -1; dc <= 1; ++dc) {
                    const int32_t rr = r + dr, cc = c + dc;
                    if (rr < 0 || rr >= Rows || cc < 0 || cc >= Cols)
                        continue;
                    const int32_t cell = rr * Cols + cc;
                    if (Cells[cell] != Unknown)
                        continue;
                    if (hot)
                        HotProbes.push_back(cell);
                    else
                        QueueProbe(cell);
                }
        }
    }

    void ClearProbeQueue()
    {
        for (int32_t cell : ProbeQueue)
            QueuedForProbe[cell] = 0;
        ProbeQueue.clear();
    }

    void QueueProbe(int32_t cell)
    {
        if (QueuedForProbe[cell])
            return;
        QueuedForProbe[cell] = 1;
        ProbeQueue.push_back(cell);
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
    int32_t DeepestDepth = 0;
    bool UseCache = false; // line logic to the first fixpoint never meets a state twice

    // Probing: the cells waiting at this node, and what each probed cell scored there.
    std::vector<int32_t> ProbeQueue, HotProbes;
    std::vector<uint32_t> ProbedAt; // == GridStamp: probed since the grid last changed
    std::vector<uint8_t> QueuedForProbe;
    std::vector<int32_t> Scored;
    std::vector<uint32_t> ScoredAt; // == ProbeRound: scored at this node
    std::vector<int64_t> Score;
    std::vector<TLineCell> FirstSide;
    uint32_t ProbeRound = 0;
    size_t FruitlessLimit = 64;
    // At or below this limit (after a node where probing settled nothing) the branch is a
    // plain guess.
    static constexpr size_t PlainGuessLimit = 32;
    // Implied[2 * cell + (white ? 1 : 0)] == GridStamp: a probe of the present grid settled the
    // cell so, and the busiest such probe settled ImpliedCount cells.
    std::vector<uint32_t> Implied;
    std::vector<int64_t> ImpliedCount;
    uint32_t GridStamp = 0;
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

const char *StatusName(decltype(TSolveResult::Status) status)
{
    switch (status) {
    case TSolveResult::Status::Unique: return "unique";
    case TSolveResult::Status::Ambiguous: return "ambiguous";
    case TSolveResult::Status::Unsolvable: return "unsolvable";
    case TSolveResult::Status::GaveUp: return "gave-up";
    }
    return "?";
}

std::string VerdictText(const TSolveResult &result)
{
    if (result.Status == TSolveResult::Status::GaveUp)
        return "undecided after " + std::to_string(result.Work) + " cell operations";
    return StatusName(result.Status);
}
