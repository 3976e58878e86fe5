// The messages and checks that every importer shares.
#include "tools/ImportParts.h"

#include <QStringList>

namespace ImportParts {

[[noreturn]] void Fail(const QString &message)
{
    // Messages quote the input, which may hold a NUL that cuts the message short where it is
    // shown, or controls that move a terminal's cursor; they are written out as PBM's are.
    QString shown;
    shown.reserve(message.size());
    for (QChar ch : message) {
        if (ch.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += ch;
    }
    throw EImportError(shown);
}

QString AtLine(qint64 line)
{
    return QStringLiteral("Line %1: ").arg(line);
}

QString RunsText(const std::vector<int32_t> &runs)
{
    if (runs.empty())
        return QStringLiteral("0");
    QStringList parts;
    for (int32_t run : runs)
        parts << QString::number(run);
    return parts.join(QStringLiteral(", "));
}

int32_t SideOf(qint64 value, const QString &what, const QString &where)
{
    if (value < 1 || value > MaxSide)
        Fail(QStringLiteral("%1the %2 is %3; it must be from 1 to %4").arg(where, what).arg(value).arg(MaxSide));
    return int32_t(value);
}

std::optional<qint64> SmallNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    qint64 value = 0;
    for (QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
}

void CheckFits(const TClueSet &set, int32_t length, const QString &lineWord)
{
    for (size_t i = 0; i < set.Lines.size(); ++i) {
        const std::vector<int32_t> &runs = set.Lines[i];
        qint64 needed = runs.empty() ? 0 : -1;
        for (int32_t run : runs)
            needed += qint64(run) + 1;
        if (needed > length)
            Fail(QStringLiteral("%1the runs %2 need %3 cells, but a %4 has %5")
                     .arg(AtLine(set.Sources[i]), RunsText(runs))
                     .arg(needed)
                     .arg(lineWord)
                     .arg(length));
    }
}

namespace {

qint64 BlackCount(const TClueLines &lines)
{
    qint64 total = 0;
    for (const auto &runs : lines)
        for (int32_t run : runs)
            total += run;
    return total;
}

} // namespace

void CheckTotals(const TClueLines &rows, const TClueLines &columns)
{
    const qint64 inRows = BlackCount(rows), inColumns = BlackCount(columns);
    if (inRows != inColumns)
        Fail(QStringLiteral("The row clues hold %1 black cells but the column clues %2, so the puzzle "
                            "has no solution (unsolvable)")
                 .arg(inRows)
                 .arg(inColumns));
}

void CheckPictureAgainst(const TMyCrossArr &picture, const TClueSet *rows, const TClueSet *columns,
                         const QString &pictureWord)
{
    if (rows) {
        const TClueLines actual = RowClues(picture);
        for (size_t r = 0; r < actual.size(); ++r)
            if (actual[r] != rows->Lines[r])
                Fail(QStringLiteral("%1row %2 is %3 in the clues but %4 in the %5; they disagree")
                         .arg(AtLine(rows->Sources[r]))
                         .arg(r + 1)
                         .arg(RunsText(rows->Lines[r]), RunsText(actual[r]), pictureWord));
    }
    if (columns) {
        const TClueLines actual = ColumnClues(picture);
        for (size_t c = 0; c < actual.size(); ++c)
            if (actual[c] != columns->Lines[c])
                Fail(QStringLiteral("%1column %2 is %3 in the clues but %4 in the %5; they disagree")
                         .arg(AtLine(columns->Sources[c]))
                         .arg(c + 1)
                         .arg(RunsText(columns->Lines[c]), RunsText(actual[c]), pictureWord));
    }
}

TSolveResult SolveOrRefuse(const TClueLines &rows, const TClueLines &columns, int64_t maxWork)
{
    TSolveResult solved = SolveClues(
        rows, columns, maxWork > 0 ? maxWork : ImportWorkBudget(int32_t(rows.size()), int32_t(columns.size())));
    if (solved.Status == TSolveResult::Status::Ambiguous)
        Fail(QStringLiteral("The puzzle has more than one solution (ambiguous)"));
    if (solved.Status == TSolveResult::Status::Unsolvable)
        Fail(QStringLiteral("The puzzle has no solution (unsolvable)"));
    return solved;
}

TImportedPuzzle FromPicture(TMyCrossArr picture, const QString &title, int64_t maxWork)
{
    if (picture.empty() || picture.size() > size_t(MaxSide) || picture[0].empty()
        || picture[0].size() > size_t(MaxSide))
        Fail(QStringLiteral("The picture must be from 1 to %1 cells each way").arg(MaxSide));
    TImportedPuzzle puzzle;
    puzzle.Solved = SolveOrRefuse(RowClues(picture), ColumnClues(picture), maxWork);
    // A drawn picture is the author's answer already; an undecided one only earns a warning.
    if (puzzle.Solved.Status == TSolveResult::Status::GaveUp)
        puzzle.Warning = QStringLiteral("the solver gave up after %1 cell operations before it could tell whether the "
                                        "picture is the only solution; imported as drawn, undecided")
                             .arg(puzzle.Solved.Work);
    puzzle.Picture = std::move(picture);
    puzzle.Title = title;
    return puzzle;
}

QString Unquoted(QString text)
{
    text = text.trimmed();
    for (QChar quote : {QLatin1Char('"'), QLatin1Char('\'')}) {
        if (text.size() >= 2 && text.startsWith(quote) && text.endsWith(quote))
            return text.mid(1, text.size() - 2);
        if (text.startsWith(quote))
            return text.mid(1);
    }
    return text;
}

bool IsClueSeparator(QChar ch)
{
    return ch == QLatin1Char(',') || ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
}

} // namespace ImportParts
