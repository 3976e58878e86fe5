// The player's check against the picture and a hint reasoned from one line's clue.
#include "core/Hint.h"

#include "core/LineSolver.h"

#include <QStringList>

#include <algorithm>

std::vector<TCellRef> WrongMarks(const PuzzleDocument &doc)
{
    std::vector<TCellRef> wrong;
    for (size_t r = 0; r < doc.Marks.size() && r < doc.Solution.size(); ++r)
        for (size_t c = 0; c < doc.Marks[r].size() && c < doc.Solution[r].size(); ++c) {
            const int32_t mark = doc.Marks[r][c];
            const int32_t black = doc.Solution[r][c];
            if ((mark == MarkFilled && black == 0) || (mark == MarkCrossed && black == 1))
                wrong.push_back({int32_t(c), int32_t(r)});
        }
    return wrong;
}

QString CheckText(size_t wrong)
{
    return wrong == 0 ? QStringLiteral("Ошибок нет") : QStringLiteral("Ошибок: %1").arg(wrong);
}

namespace {

QString LineName(bool isColumn, int32_t line)
{
    return (isColumn ? QStringLiteral("Столбец %1") : QStringLiteral("Строка %1")).arg(line + 1);
}

QString RunsText(const TRuns &runs)
{
    QStringList parts;
    for (int32_t r : runs)
        parts << QString::number(r);
    return parts.join(QLatin1Char(' '));
}

// «цифра 7», or «вторая цифра 7» when the clue has more than one 7.
QString ClueName(const TRuns &runs, size_t j)
{
    const QString plain = QStringLiteral("цифра %1").arg(runs[j]);
    if (std::count(runs.begin(), runs.end(), runs[j]) < 2)
        return plain;
    const int nth = int(std::count(runs.begin(), runs.begin() + j, runs[j]));
    static const char *const Ordinal[] = {"первая", "вторая", "третья", "четвёртая", "пятая"};
    const QString ord = nth < 5 ? QString::fromUtf8(Ordinal[nth]) : QStringLiteral("%1-я").arg(nth + 1);
    return ord + QLatin1Char(' ') + plain;
}

struct TCandidate {
    int Score = 0;  // 0 none; plainer reasons score higher
    bool IsColumn = false;
    int32_t Line = 0;
    int32_t Index = 0;
    int32_t Value = MarkEmpty;
    QString Reason;
};

// Why line logic decides cell i, from where each run can lie; the plainest reason first.
TCandidate Explain(bool isColumn, int32_t line, int32_t i, bool black, const TRuns &runs,
                   const TLinePlacements &p, bool worded)
{
    TCandidate c{1, isColumn, line, i, black ? MarkFilled : MarkCrossed, {}};
    const QString head = !worded ? QString()
                                 : QStringLiteral("%1, клетка %2: %3 — ")
                                       .arg(LineName(isColumn, line))
                                       .arg(i + 1)
                                       .arg(black ? QStringLiteral("закрасить") : QStringLiteral("крестик"));
    const size_t k = runs.size();
    if (black) {
        for (size_t j = 0; j < k && p.Fits; ++j)
            if (p.Right[j] <= i && i < p.Left[j] + runs[j]) {
                c.Score = 3;
                if (worded)
                    c.Reason = head + ClueName(runs, j) + QStringLiteral(" накрывает её при любом положении");
                return c;
            }
        if (worded)
            c.Reason = head + QStringLiteral("так выходит при любой расстановке цифр ") + RunsText(runs);
        return c;
    }
    if (k == 0) {
        c.Score = 2;
        if (worded)
            c.Reason = head + QStringLiteral("в линии нет ни одной цифры");
        return c;
    }
    bool reached = !p.Fits;
    for (size_t j = 0; j < k && !reached; ++j)
        reached = p.Left[j] <= i && i < p.Right[j] + runs[j];
    if (!reached) {
        c.Score = 2;
        size_t next = 0;
        while (next < k && p.Left[next] <= i)
            ++next;
        if (!worded)
            return c;
        if (next == 0)
            c.Reason = head + QStringLiteral("%1 начинается не раньше клетки %2")
                                  .arg(ClueName(runs, 0)).arg(p.Left[0] + 1);
        else if (next == k)
            c.Reason = head + QStringLiteral("%1 кончается не позже клетки %2")
                                  .arg(ClueName(runs, k - 1)).arg(p.Right[k - 1] + runs[k - 1]);
        else
            c.Reason = head + QStringLiteral("%1 кончается не позже клетки %2, а %3 начинается не раньше клетки %4")
                                  .arg(ClueName(runs, next - 1))
                                  .arg(p.Right[next - 1] + runs[next - 1])
                                  .arg(ClueName(runs, next))
                                  .arg(p.Left[next] + 1);
        return c;
    }
    if (worded)
        c.Reason = head + QStringLiteral("при любой расстановке цифр %1 она пустая").arg(RunsText(runs));
    return c;
}

} // namespace

THint FindHint(const PuzzleDocument &doc, const std::vector<TRuns> &rowRuns,
               const std::vector<TRuns> &colRuns)
{
    THint hint;
    const int32_t rows = std::min<int32_t>(doc.RowCount, int32_t(std::min(doc.Marks.size(), rowRuns.size())));
    const int32_t cols = std::min<int32_t>(doc.ColCount, int32_t(colRuns.size()));
    auto mark = [&](int32_t r, int32_t c) {
        return size_t(c) < doc.Marks[size_t(r)].size() ? doc.Marks[size_t(r)][size_t(c)] : MarkEmpty;
    };
    auto picture = [&](int32_t r, int32_t c) {
        return size_t(r) < doc.Solution.size() && size_t(c) < doc.Solution[size_t(r)].size()
            ? doc.Solution[size_t(r)][size_t(c)]
            : -1;
    };

    TCandidate best;
    bool mistake = false;
    bool anyEmpty = false;
    std::vector<int32_t> marks;
    std::vector<TLineCell> cells;
    for (int32_t line = 0; line < rows + cols; ++line) {
        const bool isColumn = line >= rows;
        const int32_t index = isColumn ? line - rows : line;
        const int32_t length = isColumn ? rows : cols;
        const TRuns &runs = isColumn ? colRuns[size_t(index)] : rowRuns[size_t(index)];
        marks.clear();
        for (int32_t i = 0; i < length; ++i)
            marks.push_back(isColumn ? mark(i, index) : mark(index, i));
        cells.assign(marks.size(), TLineCell::Unknown);
        for (size_t i = 0; i < marks.size(); ++i) {
            if (marks[i] == MarkFilled)
                cells[i] = TLineCell::Black;
            else if (marks[i] == MarkCrossed)
                cells[i] = TLineCell::White;
            else
                anyEmpty = true;
        }
        if (!SolveLine(cells, runs)) {
            // A wrong line makes every other deduction doubtful: it is the only thing said.
            hint.Kind = THint::TKind::Contradiction;
            hint.IsColumn = isColumn;
            hint.Line = index;
            hint.Reason = QStringLiteral("%1: отметки не сходятся с цифрами %2")
                              .arg(LineName(isColumn, index), runs.empty() ? QStringLiteral("(пусто)") : RunsText(runs));
            return hint;
        }
        if (best.Score == 3)
            continue;
        TLinePlacements placements;
        bool placed = false;
        for (int32_t i = 0; i < length; ++i) {
            if (cells[size_t(i)] == TLineCell::Unknown || marks[size_t(i)] == MarkFilled
                || marks[size_t(i)] == MarkCrossed)
                continue;
            const bool black = cells[size_t(i)] == TLineCell::Black;
            const int32_t r = isColumn ? i : index;
            const int32_t c = isColumn ? index : i;
            if (picture(r, c) != (black ? 1 : 0)) {
                mistake = true;
                continue;
            }
            if (!placed) {
                placements = PlaceRuns(marks, runs);
                placed = true;
            }
            // Only the chosen cell's reason is worded.
            const int score = Explain(isColumn, index, i, black, runs, placements, false).Score;
            if (score > best.Score) {
                best = Explain(isColumn, index, i, black, runs, placements, true);
                if (best.Score == 3)
                    break;
            }
        }
    }
    if (best.Score > 0) {
        hint.Kind = THint::TKind::Cell;
        hint.IsColumn = best.IsColumn;
        hint.Line = best.Line;
        hint.Cell = best.IsColumn ? TCellRef{best.Line, best.Index} : TCellRef{best.Index, best.Line};
        hint.Value = best.Value;
        hint.Reason = best.Reason;
    } else if (mistake) {
        hint.Kind = THint::TKind::Mistake;
        hint.Reason = QStringLiteral("Среди отметок есть ошибка — найдите её командой «Проверить»");
    } else if (!anyEmpty) {
        hint.Kind = THint::TKind::Done;
        hint.Reason = QStringLiteral("Все клетки уже отмечены");
    } else {
        hint.Kind = THint::TKind::Stuck;
        hint.Reason = QStringLiteral("Ни одна строка и ни один столбец сами по себе больше ничего не решают");
    }
    return hint;
}
