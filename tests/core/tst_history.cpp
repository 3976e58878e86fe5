// Undo and redo of whole strokes, driven without a window.
#include "core/MoveHistory.h"

#include <QTest>

namespace {

// A board of one row with the Undo and Redo commands' states, as the main window keeps them.
struct TBench {
    PuzzleDocument Doc;
    TMoveHistory History;
    bool UndoEnabled = false;
    bool RedoEnabled = false;

    TBench()
    {
        Doc.Marks = Doc.RowClueStrikes = MakeCrossArr(1, 8);
        Doc.ColClueStrikes = MakeCrossArr(1, 8);
        History.SetUndoEnabled = [this](bool on) { UndoEnabled = on; };
        History.SetRedoEnabled = [this](bool on) { RedoEnabled = on; };
    }

    // A stroke as the board window makes it: cells, then its end marker; it replaces the redo history.
    void Stroke(const std::vector<int> &cells, int32_t value)
    {
        History.RedoStack.clear();
        RedoEnabled = false;
        int last = -1;
        for (int c : cells) {
            History.PushUndo(c, 0, Doc.Marks[0][c], 0);
            Doc.Marks[0][c] = value;
            last = c;
        }
        History.PushUndo(last, 0, Doc.Marks[0][last], 1);
    }
    // Clear as the board window does it.
    void Clear()
    {
        History.RedoStack.clear();
        RedoEnabled = false;
        History.PushGame(Doc);
        ResetGame(Doc);
    }
    void Undo() { History.UndoGroup(Doc); }
    void Redo() { History.RedoGroup(Doc); }

    QString Stack(const std::vector<THistoryEntry> &stack) const
    {
        QStringList out;
        for (const THistoryEntry &e : stack)
            out << QString::number(e.Col) + QString::number(e.GroupEnd);
        return out.join(' ');
    }
    QString Row() const
    {
        QString s;
        for (int32_t v : Doc.Marks[0])
            s += v == 1 ? '#' : v == -1 ? 'x' : '.';
        return s;
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void twoStrokesBackAndForth();
    void oneStepEachWay_data();
    void oneStepEachWay();
    void clearIsOneStep();
    void cellEnteredTwiceComesBackToItsFirstMark();
    void emptyStacksChangeNothing();
};

void TestHistory::twoStrokesBackAndForth()
{
    // S1 over cells 0 (p) then 1 (q), S2 over 4 (x) then 5 (y).
    TBench b;
    b.Stroke({0, 1}, 1);
    b.Stroke({4, 5}, -1);
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 10 11 40 50 51"));
    QVERIFY(b.History.RedoStack.empty());
    QCOMPARE(b.Row(), QString("##..xx.."));

    b.Undo();
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 10 11"));
    QCOMPARE(b.Stack(b.History.RedoStack), QString("51 50 40"));
    QVERIFY(b.RedoEnabled && b.UndoEnabled);
    QCOMPARE(b.Row(), QString("##......"));

    b.Undo();
    QVERIFY(b.History.UndoStack.empty());
    QVERIFY(!b.UndoEnabled);
    QCOMPARE(b.Stack(b.History.RedoStack), QString("51 50 40 11 10 00"));
    QCOMPARE(b.Row(), QString("........"));

    b.Redo();
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 10 11"));
    QCOMPARE(b.Stack(b.History.RedoStack), QString("51 50 40"));
    QCOMPARE(b.Row(), QString("##......"));

    b.Redo();
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 10 11 40 50 51"));
    QVERIFY(b.History.RedoStack.empty());
    QVERIFY(!b.RedoEnabled);
    QCOMPARE(b.Row(), QString("##..xx.."));
}

void TestHistory::oneStepEachWay_data()
{
    // Steps: a digit string fills those cells in one stroke, U undoes, R redoes, C clears.
    // Expected: the row after each step, then whether Undo and Redo are enabled.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("three strokes, two back, three forth")
        << "0 2 4 U U R R R" << "#....... #.#..... #.#.#... #.#..... #....... #.#..... #.#.#... #.#.#..." << "10";
    QTest::newRow("undo, a new stroke, undo") << "0 2 U 6 U" << "#....... #.#..... #....... #.....#. #......." << "11";
    QTest::newRow("all back and all forth") << "01 5 U U U R R" << "##...... ##...#.. ##...... ........ ........ ##...... ##...#.." << "10";
    QTest::newRow("clear between strokes") << "01 C 3 U U R R" << "##...... ........ ...#.... ........ ##...... ........ ...#...." << "10";
}

void TestHistory::oneStepEachWay()
{
    QFETCH(QString, steps);
    QFETCH(QString, rows);
    QFETCH(QString, enabled);
    TBench b;
    QStringList seen;
    for (const QString &step : steps.split(' ')) {
        if (step == "U") {
            b.Undo();
        } else if (step == "R") {
            b.Redo();
        } else if (step == "C") {
            b.Clear();
        } else {
            std::vector<int> cells;
            for (QChar c : step)
                cells.push_back(c.digitValue());
            b.Stroke(cells, 1);
        }
        seen << b.Row();
        QCOMPARE(b.UndoEnabled, !b.History.UndoStack.empty());
        QCOMPARE(b.RedoEnabled, !b.History.RedoStack.empty());
    }
    QCOMPARE(seen.join(' '), rows);
    QCOMPARE(QString::number(b.UndoEnabled) + QString::number(b.RedoEnabled), enabled);
}

void TestHistory::clearIsOneStep()
{
    TBench b;
    b.Stroke({1, 2}, 1);
    b.Doc.RowClueStrikes[0][0] = 1;
    b.Doc.ElapsedTime = 5 / 86400.0;
    b.Doc.InProgress = 1;
    const PuzzleDocument played = b.Doc;
    b.Clear();
    b.Undo();
    QCOMPARE(b.Doc, played);
    QVERIFY(b.UndoEnabled && b.RedoEnabled);
    b.Redo();
    PuzzleDocument cleared = played;
    ResetGame(cleared);
    QCOMPARE(b.Doc, cleared);
    QVERIFY(!b.RedoEnabled);
    b.Undo();
    b.Undo();  // then the stroke below
    QCOMPARE(b.Row(), QString("........"));
    QCOMPARE(b.Doc.RowClueStrikes[0][0], 1);
}

void TestHistory::cellEnteredTwiceComesBackToItsFirstMark()
{
    TBench b;
    b.Doc.Marks[0][3] = -1;
    // A drag over 3, 4 and back onto 3: entries are applied from the top down.
    b.History.PushUndo(3, 0, -1, 0);
    b.Doc.Marks[0][3] = 1;
    b.History.PushUndo(4, 0, 0, 0);
    b.Doc.Marks[0][4] = 1;
    b.History.PushUndo(3, 0, 1, 0);
    b.History.PushUndo(3, 0, 1, 1);
    b.Undo();
    QCOMPARE(b.Row(), QString("...x...."));
}

void TestHistory::emptyStacksChangeNothing()
{
    TBench b;
    b.UndoEnabled = b.RedoEnabled = true;
    b.History.UndoGroup(b.Doc);
    QVERIFY(!b.UndoEnabled);
    b.History.RedoGroup(b.Doc);
    QVERIFY(!b.RedoEnabled);
    QCOMPARE(b.Row(), QString("........"));
}

QTEST_APPLESS_MAIN(TestHistory)
#include "tst_history.moc"
