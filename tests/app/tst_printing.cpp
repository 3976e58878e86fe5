// Printing a board: page orientation, the whole-number scale, and real jobs on a private CUPS.
#include "ScriptedPrompter.h"
#include "app/Printing.h"
#include "app/uMain.h"
#include "core/BoardRender.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

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
    QTest::newRow("landscape reads the width") << QSize(470, 425) << QSize(6600, 100) << QRect(0, 0, 2820, 2550);
    QTest::newRow("larger than the page is cut, not shrunk") << QSize(900, 1000) << QSize(1000, 2000)
                                                             << QRect(0, 0, 1800, 2000);
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
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(PuzzleFile::Serialize(doc));
    return path;
}

void TestPrinting::printRenderMatchesTheRenderer()
{
    // What goes to paper is the print variant of the one renderer, at cell 15, whatever the zoom.
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
    RenderBoard(direct, size.width(), size.height(), child->Doc, PrintCellSize, false, nullptr);
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
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(PuzzleFile::Serialize(DocumentFromPicture(picture)));
    f.close();
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
    RenderBoard(bitmap, size.width(), size.height(), child->Doc, PrintCellSize, false, nullptr);

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

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
