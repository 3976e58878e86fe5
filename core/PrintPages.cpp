// Puzzles on paper: page plans, the printed board's content, and drawing the pages.
#include "core/PrintPages.h"

#include "core/BoardGeometry.h"
#include "core/BoardRender.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// The header line: some 3 mm type.
constexpr int HeaderHeight = PaperHeaderHeight;
constexpr int HeaderPixels = 34;
// Room between the slots of a booklet page.
constexpr int SlotGap = 48;

// Where each piece starts along one direction: pieces of span cells, each overlapping the one
// before it by a cell.
std::vector<int> PieceStarts(int total, int span)
{
    std::vector<int> starts;
    for (int s = 0;; s += span - 1) {
        starts.push_back(s);
        if (s + span >= total)
            break;
    }
    return starts;
}

struct TPaperScale {
    double Factor;  // device pixels a paper pixel
    QSize Printable;  // in paper pixels
};

TPaperScale PaperScale(QPagedPaintDevice &device)
{
    const int dpi = std::max(1, device.logicalDpiX());
    const double factor = double(dpi) / PaperDpi;
    return {factor, QSize(int(device.width() / factor), int(device.height() / factor))};
}

void DrawHeader(QPainter &painter, const QRect &band, const QString &text)
{
    QFont font;
    font.setPixelSize(HeaderPixels);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void DrawPiece(QPainter &painter, const PuzzleDocument &doc, int cell, const QRect &source,
               QPoint at)
{
    const QImage piece = RenderPaperPiece(doc, cell, source);
    if (piece.isNull())
        throw std::runtime_error("Printer error: not enough memory for the page");
    painter.drawImage(at, piece);
}

// Paper gets every picture pixel as a block of device pixels. A print preview records the
// pages and shows them shrunk, where unsmoothed lines of a pixel would vanish.
bool ShrunkOnScreen(QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Picture;
}

// A page after the first; a device that cannot start one ends the job.
void NextPage(QPagedPaintDevice &device, bool &first)
{
    if (!first && !device.newPage())
        throw std::runtime_error("Printer error: a new page could not be started");
    first = false;
}

} // namespace

PuzzleDocument PaperDocument(const PuzzleDocument &doc, TPrintContent content)
{
    PuzzleDocument paper = doc;
    if (content == TPrintContent::Marks)
        return paper;
    for (TMyCrossArr *m : {&paper.RowClueStrikes, &paper.ColClueStrikes})
        for (auto &row : *m)
            std::fill(row.begin(), row.end(), 0);
    paper.Marks = MakeCrossArr(doc.RowCount, doc.ColCount);
    if (content == TPrintContent::Solution)
        for (int r = 0; r < doc.RowCount && r < int(doc.Solution.size()); ++r)
            for (int c = 0; c < doc.ColCount && c < int(doc.Solution[r].size()); ++c)
                paper.Marks[r][c] = doc.Solution[r][c] == 1 ? MarkFilled : MarkEmpty;
    return paper;
}

QSize PaperBoardCells(const PuzzleDocument &doc)
{
    return QSize(std::max(0, doc.RowClueDepth) + std::max(0, doc.ColCount) + 2,
                 std::max(0, doc.ColClueDepth) + std::max(0, doc.RowCount) + 2);
}

int FitCell(QSize cells, QSize area, int maxCell)
{
    if (cells.isEmpty() || area.isEmpty())
        return 1;
    const int fit = std::min(area.width() / cells.width(), area.height() / cells.height());
    return std::clamp(fit, 1, std::max(1, maxCell));
}

int PaperPixels(double mm)
{
    if (!std::isfinite(mm))
        return 1;
    return int(std::clamp(std::floor(mm * PaperDpi / 25.4), 1.0, double(1 << 20)));
}

TPrintPlan PlanPrint(QSize cells, QSize area, int cell)
{
    TPrintPlan plan;
    if (cells.isEmpty() || area.isEmpty())
        return plan;
    if (cell <= 0)
        cell = FitCell(cells, area);
    cell = std::clamp(cell, 1, std::max(1, std::min(area.width(), area.height()) / 2));
    plan.Cell = cell;
    const QSize whole = cells * cell;
    if (whole.width() <= area.width() && whole.height() <= area.height()) {
        plan.Sheets.push_back({QRect(QPoint(0, 0), whole),
                               QPoint((area.width() - whole.width()) / 2,
                                      (area.height() - whole.height()) / 2)});
        return plan;
    }
    const int across = area.width() / cell, down = area.height() / cell;
    for (int y : PieceStarts(cells.height(), down))
        for (int x : PieceStarts(cells.width(), across)) {
            const int w = std::min(across, cells.width() - x), h = std::min(down, cells.height() - y);
            plan.Sheets.push_back({QRect(x * cell, y * cell, w * cell, h * cell), QPoint(0, 0)});
        }
    return plan;
}

QImage RenderPaperPiece(const PuzzleDocument &doc, int a, const QRect &source)
{
    QImage piece(source.size(), QImage::Format_RGB32);
    if (piece.isNull())
        return piece;
    piece.fill(Qt::white);
    TBoardOrigins origins;
    origins.BoardLeft = a - source.x();
    origins.BoardTop = a - source.y();
    origins.GridLeft = origins.BoardLeft + a * doc.RowClueDepth;
    origins.GridTop = origins.BoardTop + a * doc.ColClueDepth;
    RenderPaperBoard(piece,
                     WholeBoardView(origins, doc.ColCount, doc.RowCount, doc.RowClueDepth,
                                    doc.ColClueDepth),
                     doc, a);
    return piece;
}

QString PaperHeader(const QString &name, const PuzzleDocument &doc, int sheet, int sheets)
{
    QString text = QStringLiteral("%1 — %2 × %3").arg(name).arg(doc.ColCount).arg(doc.RowCount);
    if (sheets > 1)
        text += QStringLiteral(", лист %1 из %2").arg(sheet).arg(sheets);
    return text;
}

int CountBoardPages(const PuzzleDocument &doc, QSize printable, double cellMm)
{
    const QSize area(printable.width(), printable.height() - HeaderHeight);
    return int(PlanPrint(PaperBoardCells(doc), area, cellMm > 0 ? PaperPixels(cellMm) : 0).Sheets.size());
}

int PaintBoardPages(QPainter &painter, QPagedPaintDevice &device, const PuzzleDocument &doc,
                    const QString &name, TPrintContent content, double cellMm,
                    const std::vector<int> &pages)
{
    const TPaperScale scale = PaperScale(device);
    const QSize area(scale.Printable.width(), scale.Printable.height() - HeaderHeight);
    const PuzzleDocument paper = PaperDocument(doc, content);
    const TPrintPlan plan = PlanPrint(PaperBoardCells(paper), area, cellMm > 0 ? PaperPixels(cellMm) : 0);
    const int count = int(plan.Sheets.size());
    painter.save();
    painter.scale(scale.Factor, scale.Factor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, ShrunkOnScreen(painter));
    bool first = true;
    try {
        for (int i = 0; i < count; ++i) {
            if (!pages.empty() && std::find(pages.begin(), pages.end(), i + 1) == pages.end())
                continue;
            NextPage(device, first);
            const TPrintSheet &sheet = plan.Sheets[i];
            // The header stays just above the board, wherever the board is centred.
            DrawHeader(painter, QRect(sheet.Target, QSize(scale.Printable.width() - sheet.Target.x(), HeaderHeight)),
                       PaperHeader(name, doc, i + 1, count));
            DrawPiece(painter, paper, plan.Cell, sheet.Source, sheet.Target + QPoint(0, HeaderHeight));
        }
    } catch (...) {
        painter.restore();
        throw;
    }
    painter.restore();
    return count;
}

std::vector<std::vector<TBookletSlot>> PlanBooklet(const std::vector<TBookletPuzzle> &puzzles,
                                                   QSize printable, int perPage, int minCell,
                                                   int headerHeight)
{
    perPage = std::max(1, perPage);
    // As square a grid as the count allows, with more slots along the page's long edge.
    int longSide = int(std::ceil(std::sqrt(double(perPage))));
    int shortSide = (perPage + longSide - 1) / longSide;
    const bool portrait = printable.height() >= printable.width();
    const int cols = portrait ? shortSide : longSide, rows = portrait ? longSide : shortSide;
    const QSize slot((printable.width() - SlotGap * (cols - 1)) / cols,
                     (printable.height() - SlotGap * (rows - 1)) / rows);
    std::vector<std::vector<TBookletSlot>> pages;
    std::vector<TBookletSlot> page;
    for (int i = 0; i < int(puzzles.size()); ++i) {
        const QSize cells = PaperBoardCells(puzzles[i].Doc);
        const bool alone = perPage == 1
            || FitCell(cells, QSize(slot.width(), slot.height() - headerHeight)) < minCell;
        // The page being filled stays open, so that big puzzles leave no half-empty pages.
        if (alone) {
            pages.push_back({{i, QRect(QPoint(0, 0), printable)}});
            continue;
        }
        const int k = int(page.size());
        page.push_back({i, QRect(QPoint((k % cols) * (slot.width() + SlotGap),
                                        (k / cols) * (slot.height() + SlotGap)),
                                 slot)});
        if (int(page.size()) == cols * rows)
            pages.push_back(std::exchange(page, {}));
    }
    if (!page.empty())
        pages.push_back(page);
    return pages;
}

int PaintBooklet(QPainter &painter, QPagedPaintDevice &device,
                 const std::vector<TBookletPuzzle> &puzzles, bool solutions, double cellMm,
                 int perPage)
{
    const TPaperScale scale = PaperScale(device);
    const int wanted = cellMm > 0 ? PaperPixels(cellMm) : PaperPixels(6.0);
    const int minCell = cellMm > 0 ? wanted : PaperPixels(2.0);
    const auto plan = PlanBooklet(puzzles, scale.Printable, perPage, minCell, HeaderHeight);
    painter.save();
    painter.scale(scale.Factor, scale.Factor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, ShrunkOnScreen(painter));
    bool first = true;
    int count = 0;
    try {
        for (const bool answers : {false, true}) {
            if (answers && !solutions)
                break;
            for (const auto &page : plan) {
                NextPage(device, first);
                ++count;
                for (const TBookletSlot &slot : page) {
                    const TBookletPuzzle &puzzle = puzzles[slot.Puzzle];
                    const QSize cells = PaperBoardCells(puzzle.Doc);
                    const QSize area(slot.Area.width(), slot.Area.height() - HeaderHeight);
                    const int cell = FitCell(cells, area, wanted);
                    const QSize board = cells * cell;
                    const QString name = answers ? QStringLiteral("Ответ: ") + puzzle.Name : puzzle.Name;
                    const PuzzleDocument paper = PaperDocument(
                        puzzle.Doc, answers ? TPrintContent::Solution : TPrintContent::Blank);
                    const QPoint at(slot.Area.left() + std::max(0, (area.width() - board.width()) / 2),
                                    slot.Area.top() + HeaderHeight);
                    DrawHeader(painter, QRect(at.x(), slot.Area.top(), slot.Area.right() + 1 - at.x(), HeaderHeight),
                               PaperHeader(name, puzzle.Doc, 1, 1));
                    DrawPiece(painter, paper, cell, QRect(QPoint(0, 0), board), at);
                }
            }
        }
    } catch (...) {
        painter.restore();
        throw;
    }
    painter.restore();
    return count;
}
