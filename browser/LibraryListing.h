// The browser's rules for what a listed puzzle shows and how its preview is sized, without a dialog.
#pragma once

#include "format/PuzzleFile.h"

#include <QString>

// The difficulty digit a file name carries just before a four-character extension (the first
// character for names shorter than five), or -1 when there is none.
int DifficultyDigit(const QString &name);
// What the difficulty column shows: the digit 0–5, or the crown for anything else.
QString ListedDifficulty(int digit);
QString ListedSize(const PuzzleFile::Header &header);
QString ListedStarted(const PuzzleFile::Header &header);

// One pixel a cell at least; Valid is false for a header no puzzle can have or a board too
// large for the box, which preview as nothing.
struct TPreviewLayout {
    bool Valid = false;
    int Cell = 0;
    int Width = 0;
    int Height = 0;
};
// The longer side of the board spans the box; the picture is then as high as its rows.
TPreviewLayout PreviewLayout(int colCount, int rowCount, int boxWidth, int boxHeight);

// The folder the browser can show for a wish: the folder itself, else its nearest existing
// parent, else the fallback. Paths are absolute and clean.
QString NearestExistingFolder(const QString &wanted, const QString &fallback);
