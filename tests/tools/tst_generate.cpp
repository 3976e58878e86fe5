// pxgtool generate: the same seed gives the same files, each unique, at the asked level.
#include "PxgtoolRun.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "tools/Difficulty.h"
#include "tools/Importers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestGenerate : public QObject {
    Q_OBJECT

private slots:
    void SameSeedSameUniquePuzzles_data();
    void SameSeedSameUniquePuzzles();
    void BadArguments();
};

void TestGenerate::SameSeedSameUniquePuzzles_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("level");
    QTest::newRow("10x10 level 1") << "10x10" << 1;
    QTest::newRow("20x20 level 3") << "20x20" << 3;
    QTest::newRow("15x12 level 4") << "15x12" << 4;
}

void TestGenerate::SameSeedSameUniquePuzzles()
{
    QFETCH(QString, size);
    QFETCH(int, level);
    QTemporaryDir first, second;
    const QStringList args{"generate", "--count", "3", "--size", size, "--level", QString::number(level), "--seed", "11"};
    const TRun a = Pxgtool(QStringList(args) << "--into" << first.path());
    const TRun b = Pxgtool(QStringList(args) << "--into" << second.path());
    QVERIFY2(a.Code == 0, qPrintable(a.Err));
    QCOMPARE(b.Code, 0);
    QVERIFY2(a.Out.contains(QStringLiteral("candidates")), qPrintable(a.Out));

    const QStringList names = QDir(first.path()).entryList({"*.pxg"}, QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 3);
    QCOMPARE(QDir(second.path()).entryList({"*.pxg"}, QDir::Files, QDir::Name), names);
    QList<TMyCrossArr> seen;
    for (const QString &name : names) {
        QCOMPARE(name.chopped(4).back(), QChar(u'0' + char16_t(level)));
        QFile a(QDir(first.path()).filePath(name)), b(QDir(second.path()).filePath(name));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
        const PuzzleDocument doc = PuzzleFile::ReadFile(a.fileName());
        QCOMPARE(doc.InProgress, uint8_t(0));
        QVERIFY(!seen.contains(doc.Solution));
        seen << doc.Solution;
        const TSolveResult solved = SolveClues(RowClues(doc.Solution), ColumnClues(doc.Solution),
                                               ImportWorkBudget(doc.RowCount, doc.ColCount));
        QVERIFY(solved.Status == TSolveResult::Status::Unique);
        QCOMPARE(solved.Picture, doc.Solution);
        QCOMPARE(EstimateDifficulty(solved, doc.RowCount, doc.ColCount), level);
    }
}

void TestGenerate::BadArguments()
{
    QTemporaryDir dir;
    for (const QStringList &args : {QStringList{"generate", "--into", dir.path(), "--count", "2", "--size", "20", "--level", "3"},
                                    QStringList{"generate", "--into", dir.path(), "--count", "2", "--size", "20x20", "--level", "10"},
                                    QStringList{"generate", "--into", dir.path(), "--count", "0", "--size", "20x20", "--level", "3"}}) {
        const TRun run = Pxgtool(args);
        QCOMPARE(run.Code, 2);
    }
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_APPLESS_MAIN(TestGenerate)
#include "tst_generate.moc"
