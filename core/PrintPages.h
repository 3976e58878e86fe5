// Puzzles on paper: how a board is laid out on pages (fitted, or tiled with an overlap), what a
// printed board shows, and the drawing of the pages onto any paged device (printer or PDF).
#pragma once

#include "format/PuzzleDocument.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// Pages are planned and drawn at this resolution, whatever the device's: lines of one pixel
// stay visible, and a full A4 page is a picture of some 35 MB.
constexpr int PaperDpi = 300;
// The band above a board for its header line, in pixels at PaperDpi: some 5 mm.
constexpr int PaperHeaderHeight = 60;

// What a printed board shows.
enum class TPrintContent {
    Blank,     // clues and an empty grid, for a pencil
    Marks,     // the player's marks and struck clues, as the game stands
    Solution,  // the picture filled in
};

// The document as it goes onto paper for that content.
PuzzleDocument PaperDocument(const PuzzleDocument &doc, TPrintContent content);

// The board's picture in cells: clue areas, grid and the grey band around them.
QSize PaperBoardCells(const PuzzleDocument &doc);

// One page of a board: the part of the board's picture (in pixels of cell size Cell) that goes
// there, and where its top-left corner goes within the area given to the plan.
struct TPrintSheet {
    QRect Source;
    QPoint Target;
    bool operator==(const TPrintSheet &) const = default;
};

struct TPrintPlan {
    int Cell = 0;  // pixels a cell
    std::vector<TPrintSheet> Sheets;  // row by row, left to right
};

// Lays a board of cells (PaperBoardCells) out in areas of area pixels. cell 0 asks for the
// largest cell with which the board fits one area whole, centred there (at least 1 pixel: a
// board with more cells than the area has pixels is not printed legibly anyway, and is then
// tiled). A given cell is kept: the board is centred on one area when it fits, and otherwise
// cut into areas that overlap by one cell, so that the pieces can be laid edge to edge. The cell
// is reduced only as far as an area must hold two cells each way.
TPrintPlan PlanPrint(QSize cells, QSize area, int cell);

// The largest cell, at most maxCell, with which cells fit area whole; at least 1.
int FitCell(QSize cells, QSize area, int maxCell = 1 << 20);

// Pixels at PaperDpi for a length in millimetres, rounded down, at least 1.
int PaperPixels(double mm);

// The part source of the paper board of doc at cell size a.
QImage RenderPaperPiece(const PuzzleDocument &doc, int a, const QRect &source);

// A small line of text above a board: the puzzle's name, its size, and the page's place when
// the board is tiled.
QString PaperHeader(const QString &name, const PuzzleDocument &doc, int sheet, int sheets);

// Draws on painter, begun on device, with its own pages: the board of doc with content, at a
// cell of cellMm millimetres or fitted to the page when cellMm is 0. pages, when not empty, are
// the 1-based page numbers to draw (the rest are skipped); returns how many pages the board
// takes. Throws std::runtime_error when a page cannot be drawn (out of memory, device failure).
int PaintBoardPages(QPainter &painter, QPagedPaintDevice &device, const PuzzleDocument &doc,
                    const QString &name, TPrintContent content, double cellMm,
                    const std::vector<int> &pages = {});

// How many pages PaintBoardPages would draw for a printable area of printable pixels at
// PaperDpi.
int CountBoardPages(const PuzzleDocument &doc, QSize printable, double cellMm);

// Booklets: several puzzles a page, each in a slot of its own.
struct TBookletPuzzle {
    QString Name;
    PuzzleDocument Doc;
};

struct TBookletSlot {
    int Puzzle = 0;  // index into the list
    QRect Area;      // in pixels at PaperDpi within the printable area, header line included
};

// Puts the puzzles on pages, perPage slots a page (a grid of slots as square as the page
// allows), in the order given. A puzzle whose cells would come out smaller than minCell in a
// slot gets a page of its own, placed before the page still being filled. Each page is a list
// of slots.
std::vector<std::vector<TBookletSlot>> PlanBooklet(const std::vector<TBookletPuzzle> &puzzles,
                                                   QSize printable, int perPage, int minCell,
                                                   int headerHeight);

// Draws a booklet on painter, begun on device: the puzzles blank, then, with solutions, the
// same pages again with the solutions. cellMm 0 fits each puzzle to its slot (up to 6 mm a
// cell); otherwise that cell, smaller only where a puzzle would not fit its slot whole.
// Returns the number of pages. Throws std::runtime_error as PaintBoardPages does.
int PaintBooklet(QPainter &painter, QPagedPaintDevice &device,
                 const std::vector<TBookletPuzzle> &puzzles, bool solutions, double cellMm,
                 int perPage);
