// Checks every bundled puzzle: it reads, has one solution that line logic finds, and compiles.
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "core/LineSolver.h"
#include "tools/TextArt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <stdexcept>

namespace {

QString PuzzleFolder()
{
    return QStringLiteral(SETKARIY_SOURCE_DIR "/data/puzzles");
}

QStringList PuzzlePaths()
{
    QStringList paths;
    const QDir dir(PuzzleFolder());
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

TMyCrossArr ReadPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + path.toStdString());
    return ParseTextArt(QString::fromUtf8(file.readAll()));
}

// The digit that ends a stem, or -1 for a crown puzzle, whose stem ends in a letter.
int DifficultyOf(const QString &stem)
{
    const QChar last = stem.back();
    return last.isDigit() ? last.digitValue() : -1;
}

bool IsCrown(const QString &stem)
{
    const int digit = DifficultyOf(stem);
    return digit < 0 || digit >= 6;
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT

private slots:
    void Puzzle_data();
    void Puzzle();
    void LibraryAsAWhole();
};

void TestLibrary::Puzzle_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : PuzzlePaths())
        QTest::newRow(qPrintable(QFileInfo(path).completeBaseName())) << path;
}

void TestLibrary::Puzzle()
{
    QFETCH(QString, path);
    const QString stem = QFileInfo(path).completeBaseName();
    QVERIFY2(!stem.isEmpty() && !stem.contains(QLatin1Char('.')), qPrintable(stem));
    QVERIFY(stem.size() >= 2 && stem.front().isLetter());

    TMyCrossArr picture;
    try {
        picture = ReadPicture(path);
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
    const int32_t rows = int32_t(picture.size());
    const int32_t cols = int32_t(picture[0].size());
    QVERIFY2(rows >= 5 && cols >= 5, qPrintable(QStringLiteral("%1x%2").arg(cols).arg(rows)));
    QVERIFY(rows <= PuzzleFile::MaxLineCount && cols <= PuzzleFile::MaxLineCount);

    std::vector<std::vector<int32_t>> rowRuns, colRuns;
    for (const auto &row : picture)
        rowRuns.push_back(LineRuns(row));
    for (int32_t c = 0; c < cols; ++c)
        colRuns.push_back(LineRuns(ColumnCells(picture, c)));
    const TSolveResult result = SolveClues(rowRuns, colRuns);
    QVERIFY2(result.Status == TSolveResult::Status::Unique, "the clues must have one solution");
    QVERIFY2(result.LineSolvable, "line logic alone must solve it");
    QCOMPARE(result.Guesses, 0);
    QCOMPARE(result.Picture, picture);

    // The build compiles each picture into the bundled library; when it has, the file must
    // be a fresh puzzle of exactly this picture.
    const QString built = QStringLiteral(SETKARIY_BIN_DIR "/Библиотека/") + stem + QStringLiteral(".pxg");
    if (!QFileInfo::exists(built))
        return;
    PuzzleDocument doc;
    try {
        doc = PuzzleFile::ReadFile(built);
    } catch (const EPuzzleError &error) {
        QFAIL(qPrintable(error.Message()));
    }
    QCOMPARE(doc.InProgress, uint8_t(0));
    QCOMPARE(doc.ElapsedTime, 0.0);
    QCOMPARE(doc.ColCount, cols);
    QCOMPARE(doc.RowCount, rows);
    QCOMPARE(doc.Solution, picture);
    QVERIFY(doc == DocumentFromPicture(picture));
}

void TestLibrary::LibraryAsAWhole()
{
    const QStringList paths = PuzzlePaths();
    QVERIFY2(paths.size() >= 15, qPrintable(QString::number(paths.size())));

    bool hasFiveByFive = false, hasLarge = false;
    QList<int> digits;
    int crowns = 0;
    for (const QString &path : paths) {
        const QString stem = QFileInfo(path).completeBaseName();
        const TMyCrossArr picture = ReadPicture(path);
        const size_t rows = picture.size(), cols = picture[0].size();
        hasFiveByFive = hasFiveByFive || (rows == 5 && cols == 5);
        hasLarge = hasLarge || (cols >= 40 && rows >= 30);
        if (IsCrown(stem))
            ++crowns;
        else
            digits << DifficultyOf(stem);
    }
    QVERIFY(hasFiveByFive);
    QVERIFY(hasLarge);
    for (int digit = 0; digit <= 5; ++digit)
        QVERIFY2(digits.contains(digit), qPrintable(QString::number(digit)));
    QVERIFY2(crowns >= 3, qPrintable(QString::number(crowns)));
}

QTEST_APPLESS_MAIN(TestLibrary)
#include "tst_library.moc"
