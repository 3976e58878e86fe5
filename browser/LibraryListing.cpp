// The browser's rules for what a listed puzzle shows and how its preview is sized, without a dialog.
#include "browser/LibraryListing.h"

#include <QDir>
#include <QFileInfo>

int DifficultyDigit(const QString &name)
{
    if (name.isEmpty())
        return -1;
    const QChar c = name.at(name.size() < 5 ? 0 : name.size() - 5);
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1;
}

QString ListedDifficulty(int digit)
{
    return digit >= 0 && digit <= 5 ? QString::number(digit) : QStringLiteral("Корона");
}

QString ListedSize(const PuzzleFile::Header &header)
{
    return QStringLiteral("%1x%2").arg(header.ColCount).arg(header.RowCount);
}

QString ListedStarted(const PuzzleFile::Header &header)
{
    return header.InProgress != 0 ? QStringLiteral("Да") : QStringLiteral("Нет");
}

TPreviewLayout PreviewLayout(int colCount, int rowCount, int boxWidth, int boxHeight)
{
    TPreviewLayout layout;
    if (colCount <= 0 || rowCount <= 0 || colCount > PuzzleFile::MaxLineCount || rowCount > PuzzleFile::MaxLineCount)
        return layout;
    if (colCount > rowCount) {
        layout.Width = boxWidth;
        layout.Cell = boxWidth / colCount;
        layout.Height = rowCount * layout.Cell;
    } else {
        layout.Height = boxHeight;
        layout.Cell = boxHeight / rowCount;
        layout.Width = colCount * layout.Cell;
    }
    // Under one pixel a cell the preview would shrink to nothing for every later game.
    layout.Valid = layout.Cell >= 1;
    return layout;
}

QString NearestExistingFolder(const QString &wanted, const QString &fallback)
{
    QString folder = QDir::cleanPath(wanted);
    while (!folder.isEmpty() && QDir::isAbsolutePath(folder)) {
        if (QFileInfo(folder).isDir())
            return folder;
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return QDir::cleanPath(fallback);
}
