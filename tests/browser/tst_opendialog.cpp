// The library browser as the player uses it: real folders, real files, the real main window.
#include "../app/ScriptedPrompter.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "core/SolvedRecord.h"
#include "browser/LibraryListing.h"
#include "browser/uopendialog.h"
#include "format/PuzzleFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QtEndian>

#include <functional>

namespace {

using TMarkAt = std::function<int32_t(int row, int col)>;

// A puzzle file with no clue strikes: header, a solution of all black, then the marks.
QByteArray Puzzle(int32_t cols, int32_t rows, uint8_t inProgress, const TMarkAt &mark = {})
{
    PuzzleFile::Header h;
    h.InProgress = inProgress;
    h.ColCount = cols;
    h.RowCount = rows;
    QByteArray out = PuzzleFile::EncodeHeader(h);
    char value[4];
    for (int block = 0; block < 2; ++block)
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) {
                qToLittleEndian<qint32>(block == 0 ? 1 : (mark ? mark(i, j) : 0), value);
                out.append(value, 4);
            }
    return out;
}

// A whole, openable puzzle.
QByteArray Openable()
{
    return PuzzleFile::Serialize(DocumentFromPicture({{1, 0, 1}, {0, 1, 0}}));
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
}

QString Caption()
{
    // Latin O, then Cyrillic.
    return QString(QChar(0x004F)) + QStringLiteral("ткрыть");
}

QStringList Column(const QTableWidget *grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
        texts << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
    return texts;
}

QImage Preview(const TfOpenDialog *d)
{
    return d->Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

bool AllWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// What the window system delivers for a double-click: press, release, double-click, release.
void DoubleClick(QWidget *widget, QPoint pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

void DeleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestOpenDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void difficultyDigit_data();
    void difficultyDigit();
    void volumeKind_data();
    void volumeKind();

    void layout();
    void listingShowsDifficultyAndCaption_data();
    void listingShowsDifficultyAndCaption();
    void captionShowsTheLastDigitListed();
    void folderWithoutDigitsKeepsTheCaption();
    void listingShowsSizeStartedAndNumbers();
    void solvedPuzzleReadsSolved();
    void folderNamedLikeAPuzzleIsNotListed();
    void emptyFolderDisablesOpen();
    void damagedFileCostsOnlyItsRow_data();
    void damagedFileCostsOnlyItsRow();
    void compareNames_data();
    void compareNames();
    void headerClickSortsTheRows();
    void cutTextGetsATooltip();

    void previewShowsTheWholeBoardCentred_data();
    void previewShowsTheWholeBoardCentred();
    void previewOfATooLargeBoardSaysSo_data();
    void previewOfATooLargeBoardSaysSo();
    void previewShowsMarksNotSolution();
    void notStartedHidesThePreview();
    void keyboardMovePreviews();
    void oddHeadersPreviewNothing_data();
    void oddHeadersPreviewNothing();
    void previewOfACutFileReportsAndStaysClear();

    void freshDialogStartsInTheLibrary();
    void missingFolderFallsBackToTheWorkingFolder();
    void folderListShowsPathAndSubfolders();
    void pickingAVolumeGoesToItsRoot();
    void sameFolderListsNothing();
    void enterInTheFolderListWalksIn();

    void openRemembersTheFolder();
    void cancelRemembersNothing();
    void execRunsUntilClosedAndDeletesTheDialog();
    void openReportsADamagedFile();
    void doubleClickOnACellOpens();
    void doubleClickOnTheHeadersDoesNothing();
    void deleteKeepsTheRowIndex();
    void deletingTheOnlyFileDisablesOpen();
    void deletedFolderFallsBackToItsParent();
    void previewLayout_data();
    void previewLayout();

private:
    QString Here() const { return QFileInfo(dir->path()).canonicalFilePath(); }
    QString Put(const QString &name, const QByteArray &bytes);
    QString SubFolder(const QString &name);
    // A browser as the Open command makes it, starting on a folder remembered by the main window.
    TfOpenDialog *Browse(const QString &folder);
    void ClickRow(TfOpenDialog *d, int row);

    QString savedCwd;
    QTemporaryDir *dir = nullptr;
    TMainForm *form = nullptr;
    TScriptedPrompter *prompter = nullptr;
    QPointer<TfOpenDialog> dialog;
};

void TestOpenDialog::init()
{
    savedCwd = QDir::currentPath();
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    prompter = new TScriptedPrompter;
    form = new TMainForm;
}

void TestOpenDialog::cleanup()
{
    delete dialog;
    for (TMDIChild *child : form->Children())
        child->Modified = false;
    delete form;
    delete prompter;
    // The browser moves the process's working folder; the next test starts where this one did.
    QDir::setCurrent(savedCwd);
    delete dir;
}

QString TestOpenDialog::Put(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(Here()).filePath(name);
    WriteAll(path, bytes);
    return path;
}

QString TestOpenDialog::SubFolder(const QString &name)
{
    QDir(Here()).mkpath(name);
    return QDir(Here()).filePath(name);
}

TfOpenDialog *TestOpenDialog::Browse(const QString &folder)
{
    form->LastLibraryDrive = QStringLiteral("/");
    form->LastLibraryDir = folder;
    dialog = new TfOpenDialog(form);
    return dialog;
}

void TestOpenDialog::ClickRow(TfOpenDialog *d, int row)
{
    const QRect cell = d->Grid->visualRect(d->Grid->model()->index(row, 1));
    QVERIFY(cell.isValid());
    QTest::mouseClick(d->Grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void TestOpenDialog::difficultyDigit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("digit");
    QTest::newRow("digit before the extension") << "puzzle3.pxg" << 3;
    QTest::newRow("crown digit") << "puzzle7.pxg" << 7;
    QTest::newRow("zero") << "Домик0.pxg" << 0;
    QTest::newRow("no digit") << "puzzle.pxg" << -1;
    QTest::newRow("digit elsewhere") << "3puzzle.pxg" << -1;
    QTest::newRow("five characters") << "5.pxg" << 5;
    QTest::newRow("short name takes the first") << "9ab" << 9;
    QTest::newRow("short name without digit") << "ab9" << -1;
    QTest::newRow("longer extension") << "puzzle3.pxgz" << -1;
    QTest::newRow("non-ASCII digit") << QStringLiteral("puzzle\u0663.pxg") << -1;
}

void TestOpenDialog::difficultyDigit()
{
    QFETCH(QString, name);
    QFETCH(int, digit);
    QCOMPARE(DifficultyDigit(name), digit);
}

void TestOpenDialog::volumeKind_data()
{
    using K = TfOpenDialog::TVolumeKind;
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<bool>("removable");
    QTest::addColumn<K>("kind");
    QTest::newRow("root of a container") << "/" << QByteArray("overlay") << QByteArray("overlay") << false << K::Fixed;
    QTest::newRow("home partition") << "/home" << QByteArray("ext4") << QByteArray("/dev/sda2") << false << K::Fixed;
    QTest::newRow("stick under media") << "/media/ann/STICK" << QByteArray("vfat") << QByteArray("/dev/sdb1") << false
                                       << K::Removable;
    QTest::newRow("removable disk") << "/mnt/card" << QByteArray("exfat") << QByteArray("/dev/sdc1") << true
                                    << K::Removable;
    QTest::newRow("udisks mount") << "/run/media/ann/DISK" << QByteArray("ntfs3") << QByteArray("/dev/sdb2") << false
                                  << K::Removable;
    QTest::newRow("optical") << "/mnt/cd" << QByteArray("iso9660") << QByteArray("/dev/sr0") << true << K::CdRom;
    QTest::newRow("nfs") << "/net/share" << QByteArray("nfs4") << QByteArray("srv:/export") << false << K::Network;
    QTest::newRow("samba") << "/mnt/smb" << QByteArray("cifs") << QByteArray("//srv/share") << false << K::Network;
    QTest::newRow("zfs dataset") << "/tank" << QByteArray("zfs") << QByteArray("tank") << false << K::Fixed;
    QTest::newRow("proc") << "/proc" << QByteArray("proc") << QByteArray("proc") << false << K::None;
    QTest::newRow("sysfs") << "/sys" << QByteArray("sysfs") << QByteArray("sysfs") << false << K::None;
    QTest::newRow("tmpfs") << "/tmp" << QByteArray("tmpfs") << QByteArray("tmpfs") << false << K::None;
    QTest::newRow("overlay elsewhere") << "/var/lib/x" << QByteArray("overlay") << QByteArray("overlay") << false
                                       << K::None;
    QTest::newRow("snap image") << "/snap/core/1" << QByteArray("squashfs") << QByteArray("/dev/loop0") << false
                                << K::None;
    QTest::newRow("boot partition") << "/boot/efi" << QByteArray("vfat") << QByteArray("/dev/sda1") << false
                                    << K::None;
    QTest::newRow("runtime folder") << "/run/user/1000/doc" << QByteArray("fuse.portal") << QByteArray("portal")
                                    << false << K::None;
}

void TestOpenDialog::volumeKind()
{
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, device);
    QFETCH(bool, removable);
    QFETCH(TfOpenDialog::TVolumeKind, kind);
    QCOMPARE(TfOpenDialog::VolumeKind(root, type, device, removable), kind);
}

void TestOpenDialog::layout()
{
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(d->windowTitle(), Caption());
    QCOMPARE(d->windowTitle().at(0).unicode(), 0x004F);
    QCOMPARE(d->size(), QSize(726, 315));
    QCOMPARE(d->minimumSize(), d->maximumSize());
    QCOMPARE(d->palette().color(QPalette::Window), QColor(215, 215, 215));
    QVERIFY(!(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));

    QCOMPARE(d->DriveList->geometry(), QRect(0, 0, 153, 161));
    QCOMPARE(d->DirList->geometry(), QRect(0, 164, 153, 149));
    QCOMPARE(d->Grid->geometry(), QRect(160, 0, 401, 313));
    QCOMPARE(d->Label1->pos(), QPoint(568, 0));
    QCOMPARE(d->Label1->height(), 13);
    QVERIFY(d->Label1->width() >= 51);
    QVERIFY(d->Label1->width() >= d->Label1->sizeHint().width());
    QVERIFY(d->Label1->geometry().right() < d->Image1->geometry().right());
    QCOMPARE(d->Label1->text(), QStringLiteral("Просмотр"));
    QCOMPARE(d->Image1->geometry(), QRect(568, 16, 153, 265));
    QCOMPARE(d->bOpen->geometry(), QRect(568, 288, 75, 25));
    QCOMPARE(d->bOpen->text(), QStringLiteral("Открыть"));
    QCOMPARE(d->bCancel->geometry(), QRect(648, 288, 75, 25));
    QCOMPARE(d->bCancel->text(), QStringLiteral("Отмена"));
    QCOMPARE(d->N1->text(), QStringLiteral("Удалить"));
    QVERIFY(d->PopupMenu1->actions().contains(d->N1));

    QCOMPARE(d->Grid->columnCount(), 5);
    const QStringList titles = {"№", "Имя файла", "Сложность", "Размер", "Решался"};
    const int widths[] = {30, 123, 80, 64, 67};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(d->Grid->horizontalHeaderItem(c)->text(), titles[c]);
        QCOMPARE(d->Grid->columnWidth(c), widths[c]);
    }
    QCOMPARE(d->Grid->horizontalHeader()->height(), 18);
    QCOMPARE(d->Grid->verticalHeader()->width(), 12);
    QCOMPARE(d->Grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(d->Grid->horizontalHeader()->sortIndicatorSection(), 1);
    QCOMPARE(d->Grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

    Put("a.pxg", Puzzle(5, 5, 0));
    d->DirListChange();
    QCOMPARE(d->Grid->rowHeight(0), 16);
    QCOMPARE(d->Grid->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
    QCOMPARE(d->Grid->item(0, 1)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
    QCOMPARE(d->Grid->item(0, 0)->background().color(), QColor(Qt::white));
    QCOMPARE(d->Grid->item(0, 4)->background().color(), QColor(Qt::white));
    QVERIFY(d->DriveList->count() > 0);
    QCOMPARE(d->DriveList->visualItemRect(d->DriveList->item(0)).height(), 53);
    QCOMPARE(d->DirList->visualItemRect(d->DirList->item(0)).height(), 17);
}

void TestOpenDialog::listingShowsDifficultyAndCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("difficulty");
    QTest::addColumn<QString>("caption");
    QTest::newRow("easy digit") << "puzzle3.pxg" << "3" << "3";
    QTest::newRow("zero") << "puzzle0.pxg" << "0" << "0";
    QTest::newRow("five is the hardest digit") << "puzzle5.pxg" << "5" << "5";
    QTest::newRow("crown with digit") << "puzzle7.pxg" << "Корона" << "7";
    QTest::newRow("crown without digit") << "puzzle.pxg" << "Корона" << Caption();
    QTest::newRow("upper-case extension") << "PUZZLE2.PXG" << "2" << "2";
}

void TestOpenDialog::listingShowsDifficultyAndCaption()
{
    QFETCH(QString, name);
    QFETCH(QString, difficulty);
    QFETCH(QString, caption);
    Put(name, Puzzle(5, 5, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(Column(d->Grid, 1), QStringList{name});
    QCOMPARE(Column(d->Grid, 2), QStringList{difficulty});
    QCOMPARE(d->windowTitle(), caption);
}

void TestOpenDialog::captionShowsTheLastDigitListed()
{
    Put("a1.pxg", Puzzle(5, 5, 0));
    Put("b8.pxg", Puzzle(5, 5, 0));
    Put("c4.pxg", Puzzle(5, 5, 0));
    Put("d.pxg", Puzzle(5, 5, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(Column(d->Grid, 2), (QStringList{"1", "Корона", "4", "Корона"}));
    QCOMPARE(d->windowTitle(), QStringLiteral("4"));
}

void TestOpenDialog::folderWithoutDigitsKeepsTheCaption()
{
    Put("cat.pxg", Puzzle(5, 5, 0));
    Put("dog.pxg", Puzzle(5, 5, 1));
    Put("x.pxg", Puzzle(5, 5, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(d->Grid->rowCount(), 3);
    QCOMPARE(Column(d->Grid, 2), (QStringList{"Корона", "Корона", "Корона"}));
    QCOMPARE(d->windowTitle(), Caption());
}

void TestOpenDialog::listingShowsSizeStartedAndNumbers()
{
    Put("a.pxg", Puzzle(20, 15, 0));
    Put("b.pxg", Puzzle(3, 8, 1));
    Put("c.pxg", Puzzle(1, 1, 7));
    Put(".hidden.pxg", Puzzle(2, 2, 0));
    Put("notes.txt", Puzzle(2, 2, 0));
    Put("d.pxgx", Puzzle(2, 2, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(Column(d->Grid, 1), (QStringList{".hidden.pxg", "a.pxg", "b.pxg", "c.pxg"}));
    QCOMPARE(Column(d->Grid, 0), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(Column(d->Grid, 3), (QStringList{"2x2", "20x15", "3x8", "1x1"}));
    QCOMPARE(Column(d->Grid, 4), (QStringList{"Нет", "Нет", "Да", "Да"}));
    QVERIFY(d->bOpen->isEnabled());
    QVERIFY(prompter->Questions.isEmpty());
}

// Known by its clues: a renamed copy of a solved puzzle is solved too, a started one of
// another picture is not.
void TestOpenDialog::solvedPuzzleReadsSolved()
{
    const TMyCrossArr solved{{1, 0, 1}, {1, 1, 0}}, other{{1, 1, 1}, {1, 0, 0}};
    PuzzleDocument started = DocumentFromPicture(other);
    started.InProgress = 1;
    Put("a.pxg", PuzzleFile::Serialize(DocumentFromPicture(solved)));
    Put("b.pxg", PuzzleFile::Serialize(started));
    Put("c.pxg", PuzzleFile::Serialize(DocumentFromPicture(solved)));
    QFile::remove(TSolvedRecord::DefaultPath());
    TSolvedRecord record;
    record.Add({PuzzleIdentity(solved), QDateTime::currentDateTimeUtc(), 60, 3, 2, -1, QStringLiteral("x.pxg")});
    TfOpenDialog *d = Browse(Here());
    QFile::remove(TSolvedRecord::DefaultPath());
    QCOMPARE(Column(d->Grid, 4), (QStringList{"Решён", "Да", "Решён"}));
}

void TestOpenDialog::folderNamedLikeAPuzzleIsNotListed()
{
    SubFolder("x.pxg");
    Put("y.pxg", Puzzle(4, 4, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(Column(d->Grid, 1), QStringList{"y.pxg"});
    QVERIFY(prompter->Questions.isEmpty());
}

void TestOpenDialog::emptyFolderDisablesOpen()
{
    const QString full = SubFolder("full");
    WriteAll(full + "/a.pxg", Puzzle(4, 4, 0));
    Put("readme.txt", "no puzzles here");
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(d->Grid->rowCount(), 0);
    QVERIFY(!d->bOpen->isEnabled());

    d->SetDirectory(full);
    QCOMPARE(d->Grid->rowCount(), 1);
    QVERIFY(d->bOpen->isEnabled());
}

void TestOpenDialog::damagedFileCostsOnlyItsRow_data()
{
    QTest::addColumn<bool>("linkFirst");
    QTest::newRow("short file first") << false;
    QTest::newRow("unreadable file first") << true;
}

void TestOpenDialog::damagedFileCostsOnlyItsRow()
{
    QFETCH(bool, linkFirst);
    Put("a.pxg", Puzzle(4, 4, 0));
    const QString shortName = linkFirst ? "c.pxg" : "b.pxg";
    const QString linkName = linkFirst ? "b.pxg" : "c.pxg";
    Put(shortName, Puzzle(4, 4, 0).left(16));
    const QString link = QDir(Here()).filePath(linkName);
    QVERIFY(QFile::link(QDir(Here()).filePath("nowhere"), link));
    Put("d.pxg", Puzzle(6, 2, 1).left(17));
    Put("e.pxg", Puzzle(4, 4, 0));

    TfOpenDialog *d = Browse(Here());
    QCOMPARE(Column(d->Grid, 1), (QStringList{"a.pxg", "d.pxg", "e.pxg"}));
    QCOMPARE(Column(d->Grid, 3), (QStringList{"4x4", "6x2", "4x4"}));
    QCOMPARE(Column(d->Grid, 0), (QStringList{"1", "2", "3"}));
    // One message after the listing, naming every file that could not be read, in listing order.
    const QString shortText = PuzzleFile::StreamReadText() + ": " + QDir(Here()).filePath(shortName);
    const QString linkText = PuzzleFile::CannotOpenText(link);
    QCOMPARE(prompter->Texts(), QStringList{linkFirst ? linkText + "\n" + shortText : shortText + "\n" + linkText});
    QCOMPARE(prompter->Questions.first().Icon, QMessageBox::Critical);
    QVERIFY(d->bOpen->isEnabled());
}

void TestOpenDialog::compareNames_data()
{
    QTest::addColumn<QStringList>("ordered");
    QTest::newRow("Ё goes with Е") << QStringList{"еж", "Ёж", "ёлка", "ель", "жук", "яма"};
    QTest::newRow("case aside") << QStringList{"Арбуз", "арбуз", "арбуз2", "Б", "в"};
    QTest::newRow("numbers by value") << QStringList{"кот", "кот1", "кот2", "кот10", "кот10а"};
    QTest::newRow("digits, Latin, Cyrillic") << QStringList{"1.pxg", "Zebra.pxg", "абв.pxg"};
}

void TestOpenDialog::compareNames()
{
    QFETCH(QStringList, ordered);
    QStringList names(ordered.crbegin(), ordered.crend());
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return CompareNames(a, b) < 0; });
    QCOMPARE(names, ordered);
}

void TestOpenDialog::headerClickSortsTheRows()
{
    Put("кот10.pxg", Puzzle(2, 50, 1));
    Put("Жук.pxg", Puzzle(3, 3, 0));
    Put("ель1.pxg", Puzzle(20, 15, 1));
    Put("кот2.pxg", Puzzle(1, 1, 0));
    Put("ёлка2.pxg", Puzzle(10, 10, 1));
    Put("Арбуз4.pxg", Puzzle(5, 5, 0));
    TfOpenDialog *d = Browse(Here());
    d->show();
    QHeaderView *header = d->Grid->horizontalHeader();
    // A fresh dialog lists by name.
    QCOMPARE(Column(d->Grid, 1),
             (QStringList{"Арбуз4.pxg", "ёлка2.pxg", "ель1.pxg", "Жук.pxg", "кот2.pxg", "кот10.pxg"}));
    ClickRow(d, 2);

    struct TStep {
        int section;
        Qt::SortOrder order;
        QStringList names;
    };
    const QList<TStep> steps = {
        {1, Qt::DescendingOrder, {"кот10.pxg", "кот2.pxg", "Жук.pxg", "ель1.pxg", "ёлка2.pxg", "Арбуз4.pxg"}},
        // Another column starts with its least value on top; ties go by name.
        {3, Qt::AscendingOrder, {"кот2.pxg", "Жук.pxg", "Арбуз4.pxg", "ёлка2.pxg", "кот10.pxg", "ель1.pxg"}},
        {3, Qt::DescendingOrder, {"ель1.pxg", "ёлка2.pxg", "кот10.pxg", "Арбуз4.pxg", "Жук.pxg", "кот2.pxg"}},
        {2, Qt::AscendingOrder, {"кот10.pxg", "ель1.pxg", "ёлка2.pxg", "кот2.pxg", "Арбуз4.pxg", "Жук.pxg"}},
        {4, Qt::AscendingOrder, {"Арбуз4.pxg", "Жук.pxg", "кот2.pxg", "ёлка2.pxg", "ель1.pxg", "кот10.pxg"}},
    };
    for (const TStep &step : steps) {
        const int x = header->sectionViewportPosition(step.section) + header->sectionSize(step.section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(header->sortIndicatorSection(), step.section);
        QCOMPARE(header->sortIndicatorOrder(), step.order);
        const QStringList names = Column(d->Grid, 1);
        QCOMPARE(names, step.names);
        QCOMPARE(Column(d->Grid, 0), (QStringList{"1", "2", "3", "4", "5", "6"}));
        // The selection stays on the file the player chose.
        QCOMPARE(d->SelectedName(), QStringLiteral("ель1.pxg"));
        QCOMPARE(d->Grid->currentRow(), names.indexOf("ель1.pxg"));
        QCOMPARE(d->GridRow(), d->Grid->currentRow());
    }
    // The sizes and difficulties moved with their files.
    QCOMPARE(Column(d->Grid, 3), (QStringList{"5x5", "3x3", "1x1", "10x10", "20x15", "2x50"}));
    QCOMPARE(Column(d->Grid, 2), (QStringList{"4", "Корона", "2", "2", "1", "0"}));
}

void TestOpenDialog::cutTextGetsATooltip()
{
    const QString longName = "a-name-far-too-long-for-its-column.pxg";
    Put(longName, Puzzle(4, 4, 0));
    Put("b.pxg", Puzzle(4, 4, 0));
    TfOpenDialog *d = Browse(Here());
    d->show();
    // A hidden tooltip lingers for a moment, so the cells that fit are asked first.
    auto tipAt = [&](int row, int column) {
        const QRect cell = d->Grid->visualRect(d->Grid->model()->index(row, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(), d->Grid->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(d->Grid->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(1, 1), QString());
    QCOMPARE(tipAt(0, 3), QString());
    QCOMPARE(tipAt(0, 1), longName);
    QToolTip::hideText();
}

void TestOpenDialog::previewShowsTheWholeBoardCentred_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cell");
    // The box is 153 wide and 265 high.
    QTest::newRow("square") << 10 << 10 << 15;
    QTest::newRow("15 x 15, all columns") << 15 << 15 << 10;
    QTest::newRow("wide") << 30 << 20 << 5;
    QTest::newRow("tall") << 5 << 40 << 6;
    QTest::newRow("two pixels a cell") << 76 << 10 << 2;
    QTest::newRow("a pixel a cell, wide") << 153 << 2 << 1;
    QTest::newRow("a pixel a cell, tall") << 2 << 265 << 1;
}

void TestOpenDialog::previewShowsTheWholeBoardCentred()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, cell);
    // A wide board previewed first must leave the box as it was for the next.
    Put("a.pxg", Puzzle(30, 20, 1, [](int, int) { return 1; }));
    Put("b.pxg", Puzzle(cols, rows, 1, [cols, rows](int i, int j) {
            return int32_t((i == 0 || i == rows - 1) && (j == 0 || j == cols - 1));
        }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 0);
    ClickRow(d, 1);
    QCOMPARE(d->Image1->size(), QSize(153, 265));
    const QImage image = Preview(d);
    QCOMPARE(image.size(), QSize(153, 265));

    // Only the four corner cells are black: their bounds are the picture's, less the white
    // line each filled cell keeps at its left and top while it has room for one.
    QRect black;
    int blackPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                black |= QRect(x, y, 1, 1);
                ++blackPixels;
            }
    const int gap = cell >= 3 ? 1 : 0;
    const QRect picture((153 - cols * cell) / 2, (265 - rows * cell) / 2, cols * cell, rows * cell);
    QCOMPARE(black, picture.adjusted(gap, gap, 0, 0));
    QCOMPARE(blackPixels, 4 * (cell - gap) * (cell - gap));
    QVERIFY(d->Image1->text().isEmpty());
}

void TestOpenDialog::previewOfATooLargeBoardSaysSo_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("a column too many") << 154 << 2;
    QTest::newRow("a row too many") << 2 << 266;
}

void TestOpenDialog::previewOfATooLargeBoardSaysSo()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    Put("a.pxg", Puzzle(cols, rows, 1, [](int, int) { return 1; }));
    Put("b.pxg", Puzzle(4, 4, 1, [](int, int) { return 1; }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 0);
    QVERIFY(d->Image1->isVisible());
    QCOMPARE(d->Image1->text(), PreviewTooLargeText(cols, rows));
    QVERIFY(d->Image1->text().contains(QStringLiteral("слишком велико")));
    QVERIFY(prompter->Questions.isEmpty());

    ClickRow(d, 1);
    QVERIFY(d->Image1->text().isEmpty());
    QCOMPARE(Preview(d).pixel(95, 150), qRgb(0, 0, 0));
}

void TestOpenDialog::previewShowsMarksNotSolution()
{
    // The solution is all black; the marks are crossed, empty and one filled cell.
    Put("a.pxg", Puzzle(3, 3, 1, [](int i, int j) { return int32_t(i == 1 && j == 1 ? 1 : (i + j) % 2 ? -1 : 0); }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 0);
    const QImage image = Preview(d);
    // cell = 153 div 3 = 51, the picture 56 pixels down.
    QCOMPARE(image.pixel(25, 56 + 25), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(25 + 51, 56 + 25), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(51, 56 + 51), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(52, 56 + 52), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(76, 56 + 76), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(25, 56 + 127), qRgb(255, 255, 255));
}

void TestOpenDialog::notStartedHidesThePreview()
{
    Put("a.pxg", Puzzle(5, 5, 1, [](int, int) { return 1; }));
    Put("b.pxg", Puzzle(5, 5, 0, [](int, int) { return 1; }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 1);
    QVERIFY(d->Image1->isHidden());
    ClickRow(d, 0);
    QVERIFY(d->Image1->isVisible());
    QCOMPARE(Preview(d).pixel(76, 132), qRgb(0, 0, 0));
    ClickRow(d, 1);
    QVERIFY(d->Image1->isHidden());
    QVERIFY(AllWhite(Preview(d)));
    QVERIFY(prompter->Questions.isEmpty());
}

void TestOpenDialog::keyboardMovePreviews()
{
    Put("a.pxg", Puzzle(5, 5, 1, [](int, int) { return 1; }));
    Put("b.pxg", Puzzle(5, 5, 0));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 0);
    QVERIFY(d->Image1->isVisible());
    QTest::keyClick(d->Grid, Qt::Key_Down);
    QCOMPARE(d->GridRow(), 1);
    QVERIFY(d->Image1->isHidden());
    QTest::keyClick(d->Grid, Qt::Key_Up);
    QCOMPARE(d->GridRow(), 0);
    QVERIFY(d->Image1->isVisible());
}

void TestOpenDialog::oddHeadersPreviewNothing_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("no columns") << 0 << 5;
    QTest::newRow("negative rows") << 5 << -3;
    QTest::newRow("both negative") << -1 << -1;
    QTest::newRow("absurdly wide") << 5000 << 5;
    QTest::newRow("absurdly high") << 5 << 100000;
}

void TestOpenDialog::oddHeadersPreviewNothing()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    PuzzleFile::Header h;
    h.InProgress = 1;
    h.ColCount = cols;
    h.RowCount = rows;
    // Enough ones behind the header for any honest reading of it.
    QByteArray bytes = PuzzleFile::EncodeHeader(h);
    QByteArray one(4, '\0');
    qToLittleEndian<qint32>(1, one.data());
    bytes += one.repeated(2 * 200 * 3 + 16);
    Put("odd.pxg", bytes);
    Put("good.pxg", Puzzle(4, 4, 1, [](int, int) { return 1; }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    QCOMPARE(Column(d->Grid, 1), (QStringList{"good.pxg", "odd.pxg"}));
    QCOMPARE(d->Grid->item(1, 3)->text(), QStringLiteral("%1x%2").arg(cols).arg(rows));

    ClickRow(d, 1);
    QVERIFY(AllWhite(Preview(d)));
    QCOMPARE(d->Image1->size(), QSize(153, 265));
    QVERIFY(prompter->Questions.isEmpty());

    // The preview still works afterwards, at its old height.
    ClickRow(d, 0);
    QCOMPARE(Preview(d).pixel(100, 100), qRgb(0, 0, 0));
    QCOMPARE(d->Image1->size(), QSize(153, 265));
}

void TestOpenDialog::previewOfACutFileReportsAndStaysClear()
{
    Put("a.pxg", Puzzle(4, 4, 1, [](int, int) { return 1; }));
    // The marks of the wide puzzle are cut off: were the height taken, the next preview would shrink.
    Put("b.pxg", Puzzle(30, 20, 1, [](int, int) { return 1; }).left(25 + 4 * 600 + 4 * 599));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 0);
    QVERIFY(!AllWhite(Preview(d)));
    ClickRow(d, 1);
    QCOMPARE(prompter->Texts(), QStringList{PuzzleFile::StreamReadText()});
    QVERIFY(AllWhite(Preview(d)));
    QCOMPARE(d->Image1->size(), QSize(153, 265));
    QVERIFY(d->isVisible());
}

void TestOpenDialog::freshDialogStartsInTheLibrary()
{
    const QString library = QFileInfo(TMainForm::ExecutableFolder() + "Библиотека").canonicalFilePath();
    if (library.isEmpty())
        QSKIP("the bundled library is not built beside the test");
    QVERIFY(form->LastLibraryDrive.isEmpty());
    dialog = new TfOpenDialog(form);
    QCOMPARE(dialog->Directory(), library);
    QCOMPARE(QDir::currentPath(), library);
    QVERIFY(dialog->Grid->rowCount() > 0);
    const QString volume = dialog->SelectedVolume();
    QVERIFY(!volume.isEmpty());
    QVERIFY(library.startsWith(volume));
    QCOMPARE(dialog->DirList->currentItem()->text(), QStringLiteral("Библиотека"));
}

void TestOpenDialog::missingFolderFallsBackToTheWorkingFolder()
{
    Put("a.pxg", Puzzle(4, 4, 0));
    QDir::setCurrent(Here());
    TfOpenDialog *d = Browse(Here() + "/gone/away");
    QCOMPARE(d->Directory(), Here());
    QCOMPARE(Column(d->Grid, 1), QStringList{"a.pxg"});

    d->SetDirectory(Here() + "/also-gone");
    QCOMPARE(d->Directory(), Here());
    QCOMPARE(d->Grid->rowCount(), 1);
}

void TestOpenDialog::folderListShowsPathAndSubfolders()
{
    SubFolder("beta");
    SubFolder("alpha");
    SubFolder(".secret");
    const QString inner = SubFolder("beta/inner");
    WriteAll(inner + "/deep.pxg", Puzzle(4, 4, 0));
    TfOpenDialog *d = Browse(Here());
    d->show();

    QStringList texts;
    for (int i = 0; i < d->DirList->count(); ++i)
        texts << d->DirList->item(i)->text();
    QStringList expected = {"/"};
    expected += Here().split('/', Qt::SkipEmptyParts);
    expected += QStringList{"alpha", "beta"};
    QCOMPARE(texts, expected);
    QCOMPARE(d->DirList->currentItem()->text(), QFileInfo(Here()).fileName());

    // A double-click walks into a subfolder, which becomes the process's working folder too.
    QListWidgetItem *beta = d->DirList->item(d->DirList->count() - 1);
    DoubleClick(d->DirList->viewport(), d->DirList->visualItemRect(beta).center());
    QCOMPARE(d->Directory(), Here() + "/beta");
    QCOMPARE(QDir::currentPath(), Here() + "/beta");
    QCOMPARE(d->DirList->item(d->DirList->count() - 1)->text(), QStringLiteral("inner"));

    d->SetDirectory("inner");
    QCOMPARE(d->Directory(), inner);
    QCOMPARE(Column(d->Grid, 1), QStringList{"deep.pxg"});
}

void TestOpenDialog::pickingAVolumeGoesToItsRoot()
{
    TfOpenDialog *d = Browse(Here());
    const QString volume = d->SelectedVolume();
    QVERIFY(!volume.isEmpty());
    QVERIFY(Here().startsWith(volume));
    d->DriveListChange();
    QCOMPARE(d->Directory(), volume);
    QCOMPARE(QDir::currentPath(), volume);
}

void TestOpenDialog::sameFolderListsNothing()
{
    Put("a.pxg", Puzzle(4, 4, 0));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(d->Grid->rowCount(), 1);
    Put("b.pxg", Puzzle(4, 4, 0));
    d->SetDirectory(Here());
    d->SetDirectory(Here() + "/");
    QCOMPARE(d->Grid->rowCount(), 1);
    d->DirListChange();
    QCOMPARE(d->Grid->rowCount(), 2);
}

void TestOpenDialog::enterInTheFolderListWalksIn()
{
    const QString alpha = SubFolder("alpha");
    Put("a.pxg", Openable());
    TfOpenDialog *d = Browse(Here());
    d->show();
    QListWidgetItem *item = d->DirList->item(d->DirList->count() - 1);
    QCOMPARE(item->text(), QStringLiteral("alpha"));
    d->DirList->setCurrentItem(item);
    QCOMPARE(d->Directory(), Here());
    QTest::keyClick(d->DirList, Qt::Key_Return);
    QCOMPARE(d->Directory(), alpha);
    QVERIFY(form->Children().isEmpty());
    QVERIFY(d->isVisible());
}

void TestOpenDialog::openRemembersTheFolder()
{
    const QString a = Put("a.pxg", Openable());
    Put("b.pxg", Openable());
    QVERIFY(form->LastLibraryDrive.isEmpty());
    dialog = new TfOpenDialog(form);
    dialog->SetDirectory(Here());

    // Without any click, Open takes the first row.
    dialog->bOpen->click();
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(form->Children().first()->FileName, a);
    QCOMPARE(form->LastLibraryDir, Here());
    QVERIFY(!form->LastLibraryDrive.isEmpty());
    QVERIFY(Here().startsWith(form->LastLibraryDrive));
    QVERIFY(prompter->Questions.isEmpty());
    DeleteClosed();
    QVERIFY(dialog.isNull());

    QDir::setCurrent(savedCwd);
    dialog = new TfOpenDialog(form);
    QCOMPARE(dialog->Directory(), Here());
    QCOMPARE(Column(dialog->Grid, 1), (QStringList{"a.pxg", "b.pxg"}));
}

void TestOpenDialog::cancelRemembersNothing()
{
    const QString other = SubFolder("other");
    dialog = new TfOpenDialog(form);
    dialog->SetDirectory(other);
    dialog->bCancel->click();
    DeleteClosed();
    QVERIFY(dialog.isNull());
    QVERIFY(form->LastLibraryDrive.isEmpty());
    QVERIFY(form->LastLibraryDir.isEmpty());

    TfOpenDialog *d = Browse(Here());
    d->SetDirectory(other);
    d->bCancel->click();
    DeleteClosed();
    QVERIFY(dialog.isNull());
    QCOMPARE(form->LastLibraryDir, Here());
    QVERIFY(form->Children().isEmpty());

    dialog = new TfOpenDialog(form);
    QCOMPARE(dialog->Directory(), Here());
}

void TestOpenDialog::execRunsUntilClosedAndDeletesTheDialog()
{
    const QString a = Put("a.pxg", Openable());
    TfOpenDialog *d = Browse(Here());
    QTimer::singleShot(0, d, [d] { d->bCancel->click(); });
    d->exec();
    QVERIFY(dialog.isNull());
    QVERIFY(form->Children().isEmpty());

    d = Browse(Here());
    QTimer::singleShot(0, d, [d] { d->bOpen->click(); });
    d->exec();
    DeleteClosed();
    QVERIFY(dialog.isNull());
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(form->Children().first()->FileName, a);
}

void TestOpenDialog::openReportsADamagedFile()
{
    // Long enough for the listing, too short to open.
    Put("a.pxg", Openable().left(20));
    TfOpenDialog *d = Browse(Here());
    QCOMPARE(d->Grid->rowCount(), 1);
    d->bOpenClick();
    QCOMPARE(prompter->Texts(), QStringList{PuzzleFile::StreamReadText()});
    QVERIFY(form->Children().isEmpty());
    DeleteClosed();
    QVERIFY(dialog.isNull());
}

void TestOpenDialog::doubleClickOnACellOpens()
{
    Put("a.pxg", Openable());
    const QString b = Put("b.pxg", Openable());
    TfOpenDialog *d = Browse(Here());
    d->show();
    const QRect cell = d->Grid->visualRect(d->Grid->model()->index(1, 3));
    DoubleClick(d->Grid->viewport(), cell.center());
    QCOMPARE(form->Children().size(), 1);
    QCOMPARE(form->Children().first()->FileName, b);
    QVERIFY(!d->isVisible());
    DeleteClosed();
    QVERIFY(dialog.isNull());
}

void TestOpenDialog::doubleClickOnTheHeadersDoesNothing()
{
    Put("a.pxg", Openable());
    TfOpenDialog *d = Browse(Here());
    d->show();
    QHeaderView *top = d->Grid->horizontalHeader();
    DoubleClick(top->viewport(), QPoint(60, 9));
    QHeaderView *side = d->Grid->verticalHeader();
    DoubleClick(side->viewport(), QPoint(6, 8));
    DeleteClosed();
    QVERIFY(!dialog.isNull());
    QVERIFY(d->isVisible());
    QVERIFY(form->Children().isEmpty());
    QCOMPARE(Column(d->Grid, 1), QStringList{"a.pxg"});
}

void TestOpenDialog::deleteKeepsTheRowIndex()
{
    for (const char *name : {"a.pxg", "b.pxg", "c.pxg", "d.pxg", "e.pxg"})
        Put(name, Puzzle(4, 4, 1, [](int i, int j) { return int32_t(i == j); }));
    TfOpenDialog *d = Browse(Here());
    d->show();
    ClickRow(d, 2);
    QCOMPARE(d->GridRow(), 2);
    const QImage preview = Preview(d);
    QVERIFY(!AllWhite(preview));

    prompter->Answers << QMessageBox::Yes;
    d->N1->trigger();
    QCOMPARE(prompter->Questions.size(), 1);
    const Prompts::TQuestion &q = prompter->Questions.first();
    QCOMPARE(q.Text, QStringLiteral("Вы действительно хотите удалить файл c.pxg ?"));
    QCOMPARE(q.Caption, QStringLiteral("Удаление"));
    QCOMPARE(q.Buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(q.Default, QMessageBox::No);
    QCOMPARE(q.Icon, QMessageBox::Question);
    QVERIFY(!QFile::exists(Here() + "/c.pxg"));
    QCOMPARE(Column(d->Grid, 1), (QStringList{"a.pxg", "b.pxg", "d.pxg", "e.pxg"}));
    QCOMPARE(d->GridRow(), 2);
    QCOMPARE(d->Grid->currentRow(), 2);
    QCOMPARE(d->SelectedName(), QStringLiteral("d.pxg"));
    QCOMPARE(Preview(d), preview);

    // Two more go behind the browser's back; answering No still relists.
    QFile::remove(Here() + "/a.pxg");
    QFile::remove(Here() + "/b.pxg");
    prompter->Answers << QMessageBox::No;
    d->N1Click();
    QCOMPARE(prompter->Questions.last().Text, QStringLiteral("Вы действительно хотите удалить файл d.pxg ?"));
    QVERIFY(QFile::exists(Here() + "/d.pxg"));
    QCOMPARE(Column(d->Grid, 1), (QStringList{"d.pxg", "e.pxg"}));
    QCOMPARE(d->GridRow(), 2);
    QCOMPARE(d->SelectedName(), QString());

    // Beyond the last row, Open opens nothing but still remembers the folder and closes.
    d->bOpen->click();
    QVERIFY(form->Children().isEmpty());
    QCOMPARE(form->LastLibraryDir, Here());
    QCOMPARE(prompter->Questions.size(), 2);
    DeleteClosed();
    QVERIFY(dialog.isNull());
}

void TestOpenDialog::deletingTheOnlyFileDisablesOpen()
{
    Put("only.pxg", Puzzle(4, 4, 0));
    TfOpenDialog *d = Browse(Here());
    QVERIFY(d->bOpen->isEnabled());
    prompter->Answers << QMessageBox::Yes;
    d->N1Click();
    QCOMPARE(d->Grid->rowCount(), 0);
    QVERIFY(!d->bOpen->isEnabled());
    QVERIFY(!QFile::exists(Here() + "/only.pxg"));

    // With no row left the question names nothing and nothing is deleted.
    Put("keep.txt", "x");
    prompter->Answers << QMessageBox::Yes;
    d->N1Click();
    QCOMPARE(prompter->Questions.last().Text, QStringLiteral("Вы действительно хотите удалить файл  ?"));
    QVERIFY(QFile::exists(Here() + "/keep.txt"));
    QVERIFY(QDir(Here()).exists());
}

void TestOpenDialog::deletedFolderFallsBackToItsParent()
{
    Put("a.pxg", Puzzle(4, 4, 0));
    const QString gone = SubFolder("gone/deeper");
    Browse(gone);
    QCOMPARE(dialog->Directory(), gone);
    delete dialog;
    // The remembered folder and the working folder vanish while the program runs.
    QVERIFY(QDir(Here() + "/gone").removeRecursively());
    TfOpenDialog *d = Browse(gone);
    d->show();
    QCOMPARE(d->Directory(), Here());
    QCOMPARE(Column(d->Grid, 1), QStringList{"a.pxg"});
    QVERIFY(d->bOpen->isEnabled());
    QVERIFY(d->DirList->count() > 0);
    // A click on the volume already marked goes to its root.
    QListWidgetItem *volume = d->DriveList->currentItem();
    QVERIFY(volume);
    QTest::mouseClick(d->DriveList->viewport(), Qt::LeftButton, {}, d->DriveList->visualItemRect(volume).center());
    QCOMPARE(d->Directory(), d->SelectedVolume());
}

void TestOpenDialog::previewLayout_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QPoint>("origin");
    // The box of the browser: 153 wide, 265 high.
    QTest::newRow("wide") << 30 << 20 << true << QSize(150, 100) << 5 << QPoint(1, 82);
    QTest::newRow("tall") << 10 << 20 << true << QSize(130, 260) << 13 << QPoint(11, 2);
    QTest::newRow("square") << 10 << 10 << true << QSize(150, 150) << 15 << QPoint(1, 57);
    QTest::newRow("under a pixel a cell") << 1000 << 10 << true << QSize(0, 0) << 0 << QPoint();
    QTest::newRow("no columns") << 0 << 10 << false << QSize(0, 0) << 0 << QPoint();
    QTest::newRow("beyond any puzzle") << 5 << 100000 << false << QSize(0, 0) << 0 << QPoint();
}

void TestOpenDialog::previewLayout()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(bool, valid);
    QFETCH(QSize, size);
    QFETCH(int, cell);
    QFETCH(QPoint, origin);
    const TPreviewLayout layout = PreviewLayout(cols, rows, 153, 265);
    QCOMPARE(layout.Valid, valid);
    QCOMPARE(layout.Fits, cell > 0);
    if (layout.Fits) {
        QCOMPARE(QSize(layout.Width, layout.Height), size);
        QCOMPARE(layout.Cell, cell);
        QCOMPARE(QPoint(layout.Left, layout.Top), origin);
    }
}

QTEST_MAIN(TestOpenDialog)
#include "tst_opendialog.moc"
