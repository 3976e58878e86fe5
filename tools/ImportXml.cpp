// Reads webpbn-style XML: clues, colours and a goal image, with no declarations or entities.
#include "tools/ImportParts.h"

#include <QHash>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>

namespace ImportParts {

namespace {

// Real files nest four or five elements deep; anything far deeper is an attack on memory.
constexpr int MaxXmlDepth = 32;
// Real elements carry up to three attributes; the XML reader checks each one against all
// before it, so thousands cost it minutes, and a file of tags with sixty each takes seconds.
constexpr int MaxXmlAttributes = 16;
// The largest goal image, generously indented, takes about 2 MB. A text, comment or tag far
// longer is no puzzle, and the reader would hold it several times over.
constexpr qsizetype MaxXmlRun = 8 * 1024 * 1024;
// The largest puzzle with the most counts a line can hold, 1000 x 1000 of alternate cells, has
// a million counts: two million tags. Far more only makes the reader take many seconds.
constexpr qint64 MaxXmlMarkup = 2'200'000;
// Each count of that largest puzzle may name its colour.
constexpr qint64 MaxXmlAttributesInAll = 1'100'000;

// One pass over the raw markup before the XML reader sees it, refusing what would cost that
// reader far more than the file's size.
void CheckMarkup(const QByteArray &bytes)
{
    const char *const p = bytes.constData();
    const qsizetype n = bytes.size();
    qint64 line = 1;
    qsizetype textStart = 0;
    auto tooLong = [](qint64 at, const char *what) {
        Fail(AtLine(at) + QStringLiteral("%1 is longer than %2 bytes; no puzzle needs one").arg(QLatin1String(what)).arg(MaxXmlRun));
    };
    // Past the given end marker, counting lines; the rest of the file when it never comes.
    auto skipPast = [&](qsizetype from, const char *end, qint64 at, const char *what) {
        const qsizetype found = bytes.indexOf(end, from);
        const qsizetype stop = found < 0 ? n : found + qsizetype(strlen(end));
        if (stop - from > MaxXmlRun)
            tooLong(at, what);
        line += std::count(p + from, p + stop, '\n');
        return stop;
    };
    qsizetype i = 0;
    qint64 markup = 0, attributesInAll = 0;
    while (i < n) {
        const char ch = p[i];
        if (ch == '\0')
            Fail(AtLine(line) + QStringLiteral("the file holds a NUL byte; only UTF-8 XML is read"));
        if (ch != '<') {
            if (ch == '\n')
                ++line;
            // The reader hands each reference in a text over on its own, as a tag costs.
            if (ch == '&' && ++markup > MaxXmlMarkup)
                Fail(AtLine(line) + QStringLiteral("the file holds more than %1 tags and references; no puzzle needs as many").arg(MaxXmlMarkup));
            if (++i - textStart > MaxXmlRun)
                tooLong(line, "a text");
            continue;
        }
        const qint64 at = line;
        if (++markup > MaxXmlMarkup)
            Fail(AtLine(at) + QStringLiteral("the file holds more than %1 tags and references; no puzzle needs as many").arg(MaxXmlMarkup));
        const QByteArrayView rest(p + i, n - i);
        if (rest.startsWith("<!--")) {
            i = skipPast(i + 4, "-->", at, "a comment");
        } else if (rest.startsWith("<![CDATA[")) {
            i = skipPast(i + 9, "]]>", at, "a text");
        } else if (rest.startsWith("<?")) {
            i = skipPast(i + 2, "?>", at, "a processing instruction");
        } else {
            // A tag or a document type declaration, up to its '>' outside quotes.
            const bool declaration = rest.startsWith("<!");
            const qsizetype start = i;
            char quote = 0;
            int attributes = 0;
            for (++i; i < n && (quote || p[i] != '>'); ++i) {
                const char c = p[i];
                if (c == '\n')
                    ++line;
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (declaration && c == '[') {
                    Fail(AtLine(at) + QStringLiteral("document type declarations are not accepted when they declare "
                                                     "anything (an internal subset); one naming an external DTD is"));
                } else if (c == '=') {
                    if (++attributes > MaxXmlAttributes)
                        Fail(AtLine(at) + QStringLiteral("an element has more than %1 attributes").arg(MaxXmlAttributes));
                    if (++attributesInAll > MaxXmlAttributesInAll)
                        Fail(AtLine(at) + QStringLiteral("the file holds more than %1 attributes; no puzzle needs as many")
                                              .arg(MaxXmlAttributesInAll));
                }
                if (i - start > MaxXmlRun)
                    tooLong(at, "a tag");
            }
            ++i;
        }
        textStart = i;
    }
}

class TXmlPuzzleReader {
public:
    TXmlPuzzleReader(const QByteArray &bytes, int64_t maxWork) : Bytes(bytes), Xml(bytes), MaxWork(maxWork)
    {
        // Puzzles use no namespaces; resolving prefixes looks each one up through every
        // declaration in force, so thousands of them nested make each tag cost thousands.
        Xml.setNamespaceProcessing(false);
    }

    TImportedPuzzle Read()
    {
        CheckMarkup(Bytes);
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
            // Declarations are where entity bombs live, and puzzles need none; a DTD named by
            // its address only is never fetched.
            if (!Xml.entityDeclarations().isEmpty() || !Xml.notationDeclarations().isEmpty()
                || Xml.text().contains(QLatin1Char('[')))
                FailHere(QStringLiteral("document type declarations are not accepted"));
            break;
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
            if (token == QXmlStreamReader::Characters) {
                text += Xml.text();
                if (text.size() > MaxXmlRun)
                    FailHere(QStringLiteral("a text is longer than %1 characters; no puzzle needs one").arg(MaxXmlRun));
            }
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
            } else if (name == QLatin1String("author")) {
                Author = Text().simplified();
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
                if (!UseInk(color))
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

    // The one colour besides the background, whatever it is called, is black; a second one
    // makes the puzzle coloured.
    bool UseInk(const QString &color)
    {
        if (Ink.isEmpty())
            Ink = color;
        return color == Ink;
    }

    // Walked row by row rather than split up front, so an image of millions of tiny rows is
    // refused as soon as it passes the largest size.
    TMyCrossArr ImagePicture()
    {
        TMyCrossArr picture;
        std::vector<int32_t> row;
        auto endRow = [&] {
            if (row.empty())
                return;
            if (!picture.empty() && row.size() != picture[0].size())
                Fail(AtLine(ImageLine) + QStringLiteral("row %1 of the goal image has %2 cells, row 1 has %3")
                                             .arg(picture.size() + 1)
                                             .arg(row.size())
                                             .arg(picture[0].size()));
            if (picture.size() == size_t(MaxSide))
                Fail(AtLine(ImageLine) + QStringLiteral("the goal image has more than %1 rows").arg(MaxSide));
            picture.push_back(std::move(row));
            row.clear();
        };
        for (QChar ch : *Image) {
            if (ch.isSpace())
                continue;
            if (ch == QLatin1Char('|')) {
                endRow();
                continue;
            }
            if (row.size() == size_t(MaxSide))
                Fail(AtLine(ImageLine) + QStringLiteral("row %1 of the goal image has more than %2 cells")
                                             .arg(picture.size() + 1)
                                             .arg(MaxSide));
            const auto color = CharColor.constFind(ch);
            if (color == CharColor.cend())
                Fail(AtLine(ImageLine) + QStringLiteral("the goal image holds '%1', which no colour stands for").arg(ch));
            if (*color == Background)
                row.push_back(0);
            else if (UseInk(*color))
                row.push_back(1);
            else
                Fail(AtLine(ImageLine)
                     + QStringLiteral("coloured puzzles are not supported (the goal image uses '%1')").arg(*color));
        }
        endRow();
        if (picture.empty())
            Fail(AtLine(ImageLine) + QStringLiteral("the goal image is empty"));
        return picture;
    }

    TImportedPuzzle Assemble()
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
            TImportedPuzzle puzzle = FromPicture(std::move(picture), Title, MaxWork);
            puzzle.Author = Author;
            return puzzle;
        }
        if (!Rows || !Columns)
            Fail(QStringLiteral("The puzzle has no goal image and lacks the %1 clues")
                     .arg(!Rows ? QStringLiteral("row") : QStringLiteral("column")));
        CheckTotals(Rows->Lines, Columns->Lines);
        TImportedPuzzle puzzle = SolveImported(Rows->Lines, Columns->Lines, MaxWork);
        puzzle.Title = Title;
        puzzle.Author = Author;
        return puzzle;
    }

    const QByteArray &Bytes;
    QXmlStreamReader Xml;
    const int64_t MaxWork;
    int Depth = 0;
    bool Found = false;
    QString Title, Author, Background, InkDefault, Ink;
    QHash<QChar, QString> CharColor;
    std::optional<TClueSet> Rows, Columns;
    std::optional<QString> Image;
    qint64 ImageLine = 0;
};

} // namespace

TImportedPuzzle ImportXml(const QByteArray &bytes, int64_t maxWork)
{
    return TXmlPuzzleReader(bytes, maxWork).Read();
}

} // namespace ImportParts
