// Reads the .non text form: keywords, clue lines and an optional goal string.
#include "tools/ImportParts.h"

#include <QStringList>
#include <algorithm>

namespace ImportParts {

namespace {

std::vector<int32_t> ParseNonClueLine(QStringView text, qint64 lineNumber, int32_t length)
{
    std::vector<int32_t> runs;
    bool zero = false;
    int tokens = 0;
    qsizetype i = 0;
    while (true) {
        while (i < text.size() && IsClueSeparator(text[i]))
            ++i;
        if (i == text.size())
            break;
        const qsizetype start = i;
        while (i < text.size() && !IsClueSeparator(text[i]))
            ++i;
        const QStringView token = text.mid(start, i - start);
        const std::optional<qint64> value = SmallNumber(token);
        // "red 1 yellow 4" and "3b,1d" both name a colour beside the number.
        if (!value && std::any_of(token.begin(), token.end(), [](QChar ch) { return ch.isLetter(); }))
            Fail(QStringLiteral("%1coloured puzzles are not supported (the clue '%2' gives a colour)")
                     .arg(AtLine(lineNumber), token.left(20).toString()));
        if (!value)
            Fail(QStringLiteral("%1'%2' is not a run length (a whole number from 1)")
                     .arg(AtLine(lineNumber), token.left(20).toString()));
        ++tokens;
        zero = zero || *value == 0;
        if (zero && tokens > 1)
            Fail(QStringLiteral("%1a run of 0 stands among other runs; an empty line is a lone 0")
                     .arg(AtLine(lineNumber)));
        if (*value == 0)
            continue;
        if (*value > length)
            Fail(QStringLiteral("%1a run of %2 is longer than the line's %3 cells")
                     .arg(AtLine(lineNumber))
                     .arg(*value)
                     .arg(length));
        if (runs.size() >= size_t(length))
            Fail(QStringLiteral("%1more runs than the line has cells").arg(AtLine(lineNumber)));
        runs.push_back(int32_t(*value));
    }
    return runs;
}

} // namespace

TImportedPuzzle ImportNon(const QByteArray &bytes, int64_t maxWork)
{
    TTextLines lines(bytes);
    std::optional<int32_t> width, height;
    std::optional<TClueSet> rows, columns;
    std::optional<QString> goal;
    qint64 goalLine = 0;
    QString title, author;
    // Colours of a "color NAME RRGGBB CHAR" table other than the paper.
    QStringList inks;

    QStringView raw;
    while (lines.Next(raw)) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const qint64 lineNumber = lines.Number();
        qsizetype space = 0;
        while (space < line.size() && !line[space].isSpace())
            ++space;
        const QString key = line.left(space).toString().toLower();
        const QString value = line.mid(space).trimmed().toString();

        if (key == QLatin1String("width") || key == QLatin1String("height")) {
            std::optional<int32_t> &side = key == QLatin1String("width") ? width : height;
            if (side)
                Fail(QStringLiteral("%1the %2 is given twice").arg(AtLine(lineNumber), key));
            const std::optional<qint64> number = SmallNumber(value);
            if (!number)
                Fail(QStringLiteral("%1the %2 '%3' is not a whole number from 1 to %4")
                         .arg(AtLine(lineNumber), key, value.left(20))
                         .arg(MaxSide));
            side = SideOf(*number, key, AtLine(lineNumber));
        } else if (key == QLatin1String("rows") || key == QLatin1String("columns")) {
            const bool isRows = key == QLatin1String("rows");
            std::optional<TClueSet> &set = isRows ? rows : columns;
            if (set)
                Fail(QStringLiteral("%1the %2 are given twice").arg(AtLine(lineNumber), key));
            if (!width || !height)
                Fail(QStringLiteral("%1'%2' comes before the width and height, so its clue lines "
                                    "cannot be counted")
                         .arg(AtLine(lineNumber), key));
            const int32_t count = isRows ? *height : *width;
            const int32_t length = isRows ? *width : *height;
            set.emplace();
            for (int32_t i = 0; i < count; ++i) {
                if (!lines.Next(raw))
                    Fail(QStringLiteral("The file ends after %1 of the %2 %3 clue lines")
                             .arg(i)
                             .arg(count)
                             .arg(isRows ? QStringLiteral("row") : QStringLiteral("column")));
                // A comment among the clue lines is not one of them.
                if (raw.trimmed().startsWith(QLatin1Char('#'))) {
                    --i;
                    continue;
                }
                set->Lines.push_back(ParseNonClueLine(raw, lines.Number(), length));
                set->Sources.push_back(lines.Number());
            }
            CheckFits(*set, length, isRows ? QStringLiteral("row") : QStringLiteral("column"));
        } else if (key == QLatin1String("goal") || key == QLatin1String("solution")) {
            if (goal)
                Fail(QStringLiteral("%1the goal is given twice").arg(AtLine(lineNumber)));
            QString text = Unquoted(value);
            goalLine = lineNumber;
            // The goal's string may also stand alone on the next line, or be spread over the
            // lines after it, one row each.
            const qint64 expected = width && height ? qint64(*width) * *height : 1;
            qint64 cells = 0;
            // Added to in place: a copy of the goal so far for each of a million lines is
            // quadratic.
            QString spread;
            while (cells < expected && text.isEmpty() && lines.Next(raw)) {
                const QString part = Unquoted(raw.toString());
                if (part.isEmpty())
                    continue;
                if (cells == 0)
                    goalLine = lines.Number();
                cells += std::count_if(part.begin(), part.end(), [](QChar ch) { return !ch.isSpace(); });
                spread += part;
                goal.emplace();
                // A quoted goal is whole on its line.
                const QStringView first = raw.trimmed().left(1);
                if (first == QLatin1String("\"") || first == QLatin1String("'"))
                    break;
            }
            goal = goal ? std::move(spread) : text;
        } else if (key == QLatin1String("title")) {
            title = Unquoted(value);
        } else if (key == QLatin1String("by") || key == QLatin1String("author")) {
            author = Unquoted(value);
        } else if (key == QLatin1String("color") || key == QLatin1String("colour")) {
            const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QString name = parts.value(0).toLower();
            const QString rgb = parts.value(1).toLower();
            if (name != QLatin1String("white") && name != QLatin1String("background") && rgb != QLatin1String("ffffff")
                && rgb != QLatin1String("#ffffff"))
                inks << name;
            if (inks.size() > 1)
                Fail(QStringLiteral("%1coloured puzzles are not supported (the file declares the colours %2)")
                         .arg(AtLine(lineNumber), inks.join(QStringLiteral(", ")).left(60)));
        }
        // Everything else (author, copyright, licence, catalogue, ...) only describes the puzzle.
    }

    if (!width)
        Fail(QStringLiteral("The file gives no width"));
    if (!height)
        Fail(QStringLiteral("The file gives no height"));

    if (goal) {
        const qint64 expected = qint64(*width) * *height;
        TMyCrossArr picture = MakeCrossArr(*height, *width);
        qint64 cells = 0;
        for (qsizetype i = 0; i < goal->size(); ++i) {
            const QChar ch = goal->at(i);
            if (ch.isSpace())
                continue;
            if (ch != QLatin1Char('0') && ch != QLatin1Char('1') && !inks.isEmpty())
                Fail(QStringLiteral("%1coloured puzzles are not supported (the goal uses '%2')")
                         .arg(AtLine(goalLine), QString(ch)));
            if (ch != QLatin1Char('0') && ch != QLatin1Char('1'))
                Fail(QStringLiteral("%1the goal holds '%2'; only 0 (white) and 1 (black) may stand there")
                         .arg(AtLine(goalLine), QString(ch)));
            if (cells < expected)
                picture[size_t(cells / *width)][size_t(cells % *width)] = ch == QLatin1Char('1') ? 1 : 0;
            ++cells;
        }
        if (cells != expected)
            Fail(QStringLiteral("%1the goal has %2 cells, but %3 x %4 makes %5")
                     .arg(AtLine(goalLine))
                     .arg(cells)
                     .arg(*width)
                     .arg(*height)
                     .arg(expected));
        CheckPictureAgainst(picture, rows ? &*rows : nullptr, columns ? &*columns : nullptr,
                            QStringLiteral("goal"));
        TImportedPuzzle puzzle = FromPicture(std::move(picture), title, maxWork);
        puzzle.Author = author;
        return puzzle;
    }
    if (!rows || !columns)
        Fail(QStringLiteral("The file has no goal and lacks the %1 clues")
                 .arg(!rows ? QStringLiteral("row") : QStringLiteral("column")));
    CheckTotals(rows->Lines, columns->Lines);
    TImportedPuzzle puzzle = SolveImported(rows->Lines, columns->Lines, maxWork);
    puzzle.Title = title;
    puzzle.Author = author;
    return puzzle;
}

bool LooksLikeNon(const QByteArray &bytes)
{
    static const char *const keys[] = {"width", "height", "rows", "columns", "goal"};
    TTextLines lines(bytes);
    QStringView line;
    while (lines.Next(line)) {
        line = line.trimmed();
        qsizetype end = 0;
        while (end < line.size() && !line[end].isSpace())
            ++end;
        for (const char *key : keys)
            if (line.left(end).compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

} // namespace ImportParts
