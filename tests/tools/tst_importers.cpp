// Tests of reading .non, XML, text-art, PBM and PNG puzzles, and of writing .non.
#include "core/Clues.h"
#include "tools/Importers.h"
#include "tools/TextArt.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <random>
#include <zlib.h>

namespace {

QString DataPath(const QString &name)
{
    return QStringLiteral(SETKARIY_SOURCE_DIR "/tests/tools/data/") + name;
}

QByteArray DataBytes(const QString &name)
{
    QFile file(DataPath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s", qPrintable(name));
    return file.readAll();
}

TMyCrossArr Art(const char *text)
{
    return ParseTextArt(QString::fromUtf8(text));
}

const char *const Mug = ".#.#...\n.#.#...\n#####..\n#####.#\n#####.#\n#####.#\n######.\n.###...\n";
const char *const Fir = ".........\n....#....\n...###...\n..#####..\n...###...\n..#####..\n.#######.\n....#....\n";
const char *const Face = "..#####..\n.#.....#.\n#..#.#..#\n#.......#\n#.#...#.#\n.#.###.#.\n..#####..\n";
const char *const House = "..#..\n.###.\n#####\n#.#.#\n###.#\n";
const char *const Key = ".###.....\n##.##....\n#...#####\n##.##.#.#\n.###..#.#\n";
const char *const Arrow = "...#..\n...##.\n######\n######\n...##.\n...#..\n";
const char *const Boat = "...#....\n...##...\n...###..\n...#....\n########\n.######.\n";

// The message of the refusal, or a note that there was none.
QString Refusal(const QByteArray &bytes, const QString &name)
{
    try {
        ImportPuzzle(bytes, name);
    } catch (const EImportError &error) {
        return error.Message();
    }
    return QStringLiteral("(imported)");
}

QByteArray PngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray XmlWithRows(const QByteArray &rows, const QByteArray &columns)
{
    return "<puzzleset><puzzle type=\"grid\"><clues type=\"rows\">" + rows + "</clues><clues type=\"columns\">"
         + columns + "</clues></puzzle></puzzleset>";
}

} // namespace

class TestImporters : public QObject {
    Q_OBJECT

private slots:
    void ImportsFile_data();
    void ImportsFile();
    void ImportsPng();
    void ImportsLargestPicture();
    void RoundTrip_data();
    void RoundTrip();
    void ExportFormat();
    void Refuses_data();
    void Refuses();
    void RefusesMalformed_data();
    void RefusesMalformed();
    void ImportsVariants_data();
    void ImportsVariants();
    void ImportsUndecided();
    void SurvivesTruncation();
    void SurvivesGarbage();
    void RefusesOversizedInput();
    void DetectsFormat_data();
    void DetectsFormat();
    void SafeNames_data();
    void SafeNames();
};

void TestImporters::ImportsFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<TMyCrossArr>("picture");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("lineSolvable");
    QTest::newRow("non with goal") << "mug.non" << Art(Mug) << "Mug" << true;
    QTest::newRow("non, clues only") << "fir-clues.non" << Art(Fir) << "Fir tree" << true;
    QTest::newRow("non, clues only, search") << "face-clues.non" << Art(Face) << "" << false;
    QTest::newRow("xml with goal") << "house.xml" << Art(House) << "Little house" << true;
    QTest::newRow("xml, clues only") << "key-clues.xml" << Art(Key) << "Old key" << true;
    QTest::newRow("text art") << "arrow.txt" << Art(Arrow) << "" << true;
    QTest::newRow("pbm P1") << "boat.pbm" << Art(Boat) << "" << true;
}

void TestImporters::ImportsFile()
{
    QFETCH(QString, file);
    QFETCH(TMyCrossArr, picture);
    QFETCH(QString, title);
    QFETCH(bool, lineSolvable);
    TImportedPuzzle puzzle;
    try {
        puzzle = ImportFile(DataPath(file));
    } catch (const EImportError &error) {
        QFAIL(qPrintable(error.Message()));
    }
    QCOMPARE(puzzle.Picture, picture);
    QCOMPARE(puzzle.Title, title);
    QCOMPARE(puzzle.Solved.Status, TSolveResult::Status::Unique);
    QCOMPARE(puzzle.Solved.LineSolvable, lineSolvable);
    QCOMPARE(puzzle.Solved.Picture, picture);
    if (!lineSolvable)
        QVERIFY(puzzle.Solved.Guesses > 0);
}

void TestImporters::ImportsPng()
{
    // Every kind of pixel: inks of several colours, papers of several, and transparent ink.
    const TMyCrossArr face = Art(Face);
    QImage image(9, 7, QImage::Format_ARGB32);
    const QRgb inks[] = {qRgb(0, 0, 0), qRgb(0, 0, 140), qRgb(110, 110, 110), qRgb(120, 30, 30)};
    const QRgb papers[] = {qRgb(255, 255, 255), qRgb(200, 200, 200), qRgb(140, 140, 140), qRgba(0, 0, 0, 0),
                           qRgba(0, 0, 0, 100), qRgb(255, 255, 0)};
    int n = 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x, ++n)
            image.setPixel(x, y, face[y][x] ? inks[n % 4] : papers[n % 6]);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("face.png"));
    QVERIFY(image.save(path, "PNG"));
    const TImportedPuzzle puzzle = ImportFile(path);
    QCOMPARE(puzzle.Picture, face);
    QVERIFY(puzzle.Title.isEmpty());

    // Palette and grey-scale files read the same way.
    QCOMPARE(ImportPuzzle(PngBytes(image.convertToFormat(QImage::Format_Indexed8)), "f.png").Picture, face);

    QImage wide(1001, 1, QImage::Format_RGB32);
    wide.fill(Qt::black);
    QVERIFY(Refusal(PngBytes(wide), "wide.png").contains("1001 x 1"));
}

void TestImporters::ImportsLargestPicture()
{
    // 1000 x 1000 is the most the puzzle file holds; all white settles on the first pass.
    const QByteArray goal(1000 * 1000, '0');
    const TImportedPuzzle puzzle = ImportPuzzle("width 1000\nheight 1000\ngoal \"" + goal + "\"\n", "big.non");
    QCOMPARE(puzzle.Picture.size(), size_t(1000));
    QCOMPARE(puzzle.Picture[999].size(), size_t(1000));
    QVERIFY(puzzle.Solved.LineSolvable);
    QVERIFY(Refusal("width 1001\nheight 1000\n", "big.non").contains("Line 1: the width is 1001"));
}

void TestImporters::RoundTrip_data()
{
    QTest::addColumn<QString>("file");
    for (const char *file : {"mug.non", "fir-clues.non", "face-clues.non", "house.xml", "key-clues.xml", "arrow.txt",
                             "boat.pbm"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

void TestImporters::RoundTrip()
{
    QFETCH(QString, file);
    const TImportedPuzzle first = ImportFile(DataPath(file));
    const QByteArray text = ExportNon(first.Picture, QStringLiteral("Картинка"));
    const TImportedPuzzle second = ImportPuzzle(text, QStringLiteral("again.non"));
    QCOMPARE(second.Picture, first.Picture);
    QCOMPARE(second.Title, QStringLiteral("Картинка"));
    // And once more through the clues alone, the way a program without goals reads it.
    QByteArray cluesOnly = text.left(text.indexOf("\ngoal"));
    QCOMPARE(ImportPuzzle(cluesOnly + '\n', QStringLiteral("again.non")).Picture, first.Picture);
}

void TestImporters::ExportFormat()
{
    const TMyCrossArr picture = {{1, 0, 1}, {0, 0, 0}};
    QCOMPARE(ExportNon(picture, QStringLiteral("Two \"dots\"")),
             QByteArray("title \"Two 'dots'\"\nwidth 3\nheight 2\n\nrows\n1,1\n0\n\ncolumns\n1\n0\n1\n\n"
                        "goal \"101000\"\n"));
}

void TestImporters::Refuses_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("goal against clues") << "mug-mismatch.non"
                                        << "Line 8: row 4 is 5, 1 in the clues but 6 in the goal; they disagree";
    QTest::newRow("ambiguous") << "pair-ambiguous.non" << "more than one solution (ambiguous)";
    QTest::newRow("unsolvable") << "block-unsolvable.non" << "no solution (unsolvable)";
    QTest::newRow("coloured") << "coloured.xml" << "coloured puzzles are not supported (a count in 'red')";
}

void TestImporters::Refuses()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    const QString refusal = Refusal(DataBytes(file), file);
    QVERIFY2(refusal.contains(message), qPrintable(refusal));
}

void TestImporters::RefusesMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << QByteArray() << "a.non" << "The file is empty";
    QTest::newRow("non truncated") << QByteArray("width 3\nheight 3\nrows\n1\n1\n") << "a.non"
                                   << "The file ends after 2 of the 3 row clue lines";
    QTest::newRow("non huge width") << QByteArray("width 100000\nheight 5\n") << "a.non"
                                    << "Line 1: the width is 100000; it must be from 1 to 1000";
    QTest::newRow("non zero height") << QByteArray("width 5\nheight 0\n") << "a.non" << "Line 2: the height is 0";
    QTest::newRow("non negative height") << QByteArray("width 5\nheight -4\n") << "a.non"
                                         << "Line 2: the height '-4' is not a whole number";
    QTest::newRow("non endless digits") << QByteArray("width 99999999999999999999999\n") << "a.non"
                                        << "Line 1: the width '99999999999999999999' is not a whole number";
    QTest::newRow("non negative run") << QByteArray("width 2\nheight 2\nrows\n-1\n1\n") << "a.non"
                                      << "Line 4: '-1' is not a run length";
    QTest::newRow("non signs in clue") << QByteArray("width 2\nheight 2\nrows\n1?\n1\n") << "a.non"
                                       << "Line 4: '1?' is not a run length";
    // Every colour dialect says it is coloured rather than failing over a run length.
    QTest::newRow("non letters in clue") << QByteArray("width 2\nheight 2\nrows\n1a\n1\n") << "a.non"
                                         << "Line 4: coloured puzzles are not supported (the clue '1a' gives a colour)";
    QTest::newRow("non colour table")
        << QByteArray("width 5\nheight 1\ncolor white FFFFFF .\ncolor red FF0000 r\ncolor yellow FFFF00 y\n") << "a.non"
        << "Line 5: coloured puzzles are not supported (the file declares the colours red, yellow)";
    QTest::newRow("non named colour clues") << QByteArray("width 5\nheight 1\nrows\nred 1 yellow 4\n") << "a.non"
                                            << "Line 4: coloured puzzles are not supported (the clue 'red' gives a colour)";
    QTest::newRow("non lettered clues") << QByteArray("width 5\nheight 1\nrows\n3b,1d\n") << "a.non"
                                        << "Line 4: coloured puzzles are not supported (the clue '3b' gives a colour)";
    QTest::newRow("non coloured goal") << QByteArray("width 2\nheight 1\ncolor red FF0000 r\ngoal \"r0\"\n") << "a.non"
                                       << "Line 4: coloured puzzles are not supported (the goal uses 'r')";
    QTest::newRow("non run too long") << QByteArray("width 2\nheight 2\nrows\n1\n3\n") << "a.non"
                                      << "Line 5: a run of 3 is longer than the line's 2 cells";
    QTest::newRow("non runs overflow") << QByteArray("width 4\nheight 1\nrows\n2,2\n") << "a.non"
                                       << "Line 4: the runs 2, 2 need 5 cells, but a row has 4";
    QTest::newRow("non zero among runs") << QByteArray("width 4\nheight 1\nrows\n1,0,1\n") << "a.non"
                                         << "Line 4: a run of 0 stands among other runs";
    QTest::newRow("non rows first") << QByteArray("rows\n1\nwidth 1\nheight 1\n") << "a.non"
                                    << "Line 1: 'rows' comes before the width and height";
    QTest::newRow("non no width") << QByteArray("height 1\ngoal 1\n") << "a.non" << "The file gives no width";
    QTest::newRow("non no clues") << QByteArray("width 1\nheight 1\nrows\n1\n") << "a.non"
                                  << "The file has no goal and lacks the column clues";
    QTest::newRow("non goal letters") << QByteArray("width 2\nheight 2\ngoal \"01x0\"\n") << "a.non"
                                      << "Line 3: the goal holds 'x'";
    QTest::newRow("non goal short") << QByteArray("title t\nwidth 2\nheight 2\n\ngoal\n\"010\"\n") << "a.non"
                                    << "Line 6: the goal has 3 cells, but 2 x 2 makes 4";
    QTest::newRow("non twice") << QByteArray("width 2\nwidth 2\n") << "a.non" << "Line 2: the width is given twice";
    QTest::newRow("non totals") << QByteArray("width 2\nheight 2\nrows\n1\n1\ncolumns\n2\n1\n") << "a.non"
                                << "hold 2 black cells but the column clues 3, so the puzzle has no solution "
                                   "(unsolvable)";

    QTest::newRow("xml truncated") << QByteArray("<puzzleset><puzzle><clues type=\"rows\"><line><count>1") << "a.xml"
                                   << "Line 1: the file ends in the middle of the XML (truncated)";
    QTest::newRow("xml not xml") << QByteArray("<<<>>>") << "a.xml" << "Line 1: malformed XML";
    QTest::newRow("xml doctype")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE lol [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n"
                      "<puzzleset><puzzle><title>&b;</title></puzzle></puzzleset>")
        << "a.xml" << "Line 2: document type declarations are not accepted";
    QTest::newRow("xml internal subset")
        << QByteArray("<!DOCTYPE pbn SYSTEM \"pbn-0.3.dtd\" [<!ENTITY a \"b\">]>\n<puzzle/>") << "a.xml"
        << "Line 1: document type declarations are not accepted";
    QTest::newRow("xml entity after external DTD")
        << QByteArray("<!DOCTYPE pbn SYSTEM \"pbn-0.3.dtd\">\n<puzzle><title>&b;</title></puzzle>") << "a.xml"
        << "Line 2: entity references are not accepted";
    // Hostile sizes are refused before the work that would cost minutes or gigabytes.
    QTest::newRow("xml many attributes") << "<puzzle " + [] {
        QByteArray attributes;
        for (int i = 0; i < 1000; ++i)
            attributes += "a" + QByteArray::number(i) + "=\"\" ";
        return attributes;
    }() + "/>" << "a.xml" << "Line 1: an element has more than 16 attributes";
    QTest::newRow("xml long text") << "<puzzle><title>" + QByteArray(9 * 1024 * 1024, 't') + "</title></puzzle>"
                                   << "a.xml" << "Line 1: a text is longer than 8388608 bytes";
    QTest::newRow("xml text between comments")
        << "<puzzle><title>" + (QByteArray(1000, 't') + "<!---->").repeated(8400) + "</title></puzzle>" << "a.xml"
        << "Line 1: a text is longer than 8388608 characters";
    QTest::newRow("xml image of many rows") << "<puzzle><solution><image>" + QByteArray("X|").repeated(1001)
                                                   + "</image></solution></puzzle>"
                                            << "a.xml" << "Line 1: the goal image has more than 1000 rows";
    QTest::newRow("xml image row too long") << "<puzzle><solution><image>|" + QByteArray(1001, 'X')
                                                   + "|</image></solution></puzzle>"
                                            << "a.xml" << "Line 1: row 1 of the goal image has more than 1000 cells";
    QTest::newRow("xml many tags") << "<puzzle>" + QByteArray("<a/>").repeated(2'200'000) + "</puzzle>" << "a.xml"
                                   << "the file holds more than 2200000 tags";
    QTest::newRow("xml in UTF-16") << QByteArray(reinterpret_cast<const char *>(u"<puzzle/>"), 18) << "a.xml"
                                   << "the file holds a NUL byte; only UTF-8 XML is read";
    QTest::newRow("xml entity") << QByteArray("<puzzleset><puzzle><title>&nope;</title></puzzle></puzzleset>")
                                << "a.xml" << "Line 1:";
    QTest::newRow("xml nesting") << QByteArray("<puzzleset>").repeated(100) << "a.xml"
                                 << "Line 1: elements are nested more than 32 deep";
    QTest::newRow("xml negative count")
        << XmlWithRows("<line><count>-2</count></line>", "<line><count>1</count></line>") << "a.xml"
        << "Line 1: the count '-2' is not a run length";
    QTest::newRow("xml huge count")
        << XmlWithRows("<line><count>5000</count></line>", "<line><count>1</count></line>") << "a.xml"
        << "the count '5000' is not a run length (a whole number from 1 to 1000)";
    QTest::newRow("xml count overflows")
        << XmlWithRows("\n<line><count>2</count><count>1</count></line>", "<line><count>1</count></line><line/>")
        << "a.xml" << "Line 2: the runs 2, 1 need 4 cells, but a row has 2";
    QTest::newRow("xml too many lines")
        << XmlWithRows(QByteArray("<line/>").repeated(1001), "<line/>") << "a.xml" << "more than 1000 clue lines";
    QTest::newRow("xml ragged image")
        << QByteArray("<puzzle><solution><image>\n|X.|\n|X|\n</image></solution></puzzle>") << "a.xml"
        << "Line 1: row 2 of the goal image has 1 cells, row 1 has 2";
    QTest::newRow("xml unknown image character")
        << QByteArray("<puzzle><solution><image>|X?|</image></solution></puzzle>") << "a.xml"
        << "the goal image holds '?', which no colour stands for";
    QTest::newRow("xml coloured image")
        << QByteArray("<puzzle><color name=\"red\" char=\"r\">f00</color><solution><image>|Xr|</image>"
                      "</solution></puzzle>")
        << "a.xml" << "coloured puzzles are not supported (the goal image uses 'red')";
    QTest::newRow("xml image against clues")
        << QByteArray("<puzzle><clues type=\"rows\"><line><count>1</count></line></clues>"
                      "<solution><image>|XX|</image></solution></puzzle>")
        << "a.xml" << "row 1 is 1 in the clues but 2 in the goal image; they disagree";
    QTest::newRow("xml wrong root") << QByteArray("<html><body/></html>") << "a.xml"
                                    << "<html> is not a puzzle";
    QTest::newRow("xml two puzzles")
        << QByteArray("<puzzleset><puzzle><solution><image>|X|</image></solution></puzzle>\n<puzzle/></puzzleset>")
        << "a.xml" << "Line 2: the file holds more than one puzzle";
    QTest::newRow("xml triddler") << QByteArray("<puzzle type=\"triddler\"/>") << "a.xml"
                                  << "puzzles of type 'triddler' are not supported";
    QTest::newRow("xml nothing") << QByteArray("<puzzleset><puzzle><title>x</title></puzzle></puzzleset>") << "a.xml"
                                 << "The puzzle has no goal image and lacks the row clues";
    QTest::newRow("xml garbage after") << QByteArray("<puzzle><solution><image>|X|</image></solution></puzzle>junk")
                                       << "a.xml" << "Line 1: malformed XML";

    QTest::newRow("pbm no height") << QByteArray("P1\n3\n") << "a.pbm" << "The file ends before the height";
    QTest::newRow("pbm short") << QByteArray("P1\n2 2\n1 0 1\n") << "a.pbm" << "The file ends after 3 of 4 pixels";
    QTest::newRow("pbm wide") << QByteArray("P1\n2000 2\n") << "a.pbm"
                              << "Line 2: the width is 2000; it must be from 1 to 1000";
    QTest::newRow("pbm zero") << QByteArray("P4 0 5\n") << "a.pbm" << "the width is 0";
    QTest::newRow("pbm bad pixel") << QByteArray("P1 2 2\n1 2 0 1") << "a.pbm"
                                   << "Line 2: '2' is not a pixel; plain PBM pixels are 0 and 1";
    QTest::newRow("pbm letters") << QByteArray("P1 two 2\n") << "a.pbm" << "Line 1: expected the width, found 't'";
    QTest::newRow("pbm packed short") << QByteArray("P4\n8 2\n\x81") << "a.pbm"
                                      << "The file ends after 1 of 2 bytes of pixels";
    QTest::newRow("pbm grey") << QByteArray("P2\n1 1\n255\n0\n") << "a.pbm" << "P1 or P4 expected";
    QTest::newRow("png inflating past its size") << [] {
        // A 1 x 1 picture whose image data unpacks to a megabyte.
        QByteArray png = PngBytes(QImage(1, 1, QImage::Format_Mono));
        const QByteArray data = qCompress(QByteArray(1 << 20, '\0')).mid(4);
        QByteArray chunk = "IDAT" + data;
        QByteArray length(4, '\0');
        qToBigEndian<quint32>(quint32(data.size()), length.data());
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const uchar *>(chunk.constData()), uInt(chunk.size()))),
                              crc.data());
        const qsizetype idat = png.indexOf("IDAT") - 4;
        const qsizetype next = idat + 12 + qFromBigEndian<quint32>(png.constData() + idat);
        return png.left(idat) + length + chunk + crc + png.mid(next);
    }() << "a.png" << "The PNG picture holds more image data than its 1 x 1 pixels need";
    QTest::newRow("png garbage") << QByteArray("\x89PNG\r\n\x1a\n not really") << "a.png"
                                 << "Cannot read the PNG picture";
    QTest::newRow("text garbage") << QByteArray("#.#\n#?#\n") << "a.txt" << "Line 2, column 2: unexpected character '?'";
    // Quoted input is shown, never passed through: a NUL would end the message where it is printed.
    QTest::newRow("non control characters") << QByteArray("width 5\0\x1b[2J\nheight 5\n", 20) << "a.non"
                                             << "Line 1: the width '5\\x00\\x1b[2J' is not a whole number";
    // The reader hands each reference over as a token of its own, as it does a tag.
    QTest::newRow("xml references") << "<puzzleset>" + ("<t>" + QByteArray("&amp;").repeated(1000) + "</t>").repeated(2300) + "</puzzleset>"
                                    << "a.xml" << "more than 2200000 tags and references";
}

void TestImporters::RefusesMalformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString refusal = Refusal(bytes, name);
    QVERIFY2(refusal.contains(message), qPrintable(refusal));
}

void TestImporters::ImportsVariants_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TMyCrossArr>("picture");
    QTest::addColumn<QString>("importedName");
    const TMyCrossArr house = Art(House);
    QTest::newRow("non keywords, CRLF, comments")
        << QByteArray("# drawn by hand\r\ncatalogue \"h-1\"\r\ntitle \"House\"\r\nby \"Anna\"\r\ncopyright \"(c) Anna\"\r\n"
                      "license CC-BY\r\n\r\nwidth 5\r\nheight 5\r\nrows\r\n1\r\n# roof\r\n3\r\n5\r\n1 1 1\r\n3 1\r\n"
                      "\r\ncolumns\r\n3\r\n2,1\r\n5\r\n2\r\n3\r\n")
        << "a.non" << house << "House (Anna)";
    QTest::newRow("non solution in single quotes") << QByteArray("width 5\nheight 5\nsolution '0010001110111111010111101'\n")
                                                  << "a.non" << house << "";
    QTest::newRow("non goal one row a line")
        << QByteArray("title House\nwidth 5\nheight 5\ngoal\n00100\n01110\n11111\n10101\n11101\n") << "a.non" << house
        << "House";
    QTest::newRow("non empty lines")
        << QByteArray("width 3\nheight 2\nrows\n0\n1, 1\ncolumns\n1\n0\n1\n") << "a.non" << TMyCrossArr{{0, 0, 0}, {1, 0, 1}}
        << "";
    QTest::newRow("webpbn export")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE pbn SYSTEM \"https://webpbn.com/pbn-0.3.dtd\">\n"
                      "<puzzleset><source>here</source><puzzle type=\"grid\" defaultcolor=\"black\">\n"
                      "<source>here</source><id>#1</id><title>Pair</title><author>Anna</author><copyright>&#169; Anna</copyright>\n"
                      "<color name=\"white\" char=\".\">fff</color><color name=\"black\" char=\"X\">000</color>\n"
                      "<clues type=\"columns\"><line><count>1</count></line><line/><line><count>1</count></line></clues>\n"
                      "<clues type=\"rows\"><line/><line><count>1</count><count>1</count></line></clues>\n"
                      "<solution type=\"saved\"><image>|...|\n|X..|</image></solution>\n"
                      "<solution type=\"goal\"><image>|...|\n|X.X|</image></solution>\n"
                      "<note>Two dots</note></puzzle></puzzleset>\n")
        << "a.xml" << TMyCrossArr{{0, 0, 0}, {1, 0, 1}} << "Pair (Anna)";
    QTest::newRow("webpbn single grey colour")
        << QByteArray("<puzzleset><puzzle type=\"grid\" defaultcolor=\"color1\" backgroundcolor=\"white\">"
                      "<color name=\"white\" char=\".\">FFFFFF</color><color name=\"color1\" char=\"a\">CCCCCC</color>"
                      "<clues type=\"columns\"><line><count>1</count></line><line/><line><count color=\"color1\">1</count></line>"
                      "</clues><clues type=\"rows\"><line/><line><count>1</count><count>1</count></line></clues>"
                      "<solution><image>|...|a.a|</image></solution></puzzle></puzzleset>")
        << "a.xml" << TMyCrossArr{{0, 0, 0}, {1, 0, 1}} << "";
}

void TestImporters::ImportsVariants()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(TMyCrossArr, picture);
    QFETCH(QString, importedName);
    TImportedPuzzle puzzle;
    try {
        puzzle = ImportPuzzle(bytes, name);
    } catch (const EImportError &error) {
        QFAIL(qPrintable(error.Message()));
    }
    QCOMPARE(puzzle.Picture, picture);
    QCOMPARE(ImportedName(puzzle), importedName);
}

void TestImporters::ImportsUndecided()
{
    // A budget of a few operations cannot settle the face, which needs search.
    const TImportedPuzzle puzzle = ImportPuzzle(Face, "face.txt", 50);
    QCOMPARE(puzzle.Solved.Status, TSolveResult::Status::GaveUp);
    QCOMPARE(puzzle.Picture, Art(Face));
    QVERIFY2(puzzle.Warning.contains("undecided"), qPrintable(puzzle.Warning));
    QVERIFY(ImportPuzzle(Face, "face.txt").Warning.isEmpty());
    // Without a picture nothing is proved, so the clues alone are still refused.
    const QByteArray text = ExportNon(Art(Face), QStringLiteral("Face"));
    try {
        ImportPuzzle(text.left(text.indexOf("\ngoal")) + '\n', "face.non", 50);
        QFAIL("imported");
    } catch (const EImportError &error) {
        QVERIFY2(error.Message().contains("gave up"), qPrintable(error.Message()));
    }
}

void TestImporters::SurvivesTruncation()
{
    // Every prefix of every sample either imports or is refused with a message.
    for (const char *file : {"mug.non", "fir-clues.non", "house.xml", "key-clues.xml", "coloured.xml", "boat.pbm"}) {
        const QByteArray bytes = DataBytes(QString::fromLatin1(file));
        for (qsizetype length = 0; length < bytes.size(); ++length) {
            try {
                const TImportedPuzzle puzzle = ImportPuzzle(bytes.left(length), QString::fromLatin1(file));
                QVERIFY(!puzzle.Picture.empty());
            } catch (const EImportError &error) {
                QVERIFY(!error.Message().isEmpty());
            }
        }
    }
    // Packed PBM: every prefix of a valid file short of the whole is refused.
    const QByteArray packed = QByteArray("P4\n# packed\n10 3\n") + QByteArray("\xff\xc0\x80\x00\xff\xc0", 6);
    QCOMPARE(ImportPuzzle(packed, "p.pbm").Picture,
             (TMyCrossArr{{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                          {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}}));
    for (qsizetype length = 0; length < packed.size(); ++length)
        QVERIFY(!Refusal(packed.left(length), "p.pbm").isEmpty());
}

void TestImporters::SurvivesGarbage()
{
    // Random bytes behind each format's opening, and random flips inside valid files. The PNG
    // library prints every broken chunk it meets, so PNG gets only a few rounds.
    std::mt19937 engine(20240611);
    const QByteArray openings[] = {"", "P1\n", "P4\n5 5\n", "<puzzleset>", "width 5\nheight 5\nrows\n"};
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = round < 3 ? QByteArray("\x89PNG\r\n\x1a\n") : openings[round % 5];
        const int length = int(engine() % 200);
        for (int i = 0; i < length; ++i)
            bytes += char(engine() % 256);
        try {
            ImportPuzzle(bytes, QStringLiteral("g.non"));
        } catch (const EImportError &) {
        }
    }
    for (const char *file : {"mug.non", "house.xml", "key-clues.xml", "boat.pbm", "arrow.txt"}) {
        const QByteArray original = DataBytes(QString::fromLatin1(file));
        for (int round = 0; round < 100; ++round) {
            QByteArray bytes = original;
            for (int flips = 0; flips < 3; ++flips)
                bytes[qsizetype(engine() % bytes.size())] = char(engine() % 256);
            try {
                ImportPuzzle(bytes, QString::fromLatin1(file));
            } catch (const EImportError &) {
            }
        }
    }
}

void TestImporters::RefusesOversizedInput()
{
    const QByteArray huge(MaxImportBytes + 1, '#');
    QVERIFY(Refusal(huge, "huge.txt").contains("no puzzle needs more than"));
    QVERIFY(Refusal(QByteArray(5 * 1024 * 1024, '.'), "wide.txt").contains("needs no more than"));
    QVERIFY(Refusal(QByteArray(200'000, '\n') + "#\n", "tall.txt").contains("more than 100000 lines"));
    // Line breaks and runs by the million are walked through, not stored.
    QVERIFY(Refusal("width 5\nheight 5\n" + QByteArray(10'000'000, '\n'), "blank.non")
                .contains("The file has no goal and lacks the row clues"));
    QVERIFY(Refusal("width 1000\nheight 1\nrows\n" + QByteArray("1,").repeated(5'000'000), "runs.non")
                .contains("Line 4: more runs than the line has cells"));
    // A header that claims the largest size but gives nothing is refused, not waited on.
    QVERIFY(Refusal("width 1000\nheight 1000\nrows\n", "a.non").contains("The file ends after 0 of the 1000 row"));
}

void TestImporters::DetectsFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TImportFormat>("format");
    QTest::newRow("non by content") << QByteArray("\xef\xbb\xbfTitle x\nWIDTH 3\n") << "x.txt" << TImportFormat::Non;
    QTest::newRow("non by name") << QByteArray("something") << "x.non" << TImportFormat::Non;
    QTest::newRow("xml by content") << QByteArray("  \n<?xml version=\"1.0\"?>") << "x.non" << TImportFormat::Xml;
    QTest::newRow("xml by name") << QByteArray("garbage") << "x.XML" << TImportFormat::Xml;
    QTest::newRow("png by content") << QByteArray("\x89PNG\r\n\x1a\nrest") << "x.txt" << TImportFormat::Png;
    QTest::newRow("pbm plain") << QByteArray("P1\n1 1\n1") << "x" << TImportFormat::Pbm;
    QTest::newRow("pbm packed") << QByteArray("P4 1 1\n\x80") << "x.txt" << TImportFormat::Pbm;
    QTest::newRow("text art") << QByteArray("#.#\n.#.\n") << "x.txt" << TImportFormat::TextArt;
    QTest::newRow("text art by default") << QByteArray("P1ain words") << "x" << TImportFormat::TextArt;
}

void TestImporters::DetectsFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(TImportFormat, format);
    QCOMPARE(DetectFormat(bytes, name), format);
}

void TestImporters::SafeNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Кот на крыше" << "Кот на крыше";
    QTest::newRow("separators") << "a/b\\c:d*e?f\"g<h>i|j" << "a_b_c_d_e_f_g_h_i_j";
    QTest::newRow("controls") << "tab\there\nnewline" << "tab_here_newline";
    QTest::newRow("spaces") << "   many    spaces  " << "many spaces";
    QTest::newRow("dots") << "...hidden..." << "hidden";
    QTest::newRow("empty") << "" << "puzzle";
    QTest::newRow("only dots") << " . . " << "puzzle";
    QTest::newRow("long") << QString(200, QLatin1Char('x')) << QString(80, QLatin1Char('x'));
}

void TestImporters::SafeNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(SafeFileName(title), name);
}

QTEST_GUILESS_MAIN(TestImporters)
#include "tst_importers.moc"
