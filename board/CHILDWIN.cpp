// The board window: plays one puzzle document inside the main window's workspace.
#include "board/CHILDWIN.h"

#include "board/BoardRender.h"
#include "board/Clues.h"
#include "toolkit/JpegDecoder.h"
#include "toolkit/Prompts.h"
#include "toolkit/Sound.h"
#include "toolkit/TimeFormat.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace {

QToolButton *PanelButton(QWidget *panel, int x, const QString &icon, const QString &hint)
{
    auto *button = new QToolButton(panel);
    button->setGeometry(x, 5, 23, 22);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoRaise(true);
    // The keyboard belongs to the board: Space on a focused button would postpone the game.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TMDIChild::TMDIChild(TBoardHost *host)
    : Host(host)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The board takes the keyboard too: arrows, Space and X play it.
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(215, 215, 215));
    setPalette(pal);
    resize(507, 424);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMDIChild::Timer1Timer);

    Panel1 = new QWidget(this);
    Panel1->setAutoFillBackground(true);
    // Clicks on the panel belong to the panel, not to the board above it.
    Panel1->setAttribute(Qt::WA_NoMousePropagation);
    bStop = PanelButton(Panel1, 5, QStringLiteral("stop"), QStringLiteral("Отложить игру"));
    bPause = PanelButton(Panel1, 37, QStringLiteral("pause"), QStringLiteral("Пауза"));
    bPlay = PanelButton(Panel1, 69, QStringLiteral("play"), QStringLiteral("Продолжить"));
    connect(bStop, &QToolButton::clicked, this, [this] { bStopClick(); });
    connect(bPause, &QToolButton::clicked, this, [this] { bPauseClick(); });
    connect(bPlay, &QToolButton::clicked, this, [this] { bPlayClick(); });
    Label2 = new QLabel(Panel1);
    Label2->setGeometry(128, 5, 233, 20);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setToolTip(QStringLiteral("Время игры"));
    Label2->setStatusTip(QStringLiteral("Время игры"));

    FormCreate();
}

TMDIChild::~TMDIChild() = default;

void TMDIChild::FormCreate()
{
    MouseIsDown = false;
    Modified = false;
    Host->SetCommandEnabled(TBoardCommand::Save, false);
    Host->SetCommandEnabled(TBoardCommand::Print, true);
    Host->SetCommandEnabled(TBoardCommand::Clear, true);

    const QSize outer = size();
    BackBuffer = QImage(outer, QImage::Format_RGB32);
    BackgroundImage = LoadBackdrop(Host->ProgramFolder() + QStringLiteral("Background.jpg"), outer);

    History.Clear();
    History.SetUndoEnabled = [this](bool on) { Host->SetCommandEnabled(TBoardCommand::Undo, on); };
    History.SetRedoEnabled = [this](bool on) { Host->SetCommandEnabled(TBoardCommand::Redo, on); };
}

QImage TMDIChild::LoadBackdrop(const QString &path, QSize outer)
{
    try {
        return DecodeJpegFile(path);
    } catch (const std::exception &) {
        // No backdrop picture: the board stands on black, as far as the window reached when made.
        QImage black(outer, QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
}

QMdiSubWindow *TMDIChild::SubWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

int TMDIChild::DrawingWidth() const
{
    return width();
}

int TMDIChild::DrawingHeight() const
{
    return height() - 25;
}

void TMDIChild::LoadDocument(PuzzleDocument document)
{
    Doc = std::move(document);
    Label2->setText(FormatPlayTime(Doc.ElapsedTime));
    // A first guess from the outer size, with a cell of margin all round; the zoom below
    // replaces it with the fit of the drawing area.
    const QSize outer = SubWindow() ? SubWindow()->size() : size();
    CellSize = FitCellSize(outer.width(), outer.height(), Doc.ColCount + Doc.RowClueDepth + 2,
                           Doc.RowCount + Doc.ColClueDepth + 2);
    ZoomPercent = 100;
    ApplyZoom(100);
}

int32_t TMDIChild::FitCellSize(int W, int H, int NC, int NR)
{
    // A window smaller than its bottom strip has no drawing area at all, not a negative one.
    W = std::max(W, 0);
    H = std::max(H, 0);
    if (BackBuffer.size() != QSize(W, H))
        BackBuffer = QImage(W, H, QImage::Format_RGB32);
    return ::FitCellSize(W, H, NC, NR);
}

void TMDIChild::ApplyZoom(int percent)
{
    const int32_t fit = FitCellSize(DrawingWidth(), DrawingHeight(), Doc.ColCount + Doc.RowClueDepth,
                                    Doc.RowCount + Doc.ColClueDepth);
    CellSize = ZoomedCellSize(percent, fit);
    FormPaint();
}

void TMDIChild::RenderBoard(QImage &target, int W, int H, int a, bool screen)
{
    HoverX = 0;
    HoverY = 0;
    Origins = ::RenderBoard(target, W, H, Doc, a, screen, screen ? &BackgroundImage : nullptr,
                            screen ? ScreenClueInk() : nullptr);
}

void TMDIChild::RepaintBoard(int X, int Y)
{
    if (Closed || BackBuffer.isNull())
        return;
    BackBuffer.fill(Qt::white);
    RenderBoard(BackBuffer, DrawingWidth(), DrawingHeight(), CellSize, true);
    DrawHighlight(BackBuffer, Origins, CellSize, Doc, X, Y);
    LastHighlight = QPoint(X, Y);
    DrawHelpOverlay();
    update();
}

void TMDIChild::FormPaint()
{
    RepaintBoard(HoverX, HoverY);
}

void TMDIChild::paintEvent(QPaintEvent *)
{
    // The window shows the back buffer as the last repaint left it, in one copy.
    QPainter painter(this);
    painter.drawImage(0, 0, BackBuffer);
    // Only what the back buffer does not reach (a strip under the panel) needs a colour of its own.
    const QRegion rest = QRegion(rect()) - QRect(QPoint(0, 0), BackBuffer.size());
    for (const QRect &r : rest)
        painter.fillRect(r, Qt::white);
}

void TMDIChild::resizeEvent(QResizeEvent *)
{
    Panel1->setGeometry(0, height() - 31, width(), 31);
    FormResize();
}

void TMDIChild::FormResize()
{
    try {
        CellSize = FitCellSize(DrawingWidth(), DrawingHeight(), Doc.ColCount + Doc.RowClueDepth + 2,
                               Doc.RowCount + Doc.ColClueDepth + 2);
        ApplyZoom(ZoomPercent);
    } catch (...) {
        // Before the document is read there is nothing to fit.
    }
}

void TMDIChild::mousePressEvent(QMouseEvent *event)
{
    uint8_t button;
    switch (event->button()) {
    case Qt::LeftButton: button = 0; break;
    case Qt::RightButton: button = 1; break;
    case Qt::MiddleButton: button = 2; break;
    default: return;
    }
    if (HeldKey != 0)
        return;
    const QPoint p = event->position().toPoint();
    FormMouseDown(button, p.x(), p.y());
}

void TMDIChild::mouseMoveEvent(QMouseEvent *event)
{
    // A stroke held by a key is the keyboard's; the pointer only watches.
    if (HeldKey != 0)
        return;
    CursorShown = false;
    const QPoint p = event->position().toPoint();
    FormMouseMove(p.x(), p.y());
}

void TMDIChild::mouseReleaseEvent(QMouseEvent *event)
{
    // The browser's back and forward buttons play no part, pressed or released.
    if (!(event->button() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)) || HeldKey != 0)
        return;
    const QPoint p = event->position().toPoint();
    FormMouseUp(p.x(), p.y());
}

void TMDIChild::leaveEvent(QEvent *)
{
    // The red cross-hair follows the pointer; once the pointer has left, it should not stay
    // behind on a row and column the player is no longer looking at.
    if (!MouseIsDown)
        FormPaint();
}

void TMDIChild::StartClock()
{
    // Starting a running clock must not restart its second.
    if (!Timer1->isActive())
        Timer1->start();
}

void TMDIChild::FormMouseDown(uint8_t button, int X, int Y)
{
    if (Closed)
        return;
    MouseIsDown = true;
    StrokeButton = button;
    int32_t col, row;
    if (GridHit(Origins, CellSize, Doc.ColCount, Doc.RowCount, X, Y, &col, &row)) {
        StartClock();
        Modified = true;
        Doc.InProgress = 1;
        Host->SetCommandEnabled(TBoardCommand::Save, true);
        Host->SetCommandEnabled(TBoardCommand::Clear, true);
        Host->SetCommandEnabled(TBoardCommand::Undo, true);
        LastCol = col + 1;
        LastRow = row + 1;
        try {
            History.RedoStack.clear();
        } catch (...) {
        }
        Host->SetCommandEnabled(TBoardCommand::Redo, false);
        try {
            int32_t &cell = Doc.Marks.at(row).at(col);
            const int32_t v = cell;
            if (button == 0) {
                StrokeMode = v == MarkFilled ? 10 : 0;
                cell = v == MarkFilled ? MarkEmpty : MarkFilled;
            } else if (button == 1) {
                StrokeMode = v == MarkCrossed ? -10 : 0;
                cell = v == MarkCrossed ? MarkEmpty : MarkCrossed;
            } else {
                StrokeMode = 0;
                cell = MarkCrossed;
            }
            History.PushUndo(col, row, v, 0);
        } catch (...) {
        }
    }
    StrikeClue(X, Y);
    RepaintBoard(X, Y);
    NoteMouseDown(X, Y);
}

void TMDIChild::StrikeClue(int X, int Y)
{
    const int a = CellSize;
    if (a <= 0)
        return;
    const int gridRight = Origins.GridLeft + Doc.ColCount * a;
    const int gridBottom = Origins.GridTop + Doc.RowCount * a;
    // After a print render the origins belong to another cell size: a depth outside the
    // strike matrix strikes nothing.
    if (Origins.GridLeft < X && X < gridRight && Origins.BoardTop < Y && Y < Origins.GridTop) {
        const int k = (Origins.GridTop - Y) / a;
        const int j = (X - Origins.GridLeft) / a;
        if (k < Doc.ColClueDepth && j < Doc.ColCount) {
            int32_t &flag = Doc.ColClueStrikes[k][j];
            flag = flag == 1 ? 0 : 1;
        }
    } else if (Origins.BoardLeft < X && X < Origins.GridLeft && Origins.GridTop < Y && Y < gridBottom) {
        const int i = (Y - Origins.GridTop) / a;
        const int k = (Origins.GridLeft - X) / a;
        if (k < Doc.RowClueDepth && i < Doc.RowCount) {
            int32_t &flag = Doc.RowClueStrikes[i][k];
            flag = flag == 1 ? 0 : 1;
        }
    }
}

void TMDIChild::FormMouseMove(int X, int Y)
{
    if (Closed)
        return;
    int32_t col, row;
    if (MouseIsDown && GridHit(Origins, CellSize, Doc.ColCount, Doc.RowCount, X, Y, &col, &row)
        && (col + 1 != LastCol || row + 1 != LastRow)) {
        LastCol = col + 1;
        LastRow = row + 1;
        try {
            int32_t &cell = Doc.Marks.at(row).at(col);
            const int32_t v = cell;
            if (StrokeMode == 0)
                cell = StrokeButton == 0 ? MarkFilled : MarkCrossed;
            else if (StrokeMode == 10 && v == MarkFilled)
                cell = MarkEmpty;
            else if (StrokeMode == -10 && v == MarkCrossed)
                cell = MarkEmpty;
            History.PushUndo(col, row, v, 0);
        } catch (...) {
        }
    }
    RepaintBoard(X, Y);
    ShowRunCounter(X, Y);
}

void TMDIChild::FormMouseUp(int X, int Y)
{
    if (Closed)
        return;
    try {
        if (LastCol != 0 && LastRow != 0)
            History.PushUndo(LastCol - 1, LastRow - 1, Doc.Marks.at(LastRow - 1).at(LastCol - 1), 1);
    } catch (...) {
    }
    MouseIsDown = false;
    Modified = true;
    Host->SetCommandEnabled(TBoardCommand::Save, true);
    RepaintBoard(X, Y);
    HideRunCounter();
    if (IsSolved(Doc.Solution, Doc.Marks))
        Victory(X, Y);
}

void TMDIChild::Victory(int X, int Y)
{
    for (TMyCrossArr *strikes : {&Doc.RowClueStrikes, &Doc.ColClueStrikes})
        for (auto &line : *strikes)
            std::fill(line.begin(), line.end(), 0);
    Doc.Marks = Doc.Solution;
    RepaintBoard(X, Y);
    PlaySoundAsync(QStringLiteral("sound.wav"));
    Timer1->stop();
    Prompts::TQuestion q;
    q.Text = QStringLiteral("Поздравляю! Вы справились!");
    q.Caption = QStringLiteral("Ура!!!");
    q.Buttons = QMessageBox::Ok;
    q.Icon = QMessageBox::NoIcon;
    Prompts::Ask(this, q);
}

void TMDIChild::FormActivate()
{
    Host->SetCommandEnabled(TBoardCommand::Save, Modified);
    Host->SetCommandEnabled(TBoardCommand::Clear, Modified);
    Host->SetCommandEnabled(TBoardCommand::ZoomInc, ZoomPercent < 100);
    Host->SetCommandEnabled(TBoardCommand::ZoomDec, ZoomPercent > 40);
    FormPaint();
    Host->SetCommandEnabled(TBoardCommand::Undo, !History.UndoStack.empty());
    Host->SetCommandEnabled(TBoardCommand::Redo, !History.RedoStack.empty());
}

void TMDIChild::FormDeactivate()
{
    Timer1->stop();
}

void TMDIChild::Timer1Timer()
{
    if (Closed)
        return;
    Doc.ElapsedTime = (Doc.ElapsedTime * 86400 + 1) / 86400;
    Label2->setText(FormatPlayTime(Doc.ElapsedTime));
}

void TMDIChild::bPauseClick()
{
    Timer1->stop();
}

void TMDIChild::bPlayClick()
{
    StartClock();
}

void TMDIChild::bStopClick()
{
    const bool wasRunning = Timer1->isActive();
    Timer1->stop();
    Prompts::TQuestion q;
    q.Text = QStringLiteral("Вы действительно хотите отложить игру?");
    q.Caption = QStringLiteral("Закрыть");
    q.Buttons = QMessageBox::Yes | QMessageBox::No;
    q.Default = QMessageBox::No;
    q.Icon = QMessageBox::Question;
    if (Prompts::Ask(this, q) == QMessageBox::Yes) {
        if (Host->SaveBoard(this) && SubWindow())
            SubWindow()->close();
    } else if (wasRunning) {
        StartClock();
    }
}

void TMDIChild::Clear1Execute()
{
    ResetGame(Doc);
    History.Clear();
    Host->SetCommandEnabled(TBoardCommand::Undo, false);
    Host->SetCommandEnabled(TBoardCommand::Redo, false);
    Host->SetCommandEnabled(TBoardCommand::Clear, false);
    Timer1->stop();
    Label2->setText(QStringLiteral("0:00:00"));
    FormPaint();
}

bool TMDIChild::FormClose(bool duringExit)
{
    if (Modified) {
        Prompts::TQuestion q;
        q.Text = QStringLiteral("В файл были внесены изменения. Сохранить?");
        q.Caption = QStringLiteral("Сохранение изменений");
        q.Buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        q.Default = QMessageBox::Yes;
        q.Icon = QMessageBox::Question;
        switch (Prompts::Ask(this, q)) {
        case QMessageBox::Yes: {
            if (!Host->SaveBoard(this))
                return false;
            break;
        }
        case QMessageBox::No:
            break;
        default:
            // Outside Exit the window steps aside; during Exit it stops the Exit.
            if (!duringExit && SubWindow())
                SubWindow()->showMinimized();
            return false;
        }
    }
    Label2->clear();
    Timer1->stop();
    Closed = true;
    BackBuffer = QImage();
    BackgroundImage = QImage();
    History.Clear();
    return true;
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (FormClose(ClosingForExit))
        event->accept();
    else
        event->ignore();
}
