// Cell fitting, zoom rounding, board origins, the grid hit test and board font sizes.
#include "core/BoardGeometry.h"

#include <QTest>

#include <stdexcept>

class TestGeometry : public QObject {
    Q_OBJECT

private slots:
    void fitCellSize_data();
    void fitCellSize();
    void fitOfAnEmptyBoardThrows();
    void zoomedCellSize_data();
    void zoomedCellSize();
    void zoomStepsOfTheWorkedExample();
    void origins_data();
    void origins();
    void gridHit_data();
    void gridHit();
    void gridHitAnswersWithoutOutputs();
    void fontPointSize_data();
    void fontPointSize();
};

void TestGeometry::fitCellSize_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<int>("NC");
    QTest::addColumn<int>("NR");
    QTest::addColumn<int>("fit");
    QTest::newRow("800x600 area, 25x19 board") << 800 << 600 << 25 << 19 << 31;
    QTest::newRow("width decides") << 300 << 600 << 25 << 19 << 12;
    QTest::newRow("exact division") << 500 << 380 << 25 << 19 << 20;
    QTest::newRow("area smaller than the board") << 20 << 600 << 25 << 19 << 0;
    QTest::newRow("with the frame margin") << 800 << 600 << 27 << 21 << 28;
    QTest::newRow("negative height truncates toward zero") << 800 << -30 << 25 << 19 << -1;
}

void TestGeometry::fitCellSize()
{
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(int, NC);
    QFETCH(int, NR);
    QFETCH(int, fit);
    QCOMPARE(FitCellSize(W, H, NC, NR), fit);
}

void TestGeometry::fitOfAnEmptyBoardThrows()
{
    QVERIFY_THROWS_EXCEPTION(std::domain_error, FitCellSize(800, 600, 0, 19));
    QVERIFY_THROWS_EXCEPTION(std::domain_error, FitCellSize(800, 600, 25, 0));
    QVERIFY_THROWS_EXCEPTION(std::domain_error, FitCellSize(0, 0, 0, 0));
}

void TestGeometry::zoomedCellSize_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("cell");
    QTest::newRow("100% keeps the fit") << 100 << 31 << 31;
    QTest::newRow("80% of 31 is 24.8") << 80 << 31 << 25;
    QTest::newRow("50% of 25 is 12.5, down to even") << 50 << 25 << 12;
    QTest::newRow("50% of 35 is 17.5, up to even") << 50 << 35 << 18;
    QTest::newRow("50% of 1 is 0.5, down to 0") << 50 << 1 << 0;
    QTest::newRow("50% of 3 is 1.5, up to 2") << 50 << 3 << 2;
    QTest::newRow("20% of 31 is 6.2") << 20 << 31 << 6;
    QTest::newRow("30% of 5 is 1.5") << 30 << 5 << 2;
    QTest::newRow("90% of 5 is 4.5") << 90 << 5 << 4;
    QTest::newRow("fit 0") << 60 << 0 << 0;
}

void TestGeometry::zoomedCellSize()
{
    QFETCH(int, percent);
    QFETCH(int, fit);
    QFETCH(int, cell);
    QCOMPARE(ZoomedCellSize(percent, fit), cell);
}

void TestGeometry::zoomStepsOfTheWorkedExample()
{
    // Client 800 x 625: the drawing area loses 25 pixels to the clock panel.
    const int fit = FitCellSize(800, 625 - 25, 20 + 5, 15 + 4);
    QCOMPARE(fit, 31);
    QCOMPARE(ZoomedCellSize(100, fit), 31);
    QCOMPARE(ZoomedCellSize(90, fit), 28);  // 27.9
    QCOMPARE(ZoomedCellSize(80, fit), 25);  // 24.8
}

void TestGeometry::origins_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("rowDepth");
    QTest::addColumn<int>("colDepth");
    QTest::addColumn<int>("boardLeft");
    QTest::addColumn<int>("boardTop");
    QTest::addColumn<int>("gridLeft");
    QTest::addColumn<int>("gridTop");
    // 25 x 19 board: both odd, so the board sits half a cell right of and below centre.
    QTest::newRow("worked example") << 800 << 600 << 31 << 20 << 15 << 5 << 4
                                    << 400 - 31 * 12 << 300 - 31 * 9 << 28 + 31 * 5
                                    << 21 + 31 * 4;
    QTest::newRow("even board is centred") << 800 << 600 << 10 << 16 << 10 << 4 << 2
                                           << 300 << 240 << 340 << 260;
    QTest::newRow("odd area width drops its half pixel") << 801 << 601 << 10 << 16 << 10 << 4
                                                         << 2 << 300 << 240 << 340 << 260;
    QTest::newRow("board larger than the area") << 100 << 80 << 10 << 30 << 20 << 10 << 6
                                                << 50 - 200 << 40 - 130 << -50 << -30;
    QTest::newRow("cell size 0 collapses to the centre") << 800 << 600 << 0 << 20 << 15 << 5
                                                         << 4 << 400 << 300 << 400 << 300;
    QTest::newRow("no clue depth") << 200 << 100 << 7 << 5 << 3 << 0 << 0 << 100 - 14
                                   << 50 - 7 << 86 << 43;
    QTest::newRow("negative half width truncates") << -5 << 10 << 2 << 1 << 1 << 0 << 0 << -2
                                                   << 5 << -2 << 5;
}

void TestGeometry::origins()
{
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(int, a);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, rowDepth);
    QFETCH(int, colDepth);
    QFETCH(int, boardLeft);
    QFETCH(int, boardTop);
    QFETCH(int, gridLeft);
    QFETCH(int, gridTop);
    const TBoardOrigins o = ComputeOrigins(W, H, a, cols, rows, rowDepth, colDepth);
    QCOMPARE(o.BoardLeft, boardLeft);
    QCOMPARE(o.BoardTop, boardTop);
    QCOMPARE(o.GridLeft, gridLeft);
    QCOMPARE(o.GridTop, gridTop);
}

void TestGeometry::gridHit_data()
{
    // A 20 x 15 grid of 31-pixel cells at (183, 145).
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("X");
    QTest::addColumn<int>("Y");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("top-left pixel") << 31 << 183 << 145 << true << 0 << 0;
    QTest::newRow("left of the grid") << 31 << 182 << 145 << false << -1 << -1;
    QTest::newRow("above the grid") << 31 << 183 << 144 << false << -1 << -1;
    QTest::newRow("cell boundary belongs to the right cell") << 31 << 183 + 31 << 145 << true
                                                             << 1 << 0;
    QTest::newRow("last pixel of the first cell") << 31 << 183 + 30 << 145 + 30 << true << 0
                                                  << 0;
    QTest::newRow("last pixel column is in") << 31 << 183 + 20 * 31 - 1 << 200 << true << 19
                                             << 1;
    QTest::newRow("one further right is out") << 31 << 183 + 20 * 31 << 200 << false << -1
                                              << -1;
    QTest::newRow("last pixel row is in") << 31 << 300 << 145 + 15 * 31 - 1 << true << 3 << 14;
    QTest::newRow("one further down is out") << 31 << 300 << 145 + 15 * 31 << false << -1 << -1;
    QTest::newRow("cell size 0 hits nothing") << 0 << 183 << 145 << false << -1 << -1;
}

void TestGeometry::gridHit()
{
    QFETCH(int, a);
    QFETCH(int, X);
    QFETCH(int, Y);
    QFETCH(bool, inside);
    QFETCH(int, col);
    QFETCH(int, row);
    const TBoardOrigins o{28, 21, 183, 145};
    int32_t c = -1;
    int32_t r = -1;
    QCOMPARE(GridHit(o, a, 20, 15, X, Y, &c, &r), inside);
    QCOMPARE(c, col);
    QCOMPARE(r, row);
}

void TestGeometry::gridHitAnswersWithoutOutputs()
{
    const TBoardOrigins o{0, 0, -10, -10};
    QVERIFY(GridHit(o, 5, 4, 4, 0, 0, nullptr, nullptr));
    QVERIFY(!GridHit(o, 5, 4, 4, 10, 0, nullptr, nullptr));
}

void TestGeometry::fontPointSize_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("screen");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("screen 7") << 7 << true << 2 << false;
    QTest::newRow("screen 8") << 8 << true << 2 << true;
    QTest::newRow("screen 10, 2.5 to even") << 10 << true << 2 << true;
    QTest::newRow("screen 14, 3.5 to even") << 14 << true << 4 << true;
    QTest::newRow("screen 18, 4.5 to even") << 18 << true << 4 << true;
    QTest::newRow("screen 30, 7.5 to even") << 30 << true << 8 << true;
    QTest::newRow("screen 2, half to zero") << 2 << true << 0 << false;
    QTest::newRow("screen 31") << 31 << true << 8 << true;
    QTest::newRow("print 15, 7.5 to even") << 15 << false << 8 << true;
    QTest::newRow("print 5, 2.5 to even") << 5 << false << 2 << false;
    QTest::newRow("print 7, 3.5 to even") << 7 << false << 4 << false;
    QTest::newRow("print 1, half to zero") << 1 << false << 0 << false;
}

void TestGeometry::fontPointSize()
{
    QFETCH(int, a);
    QFETCH(bool, screen);
    QFETCH(int, points);
    QFETCH(bool, bold);
    QCOMPARE(FontPointSize(a, screen), points);
    QCOMPARE(FontBold(a), bold);
}

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
