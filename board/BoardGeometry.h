// Cell size, zoom, board and grid origins and the grid hit test of a board window.
#pragma once

#include <cstdint>

// The largest cell that lets an NC x NR board fit a W x H area: min(W div NC, H div NR).
// Throws std::domain_error when NC or NR is 0. The caller sizes its back buffer to W x H.
int32_t FitCellSize(int W, int H, int NC, int NR);

// The cell size at a zoom percentage of the fitted size, halves going to the even neighbour.
int32_t ZoomedCellSize(int percent, int fit);

struct TBoardOrigins {
    int32_t BoardLeft = 0;
    int32_t BoardTop = 0;
    int32_t GridLeft = 0;
    int32_t GridTop = 0;
};

// Where a render of cell size a puts the board and its grid in a W x H area.
TBoardOrigins ComputeOrigins(int W, int H, int a, int ColCount, int RowCount, int RowClueDepth,
                             int ColClueDepth);

// The 0-based grid cell under (X, Y); false when the point is off the grid or a is 0.
// col and row may be null when only the answer is wanted.
bool GridHit(const TBoardOrigins &origins, int a, int ColCount, int RowCount, int X, int Y,
             int32_t *col, int32_t *row);

// Board text size in points: a/4 on screen, a/2 on paper, halves to even.
int FontPointSize(int a, bool screen);
bool FontBold(int a);
