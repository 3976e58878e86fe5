// The close-up's overview.
#include "board/BoardOverview.h"

#include "board/CHILDWIN.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int Margin = 4;  // from the clue areas
constexpr int Border = 1;
constexpr int MinSide = 24;  // smaller than this it shows nothing worth the corner

} // namespace

TBoardOverview::TBoardOverview(TMDIChild *board) : QWidget(board), Board(board)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Обзор: щелчок переводит вид"));
    hide();
}

void TBoardOverview::Follow()
{
    const PuzzleDocument &doc = Board->Doc;
    // The empty corner between the clue areas: there it hides no cell and no clue.
    const TBoardView &v = Board->View;
    const QSize corner(v.Origins.GridLeft - 2 * Margin, v.Origins.GridTop - 2 * Margin);
    // Only while part of the board is out of sight.
    const bool needed = Board->CloseUp && Board->Host->OverviewShown() && doc.ColCount > 0 && doc.RowCount > 0
        && (v.Cols < doc.ColCount || v.Rows < doc.RowCount) && corner.width() > 0 && corner.height() > 0;
    CellScale = needed ? std::min({1.0, double(corner.width() - 2 * Border) / doc.ColCount,
                                   double(corner.height() - 2 * Border) / doc.RowCount})
                       : 0;
    const QSize side(int(doc.ColCount * CellScale) + 2 * Border, int(doc.RowCount * CellScale) + 2 * Border);
    if (!needed || side.width() < MinSide || side.height() < MinSide) {
        hide();
        return;
    }
    const QRect place(QPoint(Margin + (corner.width() - side.width()) / 2, Margin + (corner.height() - side.height()) / 2),
                      side);
    if (geometry() != place)
        setGeometry(place);
    bool changed = !isVisible();
    if (Picture.size() != QSize(doc.ColCount, doc.RowCount) || Shown != doc.Marks) {
        Shown = doc.Marks;
        Picture = QImage(doc.ColCount, doc.RowCount, QImage::Format_RGB32);
        for (int r = 0; r < doc.RowCount; ++r) {
            auto *line = reinterpret_cast<QRgb *>(Picture.scanLine(r));
            for (int c = 0; c < doc.ColCount; ++c) {
                const int32_t m = size_t(r) < Shown.size() && size_t(c) < Shown[size_t(r)].size() ? Shown[size_t(r)][size_t(c)]
                                                                                                   : MarkEmpty;
                line[c] = m == MarkFilled ? qRgb(0, 0, 0) : m == MarkCrossed ? qRgb(190, 190, 190) : qRgb(255, 255, 255);
            }
        }
        changed = true;
    }
    if (!(View == v)) {
        View = v;
        changed = true;
    }
    show();
    if (changed)
        update();
}

void TBoardOverview::paintEvent(QPaintEvent *)
{
    ++Paints;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 150));
    const QRectF inside(Border, Border, width() - 2 * Border, height() - 2 * Border);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, CellScale < 1);
    painter.drawImage(inside, Picture);
    // The part in view, as on the board: dark over white, so it shows on any marks.
    const QRectF seen(Border + View.FirstCol * CellScale, Border + View.FirstRow * CellScale,
                      std::min(View.Cols, Board->Doc.ColCount - View.FirstCol) * CellScale,
                      std::min(View.Rows, Board->Doc.RowCount - View.FirstRow) * CellScale);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawRect(seen.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(QPen(QColor(170, 0, 0), 1));
    painter.drawRect(seen.adjusted(0.5, 0.5, -0.5, -0.5));
}

void TBoardOverview::Centre(QPoint at)
{
    if (CellScale <= 0)
        return;
    const int col = int((at.x() - Border) / CellScale);
    const int row = int((at.y() - Border) / CellScale);
    Board->ScrollBy(col - View.FirstCol - View.Cols / 2, row - View.FirstRow - View.Rows / 2);
}

void TBoardOverview::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Centre(event->position().toPoint());
}

void TBoardOverview::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        Centre(event->position().toPoint());
}
