// The lengths the status bar reads out while a stroke is drawn or a filled cell is pointed at.
#include "core/RunCounter.h"

#include <cstdlib>

namespace {

int32_t MarkAt(const TMyCrossArr &marks, int32_t col, int32_t row)
{
    if (row < 0 || col < 0 || size_t(row) >= marks.size() || size_t(col) >= marks[size_t(row)].size())
        return MarkEmpty;
    return marks[size_t(row)][size_t(col)];
}

} // namespace

int32_t RunThrough(const TMyCrossArr &marks, int32_t col, int32_t row, bool alongRow)
{
    if (MarkAt(marks, col, row) != MarkFilled)
        return 0;
    const int32_t dc = alongRow ? 1 : 0;
    const int32_t dr = alongRow ? 0 : 1;
    int32_t length = 1;
    for (int32_t c = col - dc, r = row - dr; MarkAt(marks, c, r) == MarkFilled; c -= dc, r -= dr)
        ++length;
    for (int32_t c = col + dc, r = row + dr; MarkAt(marks, c, r) == MarkFilled; c += dc, r += dr)
        ++length;
    return length;
}

QString StrokeCounterText(const TMyCrossArr &marks, int32_t firstCol, int32_t firstRow, int32_t col,
                          int32_t row)
{
    const int32_t across = std::abs(col - firstCol);
    const int32_t down = std::abs(row - firstRow);
    // A stroke that wanders off its line is measured along the way it went furthest.
    const bool alongRow = across >= down;
    QString text = QStringLiteral("Отрезок: %1").arg((alongRow ? across : down) + 1);
    if (const int32_t block = RunThrough(marks, col, row, alongRow))
        text += QStringLiteral(" · Блок: %1").arg(block);
    return text;
}

QString CellRunsText(const TMyCrossArr &marks, int32_t col, int32_t row)
{
    if (MarkAt(marks, col, row) != MarkFilled)
        return {};
    return QStringLiteral("Ряд: %1 · Столбец: %2")
        .arg(RunThrough(marks, col, row, true))
        .arg(RunThrough(marks, col, row, false));
}
