// The frame window: commands, their enabling, the tool bar, Exit and the window commands.
#include "../TestFiles.h"
#include "ScriptedPrompter.h"
#include "app/TWorkspace.h"
#include "app/about.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QSet>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

const TMyCrossArr Picture{{1, 0, 1}, {0, 1, 1}, {1, 1, 0}, {0, 0, 1}};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsOfTheActionList();
    void toolBarLayout();
    void menusInOrder();
    void keysOpenTheMenusAndRunTheGame();
    void wholeGameByKeyboard();
    void justAfterStart();
    void rightAfterOpening();
    void zoomSteps();
    void activationThresholdOfForty();
    void printStaysEnabledAfterTheLastBoard();
    void exitVariants_data();
    void exitVariants();
    void titleBarCloseAsksLikeExit();
    void windowCommands();
    void aboutBox();
    void aboutBoxIsCentredOnTheFrame_data();
    void aboutBoxIsCentredOnTheFrame();

private:
    QString Put(const QString &name, uint8_t inProgress = 0);
    TMDIChild *Open(const QString &name, uint8_t inProgress = 0);
    void Modify(TMDIChild *child);
    void OpenMenu(const QString &title);

    QTemporaryDir dir;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
};

void TestMainWindow::init()
{
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->resize(1000, 750);
    form->show();
}

void TestMainWindow::cleanup()
{
    for (TMDIChild *c : form->Children())
        c->Modified = false;
    delete form;
    delete prompter;
}

QString TestMainWindow::Put(const QString &name, uint8_t inProgress)
{
    PuzzleDocument doc = DocumentFromPicture(Picture);
    doc.InProgress = inProgress;
    if (inProgress)
        doc.Marks[0][0] = 1;
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(PuzzleFile::Serialize(doc));
    return path;
}

TMDIChild *TestMainWindow::Open(const QString &name, uint8_t inProgress)
{
    form->OpenPuzzleFile(Put(name, inProgress));
    return form->ActiveChild();
}

void TestMainWindow::Modify(TMDIChild *child)
{
    child->Doc.Marks[1][1] = 1;
    child->Doc.InProgress = 1;
    child->Modified = true;
}

void TestMainWindow::OpenMenu(const QString &title)
{
    for (QAction *top : form->menuBar()->actions())
        if (QString(top->text()).remove('&') == title)
            emit top->menu()->aboutToShow();
}

void TestMainWindow::commandsOfTheActionList()
{
    struct TRow {
        QAction *action;
        const char *caption, *tip, *status;
        QKeySequence shortcut;
        bool enabled, icon;
    };
    const TRow rows[] = {
        {form->FileOpen1, "Открыть", "Открыть", "Открыть файл", QKeySequence("Ctrl+O"), true, true},
        {form->FileClose1, "Закрыть", "Закрыть", "Закрыть текущее окно", QKeySequence("Ctrl+F4"), false, false},
        {form->FileSave1, "Сохранить", "Сохранить", "Сохранить файл", QKeySequence("Ctrl+S"), true, true},
        {form->FilePrint1, "Печать...", "Печать", "Распечатать текущий файл", QKeySequence("Ctrl+P"), false, true},
        {form->FileSaveAs1, "Сохранить как...", "Сохранить как...", "Сохранить файл с другим именем", QKeySequence("Ctrl+Shift+S"), true, false},
        {form->FileExit1, "Выход", "Выход", "Выйти из программы", {}, true, true},
        {form->WindowCascade1, "Каскад", "Каскад", "Каскад", QKeySequence("Shift+F5"), false, true},
        {form->WindowTileHorizontal1, "По горизонтали", "По горизонтали", "По горизонтали", QKeySequence("Shift+F6"), false, true},
        {form->WindowTileVertical1, "По вертикали", "По вертикали", "По вертикали", QKeySequence("Shift+F7"), false, true},
        {form->WindowMinimizeAll1, "Свернуть все", "Свернуть все", "Свернуть все", QKeySequence("Shift+F8"), false, false},
        {form->WindowArrangeAll1, "Развернуть все", "Развернуть все", "Развернуть все", QKeySequence("Shift+F9"), false, false},
        {form->HelpAbout1, "О программе...", "О программе...", "О программе...", {}, true, true},
        {form->ZoomInc, "Увеличить масштаб", "Увеличить", "Увеличить масштаб", {}, true, true},
        {form->ZoomDec, "Уменьшить масштаб", "Уменьшить", "Уменьшить масштаб", {}, true, true},
        {form->ZoomAll, "Во весь экран", "Во весь экран", "Во весь экран", {}, true, true},
        {form->Undo1, "Отменить", "Отменить", "Отменить предидущий ход", QKeySequence("Ctrl+Z"), false, true},
        {form->Redo1, "Повторить", "Повторить", "Повторить предидущий ход", QKeySequence("Ctrl+Y"), false, true},
        {form->Clear1, "Очистить", "Очистить", "Очистить", QKeySequence("Ctrl+Del"), true, true},
        {form->Check1, "Проверить", "Проверить", "Показать неверные отметки", QKeySequence("Ctrl+E"), true, false},
        {form->Hint1, "Подсказка", "Подсказка", "Подсказать клетку и объяснить, почему", QKeySequence("Ctrl+H"), true, false},
        {form->ClueHelp1, "Подсказки по цифрам", "Подсказки по цифрам",
         "Гасить готовые цифры, выделять красным неверные линии", QKeySequence("Ctrl+Shift+H"), true, false},
    };
    // Redo answers Ctrl+Shift+Z too; clue help starts off.
    QCOMPARE(form->Redo1->shortcuts().value(1), QKeySequence("Ctrl+Shift+Z"));
    QVERIFY(form->ClueHelp1->isCheckable() && !form->ClueHelp1->isChecked());
    QCOMPARE(form->ActionList1.size(), qsizetype(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const TRow &r = rows[i];
        QCOMPARE(form->ActionList1[i], r.action);
        QCOMPARE(r.action->text().remove('&'), QString::fromUtf8(r.caption));
        QCOMPARE(r.action->toolTip(), QString::fromUtf8(r.tip));
        QCOMPARE(r.action->statusTip(), QString::fromUtf8(r.status));
        QCOMPARE(r.action->shortcut(), r.shortcut);
        QCOMPARE(r.action->isEnabled(), r.enabled);
        QCOMPARE(!r.action->icon().isNull(), r.icon);
        if (r.icon)
            QVERIFY(!r.action->icon().pixmap(16, 16).isNull());
    }
}

void TestMainWindow::toolBarLayout()
{
    const QList<QPair<QToolButton *, QRect>> expected{
        {form->bOpen, QRect(5, 5, 23, 22)},      {form->bSave, QRect(30, 5, 23, 22)},
        {form->bPrint, QRect(61, 5, 23, 22)},    {form->bClear, QRect(89, 5, 23, 22)},
        {form->bScaleInc, QRect(120, 5, 25, 22)}, {form->bScale, QRect(147, 5, 25, 22)},
        {form->bScaleDec, QRect(174, 5, 25, 22)}, {form->bUndo, QRect(209, 5, 23, 22)},
        {form->bRedo, QRect(234, 5, 23, 22)},    {form->bAbout, QRect(265, 5, 23, 22)},
        {form->bClose, QRect(296, 5, 23, 22)},
    };
    for (const auto &[button, rect] : expected)
        QCOMPARE(button->geometry(), rect);
    QCOMPARE(form->bClose->defaultAction(), form->FileExit1);
    QCOMPARE(form->bScale->defaultAction(), form->ZoomAll);
    QCOMPARE(form->ToolBar2->height(), 34);
    QCOMPARE(form->StatusBar->height(), 19);
    QCOMPARE(form->menuBar()->height(), 21);
    QCOMPARE(form->bOpen->toolTip(), QStringLiteral("Открыть"));
    QCOMPARE(form->bOpen->statusTip(), QStringLiteral("Открыть файл"));
    QCOMPARE(form->bClear->toolTip(), QStringLiteral("Очистить"));
    QCOMPARE(form->bClear->statusTip(), QStringLiteral("Очистить"));

    // Hovering a button puts its long hint in the status bar.
    QStatusTipEvent tip(form->bOpen->statusTip());
    QApplication::sendEvent(form, &tip);
    QCOMPARE(form->StatusBar->currentMessage(), QStringLiteral("Открыть файл"));
}

void TestMainWindow::menusInOrder()
{
    // The captions read as they always did; each menu's mnemonics are on letters of its own.
    QStringList tops;
    QStringList items;
    auto mnemonic = [](const QString &text) {
        const qsizetype at = text.indexOf('&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
    };
    auto unique = [&](const QList<QAction *> &actions) {
        QSet<QChar> letters;
        for (QAction *a : actions) {
            if (a->isSeparator())
                continue;
            const QChar m = mnemonic(a->text());
            if (m.isNull() || letters.contains(m))
                return false;
            letters.insert(m);
        }
        return true;
    };
    QVERIFY(unique(form->menuBar()->actions()));
    for (QAction *top : form->menuBar()->actions()) {
        tops << QString(top->text()).remove('&');
        QStringList list;
        for (QAction *item : top->menu()->actions())
            list << (item->isSeparator() ? QStringLiteral("-") : QString(item->text()).remove('&'));
        items << list.join('|');
        QVERIFY2(unique(top->menu()->actions()), qPrintable(tops.last()));
    }
    QCOMPARE(tops, (QStringList{"Файл", "Правка", "Вид", "Окно", "Помощь"}));
    QCOMPARE(items, (QStringList{
                        "Новая головоломка...|Открыть|Сохранить|Сохранить как...|Закрыть|Отложить игру|-|Статистика|-|Печать...|Печать с выбором...|-|Выход",
                        "Отменить|Повторить|-|Очистить|-|Проверить|Следующая ошибка|Подсказка|-|Пауза",
                        "Увеличить масштаб|Уменьшить масштаб|Во весь экран|-|Подсказки по цифрам|Крупный план|Обзор",
                        "Каскад|По горизонтали|По вертикали|Свернуть все|Развернуть все",
                        "Как играть|О программе...",
                    }));
}

void TestMainWindow::keysOpenTheMenusAndRunTheGame()
{
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_F10);
    QCOMPARE(form->menuBar()->activeAction(), form->menuBar()->actions().value(0));
    QTRY_VERIFY(form->menuBar()->actions().value(0)->menu()->isVisible());
    QTest::keyClick(form->menuBar()->actions().value(0)->menu(), Qt::Key_Escape);
    QTest::keyClick(form->menuBar(), Qt::Key_Escape);
    QTRY_VERIFY(!form->menuBar()->actions().value(0)->menu()->isVisible());
    // Alt and a caption's letter: В for «Вид».
    QTest::sendKeyEvent(QTest::Press, form, Qt::Key(0x0412), QStringLiteral("в"), Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Release, form, Qt::Key(0x0412), QStringLiteral("в"), Qt::AltModifier);
    QTRY_VERIFY(form->menuBar()->actions().value(2)->menu()->isVisible());
    QTest::keyClick(form->menuBar()->actions().value(2)->menu(), Qt::Key_Escape);

    TMDIChild *child = Open("keys.pxg");
    QApplication::setActiveWindow(form);
    child->setFocus();
    QVERIFY(!child->Timer1->isActive());
    QTest::keyClick(child, Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(child->Timer1->isActive());
    QTest::keyClick(child, Qt::Key_Pause);
    QVERIFY(!child->Timer1->isActive());
    QCOMPARE(form->Pause1->shortcut(), QKeySequence("Ctrl+Space"));
    // Postponing asks first; No leaves the board where it was.
    prompter->Answers << QMessageBox::No;
    QTest::keyClick(child, Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(prompter->Questions.size(), qsizetype(1));
    QCOMPARE(form->Children().size(), qsizetype(1));
}

void TestMainWindow::wholeGameByKeyboard()
{
    // A 15 x 15 diamond, filled cell by cell with the arrows and Space, checked and saved from
    // the menus with their letters.
    TMyCrossArr picture(15, std::vector<int32_t>(15, 0));
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 15; ++c)
            picture[size_t(r)][size_t(c)] = std::abs(r - 7) + std::abs(c - 7) <= 6;
    const QString path = dir.filePath("diamond.pxg");
    WriteAll(path, PuzzleFile::Serialize(DocumentFromPicture(picture)));
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    QApplication::setActiveWindow(form);
    child->setFocus();
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 15; ++c) {
            if (picture[size_t(r)][size_t(c)])
                QTest::keyClick(child, Qt::Key_Space);
            if (c < 14)
                QTest::keyClick(child, Qt::Key_Right);
        }
        QTest::keyClick(child, Qt::Key_Home);
        QTest::keyClick(child, Qt::Key_Down);
    }
    QCOMPARE(child->Doc.Marks, picture);
    QCOMPARE(prompter->Questions.size(), qsizetype(1));  // the congratulation
    auto letter = [&](QWidget *to, char16_t ch, Qt::KeyboardModifiers mods = {}) {
        const QString text(QChar(ch).toLower());
        QTest::sendKeyEvent(QTest::Press, to, Qt::Key(ch), text, mods);
        QTest::sendKeyEvent(QTest::Release, to, Qt::Key(ch), text, mods);
    };
    // Alt+П opens «Правка», Р runs «Проверить».
    letter(form, u'П', Qt::AltModifier);
    QMenu *edit = form->menuBar()->actions().value(1)->menu();
    QTRY_VERIFY(edit->isVisible());
    letter(edit, u'Р');
    QTRY_VERIFY(!edit->isVisible());
    QCOMPARE(form->StatusBar->currentMessage(), QStringLiteral("Ошибок нет"));
    // F10 opens «Файл», С runs «Сохранить».
    QTest::keyClick(form, Qt::Key_F10);
    QMenu *file = form->menuBar()->actions().value(0)->menu();
    QTRY_VERIFY(file->isVisible());
    letter(file, u'С');
    QTRY_VERIFY(!file->isVisible());
    QVERIFY(!child->Modified);
    QCOMPARE(PuzzleFile::ReadFile(path).Marks, picture);
}

void TestMainWindow::justAfterStart()
{
    QVERIFY(form->FileSave1->isEnabled());
    QVERIFY(!form->bSave->isEnabled());
    // Commands on no board do nothing.
    for (QAction *a : {form->FileSave1, form->FileSaveAs1, form->Clear1, form->ZoomInc, form->ZoomDec,
                       form->ZoomAll})
        a->trigger();
    QVERIFY(prompter->Questions.isEmpty());
    QCOMPARE(prompter->SaveDialogs, 0);
    OpenMenu("Файл");
    OpenMenu("Окно");
    QVERIFY(!form->FileClose1->isEnabled());
    QVERIFY(!form->WindowCascade1->isEnabled());
    QVERIFY(!form->WindowArrangeAll1->isEnabled());
    Open("a.pxg");
    OpenMenu("Окно");
    QVERIFY(form->WindowCascade1->isEnabled());
    OpenMenu("Файл");
    QVERIFY(form->FileClose1->isEnabled());
}

void TestMainWindow::rightAfterOpening()
{
    // Every command's change, in order, as the opening and its activation make them.
    QStringList changes;
    for (QAction *a : form->ActionList1)
        connect(a, &QAction::changed, this, [&changes, a] { changes << QString(a->text()).remove('&') + (a->isEnabled() ? "+" : "-"); });
    Open("started.pxg", 1);
    QVERIFY(!form->FileSave1->isEnabled());
    QVERIFY(form->bSave->isEnabled() == form->FileSave1->isEnabled());
    QVERIFY(form->FilePrint1->isEnabled());
    QVERIFY(!form->Clear1->isEnabled());
    QVERIFY(!form->ZoomInc->isEnabled());
    QVERIFY(form->ZoomDec->isEnabled());
    QVERIFY(!form->Undo1->isEnabled());
    QVERIFY(!form->Redo1->isEnabled());
    // The last activation sets Save, Clear and the zoom commands; Undo and Redo were already off.
    QVERIFY(changes.indexOf("Сохранить-") < changes.lastIndexOf("Очистить-"));
    QVERIFY(changes.lastIndexOf("Очистить-") < changes.lastIndexOf("Увеличить масштаб-"));
}

void TestMainWindow::zoomSteps()
{
    TMDIChild *child = Open("z.pxg");
    for (int i = 0; i < 8; ++i) {
        QVERIFY(form->ZoomDec->isEnabled());
        form->ZoomDec->trigger();
    }
    QCOMPARE(int(child->ZoomPercent), 20);
    QVERIFY(!form->ZoomDec->isEnabled());
    QVERIFY(form->ZoomInc->isEnabled());
    form->ZoomInc->trigger();
    QCOMPARE(int(child->ZoomPercent), 30);
    QVERIFY(form->ZoomDec->isEnabled());
    form->ZoomAll->trigger();
    QCOMPARE(int(child->ZoomPercent), 100);
    QVERIFY(!form->ZoomInc->isEnabled());
    QVERIFY(form->ZoomDec->isEnabled());

    // The cell follows the area above the clock panel: fit of the board with its frame band
    // (a cell on every side), then the zoom.
    const int fit = std::min(child->width() / (3 + child->Doc.RowClueDepth + 2),
                             (child->height() - 31) / (4 + child->Doc.ColClueDepth + 2));
    QCOMPARE(child->CellSize, fit);
    form->ZoomDec->trigger();
    form->ZoomDec->trigger();
    QCOMPARE(child->CellSize, int(std::nearbyint(80 * fit / 100.0)));
}

void TestMainWindow::activationThresholdOfForty()
{
    TMDIChild *first = Open("f.pxg");
    for (int i = 0; i < 6; ++i)
        form->ZoomDec->trigger();
    QCOMPARE(int(first->ZoomPercent), 40);
    QVERIFY(form->ZoomDec->isEnabled());
    Open("g.pxg");
    form->MdiArea->setActiveSubWindow(first->SubWindow());
    QCOMPARE(form->ActiveChild(), first);
    QVERIFY(!form->ZoomDec->isEnabled());
    QVERIFY(form->ZoomInc->isEnabled());
    form->ZoomInc->trigger();
    QVERIFY(form->ZoomDec->isEnabled());
}

void TestMainWindow::printStaysEnabledAfterTheLastBoard()
{
    TMDIChild *child = Open("p.pxg");
    child->SubWindow()->close();
    QTRY_VERIFY(form->Children().isEmpty());
    QVERIFY(form->FilePrint1->isEnabled());
    form->FilePrint1->trigger();
    QVERIFY(prompter->Questions.isEmpty());
}

void TestMainWindow::exitVariants_data()
{
    QTest::addColumn<QList<int>>("answers");  // to the newest board first
    QTest::addColumn<QString>("savePath");     // for a board without a file name; empty cancels
    QTest::addColumn<bool>("failSave");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QString>("files");        // what each file holds afterwards: s saved, o original
    QTest::newRow("yes, no") << QList<int>{QMessageBox::Yes, QMessageBox::No} << "" << false << true << "os";
    QTest::newRow("no, yes") << QList<int>{QMessageBox::No, QMessageBox::Yes} << "" << false << true << "so";
    QTest::newRow("cancel stops exit") << QList<int>{QMessageBox::Cancel} << "" << false << false << "oo";
    QTest::newRow("save dialog abandoned") << QList<int>{QMessageBox::Yes} << "cancel" << false << false << "oo";
    QTest::newRow("save fails") << QList<int>{QMessageBox::Yes} << "" << true << false << "oo";
}

void TestMainWindow::exitVariants()
{
    QFETCH(QList<int>, answers);
    QFETCH(QString, savePath);
    QFETCH(bool, failSave);
    QFETCH(bool, ends);
    QFETCH(QString, files);
    const QString a = Put("a.pxg"), b = Put("b.pxg");
    form->OpenPuzzleFile(a);
    form->OpenPuzzleFile(b);
    const QByteArray original = ReadAll(a);
    for (TMDIChild *child : form->Children())
        Modify(child);
    TMDIChild *newest = form->ActiveChild();
    if (savePath == "cancel")
        newest->FileName.clear();
    if (failSave) {
        QFile::remove(b);
        QDir(dir.path()).mkdir("b.pxg");
    }
    for (int answer : answers)
        prompter->Answers << QMessageBox::StandardButton(answer);

    form->FileExit1->trigger();

    QVERIFY(prompter->Questions.size() >= answers.size());
    if (ends) {
        QTRY_VERIFY(form->Children().isEmpty());
        QVERIFY(!form->isVisible());
    } else {
        QCOMPARE(form->Children().size(), 2);
        QVERIFY(form->isVisible());
    }
    if (!failSave) {
        QCOMPARE(ReadAll(a) == original ? 'o' : 's', files[0].toLatin1());
        QCOMPARE(ReadAll(b) == original ? 'o' : 's', files[1].toLatin1());
    } else {
        QVERIFY(prompter->Texts().contains(QStringLiteral("Cannot open file ") + b));
        QCOMPARE(ReadAll(a), original);
        QDir(dir.path()).rmdir("b.pxg");
    }
}

void TestMainWindow::titleBarCloseAsksLikeExit()
{
    const QString a = Put("t.pxg");
    form->OpenPuzzleFile(a);
    Modify(form->ActiveChild());
    prompter->Answers << QMessageBox::Cancel;
    form->close();
    QCOMPARE(prompter->Questions.size(), 1);
    QVERIFY(form->isVisible());
    QCOMPARE(form->Children().size(), 1);
    prompter->Answers << QMessageBox::Yes;
    form->close();
    QVERIFY(!form->isVisible());
    QCOMPARE(PuzzleFile::ReadFile(a).Marks[1][1], 1);
}

void TestMainWindow::windowCommands()
{
    TMDIChild *one = Open("w1.pxg");
    TMDIChild *two = Open("w2.pxg");
    OpenMenu("Окно");
    form->WindowTileHorizontal1->trigger();
    const QRect area = form->MdiArea->viewport()->rect();
    QCOMPARE(one->SubWindow()->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(two->SubWindow()->geometry(), QRect(0, area.height() / 2, area.width(), area.height() / 2));
    form->WindowTileVertical1->trigger();
    QCOMPARE(one->SubWindow()->geometry().height(), area.height());
    QCOMPARE(two->SubWindow()->x(), area.width() / 2);
    // Cascade leaves playable windows at their restored size, stepped, each board painted.
    form->WindowCascade1->trigger();
    const QSize restored = QSize(507, 424).boundedTo(area.size());
    for (TMDIChild *child : {one, two}) {
        QVERIFY(!child->SubWindow()->isMaximized() && !child->SubWindow()->isMinimized());
        QCOMPARE(child->SubWindow()->size(), restored);
        QVERIFY(child->CellSize > 0);
        QCOMPARE(child->BackBuffer.size(), QSize(child->DrawingWidth(), child->DrawingHeight()));
    }
    QVERIFY(two->SubWindow()->pos().x() > one->SubWindow()->pos().x());
    QVERIFY(two->SubWindow()->pos().y() > one->SubWindow()->pos().y());
    form->WindowMinimizeAll1->trigger();
    QVERIFY(one->SubWindow()->isMinimized() && two->SubWindow()->isMinimized());
    one->SubWindow()->move(300, 40);
    form->WindowArrangeAll1->trigger();
    // Icons lined up along the bottom; nothing restored.
    QVERIFY(one->SubWindow()->isMinimized() && two->SubWindow()->isMinimized());
    QCOMPARE(one->SubWindow()->geometry().bottom(), area.bottom());
    QCOMPARE(one->SubWindow()->x(), 0);
    QCOMPARE(two->SubWindow()->x(), one->SubWindow()->width());
}

void TestMainWindow::aboutBox()
{
    TAboutBox box(form);
    QCOMPARE(box.size(), QSize(298, 303));
    QCOMPARE(box.windowTitle(), QStringLiteral("О программе..."));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Сеткарий v 1.0"));
    QCOMPARE(box.bClose->text(), QStringLiteral("Закрыть"));
    QCOMPARE(box.bClose->geometry(), QRect(77, 280, 142, 22));
    QVERIFY(box.ProgramIcon->pixmap().isNull());
    QTimer::singleShot(0, &box, [&box] { box.bClose->click(); });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
}

void TestMainWindow::aboutBoxIsCentredOnTheFrame_data()
{
    QTest::addColumn<Qt::WindowState>("state");
    QTest::addColumn<bool>("frameless");
    QTest::newRow("normal") << Qt::WindowNoState << false;
    QTest::newRow("maximized") << Qt::WindowMaximized << false;
    QTest::newRow("full screen") << Qt::WindowFullScreen << false;
    // A main window without side borders, as a maximized one is under some window managers,
    // leaves the toolkit to guess the box's frame.
    QTest::newRow("frameless") << Qt::WindowNoState << true;
}

void TestMainWindow::aboutBoxIsCentredOnTheFrame()
{
    QFETCH(Qt::WindowState, state);
    QFETCH(bool, frameless);
    form->setWindowFlag(Qt::FramelessWindowHint, frameless);
    form->setGeometry(120, 90, 900, 640);
    form->setWindowState(state);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTRY_COMPARE(form->windowState(), state);
    if (state == Qt::WindowNoState)
        QTRY_COMPARE(form->geometry(), QRect(120, 90, 900, 640));
    TAboutBox box(form);
    for (int showing = 1; showing <= 2; ++showing) {
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // A window manager reports the frame a moment after the window appears.
        QPoint off;
        auto centred = [&] {
            off = box.frameGeometry().center() - form->frameGeometry().center();
            return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        };
        QTRY_VERIFY2(centred(), qPrintable(QStringLiteral("showing %1 off by (%2, %3)").arg(showing).arg(off.x()).arg(off.y())));
        box.bClose->click();
        QVERIFY(box.isHidden());
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
