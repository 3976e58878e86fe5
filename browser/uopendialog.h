// The library browser: pick a volume and a folder, see its puzzles, preview a started game, open or delete one.
#pragma once

#include "browser/BrowserHost.h"
#include "browser/LibraryListing.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;

class TfOpenDialog : public QDialog {
public:
    // Lists the remembered folder of the main window, or the library beside the executable.
    // The dialog deletes itself once closed, also when run with exec().
    explicit TfOpenDialog(TBrowserHost *host);

    QListWidget *DriveList;
    QListWidget *DirList;
    QTableWidget *Grid;
    QMenu *PopupMenu1;
    QAction *N1;
    QLabel *Label1;
    QLabel *Image1;
    QPushButton *bOpen;
    QPushButton *bCancel;

    void FormCreate();
    // The user picked a volume: its root becomes the current folder.
    void DriveListChange();
    // Lists the puzzles of the current folder into the grid.
    void DirListChange();
    // Previews the marks of the selected row's game.
    void GridClick();
    void bOpenClick();
    void N1Click();
    void bCancelClick();
    void FormClose();

    // The current folder, as the file system reports it (no trailing '/' except at the root).
    QString Directory() const { return Folder; }
    // Makes a folder current the way a double-click in DirList does; it becomes the process's
    // working folder too, and is listed. A folder that does not exist falls back to the
    // working folder.
    void SetDirectory(const QString &path);
    // The grid's current row; it survives relisting, so it may point past the last row.
    int GridRow() const { return CurrentRow; }
    // The file name in the selected row, or empty when the index is beyond the last row.
    QString SelectedName() const;
    // The root of the volume marked in DriveList.
    QString SelectedVolume() const;
    // Folder + '/' + name, without doubling the separator at the root.
    QString PathOf(const QString &name) const;

    // One message for every file a listing could not read, each with its path.
    static QString ListingErrorText(const QStringList &errors);

    enum class TVolumeKind { None, Fixed, Removable, Network, CdRom };
    // Which mounted volumes the drive list offers, and with which icon.
    static TVolumeKind VolumeKind(const QString &rootPath, const QByteArray &fileSystemType,
                                  const QByteArray &device, bool removableDevice);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The bundled library beside the program: where browsing starts.
    QString LibraryFolder() const;
    // True when the folder changed and was listed.
    bool MakeCurrent(const QString &path);
    void FillDriveList();
    void BuildDirList();
    // Marks the listed volume that holds a folder, without running DriveListChange.
    void MarkVolumeOf(const QString &folder);
    // Puts the listed puzzles into the grid in their present order.
    void FillGrid();
    // Reorders the rows by the header's mark, keeping the selection on its file.
    void SortGrid();
    void SelectGridRow();
    void SetPreview(const QImage &canvas);

    TBrowserHost *Host;
    QString Folder;
    // The current folder's puzzles, in the grid's order.
    QList<TListedPuzzle> Puzzles;
    int CurrentRow = 0;
    // Set while the program itself moves a selection, so only the user's moves act.
    bool Marking = false;
    bool Relisting = false;
};
