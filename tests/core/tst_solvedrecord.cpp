// The record of solved puzzles: identity by clues, best times, atomic writes, damaged files set aside.
#include "core/Clues.h"
#include "core/SolvedRecord.h"
#include "format/PuzzleFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSolvedRecord : public QObject {
    Q_OBJECT

private slots:
    void identityIsTheCluesNotTheFile();
    void entriesComeBackWithTheBestTime();
    void damagedFileIsSetAsideAndANewOneStarted_data();
    void damagedFileIsSetAsideAndANewOneStarted();
    void durations();

private:
    static TSolvedEntry Entry(const TMyCrossArr &picture, double seconds, const QString &name = QStringLiteral("a 3.pxg"))
    {
        return TSolvedEntry{PuzzleIdentity(picture), QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC), seconds,
                            int32_t(picture[0].size()), int32_t(picture.size()), 3, name};
    }
    QTemporaryDir dir;
};

void TestSolvedRecord::identityIsTheCluesNotTheFile()
{
    const TMyCrossArr a{{1, 0, 1}, {0, 1, 0}};
    QCOMPARE(PuzzleIdentity(a), PuzzleIdentity(TMyCrossArr{{1, 0, 1}, {0, 1, 0}}));
    QCOMPARE(PuzzleIdentity(a).size(), 40);
    QVERIFY(PuzzleIdentity(a) != PuzzleIdentity(TMyCrossArr{{1, 0, 1}, {1, 0, 0}}));
    // Same rows, one more empty column: another puzzle.
    QVERIFY(PuzzleIdentity(a) != PuzzleIdentity(TMyCrossArr{{1, 0, 1, 0}, {0, 1, 0, 0}}));
    // Two pictures with the same clues are one puzzle to the player.
    QCOMPARE(PuzzleIdentity(TMyCrossArr{{1, 0}, {0, 1}}), PuzzleIdentity(TMyCrossArr{{0, 1}, {1, 0}}));
}

void TestSolvedRecord::entriesComeBackWithTheBestTime()
{
    const QString path = dir.filePath("sub/solved.txt");
    const TMyCrossArr a{{1, 0, 1}, {0, 1, 0}}, b{{1, 1}, {0, 1}};
    TSolvedRecord record(path);
    QCOMPARE(record.Load(), QString());
    QCOMPARE(record.Best(PuzzleIdentity(a)), -1.0);
    record.Add(Entry(a, 95, QStringLiteral("tab\there 3.pxg")));
    record.Add(Entry(a, 61));
    record.Add(Entry(b, 7));
    TSolvedRecord again(path);
    QCOMPARE(again.Load(), QString());
    QCOMPARE(again.Entries().size(), 3);
    QCOMPARE(again.Entries()[1], Entry(a, 61));
    QCOMPARE(again.Entries()[0].Name, QStringLiteral("tab here 3.pxg"));
    QCOMPARE(again.Best(PuzzleIdentity(a)), 61.0);
    QVERIFY(again.Contains(PuzzleIdentity(b)));

    // A file of that size is read and known by its clues whatever its name; one of another size is not read.
    PuzzleFile::SaveFile(dir.filePath("copy.pxg"), DocumentFromPicture(b), PuzzleFile::Target::ChosenPath);
    QVERIFY(again.HoldsFile(dir.filePath("copy.pxg"), 2, 2));
    QVERIFY(!again.HoldsFile(dir.filePath("copy.pxg"), 5, 5));
    QVERIFY(!again.HoldsFile(dir.filePath("missing.pxg"), 2, 2));
}

void TestSolvedRecord::damagedFileIsSetAsideAndANewOneStarted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("foreign") << QByteArray("hello\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut line") << QByteArray("setkariy solved 1\n0123456789012345678901234567890123456789\t2026-05-01T12:00:00Z\t5\n");
    QTest::newRow("bad date") << QByteArray("setkariy solved 1\n0123456789012345678901234567890123456789\tyesterday\t5\t2\t2\t1\tx\n");
    QTest::newRow("negative time") << QByteArray("setkariy solved 1\n0123456789012345678901234567890123456789\t2026-05-01T12:00:00Z\t-5\t2\t2\t1\tx\n");
    QTest::newRow("huge size") << QByteArray("setkariy solved 1\n0123456789012345678901234567890123456789\t2026-05-01T12:00:00Z\t5\t2\t99999\t1\tx\n");
}

void TestSolvedRecord::damagedFileIsSetAsideAndANewOneStarted()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir here;
    const QString path = here.filePath("solved.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    TSolvedRecord looking(path);
    QVERIFY(!looking.Load(false).isEmpty());
    QVERIFY(QFile::exists(path));

    TSolvedRecord record(path);
    const QString message = record.Load();
    QVERIFY2(message.contains(path + ".damaged"), qPrintable(message));
    QVERIFY(record.Entries().isEmpty());
    QFile aside(path + ".damaged");
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), bytes);
    record.Add(Entry({{1}}, 3));
    TSolvedRecord fresh(path);
    QCOMPARE(fresh.Load(), QString());
    QCOMPARE(fresh.Entries().size(), 1);
}

void TestSolvedRecord::durations()
{
    QCOMPARE(DurationText(7), QStringLiteral("0:07"));
    QCOMPARE(DurationText(725), QStringLiteral("12:05"));
    QCOMPARE(DurationText(3723), QStringLiteral("1:02:03"));
    QCOMPARE(DurationText(-1), QStringLiteral("0:00"));
    QCOMPARE(DurationText(std::nan("")), QStringLiteral("0:00"));
}

QTEST_APPLESS_MAIN(TestSolvedRecord)
#include "tst_solvedrecord.moc"
