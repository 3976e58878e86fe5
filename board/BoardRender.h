// Draws a puzzle board into an off-screen image: backdrop, frame, clues, grid, marks, lines.
#pragma once

#include "board/BoardGeometry.h"
#include "board/ClueHelp.h"
#include "board/PuzzleDocument.h"

#include <QImage>

// Renders the whole board of doc with cell size a, laid out in a W x H area, into target.
// screen selects the screen variant (with backdrop, a/4-point text) over the print variant
// (no backdrop, a/2-point text); backdrop may be null. target should be Format_RGB32 (any
// other format is converted first); its resolution is set to 96 dpi so points map to pixels
// the same way everywhere. Drawing is clipped to the target. Returns the origins it used.
// clueInk, when given, colours clue numbers one by one; without it every number is black.
TBoardOrigins RenderBoard(QImage &target, int W, int H, const PuzzleDocument &doc, int a,
                          bool screen, const QImage *backdrop, const TClueInk *clueInk = nullptr);

// The same picture drawn plainly with QPainter, one primitive at a time. Kept so that the fast
// path above can be checked pixel for pixel; nothing in the program should need it otherwise.
TBoardOrigins RenderBoardReference(QImage &target, int W, int H, const PuzzleDocument &doc,
                                   int a, bool screen, const QImage *backdrop,
                                   const TClueInk *clueInk = nullptr);

// Frames in red the grid column and row under (X, Y), clue cells included; nothing when the
// point is off the grid. Never throws.
void DrawHighlight(QImage &target, const TBoardOrigins &origins, int a, const PuzzleDocument &doc,
                   int X, int Y);
