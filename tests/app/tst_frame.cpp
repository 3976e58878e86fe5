// The frame as a new player meets it: Russian texts, exact captions, boards that stay playable.
#include "ScriptedPrompter.h"
#include "../TestFiles.h"
#include "app/HandOff.h"
#include "app/TApplication.h"
#include "app/uMain.h"
#include "app/TWorkspace.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "browser/uopendialog.h"
#include "format/PuzzleFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void qtTextsAreRussian();
    void platformTitlesAreTheCaptions_data();
    void platformTitlesAreTheCaptions();
    void minimizedBoardIsNotTheActiveBoard();
    void damagedFileLeavesTheOtherBoardsAlone();
    void wholeBoardVisibleAtFullZoom_data();
    void wholeBoardVisibleAtFullZoom();
    void relativePathIsSavedIntoItsOwnFile();
    void secondStartElsewhereOpensItsOwnFile();

private:
    QString Put(const QString &folder, const QString &name, const TMyCrossArr &picture);
    TMDIChild *Open(const QString &path);

    QTemporaryDir dir;
    QString savedCwd;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
};

void TestFrame::init()
{
    savedCwd = QDir::currentPath();
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->resize(1000, 750);
    form->show();
}

void TestFrame::cleanup()
{
    for (TMDIChild *c : form->Children())
        c->Modified = false;
    delete form;
    delete prompter;
    QDir::setCurrent(savedCwd);
}

QString TestFrame::Put(const QString &folder, const QString &name, const TMyCrossArr &picture)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    WriteAll(path, PuzzleFile::Serialize(DocumentFromPicture(picture)));
    return path;
}

TMDIChild *TestFrame::Open(const QString &path)
{
    form->OpenPuzzleFile(path);
    return form->Children().isEmpty() ? nullptr : form->Children().last();
}

void TestFrame::qtTextsAreRussian()
{
    // The tests run under C.UTF-8: nothing of the system's locale asks for Russian.
    QMessageBox box(QMessageBox::Question, "Сохранение изменений", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    const auto text = [&](QMessageBox::StandardButton b) { return box.button(b)->text().remove('&'); };
    QCOMPARE(text(QMessageBox::Yes), QStringLiteral("Да"));
    QCOMPARE(text(QMessageBox::No), QStringLiteral("Нет"));
    QCOMPARE(text(QMessageBox::Cancel), QStringLiteral("Отмена"));
    QCOMPARE(text(QMessageBox::Ok), QStringLiteral("ОК"));

    QFileDialog save(form);
    save.setOptions(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    QVERIFY(save.windowTitle() != "Save As");
    QCOMPARE(save.windowTitle(), QCoreApplication::translate("QFileDialog", "Save As"));
    QVERIFY(!QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                 .contains("replace"));
}

void TestFrame::platformTitlesAreTheCaptions_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("title");
    QTest::newRow("frame with a maximized board") << "a.pxg" << "Сеткарий - [a.pxg]";
    QTest::newRow("error box") << "b.pxg" << "Сеткарий";
}

void TestFrame::platformTitlesAreTheCaptions()
{
    // Qt's X11 windows show the platform's title, which gains " — name" whenever the program
    // sets a display name; read what the window system really holds.
    QFETCH(QString, argument);
    QFETCH(QString, title);
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    const QString xwininfo = QStandardPaths::findExecutable("xwininfo");
    if (xvfb.isEmpty() || xwininfo.isEmpty())
        QSKIP("needs Xvfb and xwininfo");
    Put(dir.filePath("titles"), "a.pxg", {{1, 0}, {1, 1}});
    WriteAll(dir.filePath("titles/b.pxg"), QByteArray(10, '\1'));

    QProcess server;
    // A free display of the server's choosing: a fixed one may be taken, or locked by another
    // user's earlier run.
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 10000);
    const QString display = QString::fromLatin1(server.readLine()).trimmed();
    QTemporaryDir runtime;
    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", ":" + display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    player.setProcessEnvironment(env);
    player.setWorkingDirectory(dir.filePath("titles"));
    player.start(QStringLiteral(SETKARIY_EXE), {argument});
    QVERIFY(player.waitForStarted());

    QStringList names;
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && !names.contains(title)) {
        QTest::qWait(200);
        QProcess tree;
        tree.setProcessEnvironment(env);
        tree.start(xwininfo, {"-root", "-tree"});
        tree.waitForFinished();
        names.clear();
        for (const QString &line : QString::fromUtf8(tree.readAllStandardOutput()).split('\n')) {
            // A line reads: id "name": ("instance" "class") geometry.
            const int open = line.indexOf('"'), close = line.indexOf(QStringLiteral("\": ("), open + 1);
            if (open >= 0 && close > open)
                names << line.mid(open + 1, close - open - 1);
        }
    }
    player.kill();
    player.waitForFinished();
    // Ended politely, the server takes its lock file with it.
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    server.waitForFinished();
    QVERIFY2(names.contains(title), qPrintable(names.join(" | ")));
    for (const QString &name : names)
        QVERIFY2(!name.contains(QStringLiteral(" — ")), qPrintable(name));
}

void TestFrame::minimizedBoardIsNotTheActiveBoard()
{
    TMDIChild *one = Open(Put(dir.filePath("min"), "one.pxg", {{1, 0}, {0, 1}}));
    TMDIChild *two = Open(Put(dir.filePath("min"), "two.pxg", {{1, 1}, {0, 1}}));
    QCOMPARE(form->ActiveChild(), two);
    QTest::mouseClick(two, Qt::LeftButton, {}, QPoint(two->Origins.GridLeft + 1, two->Origins.GridTop + 1));
    two->StartClock();
    QVERIFY(two->Timer1->isActive());
    const TMyCrossArr marksTwo = two->Doc.Marks;

    // Minimized, the board's clock stops and the board still in view takes over.
    two->SubWindow()->showMinimized();
    QVERIFY(!two->Timer1->isActive());
    QCOMPARE(form->ActiveChild(), one);
    QVERIFY(!form->Clear1->isEnabled());  // the activation rules of the board now active

    // With nothing left in view, the puzzle commands act on nothing: no hidden game is wiped.
    one->SubWindow()->showMinimized();
    QCOMPARE(form->ActiveChild(), nullptr);
    form->Clear1->setEnabled(true);
    form->Clear1->trigger();
    QCOMPARE(two->Doc.Marks, marksTwo);
    QCOMPARE(int(two->Doc.InProgress), 1);

    // Cancel in the close question minimizes too.
    two->SubWindow()->showNormal();
    form->MdiArea->setActiveSubWindow(two->SubWindow());
    QCOMPARE(form->ActiveChild(), two);
    QVERIFY(form->Clear1->isEnabled());
    prompter->Answers = {QMessageBox::Cancel};
    form->FileClose1->setEnabled(true);
    form->FileClose1->trigger();
    QVERIFY(two->SubWindow()->isMinimized());
    QCOMPARE(form->ActiveChild(), nullptr);
}

void TestFrame::damagedFileLeavesTheOtherBoardsAlone()
{
    TMDIChild *one = Open(Put(dir.filePath("dmg"), "one.pxg", {{1, 0}, {0, 1}}));
    TMDIChild *two = Open(Put(dir.filePath("dmg"), "two.pxg", {{1, 1}, {0, 1}}));
    QVERIFY(two->SubWindow()->isMaximized());
    const QString title = form->windowTitle();
    const QString broken = dir.filePath("dmg/broken.pxg");
    WriteAll(broken, QByteArray(10, '\1'));
    QVERIFY_THROWS_EXCEPTION(std::exception, form->OpenPuzzleFile(broken));
    QCOMPARE(form->Children().size(), 2);
    QCOMPARE(form->ActiveChild(), two);
    QVERIFY(two->SubWindow()->isMaximized());
    QCOMPARE(form->windowTitle(), title);
    Q_UNUSED(one);
}

void TestFrame::wholeBoardVisibleAtFullZoom_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("30 x 20") << 30 << 20;
    QTest::newRow("20 x 15") << 20 << 15;
    QTest::newRow("odd width 21 x 14") << 21 << 14;
}

void TestFrame::wholeBoardVisibleAtFullZoom()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    TMyCrossArr picture(rows, std::vector<int32_t>(cols, 0));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            picture[r][c] = (r + c) % 3 == 0;
    TMDIChild *child = Open(Put(dir.filePath("fit"), QString("%1x%2.pxg").arg(cols).arg(rows), picture));
    QVERIFY(child->SubWindow()->isMaximized());
    const int a = child->CellSize;
    QVERIFY(a > 0);
    const TBoardOrigins &o = child->Origins;
    // The frame band with its counts at the top and left, and the whole grid, above the panel.
    QVERIFY(o.BoardLeft - a >= 0);
    QVERIFY(o.BoardTop - a >= 0);
    QVERIFY(o.GridLeft + a * cols <= child->DrawingWidth());
    QVERIFY(o.GridTop + a * rows <= child->DrawingHeight());
    QCOMPARE(child->DrawingHeight(), child->height() - 31);
    QVERIFY(child->Panel1->geometry().top() >= child->DrawingHeight());
}

void TestFrame::relativePathIsSavedIntoItsOwnFile()
{
    const QString mine = Put(dir.filePath("mine"), "a.pxg", {{1, 0}, {0, 1}});
    const QString other = Put(dir.filePath("library"), "a.pxg", {{1, 1}, {1, 1}});
    const QByteArray otherBytes = ReadAll(other);
    QDir::setCurrent(dir.filePath("mine"));
    TMDIChild *child = Open("a.pxg");
    QCOMPARE(child->windowTitle(), QStringLiteral("a.pxg"));
    QCOMPARE(child->FileName, QFileInfo(mine).absoluteFilePath());

    // The browser moves the working folder to where it looked.
    form->RememberLibrary("/", dir.filePath("library"));
    auto *browser = new TfOpenDialog(form);
    QCOMPARE(QDir::currentPath(), QFileInfo(dir.filePath("library")).canonicalFilePath());
    browser->bCancelClick();

    QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(child->Origins.GridLeft + 1, child->Origins.GridTop + 1));
    form->FileSave1->trigger();
    QCOMPARE(ReadAll(other), otherBytes);
    QCOMPARE(int(PuzzleFile::ReadFile(mine).InProgress), 1);
}

void TestFrame::secondStartElsewhereOpensItsOwnFile()
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    THandOffServer server(HandOff::ChannelName(), [this](const QByteArray &text) { form->WMCopyData(text); });
    QVERIFY(server.Listen());
    Put(dir.filePath("first"), "a.pxg", {{1, 0}, {0, 1}});
    const QString theirs = Put(dir.filePath("second"), "a.pxg", {{1, 1}, {0, 1}});
    QDir::setCurrent(dir.filePath("first"));

    QProcess second;
    second.setProgram(QStringLiteral(SETKARIY_EXE));
    second.setArguments({"a.pxg"});
    second.setWorkingDirectory(dir.filePath("second"));
    second.start();
    QDeadlineTimer deadline(20000);
    while (second.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(QFileInfo(form->Children().first()->FileName).canonicalFilePath(),
             QFileInfo(theirs).canonicalFilePath());
    // The caption shows the path as it was given, as on a first start.
    QCOMPARE(form->Children().first()->windowTitle(), QStringLiteral("a.pxg"));
}

int main(int argc, char **argv)
{
    // The program's own application object: its settings are part of what is tested.
    TApplication app(argc, argv);
    TestFrame test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frame.moc"
