// The command-line companion, run as a player would run it.
#include "PxgtoolRun.h"
#include "core/BoardRender.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "toolkit/TimeFormat.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class TestPxgtool : public QObject {
    Q_OBJECT

private slots:
    void infoReportsAndFails();
    void resetClearsTheGame();
    void compileAndRender();
    void libraryFilesAreFreshAndSolvable();
    void helpAndVersion_data();
    void helpAndVersion();
    void fileSizeLimitIsAWriteError();
    void pipesAndDevicesAreRefused_data();
    void pipesAndDevicesAreRefused();
    void playTimeAsTheClockShowsIt_data();
    void playTimeAsTheClockShowsIt();
    void hugePictureIsRefusedBeforeDrawing();

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
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "pxgtool check [--rename] [--work-budget N] FILE..." << "";
    QTest::newRow("help") << QStringList{"help"} << 0 << "pxgtool info FILE..." << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "pxgtool 1." << "usage";
    QTest::newRow("help import") << QStringList{"help", "import"} << 0
                                 << "pxgtool import [--work-budget N] --into FOLDER IN...\n\nimport   reads" << "pxgtool info";
    QTest::newRow("help check") << QStringList{"help", "check"} << 0 << "--work-budget N" << "pxgtool import";
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

void TestPxgtool::fileSizeLimitIsAWriteError()
{
    // Under `ulimit -f 500` a 400 x 300 game (960 kB) cannot be written whole.
    PuzzleDocument big = DocumentFromPicture(TMyCrossArr(300, std::vector<int32_t>(400, 1)));
    big.InProgress = 1;
    big.Marks[0][0] = 1;
    const QByteArray bigBytes = PuzzleFile::Serialize(big);
    const QString bigPath = Put("big.pxg", bigBytes);
    PuzzleDocument small = DocumentFromPicture({{1, 0}, {0, 1}});
    small.InProgress = 1;
    const QString smallPath = Put("small.pxg", PuzzleFile::Serialize(small));
    const TRun run = Pxgtool({"reset", bigPath, smallPath}, 120000, [] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{500 * 1024, 500 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    QCOMPARE(run.Code, 1);
    QCOMPARE(run.Err, bigPath + ": Stream write error\n");
    QFile f(bigPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bigBytes);
    // The tool went on to the next file.
    QCOMPARE(PuzzleFile::ReadFile(smallPath).InProgress, uint8_t(0));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("big"), QStringList{"big.pxg"});
}

void TestPxgtool::pipesAndDevicesAreRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    const QString fifo = dir.filePath("pipe.pxg");
    mkfifo(QFile::encodeName(fifo).constData(), 0600);
    for (const char *command : {"info", "check", "import"}) {
        QTest::addRow("%s pipe", command) << command << fifo;
        QTest::addRow("%s device", command) << command << "/dev/zero";
    }
}

void TestPxgtool::pipesAndDevicesAreRefused()
{
    QFETCH(QString, command);
    QFETCH(QString, path);
    QStringList args{command, path};
    if (command == "import")
        args << dir.filePath("imported.pxg");
    const TRun run = Pxgtool(args, 10000);
    QCOMPARE(run.Code, 1);
    QCOMPARE(run.Err, path + ": Cannot open file " + path + "\n");
}

void TestPxgtool::playTimeAsTheClockShowsIt_data()
{
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("wholeDays");
    QTest::newRow("an hour") << 3725 / 86400.0 << "";
    QTest::newRow("a day and a half") << 1.5 << " (+1 d)";
    QTest::newRow("1e300 days") << 1e300 << " (+1e+300 d)";
}

void TestPxgtool::playTimeAsTheClockShowsIt()
{
    QFETCH(double, days);
    QFETCH(QString, wholeDays);
    // The time the player's label shows, written as H:mm:ss.
    const QLocale russian(QLocale::Russian);
    const QTime label = russian.toTime(FormatPlayTime(days, russian), PlayTimeFormat(russian));
    const QString shown = label.toString("H:mm:ss") + wholeDays + "\n";
    PuzzleDocument doc = DocumentFromPicture({{1}});
    doc.InProgress = 1;
    doc.ElapsedTime = days;
    const TRun run = Pxgtool({"info", Put("time.pxg", PuzzleFile::Serialize(doc))});
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Out.contains("play time   " + shown), qPrintable(run.Out));
}

void TestPxgtool::hugePictureIsRefusedBeforeDrawing()
{
    // 1000 x 1000 with clues 1000 deep is 30050 x 30050 pixels at 15: 3.6 GB.
    PuzzleFile::Header h{0, 0.0, 1000, 1000, 1000, 1000};
    const QString path = Put("huge.pxg", PuzzleFile::EncodeHeader(h) + QByteArray(4 * 1000 * 1000, '\0'));
    const QString png = dir.filePath("huge.png");
    const TRun run = Pxgtool({"render", path, png}, 20000);
    QCOMPARE(run.Code, 1);
    QVERIFY2(run.Err.contains(png + ": the picture would be 30050x30050 pixels, too large"), qPrintable(run.Err));
    QVERIFY(!QFile::exists(png));
}

QTEST_MAIN(TestPxgtool)
#include "tst_pxgtool.moc"
