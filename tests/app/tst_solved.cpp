// A solved board goes into the record: the victory box adds the times, «Статистика» lists it;
// «Как играть» opens on F1.
#include "../TestFiles.h"
#include "ScriptedPrompter.h"
#include "app/THelpDialog.h"
#include "app/TStatisticsDialog.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "core/SolvedRecord.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

class TestSolved : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void victoryRecordsAndShowsTheBestEarlierTime();
    void damagedRecordNeverStopsTheGame();
    void statisticsSortsByItsNumbers();
    void helpOnF1();

private:
    void SolveIn(const QString &name, double seconds);

    const TMyCrossArr Picture{{1, 1, 0}, {0, 1, 1}};
    QTemporaryDir dir;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
};

void TestSolved::init()
{
    QFile::remove(TSolvedRecord::DefaultPath());
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->resize(800, 600);
    form->show();
}

void TestSolved::cleanup()
{
    for (TMDIChild *child : form->Children())
        child->Modified = false;
    delete form;
    delete prompter;
    QFile::remove(TSolvedRecord::DefaultPath());
}

// Opens a copy of the puzzle, sets its clock and fills the last cell with the mouse.
void TestSolved::SolveIn(const QString &name, double seconds)
{
    const QString path = dir.filePath(name);
    WriteAll(path, PuzzleFile::Serialize(DocumentFromPicture(Picture)));
    form->OpenPuzzleFile(path);
    TMDIChild *child = form->ActiveChild();
    child->Doc.Marks = Picture;
    child->Doc.Marks[1][2] = 0;
    child->Doc.ElapsedTime = seconds / 86400.0;
    const int a = child->CellSize;
    QTest::mouseClick(child, Qt::LeftButton, {},
                      QPoint(child->Origins.GridLeft + a * 2 + a / 2, child->Origins.GridTop + a + a / 2));
    QVERIFY(IsSolved(child->Doc.Solution, child->Doc.Marks));
}

void TestSolved::victoryRecordsAndShowsTheBestEarlierTime()
{
    SolveIn("first 2.pxg", 125);
    QCOMPARE(prompter->Questions.size(), 1);
    QCOMPARE(prompter->Questions[0].Text, QStringLiteral("Поздравляю! Вы справились!"));
    QCOMPARE(prompter->Questions[0].Informative, QStringLiteral("Время: 2:05"));
    // A renamed copy is the same puzzle.
    SolveIn("copy.pxg", 300);
    QCOMPARE(prompter->Questions[1].Informative, QStringLiteral("Время: 5:00\nЛучшее прежнее время: 2:05"));
    TSolvedRecord record;
    QCOMPARE(record.Load(), QString());
    QCOMPARE(record.Entries().size(), 2);
    QCOMPARE(record.Entries()[0].Level, 2);
    QCOMPARE(record.Entries()[1].Level, -1);
    QCOMPARE(record.Entries()[1].Name, QStringLiteral("copy.pxg"));
}

void TestSolved::damagedRecordNeverStopsTheGame()
{
    QDir().mkpath(QFileInfo(TSolvedRecord::DefaultPath()).absolutePath());
    WriteAll(TSolvedRecord::DefaultPath(), "\x01\x02 not a record");
    SolveIn("a 1.pxg", 10);
    QCOMPARE(prompter->Questions.size(), 2);
    QVERIFY(prompter->Questions[0].Text.contains(QStringLiteral("повреждён и отложен")));
    QCOMPARE(prompter->Questions[1].Text, QStringLiteral("Поздравляю! Вы справились!"));
    QCOMPARE(prompter->Questions[1].Informative, QStringLiteral("Время: 0:10"));
    QVERIFY(QFile::exists(TSolvedRecord::DefaultPath() + ".damaged"));
    QFile::remove(TSolvedRecord::DefaultPath() + ".damaged");
}

void TestSolved::statisticsSortsByItsNumbers()
{
    TSolvedRecord record;
    const QDateTime when(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC);
    const TMyCrossArr small{{1}}, wide{{1, 0, 1, 1, 0, 1, 1, 1, 0, 1}};
    record.Add({PuzzleIdentity(small), when, 600, 1, 1, 9, QStringLiteral("small 9.pxg")});
    record.Add({PuzzleIdentity(wide), when.addDays(1), 90, 10, 1, 1, QStringLiteral("wide 1.pxg")});
    record.Add({PuzzleIdentity(small), when.addDays(2), 70, 1, 1, 9, QStringLiteral("small 9.pxg")});
    TStatisticsDialog stats(form);
    QTableWidget *t = stats.Table;
    QCOMPARE(t->rowCount(), 2);
    t->sortByColumn(TStatisticsDialog::ColBest, Qt::AscendingOrder);
    QCOMPARE(t->item(0, TStatisticsDialog::ColBest)->text(), QStringLiteral("1:10"));
    QCOMPARE(t->item(0, TStatisticsDialog::ColCount)->text(), QStringLiteral("2"));
    QCOMPARE(t->item(1, TStatisticsDialog::ColBest)->text(), QStringLiteral("1:30"));
    // As text "10x1" would sort before "1x1".
    t->sortByColumn(TStatisticsDialog::ColSize, Qt::AscendingOrder);
    QCOMPARE(t->item(0, TStatisticsDialog::ColSize)->text(), QStringLiteral("1x1"));
    t->sortByColumn(TStatisticsDialog::ColDate, Qt::DescendingOrder);
    QCOMPARE(t->item(0, TStatisticsDialog::ColName)->text(), QStringLiteral("small 9"));
}

void TestSolved::helpOnF1()
{
    QCOMPARE(form->HelpHowTo1->shortcut(), QKeySequence(Qt::Key_F1));
    form->HelpHowTo1->trigger();
    auto *help = form->findChild<THelpDialog *>();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Как играть"));
    const QString text = help->Browser->toPlainText();
    for (const char *key : {"Ctrl+Z", "Ctrl+N", "F4", "Delete", "Пробел", "Правая кнопка", "Щелчок по числу"})
        QVERIFY2(text.contains(QString::fromUtf8(key)), key);
}

QTEST_MAIN(TestSolved)
#include "tst_solved.moc"
