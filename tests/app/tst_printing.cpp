// Printing a board: page orientation, the whole-number scale, and real jobs on a private CUPS.
#include "ScriptedPrompter.h"
#include "app/Printing.h"
#include "app/uMain.h"
#include "core/BoardRender.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "core/PrintPages.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

bool WritePuzzle(const QString &path, const PuzzleDocument &doc)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(PuzzleFile::Serialize(doc)) > 0;
}

PuzzleDocument Sized(int cols, int rows, int rowDepth, int colDepth)
{
    PuzzleDocument doc;
    doc.ColCount = cols;
    doc.RowCount = rows;
    doc.RowClueDepth = rowDepth;
    doc.ColClueDepth = colDepth;
    return doc;
}

// A CUPS server of the test's own: its own folders, a socket in them, and a raw queue whose
// backend keeps each job's data as it was sent (the PDF the program made) in a file.
class TPrivateCups {
public:
    explicit TPrivateCups(const QString &root) : Root(root) {}
    ~TPrivateCups()
    {
        if (Server.state() != QProcess::NotRunning) {
            Server.terminate();
            if (!Server.waitForFinished(5000))
                Server.kill();
        }
    }

    QString Socket() const { return Root + "/cups.sock"; }
    QString Output() const { return Root + "/out/board.pdf"; }

    // Empty when the server runs; otherwise why it could not start.
    QString Start()
    {
        const QString cupsd = Tool("cupsd");
        if (cupsd.isEmpty())
            return "cupsd is not installed";
        QDir dir(Root);
        for (const char *sub : {"spool", "tmp", "cache", "state", "log", "out"})
            dir.mkpath(sub);
        // The backend runs as an unprivileged user.
        QFile::setPermissions(Root + "/out", QFileDevice::Permissions(0x7777));
        QFile::setPermissions(Root + "/tmp", QFileDevice::Permissions(0x7777));
        Write("cupsd.conf", QString("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                    "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                                .arg(Socket()));
        Write("cups-files.conf", QString("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
                                         "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                         "PageLog %1/log/page_log\nServerBin %1/bin\n")
                                     .arg(Root));
        // The system's helpers, and a capturing backend of our own.
        dir.mkpath("bin/backend");
        QFile::link("/usr/lib/cups/daemon", Root + "/bin/daemon");
        QFile::link("/usr/lib/cups/filter", Root + "/bin/filter");
        Write("bin/backend/capture",
              "#!/bin/sh\n"
              "if [ $# -eq 0 ]; then echo 'direct capture \"Unknown\" \"Job capture\"'; exit 0; fi\n"
              "umask 022\n"
              "out=\"${DEVICE_URI#capture:}\"\n"
              "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi && mv \"$out.part\" \"$out\"\n");
        QFile::setPermissions(Root + "/bin/backend/capture", QFileDevice::Permissions(0x7555));
        Server.start(cupsd, {"-f", "-c", Root + "/cupsd.conf", "-s", Root + "/cups-files.conf"});
        if (!Server.waitForStarted(5000))
            return "cupsd did not start";
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(Socket()) && !deadline.hasExpired() && Server.state() == QProcess::Running)
            QTest::qWait(50);
        if (!QFile::exists(Socket()))
            return "cupsd did not open its socket: " + QString::fromLocal8Bit(Server.readAll());
        return QString();
    }

    bool AddDefaultQueue()
    {
        const QString lpadmin = Tool("lpadmin");
        return !lpadmin.isEmpty()
            && Run(lpadmin, {"-h", Socket(), "-p", "Setkariy", "-E", "-v", "capture:" + Output()})
            && Run(lpadmin, {"-h", Socket(), "-d", "Setkariy"});
    }

    // CUPS keeps its administration tools in /usr/sbin, which an ordinary user's PATH lacks.
    static QString Tool(const QString &name)
    {
        for (const char *dir : {"/usr/sbin/", "/usr/bin/", "/sbin/"})
            if (QFileInfo(dir + name).isExecutable())
                return dir + name;
        return QStandardPaths::findExecutable(name);
    }

    bool Run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    // Waits until the queue has no job left and the file is complete.
    QByteArray WaitForOutput()
    {
        QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            QProcess p;
            p.start(Tool("lpstat"), {"-h", Socket(), "-o"});
            p.waitForFinished(10000);
            const bool idle = p.readAllStandardOutput().trimmed().isEmpty();
            QFile f(Output());
            if (idle && f.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = f.readAll();
                if (bytes.contains("%%EOF"))
                    return bytes;
            }
            QTest::qWait(100);
        }
        return QByteArray();
    }

private:
    void Write(const QString &name, const QString &text)
    {
        QFile f(Root + "/" + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }

    QString Root;
    QProcess Server;
};

// The leftmost column and topmost row holding a pixel the test calls ink; -1 where there is none.
QPoint FirstInk(const QImage &image, const std::function<bool(QColor)> &isInk)
{
    int left = image.width(), top = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < left; ++x)
            if (isInk(image.pixelColor(x, y))) {
                left = x;
                if (top < 0)
                    top = y;
                break;
            }
    return QPoint(left < image.width() ? left : -1, top);
}

// A picture whose rows are given by their runs, separated by one white cell, left-aligned.
PuzzleDocument FromRuns(int cols, const std::vector<std::vector<int>> &rows)
{
    TMyCrossArr picture;
    for (const auto &runs : rows) {
        std::vector<int32_t> line(cols, 0);
        int x = 0;
        for (int run : runs) {
            for (int i = 0; i < run; ++i)
                line[x + i] = 1;
            x += run + 1;
        }
        picture.push_back(line);
    }
    return DocumentFromPicture(picture);
}

// Row clues with two- and three-digit neighbours.
PuzzleDocument TightClues()
{
    return FromRuns(110, {{10, 11, 12, 13, 14, 15}, {99, 5}, {100, 8}});
}

// A big board drawn as a picture would be: rings and bars, with clues some ten deep.
PuzzleDocument BigPicture()
{
    TMyCrossArr picture = MakeCrossArr(100, 100);
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < 100; ++c) {
            const int d = int(std::hypot(r - 50, c - 50));
            picture[r][c] = (d / 6) % 2 == 0 || (c % 23 < 3 && r > 80) ? 1 : 0;
        }
    return DocumentFromPicture(picture);
}

bool IsInk(QRgb p)
{
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110;
}

// For one row's clue cells (k = 0 next to the grid at gridLeft): the ink-free columns around
// each boundary between two numbers must number at least minGap, with some on either side (a
// number cut off at its cell's edge has none there), and each number's ink must be at least a
// third of the cell tall. Empty when it holds; otherwise what failed.
QString ClueGapFault(const QImage &image, int gridLeft, int rowTop, int a, int numbers, int minGap)
{
    const auto inkInColumn = [&](int x) {
        for (int y = rowTop + 1; y < rowTop + a - 1; ++y)
            if (IsInk(image.pixel(x, y)))
                return true;
        return false;
    };
    for (int k = 0; k < numbers; ++k) {
        int top = a, bottom = -1;
        for (int x = gridLeft - a * (k + 1) + 1; x < gridLeft - a * k; ++x)
            for (int y = rowTop + 1; y < rowTop + a - 1; ++y)
                if (IsInk(image.pixel(x, y))) {
                    top = std::min(top, y - rowTop);
                    bottom = std::max(bottom, y - rowTop);
                }
        if (bottom - top + 1 < a / 3)
            return QString("number %1 is %2 pixels tall in a cell of %3").arg(k).arg(bottom - top + 1).arg(a);
    }
    for (int k = 0; k + 1 < numbers; ++k) {
        const int boundary = gridLeft - a * (k + 1);
        int right = 0, left = 0;
        for (int x = boundary; x < boundary + a / 2 && !inkInColumn(x); ++x)
            ++right;
        for (int x = boundary - 1; x > boundary - a / 2 && !inkInColumn(x); --x)
            ++left;
        const int side = std::max(1, a / 12);
        if (left + right < minGap || left < side || right < side)
            return QString("numbers %1 and %2 are %3 + %4 pixels apart, not %5").arg(k).arg(k + 1).arg(left).arg(right).arg(minGap);
    }
    return QString();
}

QString RunPdfInfo(const QString &pdf)
{
    QProcess info;
    info.start("pdfinfo", {pdf});
    if (!info.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(info.readAllStandardOutput());
}

int PdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(RunPdfInfo(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void bitmapAndOrientation_data();
    void bitmapAndOrientation();
    void scaleIsNeverRoundedUp_data();
    void scaleIsNeverRoundedUp();
    void tinyPageShrinksInsteadOfBlank();
    void printRenderMatchesTheRenderer();
    void noDefaultPrinter();
    void hugeBoardIsRefused();
    void printsOnARealQueue();
    void bigBoardPrintsWholeOnTheQueue();
    void planPrint_data();
    void planPrint();
    void paperContent();
    void paperCluesKeepApart_data();
    void paperCluesKeepApart();
    void paperCluesKeepApartInThePdf();
    void setupCommandFollowsPrint();
    void setupPrintsFittedOrTiled();
    void bookletPlanKeepsEveryPuzzleWhole();
    void bookletFromTheTool();

private:
    QString PutPuzzle(const QString &name);
    QTemporaryDir dir;
    QTemporaryDir cupsRoot;
    std::unique_ptr<TPrivateCups> cups;
    QString cupsMissing;
};

void TestPrinting::initTestCase()
{
    // One server for the whole run: the printing layer keeps talking to the first one it found.
    cups = std::make_unique<TPrivateCups>(cupsRoot.path());
    cupsMissing = cups->Start();
    if (cupsMissing.isEmpty())
        qputenv("CUPS_SERVER", cups->Socket().toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
}

void TestPrinting::bitmapAndOrientation_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("rowDepth");
    QTest::addColumn<int>("colDepth");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("worked example") << 20 << 15 << 8 << 10 << QSize(470, 425) << true;
    QTest::newRow("square prints portrait") << 10 << 10 << 3 << 3 << QSize(245, 245) << false;
    QTest::newRow("taller prints portrait") << 10 << 30 << 3 << 5 << QSize(245, 575) << false;
}

void TestPrinting::bitmapAndOrientation()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, rowDepth);
    QFETCH(int, colDepth);
    QFETCH(QSize, size);
    QFETCH(bool, landscape);
    QCOMPARE(PrintBitmapSize(Sized(cols, rows, rowDepth, colDepth)), size);
    QCOMPARE(PrintLandscape(size), landscape);
}

void TestPrinting::scaleIsNeverRoundedUp_data()
{
    QTest::addColumn<QSize>("bitmap");
    QTest::addColumn<QSize>("printable");
    QTest::addColumn<QRect>("target");
    QTest::newRow("1899 gives 1") << QSize(100, 200) << QSize(5000, 1899) << QRect(0, 0, 100, 200);
    QTest::newRow("1900 gives 2") << QSize(100, 200) << QSize(5000, 1900) << QRect(0, 0, 200, 400);
    QTest::newRow("landscape reads the width") << QSize(470, 425) << QSize(6600, 5100) << QRect(0, 0, 2820, 2550);
    // Never cut off: the largest whole scale that fits, or a fraction when not even 1 does.
    QTest::newRow("too wide at scale 2 prints at 1") << QSize(900, 1000) << QSize(1000, 2000)
                                                     << QRect(0, 0, 900, 1000);
    QTest::newRow("too tall at scale 6 prints at 4") << QSize(470, 425) << QSize(6600, 1800)
                                                     << QRect(0, 0, 1880, 1700);
    QTest::newRow("wider than the page shrinks") << QSize(2000, 1000) << QSize(1000, 2000)
                                                 << QRect(0, 0, 1000, 500);
}

void TestPrinting::scaleIsNeverRoundedUp()
{
    QFETCH(QSize, bitmap);
    QFETCH(QSize, printable);
    QFETCH(QRect, target);
    QCOMPARE(PrintTarget(bitmap, printable), target);
}

void TestPrinting::tinyPageShrinksInsteadOfBlank()
{
    QCOMPARE(PrintTarget(QSize(400, 200), QSize(800, 600)), QRect(0, 0, 800, 400));
    QCOMPARE(PrintTarget(QSize(200, 400), QSize(600, 900)), QRect(0, 0, 450, 900));
}

QString TestPrinting::PutPuzzle(const QString &name)
{
    PuzzleDocument doc = DocumentFromPicture({{1, 1, 0, 1, 0, 1}, {0, 1, 1, 1, 0, 0}, {1, 0, 0, 1, 1, 1},
                                              {1, 1, 1, 1, 1, 1}, {0, 0, 1, 0, 0, 1}, {1, 0, 1, 0, 1, 0},
                                              {1, 1, 0, 0, 1, 1}, {0, 1, 0, 1, 0, 1}});
    const QString path = dir.filePath(name);
    WritePuzzle(path, doc);
    return path;
}

void TestPrinting::printRenderMatchesTheRenderer()
{
    // What goes to paper is the print variant of the one renderer, at cell 15, whatever the zoom;
    // with no number too wide for its cell the paper's picture is that variant's to the pixel.
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    form.OpenPuzzleFile(PutPuzzle("same.pxg"));
    TMDIChild *child = form.ActiveChild();
    form.ZoomDec->trigger();
    const QSize size = PrintBitmapSize(child->Doc);
    QImage viaWindow(size, QImage::Format_RGB32), direct(size, QImage::Format_RGB32);
    viaWindow.fill(Qt::white);
    direct.fill(Qt::white);
    child->RenderBoard(viaWindow, size.width(), size.height(), PrintCellSize, false);
    RenderPaperBoard(direct, size.width(), size.height(), child->Doc, PrintCellSize);
    QCOMPARE(viaWindow, direct);
}

void TestPrinting::noDefaultPrinter()
{
    // The server has no queue yet: there is nothing to print on.
    if (!cupsMissing.isEmpty())
        QSKIP(qPrintable("no private CUPS server here: " + cupsMissing));

    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    form.OpenPuzzleFile(PutPuzzle("none.pxg"));
    form.FilePrint1->trigger();
    QCOMPARE(prompter.Texts(), QStringList{"There is no default printer currently selected"});
    QVERIFY(!QApplication::overrideCursor());
}

void TestPrinting::hugeBoardIsRefused()
{
    // 1000 x 1000 cells would need a bitmap of nearly a gigabyte.
    TMyCrossArr picture(1000, std::vector<int32_t>(1000, 0));
    picture[0][0] = 1;
    const QString path = dir.filePath("huge.pxg");
    QVERIFY(WritePuzzle(path, DocumentFromPicture(picture)));
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    form.OpenPuzzleFile(path);
    form.FilePrint1->trigger();
    QCOMPARE(prompter.Texts(), QStringList{"Printer error: the board is too large to print"});
    QVERIFY(!QApplication::overrideCursor());
}

void TestPrinting::printsOnARealQueue()
{
    if (!cupsMissing.isEmpty())
        QSKIP(qPrintable("no private CUPS server here: " + cupsMissing));
    QVERIFY(cups->AddDefaultQueue());
    QTemporaryDir root;

    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    form.OpenPuzzleFile(PutPuzzle("print.pxg"));
    TMDIChild *child = form.ActiveChild();
    form.FilePrint1->trigger();
    QVERIFY2(prompter.Questions.isEmpty(), qPrintable(prompter.Texts().join("; ")));
    QVERIFY(!QApplication::overrideCursor());

    const QByteArray pdf = cups->WaitForOutput();
    QVERIFY2(pdf.startsWith("%PDF"), "the queue produced no PDF");

    // One page; the board is taller than wide, so portrait.
    QProcess info;
    info.start("pdfinfo", {cups->Output()});
    QVERIFY(info.waitForFinished(20000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains(QRegularExpression("Pages:\\s+1\\b")), qPrintable(text));
    const QRegularExpressionMatch page = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)").match(text);
    QVERIFY(page.hasMatch());
    const double pageW = page.captured(1).toDouble(), pageH = page.captured(2).toDouble();
    QVERIFY(pageH > pageW);

    // Rasterise and find the board at the top-left of the printable area at a whole-number scale:
    // the print bitmap's picture, enlarged, must be there pixel block for pixel block.
    const int dpi = 150;
    QVERIFY(cups->Run("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", cups->Output(),
                                  root.filePath("page")}));
    QImage raster(root.filePath("page.png"));
    QVERIFY(!raster.isNull());
    raster = raster.convertToFormat(QImage::Format_RGB32);

    const QSize size = PrintBitmapSize(child->Doc);
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    RenderPaperBoard(bitmap, size.width(), size.height(), child->Doc, PrintCellSize);

    // Paper white, allowing for the softness of a rasterised page.
    const auto inked = [](QColor c) { return c.red() < 235 || c.green() < 235 || c.blue() < 235; };
    const auto exact = [](QColor c) { return c != Qt::white; };
    // The first inked pixel row and column of the page is the board's grey frame.
    const QPoint corner = FirstInk(raster, inked);
    const QPoint bitmapCorner = FirstInk(bitmap, exact);
    const int left = corner.x(), top = corner.y();
    const int bitmapLeft = bitmapCorner.x(), bitmapTop = bitmapCorner.y();
    QVERIFY(top >= 0);
    // Raster pixels per bitmap pixel, from the scale the printer's resolution gives.
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    const int scale = printable.height() / 950;
    QVERIFY(scale >= 1);
    const double perPixel = double(scale) * dpi / printer.resolution();
    const QRectF paperPrintable = printer.pageRect(QPrinter::Point);
    // The image starts at the printable area's corner.
    const double wantLeft = paperPrintable.left() * dpi / 72 + bitmapLeft * perPixel;
    const double wantTop = paperPrintable.top() * dpi / 72 + bitmapTop * perPixel;
    QVERIFY2(qAbs(left - wantLeft) <= 2 && qAbs(top - wantTop) <= 2,
             qPrintable(QString("board at %1,%2, expected %3,%4").arg(left).arg(top).arg(wantLeft).arg(wantTop)));
    // And every bitmap pixel sampled at its block's centre matches, where the page holds it.
    int compared = 0, differing = 0;
    for (int y = 0; y < size.height(); y += 3)
        for (int x = 0; x < size.width(); x += 3) {
            const int px = int(paperPrintable.left() * dpi / 72 + (x + 0.5) * perPixel);
            const int py = int(paperPrintable.top() * dpi / 72 + (y + 0.5) * perPixel);
            if (px >= raster.width() || py >= raster.height())
                continue;
            // The page's picture is stored compressed: compare inside flat areas, not at edges.
            bool flat = true;
            for (int dy = -1; dy <= 1 && flat; ++dy)
                for (int dx = -1; dx <= 1 && flat; ++dx) {
                    const QPoint n(qBound(0, x + dx, size.width() - 1), qBound(0, y + dy, size.height() - 1));
                    flat = bitmap.pixel(n) == bitmap.pixel(x, y);
                }
            if (!flat)
                continue;
            ++compared;
            const QColor want = bitmap.pixelColor(x, y), got = raster.pixelColor(px, py);
            if (qAbs(want.red() - got.red()) > 24 || qAbs(want.green() - got.green()) > 24
                || qAbs(want.blue() - got.blue()) > 24)
                ++differing;
        }
    QVERIFY(compared > 1000);
    QVERIFY2(differing * 100 < compared, qPrintable(QString("%1 of %2 differ").arg(differing).arg(compared)));
}

void TestPrinting::bigBoardPrintsWholeOnTheQueue()
{
    // A 100 x 100 board at scale 14 would run far past an A4 page; it comes out whole.
    if (!cupsMissing.isEmpty())
        QSKIP(qPrintable("no private CUPS server here: " + cupsMissing));
    QVERIFY(cups->AddDefaultQueue());
    QFile::remove(cups->Output());
    const PuzzleDocument doc = BigPicture();
    const QString path = dir.filePath("big.pxg");
    QVERIFY(WritePuzzle(path, doc));

    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    form.OpenPuzzleFile(path);
    form.FilePrint1->trigger();
    QVERIFY2(prompter.Questions.isEmpty(), qPrintable(prompter.Texts().join("; ")));
    QVERIFY2(cups->WaitForOutput().startsWith("%PDF"), "the queue produced no PDF");
    QTemporaryDir root;
    const int dpi = 50;
    QVERIFY(cups->Run("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", cups->Output(),
                                  root.filePath("page")}));
    QImage raster(root.filePath("page.png"));
    QVERIFY(!raster.isNull());
    raster = raster.convertToFormat(QImage::Format_RGB32);
    QRect inked;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x) {
            const QRgb p = raster.pixel(x, y);
            if (qRed(p) < 235 || qGreen(p) < 235 || qBlue(p) < 235)
                inked |= QRect(x, y, 1, 1);
        }

    const QSize size = PrintBitmapSize(doc);
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setPageOrientation(PrintLandscape(size) ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRect target = PrintTarget(size, printer.pageRect(QPrinter::DevicePixel).size().toSize());
    const QRectF printable = printer.pageRect(QPrinter::Point);
    const QRectF allowed(printable.topLeft() * dpi / 72, printable.size() * dpi / 72);
    QVERIFY2(allowed.adjusted(-2, -2, 2, 2).contains(inked),
             qPrintable(QString("ink over %1,%2 %3x%4").arg(inked.x()).arg(inked.y()).arg(inked.width()).arg(inked.height())));
    // The grey frame is all there: the ink spans the board's frame at the printed scale.
    const double perPixel = double(target.width()) / size.width() * dpi / printer.resolution();
    const int frameWidth = (doc.RowClueDepth + doc.ColCount + 2) * PrintCellSize;
    QVERIFY2(qAbs(inked.width() - frameWidth * perPixel) <= 3,
             qPrintable(QString("%1 wide, expected %2").arg(inked.width()).arg(frameWidth * perPixel)));
}

void TestPrinting::planPrint_data()
{
    QTest::addColumn<QSize>("cells");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("wantCell");
    QTest::addColumn<int>("sheets");
    QTest::addColumn<QPoint>("firstTarget");
    QTest::newRow("fitted and centred") << QSize(10, 8) << QSize(105, 200) << 0 << 10 << 1 << QPoint(2, 60);
    QTest::newRow("fit takes the tighter way") << QSize(20, 10) << QSize(100, 100) << 0 << 5 << 1 << QPoint(0, 25);
    QTest::newRow("a given cell that fits is centred") << QSize(10, 10) << QSize(200, 300) << 12 << 12 << 1 << QPoint(40, 90);
    QTest::newRow("too wide: three pieces across") << QSize(10, 4) << QSize(50, 100) << 10 << 10 << 3 << QPoint(0, 0);
    QTest::newRow("too big both ways") << QSize(9, 9) << QSize(50, 50) << 10 << 10 << 4 << QPoint(0, 0);
    QTest::newRow("cell cut to two a page") << QSize(5, 5) << QSize(30, 40) << 100 << 15 << 16 << QPoint(0, 0);
    QTest::newRow("more cells than pixels") << QSize(500, 10) << QSize(100, 100) << 0 << 1 << 6 << QPoint(0, 0);
}

void TestPrinting::planPrint()
{
    QFETCH(QSize, cells);
    QFETCH(QSize, area);
    QFETCH(int, cell);
    QFETCH(int, wantCell);
    QFETCH(int, sheets);
    QFETCH(QPoint, firstTarget);
    const TPrintPlan plan = PlanPrint(cells, area, cell);
    QCOMPARE(plan.Cell, wantCell);
    QCOMPARE(int(plan.Sheets.size()), sheets);
    QCOMPARE(plan.Sheets.front().Target, firstTarget);
    // Every piece lies on its page and on the board, together they cover the board, and
    // neighbouring pieces share exactly one cell.
    const QRect board(QPoint(0, 0), cells * plan.Cell);
    QRegion covered;
    for (size_t i = 0; i < plan.Sheets.size(); ++i) {
        const TPrintSheet &s = plan.Sheets[i];
        QVERIFY(board.contains(s.Source));
        QVERIFY(QRect(QPoint(0, 0), area).contains(QRect(s.Target, s.Source.size())));
        covered += s.Source;
        if (i > 0 && plan.Sheets[i - 1].Source.top() == s.Source.top())
            QCOMPARE(s.Source.left(), plan.Sheets[i - 1].Source.right() + 1 - plan.Cell);
    }
    QCOMPARE(covered, QRegion(board));
}

void TestPrinting::paperContent()
{
    PuzzleDocument doc = DocumentFromPicture({{1, 0, 1}, {0, 1, 1}});
    doc.Marks = {{-1, 1, 0}, {0, 1, -1}};
    doc.RowClueStrikes[0][0] = 1;
    doc.ColClueStrikes[0][2] = 1;
    const PuzzleDocument blank = PaperDocument(doc, TPrintContent::Blank);
    QCOMPARE(blank.Marks, MakeCrossArr(2, 3));
    QCOMPARE(blank.RowClueStrikes[0][0], 0);
    QCOMPARE(blank.ColClueStrikes[0][2], 0);
    QCOMPARE(blank.Solution, doc.Solution);
    QCOMPARE(PaperDocument(doc, TPrintContent::Marks), doc);
    const PuzzleDocument solution = PaperDocument(doc, TPrintContent::Solution);
    QCOMPARE(solution.Marks, doc.Solution);
    QCOMPARE(solution.RowClueStrikes[0][0], 0);
}

void TestPrinting::paperCluesKeepApart_data()
{
    QTest::addColumn<int>("a");
    for (int a : {10, 15, 22, 35})
        QTest::addRow("cell %d", a) << a;
}

void TestPrinting::paperCluesKeepApart()
{
    // "33302825" on paper: numbers of two and three digits in neighbouring cells must not meet.
    QFETCH(int, a);
    const PuzzleDocument doc = TightClues();
    const QSize size((doc.RowClueDepth + doc.ColCount + 2) * a, (doc.ColClueDepth + doc.RowCount + 2) * a);
    QImage image(size, QImage::Format_RGB32), plain(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    plain.fill(Qt::white);
    const TBoardOrigins o = RenderPaperBoard(image, size.width(), size.height(), doc, a);
    const int numbers[] = {6, 2, 2};
    for (int r = 0; r < 3; ++r) {
        const QString fault = ClueGapFault(image, o.GridLeft, o.GridTop + a * r, a, numbers[r], std::max(2, a / 8));
        QVERIFY2(fault.isEmpty(), qPrintable(QString("row %1: %2").arg(r).arg(fault)));
    }
    RenderPaperBoardReference(plain, size.width(), size.height(), doc, a);
    QCOMPARE(image, plain);
}

void TestPrinting::paperCluesKeepApartInThePdf()
{
    // At 3 mm cells on a page rasterised at 300 dpi.
    QTemporaryDir out;
    const QString pdf = out.filePath("clues.pdf");
    const PuzzleDocument doc = TightClues();
    QSize printable;
    {
        QPdfWriter writer(pdf);
        writer.setResolution(PaperDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        printable = QSize(writer.width(), writer.height());
        QPainter painter(&writer);
        QCOMPARE(PaintBoardPages(painter, writer, doc, "clues", TPrintContent::Blank, 3.0), 1);
    }
    const TPrintPlan plan = PlanPrint(PaperBoardCells(doc), printable - QSize(0, PaperHeaderHeight), PaperPixels(3.0));
    QCOMPARE(int(plan.Sheets.size()), 1);
    const int a = plan.Cell;
    QCOMPARE(a, 35);
    QVERIFY(QProcess::execute("pdftoppm", {"-r", "300", "-png", "-singlefile", pdf, out.filePath("page")}) == 0);
    QImage raster(out.filePath("page.png"));
    QVERIFY(!raster.isNull());
    raster = raster.convertToFormat(QImage::Format_RGB32);
    const int margin = qRound(10 * PaperDpi / 25.4);
    const QPoint planned = QPoint(margin, margin + PaperHeaderHeight) + plan.Sheets[0].Target;
    // The grey band is where the plan puts it, give or take the page margin's rounding; the
    // corner found on the page places the cells exactly.
    const QPoint near = planned - QPoint(8, 8);
    const QPoint corner = FirstInk(raster.copy(QRect(near, QSize(4 * a, 4 * a))), [](QColor c) {
        return qAbs(c.red() - 202) < 8 && qAbs(c.green() - 202) < 8 && qAbs(c.blue() - 202) < 8;
    });
    QVERIFY(corner.x() >= 0 && corner.y() >= 0);
    const QPoint board = near + corner;
    QVERIFY2((board - planned).manhattanLength() <= 4, qPrintable(QString("board at %1,%2, planned %3,%4")
                                                                     .arg(board.x()).arg(board.y()).arg(planned.x()).arg(planned.y())));
    const int gridLeft = board.x() + a * (1 + doc.RowClueDepth);
    const int gridTop = board.y() + a * (1 + doc.ColClueDepth);
    const int numbers[] = {6, 2, 2};
    for (int r = 0; r < 3; ++r) {
        const QString fault = ClueGapFault(raster, gridLeft, gridTop + a * r, a, numbers[r], a / 8);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("row %1: %2").arg(r).arg(fault)));
    }
}

void TestPrinting::setupCommandFollowsPrint()
{
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    QVERIFY(form.FilePrintSetup1);
    QCOMPARE(form.FilePrintSetup1->shortcut(), QKeySequence("Ctrl+Shift+P"));
    QCOMPARE(form.FilePrint1->shortcut(), QKeySequence("Ctrl+P"));
    QCOMPARE(form.FilePrintSetup1->isEnabled(), form.FilePrint1->isEnabled());
    form.OpenPuzzleFile(PutPuzzle("setup.pxg"));
    QVERIFY(form.FilePrintSetup1->isEnabled());
    // The choices open on the active board, blank and fitted to the page; leaving them prints
    // nothing.
    bool seen = false;
    QTimer::singleShot(0, &form, [&] {
        auto *dialog = dynamic_cast<TPrintSetupDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = dialog->BlankButton->isChecked() && dialog->FitButton->isChecked() && dialog->PageCount() == 1;
        dialog->reject();
    });
    form.FilePrintSetup1->trigger();
    QVERIFY(seen);
    QVERIFY(prompter.Questions.isEmpty());
}

void TestPrinting::setupPrintsFittedOrTiled()
{
    const PuzzleDocument doc = BigPicture();
    TPrintSetupDialog dialog(nullptr, doc, "big");
    QPrinter &printer = dialog.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QTemporaryDir out;

    // Fitted: one page, cells of some two millimetres.
    dialog.SetOptions({TPrintContent::Blank, 0});
    QCOMPARE(dialog.PageCount(), 1);
    printer.setOutputFileName(out.filePath("fit.pdf"));
    PrintBoard(printer, doc, "big", dialog.Options());
    QCOMPARE(PdfPages(out.filePath("fit.pdf")), 1);

    // Bigger cells: pieces overlapping by a cell; the page range picks among them.
    dialog.SetOptions({TPrintContent::Marks, 5.0});
    const int pages = dialog.PageCount();
    QVERIFY(pages > 1);
    printer.setOutputFileName(out.filePath("tiled.pdf"));
    PrintBoard(printer, doc, "big", dialog.Options());
    QCOMPARE(PdfPages(out.filePath("tiled.pdf")), pages);
    QPageRanges ranges;
    ranges.addRange(2, 3);
    printer.setPageRanges(ranges);
    printer.setOutputFileName(out.filePath("range.pdf"));
    PrintBoard(printer, doc, "big", dialog.Options());
    QCOMPARE(PdfPages(out.filePath("range.pdf")), 2);
}

void TestPrinting::bookletPlanKeepsEveryPuzzleWhole()
{
    std::vector<TBookletPuzzle> puzzles;
    for (int n : {5, 10, 100, 15, 20, 10, 30})
        puzzles.push_back({QString::number(n), Sized(n, n, n / 3 + 1, n / 3 + 1)});
    const QSize printable(2244, 3272);
    const int minCell = PaperPixels(2.0);
    const auto pages = PlanBooklet(puzzles, printable, 4, minCell, PaperHeaderHeight);
    std::vector<int> seen;
    for (const auto &page : pages) {
        QVERIFY(!page.empty() && page.size() <= 4);
        for (size_t i = 0; i < page.size(); ++i) {
            const TBookletSlot &slot = page[i];
            seen.push_back(slot.Puzzle);
            QVERIFY(QRect(QPoint(0, 0), printable).contains(slot.Area));
            for (size_t j = 0; j < i; ++j)
                QVERIFY(!slot.Area.intersects(page[j].Area));
            // Sharing a page never makes a puzzle's cells smaller than the least.
            const QSize cells = PaperBoardCells(puzzles[slot.Puzzle].Doc);
            if (page.size() > 1)
                QVERIFY(FitCell(cells, slot.Area.size() - QSize(0, PaperHeaderHeight)) >= minCell);
        }
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen, std::vector<int>({0, 1, 2, 3, 4, 5, 6}));
    // The 100 x 100 has a page to itself, and the small ones fill theirs around it.
    QCOMPARE(int(pages.size()), 3);
    QCOMPARE(int(pages[0].size()), 1);
    QCOMPARE(pages[0][0].Puzzle, 2);
}

void TestPrinting::bookletFromTheTool()
{
    QTemporaryDir out;
    QStringList files;
    for (int i = 0; i < 20; ++i) {
        const PuzzleDocument doc = i == 0 ? BigPicture() : i == 1 ? TightClues()
                                 : FromRuns(5 + i * 2, {{i % 5 + 1, 2}, {3}, {1, 1, i % 3 + 1}, {4 + i}});
        const QString path = out.filePath(QString("p%1.pxg").arg(i, 2, 10, QChar('0')));
        QVERIFY(WritePuzzle(path, doc));
        files << path;
    }
    const auto run = [](const QStringList &args, QString *errors = nullptr) {
        QProcess p;
        p.start(PXGTOOL_EXE, args);
        p.waitForFinished(120000);
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const QString pdf = out.filePath("booklet.pdf");
    QString errors;
    const int status = run(QStringList{"print", "--pdf", pdf, "--solutions"} + files, &errors);
    QVERIFY2(status == 0, qPrintable(QString("status %1: %2").arg(status).arg(errors)));
    const int pages = PdfPages(pdf);
    QVERIFY2(pages >= 2 && pages % 2 == 0, qPrintable(RunPdfInfo(pdf)));
    QVERIFY(RunPdfInfo(pdf).contains("A4"));
    QVERIFY(QDir(out.path()).entryList({"*.pdf*"}, QDir::Files) == QStringList{"booklet.pdf"});

    // A file that cannot be read leaves the old PDF as it was; so does a folder that is not there.
    QFile bad(out.filePath("bad.pxg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a puzzle");
    bad.close();
    const QByteArray before = [&] { QFile f(pdf); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QCOMPARE(run({"print", "--pdf", pdf, files[3], bad.fileName()}, &errors), 1);
    QVERIFY(errors.contains("bad.pxg"));
    QFile again(pdf);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), before);
    QCOMPARE(run({"print", "--pdf", out.filePath("none/b.pdf"), files[3]}, &errors), 1);
    QVERIFY(!QFile::exists(out.filePath("none/b.pdf")));
    QCOMPARE(run({"print", "--pdf", pdf, "--per-page", "0", files[3]}), 2);
    QCOMPARE(run({"print", files[3]}), 2);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
