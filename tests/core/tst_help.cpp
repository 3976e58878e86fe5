// The player's help: finished and wrong clues, the check, the reasoned hint, the run counter.
#include "core/BoardRender.h"
#include "core/ClueHelp.h"
#include "core/Clues.h"
#include "core/Hint.h"
#include "core/RunCounter.h"
#include "tools/TextArt.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// '#' filled, 'x' crossed, anything else empty.
std::vector<int32_t> Line(const char *text)
{
    std::vector<int32_t> marks;
    for (const char *p = text; *p; ++p)
        marks.push_back(*p == '#' ? MarkFilled : *p == 'x' ? MarkCrossed : MarkEmpty);
    return marks;
}

TMyCrossArr Grid(const QStringList &rows)
{
    TMyCrossArr m;
    for (const QString &row : rows)
        m.push_back(Line(row.toLatin1().constData()));
    return m;
}

PuzzleDocument Bundled(const QString &name)
{
    QFile f(QStringLiteral(SETKARIY_SOURCE_DIR "/data/puzzles/") + name);
    f.open(QIODevice::ReadOnly);
    return DocumentFromPicture(ParseTextArt(QString::fromUtf8(f.readAll())));
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void analyseLine_data();
    void analyseLine();
    void helpJudgesOnlyChangedLinesAndNeverThePicture();
    void inkedCluesThroughTheRenderer();
    void wrongMarks_data();
    void wrongMarks();
    void hintIsForcedAndRightOnEveryBundledPuzzle_data();
    void hintIsForcedAndRightOnEveryBundledPuzzle();
    void hintSays_data();
    void hintSays();
    void counter_data();
    void counter();
};

void TestHelp::analyseLine_data()
{
    QTest::addColumn<QString>("marks");
    QTest::addColumn<std::vector<int32_t>>("runs");
    QTest::addColumn<QString>("finished");  // per run, first first; "red" for a contradiction
    QTest::newRow("run closed by a cross") << "##x...." << TRuns{2, 1} << "10";
    QTest::newRow("a full line with no marks is not finished") << "....." << TRuns{5} << "0";
    QTest::newRow("a full line filled") << "#####" << TRuns{5} << "1";
    QTest::newRow("only one place left, ends open") << "..##.." << TRuns{2} << "1";
    QTest::newRow("a block either run could be") << "..#.." << TRuns{1, 1} << "00";
    QTest::newRow("both ends") << "#...#" << TRuns{1, 1} << "11";
    QTest::newRow("later run fixed by the earlier") << "#x#x#" << TRuns{1, 1, 1} << "111";
    QTest::newRow("too long a block") << "###.." << TRuns{2} << "red";
    QTest::newRow("two blocks for one run") << "#.#.." << TRuns{2} << "red";
    QTest::newRow("a cross where the run must go") << "x##x." << TRuns{3} << "red";
    QTest::newRow("a fill in an empty line") << "..#" << TRuns{} << "red";
    QTest::newRow("crosses leave no room") << "x.x.x" << TRuns{2} << "red";
}

void TestHelp::analyseLine()
{
    QFETCH(QString, marks);
    QFETCH(std::vector<int32_t>, runs);
    QFETCH(QString, finished);
    const TLineHelp help = AnalyseLine(Line(marks.toLatin1().constData()), runs);
    QString got;
    for (uint8_t f : help.Finished)
        got += f ? '1' : '0';
    QCOMPARE(help.Contradiction ? QStringLiteral("red") : got, finished);
}

void TestHelp::helpJudgesOnlyChangedLinesAndNeverThePicture()
{
    // Two pictures with the same clues: the help, fed clues and marks only, cannot tell them apart.
    const TMyCrossArr one = Grid({"#.", ".#"});
    const TMyCrossArr other = Grid({".#", "#."});
    QCOMPARE(RowRunsOf(one), RowRunsOf(other));
    TClueHelp help;
    help.SetClues(RowRunsOf(one), ColumnRunsOf(one));
    TMyCrossArr marks = Grid({"..", ".."});
    QCOMPARE(help.Update(marks), 4);
    QCOMPARE(help.Update(marks), 0);
    marks[0][1] = MarkFilled;  // right for the other picture, wrong for the first
    QCOMPARE(help.Update(marks), 2);
    QCOMPARE(help.Ink().Rows[0], std::vector<QRgb>{ClueDoneInk});
    QCOMPARE(help.Ink().Columns[1], std::vector<QRgb>{ClueDoneInk});
    QCOMPARE(help.Ink().Rows[1], std::vector<QRgb>{qRgb(0, 0, 0)});
    marks[0][0] = MarkFilled;
    QCOMPARE(help.Update(marks), 2);
    QCOMPARE(help.Ink().Rows[0], std::vector<QRgb>{ClueWrongInk});
    QVERIFY(help.Row(0).Contradiction);

    // The number next to the grid is the line's last run.
    help.SetClues({TRuns{2, 1}}, {});
    help.Update(Grid({"##x.."}));
    QCOMPARE(help.Ink().Rows[0], (std::vector<QRgb>{qRgb(0, 0, 0), ClueDoneInk}));
}

void TestHelp::inkedCluesThroughTheRenderer()
{
    PuzzleDocument doc = DocumentFromPicture(Grid({"##.#", "....", "#..#"}));
    TClueInk ink;
    ink.Rows = {{ClueDoneInk, ClueDoneInk}, {}, {ClueWrongInk, ClueWrongInk}};
    doc.RowClueStrikes[0][1] = 1;  // struck by hand: stays as struck, not dimmed
    const int a = 40;
    auto render = [&](decltype(&RenderBoard) how, const TClueInk *with) {
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        how(image, 600, 400, doc, a, true, nullptr, with);
        return image;
    };
    const QImage fast = render(&RenderBoard, &ink);
    QCOMPARE(fast, render(&RenderBoardReference, &ink));
    const TBoardOrigins o = ComputeOrigins(600, 400, a, doc.ColCount, doc.RowCount, doc.RowClueDepth, doc.ColClueDepth);
    auto count = [&](const QImage &image, int row, int k, QRgb colour) {
        int n = 0;
        for (int y = o.GridTop + a * row; y < o.GridTop + a * (row + 1); ++y)
            for (int x = o.GridLeft - a * (k + 1); x < o.GridLeft - a * k; ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    QVERIFY(count(fast, 0, 0, ClueDoneInk) > 0);
    QCOMPARE(count(fast, 0, 1, ClueDoneInk), 0);
    QVERIFY(count(fast, 0, 1, qRgb(0, 0, 0)) > 0);
    QVERIFY(count(fast, 2, 0, ClueWrongInk) > 0 && count(fast, 2, 1, ClueWrongInk) > 0);
    // With no ink given, or one that says black everywhere, the picture is the plain one.
    TClueInk black;
    black.Rows = {{qRgb(0, 0, 0), qRgb(0, 0, 0)}};
    QCOMPARE(render(&RenderBoard, &black), render(&RenderBoard, nullptr));
}

void TestHelp::wrongMarks_data()
{
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<int>("wrong");
    // The picture is "#.#" / ".#.".
    QTest::newRow("nothing marked") << QStringList{"...", "..."} << 0;
    QTest::newRow("right fills and crosses") << QStringList{"#x#", "x#x"} << 0;
    QTest::newRow("a fill on white") << QStringList{"##.", "..."} << 1;
    QTest::newRow("a cross on black, a fill on white") << QStringList{"x..", "#.."} << 2;
}

void TestHelp::wrongMarks()
{
    QFETCH(QStringList, marks);
    QFETCH(int, wrong);
    PuzzleDocument doc = DocumentFromPicture(Grid({"#.#", ".#."}));
    doc.Marks = Grid(marks);
    const PuzzleDocument before = doc;
    QCOMPARE(int(WrongMarks(doc).size()), wrong);
    QCOMPARE(doc, before);
    QCOMPARE(CheckText(size_t(wrong)), wrong ? QStringLiteral("Ошибок: %1").arg(wrong) : QStringLiteral("Ошибок нет"));
}

void TestHelp::hintIsForcedAndRightOnEveryBundledPuzzle_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : QDir(QStringLiteral(SETKARIY_SOURCE_DIR "/data/puzzles")).entryList({"*.txt"}))
        QTest::newRow(name.toUtf8().constData()) << name;
}

void TestHelp::hintIsForcedAndRightOnEveryBundledPuzzle()
{
    QFETCH(QString, name);
    PuzzleDocument doc = Bundled(name);
    const std::vector<TRuns> rows = RowRunsOf(doc.Solution);
    const std::vector<TRuns> cols = ColumnRunsOf(doc.Solution);
    // Follow the hints from an empty board: each names an empty cell, agrees with the picture,
    // and the other value would leave its line with no arrangement at all.
    for (int step = 0;; ++step) {
        const THint hint = FindHint(doc, rows, cols);
        if (hint.Kind != THint::TKind::Cell) {
            QVERIFY2(hint.Kind == THint::TKind::Done || hint.Kind == THint::TKind::Stuck, qPrintable(hint.Reason));
            break;
        }
        int32_t &cell = doc.Marks[size_t(hint.Cell.Row)][size_t(hint.Cell.Col)];
        QCOMPARE(cell, int32_t(MarkEmpty));
        QCOMPARE(hint.Value == MarkFilled, doc.Solution[size_t(hint.Cell.Row)][size_t(hint.Cell.Col)] == 1);
        QCOMPARE(hint.Line, hint.IsColumn ? hint.Cell.Col : hint.Cell.Row);
        QVERIFY(!hint.Reason.isEmpty());
        cell = hint.Value == MarkFilled ? MarkCrossed : MarkFilled;
        const std::vector<int32_t> line = hint.IsColumn ? ColumnCells(doc.Marks, hint.Line) : doc.Marks[size_t(hint.Line)];
        QVERIFY2(!PlaceRuns(line, hint.IsColumn ? cols[size_t(hint.Line)] : rows[size_t(hint.Line)]).Fits,
                 qPrintable(hint.Reason));
        cell = hint.Value;
        QVERIFY(step < doc.ColCount * doc.RowCount);
    }
}

void TestHelp::hintSays_data()
{
    QTest::addColumn<QStringList>("picture");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");
    using K = THint::TKind;
    QTest::newRow("overlap of one run")
        << QStringList{"####."} << QStringList{"....."} << int(K::Cell)
        << "Строка 1, клетка 2: закрасить — цифра 4 накрывает её при любом положении";
    QTest::newRow("beyond the last run's reach")
        << QStringList{"##...", ".....", "....."} << QStringList{"##...", "xxxxx", "xxxxx"} << int(K::Cell)
        << "Строка 1, клетка 3: крестик — цифра 2 кончается не позже клетки 2";
    QTest::newRow("a wrong line is all it says")
        << QStringList{"#.#", "..."} << QStringList{"###", "..."} << int(K::Contradiction)
        << "Строка 1: отметки не сходятся с цифрами 1 1";
    QTest::newRow("a wrong mark that fits its lines")
        << QStringList{"#.", ".#"} << QStringList{".#", ".."} << int(K::Mistake)
        << "Среди отметок есть ошибка — найдите её командой «Проверить»";
    QTest::newRow("two pictures fit: stuck")
        << QStringList{"#.", ".#"} << QStringList{"..", ".."} << int(K::Stuck)
        << "Ни одна строка и ни один столбец сами по себе больше ничего не решают";
    QTest::newRow("all marked") << QStringList{"#."} << QStringList{"#x"} << int(K::Done) << "Все клетки уже отмечены";
}

void TestHelp::hintSays()
{
    QFETCH(QStringList, picture);
    QFETCH(QStringList, marks);
    QFETCH(int, kind);
    QFETCH(QString, reason);
    PuzzleDocument doc = DocumentFromPicture(Grid(picture));
    doc.Marks = Grid(marks);
    for (auto &row : doc.Marks)
        row.resize(size_t(doc.ColCount), MarkEmpty);
    const PuzzleDocument before = doc;
    const THint hint = FindHint(doc, RowRunsOf(doc.Solution), ColumnRunsOf(doc.Solution));
    QCOMPARE(int(hint.Kind), kind);
    QCOMPARE(hint.Reason, reason);
    QCOMPARE(doc, before);
}

void TestHelp::counter_data()
{
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("now");
    QTest::addColumn<QString>("stroke");
    QTest::addColumn<QString>("hover");  // over the current cell with no button
    QTest::newRow("seven across") << QStringList{"#######.", "........"} << QPoint(0, 0) << QPoint(6, 0)
                                  << "Отрезок: 7 · Блок: 7" << "Ряд: 7 · Столбец: 1";
    QTest::newRow("backwards, joining a block") << QStringList{"##.####", "#......"} << QPoint(6, 0) << QPoint(3, 0)
                                                << "Отрезок: 4 · Блок: 4" << "Ряд: 4 · Столбец: 1";
    QTest::newRow("down a column") << QStringList{"#..", "#..", "#.."} << QPoint(0, 2) << QPoint(0, 0)
                                   << "Отрезок: 3 · Блок: 3" << "Ряд: 1 · Столбец: 3";
    QTest::newRow("crossing stroke") << QStringList{"xxx"} << QPoint(0, 0) << QPoint(2, 0) << "Отрезок: 3" << "";
}

void TestHelp::counter()
{
    QFETCH(QStringList, marks);
    QFETCH(QPoint, first);
    QFETCH(QPoint, now);
    QFETCH(QString, stroke);
    QFETCH(QString, hover);
    const TMyCrossArr m = Grid(marks);
    QCOMPARE(StrokeCounterText(m, first.x(), first.y(), now.x(), now.y()), stroke);
    QCOMPARE(CellRunsText(m, now.x(), now.y()), hover);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
