// The main frame window: the workspace of board windows and every command of the program.
#include "app/uMain.h"

#include "app/CommandLine.h"
#include "app/TApplication.h"
#include "app/about.h"
#include "app/HandOff.h"
#include "app/OpenMarks.h"
#include "board/CHILDWIN.h"
#include "browser/uopendialog.h"
#include "format/PuzzleFile.h"
#include "app/Printing.h"
#include "core/BoardRender.h"
#include "app/TWorkspace.h"
#include "app/TNewPuzzleDialog.h"
#include "app/TStatisticsDialog.h"
#include "app/THelpDialog.h"
#include "toolkit/HintText.h"
#include "toolkit/JpegDecoder.h"
#include "toolkit/MenuStyle.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QStorageInfo>
#include <QTimer>
#include <fcntl.h>
#include <unistd.h>
#include <QToolBar>
#include <QToolButton>

// The pictures live in a static library, whose resources are not registered by themselves.
static void InitResources()
{
    Q_INIT_RESOURCE(icons);
}

TMainForm::TMainForm()
{
    InitResources();
    setWindowTitle(QStringLiteral("Сеткарий"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(215, 215, 215));
    setPalette(pal);

    MdiArea = new TWorkspace(this);
    try {
        MdiArea->SetPicture(DecodeJpegFile(QStringLiteral(":/pictures/Workspace.jpg")));
    } catch (const std::exception &) {
        // The plain workspace colour stands in for a picture that cannot be decoded.
    }
    setCentralWidget(MdiArea);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    StatusBar = new QStatusBar(this);
    StatusBar->setFixedHeight(19);
    StatusBar->setSizeGripEnabled(false);
    setStatusBar(StatusBar);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::SubWindowActivated);

    SaveDialog1.DefaultExt = QStringLiteral("pxg");
    SaveDialog1.Filter = QStringLiteral("Файлы кроссвордов (*.pxg)|*.pxg");
    SaveDialog1.OverwritePrompt = true;
    SaveDialog1.HideReadOnly = true;
    SaveDialog1.Resizable = true;
}

TMainForm::~TMainForm()
{
    // The workspace goes down with its windows after this body; it must not call back into a
    // frame that is no longer whole.
    disconnect(MdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow *sub : MdiArea->subWindowList())
        disconnect(sub, nullptr, this, nullptr);
}

QString TMainForm::ExecutableFolder()
{
    return DataFolderFor(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

QString TMainForm::DataFolderFor(const QString &executableFolder)
{
    // The build tree keeps the data beside the player; an installed player (in games/) finds it
    // in the distribution's place for game data.
    const QString shared = executableFolder + QStringLiteral("../share/games/setkariy");
    if (!QFileInfo::exists(executableFolder + QStringLiteral("Библиотека")) && QFileInfo(shared).isDir())
        return QFileInfo(shared).canonicalFilePath() + QLatin1Char('/');
    return executableFolder;
}

QAction *TMainForm::CommandAction(TBoardCommand command) const
{
    switch (command) {
    case TBoardCommand::Save: return FileSave1;
    case TBoardCommand::Print: return FilePrint1;
    case TBoardCommand::Clear: return Clear1;
    case TBoardCommand::ZoomInc: return ZoomInc;
    case TBoardCommand::ZoomDec: return ZoomDec;
    case TBoardCommand::Undo: return Undo1;
    case TBoardCommand::Redo: return Redo1;
    }
    return nullptr;
}

void TMainForm::SetCommandEnabled(TBoardCommand command, bool enabled)
{
    QAction *action = CommandAction(command);
    if (action)
        action->setEnabled(enabled);
}

bool TMainForm::SaveBoard(TMDIChild *board)
{
    bool saved = false;
    TApplication::Guarded([&] { saved = FileSave1Execute(board); });
    return saved;
}

QString TMainForm::ProgramFolder() const
{
    return ExecutableFolder();
}

void TMainForm::ShowStatusText(const QString &text)
{
    if (text.isEmpty())
        StatusBar->clearMessage();
    else
        StatusBar->showMessage(text);
}

QWidget *TMainForm::BrowserParent()
{
    return this;
}

QString TMainForm::LastLibraryDriveOf() const
{
    return LastLibraryDrive;
}

QString TMainForm::MadePuzzleFolder() const
{
    const QString folder = TNewPuzzleDialog::PuzzleFolderPath();
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString TMainForm::LastLibraryDirOf() const
{
    return LastLibraryDir;
}

void TMainForm::RememberLibrary(const QString &drive, const QString &folder)
{
    LastLibraryDrive = drive;
    LastLibraryDir = folder;
}

void TMainForm::OpenFromBrowser(const QString &path)
{
    TApplication::Guarded([&] { OpenPuzzleFile(path); });
}

QAction *TMainForm::MakeAction(const QString &caption, const QString &hint, const QKeySequence &shortcut,
                               bool enabled, const QString &icon)
{
    auto *action = new QAction(caption, this);
    if (!icon.isEmpty())
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
    const THintText parts = SplitHint(hint);
    action->setToolTip(parts.Short);
    action->setStatusTip(parts.Long);
    action->setShortcut(shortcut);
    action->setEnabled(enabled);
    ActionList1 << action;
    return action;
}

void TMainForm::CreateActions()
{
    FileOpen1 = MakeAction(QStringLiteral("Открыть"), QStringLiteral("Открыть|Открыть файл"),
                           QKeySequence(Qt::CTRL | Qt::Key_O), true, QStringLiteral("open"));
    FileClose1 = MakeAction(QStringLiteral("Закрыть"), QStringLiteral("Закрыть|Закрыть текущее окно"),
                            QKeySequence(), false, QString());
    FileSave1 = MakeAction(QStringLiteral("Сохранить"), QStringLiteral("Сохранить|Сохранить файл"),
                           QKeySequence(Qt::CTRL | Qt::Key_S), true, QStringLiteral("save"));
    FilePrint1 = MakeAction(QStringLiteral("Печать..."), QStringLiteral("Печать|Распечатать текущий файл"),
                            QKeySequence(Qt::CTRL | Qt::Key_P), false, QStringLiteral("print"));
    FileSaveAs1 = MakeAction(QStringLiteral("Сохранить как..."),
                             QStringLiteral("Сохранить как...|Сохранить файл с другим именем"), QKeySequence(),
                             true, QString());
    FileExit1 = MakeAction(QStringLiteral("Выход"), QStringLiteral("Выход|Выйти из программы"), QKeySequence(),
                           true, QStringLiteral("exit"));
    WindowCascade1 = MakeAction(QStringLiteral("Каскад"), QStringLiteral("Каскад"), QKeySequence(), false,
                                QStringLiteral("cascade"));
    WindowTileHorizontal1 = MakeAction(QStringLiteral("По горизонтали"), QStringLiteral("По горизонтали"),
                                       QKeySequence(), false, QStringLiteral("tile-horizontal"));
    WindowTileVertical1 = MakeAction(QStringLiteral("По вертикали"), QStringLiteral("По вертикали"),
                                     QKeySequence(), false, QStringLiteral("tile-vertical"));
    WindowMinimizeAll1 = MakeAction(QStringLiteral("Свернуть все"), QStringLiteral("Свернуть все"),
                                    QKeySequence(), false, QString());
    WindowArrangeAll1 = MakeAction(QStringLiteral("Развернуть все"), QStringLiteral("Развернуть все"),
                                   QKeySequence(), false, QString());
    HelpAbout1 = MakeAction(QStringLiteral("О программе..."), QStringLiteral("О программе...|О программе..."),
                            QKeySequence(), true, QStringLiteral("about"));
    ZoomInc = MakeAction(QStringLiteral("Увеличить масштаб"), QStringLiteral("Увеличить|Увеличить масштаб"),
                         QKeySequence(), true, QStringLiteral("zoom-in"));
    ZoomDec = MakeAction(QStringLiteral("Уменьшить масштаб"), QStringLiteral("Уменьшить|Уменьшить масштаб"),
                         QKeySequence(), true, QStringLiteral("zoom-out"));
    ZoomAll = MakeAction(QStringLiteral("Во весь экран"), QStringLiteral("Во весь экран|Во весь экран"),
                         QKeySequence(), true, QStringLiteral("zoom-all"));
    // An addition: Ctrl+0 brings the fitted board back in one key, as elsewhere on the desktop.
    auto *fitKey = new QAction(this);
    fitKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    addAction(fitKey);
    connect(fitKey, &QAction::triggered, this, [this] {
        if (ZoomAll->isEnabled())
            ZoomAll->trigger();
    });
    // An addition of its own, outside the list of the frame's original commands.
    CloseUp1 = new QAction(QStringLiteral("Крупный план"), this);
    CloseUp1->setToolTip(QStringLiteral("Крупный план"));
    CloseUp1->setStatusTip(QStringLiteral("Крупные клетки с прокруткой; подсказки остаются на месте"));
    CloseUp1->setShortcut(QKeySequence(Qt::Key_F4));
    Overview1 = new QAction(QStringLiteral("Обзор"), this);
    Overview1->setStatusTip(QStringLiteral("Вся доска в углу крупного плана; щелчок переводит вид"));
    Overview1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4));
    Overview1->setCheckable(true);
    Overview1->setChecked(true);
    // An addition beside the direct print, outside the list of the frame's original commands;
    // it follows the direct print's enabling.
    FilePrintSetup1 = new QAction(QStringLiteral("Печать с выбором..."), this);
    FilePrintSetup1->setToolTip(QStringLiteral("Печать с выбором"));
    FilePrintSetup1->setStatusTip(QStringLiteral("Выбрать принтер, число копий, что печатать и масштаб; просмотр"));
    FilePrintSetup1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    FilePrintSetup1->setEnabled(FilePrint1->isEnabled());
    connect(FilePrint1, &QAction::enabledChanged, FilePrintSetup1, &QAction::setEnabled);
    Undo1 = MakeAction(QStringLiteral("Отменить"), QStringLiteral("Отменить|Отменить предидущий ход"),
                       QKeySequence(), false, QStringLiteral("undo"));
    Redo1 = MakeAction(QStringLiteral("Повторить"), QStringLiteral("Повторить|Повторить предидущий ход"),
                       QKeySequence(), false, QStringLiteral("redo"));
    Clear1 = MakeAction(QStringLiteral("Очистить"), QStringLiteral("Очистить"), QKeySequence(), true,
                        QStringLiteral("clear"));
    Check1 = MakeAction(QStringLiteral("Проверить"), QStringLiteral("Проверить|Показать неверные отметки"),
                        QKeySequence(Qt::CTRL | Qt::Key_E), true, QString());
    Hint1 = MakeAction(QStringLiteral("Подсказка"), QStringLiteral("Подсказка|Подсказать клетку и объяснить, почему"),
                       QKeySequence(Qt::CTRL | Qt::Key_H), true, QString());
    // The game's clock and postponing, reachable without the board's panel buttons.
    Pause1 = new QAction(QStringLiteral("Пауза"), this);
    Pause1->setStatusTip(QStringLiteral("Остановить часы игры или пустить их снова"));
    Pause1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Space), QKeySequence(Qt::Key_Pause)});
    Postpone1 = new QAction(QStringLiteral("Отложить игру"), this);
    Postpone1->setStatusTip(QStringLiteral("Сохранить игру и закрыть окно"));
    Postpone1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Space));
    NextError1 = new QAction(QStringLiteral("Следующая ошибка"), this);
    NextError1->setStatusTip(QStringLiteral("Перейти к следующей неверной отметке"));
    NextError1->setShortcut(QKeySequence(Qt::Key_F3));
    ClueHelp1 = MakeAction(QStringLiteral("Подсказки по цифрам"),
                           QStringLiteral("Подсказки по цифрам|Гасить готовые цифры, выделять красным неверные линии"),
                           QKeySequence(), true, QString());
    ClueHelp1->setCheckable(true);
    FileNew1 = new QAction(QStringLiteral("Новая головоломка..."), this);
    FileNew1->setToolTip(QStringLiteral("Новая головоломка"));
    FileNew1->setStatusTip(QStringLiteral("Создать головоломку заданного размера и сложности"));
    FileNew1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    FileStatistics1 = new QAction(QStringLiteral("Статистика"), this);
    FileStatistics1->setStatusTip(QStringLiteral("Решённые головоломки: когда, за какое время, сколько раз"));
    HelpHowTo1 = new QAction(QStringLiteral("Как играть"), this);
    HelpHowTo1->setStatusTip(QStringLiteral("Правила, мышь и клавиши"));
    HelpHowTo1->setShortcut(QKeySequence(Qt::Key_F1));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    // Keys for what had none; the window commands take the shifted function keys.
    FileSaveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    FileClose1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    Clear1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    ClueHelp1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    WindowCascade1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    WindowTileHorizontal1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    WindowTileVertical1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
    WindowMinimizeAll1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
    WindowArrangeAll1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    const auto wire = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] { TApplication::Guarded([&] { (this->*handler)(); }); });
    };
    wire(FileOpen1, &TMainForm::FileOpen1Execute);
    wire(FileNew1, &TMainForm::FileNew1Execute);
    wire(FileStatistics1, &TMainForm::FileStatistics1Execute);
    wire(HelpHowTo1, &TMainForm::HelpHowTo1Execute);
    wire(FileClose1, &TMainForm::FileClose1Execute);
    connect(FileSave1, &QAction::triggered, this, [this] { TApplication::Guarded([this] { FileSave1Execute(); }); });
    wire(FileSaveAs1, &TMainForm::FileSaveAs1Execute);
    connect(FileExit1, &QAction::triggered, this, [this] { FileExit1Execute(); });
    wire(HelpAbout1, &TMainForm::HelpAbout1Execute);
    wire(ZoomInc, &TMainForm::ZoomIncExecute);
    wire(ZoomDec, &TMainForm::ZoomDecExecute);
    wire(ZoomAll, &TMainForm::ZoomAllExecute);
    wire(CloseUp1, &TMainForm::CloseUp1Execute);
    wire(Undo1, &TMainForm::Undo1Execute);
    wire(Redo1, &TMainForm::Redo1Execute);
    wire(Clear1, &TMainForm::Clear1Execute);
    wire(Check1, &TMainForm::Check1Execute);
    wire(Hint1, &TMainForm::Hint1Execute);
    connect(Pause1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = ActiveChild())
            child->Timer1->isActive() ? child->bPauseClick() : child->bPlayClick();
    });
    connect(Postpone1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = ActiveChild())
            TApplication::Guarded([child] { child->bStopClick(); });
    });
    connect(NextError1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = ActiveChild())
            child->NextErrorExecute();
    });
    connect(Overview1, &QAction::toggled, this, [this] {
        for (TMDIChild *child : Children())
            child->FormPaint();
    });
    connect(ClueHelp1, &QAction::toggled, this, [this] {
        for (TMDIChild *child : Children())
            child->FormPaint();
    });
    wire(FilePrint1, &TMainForm::FilePrint1Execute);
    wire(FilePrintSetup1, &TMainForm::FilePrintSetup1Execute);

    connect(WindowCascade1, &QAction::triggered, MdiArea, &TWorkspace::Cascade);
    connect(WindowTileHorizontal1, &QAction::triggered, MdiArea, &TWorkspace::TileHorizontally);
    connect(WindowTileVertical1, &QAction::triggered, MdiArea, &TWorkspace::TileVertically);
    connect(WindowMinimizeAll1, &QAction::triggered, MdiArea, &TWorkspace::MinimizeAll);
    connect(WindowArrangeAll1, &QAction::triggered, MdiArea, &TWorkspace::ArrangeIcons);
}

void TMainForm::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setFixedHeight(21);
    bar->setStyleSheet(FlatMenuStyleSheet());

    QMenu *file = bar->addMenu(QStringLiteral("Файл"));
    file->addAction(FileNew1);
    file->addActions({FileOpen1, FileSave1, FileSaveAs1, FileClose1, Postpone1});
    file->addSeparator();
    file->addAction(FileStatistics1);
    file->addSeparator();
    file->addActions({FilePrint1, FilePrintSetup1});
    file->addSeparator();
    file->addAction(FileExit1);
    connect(file, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowCommands);

    QMenu *edit = bar->addMenu(QStringLiteral("Правка"));
    edit->addActions({Undo1, Redo1});
    edit->addSeparator();
    edit->addAction(Clear1);
    edit->addSeparator();
    edit->addActions({Check1, NextError1, Hint1});
    edit->addSeparator();
    edit->addAction(Pause1);

    QMenu *view = bar->addMenu(QStringLiteral("Вид"));
    view->addActions({ZoomInc, ZoomDec, ZoomAll});
    view->addSeparator();
    view->addAction(ClueHelp1);
    view->addAction(CloseUp1);
    view->addAction(Overview1);

    QMenu *window = bar->addMenu(QStringLiteral("Окно"));
    window->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1,
                        WindowArrangeAll1});
    connect(window, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowCommands);

    QMenu *help = bar->addMenu(QStringLiteral("Помощь"));
    help->addAction(HelpHowTo1);
    help->addAction(HelpAbout1);

    // Mnemonics on letters the captions already have: the words read as before.
    const QList<QPair<QAction *, QString>> mnemonics{
        {file->menuAction(), "&Файл"}, {edit->menuAction(), "&Правка"}, {view->menuAction(), "&Вид"},
        {window->menuAction(), "&Окно"}, {help->menuAction(), "По&мощь"},
        {FileNew1, "&Новая головоломка..."}, {FileOpen1, "&Открыть"}, {FileSave1, "&Сохранить"},
        {FileSaveAs1, "Сохранить &как..."}, {FileClose1, "&Закрыть"}, {Postpone1, "Отло&жить игру"},
        {FileStatistics1, "С&татистика"}, {FilePrint1, "&Печать..."}, {FilePrintSetup1, "Печать с &выбором..."},
        {FileExit1, "Вы&ход"},
        {Undo1, "&Отменить"}, {Redo1, "По&вторить"}, {Clear1, "Оч&истить"}, {Check1, "П&роверить"},
        {NextError1, "&Следующая ошибка"}, {Hint1, "По&дсказка"}, {Pause1, "П&ауза"},
        {ZoomInc, "&Увеличить масштаб"}, {ZoomDec, "Ум&еньшить масштаб"}, {ZoomAll, "Во весь &экран"},
        {ClueHelp1, "&Подсказки по цифрам"}, {CloseUp1, "&Крупный план"}, {Overview1, "&Обзор"},
        {WindowCascade1, "&Каскад"}, {WindowTileHorizontal1, "По &горизонтали"},
        {WindowTileVertical1, "По &вертикали"}, {WindowMinimizeAll1, "&Свернуть все"},
        {WindowArrangeAll1, "&Развернуть все"},
        {HelpHowTo1, "&Как играть"}, {HelpAbout1, "&О программе..."},
    };
    for (const auto &[action, caption] : mnemonics) {
        Q_ASSERT(QString(caption).remove('&') == action->text());
        action->setText(caption);
    }
    // F10 opens the first menu, as Alt and a letter open theirs.
    auto *menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this, file] {
        menuBar()->setActiveAction(file->menuAction());
    });
}

void TMainForm::CreateToolBar()
{
    ToolBar2 = new QToolBar(this);
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setFixedHeight(34);
    ToolBar2->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar2->setStyleSheet(QStringLiteral("QToolBar { background: rgb(215, 215, 215); border: 1px solid "
                                           "rgb(160, 160, 160); spacing: 0px; padding: 0px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar2);

    // Buttons sit at fixed places: the bar's own layout would add spacing of its own.
    auto *strip = new QWidget(ToolBar2);
    strip->setFixedHeight(32);
    struct TButton {
        QToolButton **button;
        QAction *action;
        int width;
        int gapAfter;
    };
    const TButton layout[] = {
        {&bOpen, FileOpen1, 23, 2},     {&bSave, FileSave1, 23, 8},     {&bPrint, FilePrint1, 23, 5},
        {&bClear, Clear1, 23, 8},       {&bScaleInc, ZoomInc, 25, 2},   {&bScale, ZoomAll, 25, 2},
        {&bScaleDec, ZoomDec, 25, 10},  {&bUndo, Undo1, 23, 2},         {&bRedo, Redo1, 23, 8},
        {&bAbout, HelpAbout1, 23, 8},   {&bClose, FileExit1, 23, 20},
    };
    int x = 5;
    for (const TButton &b : layout) {
        auto *button = new QToolButton(strip);
        button->setDefaultAction(b.action);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setIconSize(QSize(16, 16));
        button->setGeometry(x, (32 - 22) / 2, b.width, 22);
        *b.button = button;
        x += b.width + b.gapAfter;
    }
    strip->setFixedWidth(x);
    ToolBar2->addWidget(strip);
    // The tool-bar Save button starts greyed on its own; from the command's first change on it
    // follows the command.
    bSave->setEnabled(false);
}

void TMainForm::UpdateWindowCommands()
{
    const bool any = !MdiArea->subWindowList().isEmpty();
    FileClose1->setEnabled(ActiveChild() != nullptr);
    for (QAction *action : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1,
                            WindowArrangeAll1})
        action->setEnabled(any);
}

TMDIChild *TMainForm::ActiveChild() const
{
    // A minimized board is out of play: no command may act on a game the player cannot see.
    QMdiSubWindow *sub = MdiArea->currentSubWindow();
    return sub && !sub->isMinimized() ? dynamic_cast<TMDIChild *>(sub->widget()) : nullptr;
}

QList<TMDIChild *> TMainForm::Children() const
{
    QList<TMDIChild *> children;
    for (QMdiSubWindow *sub : MdiArea->subWindowList())
        if (auto *child = dynamic_cast<TMDIChild *>(sub->widget()))
            children << child;
    return children;
}

void TMainForm::SubWindowActivated(QMdiSubWindow *window)
{
    TMDIChild *child = window ? dynamic_cast<TMDIChild *>(window->widget()) : nullptr;
    if (!child || child == LastActive)
        return;
    if (LastActive)
        LastActive->FormDeactivate();
    LastActive = child;
    // A check's or a hint's answer belongs to the board that gave it.
    StatusBar->clearMessage();
    child->FormActivate();
}

void TMainForm::SubWindowStateChanged(QMdiSubWindow *sub, Qt::WindowStates now)
{
    if (!(now & Qt::WindowMinimized))
        return;
    auto *child = dynamic_cast<TMDIChild *>(sub->widget());
    if (child)
        child->FormDeactivate();
    if (MdiArea->currentSubWindow() != sub && LastActive != child)
        return;
    // As an MDI frame does: the most recent board still in view takes over.
    QList<QMdiSubWindow *> order = MdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(order.begin(), order.end());
    for (QMdiSubWindow *other : order) {
        if (other != sub && !other->isMinimized() && !other->isHidden()) {
            MdiArea->setActiveSubWindow(other);
            return;
        }
    }
    // None left in view: the next board restored is activated afresh.
    LastActive = nullptr;
    MdiArea->setActiveSubWindow(nullptr);
}

namespace {
// The file a board window holds, as found when it was opened or saved under a new name.
constexpr char CanonicalPathProperty[] = "CanonicalPath";
} // namespace

void TMainForm::OpenPuzzleFile(const QString &path, const QString &caption)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    // A pipe or a device would block the whole program in the read; it is no puzzle file.
    if (!info.isFile())
        throw EPuzzleError(PuzzleFile::CannotOpenText(path));

    // A file is open once: a second window over it would let the last save silently win.
    const QString canonical = info.canonicalFilePath();
    for (QMdiSubWindow *open : MdiArea->subWindowList()) {
        auto *board = dynamic_cast<TMDIChild *>(open->widget());
        if (board && board->property(CanonicalPathProperty).toString() == canonical) {
            if (open->isMinimized())
                open->showMaximized();
            MdiArea->setActiveSubWindow(open);
            return;
        }
    }
    std::unique_ptr<OpenMarks::TMark> mark;
    if (OpenMarks::Take(path, &mark) == OpenMarks::TMarkResult::HeldElsewhere) {
        Prompts::Ask(this, {QStringLiteral("Файл %1 уже открыт в другой копии Сеткария. Сохраните или закройте "
                                           "его там: две копии одной игры затёрли бы друг друга.").arg(path),
                            QString(), QStringLiteral("Сеткарий"), QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Warning});
        return;
    }

    // The file is read before any window exists: a damaged one leaves the workspace exactly as
    // it was, with no window made and torn down again in front of the others.
    PuzzleDocument document = PuzzleFile::ReadFile(path);

    auto *child = new TMDIChild(this);
    QMdiSubWindow *sub = MdiArea->addSubWindow(child);
    sub->resize(TWorkspace::RestoredWidth, TWorkspace::RestoredHeight);
    // The working folder moves with the browser: the game must go back into this very file.
    child->FileName = info.absoluteFilePath();
    OpenMarks::Keep(child, std::move(mark));
    child->setProperty(CanonicalPathProperty, canonical);
    child->setWindowTitle(caption.isEmpty() ? path : caption);
    connect(sub, &QMdiSubWindow::windowStateChanged, this,
            [this, sub](Qt::WindowStates, Qt::WindowStates now) { SubWindowStateChanged(sub, now); });
    sub->showMaximized();
    MdiArea->setActiveSubWindow(sub);

    child->LoadDocument(std::move(document));
    // The window was activated before its document was read: show the commands for the
    // document it now holds.
    if (ActiveChild() == child)
        child->FormActivate();
}

void TMainForm::WMCopyData(const QByteArray &text)
{
    TApplication::Guarded([&] {
        const QStringList paths = HandOff::SplitText(text);
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        for (const QString &path : paths) {
            OpenPuzzleFile(path, GivenPath(path));
            // Many files take a while: the waiting sender keeps hearing the keep-alive, and
            // no click reaches a half-done list. Each turn repaints, so not after every file.
            if (sinceEvents.elapsed() >= 500) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                sinceEvents.restart();
            }
        }
    });
}

bool TMainForm::FileSave1Execute(TMDIChild *target)
{
    TMDIChild *child = target ? target : ActiveChild();
    if (!child)
        return false;
    if (child->FileName.isEmpty()) {
        SaveDialog1.InitialDir = ExecutableFolder() + QStringLiteral("Библиотека");
        const QString chosen = Prompts::AskSavePath(this, SaveDialog1);
        if (chosen.isEmpty())
            return false;
        SaveExplained(chosen, child->Doc, PuzzleFile::Target::ChosenPath);
        child->FileName = chosen;
        OpenMarks::Follow(child, chosen);
        child->setProperty(CanonicalPathProperty, QFileInfo(chosen).canonicalFilePath());
    } else {
        SaveExplained(child->FileName, child->Doc, PuzzleFile::Target::ExistingFile);
    }
    child->setWindowTitle(QFileInfo(child->FileName).fileName());
    child->Modified = false;
    FileSave1->setEnabled(false);
    return true;
}

namespace {

// Whether this user may write there, by the effective user as the file system will judge it.
bool MayWrite(const QString &path)
{
    return faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

} // namespace

void TMainForm::SaveExplained(const QString &path, const PuzzleDocument &doc, PuzzleFile::Target target)
{
    try {
        PuzzleFile::SaveFile(path, doc, target);
    } catch (const EPuzzleError &e) {
        // A shared, installed library is read-only for its players: say what to do about it.
        const QFileInfo info(path);
        const QString elsewhere = QStringLiteral(" Сохраните игру в другое место командой «Сохранить как...».");
        if (info.exists() && !MayWrite(path))
            throw EPuzzleError(e.Message() + QStringLiteral("\n\nФайл доступен только для чтения.") + elsewhere);
        if (!MayWrite(info.absolutePath()))
            throw EPuzzleError(e.Message() + QStringLiteral("\n\nНет прав на запись в эту папку.") + elsewhere);
        throw;
    }
}

void TMainForm::FileSaveAs1Execute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    child->FileName.clear();
    FileSave1Execute(child);
}

void TMainForm::FileOpen1Execute()
{
    // Each Open builds a fresh browser; it deletes itself once closed.
    auto *dialog = new TfOpenDialog(this);
    dialog->exec();
}

// The dialog stays open beside the boards while it searches; one is enough.
void TMainForm::FileNew1Execute()
{
    if (!NewPuzzleDialog) {
        NewPuzzleDialog = new TNewPuzzleDialog(this);
        connect(NewPuzzleDialog, &TNewPuzzleDialog::PuzzleMade, this, [this](const QString &path) {
            const QString folder = QFileInfo(path).absolutePath();
            RememberLibrary(QStorageInfo(folder).rootPath(), folder);
            TApplication::Guarded([&] { OpenPuzzleFile(path); });
        });
        connect(NewPuzzleDialog, &TNewPuzzleDialog::Failed, this,
                [this](const QString &text) { Prompts::ShowError(NewPuzzleDialog, text); });
    }
    NewPuzzleDialog->show();
    NewPuzzleDialog->raise();
    NewPuzzleDialog->activateWindow();
}

void TMainForm::FileStatistics1Execute()
{
    TStatisticsDialog dialog(this);
    dialog.exec();
}

void TMainForm::HelpHowTo1Execute()
{
    auto *help = findChild<THelpDialog *>();
    if (!help)
        help = new THelpDialog(this);
    help->show();
    help->raise();
    help->activateWindow();
}

QString TMainForm::PuzzleSolved(TMDIChild *board)
{
    return RecordVictory(board, board->Doc, board->FileName);
}

void TMainForm::FileClose1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->SubWindow()->close();
}

bool TMainForm::FileExit1Execute()
{
    if (!CloseAllBoards())
        return false;
    ExitConfirmed = true;
    close();
    return true;
}

bool TMainForm::CloseAllBoards()
{
    QList<QMdiSubWindow *> order = MdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(order.begin(), order.end());
    for (QMdiSubWindow *sub : order) {
        auto *child = dynamic_cast<TMDIChild *>(sub->widget());
        if (child)
            child->ClosingForExit = true;
        const bool closed = sub->close();
        if (!closed) {
            if (child)
                child->ClosingForExit = false;
            return false;
        }
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Closing by the title bar runs the same questions as Exit, so no game is lost unasked.
    if (ExitConfirmed || CloseAllBoards())
        event->accept();
    else
        event->ignore();
}

void TMainForm::HelpAbout1Execute()
{
    if (AboutBox)
        AboutBox->exec();
}

void TMainForm::ZoomIncExecute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    child->ZoomPercent += 10;
    ZoomDec->setEnabled(true);
    if (child->ZoomPercent >= 100)
        ZoomInc->setEnabled(false);
    child->ApplyZoom(child->ZoomPercent);
}

void TMainForm::ZoomDecExecute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    ZoomInc->setEnabled(true);
    child->ZoomPercent -= 10;
    if (child->ZoomPercent <= 20)
        ZoomDec->setEnabled(false);
    child->ApplyZoom(child->ZoomPercent);
}

void TMainForm::ZoomAllExecute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    child->ZoomPercent = 100;
    ZoomInc->setEnabled(false);
    ZoomDec->setEnabled(true);
    child->ApplyZoom(100);
}

void TMainForm::CloseUp1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->SetCloseUp(!child->CloseUp);
}

void TMainForm::Undo1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->Undo1Execute();
}

void TMainForm::Redo1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->Redo1Execute();
}

void TMainForm::Clear1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->Clear1Execute();
}

void TMainForm::Check1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->CheckExecute();
}

void TMainForm::Hint1Execute()
{
    if (TMDIChild *child = ActiveChild())
        child->HintExecute();
}

bool TMainForm::OverviewShown() const
{
    return !Overview1 || Overview1->isChecked();
}

bool TMainForm::ClueHelpShown() const
{
    return ClueHelp1 && ClueHelp1->isChecked();
}

void TMainForm::RunCommand(TBoardCommand command)
{
    QAction *action = CommandAction(command);
    if (action && action->isEnabled())
        action->trigger();
}

void TMainForm::FormDeactivate()
{
    if (TMDIChild *child = ActiveChild())
        child->Timer1->stop();
}

void TMainForm::changeEvent(QEvent *event)
{
    // A message box of our own passes focus back when it closes; only other windows stop the clock.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !Prompts::IsAsking())
        FormDeactivate();
    QMainWindow::changeEvent(event);
}

void TMainForm::FilePrint1Execute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    // The bitmap is a value: it goes with this scope whatever fails below.
    const QSize size = PrintBitmapSize(child->Doc);
    if (qint64(size.width()) * size.height() > MaxPrintBitmapPixels)
        throw EPrinterError("Printer error: the board is too large to print");
    QImage bitmap(size, QImage::Format_RGB32);
    if (bitmap.isNull())
        throw EPrinterError("Printer error: not enough memory for the page");
    bitmap.fill(Qt::white);
    // The paper variant keeps clue numbers apart, which the screen's picture need not do.
    RenderPaperBoard(bitmap, size.width(), size.height(), child->Doc, PrintCellSize);
    PrintBitmap(bitmap);
}

void TMainForm::FilePrintSetup1Execute()
{
    TMDIChild *child = ActiveChild();
    if (!child)
        return;
    const QString name = child->FileName.isEmpty() ? child->windowTitle()
                                                   : QFileInfo(child->FileName).completeBaseName();
    TPrintSetupDialog dialog(this, child->Doc, name);
    dialog.exec();
}

void TMainForm::PrintBitmap(const QImage &bitmap)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TRestoreCursor {
        ~TRestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;

    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw EPrinterError("There is no default printer currently selected");
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QString());
    printer.setColorMode(QPrinter::Color);
    printer.setPageOrientation(PrintLandscape(bitmap.size()) ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QSize printable = printer.pageRect(QPrinter::DevicePixel).size().toSize();
    const QRect target = PrintTarget(bitmap.size(), printable);

    QPainter canvas;
    if (!canvas.begin(&printer))
        throw EPrinterError("Printer error: the print job could not be started");
    StretchDIBToCanvas(canvas, target, bitmap);
    if (!canvas.end())
        throw EPrinterError("Printer error: the print job could not be finished");
}

void TMainForm::StretchDIBToCanvas(QPainter &canvas, const QRect &target, const QImage &bitmap)
{
    // A plain copy: every board pixel becomes a square of printer pixels, no smoothing.
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(target, bitmap, bitmap.rect());
}
