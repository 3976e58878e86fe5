// Cell size, zoom, board and grid origins and the grid hit test of a board window.
#include "core/BoardGeometry.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Halves go to the even neighbour, whatever rounding mode someone else left behind.
int32_t RoundHalfEven(double v)
{
    const double lower = std::floor(v);
    const double diff = v - lower;
    double r;
    if (diff > 0.5)
        r = lower + 1.0;
    else if (diff < 0.5)
        r = lower;
    else
        r = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    return static_cast<int32_t>(r);
}

} // namespace

int32_t FitCellSize(int W, int H, int NC, int NR)
{
    if (NC == 0 || NR == 0)
        throw std::domain_error("Division by zero");
    const int byWidth = W / NC;
    const int byHeight = H / NR;
    return byWidth < byHeight ? byWidth : byHeight;
}

int32_t ZoomedCellSize(int percent, int fit)
{
    return RoundHalfEven(static_cast<double>(percent * fit) / 100.0);
}

TBoardOrigins ComputeOrigins(int W, int H, int a, int ColCount, int RowCount, int RowClueDepth,
                             int ColClueDepth)
{
    TBoardOrigins o;
    o.BoardLeft = W / 2 - a * ((ColCount + RowClueDepth) / 2);
    o.BoardTop = H / 2 - a * ((RowCount + ColClueDepth) / 2);
    o.GridLeft = o.BoardLeft + a * RowClueDepth;
    o.GridTop = o.BoardTop + a * ColClueDepth;
    return o;
}

bool GridHit(const TBoardOrigins &origins, int a, int ColCount, int RowCount, int X, int Y,
             int32_t *col, int32_t *row)
{
    // With a = 0 the right bound lies left of the left one, so nothing passes.
    if (X < origins.GridLeft || X > origins.GridLeft + ColCount * a - 1)
        return false;
    if (Y < origins.GridTop || Y > origins.GridTop + RowCount * a - 1)
        return false;
    if (col)
        *col = (X - origins.GridLeft) / a;
    if (row)
        *row = (Y - origins.GridTop) / a;
    return true;
}

TBoardView WholeBoardView(const TBoardOrigins &origins, int ColCount, int RowCount,
                          int RowClueDepth, int ColClueDepth)
{
    TBoardView v;
    v.Origins = origins;
    v.Cols = ColCount;
    v.Rows = RowCount;
    v.RowClues = RowClueDepth;
    v.ColClues = ColClueDepth;
    return v;
}

namespace {

struct TAxisView {
    int Board = 0, First = 0, Count = 0, FirstClue = 0, Clues = 0, MaxScroll = 0, MaxClueScroll = 0;
};

// One direction of the close-up: lines grid lines behind depth clue cells in extent pixels.
TAxisView CloseUpAxis(int extent, int a, int lines, int depth, int32_t &scroll, int32_t &clueScroll)
{
    TAxisView x;
    if (a <= 0 || a * (lines + depth + 2) <= extent) {
        x.Board = extent / 2 - a * ((lines + depth) / 2);
        x.Count = lines;
        x.Clues = depth;
        scroll = 0;
        clueScroll = 0;
        return x;
    }
    // A deep clue area would leave no room for the grid: it keeps a third and scrolls itself.
    x.Clues = depth;
    if (a * depth > extent / 3)
        x.Clues = std::clamp(extent / 3 / a, std::min(depth, 1), depth);
    x.MaxClueScroll = depth - x.Clues;
    clueScroll = std::clamp(clueScroll, 0, x.MaxClueScroll);
    x.FirstClue = clueScroll;
    x.Board = a;
    // The last full position leaves one cell for the band at the far end.
    const int room = extent - a * (1 + x.Clues);
    const int whole = std::max(room / a - 1, 1);
    x.MaxScroll = std::max(0, lines - whole);
    scroll = std::clamp(scroll, 0, x.MaxScroll);
    x.First = scroll;
    x.Count = std::clamp((std::max(room, 0) + a - 1) / a, 0, lines - scroll);
    return x;
}

} // namespace

TBoardView CloseUpView(int W, int H, int a, int ColCount, int RowCount, int RowClueDepth,
                       int ColClueDepth, TCloseUpScroll &scroll, TCloseUpScroll *maximum)
{
    const TAxisView h = CloseUpAxis(W, a, ColCount, RowClueDepth, scroll.Col, scroll.RowClue);
    const TAxisView v = CloseUpAxis(H, a, RowCount, ColClueDepth, scroll.Row, scroll.ColClue);
    if (maximum)
        *maximum = {h.MaxScroll, v.MaxScroll, h.MaxClueScroll, v.MaxClueScroll};
    TBoardView view;
    view.Origins.BoardLeft = h.Board;
    view.Origins.BoardTop = v.Board;
    view.Origins.GridLeft = h.Board + a * h.Clues;
    view.Origins.GridTop = v.Board + a * v.Clues;
    view.FirstCol = h.First;
    view.Cols = h.Count;
    view.FirstRow = v.First;
    view.Rows = v.Count;
    view.FirstRowClue = h.FirstClue;
    view.RowClues = h.Clues;
    view.FirstColClue = v.FirstClue;
    view.ColClues = v.Clues;
    return view;
}

bool ViewGridHit(const TBoardView &view, int a, int X, int Y, int32_t *col, int32_t *row)
{
    if (!GridHit(view.Origins, a, view.Cols, view.Rows, X, Y, col, row))
        return false;
    if (col)
        *col += view.FirstCol;
    if (row)
        *row += view.FirstRow;
    return true;
}

int FontPointSize(int a, bool screen)
{
    return RoundHalfEven(screen ? a / 4.0 : a / 2.0);
}

bool FontBold(int a)
{
    return a >= 8;
}
