// The puzzle file: layout, short and full forms, damaged files and saves that fail.
#include "../TestFiles.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace {

// The worked example: 10 columns, 15 rows, depths 4 and 6.
PuzzleDocument Example(uint8_t inProgress = 0)
{
    PuzzleDocument doc;
    doc.InProgress = inProgress;
    doc.ElapsedTime = 1.0 / 24;
    doc.ColCount = 10;
    doc.RowCount = 15;
    doc.RowClueDepth = 4;
    doc.ColClueDepth = 6;
    doc.Solution = MakeCrossArr(15, 10);
    doc.Marks = MakeCrossArr(15, 10);
    doc.RowClueStrikes = MakeCrossArr(15, 4);
    doc.ColClueStrikes = MakeCrossArr(6, 10);
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 10; ++c)
            doc.Solution[r][c] = (r * 7 + c * 3) % 5 < 2 ? 1 : 0;
    return doc;
}

QString ErrorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const EPuzzleError &e) {
        return e.Message();
    }
    return QString();
}

// A device that accepts a fixed number of bytes, then fails every write.
class TFailingDevice : public QIODevice {
public:
    explicit TFailingDevice(qint64 budget) : budget(budget) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (budget <= 0)
            return -1;
        const qint64 n = qMin(len, budget);
        written.append(data, n);
        budget -= n;
        return n;
    }

private:
    qint64 budget;
};

} // namespace

class TestPuzzleFile : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir.isValid()); }

    void workedExampleLayout();
    void shortFormGrowsToFullFormOnSave();
    void freshFileIgnoresLaterBlocks();
    void startedFileKeepsItsByte();
    void zeroDepthsGiveEmptyStrikeBlocks();
    void everyCutIsAReadError();
    void headerBounds_data();
    void headerBounds();
    void openErrors();
    void damagedPlayTime_data();
    void damagedPlayTime();
    void saveFailuresLeaveTheFileWhole();
    void writeFailingPartWay();
    void writeFailingOnTheDisk();
    void saveKeepsPermissions();

private:
    QTemporaryDir dir;
};

void TestPuzzleFile::workedExampleLayout()
{
    const QByteArray bytes = PuzzleFile::Serialize(Example(1));
    QCOMPARE(bytes.size(), 1705);
    QCOMPARE(bytes.left(25).toHex(' '),
             QByteArray("01 55 55 55 55 55 55 a5 3f 0a 00 00 00 0f 00 00 00 04 00 00 00 06 00 00 00"));

    // Each block starts where the layout says: mark one value at the head of each.
    PuzzleDocument doc = Example(1);
    doc.Marks[0][0] = -1;
    doc.RowClueStrikes[0][0] = 1;
    doc.ColClueStrikes[0][0] = 1;
    const QByteArray marked = PuzzleFile::Serialize(doc);
    QCOMPARE(qFromLittleEndian<qint32>(marked.constData() + 625), -1);
    QCOMPARE(qFromLittleEndian<qint32>(marked.constData() + 1225), 1);
    QCOMPARE(qFromLittleEndian<qint32>(marked.constData() + 1465), 1);
    QCOMPARE(PuzzleFile::FullSize(PuzzleFile::DecodeHeader(marked.constData())), qint64(1705));
}

void TestPuzzleFile::shortFormGrowsToFullFormOnSave()
{
    const QString path = dir.filePath("short.pxg");
    WriteAll(path, PuzzleFile::Serialize(Example(0)).left(625));
    const PuzzleDocument read = PuzzleFile::ReadFile(path);
    QCOMPARE(read.ElapsedTime, 1.0 / 24);
    QCOMPARE(read, Example(0));

    PuzzleFile::SaveFile(path, read, PuzzleFile::Target::ExistingFile);
    QCOMPARE(QFileInfo(path).size(), qint64(1705));
    QCOMPARE(PuzzleFile::ReadFile(path), read);
    QCOMPARE(ReadAll(path), PuzzleFile::Serialize(Example(0)));
}

void TestPuzzleFile::freshFileIgnoresLaterBlocks()
{
    PuzzleDocument doc = Example(0);
    doc.Marks[3][3] = 1;
    doc.RowClueStrikes[2][1] = 1;
    doc.ColClueStrikes[5][9] = 1;
    const QString path = dir.filePath("fresh.pxg");
    WriteAll(path, PuzzleFile::Serialize(doc));
    QCOMPARE(PuzzleFile::ReadFile(path), Example(0));
}

void TestPuzzleFile::startedFileKeepsItsByte()
{
    PuzzleDocument doc = Example(7);
    doc.Marks[14][9] = -1;
    doc.RowClueStrikes[14][3] = 1;
    doc.ColClueStrikes[5][0] = 1;
    const QString path = dir.filePath("seven.pxg");
    WriteAll(path, PuzzleFile::Serialize(doc));
    const PuzzleDocument read = PuzzleFile::ReadFile(path);
    QCOMPARE(read.InProgress, uint8_t(7));
    QCOMPARE(read, doc);
    PuzzleFile::SaveFile(path, read, PuzzleFile::Target::ExistingFile);
    QCOMPARE(ReadAll(path).at(0), char(7));
}

void TestPuzzleFile::zeroDepthsGiveEmptyStrikeBlocks()
{
    PuzzleDocument doc = DocumentFromPicture({{0, 0, 0}, {0, 0, 0}});
    doc.InProgress = 1;
    QCOMPARE(doc.RowClueDepth, 0);
    QCOMPARE(doc.ColClueDepth, 0);
    const QByteArray bytes = PuzzleFile::Serialize(doc);
    QCOMPARE(bytes.size(), 25 + 4 * (2 * 2 * 3));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const PuzzleDocument read = PuzzleFile::Read(buffer, "x");
    QCOMPARE(read.RowClueStrikes.size(), size_t(2));
    QVERIFY(read.RowClueStrikes[0].empty());
    QVERIFY(read.ColClueStrikes.empty());
}

void TestPuzzleFile::everyCutIsAReadError()
{
    const QByteArray started = PuzzleFile::Serialize(Example(1));
    for (int length = 0; length < started.size(); ++length) {
        QBuffer buffer;
        buffer.setData(started.left(length));
        buffer.open(QIODevice::ReadOnly);
        QCOMPARE(ErrorOf([&] { PuzzleFile::Read(buffer, "x"); }), QStringLiteral("Stream read error"));
    }
    // A fresh puzzle needs only its picture.
    const QByteArray fresh = PuzzleFile::Serialize(Example(0));
    for (int length = 0; length <= fresh.size(); ++length) {
        QBuffer buffer;
        buffer.setData(fresh.left(length));
        buffer.open(QIODevice::ReadOnly);
        const QString error = ErrorOf([&] { PuzzleFile::Read(buffer, "x"); });
        QCOMPARE(error, length < 625 ? QStringLiteral("Stream read error") : QString());
    }
}

void TestPuzzleFile::headerBounds_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("rowDepth");
    QTest::addColumn<int>("colDepth");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("smallest") << 1 << 1 << 0 << 0 << true;
    QTest::newRow("largest") << 1000 << 1000 << 1000 << 1000 << true;
    QTest::newRow("no columns") << 0 << 5 << 0 << 0 << false;
    QTest::newRow("negative rows") << 5 << -1 << 0 << 0 << false;
    QTest::newRow("too many columns") << 1001 << 5 << 0 << 0 << false;
    QTest::newRow("huge rows") << 5 << 0x7fffffff << 0 << 0 << false;
    QTest::newRow("negative depth") << 5 << 5 << -1 << 0 << false;
    QTest::newRow("row depth past the width") << 5 << 5 << 6 << 0 << false;
    QTest::newRow("column depth past the height") << 5 << 5 << 0 << 6 << false;
}

void TestPuzzleFile::headerBounds()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, rowDepth);
    QFETCH(int, colDepth);
    QFETCH(bool, accepted);
    PuzzleFile::Header h;
    h.ColCount = cols;
    h.RowCount = rows;
    h.RowClueDepth = rowDepth;
    h.ColClueDepth = colDepth;
    const QString path = dir.filePath("bounds.pxg");
    // Only the header: a rejected one must fail before any block is wanted.
    WriteAll(path, PuzzleFile::EncodeHeader(h));
    const QString error = ErrorOf([&] { PuzzleFile::ReadFile(path); });
    QCOMPARE(error, accepted ? QStringLiteral("Stream read error") : QStringLiteral("Invalid puzzle file ") + path);
}

void TestPuzzleFile::damagedPlayTime_data()
{
    QTest::addColumn<double>("days");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("none yet") << 0.0 << true;
    QTest::newRow("a year") << 365.0 << true;
    QTest::newRow("not a number") << std::nan("") << false;
    QTest::newRow("infinite") << HUGE_VAL << false;
    QTest::newRow("backwards") << -1.0 / 86400 << false;
}

void TestPuzzleFile::damagedPlayTime()
{
    QFETCH(double, days);
    QFETCH(bool, accepted);
    PuzzleDocument doc = Example(1);
    doc.ElapsedTime = days;
    const QString path = dir.filePath("time.pxg");
    WriteAll(path, PuzzleFile::Serialize(doc));
    QCOMPARE(ErrorOf([&] { PuzzleFile::ReadFile(path); }),
             accepted ? QString() : QStringLiteral("Invalid puzzle file ") + path);
}

void TestPuzzleFile::openErrors()
{
    const QString missing = dir.filePath("missing.pxg");
    QCOMPARE(ErrorOf([&] { PuzzleFile::ReadFile(missing); }), QStringLiteral("Cannot open file ") + missing);
    QCOMPARE(ErrorOf([&] { PuzzleFile::ReadFile(dir.path()); }), QStringLiteral("Cannot open file ") + dir.path());
    const QString text = dir.filePath("notes.pxg");
    WriteAll(text, "This is a shopping list, not a puzzle.\n");
    QVERIFY(!ErrorOf([&] { PuzzleFile::ReadFile(text); }).isEmpty());
}

void TestPuzzleFile::saveFailuresLeaveTheFileWhole()
{
    const QString path = dir.filePath("own.pxg");
    const QByteArray original = PuzzleFile::Serialize(Example(0));
    WriteAll(path, original);
    PuzzleDocument changed = Example(1);
    changed.Marks[0][0] = 1;

    // The document's own file has gone: it is not silently made again.
    const QString gone = dir.filePath("gone.pxg");
    QCOMPARE(ErrorOf([&] { PuzzleFile::SaveFile(gone, changed, PuzzleFile::Target::ExistingFile); }),
             QStringLiteral("Cannot open file ") + gone);
    QVERIFY(!QFile::exists(gone));

    // A folder where the file should be.
    const QString folder = dir.filePath("folder.pxg");
    QVERIFY(QDir(dir.path()).mkdir("folder.pxg"));
    QCOMPARE(ErrorOf([&] { PuzzleFile::SaveFile(folder, changed, PuzzleFile::Target::ChosenPath); }),
             QStringLiteral("Cannot open file ") + folder);
    QVERIFY(QFileInfo(folder).isDir());

    // A folder that does not exist, and a name the file system refuses.
    const QString nowhere = dir.filePath("no/such/folder/x.pxg");
    QCOMPARE(ErrorOf([&] { PuzzleFile::SaveFile(nowhere, changed, PuzzleFile::Target::ChosenPath); }),
             QStringLiteral("Cannot create file ") + nowhere);
    const QString tooLong = dir.filePath(QString(300, QLatin1Char('n')) + ".pxg");
    QCOMPARE(ErrorOf([&] { PuzzleFile::SaveFile(tooLong, changed, PuzzleFile::Target::ChosenPath); }),
             QStringLiteral("Cannot create file ") + tooLong);

    QCOMPARE(ReadAll(path), original);
}

void TestPuzzleFile::writeFailingPartWay()
{
    TFailingDevice device(100);
    QCOMPARE(ErrorOf([&] { PuzzleFile::Write(device, Example(1)); }), QStringLiteral("Stream write error"));
    QCOMPARE(device.written, PuzzleFile::Serialize(Example(1)).left(100));
}

void TestPuzzleFile::writeFailingOnTheDisk()
{
    // A file-size limit makes the disk refuse the write part-way, for root too.
    const QString path = dir.filePath("limited.pxg");
    const QByteArray original = PuzzleFile::Serialize(Example(0)).left(625);
    WriteAll(path, original);

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = ErrorOf([&] { PuzzleFile::SaveFile(path, Example(1), PuzzleFile::Target::ExistingFile); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(error, QStringLiteral("Stream write error"));
    QCOMPARE(ReadAll(path), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("limited").size(), 1);
}

void TestPuzzleFile::saveKeepsPermissions()
{
    const QString path = dir.filePath("perm.pxg");
    WriteAll(path, PuzzleFile::Serialize(Example(0)));
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path, perms));
    PuzzleFile::SaveFile(path, Example(1), PuzzleFile::Target::ExistingFile);
    QCOMPARE(QFile::permissions(path) & 0x7077, perms & 0x7077);
    QCOMPARE(PuzzleFile::ReadFile(path), Example(1));
}

QTEST_APPLESS_MAIN(TestPuzzleFile)
#include "tst_puzzlefile.moc"
