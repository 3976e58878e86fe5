// The board window's help for the player: keyboard play, the run counter, clue help, check, hint.
#include "board/CHILDWIN.h"

#include "core/BoardRender.h"
#include "core/RunCounter.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Qt reports a letter key of a Cyrillic layout by the letter's capital code point.
constexpr int KeyCyrillicChe = 0x0427;

bool IsRightKey(int key)
{
    return key == Qt::Key_X || key == KeyCyrillicChe;
}

bool IsButtonKey(int key)
{
    return key == Qt::Key_Space || IsRightKey(key);
}

constexpr int FlashTickMs = 125;
constexpr int HintTicks = 24;   // three seconds

// Help drawn over the board is traced twice, a light line under a dark one, so that it stands
// out at 4.5 : 1 or more on white cells, black cells and the clue areas alike.
void TwoColourPen(QPainter &painter, const QColor &dark, int width, const auto &draw)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw();
    painter.setPen(QPen(dark, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw();
}

} // namespace

QPoint TMDIChild::CellCentre(int32_t col, int32_t row) const
{
    const int a = CellSize;
    return QPoint(Origins.GridLeft + a * (col - View.FirstCol) + a / 2,
                  Origins.GridTop + a * (row - View.FirstRow) + a / 2);
}

bool TMDIChild::KeyDown(int key, bool autoRepeat)
{
    if (Closed || Doc.ColCount <= 0 || Doc.RowCount <= 0)
        return false;
    switch (key) {
    case Qt::Key_Left: MoveCursor(CursorCol - 1, CursorRow); return true;
    case Qt::Key_Right: MoveCursor(CursorCol + 1, CursorRow); return true;
    case Qt::Key_Up: MoveCursor(CursorCol, CursorRow - 1); return true;
    case Qt::Key_Down: MoveCursor(CursorCol, CursorRow + 1); return true;
    case Qt::Key_Home: MoveCursor(0, CursorRow); return true;
    case Qt::Key_End: MoveCursor(Doc.ColCount - 1, CursorRow); return true;
    case Qt::Key_PageUp: MoveCursor(CursorCol, 0); return true;
    case Qt::Key_PageDown: MoveCursor(CursorCol, Doc.RowCount - 1); return true;
    case Qt::Key_Delete: {
        if (MouseIsDown)
            return true;
        // Emptying is what a press on the cell's own mark does: the same stroke as a click.
        int32_t mark = MarkEmpty;
        try {
            mark = Doc.Marks.at(size_t(CursorRow)).at(size_t(CursorCol));
        } catch (...) {
        }
        if (mark != MarkFilled && mark != MarkCrossed)
            return true;
        CursorShown = true;
        const QPoint p = CellCentre(CursorCol, CursorRow);
        FormMouseDown(mark == MarkFilled ? 0 : 1, p.x(), p.y());
        FormMouseUp(p.x(), p.y());
        return true;
    }
    default:
        break;
    }
    if (!IsButtonKey(key))
        return false;
    // A held key repeats; the button it stands for was pressed once. A mouse button already
    // down owns the stroke.
    if (autoRepeat || HeldKey != 0 || MouseIsDown)
        return true;
    HeldKey = key;
    CursorShown = true;
    const QPoint p = CellCentre(CursorCol, CursorRow);
    FormMouseDown(IsRightKey(key) ? 1 : 0, p.x(), p.y());
    return true;
}

bool TMDIChild::KeyUp(int key, bool autoRepeat)
{
    if (!IsButtonKey(key))
        return false;
    // X and Ч are one key on two layouts.
    if (autoRepeat || HeldKey == 0 || IsRightKey(key) != IsRightKey(HeldKey))
        return true;
    ReleaseHeldKey();
    return true;
}

void TMDIChild::ReleaseHeldKey()
{
    HeldKey = 0;
    const QPoint p = CellCentre(CursorCol, CursorRow);
    FormMouseUp(p.x(), p.y());
}

void TMDIChild::MoveCursor(int32_t col, int32_t row)
{
    col = std::clamp(col, 0, Doc.ColCount - 1);
    row = std::clamp(row, 0, Doc.RowCount - 1);
    CursorShown = true;
    if (MouseIsDown && HeldKey == 0) {
        // The mouse is drawing: the cursor moves, the stroke stays the mouse's.
        CursorCol = col;
        CursorRow = row;
        FormPaint();
        return;
    }
    // With a key held the stroke goes through every cell on the way, as a careful drag would.
    do {
        if (HeldKey != 0) {
            CursorCol += (col > CursorCol) - (col < CursorCol);
            CursorRow += (row > CursorRow) - (row < CursorRow);
        } else {
            CursorCol = col;
            CursorRow = row;
        }
        ShowCell(CursorCol, CursorRow);
        const QPoint p = CellCentre(CursorCol, CursorRow);
        FormMouseMove(p.x(), p.y());
    } while (CursorCol != col || CursorRow != row);
}

void TMDIChild::keyPressEvent(QKeyEvent *event)
{
    if (CloseUpKey(event))
        return;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        || !KeyDown(event->key(), event->isAutoRepeat()))
        QWidget::keyPressEvent(event);
}

void TMDIChild::keyReleaseEvent(QKeyEvent *event)
{
    if (!KeyUp(event->key(), event->isAutoRepeat()))
        QWidget::keyReleaseEvent(event);
}

void TMDIChild::focusOutEvent(QFocusEvent *event)
{
    // A key let go in another window is never heard: the stroke ends here instead.
    if (HeldKey != 0)
        ReleaseHeldKey();
    QWidget::focusOutEvent(event);
}

void TMDIChild::wheelEvent(QWheelEvent *event)
{
    if (CloseUp) {
        CloseUpWheel(event);
        return;
    }
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    // Fine-grained wheels send many small steps: one zoom step per notch.
    WheelDelta += event->angleDelta().y();
    while (WheelDelta >= 120) {
        WheelDelta -= 120;
        Host->RunCommand(TBoardCommand::ZoomInc);
    }
    while (WheelDelta <= -120) {
        WheelDelta += 120;
        Host->RunCommand(TBoardCommand::ZoomDec);
    }
    event->accept();
}

void TMDIChild::NoteMouseDown(int X, int Y)
{
    int32_t col, row;
    StrokeInGrid = ViewGridHit(View, CellSize, X, Y, &col, &row);
    if (StrokeInGrid) {
        StrokeFirstCol = col;
        StrokeFirstRow = row;
        // The player is acting: the last hint has done its work.
        HintTicksLeft = 0;
    }
    ShowRunCounter(X, Y);
}

void TMDIChild::ShowRunCounter(int X, int Y)
{
    QString text;
    int32_t col, row;
    if (MouseIsDown) {
        if (StrokeInGrid && LastCol > 0 && LastRow > 0)
            text = StrokeCounterText(Doc.Marks, StrokeFirstCol, StrokeFirstRow, LastCol - 1, LastRow - 1);
    } else if (ViewGridHit(View, CellSize, X, Y, &col, &row)) {
        text = CellRunsText(Doc.Marks, col, row);
    }
    if (!text.isEmpty()) {
        Host->ShowStatusText(text);
        CounterShown = true;
    } else {
        HideRunCounter();
    }
}

void TMDIChild::HideRunCounter()
{
    // Only the counter's own text goes; a check's or a hint's answer stays.
    if (CounterShown)
        Host->ShowStatusText(QString());
    CounterShown = false;
}

const TClueInk *TMDIChild::ScreenClueInk()
{
    if (!Host->ClueHelpShown())
        return nullptr;
    if (!ClueHelp.HasClues())
        ClueHelp.SetClues(RowRunsOf(Doc.Solution), ColumnRunsOf(Doc.Solution));
    ClueHelp.Update(Doc.Marks);
    return &ClueHelp.Ink();
}

void TMDIChild::CheckExecute()
{
    FlashCells = WrongMarks(Doc);
    CounterShown = false;
    Host->ShowStatusText(CheckText(FlashCells.size()));
    // The wrong cells stay marked until the player's next stroke.
    CheckShown = !FlashCells.empty();
    ErrorIndex = -1;
    if (CheckShown)
        ShowCellCentred(FlashCells.front().Col, FlashCells.front().Row);
    StartFlashing();
}

void TMDIChild::NextErrorExecute()
{
    if (Closed || Doc.ColCount <= 0 || Doc.RowCount <= 0)
        return;
    if (!CheckShown) {
        CheckExecute();
        if (!CheckShown)
            return;
    }
    ErrorIndex = (ErrorIndex + 1) % int(FlashCells.size());
    const TCellRef cell = FlashCells[size_t(ErrorIndex)];
    ShowCellCentred(cell.Col, cell.Row);
    MoveCursor(cell.Col, cell.Row);
    CounterShown = false;
    Host->ShowStatusText(QStringLiteral("Ошибка %1 из %2").arg(ErrorIndex + 1).arg(FlashCells.size()));
    FormPaint();
}

void TMDIChild::HintExecute()
{
    if (!ClueHelp.HasClues())
        ClueHelp.SetClues(RowRunsOf(Doc.Solution), ColumnRunsOf(Doc.Solution));
    ShownHint = FindHint(Doc, ClueHelp.RowClues(), ClueHelp.ColumnClues());
    CounterShown = false;
    Host->ShowStatusText(ShownHint.Reason);
    const bool onBoard = ShownHint.Kind == THint::TKind::Cell || ShownHint.Kind == THint::TKind::Contradiction;
    HintTicksLeft = onBoard ? HintTicks : 0;
    if (onBoard) {
        // The named cell, or for a whole line the part of it the view already shows.
        const bool cell = ShownHint.Kind == THint::TKind::Cell;
        const int32_t line = ShownHint.Line;
        if (ShownHint.IsColumn)
            ShowCellCentred(line, cell ? ShownHint.Cell.Row : std::clamp(View.FirstRow, 0, Doc.RowCount - 1));
        else
            ShowCellCentred(cell ? ShownHint.Cell.Col : std::clamp(View.FirstCol, 0, Doc.ColCount - 1), line);
    }
    StartFlashing();
}

void TMDIChild::StartFlashing()
{
    if (!FlashTimer) {
        FlashTimer = new QTimer(this);
        FlashTimer->setInterval(FlashTickMs);
        connect(FlashTimer, &QTimer::timeout, this, [this] { FlashTimerTimer(); });
    }
    if (HintTicksLeft > 0)
        FlashTimer->start();
    RepaintBoard(LastHighlight.x(), LastHighlight.y());
}

void TMDIChild::FlashTimerTimer()
{
    HintTicksLeft = std::max(HintTicksLeft - 1, 0);
    if (HintTicksLeft == 0)
        FlashTimer->stop();
    RepaintBoard(LastHighlight.x(), LastHighlight.y());
}

void TMDIChild::DrawHelpOverlay()
{
    if (Closed || (!CheckShown && HintTicksLeft == 0 && !CursorShown))
        return;
    const int a = CellSize;
    if (a <= 0)
        return;
    if (CursorShown) {
        const QPoint p = CellCentre(CursorCol, CursorRow);
        DrawHighlight(BackBuffer, View, a, Doc, p.x(), p.y());
    }
    QPainter painter(&BackBuffer);
    // Nothing of the help strays under the close-up's scroll strips.
    if (CloseUp)
        painter.setClipRect(QRect(QPoint(0, 0), CloseUpSize()));
    const TBoardOrigins &o = View.Origins;
    auto cellRect = [&](int32_t col, int32_t row) {
        return QRect(o.GridLeft + a * (col - View.FirstCol), o.GridTop + a * (row - View.FirstRow), a + 1, a + 1);
    };
    auto shown = [&](int32_t col, int32_t row) {
        return col >= View.FirstCol && col < View.FirstCol + View.Cols && row >= View.FirstRow
            && row < View.FirstRow + View.Rows;
    };
    if (CheckShown) {
        // A slash as well as a colour: the mark reads without telling red from black.
        const int w = std::max(2, a / 8);
        for (const TCellRef &cell : FlashCells) {
            if (!shown(cell.Col, cell.Row))
                continue;
            const QRect r = cellRect(cell.Col, cell.Row).adjusted(w, w, -w - 1, -w - 1);
            TwoColourPen(painter, QColor(WrongMarkInk), w, [&] { painter.drawLine(r.bottomLeft(), r.topRight()); });
        }
    }
    const int32_t hinted = ShownHint.Line - (ShownHint.IsColumn ? View.FirstCol : View.FirstRow);
    if (HintTicksLeft > 0 && hinted >= 0 && hinted < (ShownHint.IsColumn ? View.Cols : View.Rows)) {
        const bool wrong = ShownHint.Kind == THint::TKind::Contradiction;
        const int line = ShownHint.Line;
        // The line with the clue cells the view shows of it, wherever the view is scrolled.
        const QRect band = ShownHint.IsColumn
            ? QRect(o.GridLeft + a * (line - View.FirstCol), o.BoardTop, a + 1, a * (View.ColClues + View.Rows) + 1)
            : QRect(o.BoardLeft, o.GridTop + a * (line - View.FirstRow), a * (View.RowClues + View.Cols) + 1, a + 1);
        if (!wrong && HintTicksLeft % 2 == 0 && shown(ShownHint.Cell.Col, ShownHint.Cell.Row))
            painter.fillRect(cellRect(ShownHint.Cell.Col, ShownHint.Cell.Row).adjusted(1, 1, -1, -1),
                             QColor(0, 190, 0, 170));
        TwoColourPen(painter, QColor(wrong ? ContradictionFrameInk : HintFrameInk), 3,
                     [&] { painter.drawRect(band.adjusted(-1, -1, 0, 0)); });
    }
    if (CursorShown && shown(CursorCol, CursorRow)) {
        // The keyboard's cell: a thick frame of two colours, seen on empty, crossed and filled cells.
        const QRect r = cellRect(CursorCol, CursorRow);
        const int w = std::max(2, a / 10);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(CursorOuterInk), w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(r).adjusted(w / 2.0, w / 2.0, -w / 2.0 - 1, -w / 2.0 - 1));
        painter.setPen(QPen(QColor(CursorInnerInk), w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(r).adjusted(w * 1.5, w * 1.5, -w * 1.5 - 1, -w * 1.5 - 1));
    }
}
