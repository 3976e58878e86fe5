// Opening and saving puzzles through the main window, as the player does.
#include "../TestFiles.h"
#include "ScriptedPrompter.h"
#include "app/TWorkspace.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PuzzleDocument Sample()
{
    return DocumentFromPicture({{1, 1, 0, 1}, {0, 1, 1, 1}, {1, 0, 0, 0}});
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openReadsTheFileIntoANewBoard();
    void openNothingForMissingPathsAndFolders();
    void damagedFileLeavesNoBoard_data();
    void damagedFileLeavesNoBoard();
    void handOffStopsAtTheFirstFailure();
    void anotherBoardClearsTheStatusText();
    void pipesAndDevicesAreNoPuzzles();
    void saveWritesTheFullFormAndRenames();
    void saveAsCancelledWritesNothing();
    void saveAsAddsTheDefaultExtension();
    void saveToAVanishedFileKeepsTheDocumentModified();
    void exitAsksEveryModifiedBoard();
    void readOnlyLibrarySaysWhatToDo();
    void readOnlyFileSaysSo();
    void fitNeverGoesBelowAPixel();

private:
    QString Put(const QString &name, const PuzzleDocument &doc, int bytes = -1);

    QTemporaryDir dir;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
};

void TestMainForm::init()
{
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->resize(1000, 800);
    form->show();
}

void TestMainForm::cleanup()
{
    for (TMDIChild *child : form->Children())
        child->Modified = false;
    delete form;
    delete prompter;
}

QString TestMainForm::Put(const QString &name, const PuzzleDocument &doc, int bytes)
{
    const QString path = dir.filePath(name);
    const QByteArray all = PuzzleFile::Serialize(doc);
    WriteAll(path, bytes < 0 ? all : all.left(bytes));
    return path;
}

void TestMainForm::openReadsTheFileIntoANewBoard()
{
    PuzzleDocument started = Sample();
    started.InProgress = 7;
    started.Marks[0][0] = 1;
    started.Marks[2][3] = -1;
    const QString first = Put("first.pxg", Sample(), 25 + 4 * 12);
    const QString second = Put("second.pxg", started);

    form->OpenPuzzleFile(first);
    form->OpenPuzzleFile(second);

    QCOMPARE(form->Children().size(), 2);
    TMDIChild *active = form->ActiveChild();
    QVERIFY(active);
    QCOMPARE(active->FileName, second);
    QCOMPARE(active->windowTitle(), second);
    QCOMPARE(active->Doc, started);
    QVERIFY(!active->Modified);
    QCOMPARE(int(active->ZoomPercent), 100);
    QVERIFY(active->SubWindow()->isMaximized());
    QCOMPARE(form->Children().first()->Doc, Sample());
    QVERIFY(prompter->Questions.isEmpty());
    QVERIFY(!form->FileSave1->isEnabled());
    QVERIFY(form->FilePrint1->isEnabled());
}

void TestMainForm::openNothingForMissingPathsAndFolders()
{
    form->OpenPuzzleFile(dir.filePath("none.pxg"));
    form->OpenPuzzleFile(dir.path());
    form->OpenPuzzleFile(QString());
    QVERIFY(form->Children().isEmpty());
    QVERIFY(prompter->Questions.isEmpty());
}

void TestMainForm::damagedFileLeavesNoBoard_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QByteArray good = PuzzleFile::Serialize(Sample());
    QTest::newRow("empty") << QByteArray() << "Stream read error";
    QTest::newRow("header cut") << good.left(20) << "Stream read error";
    QTest::newRow("picture cut") << good.left(40) << "Stream read error";
    PuzzleFile::Header h;
    h.ColCount = 5000;
    h.RowCount = 5000;
    QTest::newRow("too large") << PuzzleFile::EncodeHeader(h) << "Invalid puzzle file %1";
    QTest::newRow("text") << QByteArray("Dear diary, today I solved nothing at all.") << "Invalid puzzle file %1";
}

void TestMainForm::damagedFileLeavesNoBoard()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const QString path = dir.filePath("damaged.pxg");
    WriteAll(path, bytes);
    form->OpenPuzzleFile(Put("good.pxg", Sample()));

    QString message;
    try {
        form->OpenPuzzleFile(path);
    } catch (const EPuzzleError &e) {
        message = e.Message();
    }
    QCOMPARE(message, error.contains("%1") ? error.arg(path) : error);
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(form->ActiveChild()->FileName, dir.filePath("good.pxg"));
}

void TestMainForm::handOffStopsAtTheFirstFailure()
{
    const QString bad = dir.filePath("bad.pxg");
    WriteAll(bad, "xx");
    const QString a = Put("a.pxg", Sample());
    const QString b = Put("b.pxg", Sample());
    QByteArray text = a.toLocal8Bit() + '\r' + dir.filePath("missing.pxg").toLocal8Bit() + '\r'
        + bad.toLocal8Bit() + '\r' + b.toLocal8Bit() + '\r';
    form->WMCopyData(text);
    QCOMPARE(prompter->Texts(), QStringList{"Stream read error"});
    QCOMPARE(prompter->Questions.first().Icon, QMessageBox::Critical);
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(form->ActiveChild()->FileName, a);
}

void TestMainForm::anotherBoardClearsTheStatusText()
{
    form->OpenPuzzleFile(Put("a.pxg", Sample()));
    TMDIChild *first = form->ActiveChild();
    form->OpenPuzzleFile(Put("b.pxg", Sample()));
    TMDIChild *second = form->ActiveChild();
    QVERIFY(first && second && first != second);
    form->Check1->trigger();
    QVERIFY(!form->StatusBar->currentMessage().isEmpty());
    form->MdiArea->setActiveSubWindow(first->SubWindow());
    QCOMPARE(form->ActiveChild(), first);
    QCOMPARE(form->StatusBar->currentMessage(), QString());
}

void TestMainForm::pipesAndDevicesAreNoPuzzles()
{
    // Reading a pipe would wait for a writer forever; it is refused before anything is opened.
    const QString fifo = dir.filePath("pipe.pxg");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero")}) {
        QString message;
        try {
            form->OpenPuzzleFile(path);
        } catch (const EPuzzleError &e) {
            message = e.Message();
        }
        QCOMPARE(message, QStringLiteral("Cannot open file ") + path);
    }
    QVERIFY(form->Children().isEmpty());
}

void TestMainForm::saveWritesTheFullFormAndRenames()
{
    const QString path = Put("game.pxg", Sample(), 25 + 4 * 12);
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    child->Doc.Marks[1][1] = 1;
    child->Doc.InProgress = 1;
    child->Modified = true;
    form->FileSave1->setEnabled(true);

    form->FileSave1->trigger();

    QCOMPARE(ReadAll(path), PuzzleFile::Serialize(child->Doc));
    QCOMPARE(child->windowTitle(), QStringLiteral("game.pxg"));
    QVERIFY(!child->Modified);
    QVERIFY(!form->FileSave1->isEnabled());
    QCOMPARE(prompter->SaveDialogs, 0);
}

void TestMainForm::saveAsCancelledWritesNothing()
{
    const QString path = Put("keep.pxg", Sample());
    const QByteArray before = ReadAll(path);
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    child->Modified = true;

    form->FileSaveAs1->trigger();
    QCOMPARE(prompter->SaveDialogs, 1);
    QVERIFY(prompter->Questions.isEmpty());
    QCOMPARE(prompter->LastSetup.DefaultExt, QStringLiteral("pxg"));
    QCOMPARE(prompter->LastSetup.Filter, QStringLiteral("Файлы кроссвордов (*.pxg)|*.pxg"));
    QVERIFY(prompter->LastSetup.OverwritePrompt);
    QCOMPARE(prompter->LastSetup.InitialDir, TMainForm::ExecutableFolder() + QStringLiteral("Библиотека"));
    QVERIFY(child->FileName.isEmpty());
    QCOMPARE(child->windowTitle(), path);
    QVERIFY(child->Modified);
    QCOMPARE(ReadAll(path), before);

    // The next plain Save asks again.
    form->FileSave1->setEnabled(true);
    form->FileSave1->trigger();
    QCOMPARE(prompter->SaveDialogs, 2);
    QCOMPARE(ReadAll(path), before);
}

void TestMainForm::saveAsAddsTheDefaultExtension()
{
    const QString path = Put("short.pxg", Sample(), 25 + 4 * 12);
    form->OpenPuzzleFile(path);
    prompter->SavePaths << dir.filePath("copy");
    form->FileSaveAs1->trigger();
    const QString copy = dir.filePath("copy.pxg");
    QCOMPARE(form->ActiveChild()->FileName, copy);
    QCOMPARE(form->ActiveChild()->windowTitle(), QStringLiteral("copy.pxg"));
    QCOMPARE(QFileInfo(copy).size(), qint64(25 + 4 * (2 * 12 + 3 * 2 + 2 * 4)));
    QCOMPARE(PuzzleFile::ReadFile(copy), Sample());
}

void TestMainForm::saveToAVanishedFileKeepsTheDocumentModified()
{
    const QString path = Put("vanish.pxg", Sample());
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    child->Modified = true;
    form->FileSave1->setEnabled(true);
    QVERIFY(QFile::remove(path));

    form->FileSave1->trigger();
    QCOMPARE(prompter->Texts(), QStringList{QStringLiteral("Cannot open file ") + path});
    QVERIFY(child->Modified);
    QVERIFY(form->FileSave1->isEnabled());
    QCOMPARE(child->windowTitle(), path);
    QVERIFY(!QFile::exists(path));
}

void TestMainForm::exitAsksEveryModifiedBoard()
{
    const QString a = Put("ea.pxg", Sample());
    const QString b = Put("eb.pxg", Sample());
    form->OpenPuzzleFile(a);
    form->OpenPuzzleFile(b);
    for (TMDIChild *child : form->Children()) {
        child->Modified = true;
        child->Doc.InProgress = 1;
    }
    // Most recently active first: b is saved, a is thrown away.
    prompter->Answers << QMessageBox::Yes << QMessageBox::No;
    form->FileExit1->trigger();
    QCOMPARE(prompter->Questions.size(), 2);
    QCOMPARE(prompter->Questions[0].Text, QStringLiteral("В файл были внесены изменения. Сохранить?"));
    QCOMPARE(prompter->Questions[0].Caption, QStringLiteral("Сохранение изменений"));
    QCOMPARE(prompter->Questions[0].Default, QMessageBox::Yes);
    QCOMPARE(ReadAll(b).at(0), char(1));
    QCOMPARE(ReadAll(a).at(0), char(0));
    QTRY_VERIFY(form->Children().isEmpty());
    QVERIFY(!form->isVisible());
}

void TestMainForm::readOnlyLibrarySaysWhatToDo()
{
    // A library the player may not write to, as an installed one is. Under root the test plays
    // an ordinary user for the saves, since root may write anywhere.
    QTemporaryDir library, home;
    const QString path = library.filePath("Кот1.pxg");
    WriteAll(path, PuzzleFile::Serialize(Sample()));
    const bool root = geteuid() == 0;
    QVERIFY(QFile::setPermissions(home.path(), QFileDevice::Permissions(0x7777)));
    if (root)
        QVERIFY(QFile::setPermissions(library.path(), QFileDevice::Permissions(0x7755)));
    else
        QVERIFY(QFile::setPermissions(library.path(), QFileDevice::Permissions(0x5555)));
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    child->Modified = true;
    child->Doc.InProgress = 1;
    const QByteArray before = ReadAll(path);

    if (root)
        QCOMPARE(seteuid(65534), 0);
    form->FileSave1->setEnabled(true);
    form->FileSave1->trigger();
    prompter->SavePaths << home.filePath("мой кот");
    form->FileSaveAs1->trigger();
    if (root)
        QCOMPARE(seteuid(0), 0);
    QFile::setPermissions(library.path(), QFileDevice::Permissions(0x7755));

    QCOMPARE(prompter->Questions.size(), 1);
    const QString message = prompter->Questions[0].Text;
    QVERIFY2(message.startsWith(QStringLiteral("Cannot open file ") + path + "\n"), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("«Сохранить как...»")));
    QCOMPARE(ReadAll(path), before);
    // Save As to a folder of the player's own works.
    QCOMPARE(child->FileName, home.filePath("мой кот.pxg"));
    QCOMPARE(PuzzleFile::ReadFile(child->FileName).InProgress, uint8_t(1));
    QVERIFY(!child->Modified);
}

void TestMainForm::readOnlyFileSaysSo()
{
    // The folder is writable; only the file is not. Root plays an ordinary user for the save.
    QTemporaryDir folder;
    const QString path = folder.filePath("только чтение.pxg");
    WriteAll(path, PuzzleFile::Serialize(Sample()));
    QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x4444)));
    form->OpenPuzzleFile(path);
    form->ActiveChild()->Modified = true;
    // Both ids, since the access checks go by the real one; the saved one allows the way back.
    const bool root = geteuid() == 0;
    if (root)
        QCOMPARE(setresuid(65534, 65534, 0), 0);
    form->FileSave1->setEnabled(true);
    form->FileSave1->trigger();
    if (root)
        QCOMPARE(setresuid(0, 0, 0), 0);
    QCOMPARE(prompter->Questions.size(), 1);
    const QString message = prompter->Questions[0].Text;
    QVERIFY2(message.contains(QStringLiteral("Файл доступен только для чтения.")), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("папку")), qPrintable(message));
}

void TestMainForm::fitNeverGoesBelowAPixel()
{
    // Fitted into the window a 1000 x 1000 board would have cells of 0 px: only the backdrop.
    const QString path = Put("huge.pxg", DocumentFromPicture(TMyCrossArr(1000, std::vector<int32_t>(1000, 1))));
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    QVERIFY(child->CloseUp);
    form->ZoomAll->trigger();
    QVERIFY(child->CloseUp);
    QVERIFY(child->CellSize >= 1);
    QVERIFY(form->StatusBar->currentMessage().contains(QStringLiteral("крупным планом")));
    // Leaving close-up would show nothing either: the board stays in it.
    form->CloseUp1->trigger();
    QVERIFY(child->CloseUp);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
