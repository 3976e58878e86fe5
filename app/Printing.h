// How a board goes onto paper: the print bitmap, the page orientation and the whole-number scale.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <stdexcept>

struct PuzzleDocument;

// The print render's cell size and the room left around the board.
constexpr int PrintCellSize = 15;
constexpr int PrintMargin = 50;
constexpr int PrintScaleDivisor = 950;
// About 400 MB of bitmap: boards of some 650 cells a side and more are refused, not attempted.
constexpr qint64 MaxPrintBitmapPixels = 100'000'000;

// A printer failure; what() is the text shown to the player.
class EPrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QSize PrintBitmapSize(const PuzzleDocument &doc);
// Landscape only for a bitmap wider than tall.
bool PrintLandscape(QSize bitmap);

// Where the bitmap goes on the page, in printer pixels from the printable area's top-left.
// The scale is the printable extent along the chosen edge div 950; a page too small for a
// scale of 1 gets the bitmap shrunk to fit, keeping its shape, instead of a blank sheet.
QRect PrintTarget(QSize bitmap, QSize printable);
