// «Новая головоломка» as the player uses it: levels a size allows, a puzzle made, saved and opened.
#include "ScriptedPrompter.h"
#include "app/TNewPuzzleDialog.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "browser/LibraryListing.h"
#include "browser/uopendialog.h"
#include "core/Clues.h"
#include "core/Difficulty.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTableWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>

class TestNewPuzzle : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void levelsASizeCannotReachAreOffThenNearestChosen_data();
    void levelsASizeCannotReachAreOffThenNearestChosen();
    void madePuzzleIsSavedNamedAndOpened();
    void cancelAnswersAtOnceAndWritesNothing();
    void outOfTimeSaysSo();

private:
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
    TNewPuzzleDialog *dialog = nullptr;
};

void TestNewPuzzle::init()
{
    QDir(TNewPuzzleDialog::PuzzleFolder()).removeRecursively();
    prompter = new TScriptedPrompter;
    form = new TMainForm;
    form->show();
    form->FileNew1->trigger();
    dialog = form->findChild<TNewPuzzleDialog *>();
    QVERIFY(dialog && dialog->isVisible());
}

void TestNewPuzzle::cleanup()
{
    delete form;
    delete prompter;
}

void TestNewPuzzle::levelsASizeCannotReachAreOffThenNearestChosen_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("asked");
    QTest::newRow("5x5, 9 asked") << 0 << 9;
    QTest::newRow("100x100, 0 asked") << 7 << 0;
    QTest::newRow("15x15, 3 asked") << 2 << 3;
}

void TestNewPuzzle::levelsASizeCannotReachAreOffThenNearestChosen()
{
    QFETCH(int, preset);
    QFETCH(int, asked);
    dialog->SizeBox->setCurrentIndex(8); // custom first, so the preset is a change
    dialog->LevelBox->setCurrentIndex(asked);
    dialog->SizeBox->setCurrentIndex(preset);
    const int side = dialog->SizeBox->currentData().toInt();
    const TLevelRange range = ReachableLevels(side, side);
    QCOMPARE(dialog->LevelBox->currentIndex(), range.Nearest(asked));
    const auto *model = qobject_cast<QStandardItemModel *>(dialog->LevelBox->model());
    for (int level = 0; level <= 9; ++level)
        QCOMPARE(model->item(level)->isEnabled(), range.Holds(level));
}

void TestNewPuzzle::madePuzzleIsSavedNamedAndOpened()
{
    dialog->SizeBox->setCurrentIndex(2); // 15 x 15
    dialog->LevelBox->setCurrentIndex(2);
    QStringList paths;
    QList<TMyCrossArr> pictures;
    for (int run = 0; run < 2; ++run) {
        dialog->Start();
        QVERIFY(dialog->Running());
        dialog->WaitForWorker();
        QVERIFY(!dialog->Running());
        QVERIFY2(prompter->Questions.isEmpty(), qPrintable(prompter->Texts().join('\n')));
        TMDIChild *board = form->ActiveChild();
        QVERIFY(board);
        paths << board->FileName;
        QCOMPARE(QFileInfo(board->FileName).absolutePath(), QDir(TNewPuzzleDialog::PuzzleFolder()).absolutePath());
        QCOMPARE(DifficultyDigit(QFileInfo(board->FileName).fileName()), 2);
        const PuzzleDocument doc = PuzzleFile::ReadFile(board->FileName);
        QCOMPARE(doc.ColCount, 15);
        QCOMPARE(doc.RowCount, 15);
        pictures << doc.Solution;
        QCOMPARE(form->LastLibraryDirOf(), QFileInfo(board->FileName).absolutePath());
        form->FileNew1->trigger();
    }
    QCOMPARE(form->Children().size(), 2);
    // From anywhere else, the browser's folder list leads back to the made puzzles.
    form->RememberLibrary(QStringLiteral("/"), QDir::tempPath());
    auto *browser = new TfOpenDialog(form);
    browser->FormCreate();
    QListWidgetItem *shortcut = browser->DirList->item(browser->DirList->count() - 1);
    QCOMPARE(shortcut->text(), QStringLiteral("Новые головоломки"));
    emit browser->DirList->itemDoubleClicked(shortcut);
    QCOMPARE(QDir::currentPath(), QDir(TNewPuzzleDialog::PuzzleFolder()).absolutePath());
    QCOMPARE(browser->Grid->rowCount(), 2);
    delete browser;
    QVERIFY(paths[0] != paths[1]);
    QVERIFY(pictures[0] != pictures[1]);
}

void TestNewPuzzle::cancelAnswersAtOnceAndWritesNothing()
{
    dialog->SizeBox->setCurrentIndex(7); // 100 x 100
    dialog->Start();
    QVERIFY(!dialog->bCreate->isEnabled());
    dialog->bCancel->click();
    QVERIFY(!dialog->Running());
    QVERIFY(dialog->bCreate->isEnabled());
    QVERIFY(dialog->isVisible());
    dialog->WaitForWorker();
    QVERIFY(form->Children().isEmpty());
    QVERIFY(QDir(TNewPuzzleDialog::PuzzleFolder()).entryList(QDir::Files).isEmpty());
    dialog->bCancel->click();
    QVERIFY(!dialog->isVisible());
}

void TestNewPuzzle::outOfTimeSaysSo()
{
    dialog->TimeBudget = 0;
    dialog->Start();
    dialog->WaitForWorker();
    QCOMPARE(prompter->Questions.size(), 1);
    QVERIFY2(prompter->Questions[0].Text.startsWith(QStringLiteral("За 0 с не удалось создать головоломку 15 × 15")),
             qPrintable(prompter->Questions[0].Text));
    QVERIFY(form->Children().isEmpty());
    // A board two cells high promises by its cell count more than it reaches: what it did
    // reach is offered and chosen.
    dialog->SizeBox->setCurrentIndex(8);
    dialog->WidthBox->setValue(50);
    dialog->HeightBox->setValue(2);
    dialog->LevelBox->setCurrentIndex(5);
    QCOMPARE(dialog->LevelBox->currentIndex(), 5);
    dialog->TimeBudget = 1;
    dialog->Start();
    dialog->WaitForWorker();
    QCOMPARE(prompter->Questions.size(), 2);
    const int offered = dialog->LevelBox->currentIndex();
    QVERIFY(offered >= 1 && offered < 5);
    QVERIFY2(prompter->Questions[1].Text.contains(QStringLiteral("получается уровень %1 — он выбран").arg(offered)),
             qPrintable(prompter->Questions[1].Text));
    // Enter then tries again rather than closing the dialog.
    QCOMPARE(dialog->focusWidget(), dialog->bCreate);
}

QTEST_MAIN(TestNewPuzzle)
#include "tst_newpuzzle.moc"
