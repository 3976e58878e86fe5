// The help on a real board window: keyboard strokes, the run counter, clue help, check and hint.
#include "../TestFiles.h"
#include "../app/ScriptedPrompter.h"
#include "app/uMain.h"
#include "board/BoardOverview.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <cmath>
#include <QFile>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

namespace {

// 8 x 3: a row of seven, so that a drag along it is seven cells long.
const TMyCrossArr Picture{
    {1, 1, 1, 1, 1, 1, 1, 0},
    {0, 0, 0, 1, 0, 0, 0, 0},
    {1, 0, 1, 1, 0, 0, 1, 1},
};

// The contrast ratio of two colours as the web's accessibility guidelines define it.
double Contrast(QRgb a, QRgb b)
{
    auto luminance = [](QRgb c) {
        auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void SendKey(QWidget *to, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TestBoardHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keysMakeTheMouseStrokes_data();
    void keysMakeTheMouseStrokes();
    void counterWhileDraggingAndOverAFilledCell();
    void clueHelpColoursOnlyWhenOn();
    void checkMarksUntilTheNextStrokeAndF3GoesThere();
    void hintShowsAndChangesNothing();
    void cursorSeenOnEveryMarkAtEveryCell();
    void helpInksStandOutOnWhatIsUnderThem();
    void hintFramesItsRowWhereverTheCloseUpIs_data();
    void hintFramesItsRowWhereverTheCloseUpIs();
    void overviewMovesTheViewAndFollowsOnlyChanges();
    void ctrlWheelZoomsLikeTheCommands();

private:
    TMDIChild *Open(const QString &name);
    QPoint Cell(TMDIChild *board, int col, int row) const;
    QString Status() const { return form->StatusBar->currentMessage(); }

    QTemporaryDir dir;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
    TMDIChild *child = nullptr;
};

void TestBoardHelp::init()
{
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->resize(900, 700);
    form->show();
    child = Open("board.pxg");
}

void TestBoardHelp::cleanup()
{
    for (TMDIChild *c : form->Children())
        c->Modified = false;
    delete form;
    delete prompter;
}

TMDIChild *TestBoardHelp::Open(const QString &name)
{
    const QString path = dir.filePath(name);
    WriteAll(path, PuzzleFile::Serialize(DocumentFromPicture(Picture)));
    form->OpenPuzzleFile(path);
    return form->ActiveChild();
}

QPoint TestBoardHelp::Cell(TMDIChild *board, int col, int row) const
{
    const int a = board->CellSize;
    return QPoint(board->Origins.GridLeft + a * col + a / 2, board->Origins.GridTop + a * row + a / 2);
}

void TestBoardHelp::keysMakeTheMouseStrokes_data()
{
    // Keys: > < v ^ move; S s press and release Space; X x the same for X; C c for Ч;
    // r an auto-repeated Space press, R its release; H Home, E End; D Delete.
    // Mouse: the same strokes at the same cells: "P col row button", "M col row", "U col row".
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("mouse");
    QTest::newRow("fill three along a row") << ">S>>s" << "P 1 0 0;M 2 0;M 3 0;U 3 0";
    QTest::newRow("cross, then clear by the same key") << "XxXx" << "P 0 0 1;U 0 0;P 0 0 1;U 0 0";
    QTest::newRow("Ч is X") << "vCcvXc" << "P 0 1 1;U 0 1;P 0 2 1;U 0 2";
    QTest::newRow("auto-repeat is not a press") << "SrRr>s" << "P 0 0 0;M 1 0;U 1 0";
    QTest::newRow("End drags to the row's end") << "vSEs" << "P 0 1 0;M 1 1;M 2 1;M 3 1;M 4 1;M 5 1;M 6 1;M 7 1;U 7 1";
    QTest::newRow("Delete empties as one stroke") << "SsD>XxD" << "P 0 0 0;U 0 0;P 0 0 0;U 0 0;P 1 0 1;U 1 0;P 1 0 1;U 1 0";
    QTest::newRow("solved from the keys alone")
        << "S>>>>>>s" "v<<<Ss" "vS<s" "HSs" "ES<s"
        << "P 0 0 0;M 1 0;M 2 0;M 3 0;M 4 0;M 5 0;M 6 0;U 6 0;P 3 1 0;U 3 1;P 3 2 0;M 2 2;U 2 2;"
           "P 0 2 0;U 0 2;P 7 2 0;M 6 2;U 6 2";
}

void TestBoardHelp::keysMakeTheMouseStrokes()
{
    QFETCH(QString, keys);
    QFETCH(QString, mouse);
    child->setFocus();
    for (QChar k : keys) {
        switch (k.unicode()) {
        case '>': SendKey(child, QEvent::KeyPress, Qt::Key_Right); break;
        case '<': SendKey(child, QEvent::KeyPress, Qt::Key_Left); break;
        case 'v': SendKey(child, QEvent::KeyPress, Qt::Key_Down); break;
        case '^': SendKey(child, QEvent::KeyPress, Qt::Key_Up); break;
        case 'H': SendKey(child, QEvent::KeyPress, Qt::Key_Home); break;
        case 'E': SendKey(child, QEvent::KeyPress, Qt::Key_End); break;
        case 'D': SendKey(child, QEvent::KeyPress, Qt::Key_Delete); break;
        case 'S': SendKey(child, QEvent::KeyPress, Qt::Key_Space); break;
        case 's': SendKey(child, QEvent::KeyRelease, Qt::Key_Space); break;
        case 'r': SendKey(child, QEvent::KeyPress, Qt::Key_Space, true); break;
        case 'R': SendKey(child, QEvent::KeyRelease, Qt::Key_Space, true); break;
        case 'X': SendKey(child, QEvent::KeyPress, Qt::Key_X); break;
        case 'x': SendKey(child, QEvent::KeyRelease, Qt::Key_X); break;
        case 'C': SendKey(child, QEvent::KeyPress, 0x0427); break;
        case 'c': SendKey(child, QEvent::KeyRelease, 0x0427); break;
        }
    }
    const bool keyClock = child->Timer1->isActive();
    const int keyQuestions = prompter->Questions.size();
    child->Doc.ElapsedTime = 0;  // a slow machine may have let the clock tick
    form->FileSave1->trigger();
    const QByteArray keyBytes = ReadAll(dir.filePath("board.pxg"));
    const auto keyHistory = child->History.UndoStack;

    TMDIChild *other = Open("other.pxg");
    Qt::MouseButton button = Qt::LeftButton;
    for (const QString &step : mouse.split(';')) {
        const QStringList f = step.split(' ');
        const QPoint p = Cell(other, f[1].toInt(), f[2].toInt());
        if (f[0] == "P") {
            button = f[3] == "0" ? Qt::LeftButton : Qt::RightButton;
            QTest::mousePress(other, button, {}, p);
        } else if (f[0] == "M") {
            QTest::mouseMove(other, p);
        } else {
            QTest::mouseRelease(other, button, {}, p);
        }
    }
    QCOMPARE(other->Timer1->isActive(), keyClock);
    QCOMPARE(prompter->Questions.size(), 2 * keyQuestions);
    other->Doc.ElapsedTime = 0;
    form->FileSave1->trigger();
    QCOMPARE(ReadAll(dir.filePath("other.pxg")), keyBytes);
    QCOMPARE(other->History.UndoStack.size(), keyHistory.size());
    for (size_t i = 0; i < keyHistory.size(); ++i) {
        const THistoryEntry &m = other->History.UndoStack[i], &k = keyHistory[i];
        QCOMPARE(QList<int>({m.Col, m.Row, m.Value, m.GroupEnd}), QList<int>({k.Col, k.Row, k.Value, k.GroupEnd}));
    }
}

void TestBoardHelp::counterWhileDraggingAndOverAFilledCell()
{
    QTest::mousePress(child, Qt::LeftButton, {}, Cell(child, 0, 0));
    for (int c = 1; c < 7; ++c)
        QTest::mouseMove(child, Cell(child, c, 0));
    QCOMPARE(Status(), QStringLiteral("Отрезок: 7 · Блок: 7"));
    QTest::mouseRelease(child, Qt::LeftButton, {}, Cell(child, 6, 0));
    QCOMPARE(Status(), QString());
    QTest::mouseMove(child, Cell(child, 3, 0));
    QCOMPARE(Status(), QStringLiteral("Ряд: 7 · Столбец: 1"));
    QTest::mouseMove(child, Cell(child, 3, 1));
    QCOMPARE(Status(), QString());
}

void TestBoardHelp::clueHelpColoursOnlyWhenOn()
{
    QVERIFY(!form->ClueHelp1->isChecked());
    child->Doc.Marks[1] = {-1, -1, -1, 1, -1, -1, -1, -1};  // row 1 done
    child->Doc.Marks[2][1] = 1;                           // row 2 wrong: "1 2 2" has no room
    child->Doc.Marks[2][0] = 1;
    child->FormPaint();
    const QImage plain = child->BackBuffer;
    form->ClueHelp1->trigger();
    const QImage helped = child->BackBuffer;
    QVERIFY(helped != plain);
    const int a = child->CellSize;
    auto has = [&](const QImage &image, int row, int k, QRgb colour) {
        for (int y = child->Origins.GridTop + a * row; y < child->Origins.GridTop + a * (row + 1); ++y)
            for (int x = child->Origins.GridLeft - a * (k + 1); x < child->Origins.GridLeft - a * k; ++x)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    };
    QVERIFY(has(helped, 1, 0, ClueDoneInk));
    QVERIFY(has(helped, 2, 0, ClueWrongInk));
    QVERIFY(!has(helped, 0, 0, ClueDoneInk));
    form->ClueHelp1->trigger();
    QCOMPARE(child->BackBuffer, plain);
}

void TestBoardHelp::checkMarksUntilTheNextStrokeAndF3GoesThere()
{
    child->Doc.Marks[0][7] = 1;   // white in the picture
    child->Doc.Marks[1][3] = -1;  // black in the picture
    child->Doc.Marks[0][0] = 1;   // right
    const PuzzleDocument before = child->Doc;
    const bool modified = child->Modified;
    form->Check1->trigger();
    QCOMPARE(Status(), QStringLiteral("Ошибок: 2"));
    QCOMPARE(child->Doc, before);
    QCOMPARE(child->Modified, modified);
    QVERIFY(child->History.UndoStack.empty());
    // A slash across the cell, not a blink: it is still there long after a second.
    const QColor marked = child->BackBuffer.pixelColor(Cell(child, 7, 0));
    QCOMPARE(marked.rgb(), WrongMarkInk);
    // A shape, not a colour: the slash leaves the cell's other corners as they were.
    const int a = child->CellSize;
    QCOMPARE(child->BackBuffer.pixelColor(Cell(child, 7, 0) - QPoint(a / 3, a / 3)), QColor(Qt::black));
    QTest::qWait(1300);
    QCOMPARE(child->BackBuffer.pixelColor(Cell(child, 7, 0)).rgb(), WrongMarkInk);
    // F3 walks the wrong cells with the keyboard's cell, round again after the last.
    form->NextError1->trigger();
    QCOMPARE(Status(), QStringLiteral("Ошибка 1 из 2"));
    QCOMPARE(QPoint(child->CursorCol, child->CursorRow), QPoint(7, 0));
    form->NextError1->trigger();
    QCOMPARE(Status(), QStringLiteral("Ошибка 2 из 2"));
    QCOMPARE(QPoint(child->CursorCol, child->CursorRow), QPoint(3, 1));
    form->NextError1->trigger();
    QCOMPARE(QPoint(child->CursorCol, child->CursorRow), QPoint(7, 0));
    QVERIFY(child->History.UndoStack.empty());
    // The next stroke takes the marks away.
    QTest::mouseClick(child, Qt::LeftButton, {}, Cell(child, 2, 2));
    QCOMPARE(child->BackBuffer.pixelColor(Cell(child, 7, 0)), QColor(Qt::black));
    child->Doc.Marks[0][7] = 0;
    child->Doc.Marks[1][3] = 0;
    form->Check1->trigger();
    QCOMPARE(Status(), QStringLiteral("Ошибок нет"));
    form->NextError1->trigger();
    QCOMPARE(Status(), QStringLiteral("Ошибок нет"));
}

void TestBoardHelp::hintShowsAndChangesNothing()
{
    const PuzzleDocument before = child->Doc;
    form->Hint1->trigger();
    QCOMPARE(child->Doc, before);
    QVERIFY(child->History.UndoStack.empty());
    // Row 1 of the picture is seven of eight: its middle is forced whatever the marks.
    QCOMPARE(Status(), QStringLiteral("Строка 1, клетка 2: закрасить — цифра 7 накрывает её при любом положении"));
    const QColor blinking = child->BackBuffer.pixelColor(Cell(child, 1, 0));
    QVERIFY(blinking.green() > 150 && blinking.red() < 100);
    // A contradicting row is all it speaks of.
    child->Doc.Marks[1][0] = 1;
    child->Doc.Marks[1][7] = 1;
    form->Hint1->trigger();
    QCOMPARE(Status(), QStringLiteral("Строка 2: отметки не сходятся с цифрами 1"));
}

void TestBoardHelp::cursorSeenOnEveryMarkAtEveryCell()
{
    child->Doc.Marks[0][1] = 1;   // filled
    child->Doc.Marks[0][2] = -1;  // crossed; (3, 0) stays empty
    auto check = [&](const char *where) {
        const int a = child->CellSize;
        for (int col = 1; col <= 3; ++col) {
            child->CursorShown = true;
            child->CursorCol = col;
            child->CursorRow = 0;
            child->FormPaint();
            const QPoint c = Cell(child, col - child->View.FirstCol, 0 - child->View.FirstRow);
            bool outer = false, inner = false;
            for (int y = c.y() - a / 2; y < c.y() + a / 2; ++y)
                for (int x = c.x() - a / 2; x < c.x() + a / 2; ++x) {
                    outer |= child->BackBuffer.pixel(x, y) == CursorOuterInk;
                    inner |= child->BackBuffer.pixel(x, y) == CursorInnerInk;
                }
            QVERIFY2(outer && inner, qPrintable(QStringLiteral("%1, cell %2, column %3").arg(where).arg(a).arg(col)));
        }
    };
    check("fitted");
    form->ZoomDec->trigger();
    form->ZoomDec->trigger();
    check("zoomed out");
    child->SetCloseUp(true);
    child->StepCloseUpCell(-100);
    check("smallest close-up");
    child->StepCloseUpCell(100);
    check("largest close-up");
}

void TestBoardHelp::helpInksStandOutOnWhatIsUnderThem()
{
    // What the marks lie on: white and black cells, the clue area plain and struck. The dark
    // inks are traced over white, so white must stand out on black and the dark ink on white.
    const int a = child->CellSize;
    const QPoint clue(child->Origins.GridLeft - a + 2, child->Origins.GridTop + 2);
    const QRgb clueArea = child->BackBuffer.pixel(clue);
    QTest::mouseClick(child, Qt::LeftButton, {}, clue + QPoint(a / 2, a / 2));
    const QRgb struck = child->BackBuffer.pixel(clue);
    QVERIFY(struck != clueArea);
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    QVERIFY(Contrast(white, black) >= 4.5);
    for (QRgb ink : {WrongMarkInk, HintFrameInk, ContradictionFrameInk, CursorOuterInk})
        QVERIFY2(Contrast(ink, white) >= 4.5, qPrintable(QString::number(ink, 16)));
    QVERIFY(Contrast(CursorInnerInk, black) >= 4.5);
    QVERIFY(Contrast(ClueWrongInk, clueArea) >= 4.5);
    QVERIFY(Contrast(ClueWrongInk, struck) >= 4.5);
}

void TestBoardHelp::hintFramesItsRowWhereverTheCloseUpIs_data()
{
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<int>("cellSteps");
    QTest::newRow("top left") << QPoint(0, 0) << 0;
    QTest::newRow("scrolled past the row") << QPoint(30, 95) << 0;
    QTest::newRow("row already shown") << QPoint(50, 70) << 0;
    QTest::newRow("bigger cells, middle") << QPoint(20, 35) << 5;
}

void TestBoardHelp::hintFramesItsRowWhereverTheCloseUpIs()
{
    // 100 x 100: every row but the 85th is crossed, as the picture has it; that row's run of 60
    // forces its middle whatever the marks.
    TMyCrossArr picture(100, std::vector<int32_t>(100, 0));
    for (int c = 0; c < 60; ++c)
        picture[84][size_t(c)] = 1;
    PuzzleDocument doc = DocumentFromPicture(picture);
    for (int r = 0; r < 100; ++r)
        if (r != 84)
            for (int c = 0; c < 100; ++c)
                doc.Marks[size_t(r)][size_t(c)] = -1;
    const QString path = dir.filePath("big.pxg");
    WriteAll(path, PuzzleFile::Serialize(doc));
    form->OpenPuzzleFile(path);
    TMDIChild *big = form->ActiveChild();
    big->SubWindow()->showMaximized();
    QFETCH(QPoint, scroll);
    QFETCH(int, cellSteps);
    big->SetCloseUp(true);
    big->StepCloseUpCell(cellSteps);
    big->ScrollBy(scroll.x(), scroll.y());
    form->Hint1->trigger();
    QVERIFY2(Status().startsWith(QStringLiteral("Строка 85, клетка")), qPrintable(Status()));
    const TBoardView &v = big->View;
    QVERIFY(v.FirstRow <= 84 && 84 < v.FirstRow + v.Rows);
    // Down one column of the grid, the frame's dark trace lies on row 85's top and bottom lines
    // and nowhere else.
    const int a = big->CellSize;
    const int top = v.Origins.GridTop + a * (84 - v.FirstRow);
    QVERIFY(top + a < big->BackBuffer.height());
    const int x = v.Origins.GridLeft + a * 2 + a / 2;  // a column the hint does not fill
    QList<int> framed;
    for (int y = 0; y < big->BackBuffer.height(); ++y)
        if (big->BackBuffer.pixel(x, y) == HintFrameInk)
            framed << y;
    QVERIFY(!framed.isEmpty());
    QVERIFY2(std::abs(framed.first() - top) <= 2 && std::abs(framed.last() - (top + a)) <= 2,
             qPrintable(QStringLiteral("top %1, framed %2..%3").arg(top).arg(framed.first()).arg(framed.last())));
    QVERIFY(framed.last() - framed.first() <= a + 4);
    QVERIFY(std::none_of(framed.begin(), framed.end(), [&](int y) { return y > framed.first() + 4 && y < framed.last() - 4; }));
}

void TestBoardHelp::overviewMovesTheViewAndFollowsOnlyChanges()
{
    const QString path = dir.filePath("wide.pxg");
    WriteAll(path, PuzzleFile::Serialize(DocumentFromPicture(TMyCrossArr(100, std::vector<int32_t>(100, 1)))));
    form->OpenPuzzleFile(path);
    TMDIChild *big = form->ActiveChild();
    big->SubWindow()->showMaximized();
    TBoardOverview *overview = big->Overview;
    big->SetCloseUp(true);  // as it opens, at cells this small
    QVERIFY(overview->isVisible());
    // It lies in the corner between the clue areas, over no cell and no clue.
    QVERIFY(overview->geometry().right() < big->Origins.GridLeft && overview->geometry().bottom() < big->Origins.GridTop);
    // A click in it centres the view on that cell.
    const double f = overview->Scale();
    QTest::mouseClick(overview, Qt::LeftButton, {}, QPoint(1 + int(50.5 * f), 1 + int(45.5 * f)));
    const TBoardView &v = big->View;
    QVERIFY2(std::abs(v.FirstCol + v.Cols / 2 - 50) <= 1 && std::abs(v.FirstRow + v.Rows / 2 - 45) <= 1,
             qPrintable(QStringLiteral("%1 %2").arg(v.FirstCol).arg(v.FirstRow)));
    QApplication::processEvents();
    // A pointer moving over the board leaves it alone; a stroke shows in it.
    const int paints = overview->Paints;
    const QPoint cell(v.Origins.GridLeft + big->CellSize / 2, v.Origins.GridTop + big->CellSize / 2);
    for (int i = 0; i < 5; ++i)
        QTest::mouseMove(big, cell + QPoint(big->CellSize * i, 0));
    QApplication::processEvents();
    QCOMPARE(overview->Paints, paints);
    QTest::mouseClick(big, Qt::LeftButton, {}, cell);
    QApplication::processEvents();
    QVERIFY(overview->Paints > paints);
    form->Overview1->trigger();
    QVERIFY(!overview->isVisible());
    form->Overview1->trigger();
    QVERIFY(overview->isVisible());
}

void TestBoardHelp::ctrlWheelZoomsLikeTheCommands()
{
    auto wheel = [&](int dy, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(10, 10), QPointF(child->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, dy),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(child, &e);
    };
    QCOMPARE(int(child->ZoomPercent), 100);
    wheel(120, Qt::ControlModifier);  // Zoom in is disabled at 100
    QCOMPARE(int(child->ZoomPercent), 100);
    wheel(-120, Qt::ControlModifier);
    QCOMPARE(int(child->ZoomPercent), 90);
    QVERIFY(form->ZoomInc->isEnabled());
    wheel(-60, {});
    wheel(-120, {});
    QCOMPARE(int(child->ZoomPercent), 90);
    wheel(60, Qt::ControlModifier);
    wheel(60, Qt::ControlModifier);  // two half notches are one
    QCOMPARE(int(child->ZoomPercent), 100);
    QVERIFY(!form->ZoomInc->isEnabled());
}

QTEST_MAIN(TestBoardHelp)
#include "tst_boardhelp.moc"
