// Draws a puzzle board into an off-screen image: backdrop, frame, clues, grid, marks, lines.
#pragma once

#include "core/BoardGeometry.h"
#include "core/ClueHelp.h"
#include "format/PuzzleDocument.h"

#include <QImage>
#include <QRegion>

#include <vector>

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

// The same two renders of the part of the board a view shows, at the view's origins.
TBoardOrigins RenderBoardView(QImage &target, const TBoardView &view, const PuzzleDocument &doc,
                          int a, bool screen, const QImage *backdrop,
                          const TClueInk *clueInk = nullptr);
TBoardOrigins RenderBoardViewReference(QImage &target, const TBoardView &view,
                                   const PuzzleDocument &doc, int a, bool screen,
                                   const QImage *backdrop, const TClueInk *clueInk = nullptr);

// The print variant as it goes onto paper: the same picture, except that every number (clue or
// count) whose text is wider than PaperMaxAdvance(a) is set in narrower, and if need be smaller,
// type, so that numbers in neighbouring cells never run together.
int PaperMaxAdvance(int a);
TBoardOrigins RenderPaperBoard(QImage &target, int W, int H, const PuzzleDocument &doc, int a);
TBoardOrigins RenderPaperBoard(QImage &target, const TBoardView &view, const PuzzleDocument &doc,
                               int a);
TBoardOrigins RenderPaperBoardReference(QImage &target, int W, int H, const PuzzleDocument &doc,
                                        int a);

// Frames in red the grid column and row under (X, Y), clue cells included; nothing when the
// point is off the grid. Never throws.
void DrawHighlight(QImage &target, const TBoardOrigins &origins, int a, const PuzzleDocument &doc,
                   int X, int Y);
void DrawHighlight(QImage &target, const TBoardView &view, int a, const PuzzleDocument &doc,
                   int X, int Y);

// A screen board kept between events. Each update leaves in the target what a white fill, the
// screen render of the view and the highlight at (X, Y) would, but draws again only what
// changed since the last update: cells whose mark changed, clue cells whose strike or ink
// changed, and the highlight. Anything else that differs (the target, the view, the cell size,
// the backdrop or the document's shape) draws everything. The picture, and so the clue
// numbers, is taken to be the one of the last full draw, since comparing it cost a big board's
// pointer move a fifth of its time: call Forget() when the document is replaced. Returns where
// the target changed.
class TBoardCanvas {
public:
    QRegion Update(QImage &target, const TBoardView &view, const PuzzleDocument &doc, int a,
                   const QImage *backdrop, int X, int Y, const TClueInk *clueInk = nullptr);
    // The next update draws everything.
    void Forget();

private:
    bool SameBoard(const TBoardView &view, const PuzzleDocument &doc, int a,
                   const QImage *backdrop, const QImage &target) const;

    bool Valid = false;
    QImage Base;  // the board without its highlight
    qint64 TargetKey = 0;
    TBoardView View;
    int CellSize = 0;
    const QImage *BackdropSource = nullptr;
    qint64 BackdropKey = 0;
    PuzzleDocument Last;  // what Base shows
    TClueInk LastInk;
    std::vector<QRect> Highlight;
};
