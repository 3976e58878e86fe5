// Cell size, zoom, board and grid origins and the grid hit test of a board window.
#include "board/BoardGeometry.h"

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

int FontPointSize(int a, bool screen)
{
    return RoundHalfEven(screen ? a / 4.0 : a / 2.0);
}

bool FontBold(int a)
{
    return a >= 8;
}
