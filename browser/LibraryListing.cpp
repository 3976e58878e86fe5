// The browser's rules for what a listed puzzle shows and how its preview is sized, without a dialog.
#include "browser/LibraryListing.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The letter a name sorts by: case aside, Ё as Е.
char16_t Primary(QChar c)
{
    const char16_t lower = c.toLower().unicode();
    return lower == u'ё' ? u'е' : lower;
}

// Letters by their primary form, runs of digits by their value.
int ComparePrimary(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            qsizetype endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA]))
                ++endA;
            while (endB < b.size() && IsDigit(b[endB]))
                ++endB;
            while (i + 1 < endA && a[i] == QLatin1Char('0'))
                ++i;
            while (j + 1 < endB && b[j] == QLatin1Char('0'))
                ++j;
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            for (; i < endA; ++i, ++j)
                if (a[i] != b[j])
                    return a[i] < b[j] ? -1 : 1;
            j = endB;
            continue;
        }
        const char16_t x = Primary(a[i]), y = Primary(b[j]);
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    return int(i < a.size()) - int(j < b.size());
}

template <typename T>
int Three(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

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

int CompareNames(const QString &a, const QString &b)
{
    if (const int primary = ComparePrimary(a, b))
        return primary;
    // Е before Ё, 1 before 01, then capitals first: equal names still get one order.
    if (const int letters = QString::compare(a.toLower(), b.toLower()))
        return letters < 0 ? -1 : 1;
    return Three(a, b);
}

void SortListing(QList<TListedPuzzle> &rows, int column, Qt::SortOrder order)
{
    auto byColumn = [column](const TListedPuzzle &a, const TListedPuzzle &b) {
        switch (column) {
        case ColName: return CompareNames(a.Name, b.Name);
        case ColDifficulty: return Three(a.Difficulty, b.Difficulty);
        case ColSize:
            return Three(qint64(a.Head.ColCount) * a.Head.RowCount, qint64(b.Head.ColCount) * b.Head.RowCount);
        case ColStarted:
            return Three(a.Solved ? 2 : int(a.Head.InProgress != 0), b.Solved ? 2 : int(b.Head.InProgress != 0));
        default: return Three(a.Listed, b.Listed);
        }
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const TListedPuzzle &a, const TListedPuzzle &b) {
        const int key = byColumn(a, b);
        if (key != 0)
            return order == Qt::AscendingOrder ? key < 0 : key > 0;
        if (const int name = CompareNames(a.Name, b.Name))
            return name < 0;
        return a.Listed < b.Listed;
    });
}

TPreviewLayout PreviewLayout(int colCount, int rowCount, int boxWidth, int boxHeight)
{
    TPreviewLayout layout;
    if (colCount <= 0 || rowCount <= 0 || colCount > PuzzleFile::MaxLineCount || rowCount > PuzzleFile::MaxLineCount)
        return layout;
    layout.Valid = true;
    layout.Cell = std::min(boxWidth / colCount, boxHeight / rowCount);
    layout.Fits = layout.Cell >= 1;
    if (!layout.Fits)
        return layout;
    layout.Width = colCount * layout.Cell;
    layout.Height = rowCount * layout.Cell;
    layout.Left = (boxWidth - layout.Width) / 2;
    layout.Top = (boxHeight - layout.Height) / 2;
    return layout;
}

QString PreviewTooLargeText(int colCount, int rowCount)
{
    return QStringLiteral("Поле %1x%2 слишком велико для просмотра").arg(colCount).arg(rowCount);
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
