// Tests of the line logic, the whole-puzzle solver and the text-art reader.
#include "core/Clues.h"
#include "core/LineSolver.h"
#include "tools/TextArt.h"

#include <QtTest>
#include <functional>
#include <map>
#include <stdexcept>

using TRuns = std::vector<int32_t>;
using TStatus = decltype(TSolveResult::Status);

namespace {

// '?' unknown, '#' black, '.' white.
std::vector<TLineCell> CellsOf(const QString &text)
{
    std::vector<TLineCell> cells;
    for (QChar ch : text)
        cells.push_back(ch == QLatin1Char('#')   ? TLineCell::Black
                        : ch == QLatin1Char('.') ? TLineCell::White
                                                 : TLineCell::Unknown);
    return cells;
}

QString TextOf(const std::vector<TLineCell> &cells)
{
    QString text;
    for (TLineCell cell : cells)
        text += cell == TLineCell::Black ? QLatin1Char('#')
              : cell == TLineCell::White ? QLatin1Char('.')
                                         : QLatin1Char('?');
    return text;
}

TMyCrossArr PictureOf(const QStringList &rows)
{
    TMyCrossArr picture;
    for (const QString &row : rows) {
        std::vector<int32_t> cells;
        for (QChar ch : row)
            cells.push_back(ch == QLatin1Char('#') ? 1 : 0);
        picture.push_back(cells);
    }
    return picture;
}

struct TClues {
    std::vector<TRuns> Rows, Cols;
    bool operator==(const TClues &) const = default;
};

TClues CluesOf(const TMyCrossArr &picture)
{
    TClues clues;
    for (const auto &row : picture)
        clues.Rows.push_back(LineRuns(row));
    const int32_t cols = picture.empty() ? 0 : int32_t(picture[0].size());
    for (int32_t c = 0; c < cols; ++c)
        clues.Cols.push_back(LineRuns(ColumnCells(picture, c)));
    return clues;
}

TSolveResult SolvePicture(const TMyCrossArr &picture, int64_t maxWork = 50'000'000)
{
    const TClues clues = CluesOf(picture);
    return SolveClues(clues.Rows, clues.Cols, maxWork);
}

const char *NameOf(TStatus status)
{
    switch (status) {
    case TStatus::Unique: return "Unique";
    case TStatus::Ambiguous: return "Ambiguous";
    case TStatus::Unsolvable: return "Unsolvable";
    case TStatus::GaveUp: return "GaveUp";
    }
    return "?";
}


// Counts the pictures that fit the clues, up to two: rows from their own placements, top down,
// each column checked against its clue as far as it goes.
int CountSolutions(const TClues &clues, int rows, int cols)
{
    std::vector<std::vector<std::vector<int32_t>>> placements(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (uint32_t mask = 0; mask < (1u << cols); ++mask) {
            std::vector<int32_t> row(static_cast<size_t>(cols));
            for (int c = 0; c < cols; ++c)
                row[c] = (mask >> c) & 1;
            if (LineRuns(row) == clues.Rows[r])
                placements[r].push_back(row);
        }
    TMyCrossArr picture;
    // The column so far must follow its clue: finished runs equal, the open one not too long.
    auto columnsFit = [&](bool complete) {
        for (int c = 0; c < cols; ++c) {
            const std::vector<int32_t> cells = ColumnCells(picture, c);
            TRuns runs = LineRuns(cells);
            const TRuns &want = clues.Cols[c];
            if (complete) {
                if (runs != want)
                    return false;
                continue;
            }
            const bool open = !cells.empty() && cells.back() == 1;
            if (runs.size() > want.size())
                return false;
            for (size_t i = 0; i < runs.size(); ++i) {
                const bool last = i + 1 == runs.size();
                if (last && open ? runs[i] > want[i] : runs[i] != want[i])
                    return false;
            }
        }
        return true;
    };
    int found = 0;
    std::function<void(int)> place = [&](int r) {
        if (found >= 2)
            return;
        if (r == rows) {
            found += columnsFit(true) ? 1 : 0;
            return;
        }
        for (const auto &row : placements[r]) {
            picture.push_back(row);
            if (columnsFit(false))
                place(r + 1);
            picture.pop_back();
        }
    };
    place(0);
    return found;
}

#define COMPARE_STATUS(actual, expected) QCOMPARE(QString(NameOf(actual)), QString(NameOf(expected)))

TRuns RunsOf(const QList<int> &list)
{
    return TRuns(list.begin(), list.end());
}

} // namespace

class TestLineSolver : public QObject {
    Q_OBJECT

private slots:
    void SolveLineSettles_data();
    void SolveLineSettles();
    void SolveLineLongLines();

    void UniqueByLineLogic();
    void AmbiguousDiagonal();
    void Unsolvable_data();
    void Unsolvable();
    void UniqueNeedsSearch();
    void AgreesWithBruteForce_data();
    void AgreesWithBruteForce();
    void AgreesWithBruteForceOnRandomBoards();
    void Deterministic();
    void WideLine();
    void LargeGrid();
    void DeepSearchAndBudget();
    void HardFamily_data();
    void HardFamily();

    void ParseTextArt_data();
    void ParseTextArt();
    void ParseTextArtRejects_data();
    void ParseTextArtRejects();
    void ParseTextArtLimits();
};

void TestLineSolver::SolveLineSettles_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QList<int>>("runs");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QString>("after");

    QTest::newRow("full line") << "?????" << QList<int>{5} << true << "#####";
    QTest::newRow("empty line") << "?????" << QList<int>{} << true << ".....";
    QTest::newRow("overlap 3 in 5") << "?????" << QList<int>{3} << true << "??#??";
    QTest::newRow("no overlap 2 in 5") << "?????" << QList<int>{2} << true << "?????";
    QTest::newRow("packed ones") << "?????" << QList<int>{1, 1, 1} << true << "#.#.#";
    QTest::newRow("packed pair") << "?????" << QList<int>{2, 2} << true << "##.##";
    QTest::newRow("overlap of two runs") << "??????????" << QList<int>{4, 3} << true << "??##???#??";
    QTest::newRow("black reaches") << "?#???" << QList<int>{2} << true << "?#?..";
    QTest::newRow("edge black is first run") << "#????" << QList<int>{1, 2} << true << "#.?#?";
    QTest::newRow("last black only") << "????#" << QList<int>{1} << true << "....#";
    QTest::newRow("run spans two blacks") << "??#??#??" << QList<int>{4} << true << "..####..";
    QTest::newRow("white splits room") << "??.???" << QList<int>{3} << true << "...###";
    QTest::newRow("known cells kept") << "#.#.#" << QList<int>{1, 1, 1} << true << "#.#.#";
    QTest::newRow("zero length, no runs") << "" << QList<int>{} << true << "";
    QTest::newRow("run does not fit") << "??.??" << QList<int>{3} << false << "";
    QTest::newRow("too many blacks") << "#???#" << QList<int>{1} << false << "";
    QTest::newRow("runs longer than line") << "????" << QList<int>{2, 2} << false << "";
    QTest::newRow("zero length, one run") << "" << QList<int>{1} << false << "";
    QTest::newRow("black in empty line") << "..#.." << QList<int>{} << false << "";
    QTest::newRow("zero run is malformed") << "???" << QList<int>{0} << false << "";
}

void TestLineSolver::SolveLineSettles()
{
    QFETCH(QString, before);
    QFETCH(QList<int>, runs);
    QFETCH(bool, fits);
    QFETCH(QString, after);

    std::vector<TLineCell> cells = CellsOf(before);
    int64_t work = 0;
    QCOMPARE(SolveLine(cells, RunsOf(runs), &work), fits);
    if (fits)
        QCOMPARE(TextOf(cells), after);
    QVERIFY(work >= 0);
}

void TestLineSolver::SolveLineLongLines()
{
    // 500 single cells in 999: only one way to fit them.
    std::vector<TLineCell> cells(999, TLineCell::Unknown);
    QVERIFY(SolveLine(cells, TRuns(500, 1)));
    for (size_t i = 0; i < cells.size(); ++i)
        QCOMPARE(cells[i], i % 2 == 0 ? TLineCell::Black : TLineCell::White);

    // A run of 600 in 1000 must cover the middle 200.
    cells.assign(1000, TLineCell::Unknown);
    QVERIFY(SolveLine(cells, TRuns{600}));
    for (size_t i = 0; i < cells.size(); ++i)
        QCOMPARE(cells[i], i >= 400 && i < 600 ? TLineCell::Black : TLineCell::Unknown);

    // One more cell than fits.
    cells.assign(1000, TLineCell::Unknown);
    QVERIFY(!SolveLine(cells, TRuns(501, 1)));
}

void TestLineSolver::UniqueByLineLogic()
{
    const TMyCrossArr picture = PictureOf({
        "..#..",
        ".###.",
        "#####",
        ".#.#.",
        ".###.",
    });
    const TSolveResult result = SolvePicture(picture);
    COMPARE_STATUS(result.Status, TStatus::Unique);
    QVERIFY(result.LineSolvable);
    QCOMPARE(result.Guesses, 0);
    QVERIFY(result.Work > 0);
    QCOMPARE(result.Picture, picture);
}

void TestLineSolver::AmbiguousDiagonal()
{
    const TSolveResult result = SolveClues({{1}, {1}}, {{1}, {1}});
    COMPARE_STATUS(result.Status, TStatus::Ambiguous);
    QVERIFY(!result.LineSolvable);
    QVERIFY(result.Guesses > 0);
    // The picture handed back is one of the two that fit.
    QVERIFY(result.Picture == PictureOf({"#.", ".#"}) || result.Picture == PictureOf({".#", "#."}));
}

void TestLineSolver::Unsolvable_data()
{
    QTest::addColumn<QList<QList<int>>>("rows");
    QTest::addColumn<QList<QList<int>>>("cols");
    QTest::addColumn<bool>("needsGuess");

    using TLines = QList<QList<int>>;
    QTest::newRow("row and column sums differ") << TLines{{1}, {}} << TLines{{}, {}} << false;
    QTest::newRow("row runs longer than the row") << TLines{{3}} << TLines{{1}, {1}} << false;
    QTest::newRow("column runs longer than the column")
        << TLines{{1}, {1}} << TLines{{1, 1}} << false;
    QTest::newRow("zero run") << TLines{{0}} << TLines{{}} << false;
    QTest::newRow("negative run") << TLines{{-1}} << TLines{{}} << false;
    QTest::newRow("sums agree, lines clash") << TLines{{2}, {}} << TLines{{2}, {}} << false;
    // Line logic stalls here; both guesses on the first cell end in a clash.
    QTest::newRow("clash found only by search")
        << TLines{{1, 1}, {1}, {2}, {1}} << TLines{{2}, {1}, {1}, {2}} << true;
}

void TestLineSolver::Unsolvable()
{
    QFETCH(QList<QList<int>>, rows);
    QFETCH(QList<QList<int>>, cols);
    QFETCH(bool, needsGuess);
    std::vector<TRuns> rowRuns, colRuns;
    for (const auto &runs : rows)
        rowRuns.push_back(RunsOf(runs));
    for (const auto &runs : cols)
        colRuns.push_back(RunsOf(runs));

    const TSolveResult result = SolveClues(rowRuns, colRuns);
    COMPARE_STATUS(result.Status, TStatus::Unsolvable);
    QVERIFY(!result.LineSolvable);
    QVERIFY(result.Picture.empty());
    QCOMPARE(result.Guesses > 0, needsGuess);
}

void TestLineSolver::UniqueNeedsSearch()
{
    // Line logic stalls on this one, yet only one picture fits its clues.
    const TMyCrossArr picture = PictureOf({
        ".###.",
        ".###.",
        ".###.",
        "#...#",
        "#...#",
    });
    const TSolveResult result = SolvePicture(picture);
    COMPARE_STATUS(result.Status, TStatus::Unique);
    QVERIFY(!result.LineSolvable);
    QVERIFY(result.Guesses > 0);
    QCOMPARE(result.Picture, picture);
}

void TestLineSolver::AgreesWithBruteForce_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("4x4") << 4 << 4;
    QTest::newRow("3x5") << 3 << 5;
    QTest::newRow("5x3") << 5 << 3;
}

void TestLineSolver::AgreesWithBruteForce()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    const int cells = rows * cols;
    auto pictureOf = [&](uint32_t mask) {
        TMyCrossArr picture = MakeCrossArr(rows, cols);
        for (int i = 0; i < cells; ++i)
            picture[i / cols][i % cols] = (mask >> i) & 1;
        return picture;
    };
    auto keyOf = [](const TClues &clues) {
        std::vector<TRuns> key = clues.Rows;
        key.push_back({-1});
        key.insert(key.end(), clues.Cols.begin(), clues.Cols.end());
        return key;
    };

    // How many pictures share each set of clues.
    std::map<std::vector<TRuns>, int> sharing;
    for (uint32_t mask = 0; mask < (1u << cells); ++mask)
        ++sharing[keyOf(CluesOf(pictureOf(mask)))];

    int needingSearch = 0;
    for (uint32_t mask = 0; mask < (1u << cells); ++mask) {
        const TMyCrossArr picture = pictureOf(mask);
        const TClues clues = CluesOf(picture);
        const TSolveResult result = SolveClues(clues.Rows, clues.Cols);
        const bool unique = sharing[keyOf(clues)] == 1;
        COMPARE_STATUS(result.Status, unique ? TStatus::Unique : TStatus::Ambiguous);
        QVERIFY(CluesOf(result.Picture) == clues);
        if (unique)
            QCOMPARE(result.Picture, picture);
        if (result.LineSolvable)
            QVERIFY(unique && result.Guesses == 0);
        if (unique && !result.LineSolvable)
            ++needingSearch;
    }
    qInfo("%d unique pictures needed a guess", needingSearch);
}

void TestLineSolver::AgreesWithBruteForceOnRandomBoards()
{
    // Boards too big to enumerate whole, at densities from sparse (many solutions, deep search)
    // to dense; the search's probing, skipping and branching all take part.
    uint32_t seed = 2024;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 240; ++i) {
        const int rows = 5 + int(next() % 3), cols = 5 + int(next() % 3);
        const int percent = 25 + int(next() % 50);
        TMyCrossArr picture = MakeCrossArr(rows, cols);
        for (auto &row : picture)
            for (auto &cell : row)
                cell = int(next() % 100) < percent ? 1 : 0;
        const TClues clues = CluesOf(picture);
        const int solutions = CountSolutions(clues, rows, cols);
        const TSolveResult result = SolveClues(clues.Rows, clues.Cols);
        COMPARE_STATUS(result.Status, solutions == 1 ? TStatus::Unique : TStatus::Ambiguous);
        QVERIFY(CluesOf(result.Picture) == clues);
        if (solutions == 1) {
            QCOMPARE(result.Picture, picture);
        } else {
            QVERIFY(CluesOf(result.Other) == clues);
            QVERIFY(result.Other != result.Picture);
        }
        ++counts[result.LineSolvable ? 0 : solutions];
    }
    qInfo("line-solvable %d, unique by search %d, ambiguous %d", counts[0], counts[1], counts[2]);
}

void TestLineSolver::Deterministic()
{
    // A scattered 14x12 picture with many solutions exercises the search on both runs.
    TMyCrossArr picture = MakeCrossArr(12, 14);
    uint32_t seed = 12345;
    for (auto &row : picture)
        for (auto &cell : row) {
            seed = seed * 1103515245u + 12345u;
            cell = (seed >> 16) % 3 == 0 ? 1 : 0;
        }
    const TSolveResult first = SolvePicture(picture);
    const TSolveResult second = SolvePicture(picture);
    QVERIFY(first.Guesses > 0);
    COMPARE_STATUS(second.Status, first.Status);
    QCOMPARE(second.LineSolvable, first.LineSolvable);
    QCOMPARE(second.Work, first.Work);
    QCOMPARE(second.Guesses, first.Guesses);
    QCOMPARE(second.Picture, first.Picture);
    QVERIFY(CluesOf(first.Picture) == CluesOf(picture));
}

void TestLineSolver::WideLine()
{
    // One row 1000 cells wide: runs of 1, 2, 3, ... separated by single whites.
    TMyCrossArr picture = MakeCrossArr(2, 1000);
    int32_t c = 0;
    for (int32_t run = 1; c + run <= 1000; ++run) {
        for (int32_t i = 0; i < run; ++i)
            picture[0][c + i] = 1;
        c += run + 1;
    }
    for (int32_t i = 0; i < 1000; i += 3)
        picture[1][i] = 1;
    const TSolveResult result = SolvePicture(picture);
    COMPARE_STATUS(result.Status, TStatus::Unique);
    QVERIFY(result.LineSolvable);
    QCOMPARE(result.Picture, picture);
}

void TestLineSolver::LargeGrid()
{
    // Bands under a parabola: 1000 x 1000, solved by line logic within the default budget.
    const int32_t n = 1000;
    TMyCrossArr picture = MakeCrossArr(n, n);
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c)
            picture[r][c] = (c * c / n <= r && (r / 7) % 2 == 0) ? 1 : 0;
    QElapsedTimer timer;
    timer.start();
    const TSolveResult result = SolvePicture(picture);
    qInfo("1000x1000: %lld ms, work %lld", qlonglong(timer.elapsed()), qlonglong(result.Work));
    COMPARE_STATUS(result.Status, TStatus::Unique);
    QVERIFY(result.LineSolvable);
    QCOMPARE(result.Picture, picture);
}

void TestLineSolver::DeepSearchAndBudget()
{
    // Every row and column one black cell: any permutation fits, found by guessing as deep
    // as the grid is tall.
    const int32_t n = 120;
    const std::vector<TRuns> ones(n, TRuns{1});
    const TSolveResult result = SolveClues(ones, ones);
    COMPARE_STATUS(result.Status, TStatus::Ambiguous);
    QVERIFY(result.Guesses >= n - 1);
    QCOMPARE(int32_t(result.Picture.size()), n);
    for (int32_t r = 0; r < n; ++r) {
        QCOMPARE(LineRuns(result.Picture[r]), TRuns{1});
        QCOMPARE(LineRuns(ColumnCells(result.Picture, r)), TRuns{1});
    }

    const TSolveResult starved = SolveClues(ones, ones, 1000);
    COMPARE_STATUS(starved.Status, TStatus::GaveUp);
    QVERIFY(!starved.LineSolvable);
    QVERIFY(starved.Picture.empty());
    QVERIFY(starved.Work > 1000);
    QVERIFY(starved.Work < result.Work);
}

void TestLineSolver::HardFamily_data()
{
    // Pictures line logic cannot finish, with the verdict an unlimited run proved on the first
    // line; the rest of the family, up to 100x100, is in bench_solver.
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(SETKARIY_SOURCE_DIR "/tests/tools/data/hard"));
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
    QVERIFY(dir.count() >= 3);
}

void TestLineSolver::HardFamily()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QString verdict = text.section(QLatin1Char('\n'), 0, 0).mid(2).section(QLatin1Char(','), 0, 0);
    QCOMPARE(verdict, QStringLiteral("unique"));
    const TMyCrossArr picture = ::ParseTextArt(text);
    const TSolveResult result = SolvePicture(picture);
    COMPARE_STATUS(result.Status, TStatus::Unique);
    QVERIFY(!result.LineSolvable);
    QCOMPARE(result.Picture, picture);
    // Starved of work, the search must give up rather than guess a verdict.
    COMPARE_STATUS(SolvePicture(picture, result.Work / 2).Status, TStatus::GaveUp);
}

void TestLineSolver::ParseTextArt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("picture");

    QTest::newRow("black characters") << "#Xx1" << QStringList{"####"};
    QTest::newRow("white characters") << "#.-0 #" << QStringList{"#....#"};
    QTest::newRow("all white is allowed") << "...\n. ." << QStringList{"...", "..."};
    QTest::newRow("short rows padded") << "#\n##\n#.#" << QStringList{"#..", "##.", "#.#"};
    QTest::newRow("comments skipped") << "; a cat\n#.\n;#####\n.#\n" << QStringList{"#.", ".#"};
    QTest::newRow("crlf") << "#.\r\n.#\r\n" << QStringList{"#.", ".#"};
    QTest::newRow("empty lines anywhere") << "\n\n#.\n\n.#\n\n\n" << QStringList{"#.", ".#"};
    QTest::newRow("byte order mark") << QString(QChar(0xfeff)) + "#.\n.#" << QStringList{"#.", ".#"};
    QTest::newRow("space row in the middle") << "#\n \n#" << QStringList{"#", ".", "#"};
    QTest::newRow("semicolon only at start") << "#\n;\n#" << QStringList{"#", "#"};
}

void TestLineSolver::ParseTextArt()
{
    QFETCH(QString, text);
    QFETCH(QStringList, picture);
    QCOMPARE(::ParseTextArt(text), PictureOf(picture));
}

void TestLineSolver::ParseTextArtRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("letter") << "#.\n#q#" << QStringList{"Line 2", "column 2", "'q'"};
    QTest::newRow("after comment and blank")
        << "; owl\n\n##\n.#\n..*" << QStringList{"Line 5", "column 3", "'*'"};
    QTest::newRow("tab") << "#\t#" << QStringList{"Line 1", "column 2", "U+0009"};
    QTest::newRow("cyrillic") << "##Х" << QStringList{"Line 1", "column 3", "'Х'"};
    QTest::newRow("semicolon inside") << "#;" << QStringList{"Line 1", "column 2", "';'"};
    QTest::newRow("empty text") << "" << QStringList{"no rows"};
    QTest::newRow("only comments") << "; nothing\n;\n" << QStringList{"no rows"};
}

void TestLineSolver::ParseTextArtRejects()
{
    QFETCH(QString, text);
    QFETCH(QStringList, mentions);
    try {
        ::ParseTextArt(text);
        QFAIL("accepted");
    } catch (const std::invalid_argument &error) {
        const QString message = QString::fromStdString(error.what());
        for (const QString &part : mentions)
            QVERIFY2(message.contains(part), qPrintable(message));
    }
}

void TestLineSolver::ParseTextArtLimits()
{
    const QString widest(1000, QLatin1Char('#'));
    QCOMPARE(::ParseTextArt(widest).at(0).size(), size_t(1000));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ::ParseTextArt(widest + QLatin1Char('.')));

    const QString tallest = QStringList(1000, QStringLiteral("#")).join(QLatin1Char('\n'));
    QCOMPARE(::ParseTextArt(tallest).size(), size_t(1000));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ::ParseTextArt(tallest + QStringLiteral("\n#")));
}

QTEST_APPLESS_MAIN(TestLineSolver)
#include "tst_linesolver.moc"
