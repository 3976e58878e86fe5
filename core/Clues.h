// Clue numbers derived from the hidden picture, where they go, and the solved test.
#pragma once

#include "format/PuzzleDocument.h"

#include <QString>
#include <functional>

// Run lengths of a line as the player reads them (first run first). Used by tools and depths.
std::vector<int32_t> LineRuns(const std::vector<int32_t> &cells);
std::vector<int32_t> ColumnCells(const TMyCrossArr &m, int32_t col);

// Runs of one line, written last run first, each followed by one space.
QString ClueText(const std::vector<int32_t> &cells);
// Hands out the text's first number and removes it, with the spaces after it, from the text.
QString CutFirstToken(QString &text);

// A clue number ready to draw: which line, which clue cell, and its strike flag.
struct TCluePlace {
    bool IsColumn;
    int32_t Line;   // column or row index
    int32_t Depth;  // clue cell k, 0 next to the grid
    QString Text;
    bool Struck;
};

// Visits every clue number: all columns first, then all rows.
void PlaceClues(const PuzzleDocument &doc, const std::function<void(const TCluePlace &)> &visit);

// True when the filled marks are exactly the black cells of the picture.
bool IsSolved(const TMyCrossArr &Solution, const TMyCrossArr &Marks);

// The clue depths a picture needs: the most runs of any row, and of any column.
int32_t RowClueDepthOf(const TMyCrossArr &picture);
int32_t ColClueDepthOf(const TMyCrossArr &picture);

// A fresh puzzle document for a 0/1 picture (rows of equal length).
PuzzleDocument DocumentFromPicture(const TMyCrossArr &picture);
