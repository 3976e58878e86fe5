// The command-line companion, run as a player would run it.
#include "PxgtoolRun.h"
#include "core/BoardRender.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "toolkit/TimeFormat.h"
#include "tools/Importers.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

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
    void writesWholeOrNothing_data();
    void writesWholeOrNothing();
    void neverWritesThroughALink_data();
    void neverWritesThroughALink();
    void importsWithinBounds_data();
    void importsWithinBounds();

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
    // Far beyond any picture: refused before it is read.
    QFile huge(dir.filePath("huge.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(200 * 1024 * 1024));
    huge.close();
    QVERIFY(Pxgtool({"compile", huge.fileName(), dir.filePath("x.pxg")}).Err.contains("no picture needs as many"));
    huge.remove();

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
    for (const char *command : {"info", "check", "import", "compile"}) {
        QTest::addRow("%s pipe", command) << command << fifo;
        QTest::addRow("%s device", command) << command << "/dev/zero";
    }
}

void TestPxgtool::pipesAndDevicesAreRefused()
{
    QFETCH(QString, command);
    QFETCH(QString, path);
    QStringList args{command, path};
    if (command == "import" || command == "compile")
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

// A staircase: every row one cell longer, so its clues prove it at once whatever its size.
static TMyCrossArr Staircase(int side)
{
    TMyCrossArr picture(side, std::vector<int32_t>(side, 0));
    for (int r = 0; r < side; ++r)
        std::fill(picture[r].begin(), picture[r].begin() + r + 1, 1);
    return picture;
}

void TestPxgtool::writesWholeOrNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("replaces");
    QTest::newRow("export") << "export" << false;
    QTest::newRow("import") << "import" << false;
    QTest::newRow("compile over an old file") << "compile" << true;
    QTest::newRow("render over an old picture") << "render" << true;
}

void TestPxgtool::writesWholeOrNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, replaces);
    // Every output of a 100 x 100 puzzle is over 8 kB, the file-size limit set below.
    QTemporaryDir folder;
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile f(folder.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    const TMyCrossArr picture = Staircase(100);
    put("stairs.pxg", PuzzleFile::Serialize(DocumentFromPicture(picture)));
    put("stairs.non", ExportNon(picture, QStringLiteral("Stairs")));
    QByteArray art;
    for (const auto &row : picture) {
        for (int32_t cell : row)
            art += cell ? '#' : '.';
        art += '\n';
    }
    put("stairs.txt", art);
    const QMap<QString, QStringList> args{
        {"export", {"stairs.pxg", "out"}}, {"import", {"stairs.non", "out"}},
        {"compile", {"stairs.txt", "out"}}, {"render", {"stairs.pxg", "out"}}};
    const QByteArray old = "the old file";
    if (replaces)
        put("out", old);
    QStringList full{command};
    for (const QString &arg : args[command])
        full << folder.filePath(arg);
    const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    const TRun run = Pxgtool(full, 120000, [] {
        // The default action, so the tool must turn the signal off itself.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{8 * 1024, 8 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    QCOMPARE(run.Code, 1);
    QVERIFY2(run.Err.contains(folder.filePath("out") + ": Stream write error\n"), qPrintable(run.Err));
    QFile out(folder.filePath("out"));
    if (replaces) {
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), old);
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
    // Without the limit the same command writes the whole file.
    if (!replaces)
        QCOMPARE(Pxgtool(full).Code, 0);
}

void TestPxgtool::neverWritesThroughALink_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("import into a folder") << QStringList{"import", "--into", "in", "stairs.non"} << 0;
    QTest::newRow("generate into a folder")
        << QStringList{"generate", "--into", "in", "--count", "1", "--size", "5x5", "--level", "0"} << 0;
    QTest::newRow("import") << QStringList{"import", "stairs.non", "in/link"} << 1;
    QTest::newRow("export") << QStringList{"export", "stairs.pxg", "in/link"} << 1;
}

void TestPxgtool::neverWritesThroughALink()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("in");
    QFile non(folder.filePath("stairs.non"));
    QVERIFY(non.open(QIODevice::WriteOnly));
    non.write(ExportNon(Staircase(5), QStringLiteral("Stairs")));
    non.close();
    QVERIFY(Pxgtool({"import", non.fileName(), folder.filePath("stairs.pxg")}).Code == 0);
    // Links pointing out of the folder at every name the tool may choose, none of them there.
    QStringList targets{"link"};
    for (const QString &stem : {QStringLiteral("Stairs"), QStringLiteral("Узор 5x5 ")})
        for (char digit = '0'; digit <= '9'; ++digit)
            targets << stem + digit + ".pxg";
    for (const QString &name : targets)
        QVERIFY(QFile::link(folder.filePath("outside " + name), folder.filePath("in/" + name)));
    for (QString &arg : args)
        if (arg.endsWith(".non") || arg.endsWith(".pxg") || arg.startsWith("in"))
            arg = folder.filePath(arg);
    const TRun run = Pxgtool(args);
    QCOMPARE(run.Code, code);
    QCOMPARE(QDir(folder.path()).entryList({"outside*"}, QDir::AllEntries | QDir::System), QStringList());
    if (code == 0)
        QCOMPARE(QDir(folder.filePath("in")).entryList({"* (2)*.pxg"}, QDir::Files).size(), 1);
    else
        QVERIFY2(run.Err.contains("already exists; not overwritten"), qPrintable(run.Err));
}

static QByteArray PngChunk(const QByteArray &type, const QByteArray &body)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), chunk.data());
    chunk += type + body;
    const QByteArray crc = type + body;
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(crc.constData()), uInt(crc.size()))),
                          tail.data());
    return chunk + tail;
}

void TestPxgtool::importsWithinBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");  // empty: imported
    // A black 8 x 8 picture behind 300 compressed texts of 7.9 MB each.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage black(8, 8, QImage::Format_Grayscale8);
    black.fill(Qt::black);
    QVERIFY(black.save(&buffer, "PNG"));
    const QByteArray text = qCompress(QByteArray(7'900'000, 'a'), 9).mid(4);  // zlib data
    QByteArray texts;
    for (int i = 0; i < 300; ++i)
        texts += PngChunk(i % 2 ? "zTXt" : "iTXt",
                          "Comment" + QByteArray::number(i) + (i % 2 ? QByteArray(2, '\0') : QByteArray("\0\1\0\0\0", 5))
                              + text);
    png.insert(8 + 25, texts);
    QTest::newRow("png texts") << png << "texts.png" << "";
    QTest::newRow("non goal a cell a line")
        << "width 1000\nheight 1000\ngoal\n" + QByteArray("0\n").repeated(1'000'000) << "lines.non" << "";
    // 31 nested elements declaring 64 prefixes each, then tags of 62 prefixed attributes.
    QByteArray xml, closing;
    for (int depth = 0; depth < 31; ++depth) {
        const QByteArray name = depth ? "e" + QByteArray::number(depth) : QByteArray("puzzleset");
        xml += "<" + name;
        for (int i = 0; i < 64; ++i)
            xml += " xmlns:p" + QByteArray::number(depth) + "_" + QByteArray::number(i) + "=\"u\"";
        xml += ">";
        closing.prepend("</" + name + ">");
    }
    QByteArray tag = "<p0_0:x";
    for (int i = 0; i < 62; ++i)
        tag += " p0_" + QByteArray::number(i) + ":a" + QByteArray::number(i) + "=\"1\"";
    tag += "/>";
    QTest::newRow("xml prefixes") << xml + tag.repeated(30'000) + closing << "prefixes.xml" << "more than 16 attributes";
}

void TestPxgtool::importsWithinBounds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QTemporaryDir folder;
    QFile in(folder.filePath(name));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(bytes) == bytes.size());
    in.close();
    // Seconds of processor time and a gigabyte, where these took minutes or gigabytes.
    const TRun run = Pxgtool({"import", in.fileName(), folder.filePath("out.pxg")}, 120000, [] {
        const rlimit cpu{3, 3};
        setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{1L << 30, 1L << 30};
        setrlimit(RLIMIT_AS, &memory);
#endif
    });
    QCOMPARE(run.Code, refusal.isEmpty() ? 0 : 1);
    QVERIFY2(run.Err.contains(refusal), qPrintable(run.Err));
}

QTEST_MAIN(TestPxgtool)
#include "tst_pxgtool.moc"
