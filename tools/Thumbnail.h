// pxgtool thumbnail: a puzzle's board as file managers show it.
#pragma once

#include "format/PuzzleDocument.h"

#include <QImage>
#include <QStringList>
#include <QTextStream>

// The board as printed, with the marks as played (a fresh puzzle shows its blank grid), fitted
// into size x size pixels with its proportions kept. Null when size is not from 1 to 4096.
QImage PuzzleThumbnail(const PuzzleDocument &doc, int size);

// IN OUT.png SIZE: writes the thumbnail whole or not at all. 0 when written, 1 when the puzzle
// cannot be read or the picture written, 2 on a usage error.
int ThumbnailCommand(const QStringList &args, QTextStream &err);
