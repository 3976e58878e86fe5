// Reads puzzles from other programs' files and pictures, and writes the .non text form.
#include "tools/Importers.h"

#include "board/Clues.h"
#include "format/PuzzleFile.h"
#include "tools/TextArt.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

EImportError::EImportError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EImportError::Message() const
{
    return QString::fromStdString(what());
}

namespace {

constexpr int32_t MaxSide = PuzzleFile::MaxLineCount;
// Real files nest four or five elements deep; anything far deeper is an attack on memory.
constexpr int MaxXmlDepth = 32;
// .non and plain PBM of 1000 x 1000 take about 3 MB, text art about 1 MB.
constexpr qint64 MaxTextBytes = 16 * 1024 * 1024;
constexpr qint64 MaxTextArtBytes = 4 * 1024 * 1024;
// A thousand rows, with room for comments and blank lines between them.
constexpr qint64 MaxTextArtLines = 100'000;

[[noreturn]] void Fail(const QString &message)
{
    throw EImportError(message);
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

// A side given in the file, checked against what the puzzle file can hold.
int32_t SideOf(qint64 value, const QString &what, const QString &where)
{
    if (value < 1 || value > MaxSide)
        Fail(QStringLiteral("%1the %2 is %3; it must be from 1 to %4").arg(where, what).arg(value).arg(MaxSide));
    return int32_t(value);
}

// A whole number of at most a few digits: longer ones can only be out of range anyway.
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

// The clues of one direction with the file lines they came from, for messages.
struct TClueSet {
    TClueLines Lines;
    std::vector<qint64> Sources;
};

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

qint64 BlackCount(const TClueLines &lines)
{
    qint64 total = 0;
    for (const auto &runs : lines)
        for (int32_t run : runs)
            total += run;
    return total;
}

void CheckTotals(const TClueLines &rows, const TClueLines &columns)
{
    const qint64 inRows = BlackCount(rows), inColumns = BlackCount(columns);
    if (inRows != inColumns)
        Fail(QStringLiteral("The row clues hold %1 black cells but the column clues %2, so the puzzle "
                            "has no solution (unsolvable)")
                 .arg(inRows)
                 .arg(inColumns));
}

// Both directions of a given picture against given clues; the first difference is named.
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

// A picture is only a puzzle if its clues lead back to it alone.
TImportedPuzzle FromPicture(TMyCrossArr picture, const QString &title)
{
    if (picture.empty() || picture.size() > size_t(MaxSide) || picture[0].empty()
        || picture[0].size() > size_t(MaxSide))
        Fail(QStringLiteral("The picture must be from 1 to %1 cells each way").arg(MaxSide));
    TImportedPuzzle puzzle = SolveImported(RowClues(picture), ColumnClues(picture));
    puzzle.Picture = std::move(picture);
    puzzle.Title = title;
    return puzzle;
}

QString Unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    if (text.startsWith(QLatin1Char('"')))
        return text.mid(1);
    return text;
}

// Walks a text line by line instead of splitting it up front, so that a file of nothing but
// line breaks does not become millions of strings.
class TTextLines {
public:
    explicit TTextLines(const QByteArray &bytes) : Text(QString::fromUtf8(bytes))
    {
        if (Text.startsWith(QChar(0xfeff)))
            Pos = 1;
    }

    // The next line without its line break; false after the last. The final line break ends
    // the last line rather than starting an empty one.
    bool Next(QStringView &line)
    {
        if (Done)
            return false;
        const qsizetype end = Text.indexOf(QLatin1Char('\n'), Pos);
        if (end < 0) {
            line = QStringView(Text).mid(Pos);
            Done = true;
        } else {
            line = QStringView(Text).mid(Pos, end - Pos);
            Pos = end + 1;
            Done = Pos == Text.size();
        }
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        ++Count;
        return true;
    }

    qint64 Number() const { return Count; }

private:
    QString Text;
    qsizetype Pos = 0;
    qint64 Count = 0;
    bool Done = false;
};

bool IsClueSeparator(QChar ch)
{
    return ch == QLatin1Char(',') || ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
}

// ---- .non ----

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

TImportedPuzzle ImportNon(const QByteArray &bytes)
{
    TTextLines lines(bytes);
    std::optional<int32_t> width, height;
    std::optional<TClueSet> rows, columns;
    std::optional<QString> goal;
    qint64 goalLine = 0;
    QString title;

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
                set->Lines.push_back(ParseNonClueLine(raw, lines.Number(), length));
                set->Sources.push_back(lines.Number());
            }
            CheckFits(*set, length, isRows ? QStringLiteral("row") : QStringLiteral("column"));
        } else if (key == QLatin1String("goal")) {
            if (goal)
                Fail(QStringLiteral("%1the goal is given twice").arg(AtLine(lineNumber)));
            QString text = value;
            goalLine = lineNumber;
            // The goal's string may also stand alone on the next line.
            while (text.isEmpty() && lines.Next(raw)) {
                if (!raw.trimmed().isEmpty()) {
                    text = raw.toString();
                    goalLine = lines.Number();
                }
            }
            goal = Unquoted(text);
        } else if (key == QLatin1String("title")) {
            title = Unquoted(value);
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
        return FromPicture(std::move(picture), title);
    }
    if (!rows || !columns)
        Fail(QStringLiteral("The file has no goal and lacks the %1 clues")
                 .arg(!rows ? QStringLiteral("row") : QStringLiteral("column")));
    CheckTotals(rows->Lines, columns->Lines);
    TImportedPuzzle puzzle = SolveImported(rows->Lines, columns->Lines);
    puzzle.Title = title;
    return puzzle;
}

// ---- webpbn-style XML ----

class TXmlPuzzleReader {
public:
    explicit TXmlPuzzleReader(const QByteArray &bytes) : Xml(bytes) {}

    TImportedPuzzle Read()
    {
        while (Next() != QXmlStreamReader::StartElement)
            if (Xml.atEnd())
                Fail(QStringLiteral("The file holds no XML elements"));
        const QStringView root = Xml.name();
        if (root == QLatin1String("puzzle")) {
            ReadPuzzle();
        } else if (root == QLatin1String("puzzleset")) {
            while (NextChild()) {
                if (Xml.name() != QLatin1String("puzzle")) {
                    Skip();
                    continue;
                }
                if (Found)
                    FailHere(QStringLiteral("the file holds more than one puzzle; one is imported at a time"));
                ReadPuzzle();
            }
        } else {
            FailHere(QStringLiteral("<%1> is not a puzzle; expected <puzzleset> or <puzzle>").arg(root));
        }
        // Reading on to the end catches garbage after the puzzle.
        while (Next() != QXmlStreamReader::EndDocument) {
        }
        if (!Found)
            Fail(QStringLiteral("The file holds no <puzzle>"));
        return Assemble();
    }

private:
    [[noreturn]] void FailHere(const QString &message) const
    {
        Fail(AtLine(Xml.lineNumber()) + message);
    }

    QXmlStreamReader::TokenType Next()
    {
        const QXmlStreamReader::TokenType token = Xml.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (Xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                FailHere(QStringLiteral("the file ends in the middle of the XML (truncated)"));
            FailHere(QStringLiteral("malformed XML: %1").arg(Xml.errorString()));
        case QXmlStreamReader::DTD:
            // Declarations are where entity bombs live, and puzzles need none.
            FailHere(QStringLiteral("document type declarations are not accepted"));
        case QXmlStreamReader::EntityReference:
            FailHere(QStringLiteral("entity references are not accepted"));
        case QXmlStreamReader::StartElement:
            if (++Depth > MaxXmlDepth)
                FailHere(QStringLiteral("elements are nested more than %1 deep").arg(MaxXmlDepth));
            break;
        case QXmlStreamReader::EndElement:
            --Depth;
            break;
        default:
            break;
        }
        return token;
    }

    // Moves to the next child of the current element; false at the element's end.
    bool NextChild()
    {
        while (true) {
            const QXmlStreamReader::TokenType token = Next();
            if (token == QXmlStreamReader::StartElement)
                return true;
            if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::EndDocument)
                return false;
        }
    }

    void Skip()
    {
        const int depth = Depth;
        while (Depth >= depth)
            if (Next() == QXmlStreamReader::EndDocument)
                return;
    }

    QString Text()
    {
        QString text;
        while (true) {
            const QXmlStreamReader::TokenType token = Next();
            if (token == QXmlStreamReader::Characters)
                text += Xml.text();
            else if (token == QXmlStreamReader::StartElement)
                FailHere(QStringLiteral("<%1> stands where text belongs").arg(Xml.name()));
            else if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::EndDocument)
                return text;
        }
    }

    QString Attribute(const char *name) const
    {
        return Xml.attributes().value(QLatin1String(name)).toString().trimmed();
    }

    void ReadPuzzle()
    {
        Found = true;
        const QString type = Attribute("type");
        if (!type.isEmpty() && type != QLatin1String("grid"))
            FailHere(QStringLiteral("puzzles of type '%1' are not supported; only grids are").arg(type));
        Background = Attribute("backgroundcolor").toLower();
        if (Background.isEmpty())
            Background = QStringLiteral("white");
        // Some writers name the background here, others the colour of counts without one.
        const QString defaultColor = Attribute("defaultcolor").toLower();
        InkDefault = defaultColor.isEmpty() || defaultColor == Background ? QStringLiteral("black") : defaultColor;
        CharColor = {{QLatin1Char('.'), Background}, {QLatin1Char('X'), QStringLiteral("black")}};

        while (NextChild()) {
            const QStringView name = Xml.name();
            if (name == QLatin1String("title")) {
                Title = Text().simplified();
            } else if (name == QLatin1String("color")) {
                const QString colorName = Attribute("name").toLower();
                const QString ch = Attribute("char");
                if (ch.size() == 1 && !colorName.isEmpty())
                    CharColor.insert(ch[0], colorName);
                Text();
            } else if (name == QLatin1String("clues")) {
                const QString which = Attribute("type");
                if (which != QLatin1String("rows") && which != QLatin1String("columns"))
                    FailHere(QStringLiteral("<clues> must have type \"rows\" or \"columns\", not \"%1\"").arg(which));
                std::optional<TClueSet> &set = which == QLatin1String("rows") ? Rows : Columns;
                if (set)
                    FailHere(QStringLiteral("the %1 clues are given twice").arg(which));
                set = ReadClues();
            } else if (name == QLatin1String("solution")) {
                const QString type = Attribute("type");
                if (type.isEmpty() || type == QLatin1String("goal"))
                    ReadSolution();
                else
                    Skip();
            } else {
                Skip();
            }
        }
    }

    TClueSet ReadClues()
    {
        TClueSet set;
        while (NextChild()) {
            if (Xml.name() != QLatin1String("line")) {
                Skip();
                continue;
            }
            if (set.Lines.size() >= size_t(MaxSide))
                FailHere(QStringLiteral("more than %1 clue lines").arg(MaxSide));
            set.Sources.push_back(Xml.lineNumber());
            std::vector<int32_t> runs;
            while (NextChild()) {
                if (Xml.name() != QLatin1String("count")) {
                    Skip();
                    continue;
                }
                QString color = Attribute("color").toLower();
                if (color.isEmpty())
                    color = InkDefault;
                if (color != QLatin1String("black"))
                    FailHere(QStringLiteral("coloured puzzles are not supported (a count in '%1')").arg(color));
                const QString text = Text().trimmed();
                const std::optional<qint64> value = SmallNumber(text);
                if (!value || *value < 1 || *value > MaxSide)
                    FailHere(QStringLiteral("the count '%1' is not a run length (a whole number from 1 to %2)")
                                 .arg(text.left(20))
                                 .arg(MaxSide));
                if (runs.size() >= size_t(MaxSide))
                    FailHere(QStringLiteral("more than %1 counts in one line").arg(MaxSide));
                runs.push_back(int32_t(*value));
            }
            set.Lines.push_back(std::move(runs));
        }
        return set;
    }

    void ReadSolution()
    {
        while (NextChild()) {
            if (Xml.name() != QLatin1String("image") || Image) {
                Skip();
                continue;
            }
            ImageLine = Xml.lineNumber();
            Image = Text();
        }
    }

    TMyCrossArr ImagePicture() const
    {
        QString packed;
        for (QChar ch : *Image)
            if (!ch.isSpace())
                packed += ch;
        const QStringList rows = packed.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        if (rows.isEmpty())
            Fail(AtLine(ImageLine) + QStringLiteral("the goal image is empty"));
        if (rows.size() > MaxSide || rows[0].size() > MaxSide)
            Fail(AtLine(ImageLine) + QStringLiteral("the goal image is larger than %1 cells each way").arg(MaxSide));
        TMyCrossArr picture;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (rows[r].size() != rows[0].size())
                Fail(AtLine(ImageLine) + QStringLiteral("row %1 of the goal image has %2 cells, row 1 has %3")
                                             .arg(r + 1)
                                             .arg(rows[r].size())
                                             .arg(rows[0].size()));
            std::vector<int32_t> row;
            for (QChar ch : rows[r]) {
                const auto color = CharColor.constFind(ch);
                if (color == CharColor.cend())
                    Fail(AtLine(ImageLine) + QStringLiteral("the goal image holds '%1', which no colour stands for")
                                                 .arg(ch));
                if (*color == Background)
                    row.push_back(0);
                else if (*color == QLatin1String("black"))
                    row.push_back(1);
                else
                    Fail(AtLine(ImageLine)
                         + QStringLiteral("coloured puzzles are not supported (the goal image uses '%1')").arg(*color));
            }
            picture.push_back(std::move(row));
        }
        return picture;
    }

    TImportedPuzzle Assemble() const
    {
        if (Rows && Columns) {
            if (Rows->Lines.empty() || Columns->Lines.empty())
                Fail(QStringLiteral("The clues must have from 1 to %1 lines each way").arg(MaxSide));
            CheckFits(*Rows, int32_t(Columns->Lines.size()), QStringLiteral("row"));
            CheckFits(*Columns, int32_t(Rows->Lines.size()), QStringLiteral("column"));
        }
        if (Image) {
            TMyCrossArr picture = ImagePicture();
            if (Rows && picture.size() != Rows->Lines.size())
                Fail(QStringLiteral("The goal image has %1 rows but the clues %2").arg(picture.size()).arg(Rows->Lines.size()));
            if (Columns && picture[0].size() != Columns->Lines.size())
                Fail(QStringLiteral("The goal image has %1 columns but the clues %2")
                         .arg(picture[0].size())
                         .arg(Columns->Lines.size()));
            CheckPictureAgainst(picture, Rows ? &*Rows : nullptr, Columns ? &*Columns : nullptr,
                                QStringLiteral("goal image"));
            return FromPicture(std::move(picture), Title);
        }
        if (!Rows || !Columns)
            Fail(QStringLiteral("The puzzle has no goal image and lacks the %1 clues")
                     .arg(!Rows ? QStringLiteral("row") : QStringLiteral("column")));
        CheckTotals(Rows->Lines, Columns->Lines);
        TImportedPuzzle puzzle = SolveImported(Rows->Lines, Columns->Lines);
        puzzle.Title = Title;
        return puzzle;
    }

    QXmlStreamReader Xml;
    int Depth = 0;
    bool Found = false;
    QString Title, Background, InkDefault;
    QHash<QChar, QString> CharColor;
    std::optional<TClueSet> Rows, Columns;
    std::optional<QString> Image;
    qint64 ImageLine = 0;
};

// ---- PBM ----

class TPbmReader {
public:
    explicit TPbmReader(const QByteArray &bytes) : Bytes(bytes) {}

    TMyCrossArr Read()
    {
        const bool plain = Bytes.startsWith("P1");
        Pos = 2;
        const qint64 widthValue = Number(QStringLiteral("width"));
        const int32_t width = SideOf(widthValue, QStringLiteral("width"), AtLine(Line));
        const qint64 heightValue = Number(QStringLiteral("height"));
        const int32_t height = SideOf(heightValue, QStringLiteral("height"), AtLine(Line));
        TMyCrossArr picture = MakeCrossArr(height, width);
        if (plain) {
            for (int32_t r = 0; r < height; ++r)
                for (int32_t c = 0; c < width; ++c) {
                    SkipSpace();
                    if (Pos >= Bytes.size())
                        Fail(QStringLiteral("The file ends after %1 of %2 pixels (truncated)")
                                 .arg(qint64(r) * width + c)
                                 .arg(qint64(width) * height));
                    const char ch = Bytes[Pos++];
                    if (ch != '0' && ch != '1')
                        Fail(QStringLiteral("%1'%2' is not a pixel; plain PBM pixels are 0 and 1")
                                 .arg(AtLine(Line), Shown(ch)));
                    picture[r][c] = ch == '1' ? 1 : 0;
                }
            return picture;
        }
        // One whitespace byte separates the header from the packed rows.
        if (Pos >= Bytes.size() || !IsSpace(Bytes[Pos]))
            Fail(QStringLiteral("%1the header must end in a single whitespace before the pixels").arg(AtLine(Line)));
        ++Pos;
        const qint64 rowBytes = (width + 7) / 8;
        const qint64 available = Bytes.size() - Pos;
        if (available < rowBytes * height)
            Fail(QStringLiteral("The file ends after %1 of %2 bytes of pixels (truncated)")
                     .arg(available)
                     .arg(rowBytes * height));
        for (int32_t r = 0; r < height; ++r)
            for (int32_t c = 0; c < width; ++c) {
                const auto byte = uint8_t(Bytes[Pos + r * rowBytes + c / 8]);
                picture[r][c] = (byte >> (7 - c % 8)) & 1;
            }
        return picture;
    }

private:
    static bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; }

    static QString Shown(char ch)
    {
        if (ch > 0x20 && ch < 0x7f)
            return QString(QLatin1Char(ch));
        return QStringLiteral("\\x%1").arg(uint(uint8_t(ch)), 2, 16, QLatin1Char('0'));
    }

    void SkipSpace()
    {
        while (Pos < Bytes.size()) {
            const char ch = Bytes[Pos];
            if (ch == '#') {
                while (Pos < Bytes.size() && Bytes[Pos] != '\n')
                    ++Pos;
            } else if (IsSpace(ch)) {
                if (ch == '\n')
                    ++Line;
                ++Pos;
            } else {
                break;
            }
        }
    }

    qint64 Number(const QString &what)
    {
        SkipSpace();
        qint64 value = 0;
        int digits = 0;
        while (Pos < Bytes.size() && Bytes[Pos] >= '0' && Bytes[Pos] <= '9') {
            if (++digits > 9)
                Fail(QStringLiteral("%1the %2 is far too large").arg(AtLine(Line), what));
            value = value * 10 + (Bytes[Pos++] - '0');
        }
        if (digits == 0)
            Fail(Pos < Bytes.size()
                     ? QStringLiteral("%1expected the %2, found '%3'").arg(AtLine(Line), what, Shown(Bytes[Pos]))
                     : QStringLiteral("The file ends before the %1 (truncated)").arg(what));
        return value;
    }

    const QByteArray &Bytes;
    qsizetype Pos = 0;
    qint64 Line = 1;
};

// ---- PNG ----

TMyCrossArr ReadPng(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid())
        Fail(QStringLiteral("Cannot read the PNG picture: %1").arg(reader.errorString()));
    if (size.width() < 1 || size.height() < 1 || size.width() > MaxSide || size.height() > MaxSide)
        Fail(QStringLiteral("The picture is %1 x %2 pixels; at most %3 x %3 are accepted")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(MaxSide));
    QImage image = reader.read();
    if (image.isNull())
        Fail(QStringLiteral("Cannot read the PNG picture: %1").arg(reader.errorString()));
    if (image.width() != size.width() || image.height() != size.height())
        Fail(QStringLiteral("The PNG picture's size changed while reading it"));
    image = image.convertToFormat(QImage::Format_ARGB32);
    TMyCrossArr picture = MakeCrossArr(image.height(), image.width());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            // Transparent counts as the paper; of the rest, darker than mid-grey is ink.
            const int luminance2000 = 2 * (299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel));
            picture[y][x] = qAlpha(pixel) >= 128 && luminance2000 < 255 * 1000 ? 1 : 0;
        }
    }
    return picture;
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

} // namespace

int64_t ImportWorkBudget(int32_t rows, int32_t cols)
{
    return std::max<int64_t>(50'000'000, int64_t(400) * rows * cols);
}

TClueLines RowClues(const TMyCrossArr &picture)
{
    TClueLines lines;
    lines.reserve(picture.size());
    for (const auto &row : picture)
        lines.push_back(LineRuns(row));
    return lines;
}

TClueLines ColumnClues(const TMyCrossArr &picture)
{
    TClueLines lines;
    const int32_t cols = picture.empty() ? 0 : int32_t(picture[0].size());
    lines.reserve(size_t(cols));
    for (int32_t c = 0; c < cols; ++c)
        lines.push_back(LineRuns(ColumnCells(picture, c)));
    return lines;
}

TImportedPuzzle SolveImported(const TClueLines &rows, const TClueLines &columns)
{
    TImportedPuzzle puzzle;
    puzzle.Solved = SolveClues(rows, columns, ImportWorkBudget(int32_t(rows.size()), int32_t(columns.size())));
    switch (puzzle.Solved.Status) {
    case TSolveResult::Status::Unique:
        break;
    case TSolveResult::Status::Ambiguous:
        Fail(QStringLiteral("The puzzle has more than one solution (ambiguous)"));
    case TSolveResult::Status::Unsolvable:
        Fail(QStringLiteral("The puzzle has no solution (unsolvable)"));
    case TSolveResult::Status::GaveUp:
        Fail(QStringLiteral("The solver gave up before it could tell whether the puzzle has one solution"));
    }
    puzzle.Picture = puzzle.Solved.Picture;
    return puzzle;
}

TImportFormat DetectFormat(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return TImportFormat::Png;
    if ((bytes.startsWith("P1") || bytes.startsWith("P4"))
        && (bytes.size() == 2 || QByteArrayView(" \t\r\n#").contains(bytes[2])))
        return TImportFormat::Pbm;
    qsizetype first = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (first < bytes.size() && QByteArrayView(" \t\r\n").contains(bytes[first]))
        ++first;
    if (first < bytes.size() && bytes[first] == '<')
        return TImportFormat::Xml;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("non"))
        return TImportFormat::Non;
    if (suffix == QLatin1String("xml"))
        return TImportFormat::Xml;
    if (suffix == QLatin1String("png"))
        return TImportFormat::Png;
    if (suffix == QLatin1String("pbm"))
        return TImportFormat::Pbm;
    return LooksLikeNon(bytes) ? TImportFormat::Non : TImportFormat::TextArt;
}

TImportedPuzzle ImportPuzzle(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.size() > MaxImportBytes)
        Fail(QStringLiteral("The file is %1 bytes; no puzzle needs more than %2").arg(bytes.size()).arg(MaxImportBytes));
    if (bytes.isEmpty())
        Fail(QStringLiteral("The file is empty"));
    const TImportFormat format = DetectFormat(bytes, fileName);
    // Text forms of the largest puzzle take a few megabytes; far more is not a puzzle, and
    // splitting it up would cost many times its size.
    const qint64 textLimit = format == TImportFormat::TextArt ? MaxTextArtBytes : MaxTextBytes;
    if (format != TImportFormat::Xml && format != TImportFormat::Png && bytes.size() > textLimit)
        Fail(QStringLiteral("The file is %1 bytes; a puzzle in this form needs no more than %2")
                 .arg(bytes.size())
                 .arg(textLimit));
    switch (format) {
    case TImportFormat::Non:
        return ImportNon(bytes);
    case TImportFormat::Xml:
        return TXmlPuzzleReader(bytes).Read();
    case TImportFormat::Pbm:
        if (!bytes.startsWith("P1") && !bytes.startsWith("P4"))
            Fail(QStringLiteral("Line 1: not a black-and-white PBM picture (P1 or P4 expected)"));
        return FromPicture(TPbmReader(bytes).Read(), QString());
    case TImportFormat::Png:
        return FromPicture(ReadPng(bytes), QString());
    case TImportFormat::TextArt:
        break;
    }
    TTextLines lines(bytes);
    QStringView line;
    while (lines.Next(line))
        if (lines.Number() > MaxTextArtLines)
            Fail(QStringLiteral("The picture has more than %1 lines").arg(MaxTextArtLines));
    TMyCrossArr picture;
    try {
        picture = ParseTextArt(QString::fromUtf8(bytes));
    } catch (const std::invalid_argument &error) {
        Fail(QString::fromStdString(error.what()));
    }
    return FromPicture(std::move(picture), QString());
}

TImportedPuzzle ImportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot open the file: %1").arg(file.errorString()));
    if (file.size() > MaxImportBytes)
        Fail(QStringLiteral("The file is %1 bytes; no puzzle needs more than %2").arg(file.size()).arg(MaxImportBytes));
    const QByteArray bytes = file.read(MaxImportBytes + 1);
    return ImportPuzzle(bytes, path);
}

QByteArray ExportNon(const TMyCrossArr &picture, const QString &title)
{
    const int32_t height = int32_t(picture.size());
    const int32_t width = picture.empty() ? 0 : int32_t(picture[0].size());
    QString safeTitle = title;
    safeTitle.replace(QLatin1Char('"'), QLatin1Char('\''));
    safeTitle.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QByteArray text;
    text += "title \"" + safeTitle.toUtf8() + "\"\n";
    text += "width " + QByteArray::number(width) + "\n";
    text += "height " + QByteArray::number(height) + "\n\n";
    auto writeLines = [&text](const TClueLines &lines) {
        for (const auto &runs : lines) {
            if (runs.empty()) {
                text += "0\n";
                continue;
            }
            for (size_t i = 0; i < runs.size(); ++i)
                text += (i ? "," : "") + QByteArray::number(runs[i]);
            text += '\n';
        }
    };
    text += "rows\n";
    writeLines(RowClues(picture));
    text += "\ncolumns\n";
    writeLines(ColumnClues(picture));
    text += "\ngoal \"";
    for (const auto &row : picture)
        for (int32_t cell : row)
            text += cell ? '1' : '0';
    text += "\"\n";
    return text;
}

QString SafeFileName(const QString &title)
{
    QString name;
    for (QChar ch : title) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(ch))
            name += QLatin1Char('_');
        else
            name += ch;
    }
    name = name.simplified();
    // A leading dot hides the file.
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(' ')))
        name.remove(0, 1);
    constexpr qsizetype MaxLength = 80;
    if (name.size() > MaxLength) {
        name.truncate(MaxLength);
        if (name.back().isHighSurrogate())
            name.chop(1);
    }
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("puzzle") : name;
}
