// Reads webpbn-style XML: clues, colours and a goal image, with no declarations or entities.
#include "tools/ImportParts.h"

#include <QHash>
#include <QStringList>
#include <QXmlStreamReader>

namespace ImportParts {

namespace {

// Real files nest four or five elements deep; anything far deeper is an attack on memory.
constexpr int MaxXmlDepth = 32;

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

} // namespace

TImportedPuzzle ImportXml(const QByteArray &bytes)
{
    return TXmlPuzzleReader(bytes).Read();
}

} // namespace ImportParts
