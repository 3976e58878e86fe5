// Playing on a real board window: strokes, clue striking, victory, the clock and closing.
#include "../TestFiles.h"
#include "../app/ScriptedPrompter.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "toolkit/Sound.h"
#include "toolkit/TimeFormat.h"

#include <QAction>
#include <QBackingStore>
#include <QDir>
#include <QLabel>
#include "app/TWorkspace.h"
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// 6 x 4 picture, two clue cells on each side.
const TMyCrossArr Picture{
    {1, 1, 0, 0, 1, 0},
    {0, 1, 1, 0, 1, 1},
    {1, 0, 0, 0, 0, 1},
    {1, 1, 1, 0, 1, 0},
};

} // namespace

class TestBoardWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pressTable_data();
    void pressTable();
    void dragTable_data();
    void dragTable();
    void strokeOverThreeCellsLeavesFourEntries();
    void dragLeavingTheGridAndComingBack();
    void doubleClickIsTwoStrokes();
    void pressStartsTheGame();
    void clueStrikingAtItsEdges();
    void nothingStruckAfterAPrintRender();
    void undoAndRedoThroughTheCommands();
    void undoAndRedoStepOneStroke_data();
    void undoAndRedoStepOneStroke();
    void dragTouchesEveryCellOnItsPath_data();
    void dragTouchesEveryCellOnItsPath();
    void victory();
    void pressOnASolvedBoardRestartsTheClock();
    void clockTicksAndShowsThePlayTime();
    void playTimeFormats_data();
    void playTimeFormats();
    void switchingBoardsStopsTheClock();
    void pauseAndPlay();
    void postponeAnsweredNo();
    void postponeWithoutAFileName();
    void postponeSavesAndCloses();
    void closeQuestion_data();
    void closeQuestion();
    void failingSaveKeepsTheWindow();
    void clearPutsTheGameBack();
    void highlightFollowsThePointer();
    void windowShowsTheBackBuffer();
    void closeUpScrollsWithItsCluesPinned();
    void strokeHeldAtTheCloseUpEdgeKeepsScrolling();
    void backdropOrBlack();
    void sideButtonsPlayNoPart();

private:
    TMDIChild *Open(const QString &name, const PuzzleDocument &doc);
    QPoint Cell(int col, int row) const;
    QString Put(const QString &name, const PuzzleDocument &doc);

    TMDIChild *OpenDeep();
    QString Row(int row) const;

    QTemporaryDir dir;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
    TMDIChild *child = nullptr;
    QStringList sounds;
};

void TestBoardWindow::init()
{
    prompter = new TScriptedPrompter;
    sounds.clear();
    SetSoundPlayer([this](const QString &path) { sounds << path; });
    form = new TMainForm;
    form->resize(900, 700);
    form->show();
    child = Open("board.pxg", DocumentFromPicture(Picture));
}

void TestBoardWindow::cleanup()
{
    for (TMDIChild *c : form->Children())
        c->Modified = false;
    delete form;
    delete prompter;
    SetSoundPlayer({});
}

QString TestBoardWindow::Put(const QString &name, const PuzzleDocument &doc)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(PuzzleFile::Serialize(doc));
    return path;
}

TMDIChild *TestBoardWindow::Open(const QString &name, const PuzzleDocument &doc)
{
    form->OpenPuzzleFile(Put(name, doc));
    return form->ActiveChild();
}

QPoint TestBoardWindow::Cell(int col, int row) const
{
    const int a = child->CellSize;
    return QPoint(child->Origins.GridLeft + a * col + a / 2, child->Origins.GridTop + a * row + a / 2);
}

void TestBoardWindow::pressTable_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("mode");
    const int L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;
    QTest::newRow("left on filled empties") << L << 1 << 0 << 10;
    QTest::newRow("left on empty fills") << L << 0 << 1 << 0;
    QTest::newRow("left on crossed fills") << L << -1 << 1 << 0;
    QTest::newRow("right on crossed empties") << R << -1 << 0 << -10;
    QTest::newRow("right on empty crosses") << R << 0 << -1 << 0;
    QTest::newRow("right on filled crosses") << R << 1 << -1 << 0;
    QTest::newRow("middle on filled crosses") << M << 1 << -1 << 0;
    QTest::newRow("middle on crossed stays crossed") << M << -1 << -1 << 0;
}

void TestBoardWindow::pressTable()
{
    QFETCH(int, button);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(int, mode);
    child->Doc.Marks[1][3] = before;
    child->StrokeMode = 99;
    QTest::mousePress(child, Qt::MouseButton(button), {}, Cell(3, 1));
    QCOMPARE(child->Doc.Marks[1][3], after);
    QCOMPARE(child->StrokeMode, mode);
    QVERIFY(child->MouseIsDown);
    QCOMPARE(child->LastCol, 4);
    QCOMPARE(child->LastRow, 2);
    QCOMPARE(child->History.UndoStack.back().Value, before);
    QTest::mouseRelease(child, Qt::MouseButton(button), {}, Cell(3, 1));
    QVERIFY(!child->MouseIsDown);
}

void TestBoardWindow::dragTable_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("pressed");  // value of the pressed cell, which sets the stroke
    QTest::addColumn<int>("entered");
    QTest::addColumn<int>("after");
    const int L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;
    QTest::newRow("left fill stroke fills crossed") << L << 0 << -1 << 1;
    QTest::newRow("left fill stroke keeps filled") << L << 0 << 1 << 1;
    QTest::newRow("left clearing empties filled") << L << 1 << 1 << 0;
    QTest::newRow("left clearing leaves crossed") << L << 1 << -1 << -1;
    QTest::newRow("left clearing leaves empty") << L << 1 << 0 << 0;
    QTest::newRow("right cross stroke crosses filled") << R << 0 << 1 << -1;
    QTest::newRow("right clearing empties crossed") << R << -1 << -1 << 0;
    QTest::newRow("right clearing leaves filled") << R << -1 << 1 << 1;
    QTest::newRow("middle crosses everything") << M << 1 << 1 << -1;
}

void TestBoardWindow::dragTable()
{
    QFETCH(int, button);
    QFETCH(int, pressed);
    QFETCH(int, entered);
    QFETCH(int, after);
    child->Doc.Marks[0][0] = pressed;
    child->Doc.Marks[0][1] = entered;
    QTest::mousePress(child, Qt::MouseButton(button), {}, Cell(0, 0));
    QTest::mouseMove(child, Cell(0, 0) + QPoint(1, 1));  // same cell: nothing
    QCOMPARE(child->History.UndoStack.size(), size_t(1));
    QTest::mouseMove(child, Cell(1, 0));
    QCOMPARE(child->Doc.Marks[0][1], after);
    // An entry is recorded for the cell even when it stays as it was.
    QCOMPARE(child->History.UndoStack.size(), size_t(2));
    QCOMPARE(child->History.UndoStack.back().Value, entered);
    QTest::mouseRelease(child, Qt::MouseButton(button), {}, Cell(1, 0));
}

void TestBoardWindow::strokeOverThreeCellsLeavesFourEntries()
{
    QTest::mousePress(child, Qt::LeftButton, {}, Cell(0, 2));
    QTest::mouseMove(child, Cell(1, 2));
    QTest::mouseMove(child, Cell(2, 2));
    QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(2, 2));
    const auto &stack = child->History.UndoStack;
    QCOMPARE(stack.size(), size_t(4));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(stack[i].Col, i);
        QCOMPARE(stack[i].Row, 2);
        QCOMPARE(stack[i].Value, 0);
        QCOMPARE(int(stack[i].GroupEnd), 0);
    }
    QCOMPARE(stack[3].Col, 2);
    QCOMPARE(stack[3].Value, 1);
    QCOMPARE(int(stack[3].GroupEnd), 1);
    QVERIFY(child->Modified);
    QVERIFY(form->FileSave1->isEnabled());
}

void TestBoardWindow::dragLeavingTheGridAndComingBack()
{
    QTest::mousePress(child, Qt::LeftButton, {}, Cell(0, 0));
    QTest::mouseMove(child, QPoint(child->Origins.GridLeft + child->CellSize / 2, child->Origins.GridTop - 3));
    QTest::mouseMove(child, Cell(0, 0));  // back onto the last cell: nothing new
    QCOMPARE(child->History.UndoStack.size(), size_t(1));
    QTest::mouseMove(child, Cell(0, 1));
    QTest::mouseMove(child, Cell(0, 0));  // an earlier cell of the same stroke counts again
    QCOMPARE(child->History.UndoStack.size(), size_t(3));
    QCOMPARE(child->Doc.Marks[0][0], 1);
    QCOMPARE(child->History.UndoStack.back().Value, 1);
    QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(0, 0));
}

void TestBoardWindow::doubleClickIsTwoStrokes()
{
    // What the system delivers for a double click: press, release, double click, release.
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(5, 3));
    QTest::mouseDClick(child, Qt::LeftButton, {}, Cell(5, 3));
    QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(5, 3));
    QCOMPARE(child->Doc.Marks[3][5], 0);
    const auto &stack = child->History.UndoStack;
    QCOMPARE(stack.size(), size_t(4));
    QCOMPARE(int(stack[1].GroupEnd), 1);
    QCOMPARE(int(stack[3].GroupEnd), 1);
}

void TestBoardWindow::pressStartsTheGame()
{
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(int(child->Doc.InProgress), 0);
    QVERIFY(!form->Clear1->isEnabled());
    QVERIFY(!form->Undo1->isEnabled());
    form->Redo1->setEnabled(true);
    QTest::mousePress(child, Qt::RightButton, {}, Cell(2, 2));
    QVERIFY(child->Timer1->isActive());
    QCOMPARE(int(child->Doc.InProgress), 1);
    QVERIFY(child->Modified);
    QVERIFY(form->FileSave1->isEnabled() && form->Clear1->isEnabled() && form->Undo1->isEnabled());
    QVERIFY(!form->Redo1->isEnabled());
    QTest::mouseRelease(child, Qt::RightButton, {}, Cell(2, 2));
}

void TestBoardWindow::clueStrikingAtItsEdges()
{
    const int a = child->CellSize;
    const TBoardOrigins o = child->Origins;
    const int midX = o.GridLeft + a * 2 + a / 2;  // column 2
    const auto click = [&](QPoint p) {
        QTest::mousePress(child, Qt::LeftButton, {}, p);
        QTest::mouseRelease(child, Qt::LeftButton, {}, p);
    };
    // The top pixel row of clue cell 0 already belongs to cell 1.
    click(QPoint(midX, o.GridTop - a));
    QCOMPARE(child->Doc.ColClueStrikes[1][2], 1);
    QCOMPARE(child->Doc.ColClueStrikes[0][2], 0);
    click(QPoint(midX, o.GridTop - 1));
    QCOMPARE(child->Doc.ColClueStrikes[0][2], 1);
    click(QPoint(midX, o.GridTop - 1));  // toggles back
    QCOMPARE(child->Doc.ColClueStrikes[0][2], 0);
    // Strict bounds: the board's top edge, the grid's left edge, the corner strike nothing.
    click(QPoint(midX, o.BoardTop));
    click(QPoint(o.GridLeft, o.GridTop - 1));
    click(QPoint(o.GridLeft - 1, o.GridTop));
    click(QPoint(o.GridLeft - 2, o.GridTop - 2));
    // Row clues: the leftmost pixel column of clue cell 0 belongs to cell 1.
    click(QPoint(o.GridLeft - a, o.GridTop + a * 3 + 1));
    QCOMPARE(child->Doc.RowClueStrikes[3][1], 1);
    int struck = 0;
    for (const auto *m : {&child->Doc.ColClueStrikes, &child->Doc.RowClueStrikes})
        for (const auto &line : *m)
            struck += int(std::count(line.begin(), line.end(), 1));
    QCOMPARE(struck, 2);
    // Striking starts nothing and records nothing; the releases still mark the document.
    QVERIFY(!child->Timer1->isActive());
    QVERIFY(child->History.UndoStack.empty());
    QCOMPARE(int(child->Doc.InProgress), 0);
    QVERIFY(child->Modified);
}

void TestBoardWindow::nothingStruckAfterAPrintRender()
{
    const PuzzleDocument before = child->Doc;
    QImage print(2000, 2000, QImage::Format_RGB32);
    child->RenderBoard(print, 2000, 2000, 15, false);
    // With the print origins every clue band lies elsewhere; presses all over must not fail.
    for (int y = 0; y < child->height() - 31; y += 23)
        for (int x = 0; x < child->width(); x += 23)
            child->FormMouseDown(0, x, y), child->FormMouseUp(x, y);
    QCOMPARE(child->Doc.RowClueStrikes.size(), before.RowClueStrikes.size());
}

void TestBoardWindow::undoAndRedoThroughTheCommands()
{
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(1, 0));
    QVERIFY(form->FileSave1->isEnabled());
    form->FileSave1->trigger();  // saved after the last stroke
    QVERIFY(!child->Modified);
    form->Undo1->trigger();
    QCOMPARE(child->Doc.Marks[0][1], 0);
    QCOMPARE(child->Doc.Marks[0][0], 1);
    QVERIFY(form->Redo1->isEnabled());
    QVERIFY(!child->Modified);
    form->Redo1->trigger();
    QCOMPARE(child->Doc.Marks[0][1], 1);
    QVERIFY(!form->Redo1->isEnabled());
    // Undo never marks the document: closing asks nothing.
    form->Undo1->trigger();
    QVERIFY(!child->Modified);
    child->SubWindow()->close();
    QVERIFY(prompter->Questions.isEmpty());
}

QString TestBoardWindow::Row(int row) const
{
    QString s;
    for (int32_t v : child->Doc.Marks[row])
        s += v == 1 ? '#' : v == -1 ? 'x' : '.';
    return s;
}

void TestBoardWindow::undoAndRedoStepOneStroke_data()
{
    // Steps on row 0: a digit clicks that cell with the left button, m with the middle one,
    // a-b drags from a to b, ka-b is a keyboard stroke (Space held from a to b), n clicks a
    // column clue, o the backdrop; U and R are the commands. Expected: row 0 after each step.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("rows");
    QTest::newRow("two strokes, undo, redo") << "0 1 U R" << "#..... ##.... #..... ##....";
    QTest::newRow("undo, a new stroke, undo") << "0 1 U 3 U" << "#..... ##.... #..... #..#.. #.....";
    QTest::newRow("stroke, clue click, undo") << "1-2 n U" << ".##... .##... ......";
    QTest::newRow("stroke, backdrop click, undo, redo") << "0 2 o U R" << "#..... #.#... #.#... #..... #.#...";
    QTest::newRow("a click changing nothing keeps the redo")
        << "m4 0 1 U n m4 R" << "....x. #...x. ##..x. #...x. #...x. #...x. ##..x.";
    QTest::newRow("keyboard strokes")
        << "k0-2 k4-5 U R U U R" << "###... ###.## ###... ###.## ###... ...... ###...";
}

void TestBoardWindow::undoAndRedoStepOneStroke()
{
    QFETCH(QString, steps);
    QFETCH(QString, rows);
    const QPoint clue(Cell(3, 0).x(), child->Origins.GridTop - 2), backdrop(2, 2);
    QStringList seen;
    for (QString step : steps.split(' ')) {
        const bool keys = step.startsWith('k');
        if (keys)
            step.remove(0, 1);
        const QStringList ends = step.split('-');
        if (step == "U") {
            form->Undo1->trigger();
        } else if (step == "R") {
            form->Redo1->trigger();
        } else if (step == "n" || step == "o") {
            QTest::mouseClick(child, Qt::LeftButton, {}, step == "n" ? clue : backdrop);
        } else if (step.startsWith('m')) {
            QTest::mouseClick(child, Qt::MiddleButton, {}, Cell(step.mid(1).toInt(), 0));
        } else if (keys) {
            child->KeyDown(Qt::Key_Home, false);
            for (int c = 0; c < ends[0].toInt(); ++c)
                child->KeyDown(Qt::Key_Right, false);
            child->KeyDown(Qt::Key_Space, false);
            for (int c = ends[0].toInt(); c < ends[1].toInt(); ++c)
                child->KeyDown(Qt::Key_Right, false);
            child->KeyUp(Qt::Key_Space, false);
        } else {
            QTest::mousePress(child, Qt::LeftButton, {}, Cell(ends[0].toInt(), 0));
            QTest::mouseMove(child, Cell(ends.last().toInt(), 0));
            QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(ends.last().toInt(), 0));
        }
        seen << Row(0);
        // Enabled exactly when there is a stroke to take back, or to bring back.
        QCOMPARE(form->Undo1->isEnabled(), !child->History.UndoStack.empty());
        QCOMPARE(form->Redo1->isEnabled(), !child->History.RedoStack.empty());
    }
    QCOMPARE(seen.join(' '), rows);
}

void TestBoardWindow::dragTouchesEveryCellOnItsPath_data()
{
    // The pointer's cells, pressed at the first and released at the last; the rows of the
    // board afterwards. A point with a negative row lies in the column clues above the grid.
    QTest::addColumn<QList<QPoint>>("path");
    QTest::addColumn<QString>("board");
    QTest::newRow("along a row") << QList<QPoint>{{0, 1}, {5, 1}} << "...... ###### ...... ......";
    QTest::newRow("three events round a corner")
        << QList<QPoint>{{0, 0}, {5, 0}, {5, 3}} << "###### .....# .....# .....#";
    QTest::newRow("diagonal") << QList<QPoint>{{0, 0}, {3, 3}} << "#..... .#.... ..#... ...#..";
    QTest::newRow("slope") << QList<QPoint>{{0, 0}, {5, 3}} << "#..... .##... ...##. .....#";
    QTest::newRow("out of the grid and back") << QList<QPoint>{{0, 0}, {0, -1}, {4, -1}, {4, 1}}
                                              << "#...#. ....#. ...... ......";
}

void TestBoardWindow::dragTouchesEveryCellOnItsPath()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(QString, board);
    child->Doc.Marks = MakeCrossArr(4, 6);
    const auto at = [&](QPoint cell) { return Cell(cell.x(), cell.y()); };
    QTest::mousePress(child, Qt::LeftButton, {}, at(path.first()));
    for (const QPoint &p : path.mid(1))
        QTest::mouseMove(child, at(p));
    QTest::mouseRelease(child, Qt::LeftButton, {}, at(path.last()));
    QStringList rows;
    for (int r = 0; r < 4; ++r)
        rows << Row(r);
    QCOMPARE(rows.join(' '), board);
    form->Undo1->trigger();  // one stroke, however many cells
    QCOMPARE(child->Doc.Marks, MakeCrossArr(4, 6));
}

void TestBoardWindow::victory()
{
    // Everything but one black cell, a cross on a white cell and a struck clue.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            child->Doc.Marks[r][c] = Picture[r][c] ? 1 : 0;
    child->Doc.Marks[3][4] = 0;
    child->Doc.Marks[0][2] = -1;
    child->Doc.RowClueStrikes[0][0] = 1;
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(4, 3));

    QCOMPARE(child->Doc.Marks, Picture);
    QCOMPARE(child->Doc.RowClueStrikes[0][0], 0);
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(prompter->Questions.size(), 1);
    QCOMPARE(prompter->Questions[0].Text, QStringLiteral("Поздравляю! Вы справились!"));
    QCOMPARE(prompter->Questions[0].Caption, QStringLiteral("Ура!!!"));
    QCOMPARE(prompter->Questions[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(prompter->Questions[0].Icon, QMessageBox::NoIcon);
    QVERIFY(child->Modified);
    QVERIFY(!child->History.UndoStack.empty());

    // The sound is looked up in the working folder; without it nothing plays and nothing is said.
    QVERIFY(sounds.isEmpty() || sounds[0].endsWith("/sound.wav"));

    // Once a solve: later releases on the still-solved board, a clue click among them, do not
    // congratulate again; leaving the solution and coming back does.
    const int played = sounds.size();
    QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(Cell(3, 0).x(), child->Origins.GridTop - 2));
    QCOMPARE(prompter->Questions.size(), 1);
    QCOMPARE(sounds.size(), played);
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    QCOMPARE(prompter->Questions.size(), 2);
}

void TestBoardWindow::pressOnASolvedBoardRestartsTheClock()
{
    child->Doc.Marks = Picture;
    QTest::mousePress(child, Qt::RightButton, {}, Cell(2, 0));  // crossing a white cell
    QVERIFY(child->Timer1->isActive());
    QTest::mouseRelease(child, Qt::RightButton, {}, Cell(2, 0));
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(prompter->Questions.size(), 1);
}

void TestBoardWindow::clockTicksAndShowsThePlayTime()
{
    child->Doc.ElapsedTime = (23 * 3600 + 59 * 60 + 59) / 86400.0;
    child->Timer1Timer();
    QCOMPARE(child->Doc.ElapsedTime, 1.0);
    QCOMPARE(child->Label2->text(), FormatPlayTime(0));
    child->Timer1Timer();
    QCOMPARE(child->Label2->text(), FormatPlayTime(1 / 86400.0));
    QVERIFY(!child->Modified);
}

void TestBoardWindow::playTimeFormats_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("no leading zero") << "cs_CZ" << 1.0 << "0:00:01";
    QTest::newRow("no leading zero, a day wraps") << "cs_CZ" << 86400.0 << "0:00:00";
    QTest::newRow("leading zero") << "de_DE" << 3723.0 << "01:02:03";
    QTest::newRow("twelve-hour dial") << "en_US" << 1.0 << "12:00:01 AM";
    QTest::newRow("afternoon") << "en_US" << 13 * 3600.0 << "1:00:00 PM";
    QTest::newRow("quoted words are no marker") << "eo" << 3661.0 << "1:01:01";
}

void TestBoardWindow::playTimeFormats()
{
    QFETCH(QString, locale);
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatPlayTime(seconds / 86400.0, QLocale(locale)), text);
}

void TestBoardWindow::switchingBoardsStopsTheClock()
{
    TMDIChild *first = child;
    first->bPlayClick();
    QVERIFY(first->Timer1->isActive());
    TMDIChild *second = Open("second.pxg", DocumentFromPicture(Picture));
    QVERIFY(second != first);
    QVERIFY(!first->Timer1->isActive());
    form->MdiArea->setActiveSubWindow(first->SubWindow());
    QCOMPARE(form->ActiveChild(), first);
    QVERIFY(!first->Timer1->isActive());
}

void TestBoardWindow::pauseAndPlay()
{
    child->bPlay->click();
    QVERIFY(child->Timer1->isActive());
    QVERIFY(!child->Modified);
    child->bPause->click();
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(child->bStop->toolTip(), QStringLiteral("Отложить игру"));
    QCOMPARE(child->bPause->toolTip(), QStringLiteral("Пауза"));
    QCOMPARE(child->bPlay->toolTip(), QStringLiteral("Продолжить"));
    QCOMPARE(child->Label2->toolTip(), QStringLiteral("Время игры"));
    QCOMPARE(child->Panel1->height(), 31);
    QCOMPARE(child->bPause->geometry(), QRect(37, 5, 23, 22));
    QCOMPARE(child->Label2->geometry(), QRect(128, 5, 233, 20));
}

void TestBoardWindow::postponeAnsweredNo()
{
    prompter->Answers << QMessageBox::No << QMessageBox::No;
    child->bStopClick();
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(prompter->Questions[0].Text, QStringLiteral("Вы действительно хотите отложить игру?"));
    QCOMPARE(prompter->Questions[0].Caption, QStringLiteral("Закрыть"));
    QCOMPARE(prompter->Questions[0].Default, QMessageBox::No);
    QCOMPARE(prompter->Questions[0].Icon, QMessageBox::Question);
    child->bPlayClick();
    prompter->OnQuestion = [&](const Prompts::TQuestion &) { QVERIFY(!child->Timer1->isActive()); };
    child->bStopClick();
    QVERIFY(child->Timer1->isActive());
}

void TestBoardWindow::postponeWithoutAFileName()
{
    child->FileName.clear();
    child->Modified = true;
    child->bPlayClick();
    prompter->Answers << QMessageBox::Yes;
    child->bStopClick();
    QCOMPARE(prompter->SaveDialogs, 1);
    QCOMPARE(form->Children().size(), 1);
    QVERIFY(!child->Timer1->isActive());
    QVERIFY(child->Modified);
}

void TestBoardWindow::postponeSavesAndCloses()
{
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    prompter->Answers << QMessageBox::Yes;
    child->bStopClick();
    QCOMPARE(prompter->Questions.size(), 1);
    QTRY_VERIFY(form->Children().isEmpty());
    const PuzzleDocument saved = PuzzleFile::ReadFile(dir.filePath("board.pxg"));
    QCOMPARE(saved.Marks[0][0], 1);
    QCOMPARE(int(saved.InProgress), 1);
}

void TestBoardWindow::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes saves") << int(QMessageBox::Yes);
    QTest::newRow("no discards") << int(QMessageBox::No);
    QTest::newRow("cancel keeps it minimized") << int(QMessageBox::Cancel);
}

void TestBoardWindow::closeQuestion()
{
    QFETCH(int, answer);
    const QString path = dir.filePath("board.pxg");
    const QByteArray before = ReadAll(path);
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    prompter->Answers << QMessageBox::StandardButton(answer);
    form->FileClose1->setEnabled(true);
    form->FileClose1->trigger();
    QCOMPARE(prompter->Questions.size(), 1);
    QCOMPARE(prompter->Questions[0].Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        QCOMPARE(form->Children().size(), 1);
        QVERIFY(child->SubWindow()->isMinimized());
        QCOMPARE(child->History.UndoStack.size(), size_t(2));
        QCOMPARE(ReadAll(path), before);
        return;
    }
    QTRY_VERIFY(form->Children().isEmpty());
    if (answer == QMessageBox::Yes)
        QCOMPARE(PuzzleFile::ReadFile(path).Marks[0][0], 1);
    else
        QCOMPARE(ReadAll(path), before);
}

void TestBoardWindow::failingSaveKeepsTheWindow()
{
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    QVERIFY(QFile::remove(dir.filePath("board.pxg")));
    QVERIFY(QDir(dir.path()).mkdir("board.pxg"));  // a folder where the file was: fails for root too
    prompter->Answers << QMessageBox::Yes;
    child->SubWindow()->close();
    QCOMPARE(prompter->Texts().last(), QStringLiteral("Cannot open file ") + dir.filePath("board.pxg"));
    QCOMPARE(form->Children().size(), 1);
    QVERIFY(child->Modified);
    QVERIFY(QDir(dir.path()).rmdir("board.pxg"));
}

void TestBoardWindow::clearPutsTheGameBack()
{
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    child->Timer1Timer();
    child->Doc.ColClueStrikes[0][0] = 1;
    form->FileSave1->trigger();
    const PuzzleDocument played = child->Doc;
    form->Clear1->trigger();
    const PuzzleDocument cleared = child->Doc;
    QCOMPARE(child->Doc.Marks, MakeCrossArr(4, 6));
    QCOMPARE(child->Doc.ColClueStrikes[0][0], 0);
    QCOMPARE(int(child->Doc.InProgress), 0);
    QCOMPARE(child->Doc.ElapsedTime, 0.0);
    QCOMPARE(child->Label2->text(), QStringLiteral("0:00:00"));
    QVERIFY(form->Undo1->isEnabled() && !form->Redo1->isEnabled() && !form->Clear1->isEnabled());

    // Clear is one step back: marks, strike-outs and play time return; the clock waits.
    form->Undo1->trigger();
    QCOMPARE(child->Doc, played);
    QCOMPARE(child->Label2->text(), FormatPlayTime(played.ElapsedTime));
    QVERIFY(!child->Timer1->isActive());
    QVERIFY(form->Redo1->isEnabled() && form->Clear1->isEnabled());
    form->Redo1->trigger();
    QCOMPARE(child->Doc, cleared);
    QCOMPARE(child->Label2->text(), QStringLiteral("0:00:00"));
    QVERIFY(!form->Redo1->isEnabled() && !form->Clear1->isEnabled());
    form->Undo1->trigger();
    form->Undo1->trigger();  // then the stroke before it
    QCOMPARE(child->Doc.Marks, MakeCrossArr(4, 6));
    QCOMPARE(child->Doc.ColClueStrikes[0][0], 1);
    form->Redo1->trigger();
    form->Redo1->trigger();
    QCOMPARE(child->Doc, cleared);

    // Clear does not mark the document: closing asks nothing and the file keeps the saved game.
    QVERIFY(!child->Modified);
    child->SubWindow()->close();
    QVERIFY(prompter->Questions.isEmpty());
    QCOMPARE(PuzzleFile::ReadFile(dir.filePath("board.pxg")).Marks[0][0], 1);
}

void TestBoardWindow::highlightFollowsThePointer()
{
    const QColor red(255, 0, 0);
    const QPoint p = Cell(2, 1);
    QTest::mouseMove(child, p);
    const int a = child->CellSize;
    // The column frame's left edge, one pixel inside the grid line.
    QCOMPARE(child->BackBuffer.pixelColor(child->Origins.GridLeft + 2 * a + 1, p.y() + a), red);
    child->FormPaint();  // a plain repaint highlights only at (0, 0), which is off the grid
    QVERIFY(child->BackBuffer.pixelColor(child->Origins.GridLeft + 2 * a + 1, p.y() + a) != red);
    // Nor does it stay behind once the pointer has left the window.
    QTest::mouseMove(child, p + QPoint(1, 0));
    QCOMPARE(child->BackBuffer.pixelColor(child->Origins.GridLeft + 2 * a + 1, p.y() + a), red);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(child, &leave);
    QVERIFY(child->BackBuffer.pixelColor(child->Origins.GridLeft + 2 * a + 1, p.y() + a) != red);
}

void TestBoardWindow::windowShowsTheBackBuffer()
{
    // What reaches the frame's backing store, after moves that hand it only thin frames.
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const auto shown = [&] {
        QApplication::processEvents();
        const auto *image = dynamic_cast<const QImage *>(form->backingStore()->paintDevice());
        QVERIFY(image);
        const QPoint at = child->mapTo(form, QPoint(0, 0));
        const QImage buffer = child->BackBuffer.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image->copy(QRect(at, buffer.size())).convertToFormat(QImage::Format_RGB32), buffer);
    };
    shown();
    for (const QPoint &p : {Cell(2, 1), Cell(4, 3), Cell(0, 0)}) {
        QTest::mouseMove(child, p);
        shown();
    }
    QTest::mousePress(child, Qt::LeftButton, {}, Cell(1, 2));
    QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(1, 2));
    shown();
}

TMDIChild *TestBoardWindow::OpenDeep()
{
    // 100 x 80 with 50 runs a row and 40 a column: too big to fit, clue areas too deep to show.
    TMyCrossArr deep = MakeCrossArr(80, 100);
    for (int r = 0; r < 80; ++r)
        for (int c = 0; c < 100; ++c)
            deep[r][c] = (r + c) % 2 == 0 || c % 7 == 0;
    return Open("deep.pxg", DocumentFromPicture(deep));
}

void TestBoardWindow::closeUpScrollsWithItsCluesPinned()
{
    child = OpenDeep();
    QVERIFY(child->CloseUp);
    QVERIFY(child->CellSize >= MinCloseUpCell);
    QScrollBar *grid[2] = {}, *clues[2] = {};
    for (QScrollBar *bar : child->findChildren<QScrollBar *>()) {
        QVERIFY(bar->isVisible());
        const bool horizontal = bar->orientation() == Qt::Horizontal;
        // Each clue area's bar lies beside it, the grid's beside the grid.
        (((horizontal ? bar->x() : bar->y()) == 0) ? clues : grid)[horizontal ? 0 : 1] = bar;
    }
    QVERIFY(grid[0] && grid[1] && clues[0] && clues[1]);
    QCOMPARE(clues[0]->x() + clues[0]->width(), child->Origins.GridLeft);

    const TBoardOrigins pinned = child->Origins;
    grid[0]->setValue(10);
    grid[1]->setValue(7);
    QCOMPARE(child->View.FirstCol, 10);
    QCOMPARE(child->View.FirstRow, 7);
    clues[0]->setValue(0);  // the far end: the outermost row clues
    QCOMPARE(child->View.FirstRowClue, clues[0]->maximum());
    clues[1]->setValue(clues[1]->maximum());  // the grid's end: the column clues beside it
    QCOMPARE(child->View.FirstColClue, 0);
    QCOMPARE(child->Origins.GridLeft, pinned.GridLeft);
    QCOMPARE(child->Origins.GridTop, pinned.GridTop);

    // A stroke held past the right edge carries the board along and fills what it passes.
    const int a = child->CellSize;
    const int last = child->View.FirstCol + child->View.Cols - 2;
    const int y = child->Origins.GridTop + a / 2;
    const int x = child->Origins.GridLeft + (last - child->View.FirstCol) * a + a / 2;
    QTest::mousePress(child, Qt::LeftButton, {}, QPoint(x, y));
    const int edge = grid[1]->x() - 2;
    for (int i = 0; i < 3; ++i)
        QTest::mouseMove(child, QPoint(edge - i % 2, y));
    QTest::mouseRelease(child, Qt::LeftButton, {}, QPoint(edge, y));
    QCOMPARE(child->View.FirstCol, 13);
    const int row = child->View.FirstRow;
    const int under = child->View.FirstCol + (edge - child->Origins.GridLeft) / a;
    // Every cell from the press to the one under the pointer, the first one scrolled in too.
    for (int c = 0; c < 100; ++c)
        QCOMPARE(child->Doc.Marks[row][c], int(c >= last && c <= under));
    form->Undo1->trigger();  // one stroke, one undo, wherever the board has scrolled
    QCOMPARE(child->Doc.Marks[row], std::vector<int32_t>(100, 0));

    // A zoom command goes back to the fitted board.
    form->ZoomAll->trigger();
    QVERIFY(!child->CloseUp);
    for (QScrollBar *bar : child->findChildren<QScrollBar *>())
        QVERIFY(!bar->isVisible());
}

void TestBoardWindow::strokeHeldAtTheCloseUpEdgeKeepsScrolling()
{
    child = OpenDeep();
    child->ScrollBy(10, 7);
    const int a = child->CellSize;
    const int y = child->Origins.GridTop + a / 2;
    const int first = child->View.FirstCol + child->View.Cols - 3;
    QTest::mousePress(child, Qt::LeftButton, {}, QPoint(child->Origins.GridLeft + (first - 10) * a + a / 2, y));
    const int edge = child->width() - child->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2;
    QTest::mouseMove(child, QPoint(edge, y));
    QCOMPARE(child->View.FirstCol, 11);
    QVERIFY(child->ScrollTimer->isActive());
    for (int tick = 0; tick < 5; ++tick)
        child->ScrollTimerTimer();  // the button held still
    QCOMPARE(child->View.FirstCol, 16);
    const int under = child->View.FirstCol + (edge - child->Origins.GridLeft) / a;
    QTest::mouseRelease(child, Qt::LeftButton, {}, QPoint(edge, y));
    QVERIFY(!child->ScrollTimer->isActive());
    for (int c = 0; c < 100; ++c)
        QCOMPARE(child->Doc.Marks[7][c], int(c >= first && c <= under));
    form->Undo1->trigger();
    QCOMPARE(child->Doc.Marks[7], std::vector<int32_t>(100, 0));
}

void TestBoardWindow::backdropOrBlack()
{
    // The shipped picture is decoded at its own size.
    const QImage shipped = TMDIChild::LoadBackdrop(TMainForm::ExecutableFolder() + "Background.jpg", QSize(507, 424));
    QVERIFY(shipped.width() >= 1024 && shipped.height() >= 768);
    QCOMPARE(child->BackgroundImage.size(), shipped.size());

    // Missing, or not a JPEG: black at the window's first outer size, and no message.
    WriteAll(dir.filePath("fake.jpg"), "GIF89a, honestly");
    for (const QString &path : {dir.filePath("none.jpg"), dir.filePath("fake.jpg")}) {
        const QImage black = TMDIChild::LoadBackdrop(path, QSize(507, 424));
        QCOMPARE(black.size(), QSize(507, 424));
        QCOMPARE(black.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(black.pixelColor(506, 423), QColor(Qt::black));
    }
    QVERIFY(prompter->Questions.isEmpty());

    // On screen: black behind the board out to that size, white beyond it.
    child->BackgroundImage = TMDIChild::LoadBackdrop(dir.filePath("none.jpg"), QSize(507, 424));
    for (int i = 0; i < 5; ++i)
        form->ZoomDec->trigger();  // a small board leaves the corners to the backdrop
    QVERIFY(child->Origins.BoardLeft - child->CellSize > 2 && child->Origins.BoardTop - child->CellSize > 2);
    QCOMPARE(child->BackBuffer.pixelColor(2, 2), QColor(Qt::black));
    if (child->DrawingWidth() > 520)
        QCOMPARE(child->BackBuffer.pixelColor(child->DrawingWidth() - 2, 2), QColor(Qt::white));
}

void TestBoardWindow::sideButtonsPlayNoPart()
{
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(0, 0));
    child->Modified = false;
    const size_t entries = child->History.UndoStack.size();
    for (Qt::MouseButton side : {Qt::BackButton, Qt::ForwardButton}) {
        QTest::mousePress(child, side, {}, Cell(1, 0));
        QTest::mouseRelease(child, side, {}, Cell(1, 0));
    }
    QCOMPARE(child->Doc.Marks[0][1], 0);
    QCOMPARE(child->History.UndoStack.size(), entries);
    QVERIFY(!child->Modified);
}

QTEST_MAIN(TestBoardWindow)
#include "tst_boardwindow.moc"
