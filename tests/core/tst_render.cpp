// Board rendering checked by its pixels, and the fast renderer against the plain QPainter one.
#include "core/BoardRender.h"
#include "core/Clues.h"

#include <QCryptographicHash>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <random>
#include <utility>

namespace {

constexpr QRgb Grey = qRgb(202, 202, 202);
constexpr QRgb ClueColour = qRgb(223, 255, 255);
constexpr QRgb Thin = qRgb(164, 164, 164);
constexpr QRgb Thick = qRgb(136, 136, 136);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Red = qRgb(255, 0, 0);

PuzzleDocument BlankDoc(int cols, int rows, int rowDepth, int colDepth)
{
    PuzzleDocument doc;
    doc.ColCount = cols;
    doc.RowCount = rows;
    doc.RowClueDepth = rowDepth;
    doc.ColClueDepth = colDepth;
    doc.Solution = MakeCrossArr(rows, cols);
    doc.Marks = MakeCrossArr(rows, cols);
    doc.RowClueStrikes = MakeCrossArr(rows, rowDepth);
    doc.ColClueStrikes = MakeCrossArr(colDepth, cols);
    return doc;
}

struct TRendered {
    QImage Image;
    TBoardOrigins O;
    int a = 0;
    int Right = 0;   // BoardLeft + a * (RowClueDepth + ColCount)
    int Bottom = 0;  // BoardTop + a * (ColClueDepth + RowCount)
};

// A repaint as the board window does it: white first, then the board.
TRendered Render(const PuzzleDocument &doc, int W, int H, int a, bool screen = true,
                 const QImage *backdrop = nullptr)
{
    TRendered r;
    r.Image = QImage(W, H, QImage::Format_RGB32);
    r.Image.fill(White);
    r.O = RenderBoard(r.Image, W, H, doc, a, screen, backdrop);
    r.a = a;
    r.Right = r.O.BoardLeft + a * (doc.RowClueDepth + doc.ColCount);
    r.Bottom = r.O.BoardTop + a * (doc.ColClueDepth + doc.RowCount);
    return r;
}

int CountColour(const QImage &image, const QRect &area, QRgb colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) == colour)
                ++n;
    return n;
}

// Pixels of the area that are none of the given colours.
int CountOthers(const QImage &image, const QRect &area, QRgb one, QRgb other)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p != one && p != other)
                ++n;
        }
    return n;
}

QString Hex(QRgb c)
{
    return QStringLiteral("RGB(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

#define CHECK_PIXEL(image, x, y, colour)                                                          \
    do {                                                                                          \
        const QRgb got_ = (image).pixel((x), (y));                                                \
        if (got_ != (colour))                                                                     \
            QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")                  \
                                 .arg(x).arg(y).arg(Hex(got_), Hex(colour))));                    \
    } while (0)

// Pixels of the area that are not a mix of the two colours; smoothed text edges are mixes.
int CountNonBlends(const QImage &image, const QRect &area, QRgb from, QRgb to)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            // How far towards `to` the pixel went, judged on the channel that moves most.
            const int spanR = qRed(to) - qRed(from), spanG = qGreen(to) - qGreen(from),
                      spanB = qBlue(to) - qBlue(from);
            const int widest = std::max({std::abs(spanR), std::abs(spanG), std::abs(spanB)});
            if (widest == 0) {
                n += p != from;
                continue;
            }
            double t = 0;
            if (std::abs(spanR) == widest)
                t = double(qRed(p) - qRed(from)) / spanR;
            else if (std::abs(spanG) == widest)
                t = double(qGreen(p) - qGreen(from)) / spanG;
            else
                t = double(qBlue(p) - qBlue(from)) / spanB;
            const bool mix = t >= -0.01 && t <= 1.01 && std::abs(qRed(from) + t * spanR - qRed(p)) <= 40
                && std::abs(qGreen(from) + t * spanG - qGreen(p)) <= 40
                && std::abs(qBlue(from) + t * spanB - qBlue(p)) <= 40;
            n += !mix;
        }
    return n;
}

// A number as a w x h cell of p points over its background shows it: centred, black, smoothed.
QImage ExpectedText(int w, int h, const QString &text, int points, bool bold, QRgb background = ClueColour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(background);
    QFont font;
    font.setPointSize(points);
    font.setBold(bold);
    const QFontMetrics metrics(font, &image);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(Qt::black));
    const int left = (w - metrics.horizontalAdvance(text)) / 2;
    const int top = (h - metrics.height()) / 2;
    painter.drawText(QPoint(left, top + metrics.ascent()), text);
    return image;
}

// Compares a cell's inside (clear of its left and top lines) with the text, pixel for pixel.
bool InkMatches(const QImage &board, const QRect &cell, const QImage &text, QString *why)
{
    for (int y = 2; y < cell.height(); ++y)
        for (int x = 2; x < cell.width(); ++x) {
            const QRgb got = board.pixel(cell.left() + x, cell.top() + y);
            const QRgb expected = text.pixel(x, y);
            if (got != expected) {
                *why = QStringLiteral("cell pixel (%1, %2): %3, expected %4")
                           .arg(x).arg(y).arg(Hex(got), Hex(expected));
                return false;
            }
        }
    return true;
}

int InkCount(const QImage &text)
{
    return text.width() * text.height() - CountColour(text, text.rect(), text.pixel(0, 0));
}

QRect RowClueCell(const TRendered &r, int row, int k)
{
    return QRect(r.O.GridLeft - r.a * (k + 1), r.O.GridTop + r.a * row, r.a, r.a);
}

QRect ColumnClueCell(const TRendered &r, int col, int k)
{
    return QRect(r.O.GridLeft + r.a * col, r.O.GridTop - r.a * (k + 1), r.a, r.a);
}

QRect Inside(const QRect &cell)
{
    return cell.adjusted(2, 2, 0, 0);
}

// ---- Random puzzles for comparing the two renderers. ----

struct TPuzzleRecipe {
    int Cols, Rows;
    unsigned Seed;
    int DepthShortfall;  // clue depths this much below what the picture needs
    bool RaggedExtents;
};

PuzzleDocument RandomDoc(const TPuzzleRecipe &recipe)
{
    std::mt19937 rng(recipe.Seed);
    TMyCrossArr picture = MakeCrossArr(recipe.Rows, recipe.Cols);
    for (auto &row : picture)
        for (auto &cell : row)
            cell = rng() % 100 < 55 ? 1 : 0;
    PuzzleDocument doc = DocumentFromPicture(picture);
    doc.RowClueDepth = std::max(0, doc.RowClueDepth - recipe.DepthShortfall);
    doc.ColClueDepth = std::max(0, doc.ColClueDepth - recipe.DepthShortfall);
    doc.RowClueStrikes = MakeCrossArr(doc.RowCount, doc.RowClueDepth);
    doc.ColClueStrikes = MakeCrossArr(doc.ColClueDepth, doc.ColCount);
    for (auto &row : doc.Marks)
        for (auto &cell : row) {
            const unsigned v = rng() % 20;
            cell = v < 6 ? -1 : v < 12 ? 0 : v < 19 ? 1 : 5;
        }
    for (auto &row : doc.RowClueStrikes)
        for (auto &cell : row)
            cell = rng() % 3 == 0 ? 1 : 0;
    for (auto &row : doc.ColClueStrikes)
        for (auto &cell : row)
            cell = rng() % 3 == 0 ? 1 : 0;
    if (recipe.RaggedExtents) {
        // Matrices larger than the dimensions say are drawn over their own extent.
        doc.Marks.push_back(std::vector<int32_t>(recipe.Cols + 2, -1));
        doc.Marks[0].push_back(0);
        doc.Marks[0].push_back(1);
        doc.RowClueStrikes[0].push_back(1);
        if (!doc.ColClueStrikes.empty())
            doc.ColClueStrikes[0].push_back(1);
    }
    return doc;
}

QImage GradientBackdrop(int w, int h, QImage::Format format)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    return image.convertToFormat(format);
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT

private slots:
    void returnsTheOrigins();
    void frameBandClueAreaAndEmptyCorner();
    void struckAndUnstruckClueCells();
    void cluesStandNextToTheGrid();
    void linesAndCountsWithTwelveColumns();
    void countsWithFifteenColumns();
    void filledEmptyCrossedAndOddMarks();
    void crossEndPointsAtCellSizeTen();
    void crossRunsCornerToCornerAtCellSizeFour();
    void highlightFramesColumnAndRow();
    void highlightOutsideTheGridDrawsNothing_data();
    void highlightOutsideTheGridDrawsNothing();
    void fontSizeAndWeight_data();
    void fontSizeAndWeight();
    void backdropSmallerThanTheArea();
    void backdropLargerThanTheAreaIsCut();
    void blackBackdrop();
    void printVariantDrawsNoBackdrop();
    void moreRunsThanDepthDrawOutward();
    void targetResolutionDoesNotChangeText();
    void fastMatchesReference_data();
    void fastMatchesReference();
    void fullBoardKeepsItsBytes_data();
    void fullBoardKeepsItsBytes();
    void canvasFollowsEvents_data();
    void canvasFollowsEvents();
};

void TestRender::returnsTheOrigins()
{
    const PuzzleDocument doc = BlankDoc(20, 15, 5, 4);
    const TRendered r = Render(doc, 800, 600, 31);
    QCOMPARE(r.O.BoardLeft, 28);
    QCOMPARE(r.O.BoardTop, 21);
    QCOMPARE(r.O.GridLeft, 183);
    QCOMPARE(r.O.GridTop, 145);
}

void TestRender::frameBandClueAreaAndEmptyCorner()
{
    const PuzzleDocument doc = BlankDoc(20, 15, 5, 4);
    const TRendered r = Render(doc, 800, 600, 25);
    const TBoardOrigins &o = r.O;
    QCOMPARE(o.BoardLeft, 100);
    QCOMPARE(o.BoardTop, 75);
    const int a = 25;

    // The band, one cell wide on every side, and white beyond it.
    CHECK_PIXEL(r.Image, o.BoardLeft - a, o.BoardTop - a, Grey);
    CHECK_PIXEL(r.Image, o.BoardLeft - 1, o.GridTop + a + 10, Grey);
    CHECK_PIXEL(r.Image, r.Right + a - 1, r.Bottom + a - 1, Grey);
    CHECK_PIXEL(r.Image, o.GridLeft + 3, r.Bottom + a - 1, Grey);
    CHECK_PIXEL(r.Image, o.BoardLeft - a - 1, 300, White);
    CHECK_PIXEL(r.Image, r.Right + a, r.Bottom + a, White);
    CHECK_PIXEL(r.Image, 400, o.BoardTop - a - 1, White);

    // The empty corner has the clue colour and no inner lines.
    for (int i = 1; i < 4; ++i) {
        CHECK_PIXEL(r.Image, o.BoardLeft + a * i, o.BoardTop + a + 5, ClueColour);
        CHECK_PIXEL(r.Image, o.BoardLeft + a + 5, o.BoardTop + a * i, ClueColour);
    }
    QCOMPARE(CountOthers(r.Image, QRect(o.BoardLeft + 2, o.BoardTop + 2, 5 * a - 2, 4 * a - 2),
                         ClueColour, ClueColour),
             0);

    // The clue areas have their lines; the clue cells are light.
    CHECK_PIXEL(r.Image, o.BoardLeft + a, o.GridTop + 5, Thin);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.BoardTop + a, Thin);
    CHECK_PIXEL(r.Image, o.GridLeft - a + 5, o.GridTop + 5, ClueColour);
    CHECK_PIXEL(r.Image, o.GridLeft + a + 5, o.GridTop - 5, ClueColour);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.GridTop + 5, White);
}

void TestRender::struckAndUnstruckClueCells()
{
    PuzzleDocument doc = BlankDoc(12, 7, 2, 2);
    // Column 1 has runs 1 and 2: "2" next to the grid, "1" above it. Rows 0, 2, 3 show "1".
    for (int r : {0, 2, 3})
        doc.Solution[r][1] = 1;
    doc.ColClueStrikes[0][1] = 1;
    doc.RowClueStrikes[2][0] = 1;
    doc.ColClueStrikes[1][7] = 1;  // a struck cell without a number
    const TRendered r = Render(doc, 600, 400, 25);

    const QRect struckColumn = Inside(ColumnClueCell(r, 1, 0));
    QCOMPARE(CountNonBlends(r.Image, struckColumn, Grey, Black), 0);
    QVERIFY(CountColour(r.Image, struckColumn, Black) > 0);
    QVERIFY(CountColour(r.Image, struckColumn, Grey) > 0);
    // The number's box is grey too: nothing light is left inside the cell.
    QCOMPARE(CountColour(r.Image, ColumnClueCell(r, 1, 0), ClueColour), 0);

    const QRect plainColumn = Inside(ColumnClueCell(r, 1, 1));
    QCOMPARE(CountNonBlends(r.Image, plainColumn, ClueColour, Black), 0);
    QVERIFY(CountColour(r.Image, plainColumn, Black) > 0);

    const QRect struckRow = Inside(RowClueCell(r, 2, 0));
    QCOMPARE(CountNonBlends(r.Image, struckRow, Grey, Black), 0);
    QVERIFY(CountColour(r.Image, struckRow, Black) > 0);
    const QRect plainRow = Inside(RowClueCell(r, 0, 0));
    QCOMPARE(CountNonBlends(r.Image, plainRow, ClueColour, Black), 0);
    QVERIFY(CountColour(r.Image, plainRow, Black) > 0);

    // A struck cell is grey across its whole rectangle (inside the top edge's two pixels),
    // even with no number in it.
    const QRect empty = ColumnClueCell(r, 7, 1);
    QCOMPARE(CountOthers(r.Image, Inside(empty), Grey, Grey), 0);
}

void TestRender::cluesStandNextToTheGrid()
{
    PuzzleDocument doc = BlankDoc(6, 3, 3, 1);
    // Row 1 reads 2, 1 from the left: "1" next to the grid, "2" before it, the outer cell empty.
    for (int c : {0, 1, 3})
        doc.Solution[1][c] = 1;
    const TRendered r = Render(doc, 600, 400, 30);
    const int points = FontPointSize(30, true);
    QString why;
    QVERIFY2(InkMatches(r.Image, RowClueCell(r, 1, 0), ExpectedText(30, 30, "1", points, true),
                        &why),
             qPrintable(why));
    QVERIFY2(InkMatches(r.Image, RowClueCell(r, 1, 1), ExpectedText(30, 30, "2", points, true),
                        &why),
             qPrintable(why));
    QCOMPARE(CountColour(r.Image, RowClueCell(r, 1, 2), Black), 0);
    // And the check itself tells the two numbers apart.
    QVERIFY(!InkMatches(r.Image, RowClueCell(r, 1, 0), ExpectedText(30, 30, "2", points, true),
                        &why));
}

void TestRender::linesAndCountsWithTwelveColumns()
{
    const PuzzleDocument doc = BlankDoc(12, 7, 2, 2);
    const int a = 20;
    const TRendered r = Render(doc, 600, 400, a);
    const TBoardOrigins &o = r.O;

    for (int n = 0; n <= 12; ++n) {
        const int x = o.GridLeft + a * n;
        const int y = o.GridTop + 5;
        if (n % 5 == 0) {
            // Thick, with its second pixel on the right.
            CHECK_PIXEL(r.Image, x, y, Thick);
            CHECK_PIXEL(r.Image, x + 1, y, Thick);
            CHECK_PIXEL(r.Image, x, o.BoardTop + 5, Thick);
            if (n != 0)
                CHECK_PIXEL(r.Image, x - 1, y, White);
        } else {
            CHECK_PIXEL(r.Image, x, y, Thin);
            CHECK_PIXEL(r.Image, x, o.BoardTop + 5, Thin);
            CHECK_PIXEL(r.Image, x + 1, y, n == 12 ? Grey : White);
        }
    }
    for (int n = 0; n <= 7; ++n) {
        const int y = o.GridTop + a * n;
        const int x = o.GridLeft + 5;
        if (n % 5 == 0) {
            // Thick, with its second pixel below.
            CHECK_PIXEL(r.Image, x, y, Thick);
            CHECK_PIXEL(r.Image, x, y + 1, Thick);
            CHECK_PIXEL(r.Image, o.BoardLeft + 5, y, Thick);
        } else {
            CHECK_PIXEL(r.Image, x, y, Thin);
            CHECK_PIXEL(r.Image, o.BoardLeft + 5, y, Thin);
            CHECK_PIXEL(r.Image, x, y + 1, n == 7 ? Grey : White);
        }
    }
    // Top and left board edges: two pixels into the board, the band untouched.
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.BoardTop, Thick);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.BoardTop + 1, Thick);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.BoardTop - 1, Grey);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, o.BoardTop + 2, ClueColour);
    CHECK_PIXEL(r.Image, o.BoardLeft, o.GridTop + 5, Thick);
    CHECK_PIXEL(r.Image, o.BoardLeft + 1, o.GridTop + 5, Thick);
    CHECK_PIXEL(r.Image, o.BoardLeft - 1, o.GridTop + 5, Grey);

    // Counts over the 5th and 10th columns only; never one for n = 0.
    for (int n = 0; n <= 12; ++n) {
        const QRect band(o.GridLeft + a * (n - 1), o.BoardTop - a, a, a);
        const int blue = CountColour(r.Image, band, Blue);
        if (n == 5 || n == 10)
            QVERIFY2(blue > 0, qPrintable(QStringLiteral("no count over column %1").arg(n)));
        else
            QVERIFY2(blue == 0, qPrintable(QStringLiteral("a count over column %1").arg(n)));
    }
    QCOMPARE(CountColour(r.Image, QRect(o.BoardLeft - a, o.GridTop + a * 4, a, a), Blue) > 0,
             true);
    QCOMPARE(CountColour(r.Image, QRect(o.BoardLeft - a, o.GridTop - a, a, a), Blue), 0);
    QCOMPARE(CountColour(r.Image, r.Image.rect(), Blue),
             CountColour(r.Image, QRect(o.GridLeft + 4 * a, o.BoardTop - a, a, a), Blue)
                 + CountColour(r.Image, QRect(o.GridLeft + 9 * a, o.BoardTop - a, a, a), Blue)
                 + CountColour(r.Image, QRect(o.BoardLeft - a, o.GridTop + 4 * a, a, a), Blue));
}

void TestRender::countsWithFifteenColumns()
{
    const PuzzleDocument doc = BlankDoc(15, 10, 1, 1);
    const int a = 20;
    const TRendered r = Render(doc, 600, 400, a);
    const TBoardOrigins &o = r.O;
    for (int n = 1; n <= 15; ++n) {
        const QRect band(o.GridLeft + a * (n - 1), o.BoardTop - a, a, a);
        QCOMPARE(CountColour(r.Image, band, Blue) > 0, n % 5 == 0);
    }
    for (int n = 1; n <= 10; ++n) {
        const QRect band(o.BoardLeft - a, o.GridTop + a * (n - 1), a, a);
        QCOMPARE(CountColour(r.Image, band, Blue) > 0, n % 5 == 0);
    }
    // The right and bottom edges fall on a fifth line, so they are thick.
    CHECK_PIXEL(r.Image, r.Right, o.GridTop + 5, Thick);
    CHECK_PIXEL(r.Image, r.Right + 1, o.GridTop + 5, Thick);
    CHECK_PIXEL(r.Image, r.Right + 2, o.GridTop + 5, Grey);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, r.Bottom, Thick);
    CHECK_PIXEL(r.Image, o.GridLeft + 5, r.Bottom + 1, Thick);
    // Neither edge reaches the corner it would share.
    CHECK_PIXEL(r.Image, r.Right, r.Bottom, Grey);
}

void TestRender::filledEmptyCrossedAndOddMarks()
{
    PuzzleDocument doc = BlankDoc(12, 7, 2, 2);
    doc.Marks[1][1] = 1;
    doc.Marks[1][2] = 0;
    doc.Marks[1][3] = -1;
    doc.Marks[1][5] = 1;
    doc.Marks[1][6] = 7;
    const int a = 20;
    const TRendered r = Render(doc, 600, 400, a);
    auto cellX = [&](int c) { return r.O.GridLeft + a * c; };
    const int y1 = r.O.GridTop + a;

    // Filled: black right up to the next lines, which keep their colour.
    QCOMPARE(CountOthers(r.Image, QRect(cellX(1) + 1, y1 + 1, a - 1, a - 1), Black, Black), 0);
    CHECK_PIXEL(r.Image, cellX(2) - 1, y1 + a - 1, Black);
    CHECK_PIXEL(r.Image, cellX(1), y1 + 5, Thin);
    CHECK_PIXEL(r.Image, cellX(2), y1 + 5, Thin);
    CHECK_PIXEL(r.Image, cellX(1) + 5, y1 + a, Thin);
    // Right of a thick line the line's second pixel covers the cell's first column.
    CHECK_PIXEL(r.Image, cellX(5) + 1, y1 + 5, Thick);
    CHECK_PIXEL(r.Image, cellX(5) + 2, y1 + 5, Black);
    CHECK_PIXEL(r.Image, cellX(6) - 1, y1 + a - 1, Black);

    // Empty: white inside.
    QCOMPARE(CountOthers(r.Image, QRect(cellX(2) + 1, y1 + 1, a - 1, a - 1), White, White), 0);

    // Crossed: white with a black cross that stops short of the last pixel.
    CHECK_PIXEL(r.Image, cellX(4) - 1, y1 + a - 1, White);
    CHECK_PIXEL(r.Image, cellX(3) + 10, y1 + 10, Black);
    QCOMPARE(CountOthers(r.Image, QRect(cellX(3) + 1, y1 + 1, a - 1, a - 1), White, Black), 0);
    // d = 4: two diagonals of 13 pixels sharing their middle one.
    QCOMPARE(CountColour(r.Image, QRect(cellX(3) + 1, y1 + 1, a - 1, a - 1), Black), 25);

    // Any other value leaves the white grid alone.
    QCOMPARE(CountOthers(r.Image, QRect(cellX(6) + 1, y1 + 1, a - 1, a - 1), White, White), 0);
}

void TestRender::crossEndPointsAtCellSizeTen()
{
    PuzzleDocument doc = BlankDoc(12, 7, 2, 2);
    doc.Marks[1][1] = -1;
    const int a = 10;
    const TRendered r = Render(doc, 600, 400, a);
    const int x1 = r.O.GridLeft + a;
    const int y1 = r.O.GridTop + a;
    for (int i = 2; i <= 8; ++i) {
        CHECK_PIXEL(r.Image, x1 + i, y1 + i, Black);
        CHECK_PIXEL(r.Image, x1 + i, y1 + 10 - i, Black);
    }
    CHECK_PIXEL(r.Image, x1 + 1, y1 + 1, White);
    CHECK_PIXEL(r.Image, x1 + 9, y1 + 9, White);
    CHECK_PIXEL(r.Image, x1 + 9, y1 + 1, White);
    CHECK_PIXEL(r.Image, x1 + 1, y1 + 9, White);
    QCOMPARE(CountColour(r.Image, QRect(x1 + 1, y1 + 1, 9, 9), Black), 13);
}

void TestRender::crossRunsCornerToCornerAtCellSizeFour()
{
    // The bottom-right corner of the board is the one cell corner no line covers, so the
    // cross of the last cell shows its starting point there.
    PuzzleDocument doc = BlankDoc(3, 2, 1, 1);
    doc.Marks[1][2] = -1;
    const TRendered small = Render(doc, 200, 100, 4);
    CHECK_PIXEL(small.Image, small.Right, small.Bottom, Black);
    const int x1 = small.O.GridLeft + 8;
    const int y1 = small.O.GridTop + 4;
    for (int i = 1; i <= 3; ++i) {
        CHECK_PIXEL(small.Image, x1 + i, y1 + i, Black);
        CHECK_PIXEL(small.Image, x1 + i, y1 + 4 - i, Black);
    }

    // With d = 2 the cross keeps off the corner.
    const TRendered large = Render(doc, 200, 100, 10);
    CHECK_PIXEL(large.Image, large.Right, large.Bottom, Grey);
    doc.Marks[1][2] = 0;
    const TRendered plain = Render(doc, 200, 100, 4);
    CHECK_PIXEL(plain.Image, plain.Right, plain.Bottom, Grey);
}

void TestRender::highlightFramesColumnAndRow()
{
    PuzzleDocument doc = BlankDoc(12, 7, 2, 3);
    doc.Marks[2][4] = 1;
    const int a = 20;
    TRendered r = Render(doc, 600, 400, a);
    const QImage before = r.Image;
    const TBoardOrigins &o = r.O;
    DrawHighlight(r.Image, o, a, doc, o.GridLeft + 4 * a + 7, o.GridTop + 2 * a + a - 1);

    const QRect column(QPoint(o.GridLeft + 4 * a + 1, o.GridTop - 3 * a + 1),
                       QPoint(o.GridLeft + 5 * a - 1, o.GridTop + 7 * a - 1));
    const QRect row(QPoint(o.GridLeft - 2 * a + 1, o.GridTop + 2 * a + 1),
                    QPoint(o.GridLeft + 12 * a - 1, o.GridTop + 3 * a - 1));
    auto onEdge = [](const QRect &q, int x, int y) {
        return q.contains(x, y)
            && (x == q.left() || x == q.right() || y == q.top() || y == q.bottom());
    };
    for (int y = 0; y < r.Image.height(); ++y)
        for (int x = 0; x < r.Image.width(); ++x) {
            const QRgb expected = onEdge(column, x, y) || onEdge(row, x, y) ? Red
                                                                            : before.pixel(x, y);
            if (r.Image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                     .arg(x).arg(y).arg(Hex(r.Image.pixel(x, y)), Hex(expected))));
        }
    // The frames lie just inside the lines around them.
    CHECK_PIXEL(r.Image, o.GridLeft + 5 * a, o.GridTop + 5, Thick);
    CHECK_PIXEL(r.Image, o.GridLeft + 5 * a - 1, o.GridTop + 5, Red);
    CHECK_PIXEL(r.Image, o.GridLeft + 4 * a, o.GridTop + 5, Thin);
}

void TestRender::highlightOutsideTheGridDrawsNothing_data()
{
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("a");
    QTest::newRow("left of the grid") << -1 << 5 << 20;
    QTest::newRow("in a row clue") << -15 << 5 << 20;
    QTest::newRow("in a column clue") << 5 << -1 << 20;
    QTest::newRow("one past the last column") << 12 * 20 << 5 << 20;
    QTest::newRow("one past the last row") << 5 << 7 * 20 << 20;
    QTest::newRow("cell size 0") << 0 << 0 << 0;
}

void TestRender::highlightOutsideTheGridDrawsNothing()
{
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, a);
    const PuzzleDocument doc = BlankDoc(12, 7, 2, 3);
    TRendered r = Render(doc, 600, 400, a);
    const QImage before = r.Image;
    DrawHighlight(r.Image, r.O, a, doc, r.O.GridLeft + dx, r.O.GridTop + dy);
    QCOMPARE(r.Image, before);
    QCOMPARE(CountColour(r.Image, r.Image.rect(), Red), 0);
}

void TestRender::fontSizeAndWeight_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("screen");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("screen 7") << 7 << true << 2 << false;
    QTest::newRow("screen 8") << 8 << true << 2 << true;
    QTest::newRow("screen 10") << 10 << true << 2 << true;
    QTest::newRow("screen 14") << 14 << true << 4 << true;
    QTest::newRow("screen 18") << 18 << true << 4 << true;
    QTest::newRow("screen 30") << 30 << true << 8 << true;
    QTest::newRow("print 15") << 15 << false << 8 << true;
    QTest::newRow("print 6") << 6 << false << 3 << false;
}

void TestRender::fontSizeAndWeight()
{
    QFETCH(int, a);
    QFETCH(bool, screen);
    QFETCH(int, points);
    QFETCH(bool, bold);
    PuzzleDocument doc = BlankDoc(12, 3, 1, 1);
    for (int c = 0; c < 12; ++c)
        doc.Solution[0][c] = 1;  // "12" left of row 0
    const TRendered r = Render(doc, 600, 400, a, screen);
    const QRect cell = RowClueCell(r, 0, 0);
    const QImage expected = ExpectedText(a, a, "12", points, bold);
    QVERIFY(InkCount(expected) > 0);
    QString why;
    QVERIFY2(InkMatches(r.Image, cell, expected, &why), qPrintable(why));
    // A size off by two points would have been seen.
    QVERIFY(!InkMatches(r.Image, cell, ExpectedText(a, a, "12", points + 2, bold), &why));
}

void TestRender::backdropSmallerThanTheArea()
{
    const PuzzleDocument doc = BlankDoc(3, 3, 1, 1);
    QImage backdrop(120, 90, QImage::Format_RGB32);
    backdrop.fill(qRgb(10, 200, 30));
    const TRendered r = Render(doc, 400, 300, 10, true, &backdrop);
    CHECK_PIXEL(r.Image, 0, 0, qRgb(10, 200, 30));
    CHECK_PIXEL(r.Image, 119, 89, qRgb(10, 200, 30));
    CHECK_PIXEL(r.Image, 120, 5, White);
    CHECK_PIXEL(r.Image, 5, 90, White);
    CHECK_PIXEL(r.Image, 399, 299, White);
    CHECK_PIXEL(r.Image, r.O.BoardLeft - 10, r.O.BoardTop - 10, Grey);
}

void TestRender::backdropLargerThanTheAreaIsCut()
{
    const PuzzleDocument doc = BlankDoc(3, 3, 1, 1);
    const QImage backdrop = GradientBackdrop(1000, 800, QImage::Format_RGB32);
    const TRendered r = Render(doc, 401, 301, 10, true, &backdrop);
    CHECK_PIXEL(r.Image, 0, 0, backdrop.pixel(0, 0));
    CHECK_PIXEL(r.Image, 400, 300, backdrop.pixel(400, 300));
    CHECK_PIXEL(r.Image, 17, 250, backdrop.pixel(17, 250));
}

void TestRender::blackBackdrop()
{
    // What the board window shows when Background.jpg is missing.
    PuzzleDocument doc = BlankDoc(5, 5, 2, 2);
    doc.Marks[0][0] = 1;
    QImage backdrop(640, 480, QImage::Format_RGB32);
    backdrop.fill(Black);
    const TRendered r = Render(doc, 500, 400, 20, true, &backdrop);
    CHECK_PIXEL(r.Image, 0, 0, Black);
    CHECK_PIXEL(r.Image, 499, 399, Black);
    CHECK_PIXEL(r.Image, r.O.BoardLeft - 21, r.O.BoardTop, Black);
    CHECK_PIXEL(r.Image, r.O.BoardLeft - 20, r.O.BoardTop, Grey);
    CHECK_PIXEL(r.Image, r.O.BoardLeft + 5, r.O.BoardTop + 5, ClueColour);
    CHECK_PIXEL(r.Image, r.O.GridLeft + 25, r.O.GridTop + 5, White);
    CHECK_PIXEL(r.Image, r.O.GridLeft + 19, r.O.GridTop + 19, Black);
}

void TestRender::printVariantDrawsNoBackdrop()
{
    PuzzleDocument doc = BlankDoc(5, 5, 2, 2);
    doc.Solution[2][2] = 1;
    QImage backdrop(640, 480, QImage::Format_RGB32);
    backdrop.fill(qRgb(10, 200, 30));
    const TRendered r = Render(doc, 7 * 15 + 50, 7 * 15 + 50, 15, false, &backdrop);
    CHECK_PIXEL(r.Image, 0, 0, White);
    QCOMPARE(CountColour(r.Image, r.Image.rect(), qRgb(10, 200, 30)), 0);
    // Still the whole board, with its 8-point bold numbers.
    CHECK_PIXEL(r.Image, r.O.BoardLeft - 15, r.O.BoardTop - 15, Grey);
    QString why;
    QVERIFY2(InkMatches(r.Image, RowClueCell(r, 2, 0), ExpectedText(15, 15, "1", 8, true), &why),
             qPrintable(why));
}

void TestRender::moreRunsThanDepthDrawOutward()
{
    PuzzleDocument doc = BlankDoc(9, 3, 1, 1);
    for (int c : {0, 2, 4})
        doc.Solution[1][c] = 1;  // three runs for a depth of one
    const TRendered r = Render(doc, 600, 400, 20);
    // k = 1 falls in the grey band and keeps its light number box; k = 2 lies beyond the frame.
    const QRect band = RowClueCell(r, 1, 1);
    QCOMPARE(band.right(), r.O.BoardLeft - 1);
    QVERIFY(CountColour(r.Image, band, Black) > 0);
    QVERIFY(CountColour(r.Image, band, ClueColour) > 0);
    QVERIFY(CountColour(r.Image, band, Grey) > 0);
    const QRect beyond = RowClueCell(r, 1, 2);
    QVERIFY(CountColour(r.Image, beyond, Black) > 0);
    QVERIFY(CountColour(r.Image, beyond, ClueColour) > 0);

    // A long row runs off the left edge of the target without harm.
    PuzzleDocument wide = BlankDoc(80, 2, 0, 0);
    for (int c = 0; c < 80; c += 2)
        wide.Solution[0][c] = 1;
    for (const auto &[a, W] : {std::pair{2, 200}, std::pair{6, 600}}) {
        QImage tight(600, 100, QImage::Format_RGB32);
        tight.fill(White);
        QImage plain = tight;
        RenderBoard(tight, W, 100, wide, a, a == 6, nullptr);
        RenderBoardReference(plain, W, 100, wide, a, a == 6, nullptr);
        QCOMPARE(tight, plain);
    }
    QImage edge(600, 100, QImage::Format_RGB32);
    edge.fill(White);
    RenderBoard(edge, 600, 100, wide, 6, true, nullptr);
    // Nothing but the outermost numbers reaches the target's first columns.
    QVERIFY(CountOthers(edge, QRect(0, 0, 6, 100), White, White) > 0);
}

void TestRender::targetResolutionDoesNotChangeText()
{
    PuzzleDocument doc = BlankDoc(12, 3, 1, 1);
    for (int c = 0; c < 12; ++c)
        doc.Solution[0][c] = 1;
    const TRendered plain = Render(doc, 600, 400, 30);
    QImage dense(600, 400, QImage::Format_RGB32);
    dense.setDotsPerMeterX(11811);  // 300 dpi
    dense.setDotsPerMeterY(11811);
    dense.fill(White);
    RenderBoardReference(dense, 600, 400, doc, 30, true, nullptr);
    QCOMPARE(dense, plain.Image);
}

void TestRender::fastMatchesReference_data()
{
    QTest::addColumn<int>("puzzle");
    QTest::addColumn<int>("a");
    // A client area shorter than the clock panel gives a negative cell size.
    const int sizes[] = {-3, 0, 1, 3, 4, 7, 8, 10, 15, 23, 31, 48};
    for (int puzzle = 0; puzzle < 5; ++puzzle)
        for (int a : sizes)
            QTest::addRow("puzzle %d, a = %d", puzzle, a) << puzzle << a;
}

void TestRender::fastMatchesReference()
{
    QFETCH(int, puzzle);
    QFETCH(int, a);
    // Exact depths, too-small depths with oversized matrices, a board much larger than its
    // area, a single cell, and rows without any clue room.
    static const TPuzzleRecipe recipes[] = {
        {20, 15, 1, 0, false}, {13, 9, 2, 2, true}, {60, 45, 3, 0, false}, {1, 1, 4, 0, false},
        {7, 31, 5, 9, true}};
    static const QSize areas[] = {{800, 600}, {401, 333}, {640, 480}, {50, 40}, {300, 701}};
    const PuzzleDocument doc = RandomDoc(recipes[puzzle]);
    const QSize area = areas[puzzle];
    const QImage backdrops[] = {
        GradientBackdrop(area.width() / 2 + 3, area.height() + 40, QImage::Format_RGB32),
        GradientBackdrop(area.width() + 9, area.height() / 3, QImage::Format_ARGB32)};

    for (bool screen : {true, false})
        for (int b = -1; b < 2; ++b) {
            const QImage *backdrop = b < 0 ? nullptr : &backdrops[b];
            QImage fast(area, QImage::Format_RGB32);
            fast.fill(White);
            QImage plain = fast;
            const TBoardOrigins fo = RenderBoard(fast, area.width(), area.height(), doc, a,
                                                 screen, backdrop);
            const TBoardOrigins po = RenderBoardReference(plain, area.width(), area.height(),
                                                          doc, a, screen, backdrop);
            QCOMPARE(fo.BoardLeft, po.BoardLeft);
            QCOMPARE(fo.BoardTop, po.BoardTop);
            QCOMPARE(fo.GridLeft, po.GridLeft);
            QCOMPARE(fo.GridTop, po.GridTop);
            if (fast != plain)
                for (int y = 0; y < area.height(); ++y)
                    for (int x = 0; x < area.width(); ++x)
                        if (fast.pixel(x, y) != plain.pixel(x, y))
                            QFAIL(qPrintable(
                                QStringLiteral("%1, backdrop %2: pixel (%3, %4) is %5, "
                                               "the plain render has %6")
                                    .arg(screen ? "screen" : "print")
                                    .arg(b)
                                    .arg(x)
                                    .arg(y)
                                    .arg(Hex(fast.pixel(x, y)), Hex(plain.pixel(x, y)))));
            // The highlight drawn over either is the same too.
            const int hx = fo.GridLeft + a * doc.ColCount / 2;
            const int hy = fo.GridTop + a * doc.RowCount / 2;
            DrawHighlight(fast, fo, a, doc, hx, hy);
            DrawHighlight(plain, po, a, doc, hx, hy);
            QCOMPARE(fast, plain);
        }
}

void TestRender::fullBoardKeepsItsBytes_data()
{
    QTest::addColumn<int>("puzzle");
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("screen");
    QTest::addColumn<QByteArray>("sha1");
    // Taken from the renderer as it was before the board could be drawn in part: print,
    // pxgtool and the fitted board must not move by a pixel.
    QTest::newRow("print 20x15 a=15") << 0 << 15 << false << QByteArray("2275be20918e37ee22c87055ad4328791e5e5ba8");
    QTest::newRow("print 13x9 a=31") << 1 << 31 << false << QByteArray("389da4aa0a861044b616e3a4afa08febe6700143");
    QTest::newRow("print 60x45 a=6") << 2 << 6 << false << QByteArray("de360639493d33ae290fbd62b9be31a4f4b3845a");
    QTest::newRow("screen 20x15 a=23") << 0 << 23 << true << QByteArray("e2f7630c875f69e6e89e69feece86ef01785015d");
    QTest::newRow("screen 7x31 a=3") << 4 << 3 << true << QByteArray("54344fbfa71a297def503bb98de4d09cd62786ec");
}

void TestRender::fullBoardKeepsItsBytes()
{
    QFETCH(int, puzzle);
    QFETCH(int, a);
    QFETCH(bool, screen);
    QFETCH(QByteArray, sha1);
    static const TPuzzleRecipe recipes[] = {
        {20, 15, 1, 0, false}, {13, 9, 2, 2, true}, {60, 45, 3, 0, false}, {1, 1, 4, 0, false},
        {7, 31, 5, 9, true}};
    const PuzzleDocument doc = RandomDoc(recipes[puzzle]);
    const QImage backdrop = GradientBackdrop(300, 200, QImage::Format_RGB32);
    const TRendered r = Render(doc, 640, 480, a, screen, &backdrop);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < r.Image.height(); ++y)
        hash.addData(QByteArrayView(r.Image.constScanLine(y), r.Image.width() * 4));
    QCOMPARE(hash.result().toHex(), sha1);
}

void TestRender::canvasFollowsEvents_data()
{
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : {1u, 2u, 3u, 4u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestRender::canvasFollowsEvents()
{
    // After every event the kept board must be the plain full render, and every pixel that
    // changed must lie in the region handed to the screen.
    QFETCH(unsigned, seed);
    std::mt19937 rng(seed);
    PuzzleDocument doc = RandomDoc({int(30 + seed * 7), int(20 + seed * 5), seed, 0, seed == 2});
    const QImage backdrop = GradientBackdrop(700, 500, QImage::Format_RGB32);
    QSize area(640, 480);
    int a = 12;
    bool closeUp = false;
    TCloseUpScroll scroll;
    TBoardCanvas canvas;
    TClueInk ink;
    QImage screen;
    QImage before;
    for (int step = 0; step < 80; ++step) {
        const int rows = int(doc.Marks.size());
        const int cols = int(doc.Marks[0].size());
        switch (rng() % 9) {
        case 0: case 1: { // a stroke over a few cells, or its undo
            // Ragged documents have rows of their own lengths.
            const int r = int(rng() % rows), c0 = int(rng() % cols);
            const int32_t v = int32_t(rng() % 3) - 1;
            const int end = std::min(int(doc.Marks[r].size()), c0 + int(rng() % 4) + 1);
            for (int c = c0; c < end; ++c)
                doc.Marks[r][c] = v;
            break;
        }
        case 2: { // a struck clue
            TMyCrossArr &strikes = rng() % 2 ? doc.RowClueStrikes : doc.ColClueStrikes;
            if (!strikes.empty()) {
                auto &line = strikes[rng() % strikes.size()];
                if (!line.empty()) {
                    int32_t &f = line[rng() % line.size()];
                    f = 1 - f;
                }
            }
            break;
        }
        case 3: a = int(rng() % 30) + 2; break;
        case 4: area = QSize(300 + int(rng() % 500), 200 + int(rng() % 400)); break;
        case 5: closeUp = !closeUp; break;
        case 6: scroll = {int(rng() % 40), int(rng() % 30), int(rng() % 5), int(rng() % 5)}; break;
        case 7: { // the clue help colours a number
            auto &lines = rng() % 2 ? ink.Rows : ink.Columns;
            lines.resize(size_t(std::max(cols, rows)));
            auto &line = lines[rng() % lines.size()];
            line.resize(rng() % 4 + 1, Black);
            line[rng() % line.size()] = rng() % 2 ? ClueDoneInk : ClueWrongInk;
            break;
        }
        default: break; // the pointer alone moves
        }
        const TBoardView view = closeUp
            ? CloseUpView(area.width(), area.height(), std::max(a, MinCloseUpCell), doc.ColCount,
                          doc.RowCount, doc.RowClueDepth, doc.ColClueDepth, scroll)
            : WholeBoardView(ComputeOrigins(area.width(), area.height(), a, doc.ColCount, doc.RowCount,
                                            doc.RowClueDepth, doc.ColClueDepth),
                             doc.ColCount, doc.RowCount, doc.RowClueDepth, doc.ColClueDepth);
        const int cell = closeUp ? std::max(a, MinCloseUpCell) : a;
        const int x = int(rng() % area.width()), y = int(rng() % area.height());
        if (screen.size() != area)
            screen = QImage(area, QImage::Format_RGB32);
        before = screen;
        const QRegion changed = canvas.Update(screen, view, doc, cell, &backdrop, x, y, &ink);

        QImage expected(area, QImage::Format_RGB32);
        expected.fill(White);
        RenderBoardViewReference(expected, view, doc, cell, true, &backdrop, &ink);
        DrawHighlight(expected, view, cell, doc, x, y);
        if (screen != expected)
            QFAIL(qPrintable(QStringLiteral("step %1: the kept board differs from a full render").arg(step)));
        if (before.size() == screen.size()) {
            // The last frame with only the region taken from the new one is the new one.
            QPainter painter(&before);
            painter.setClipRegion(changed);
            painter.drawImage(0, 0, screen);
            painter.end();
            if (before != screen)
                QFAIL(qPrintable(QStringLiteral("step %1: pixels changed outside the region").arg(step)));
        }
    }
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
