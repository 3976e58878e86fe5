// The main frame window: the workspace of board windows and every command of the program.
#pragma once

#include "board/BoardHost.h"
#include "browser/BrowserHost.h"
#include "format/PuzzleFile.h"
#include "toolkit/Prompts.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class TMDIChild;
class TAboutBox;
class TNewPuzzleDialog;
class TWorkspace;
class QStatusBar;
class QToolBar;
class QToolButton;
class QPainter;

class TMainForm : public QMainWindow, public TBoardHost, public TBrowserHost {
public:
    TMainForm();
    ~TMainForm() override;

    // Opens a puzzle file into a new board window; an error is thrown after the window is gone.
    // The caption shows the path, or the caption given.
    void OpenPuzzleFile(const QString &path, const QString &caption = QString());
    // Opens the paths of a hand-off text in order; the first failure is shown and ends it.
    void WMCopyData(const QByteArray &text);

    TMDIChild *ActiveChild() const;
    QList<TMDIChild *> Children() const;
    TWorkspace *MdiArea = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QStatusBar *StatusBar = nullptr;
    QToolButton *bOpen, *bSave, *bPrint, *bClear, *bScaleInc, *bScale, *bScaleDec, *bUndo, *bRedo, *bAbout,
        *bClose;

    // The commands, in the order of the action list.
    QAction *FileOpen1, *FileClose1, *FileSave1, *FilePrint1, *FileSaveAs1, *FileExit1;
    QAction *WindowCascade1, *WindowTileHorizontal1, *WindowTileVertical1, *WindowMinimizeAll1,
        *WindowArrangeAll1;
    QAction *HelpAbout1, *ZoomInc, *ZoomDec, *ZoomAll, *Undo1, *Redo1, *Clear1;
    // Help for the player: added after the original commands.
    QAction *Check1 = nullptr, *Hint1 = nullptr, *ClueHelp1 = nullptr;
    QAction *Pause1 = nullptr, *Postpone1 = nullptr;  // the active game's clock; save and close
    QAction *NextError1 = nullptr;  // the keyboard's cell to the check's next wrong cell
    QAction *CloseUp1 = nullptr;
    QAction *Overview1 = nullptr;  // the close-up's overview, shown until turned off  // close-up of the active board, on and off
    QAction *FilePrintSetup1 = nullptr;  // printing with a choice of printer, content and scale
    QAction *FileNew1 = nullptr;  // a generated puzzle
    TNewPuzzleDialog *NewPuzzleDialog = nullptr;
    QAction *FileStatistics1 = nullptr, *HelpHowTo1 = nullptr;
    QList<QAction *> ActionList1;

    Prompts::TSaveDialogSetup SaveDialog1;
    // Where the library browser last opened a file from: a volume root (empty until then) and a
    // folder. They live for one run only.
    QString LastLibraryDrive;
    QString LastLibraryDir;
    TAboutBox *AboutBox = nullptr;

    // Saves a board window (the active one when none is given). True when the document was
    // written; false when there was nothing to save or the dialog was cancelled. Throws on
    // file errors.
    bool FileSave1Execute(TMDIChild *target = nullptr);
    void FileSaveAs1Execute();
    void FileOpen1Execute();
    void FileNew1Execute();
    void FileStatistics1Execute();
    void HelpHowTo1Execute();
    void FileClose1Execute();
    // Closes every board window, most recently active first; false when one stays open.
    bool FileExit1Execute();
    void HelpAbout1Execute();
    void ZoomIncExecute();
    void ZoomDecExecute();
    void ZoomAllExecute();
    void CloseUp1Execute();
    void Undo1Execute();
    void Redo1Execute();
    void Clear1Execute();
    void Check1Execute();
    void Hint1Execute();
    void FormDeactivate();
    void FilePrint1Execute();
    // Content, scale and printer chosen in dialogs, with a preview; acts on the active board.
    void FilePrintSetup1Execute();
    // Prints a finished bitmap on the default printer, one page, from the top-left corner.
    void PrintBitmap(const QImage &bitmap);
    static void StretchDIBToCanvas(QPainter &canvas, const QRect &target, const QImage &bitmap);

    // Where the player's data lies (the library, Background.jpg), from its real path; ends in '/'.
    static QString ExecutableFolder();
    static QString DataFolderFor(const QString &executableFolder);

    // What board windows and the browser ask of the frame.
    void SetCommandEnabled(TBoardCommand command, bool enabled) override;
    bool SaveBoard(TMDIChild *board) override;
    QString ProgramFolder() const override;
    void ShowStatusText(const QString &text) override;
    bool ClueHelpShown() const override;
    bool OverviewShown() const override;
    void RunCommand(TBoardCommand command) override;
    QString PuzzleSolved(TMDIChild *board) override;
    QWidget *BrowserParent() override;
    QString LastLibraryDriveOf() const override;
    QString LastLibraryDirOf() const override;
    QString MadePuzzleFolder() const override;
    void RememberLibrary(const QString &drive, const QString &folder) override;
    void OpenFromBrowser(const QString &path) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QAction *MakeAction(const QString &caption, const QString &hint, const QKeySequence &shortcut,
                        bool enabled, const QString &icon);
    // Saves; a refusal for want of permission says what the player can do instead.
    void SaveExplained(const QString &path, const PuzzleDocument &doc, PuzzleFile::Target target);
    QAction *CommandAction(TBoardCommand command) const;
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    // Close and the window commands follow the board windows when their list opens.
    void UpdateWindowCommands();
    bool CloseAllBoards();
    void SubWindowActivated(QMdiSubWindow *window);
    // A minimized board stops its clock and hands the active state on.
    void SubWindowStateChanged(QMdiSubWindow *sub, Qt::WindowStates now);

    QPointer<TMDIChild> LastActive;
    bool ExitConfirmed = false;
};
