// Undo and redo of whole strokes, driven without a window.
#include "core/MoveHistory.h"

#include <QTest>

namespace {

// A board of one row with the Undo and Redo commands' states, as the main window keeps them.
struct TBench {
    TMyCrossArr Marks = MakeCrossArr(1, 8);
    TMoveHistory History;
    bool UndoEnabled = false;
    bool RedoEnabled = false;

    TBench()
    {
        History.SetUndoEnabled = [this](bool on) { UndoEnabled = on; };
        History.SetRedoEnabled = [this](bool on) { RedoEnabled = on; };
    }

    // A stroke as the mouse makes it: a press inside the grid empties the redo history.
    void Stroke(std::initializer_list<int> cells, int32_t value)
    {
        History.RedoStack.clear();
        RedoEnabled = false;
        UndoEnabled = true;
        int last = -1;
        for (int c : cells) {
            History.PushUndo(c, 0, Marks[0][c], 0);
            Marks[0][c] = value;
            last = c;
        }
        EndMarker(last);
    }
    void EndMarker(int cell) { History.PushUndo(cell, 0, Marks[0][cell], 1); }

    void Undo()
    {
        if (!RedoEnabled)
            History.UndoGroup(Marks);
        History.UndoGroup(Marks);
    }
    void Redo() { History.RedoGroup(Marks); }

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
        for (int32_t v : Marks[0])
            s += v == 1 ? '#' : v == -1 ? 'x' : '.';
        return s;
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void twoStrokesBackAndForth();
    void oneStrokeUndoneWholly();
    void threeStrokes();
    void newStrokeAfterUndoTakesTheLowerMarkerAlong();
    void clickWithoutCellAddsASecondMarker();
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
    QVERIFY(!b.RedoEnabled);
    QCOMPARE(b.Row(), QString("##..xx.."));

    b.Undo();
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 10"));
    QCOMPARE(b.Stack(b.History.RedoStack), QString("51 50 40 11"));
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

void TestHistory::oneStrokeUndoneWholly()
{
    TBench b;
    b.Stroke({2, 3, 4}, 1);
    QCOMPARE(b.History.UndoStack.size(), size_t(4));
    b.Undo();
    QVERIFY(b.History.UndoStack.empty());
    QVERIFY(!b.UndoEnabled);
    QVERIFY(b.RedoEnabled);
    QCOMPARE(b.Row(), QString("........"));
}

void TestHistory::threeStrokes()
{
    TBench b;
    b.Stroke({0}, 1);
    b.Stroke({2}, 1);
    b.Stroke({4}, 1);
    b.Undo();
    QCOMPARE(b.Row(), QString("#.#....."));
    b.Undo();
    QCOMPARE(b.Row(), QString("#......."));
    b.Redo();  // only the first stroke's end marker
    QCOMPARE(b.Row(), QString("#......."));
    b.Redo();
    QCOMPARE(b.Row(), QString("#.#....."));
    b.Redo();
    QCOMPARE(b.Row(), QString("#.#.#..."));
    QVERIFY(!b.RedoEnabled);
}

void TestHistory::newStrokeAfterUndoTakesTheLowerMarkerAlong()
{
    TBench b;
    b.Stroke({0}, 1);
    b.Stroke({2}, 1);
    b.Undo();
    QCOMPARE(b.Stack(b.History.RedoStack), QString("21 20 01"));
    b.Stroke({6}, 1);  // the lower stroke's marker went with the emptied redo history
    QCOMPARE(b.Stack(b.History.UndoStack), QString("00 60 61"));
    b.Undo();
    QCOMPARE(b.Row(), QString("........"));
    QVERIFY(b.History.UndoStack.empty());
}

void TestHistory::clickWithoutCellAddsASecondMarker()
{
    TBench b;
    b.Stroke({1, 2}, 1);
    b.EndMarker(2);  // a click on a clue number after the stroke
    b.Undo();        // both runs take one marker each
    QCOMPARE(b.Row(), QString(".##....."));
    QVERIFY(b.RedoEnabled);
    b.Undo();        // now once: the stroke itself
    QCOMPARE(b.Row(), QString("........"));
}

void TestHistory::cellEnteredTwiceComesBackToItsFirstMark()
{
    TBench b;
    b.Marks[0][3] = -1;
    // A drag over 3, 4 and back onto 3: entries are applied from the top down.
    b.History.PushUndo(3, 0, -1, 0);
    b.Marks[0][3] = 1;
    b.History.PushUndo(4, 0, 0, 0);
    b.Marks[0][4] = 1;
    b.History.PushUndo(3, 0, 1, 0);
    b.EndMarker(3);
    b.Undo();
    QCOMPARE(b.Row(), QString("...x...."));
}

void TestHistory::emptyStacksChangeNothing()
{
    TBench b;
    b.UndoEnabled = b.RedoEnabled = true;
    b.History.UndoGroup(b.Marks);
    QVERIFY(!b.UndoEnabled);
    b.History.RedoGroup(b.Marks);
    QVERIFY(!b.RedoEnabled);
    QCOMPARE(b.Row(), QString("........"));
}

QTEST_APPLESS_MAIN(TestHistory)
#include "tst_history.moc"
