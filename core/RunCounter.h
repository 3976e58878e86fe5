// The lengths the status bar reads out while a stroke is drawn or a filled cell is pointed at.
#pragma once

#include "format/PuzzleDocument.h"

#include <QString>

// Length of the filled run through (col, row) along its row or its column; 0 off a filled cell.
int32_t RunThrough(const TMyCrossArr &marks, int32_t col, int32_t row, bool alongRow);

// «Отрезок: 7 · Блок: 9»: cells from the stroke's first cell to the current one along the
// line it keeps to, and the filled run the current cell now belongs to on that line.
QString StrokeCounterText(const TMyCrossArr &marks, int32_t firstCol, int32_t firstRow, int32_t col,
                          int32_t row);
// «Ряд: 4 · Столбец: 2» over a filled cell; empty otherwise.
QString CellRunsText(const TMyCrossArr &marks, int32_t col, int32_t row);
