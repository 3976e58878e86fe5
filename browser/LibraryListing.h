// The browser's rules for what a listed puzzle shows and how its preview is sized, without a dialog.
#pragma once

#include "format/PuzzleFile.h"

#include <QList>
#include <QString>

// The difficulty digit a file name carries just before a four-character extension (the first
// character for names shorter than five), or -1 when there is none.
int DifficultyDigit(const QString &name);
// What the difficulty column shows: the digit 0–5, or the crown for anything else.
QString ListedDifficulty(int digit);
QString ListedSize(const PuzzleFile::Header &header);
QString ListedStarted(const PuzzleFile::Header &header);

// The file grid's columns, left to right.
enum TGridColumn { ColNumber, ColName, ColDifficulty, ColSize, ColStarted, ColumnCount };

// One listed puzzle, with what the grid sorts it by.
struct TListedPuzzle {
    QString Name;
    PuzzleFile::Header Head;
    // The digit before the extension, or 6 for a name without one.
    int Difficulty = 6;
    // Its place in the folder listing.
    int Listed = 0;
    // In the record of solved puzzles: «Решён» sorts after «Да».
    bool Solved = false;
};
// Russian alphabetical order: case aside, Ё with Е (just after it when the names are otherwise
// equal), numbers by value. The same under every locale, also with none set.
int CompareNames(const QString &a, const QString &b);
// Orders the rows by a grid column: names alphabetically, sizes by cell count, difficulty and
// started by value, the number column by the folder listing. Ties go by name, ascending.
void SortListing(QList<TListedPuzzle> &rows, int column, Qt::SortOrder order);

// Where the preview draws a board: cells as large as both sides allow, the picture centred in
// the box. Valid is false for a header no puzzle can have, which previews as nothing; Fits is
// false for a board too large even for one pixel a cell.
struct TPreviewLayout {
    bool Valid = false;
    bool Fits = false;
    int Cell = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
TPreviewLayout PreviewLayout(int colCount, int rowCount, int boxWidth, int boxHeight);
// What the preview says instead of a picture too large for it.
QString PreviewTooLargeText(int colCount, int rowCount);

// The folder the browser can show for a wish: the folder itself, else its nearest existing
// parent, else the fallback. Paths are absolute and clean.
QString NearestExistingFolder(const QString &wanted, const QString &fallback);
