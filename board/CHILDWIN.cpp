// The board window: plays one puzzle document inside the main window's workspace.
#include "board/CHILDWIN.h"
#include "board/BoardOverview.h"

#include "core/BoardRender.h"
#include "core/Clues.h"
#include "toolkit/JpegDecoder.h"
#include "toolkit/Prompts.h"
#include "toolkit/Sound.h"
#include "toolkit/TimeFormat.h"

#include <QAction>
#include <QCloseEvent>
#include <QHash>
#include <QKeyEvent>
#include <QCursor>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <cstring>

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
    ScrollTimer = new QTimer(this);
    ScrollTimer->setInterval(ScrollTimerMs);
    connect(ScrollTimer, &QTimer::timeout, this, &TMDIChild::ScrollTimerTimer);

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

    // Each bar scrolls the close-up by its own offset; a deep clue area has a bar of its own
    // beside the grid's, its far end outward and the grid's side inward, where it starts.
    auto bar = [this](Qt::Orientation orientation, auto scrollTo) {
        auto *b = new QScrollBar(orientation, this);
        b->hide();
        connect(b, &QScrollBar::valueChanged, this, [this, scrollTo](int v) {
            if (!Syncing)
                scrollTo(v);
        });
        return b;
    };
    HScroll = bar(Qt::Horizontal, [this](int v) { ScrollBy(v - Scroll.Col, 0); });
    VScroll = bar(Qt::Vertical, [this](int v) { ScrollBy(0, v - Scroll.Row); });
    RowClueScroll = bar(Qt::Horizontal, [this](int v) {
        ScrollBy(0, 0, RowClueScroll->maximum() - v - Scroll.RowClue);
    });
    ColClueScroll = bar(Qt::Vertical, [this](int v) {
        ScrollBy(0, 0, 0, ColClueScroll->maximum() - v - Scroll.ColClue);
    });
    Overview = new TBoardOverview(this);

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
    // One decoded picture serves every board window: at 3840 x 2160 it is 33 MB.
    static QHash<QString, QImage> decoded;
    if (const auto it = decoded.constFind(path); it != decoded.constEnd())
        return *it;
    try {
        const QImage image = DecodeJpegFile(path);
        decoded.insert(path, image);
        return image;
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
    // The area above the clock panel: what lies under the panel the player never sees.
    return height() - 31;
}

void TMDIChild::LoadDocument(PuzzleDocument document)
{
    Doc = std::move(document);
    Canvas.Forget();
    Label2->setText(FormatPlayTime(Doc.ElapsedTime));
    // A first guess from the outer size, with a cell of margin all round; the zoom below
    // replaces it with the fit of the drawing area.
    const QSize outer = SubWindow() ? SubWindow()->size() : size();
    CellSize = FitCellSize(outer.width(), outer.height(), Doc.ColCount + Doc.RowClueDepth + 2,
                           Doc.RowCount + Doc.ColClueDepth + 2);
    ZoomPercent = 100;
    ApplyZoom(100);
    if (CellSize < MinFittedCell) {
        SetCloseUp(true);
        Host->ShowStatusText(QStringLiteral("Клетки доски мельче %1 пикселей: она открыта крупным планом (F4)")
                                 .arg(MinFittedCell));
    }
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
    // The frame band with its counts is part of what must fit, a cell on every side.
    const int32_t fit = FitCellSize(DrawingWidth(), DrawingHeight(), Doc.ColCount + Doc.RowClueDepth + 2,
                                    Doc.RowCount + Doc.ColClueDepth + 2);
    CellSize = ZoomedCellSize(percent, fit);
    if (CellSize < 1) {
        // Below a pixel a cell the board would be the bare backdrop: it stays in close-up.
        CellSize = 1;
        SetCloseUp(true);
        Host->ShowStatusText(QStringLiteral("Доска не помещается в окно даже по пикселю на клетку: она показана крупным планом (F4)"));
        return;
    }
    // The zoom commands act on the fitted board: choosing one leaves close-up.
    if (CloseUp) {
        CloseUp = false;
        PlaceScrollBars();
    }
    FormPaint();
}

void TMDIChild::RenderBoard(QImage &target, int W, int H, int a, bool screen)
{
    HoverX = 0;
    HoverY = 0;
    Origins = ::RenderBoard(target, W, H, Doc, a, screen, screen ? &BackgroundImage : nullptr,
                            screen ? ScreenClueInk() : nullptr);
    View = WholeBoardView(Origins, Doc.ColCount, Doc.RowCount, Doc.RowClueDepth, Doc.ColClueDepth);
}

int TMDIChild::DeviceScale() const
{
    const double ratio = devicePixelRatioF();
    return ratio > 1 ? int(std::ceil(ratio)) : 1;
}

void TMDIChild::RepaintBoard(int X, int Y)
{
    if (Closed || BackBuffer.isNull())
        return;
    HoverX = 0;
    HoverY = 0;
    if (CloseUp) {
        CellSize = CloseUpCell;
        View = CloseUpArea(nullptr);
    } else {
        View = WholeBoardView(ComputeOrigins(DrawingWidth(), DrawingHeight(), CellSize, Doc.ColCount,
                                             Doc.RowCount, Doc.RowClueDepth, Doc.ColClueDepth),
                              Doc.ColCount, Doc.RowCount, Doc.RowClueDepth, Doc.ColClueDepth);
    }
    Origins = View.Origins;
    if (Overview)
        Overview->Follow();
    // On a dense screen the board is drawn at device pixels: the same board at s times the cell.
    const int s = DeviceScale();
    TBoardView device = View;
    if (s > 1) {
        TBoardOrigins &o = device.Origins;
        o = {o.BoardLeft * s, o.BoardTop * s, o.GridLeft * s, o.GridTop * s};
        const QSize want(DrawingWidth() * s, DrawingHeight() * s);
        if (BackBuffer.size() != want)
            BackBuffer = QImage(want, QImage::Format_RGB32);
    }
    const QRegion changed = Canvas.Update(BackBuffer, device, Doc, CellSize * s, &BackgroundImage, X * s, Y * s,
                                          ScreenClueInk());
    LastHighlight = QPoint(X, Y);
    // The help draws over the kept board; the next update then redraws it whole.
    const qint64 drawn = BackBuffer.cacheKey();
    DrawHelpOverlay();
    if (BackBuffer.cacheKey() != drawn) {
        update();
        return;
    }
    // Only what differs from the last frame goes to the window system.
    if (s == 1) {
        update(changed);
    } else {
        QRegion logical;
        for (const QRect &r : changed)
            logical += QRect(r.x() / s, r.y() / s, (r.right() / s) - (r.x() / s) + 1, (r.bottom() / s) - (r.y() / s) + 1);
        update(logical);
    }
}

void TMDIChild::FormPaint()
{
    RepaintBoard(HoverX, HoverY);
}

void TMDIChild::paintEvent(QPaintEvent *event)
{
    // The window shows the back buffer as the last repaint left it, in one copy.
    QPainter painter(this);
    const int s = DeviceScale();
    const QSize shown = BackBuffer.size() / s;
    const QRegion board = event->region() & QRect(QPoint(0, 0), shown);
    if (!CopyToDevice(painter, board))
        for (const QRect &r : board)
            painter.drawImage(QRectF(r), BackBuffer, QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s));
    // Only what the back buffer does not reach (a strip under the panel) needs a colour of its own.
    const QRegion rest = QRegion(rect()) - QRect(QPoint(0, 0), shown);
    for (const QRect &r : rest)
        painter.fillRect(r, Qt::white);
}

bool TMDIChild::CopyToDevice(QPainter &painter, const QRegion &region) const
{
    // A clip of many thin rectangles (the highlight's frames) sends every blit of QPainter
    // through the span path, which Qt splits across its GUI thread pool and then waits for:
    // that cost more than the pixels. Rows are copied straight into the backing store instead,
    // where it is a plain image at whole device pixels, as the painter would have put them.
    if (BackBuffer.format() != QImage::Format_RGB32 || !painter.paintEngine())
        return false;
    QPaintDevice *device = painter.paintEngine()->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return false;
    QImage *image = static_cast<QImage *>(device);
    if (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QTransform t = painter.deviceTransform();
    const int s = DeviceScale();
    if (t.type() > QTransform::TxScale || t.m11() != s || t.m22() != s || t.dx() != std::floor(t.dx())
        || t.dy() != std::floor(t.dy()))
        return false;
    const QPoint at(int(t.dx()), int(t.dy()));
    const QRect bounds = image->rect();
    // The painter's engine holds the image's own pixels, so writing them needs no detach.
    uchar *to = const_cast<uchar *>(image->constBits());
    const uchar *from = BackBuffer.constBits();
    const qsizetype toStride = image->bytesPerLine(), fromStride = BackBuffer.bytesPerLine();
    for (const QRect &r : region) {
        const QRect source(r.x() * s, r.y() * s, r.width() * s, r.height() * s);
        const QRect target = source.translated(at) & bounds;
        if (target.isEmpty())
            continue;
        const QPoint origin = target.topLeft() - at;
        const size_t bytes = size_t(target.width()) * 4;
        for (int y = 0; y < target.height(); ++y)
            std::memcpy(to + (target.y() + y) * toStride + target.x() * 4,
                        from + (origin.y() + y) * fromStride + origin.x() * 4, bytes);
    }
    return true;
}

void TMDIChild::resizeEvent(QResizeEvent *)
{
    Panel1->setGeometry(0, height() - 31, width(), 31);
    FormResize();
}

void TMDIChild::FormResize()
{
    if (CloseUp) {
        // The close-up keeps its cell; only the part shown changes.
        FitCellSize(DrawingWidth(), DrawingHeight(), 1, 1);
        PlaceScrollBars();
        FormPaint();
        return;
    }
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
    // A second button pressed during a stroke carries on the same stroke.
    if (!MouseIsDown) {
        CheckShown = false;
        StrokeChanged = false;
        StrokeBase = History.UndoStack.size();
    }
    MouseIsDown = true;
    StrokeButton = button;
    DragPoint = QPoint(X, Y);
    PointerCell(X, Y, &DragCol, &DragRow);
    int32_t col, row;
    if (ViewGridHit(View, CellSize, X, Y, &col, &row)) {
        StartClock();
        Modified = true;
        Doc.InProgress = 1;
        Host->SetCommandEnabled(TBoardCommand::Save, true);
        Host->SetCommandEnabled(TBoardCommand::Clear, true);
        LastCol = col + 1;
        LastRow = row + 1;
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
            if (cell != v)
                NoteStrokeChange();
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
    const TBoardOrigins &o = View.Origins;
    const int gridRight = o.GridLeft + View.Cols * a;
    const int gridBottom = o.GridTop + View.Rows * a;
    // After a print render the origins belong to another cell size: a depth outside the
    // strike matrix strikes nothing. In close-up the clue cells shown start at the view's own.
    if (o.GridLeft < X && X < gridRight && o.BoardTop < Y && Y < o.GridTop) {
        const int k = (o.GridTop - Y) / a + View.FirstColClue;
        const int j = (X - o.GridLeft) / a + View.FirstCol;
        if (k < Doc.ColClueDepth && j < Doc.ColCount) {
            int32_t &flag = Doc.ColClueStrikes[k][j];
            flag = flag == 1 ? 0 : 1;
        }
    } else if (o.BoardLeft < X && X < o.GridLeft && o.GridTop < Y && Y < gridBottom) {
        const int i = (Y - o.GridTop) / a + View.FirstRow;
        const int k = (o.GridLeft - X) / a + View.FirstRowClue;
        if (k < Doc.RowClueDepth && i < Doc.RowCount) {
            int32_t &flag = Doc.RowClueStrikes[i][k];
            flag = flag == 1 ? 0 : 1;
        }
    }
}

void TMDIChild::NoteStrokeChange()
{
    if (StrokeChanged)
        return;
    StrokeChanged = true;
    // Only a stroke that changes something takes the place of what could be redone.
    History.DropRedo();
}

void TMDIChild::DragOnto(int32_t col, int32_t row)
{
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
        if (cell != v)
            NoteStrokeChange();
        History.PushUndo(col, row, v, 0);
    } catch (...) {
    }
}

void TMDIChild::DragTo(int32_t col, int32_t row)
{
    // A line of cells from the last pointer cell, that cell itself left out.
    const int32_t dc = std::abs(col - DragCol), dr = -std::abs(row - DragRow);
    const int32_t sc = DragCol < col ? 1 : -1, sr = DragRow < row ? 1 : -1;
    int32_t c = DragCol, r = DragRow, err = dc + dr;
    while (c != col || r != row) {
        const int32_t e2 = 2 * err;
        if (e2 >= dr) {
            err += dr;
            c += sc;
        }
        if (e2 <= dc) {
            err += dc;
            r += sr;
        }
        const bool onBoard = c >= 0 && c < Doc.ColCount && r >= 0 && r < Doc.RowCount;
        if (onBoard && (c + 1 != LastCol || r + 1 != LastRow))
            DragOnto(c, r);
    }
    DragCol = col;
    DragRow = row;
}

void TMDIChild::PointerCell(int X, int Y, int32_t *col, int32_t *row) const
{
    const int a = std::max(CellSize, 1);
    const auto floorDiv = [](int n, int d) { return n >= 0 ? n / d : -((-n + d - 1) / d); };
    int32_t c = View.FirstCol + floorDiv(X - View.Origins.GridLeft, a);
    int32_t r = View.FirstRow + floorDiv(Y - View.Origins.GridTop, a);
    if (CloseUp) {
        if (c < View.FirstCol && View.FirstCol > 0)
            c = View.FirstCol;
        else if (c >= View.FirstCol + View.Cols && View.FirstCol + View.Cols < Doc.ColCount)
            c = View.FirstCol + View.Cols - 1;
        if (r < View.FirstRow && View.FirstRow > 0)
            r = View.FirstRow;
        else if (r >= View.FirstRow + View.Rows && View.FirstRow + View.Rows < Doc.RowCount)
            r = View.FirstRow + View.Rows - 1;
    }
    *col = c;
    *row = r;
}

void TMDIChild::FormMouseMove(int X, int Y)
{
    if (Closed)
        return;
    if (MouseIsDown) {
        DragPoint = QPoint(X, Y);
        // Held still at an edge, the stroke goes on carrying the board along. A key's stroke
        // scrolls by its cursor instead.
        if (CloseUp && HeldKey == 0 && AutoScroll(X, Y))
            ScrollTimer->start();
        else
            ScrollTimer->stop();
        int32_t col, row;
        PointerCell(X, Y, &col, &row);
        DragTo(col, row);
    }
    RepaintBoard(X, Y);
    ShowRunCounter(X, Y);
}

void TMDIChild::ScrollTimerTimer()
{
    if (!MouseIsDown || !CloseUp) {
        ScrollTimer->stop();
        return;
    }
    FormMouseMove(DragPoint.x(), DragPoint.y());
}

void TMDIChild::FormMouseUp(int X, int Y)
{
    if (Closed)
        return;
    ScrollTimer->stop();
    if (MouseIsDown) {
        try {
            // A stroke that changed no cell leaves nothing to take back.
            if (StrokeChanged && LastCol != 0 && LastRow != 0)
                History.PushUndo(LastCol - 1, LastRow - 1, Doc.Marks.at(LastRow - 1).at(LastCol - 1), 1);
            else
                History.DropUndoAbove(StrokeBase);
        } catch (...) {
        }
        StrokeChanged = false;
    }
    MouseIsDown = false;
    Modified = true;
    Host->SetCommandEnabled(TBoardCommand::Save, true);
    RepaintBoard(X, Y);
    HideRunCounter();
    if (IsSolved(Doc.Solution, Doc.Marks))
        Victory(X, Y);
    else
        VictoryShown = false;
}

void TMDIChild::Victory(int X, int Y)
{
    for (TMyCrossArr *strikes : {&Doc.RowClueStrikes, &Doc.ColClueStrikes})
        for (auto &line : *strikes)
            std::fill(line.begin(), line.end(), 0);
    Doc.Marks = Doc.Solution;
    RepaintBoard(X, Y);
    Timer1->stop();
    // Congratulated once a solve: again only once the marks have left the solution.
    if (VictoryShown)
        return;
    VictoryShown = true;
    PlaySoundAsync(QStringLiteral("sound.wav"));
    Prompts::TQuestion q;
    q.Text = QStringLiteral("Поздравляю! Вы справились!");
    q.Informative = Host->PuzzleSolved(this);
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
    Host->SetCommandEnabled(TBoardCommand::Undo, History.CanUndo());
    Host->SetCommandEnabled(TBoardCommand::Redo, History.CanRedo());
}

void TMDIChild::FormDeactivate()
{
    Timer1->stop();
    ScrollTimer->stop();
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
    // A stroke in progress owns the history until its release.
    if (Closed || MouseIsDown)
        return;
    PuzzleDocument cleared = Doc;
    ResetGame(cleared);
    // Clear is one step of the history; a game already at its start gives it nothing to take back.
    if (!(cleared == Doc)) {
        History.DropRedo();
        History.PushGame(Doc);
        Doc = std::move(cleared);
    }
    Host->SetCommandEnabled(TBoardCommand::Clear, false);
    Timer1->stop();
    Label2->setText(QStringLiteral("0:00:00"));
    VictoryShown = false;
    FormPaint();
}

void TMDIChild::Undo1Execute()
{
    HistoryStep(true);
}

void TMDIChild::Redo1Execute()
{
    HistoryStep(false);
}

void TMDIChild::HistoryStep(bool back)
{
    // A stroke in progress owns the history until its release.
    if (Closed || MouseIsDown)
        return;
    const std::vector<THistoryEntry> &from = back ? History.UndoStack : History.RedoStack;
    const bool game = !from.empty() && from.back().Game;
    if (back)
        History.UndoGroup(Doc);
    else
        History.RedoGroup(Doc);
    if (game) {
        // A game put back waits for the next stroke, as after opening it.
        Timer1->stop();
        Label2->setText(Doc.ElapsedTime == 0 ? QStringLiteral("0:00:00") : FormatPlayTime(Doc.ElapsedTime));
        Host->SetCommandEnabled(TBoardCommand::Clear, back);
    }
    if (!IsSolved(Doc.Solution, Doc.Marks))
        VictoryShown = false;
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
    ScrollTimer->stop();
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

// ---- Close-up ---------------------------------------------------------------------------

QSize TMDIChild::CloseUpSize() const
{
    // The scroll bars take their strips off the area, beside the clock panel.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return QSize(DrawingWidth() - (BarsRight ? bar : 0), height() - Panel1->height() - (BarsBelow ? bar : 0));
}

TBoardView TMDIChild::CloseUpArea(TCloseUpScroll *maximum)
{
    const QSize area = CloseUpSize();
    return CloseUpView(area.width(), area.height(), CloseUpCell, Doc.ColCount, Doc.RowCount, Doc.RowClueDepth,
                       Doc.ColClueDepth, Scroll, maximum);
}

void TMDIChild::PlaceScrollBars()
{
    if (!CloseUp) {
        BarsBelow = BarsRight = false;
        for (QScrollBar *b : {HScroll, VScroll, RowClueScroll, ColClueScroll})
            b->hide();
        return;
    }
    // Which strips are needed depends on the room the other leaves.
    TCloseUpScroll max;
    for (int pass = 0; pass < 2; ++pass) {
        CloseUpArea(&max);
        BarsBelow = max.Col > 0 || max.RowClue > 0;
        BarsRight = max.Row > 0 || max.ColClue > 0;
    }
    const TBoardView v = CloseUpArea(&max);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int bottom = height() - Panel1->height();
    const int right = width() - (BarsRight ? bar : 0);
    // The clue areas' bars end where the grid begins; the grid's take the rest of the strip.
    const int split = std::clamp(v.Origins.GridLeft, 0, right);
    const int top = std::clamp(v.Origins.GridTop, 0, bottom);
    RowClueScroll->setGeometry(0, bottom - bar, split, bar);
    HScroll->setGeometry(max.RowClue > 0 ? split : 0, bottom - bar, right - (max.RowClue > 0 ? split : 0), bar);
    const int low = bottom - (BarsBelow ? bar : 0);
    ColClueScroll->setGeometry(width() - bar, 0, bar, top);
    VScroll->setGeometry(width() - bar, max.ColClue > 0 ? top : 0, bar, low - (max.ColClue > 0 ? top : 0));
    HScroll->setVisible(max.Col > 0);
    VScroll->setVisible(max.Row > 0);
    RowClueScroll->setVisible(max.RowClue > 0);
    ColClueScroll->setVisible(max.ColClue > 0);
    Syncing = true;
    HScroll->setRange(0, max.Col);
    HScroll->setPageStep(std::max(1, v.Cols - 1));
    HScroll->setValue(Scroll.Col);
    VScroll->setRange(0, max.Row);
    VScroll->setPageStep(std::max(1, v.Rows - 1));
    VScroll->setValue(Scroll.Row);
    RowClueScroll->setRange(0, max.RowClue);
    RowClueScroll->setPageStep(std::max(1, v.RowClues - 1));
    RowClueScroll->setValue(max.RowClue - Scroll.RowClue);
    ColClueScroll->setRange(0, max.ColClue);
    ColClueScroll->setPageStep(std::max(1, v.ColClues - 1));
    ColClueScroll->setValue(max.ColClue - Scroll.ColClue);
    Syncing = false;
}

void TMDIChild::SetCloseUp(bool on)
{
    if (Closed || on == CloseUp)
        return;
    if (on) {
        // At least legible, and never smaller than the fitted board.
        const int fit = ZoomedCellSize(ZoomPercent, ::FitCellSize(std::max(DrawingWidth(), 0), std::max(DrawingHeight(), 0),
                                                                  Doc.ColCount + Doc.RowClueDepth,
                                                                  Doc.RowCount + Doc.ColClueDepth));
        CloseUpCell = std::max({CloseUpCell, MinCloseUpCell, fit});
        CloseUp = true;
        PlaceScrollBars();
        FormPaint();
    } else {
        ApplyZoom(ZoomPercent);
    }
}

void TMDIChild::StepCloseUpCell(int steps)
{
    if (!CloseUp)
        return;
    CloseUpCell = std::clamp(CloseUpCell + steps * CloseUpStepPx, MinCloseUpCell, MaxCloseUpCell);
    PlaceScrollBars();
    FormPaint();
}

void TMDIChild::ScrollBy(int cols, int rows, int rowClues, int colClues)
{
    if (!CloseUp)
        return;
    const TCloseUpScroll was = Scroll;
    Scroll.Col += cols;
    Scroll.Row += rows;
    Scroll.RowClue += rowClues;
    Scroll.ColClue += colClues;
    CloseUpArea(nullptr);  // brings the offsets into range
    if (Scroll == was)
        return;
    PlaceScrollBars();
    const QPoint p = mapFromGlobal(QCursor::pos());
    RepaintBoard(p.x(), p.y());
}

bool TMDIChild::AutoScroll(int X, int Y)
{
    // A stroke that reaches an edge of the shown grid carries the board along, a cell a move.
    const TBoardOrigins &o = View.Origins;
    const int a = CellSize;
    const QSize area = CloseUpSize();
    const int right = area.width(), bottom = area.height();
    const int dx = X < o.GridLeft ? -1 : X >= right - a / 2 ? 1 : 0;
    const int dy = Y < o.GridTop ? -1 : Y >= bottom - a / 2 ? 1 : 0;
    if (!dx && !dy)
        return false;
    const TCloseUpScroll was = Scroll;
    Scroll.Col += dx;
    Scroll.Row += dy;
    CloseUpArea(nullptr);
    if (Scroll == was)
        return false;
    PlaceScrollBars();
    View = CloseUpArea(nullptr);
    return true;
}

void TMDIChild::CloseUpWheel(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() != 0 ? event->angleDelta().y() / 120 : event->angleDelta().x() / 120;
    if (notches == 0) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    const TBoardOrigins &o = View.Origins;
    if (event->modifiers() & Qt::ControlModifier)
        StepCloseUpCell(notches);
    else if (event->modifiers() & Qt::ShiftModifier)
        // Over the row clues a deep clue area moves on its own, outward with the wheel up.
        p.x() < o.GridLeft ? ScrollBy(0, 0, notches) : ScrollBy(-3 * notches, 0);
    else
        p.y() < o.GridTop && p.x() >= o.GridLeft ? ScrollBy(0, 0, 0, notches) : ScrollBy(0, -3 * notches);
    event->accept();
}

bool TMDIChild::CloseUpKey(QKeyEvent *event)
{
    if (!CloseUp || !(event->modifiers() & Qt::ControlModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        StepCloseUpCell(1);
        return true;
    case Qt::Key_Minus:
        StepCloseUpCell(-1);
        return true;
    default:
        return false;
    }
}

void TMDIChild::ShowCellCentred(int32_t col, int32_t row)
{
    if (!CloseUp)
        return;
    const TCloseUpScroll was = Scroll;
    ShowCell(col, row);
    if (Scroll == was)
        return;
    // Help that jumps far puts its cell mid-view, with what surrounds it in sight.
    const TBoardView v = CloseUpArea(nullptr);
    if (Scroll.Col != was.Col)
        Scroll.Col = col - v.Cols / 2;
    if (Scroll.Row != was.Row)
        Scroll.Row = row - v.Rows / 2;
    PlaceScrollBars();
    View = CloseUpArea(nullptr);
    Origins = View.Origins;
}

void TMDIChild::ShowCell(int32_t col, int32_t row)
{
    if (!CloseUp)
        return;
    const TBoardView v = CloseUpArea(nullptr);
    // The last line shown may be cut by the edge; it does not count as shown.
    const int cols = std::max(1, v.FirstCol + v.Cols < Doc.ColCount ? v.Cols - 1 : v.Cols);
    const int rows = std::max(1, v.FirstRow + v.Rows < Doc.RowCount ? v.Rows - 1 : v.Rows);
    const int dc = col < v.FirstCol ? col - v.FirstCol : col >= v.FirstCol + cols ? col - (v.FirstCol + cols) + 1 : 0;
    const int dr = row < v.FirstRow ? row - v.FirstRow : row >= v.FirstRow + rows ? row - (v.FirstRow + rows) + 1 : 0;
    if (dc == 0 && dr == 0)
        return;
    Scroll.Col += dc;
    Scroll.Row += dr;
    PlaceScrollBars();
    View = CloseUpArea(nullptr);
    Origins = View.Origins;
}
