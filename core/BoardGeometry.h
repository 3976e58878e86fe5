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
    bool operator==(const TBoardOrigins &) const = default;
};

// Where a render of cell size a puts the board and its grid in a W x H area.
TBoardOrigins ComputeOrigins(int W, int H, int a, int ColCount, int RowCount, int RowClueDepth,
                             int ColClueDepth);

// The 0-based grid cell under (X, Y); false when the point is off the grid or a is 0.
// col and row may be null when only the answer is wanted.
bool GridHit(const TBoardOrigins &origins, int a, int ColCount, int RowCount, int X, int Y,
             int32_t *col, int32_t *row);

// The part of a board a render shows, and where: grid columns FirstCol .. FirstCol + Cols - 1
// and rows FirstRow .. FirstRow + Rows - 1, with clue cells FirstRowClue .. FirstRowClue +
// RowClues - 1 of each row (k counted outward from the grid) and likewise for the columns.
// Origins.GridLeft is BoardLeft + a * RowClues and GridTop is BoardTop + a * ColClues. A view
// that reaches the board's far end also shows what lies past it (cells of matrices larger than
// the dimensions, numbers deeper than the clue area), as the whole board does.
struct TBoardView {
    TBoardOrigins Origins;
    int32_t FirstCol = 0, Cols = 0, FirstRow = 0, Rows = 0;
    int32_t FirstRowClue = 0, RowClues = 0, FirstColClue = 0, ColClues = 0;
    bool operator==(const TBoardView &) const = default;
};

// The whole board at the given origins: what every render drew before there were views.
TBoardView WholeBoardView(const TBoardOrigins &origins, int ColCount, int RowCount,
                          int RowClueDepth, int ColClueDepth);

// How far a close-up is scrolled, in cells: the first grid column and row shown, and the first
// clue cell of the row and column clue areas when those scroll on their own.
struct TCloseUpScroll {
    int32_t Col = 0, Row = 0, RowClue = 0, ColClue = 0;
    bool operator==(const TCloseUpScroll &) const = default;
};

// The close-up of a W x H area with cell a. A direction in which the board fits with its band is
// laid out as the fitted board is; one in which it does not starts with the band at the area's
// edge, keeps the clue area pinned beside the grid (at most a third of the area deep, the part
// nearest the grid, scrolled by its own offset) and shows as many lines as the rest holds, the
// last one perhaps in part. scroll is brought into range; maximum, when given, receives the
// largest offsets.
TBoardView CloseUpView(int W, int H, int a, int ColCount, int RowCount, int RowClueDepth,
                       int ColClueDepth, TCloseUpScroll &scroll, TCloseUpScroll *maximum = nullptr);

// The smallest close-up cell: legible at a quarter-size font.
constexpr int MinCloseUpCell = 24;

// The grid hit test of a view: the 0-based board column and row under (X, Y).
bool ViewGridHit(const TBoardView &view, int a, int X, int Y, int32_t *col, int32_t *row);

// Board text size in points: a/4 on screen, a/2 on paper, halves to even.
int FontPointSize(int a, bool screen);
bool FontBold(int a);
