// How a board goes onto paper: the print bitmap, the page orientation and the whole-number scale.
#include "app/Printing.h"

#include "format/PuzzleDocument.h"

QSize PrintBitmapSize(const PuzzleDocument &doc)
{
    return QSize((doc.RowClueDepth + doc.ColCount) * PrintCellSize + PrintMargin,
                 (doc.ColClueDepth + doc.RowCount) * PrintCellSize + PrintMargin);
}

bool PrintLandscape(QSize bitmap)
{
    return bitmap.height() < bitmap.width();
}

QRect PrintTarget(QSize bitmap, QSize printable)
{
    const int extent = PrintLandscape(bitmap) ? printable.width() : printable.height();
    const int scale = extent / PrintScaleDivisor;
    if (scale > 0)
        return QRect(0, 0, bitmap.width() * scale, bitmap.height() * scale);
    if (bitmap.isEmpty() || printable.isEmpty())
        return QRect();
    return QRect(QPoint(0, 0), bitmap.scaled(printable, Qt::KeepAspectRatio));
}
