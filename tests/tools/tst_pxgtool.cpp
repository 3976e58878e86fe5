// The command-line companion, run as a player would run it.
#include "PxgtoolRun.h"
#include "board/BoardRender.h"
#include "board/Clues.h"
#include "format/PuzzleFile.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestPxgtool : public QObject {
    Q_OBJECT

private slots:
    void infoReportsAndFails();
    void resetClearsTheGame();
    void compileAndRender();
    void libraryFilesAreFreshAndSolvable();
    void helpAndVersion_data();
    void helpAndVersion();

private:
    QString Put(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
};

QString TestPxgtool::Put(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void TestPxgtool::infoReportsAndFails()
{
    PuzzleDocument doc = DocumentFromPicture({{1, 0, 1}, {1, 1, 1}});
    doc.InProgress = 1;
    doc.Marks = doc.Solution;
    doc.ElapsedTime = 3725 / 86400.0;
    const QString good = Put("good.pxg", PuzzleFile::Serialize(doc));
    const QString bad = Put("bad.pxg", "oops");
    const TRun run = Pxgtool({"info", good, bad});
    QCOMPARE(run.Code, 1);
    QVERIFY(run.Out.contains("3x2"));
    QVERIFY(run.Out.contains("full"));
    QVERIFY(run.Out.contains("yes (1)"));
    QVERIFY(run.Out.contains("1:02:05"));
    QVERIFY(run.Out.contains("marks solve yes"));
    QVERIFY(run.Err.contains(bad + ": Stream read error"));
    QCOMPARE(Pxgtool({"info", good}).Code, 0);
    QVERIFY(Pxgtool({"bogus"}).Code != 0);
}

void TestPxgtool::resetClearsTheGame()
{
    PuzzleDocument doc = DocumentFromPicture({{1, 0}, {0, 1}});
    const PuzzleDocument fresh = doc;
    doc.InProgress = 9;
    doc.Marks = {{1, -1}, {0, 1}};
    doc.RowClueStrikes[0][0] = 1;
    doc.ElapsedTime = 0.5;
    const QString path = Put("game.pxg", PuzzleFile::Serialize(doc).left(25 + 16));
    QCOMPARE(Pxgtool({"reset", path}).Code, 1);  // cut short: refused, left alone
    QCOMPARE(QFileInfo(path).size(), qint64(25 + 16));
    Put("game.pxg", PuzzleFile::Serialize(doc));
    QCOMPARE(Pxgtool({"reset", path}).Code, 0);
    QCOMPARE(PuzzleFile::ReadFile(path), fresh);
}

void TestPxgtool::compileAndRender()
{
    const QString art = Put("art.txt", "; a small test\n#.#\n.#.\n#.#\n###\n");
    const QString pxg = dir.filePath("art.pxg");
    QCOMPARE(Pxgtool({"compile", art, pxg}).Code, 0);
    const PuzzleDocument doc = PuzzleFile::ReadFile(pxg);
    QCOMPARE(doc.Solution, (TMyCrossArr{{1, 0, 1}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}}));
    QCOMPARE(doc.RowClueDepth, 2);
    QCOMPARE(doc.ColClueDepth, 2);
    QVERIFY(Pxgtool({"compile", Put("bad.txt", "#?#\n"), dir.filePath("x.pxg")}).Code != 0);

    const QString png = dir.filePath("art.png");
    QCOMPARE(Pxgtool({"render", pxg, png, "--cell", "20"}).Code, 0);
    const QImage image(png);
    QCOMPARE(image.size(), QSize((2 + 3) * 20 + 50, (2 + 4) * 20 + 50));
    QCOMPARE(Pxgtool({"render", pxg, png}).Code, 0);
    const QImage printed(png);
    QCOMPARE(printed.size(), QSize(5 * 15 + 50, 6 * 15 + 50));
    // The same pixels the print render gives in the player.
    QImage expected(printed.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    RenderBoard(expected, expected.width(), expected.height(), doc, 15, false, nullptr);
    QCOMPARE(printed.convertToFormat(QImage::Format_RGB32), expected);
    QVERIFY(Pxgtool({"render", pxg, png, "--cell", "0"}).Code != 0);
}

void TestPxgtool::libraryFilesAreFreshAndSolvable()
{
    const QDir library(QStringLiteral(SETKARIY_BIN_DIR "/Библиотека"));
    const QStringList files = library.entryList({"*.pxg"}, QDir::Files);
    QVERIFY(files.size() >= 15);
    QStringList paths;
    for (const QString &f : files)
        paths << library.filePath(f);
    const TRun run = Pxgtool(QStringList{"info"} + paths);
    QCOMPARE(run.Code, 0);
    QCOMPARE(run.Out.count("started     no"), files.size());
    QCOMPARE(run.Out.count("marks solve no"), files.size());
    for (const QString &path : paths) {
        const PuzzleDocument doc = PuzzleFile::ReadFile(path);
        QVERIFY(IsSolved(doc.Solution, doc.Solution));
    }
}

void TestPxgtool::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("absent");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "pxgtool check [--rename] FILE..." << "";
    QTest::newRow("help") << QStringList{"help"} << 0 << "pxgtool info FILE..." << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "pxgtool 1." << "usage";
    QTest::newRow("help import") << QStringList{"help", "import"} << 0
                                 << "pxgtool import --into FOLDER IN...\n\nimport   reads" << "pxgtool info";
    QTest::newRow("help's continuation") << QStringList{"help", "import"} << 0
                                         << "         --into names each file" << "export";
    QTest::newRow("help unknown") << QStringList{"help", "nosuch"} << 2 << "" << "";
}

void TestPxgtool::helpAndVersion()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    const TRun run = Pxgtool(args);
    QTEST(run.Code, "code");
    QVERIFY2(run.Out.contains(expected), qPrintable(run.Out));
    if (!absent.isEmpty())
        QVERIFY2(!run.Out.contains(absent), qPrintable(run.Out));
}

QTEST_MAIN(TestPxgtool)
#include "tst_pxgtool.moc"
