// Clue numbers, their placement and the solved test.
#include "core/Clues.h"

#include <QTest>

class TestClues : public QObject {
    Q_OBJECT

private slots:
    void clueText_data();
    void clueText();
    void cutFirstTokenHandsOutEveryNumber();
    void placementColumnsFirstThenRowsWithStrikes();
    void placementPastTheDepthIsNotStruck();
    void isSolved_data();
    void isSolved();
    void depthsAreTheLongestClues();
};

void TestClues::clueText_data()
{
    QTest::addColumn<std::vector<int32_t>>("cells");
    QTest::addColumn<QString>("text");
    QTest::newRow("runs listed last first") << std::vector<int32_t>{1, 1, 1, 0, 1, 0, 1, 1} << "2 1 3 ";
    QTest::newRow("run reaching the end") << std::vector<int32_t>{0, 1, 1} << "2 ";
    QTest::newRow("all zeros") << std::vector<int32_t>{0, 0, 0, 0} << "";
    QTest::newRow("repeated zeros close once") << std::vector<int32_t>{1, 0, 0, 1} << "1 1 ";
    QTest::newRow("other values neither lengthen nor close") << std::vector<int32_t>{1, 2, 1} << "2 ";
    QTest::newRow("crossed value closes nothing") << std::vector<int32_t>{1, -1, 1, 0} << "2 ";
    QTest::newRow("a row of 25") << std::vector<int32_t>(25, 1) << "25 ";
    QTest::newRow("empty line") << std::vector<int32_t>{} << "";
}

void TestClues::clueText()
{
    QFETCH(std::vector<int32_t>, cells);
    QFETCH(QString, text);
    QCOMPARE(ClueText(cells), text);
}

void TestClues::cutFirstTokenHandsOutEveryNumber()
{
    QString text = QStringLiteral("12 3 45 ");
    QCOMPARE(CutFirstToken(text), QStringLiteral("12"));
    QCOMPARE(text, QStringLiteral("3 45 "));
    QCOMPARE(CutFirstToken(text), QStringLiteral("3"));
    QCOMPARE(CutFirstToken(text), QStringLiteral("45"));
    QVERIFY(text.isEmpty());

    QString noSpace = QStringLiteral("7");
    QCOMPARE(CutFirstToken(noSpace), QStringLiteral("7"));
    QVERIFY(noSpace.isEmpty());

    QString manySpaces = QStringLiteral("1   2");
    QCOMPARE(CutFirstToken(manySpaces), QStringLiteral("1"));
    QCOMPARE(manySpaces, QStringLiteral("2"));
}

void TestClues::placementColumnsFirstThenRowsWithStrikes()
{
    // Column 0 reads 1,1,0,1 top to bottom: 1 next to the grid, 2 above it, nothing outermost.
    PuzzleDocument doc = DocumentFromPicture({{1, 0}, {1, 1}, {0, 0}, {1, 1}});
    doc.ColClueDepth = 3;
    doc.ColClueStrikes = MakeCrossArr(3, 2);
    doc.ColClueStrikes[1][0] = 1;
    doc.RowClueStrikes[3][0] = 1;

    QList<TCluePlace> places;
    PlaceClues(doc, [&](const TCluePlace &p) { places << p; });

    QCOMPARE(places.size(), 2 + 2 + 3);
    QVERIFY(places[0].IsColumn && places[0].Line == 0 && places[0].Depth == 0 && places[0].Text == "1");
    QVERIFY(!places[0].Struck);
    QVERIFY(places[1].IsColumn && places[1].Line == 0 && places[1].Depth == 1 && places[1].Text == "2");
    QVERIFY(places[1].Struck);
    QVERIFY(places[2].IsColumn && places[2].Line == 1 && places[2].Text == "1" && places[2].Depth == 0);
    QVERIFY(places[3].IsColumn && places[3].Line == 1 && places[3].Text == "1" && places[3].Depth == 1);
    // Rows follow; row 2 is empty and gets no number at all.
    QVERIFY(!places[4].IsColumn && places[4].Line == 0 && places[4].Text == "1");
    QVERIFY(!places[5].IsColumn && places[5].Line == 1 && places[5].Text == "2");
    QVERIFY(!places[6].IsColumn && places[6].Line == 3 && places[6].Text == "2" && places[6].Struck);
}

void TestClues::placementPastTheDepthIsNotStruck()
{
    PuzzleDocument doc = DocumentFromPicture({{1, 0, 1, 0, 1}});
    doc.RowClueDepth = 1;
    doc.RowClueStrikes = {{1}};
    QList<TCluePlace> rows;
    PlaceClues(doc, [&](const TCluePlace &p) {
        if (!p.IsColumn)
            rows << p;
    });
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows[0].Struck);
    QCOMPARE(rows[2].Depth, 2);
    QVERIFY(!rows[1].Struck && !rows[2].Struck);
}

void TestClues::isSolved_data()
{
    QTest::addColumn<TMyCrossArr>("solution");
    QTest::addColumn<TMyCrossArr>("marks");
    QTest::addColumn<bool>("solved");
    const TMyCrossArr picture{{1, 0}, {0, 1}};
    QTest::newRow("exact") << picture << TMyCrossArr{{1, 0}, {0, 1}} << true;
    QTest::newRow("white cells crossed or empty in any mix") << picture << TMyCrossArr{{1, -1}, {0, 1}} << true;
    QTest::newRow("filled white cell") << picture << TMyCrossArr{{1, 1}, {0, 1}} << false;
    QTest::newRow("black cell empty") << picture << TMyCrossArr{{1, 0}, {0, 0}} << false;
    QTest::newRow("black cell crossed") << picture << TMyCrossArr{{-1, 0}, {0, 1}} << false;
    QTest::newRow("foreign value in the picture never matches")
        << TMyCrossArr{{2, 0}} << TMyCrossArr{{1, 0}} << false;
}

void TestClues::isSolved()
{
    QFETCH(TMyCrossArr, solution);
    QFETCH(TMyCrossArr, marks);
    QFETCH(bool, solved);
    QCOMPARE(IsSolved(solution, marks), solved);
}

void TestClues::depthsAreTheLongestClues()
{
    const PuzzleDocument doc = DocumentFromPicture({{1, 0, 1, 0, 1}, {0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}});
    QCOMPARE(doc.RowClueDepth, 3);
    QCOMPARE(doc.ColClueDepth, 2);
    QCOMPARE(doc.RowClueStrikes.size(), size_t(3));
    QCOMPARE(doc.RowClueStrikes[0].size(), size_t(3));
    QCOMPARE(doc.ColClueStrikes.size(), size_t(2));
    QCOMPARE(doc.ColClueStrikes[0].size(), size_t(5));
}

QTEST_APPLESS_MAIN(TestClues)
#include "tst_clues.moc"
