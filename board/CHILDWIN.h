// The board window: plays one puzzle document inside the main window's workspace.
#pragma once

#include "core/BoardGeometry.h"
#include "core/BoardRender.h"
#include "board/BoardHost.h"
#include "core/ClueHelp.h"
#include "core/Hint.h"
#include "core/MoveHistory.h"
#include "format/PuzzleDocument.h"

#include <QImage>
#include <QWidget>

// The help's marks over the board; the dark ones are traced over white, so that each keeps
// 4.5 : 1 on white cells, black cells and the clue areas alike.
inline constexpr QRgb WrongMarkInk = qRgb(170, 0, 0);
inline constexpr QRgb HintFrameInk = qRgb(0, 110, 0);
inline constexpr QRgb ContradictionFrameInk = qRgb(170, 60, 0);
inline constexpr QRgb CursorOuterInk = qRgb(0, 0, 150);  // the keyboard's cell, outside
inline constexpr QRgb CursorInnerInk = qRgb(255, 220, 0);

class QLabel;
class TBoardOverview;
class QScrollBar;
class QMdiSubWindow;
class QTimer;
class QToolButton;

class TMDIChild : public QWidget {
public:
    explicit TMDIChild(TBoardHost *host);
    ~TMDIChild() override;

    // The document and what only memory keeps of it.
    PuzzleDocument Doc;
    QString FileName;
    bool Modified = false;

    // Geometry of the latest render.
    int32_t CellSize = 0;
    uint8_t ZoomPercent = 0;
    TBoardOrigins Origins;
    TBoardView View;  // the part of the board the latest render showed; hit tests go by it
    int32_t HoverX = 0;
    int32_t HoverY = 0;

    QImage BackBuffer;
    QImage BackgroundImage;

    // Stroke state; none of it is reset when a stroke ends.
    bool MouseIsDown = false;
    uint8_t StrokeButton = 0;  // 0 left, 1 right, 2 middle
    int32_t StrokeMode = 0;    // 0 set, 10 clear filled cells, -10 clear crossed cells
    int32_t LastCol = 0;       // 1-based; 0 until a cell has been touched
    int32_t LastRow = 0;
    // The pointer's cell at the stroke's latest event, counted on the whole board (it may lie
    // off the board): a drag goes over every cell between it and the next one.
    int32_t DragCol = 0;
    int32_t DragRow = 0;
    bool VictoryShown = false;  // the box was shown and the marks have not left the solution since

    TMoveHistory History;

    QTimer *Timer1 = nullptr;
    QWidget *Panel1 = nullptr;
    QToolButton *bStop = nullptr;
    QToolButton *bPause = nullptr;
    QToolButton *bPlay = nullptr;
    QLabel *Label2 = nullptr;

    // Takes a freshly read document: shows its play time, zooms to 100 % and paints.
    void LoadDocument(PuzzleDocument document);

    // Sizes the back buffer to the area and returns the cell that fits the board in it.
    int32_t FitCellSize(int W, int H, int NC, int NR);
    void ApplyZoom(int percent);
    // Renders the document into a target and keeps the origins of that render.
    void RenderBoard(QImage &target, int W, int H, int a, bool screen);
    void RepaintBoard(int X, int Y);
    void FormPaint();
    int DrawingWidth() const;
    int DrawingHeight() const;

    void FormMouseDown(uint8_t button, int X, int Y);
    void FormMouseMove(int X, int Y);
    void FormMouseUp(int X, int Y);

    void FormActivate();
    void FormDeactivate();
    // Runs the close question; true when the window may go. DuringExit makes Cancel refuse.
    bool FormClose(bool duringExit);
    bool ClosingForExit = false;

    void Timer1Timer();
    void bStopClick();
    void bPauseClick();
    void bPlayClick();
    void StartClock();
    void Clear1Execute();
    void Undo1Execute();
    void Redo1Execute();
    // While a stroke is held at an edge of the close-up, the board goes on scrolling with it.
    QTimer *ScrollTimer = nullptr;
    void ScrollTimerTimer();
    static constexpr int ScrollTimerMs = 80;

    // Help for the player; all of it is off or idle until asked for.
    int32_t CursorCol = 0;  // the keyboard's cell, 0-based
    int32_t CursorRow = 0;
    int HeldKey = 0;        // the key standing in for a held button; 0 when none
    bool CursorShown = false;
    TClueHelp ClueHelp;
    // Keys as the board plays them; false when the key is not the board's.
    bool KeyDown(int key, bool autoRepeat);
    bool KeyUp(int key, bool autoRepeat);
    void CheckExecute();
    // Moves the keyboard's cell, and the view, to the next cell the check found wrong.
    void NextErrorExecute();
    void HintExecute();
    // Close-up: the board at a legible cell, scrolled in whole cells with its clue areas pinned.
    bool CloseUp = false;
    int32_t CloseUpCell = 0;
    TCloseUpScroll Scroll;
    void SetCloseUp(bool on);
    TBoardOverview *Overview = nullptr;  // the whole board small in a corner of the close-up
    // Changes the close-up cell by steps of CloseUpStepPx; nothing outside close-up.
    void StepCloseUpCell(int steps);
    void ScrollBy(int cols, int rows, int rowClues = 0, int colClues = 0);
    static constexpr int CloseUpStepPx = 4;
    static constexpr int MaxCloseUpCell = 96;
    // A fitted cell below this opens the board in close-up.
    static constexpr int MinFittedCell = 8;

    QMdiSubWindow *SubWindow() const;
    // The decoded picture, or black of the given size when it is missing or not a JPEG.
    static QImage LoadBackdrop(const QString &path, QSize outer);

protected:
    void paintEvent(QPaintEvent *event) override;
    // Copies region of the back buffer into the painter's device when it is a plain image; false
    // when the painter has to do it.
    bool CopyToDevice(QPainter &painter, const QRegion &region) const;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    friend class TBoardOverview;
    void FormCreate();
    void FormResize();
    void StrikeClue(int X, int Y);
    void Victory(int X, int Y);
    // The drag table on one cell of the stroke, recorded in the history.
    void DragOnto(int32_t col, int32_t row);
    // Every cell on the way from the stroke's last pointer cell to this one, in order.
    void DragTo(int32_t col, int32_t row);
    // The board cell under a point; in close-up a point beyond the shown cells counts as the
    // shown edge, since the board scrolls to what lies beyond.
    void PointerCell(int X, int Y, int32_t *col, int32_t *row) const;
    void NoteStrokeChange();
    void HistoryStep(bool back);
    bool StrokeChanged = false;  // the stroke in progress has changed a cell
    size_t StrokeBase = 0;       // the undo history's size when the stroke began
    QPoint DragPoint;            // the stroke's latest pointer position, for the scroll timer
    // Close-up helpers, kept apart from the fitted board's steps.
    // The area a close-up shows: the drawing area less the scroll strips.
    QSize CloseUpSize() const;
    TBoardView CloseUpArea(TCloseUpScroll *maximum);
    void PlaceScrollBars();
    bool CloseUpKey(QKeyEvent *event);
    void CloseUpWheel(QWheelEvent *event);
    // Scrolls a close-up so that the cell is shown whole.
    void ShowCell(int32_t col, int32_t row);
    // The same, but a cell out of sight is brought to the middle of the view.
    void ShowCellCentred(int32_t col, int32_t row);
    // True when the close-up scrolled.
    bool AutoScroll(int X, int Y);
    int DeviceScale() const;

    TBoardCanvas Canvas;
    QScrollBar *HScroll = nullptr;
    QScrollBar *VScroll = nullptr;
    QScrollBar *RowClueScroll = nullptr;  // a row clue area deeper than the view shows
    QScrollBar *ColClueScroll = nullptr;
    bool BarsBelow = false, BarsRight = false;  // the close-up's scroll strips
    bool Syncing = false;  // the scroll bars are being set from Scroll

    // Help for the player (ChildHelp.cpp).
    QPoint CellCentre(int32_t col, int32_t row) const;
    void MoveCursor(int32_t col, int32_t row);
    void ReleaseHeldKey();
    void NoteMouseDown(int X, int Y);
    void ShowRunCounter(int X, int Y);
    void HideRunCounter();
    const TClueInk *ScreenClueInk();
    void StartFlashing();
    void FlashTimerTimer();
    void DrawHelpOverlay();
    bool CounterShown = false;
    bool StrokeInGrid = false;
    int32_t StrokeFirstCol = 0;
    int32_t StrokeFirstRow = 0;
    int WheelDelta = 0;
    QPoint LastHighlight;
    std::vector<TCellRef> FlashCells;
    THint ShownHint;
    bool CheckShown = false;  // the check's wrong cells are marked until the next stroke
    int ErrorIndex = -1;      // the wrong cell F3 went to last
    int HintTicksLeft = 0;
    QTimer *FlashTimer = nullptr;

    TBoardHost *Host;
    bool Closed = false;  // past the close question: nothing is painted or ticked any more
};
