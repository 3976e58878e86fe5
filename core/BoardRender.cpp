// Draws a puzzle board into an off-screen image: backdrop, frame, clues, grid, marks, lines.
#include "core/BoardRender.h"

#include "core/Clues.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr QRgb FrameGrey = qRgb(202, 202, 202);        // frame band and struck clue cells
constexpr QRgb ClueAreaColour = qRgb(223, 255, 255);   // clue areas and the empty corner
constexpr QRgb ThinLineColour = qRgb(164, 164, 164);
constexpr QRgb ThickLineColour = qRgb(136, 136, 136);
constexpr QRgb GridWhite = qRgb(255, 255, 255);
constexpr QRgb InkBlack = qRgb(0, 0, 0);
constexpr QRgb CountBlue = qRgb(0, 0, 255);
constexpr QRgb HighlightRed = qRgb(255, 0, 0);

// 96 dpi, so that a point is 4/3 of a pixel on every target and in every test.
constexpr int DotsPerMeter96 = 3780;

// x1 <= x < x2, y1 <= y < y2.
struct TRect {
    int x1, y1, x2, y2;
    bool Empty() const { return x2 <= x1 || y2 <= y1; }
};

TRect Intersect(const TRect &p, const TRect &q)
{
    return {std::max(p.x1, q.x1), std::max(p.y1, q.y1), std::min(p.x2, q.x2),
            std::min(p.y2, q.y2)};
}

// A vertical line of a batch that all run over the same rows.
struct TVerticalLine {
    int X, Width;
    QRgb Colour;
};

// Where a single line of text of w x h pixels sits when centred in its cell. Truncating
// division keeps a box that is too big for its cell hanging out equally on both sides.
TRect CentredBox(const TRect &cell, int w, int h)
{
    const int left = cell.x1 + ((cell.x2 - cell.x1) - w) / 2;
    const int top = cell.y1 + ((cell.y2 - cell.y1) - h) / 2;
    return {left, top, left + w, top + h};
}

QImage Dpi96Image(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeter96);
    image.setDotsPerMeterY(DotsPerMeter96);
    return image;
}

// Glyphs are smoothed: at a quarter of the cell the digits are only a few pixels high, and
// without smoothing they turn into blots. A smoothed number depends on what lies under it, so
// the fast path keeps it per background colour.
QFont BoardFont(int points, bool bold)
{
    QFont font;
    font.setPointSize(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFontMetrics BoardFontMetrics(const QFont &font)
{
    const QImage probe = Dpi96Image(1, 1);
    return QFontMetrics(font, &probe);
}

// On paper a number must keep clear of its neighbours: one wider than its cell allows is set in
// narrower type, and smaller only when the narrowest is still too wide. The choice is kept per
// text for the render.
class TNarrowing {
public:
    void SetMaxAdvance(int advance)
    {
        MaxAdvance = advance;
        Faces.clear();
    }

    bool Active() const { return MaxAdvance > 0; }

    struct TFace {
        QFont Font;
        QFontMetrics Metrics;
    };

    // The face for text, or null when the render's own face keeps within the limit.
    const TFace *For(const QString &text, const QFont &font, const QFontMetrics &metrics)
    {
        if (MaxAdvance <= 0 || metrics.horizontalAdvance(text) <= MaxAdvance)
            return nullptr;
        const auto found = Faces.find(text);
        if (found != Faces.end())
            return &found->second;
        QFont narrow = font;
        bool fits = false;
        for (int stretch = 95; stretch >= 55 && !fits; stretch -= 5) {
            narrow.setStretch(stretch);
            fits = BoardFontMetrics(narrow).horizontalAdvance(text) <= MaxAdvance;
        }
        for (qreal points = font.pointSizeF() - 0.5; points >= 1 && !fits; points -= 0.5) {
            narrow.setPointSizeF(points);
            fits = BoardFontMetrics(narrow).horizontalAdvance(text) <= MaxAdvance;
        }
        return &Faces.emplace(text, TFace{narrow, BoardFontMetrics(narrow)}).first->second;
    }

private:
    int MaxAdvance = 0;
    std::unordered_map<QString, TFace> Faces;
};

void PrepareTarget(QImage &target)
{
    if (target.isNull())
        return;
    if (target.format() != QImage::Format_RGB32)
        target.convertTo(QImage::Format_RGB32);
    target.setDotsPerMeterX(DotsPerMeter96);
    target.setDotsPerMeterY(DotsPerMeter96);
}

QImage BackdropPixels(const QImage &backdrop)
{
    return backdrop.format() == QImage::Format_RGB32
        ? backdrop
        : backdrop.convertToFormat(QImage::Format_RGB32);
}

// ---- The plain surface: every primitive is one QPainter call. -------------------------------

class TPainterSurface {
public:
    explicit TPainterSurface(QImage &target)
    {
        if (target.isNull())
            return;
        Painter.begin(&target);
        Painter.setRenderHint(QPainter::Antialiasing, false);
        Painter.setRenderHint(QPainter::TextAntialiasing, true);
        Clip = {0, 0, target.width(), target.height()};
    }

    const TRect &ClipRect() const { return Clip; }

    void FillRect(const TRect &r, QRgb colour)
    {
        if (r.Empty() || !Painter.isActive())
            return;
        Painter.fillRect(QRect(r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1), QColor::fromRgb(colour));
    }

    void Pixel(int x, int y, QRgb colour) { FillRect({x, y, x + 1, y + 1}, colour); }

    // The plain surface paints the hole as well; the layer after it covers the hole anyway.
    void FillAround(const TRect &outer, const TRect &, QRgb colour) { FillRect(outer, colour); }

    void Whiten(const TRect &r, const TRect &) { FillRect(r, GridWhite); }

    void Backdrop(const QImage &backdrop, const TRect &)
    {
        if (!Painter.isActive() || backdrop.isNull())
            return;
        Painter.setCompositionMode(QPainter::CompositionMode_Source);
        Painter.drawImage(0, 0, BackdropPixels(backdrop));
        Painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    void SetFont(int points, bool bold)
    {
        Metrics.reset();
        if (points <= 0 || !Painter.isActive())
            return;
        Font = BoardFont(points, bold);
        Painter.setFont(Font);
        Metrics.emplace(BoardFontMetrics(Font));
    }

    void SetMaxAdvance(int advance) { Narrowing.SetMaxAdvance(advance); }

    void Text(const TRect &cell, const QString &text, QRgb ink, const QRgb *background)
    {
        if (!Metrics || cell.Empty())
            return;
        const TNarrowing::TFace *narrow = Narrowing.For(text, Font, *Metrics);
        const QFontMetrics &metrics = narrow ? narrow->Metrics : *Metrics;
        const TRect box = CentredBox(cell, metrics.horizontalAdvance(text), metrics.height());
        if (background)
            FillRect(Intersect(box, cell), *background);
        if (narrow)
            Painter.setFont(narrow->Font);
        Painter.setClipRect(QRect(cell.x1, cell.y1, cell.x2 - cell.x1, cell.y2 - cell.y1));
        Painter.setPen(QColor::fromRgb(ink));
        Painter.drawText(QPoint(box.x1, box.y1 + metrics.ascent()), text);
        Painter.setClipping(false);
        if (narrow)
            Painter.setFont(Font);
    }

    void Number(const TRect &cell, int value, QRgb ink, const QRgb *background, bool = false)
    {
        Text(cell, QString::number(value), ink, background);
    }

private:
    QPainter Painter;
    TRect Clip{0, 0, 0, 0};
    QFont Font;
    std::optional<QFontMetrics> Metrics;
    TNarrowing Narrowing;
};

// ---- The fast surface: direct writes to the scanlines, numbers from a glyph cache. ----------

// Fills are most of a repaint. A plain loop stores one pixel at a time unless the compiler
// vectorizes it, which it does not at -O2, so the wide stores are spelled out.
void FillPixels(QRgb *p, int n, QRgb colour)
{
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
    for (; n >= 4; n -= 4, p += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), four);
#endif
    for (; n > 0; --n)
        *p++ = colour;
}

// One row piece of inked pixels, relative to the top-left corner of the text's box; Pixels
// holds one colour per pixel from X1 on.
struct TInkSpan {
    int Dy, X1;
    std::vector<QRgb> Pixels;
};

struct TInkRun {
    int Width = 0;
    int Height = 0;
    std::vector<TInkSpan> Spans;
};

// Draws the text once the way the plain surface does over a plain background, and keeps the
// pixels that the text changed.
TInkRun RasterizeText(const QFont &font, const QFontMetrics &metrics, const QString &text, QRgb ink,
                      QRgb background)
{
    TInkRun run;
    run.Width = metrics.horizontalAdvance(text);
    run.Height = metrics.height();
    // Room for glyphs that overhang their advance box.
    const int margin = run.Height + 4;
    QImage canvas = Dpi96Image(run.Width + 2 * margin, run.Height + 2 * margin);
    canvas.fill(background);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(ink));
        painter.drawText(QPoint(margin, margin + metrics.ascent()), text);
    }
    for (int y = 0; y < canvas.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        int x = 0;
        while (x < canvas.width()) {
            if (line[x] == background) {
                ++x;
                continue;
            }
            TInkSpan span{y - margin, x - margin, {}};
            while (x < canvas.width() && line[x] != background)
                span.Pixels.push_back(line[x++]);
            run.Spans.push_back(std::move(span));
        }
    }
    return run;
}

// Rendered numbers of one face, size, weight and pair of colours, found by their value.
struct TInkStyle {
    QString Family;
    int Points = 0;
    bool Bold = false;
    QRgb Ink = 0;
    QRgb Background = 0;
    std::vector<std::unique_ptr<TInkRun>> Small;  // index = value
    std::unordered_map<int, TInkRun> Large;
};

// Every number of a board is drawn again on each mouse move; rasterizing each once per style
// turns that into a handful of span fills. Single-threaded, like all rendering.
class TInkCache {
public:
    TInkStyle &Style(const QString &family, int points, bool bold, QRgb ink, QRgb background)
    {
        for (auto &style : Styles)
            if (style->Points == points && style->Bold == bold && style->Ink == ink
                && style->Background == background && style->Family == family)
                return *style;
        // A handful of zoom steps stay warm; a pointer from here lives for one render only.
        if (Styles.size() >= MaxStyles)
            Styles.erase(Styles.begin());
        auto style = std::make_unique<TInkStyle>();
        style->Family = family;
        style->Points = points;
        style->Bold = bold;
        style->Ink = ink;
        style->Background = background;
        Styles.push_back(std::move(style));
        return *Styles.back();
    }

    // The reference is good until the next call.
    static const TInkRun &Find(TInkStyle &style, const QFont &font, const QFontMetrics &metrics,
                               int value)
    {
        if (value >= 0 && value < SmallLimit) {
            const auto index = static_cast<size_t>(value);
            if (index >= style.Small.size())
                style.Small.resize(index + 1);
            if (!style.Small[index])
                style.Small[index] = std::make_unique<TInkRun>(
                    RasterizeText(font, metrics, QString::number(value), style.Ink, style.Background));
            return *style.Small[index];
        }
        auto it = style.Large.find(value);
        if (it != style.Large.end())
            return it->second;
        if (style.Large.size() >= MaxLarge)
            style.Large.clear();
        return style.Large
            .emplace(value, RasterizeText(font, metrics, QString::number(value), style.Ink, style.Background))
            .first->second;
    }

private:
    static constexpr size_t MaxStyles = 48;  // a few zoom steps, two backgrounds, three inks
    static constexpr int SmallLimit = 4096;  // lines are at most a thousand cells long
    static constexpr size_t MaxLarge = 1024;
    std::vector<std::unique_ptr<TInkStyle>> Styles;
};

TInkCache &InkCache()
{
    static TInkCache cache;
    return cache;
}

class TRawSurface {
public:
    explicit TRawSurface(QImage &target)
        : Target(target)
    {
        if (target.isNull())
            return;
        Bits = reinterpret_cast<QRgb *>(target.bits());
        Stride = target.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
        Width = target.width();
        Height = target.height();
        Clip = {0, 0, Width, Height};
    }

    // Nothing is drawn outside r from here on; a part of the board drawn again within its clip
    // comes out as the whole board has it there.
    void SetClip(const TRect &r) { Clip = Intersect(r, {0, 0, Width, Height}); }
    const TRect &ClipRect() const { return Clip; }

    void FillRect(const TRect &r, QRgb colour)
    {
        const TRect c = Intersect(r, Clip);
        if (c.Empty())
            return;
        for (int y = c.y1; y < c.y2; ++y)
            FillPixels(Bits + y * Stride + c.x1, c.x2 - c.x1, colour);
    }

    void Pixel(int x, int y, QRgb colour)
    {
        if (x >= Clip.x1 && y >= Clip.y1 && x < Clip.x2 && y < Clip.y2)
            Bits[y * Stride + x] = colour;
    }

    // Inside the grid its white fill is still untouched when the marks come, and no mark reaches
    // into another cell's inside, so white written there would change nothing.
    void Whiten(const TRect &r, const TRect &freshGrid)
    {
        if (r.x1 >= freshGrid.x1 && r.y1 >= freshGrid.y1 && r.x2 <= freshGrid.x2
            && r.y2 <= freshGrid.y2)
            return;
        FillRect(r, GridWhite);
    }

    // All the lines over the same rows, drawn a row at a time rather than a line at a time:
    // the same pixels in the same order, without walking down the image once per line.
    void VerticalLines(int y1, int y2, const std::vector<TVerticalLine> &lines)
    {
        const int from = std::max(y1, Clip.y1);
        const int to = std::min(y2, Clip.y2);
        for (int y = from; y < to; ++y) {
            QRgb *line = Bits + y * Stride;
            for (const TVerticalLine &l : lines)
                for (int x = std::max(l.X, Clip.x1); x < std::min(l.X + l.Width, Clip.x2); ++x)
                    line[x] = l.Colour;
        }
    }

    // Skips the hole, which the next layer paints over: on a large board that is most of the
    // screen, and the copy is the biggest single cost of a repaint.
    void FillAround(const TRect &outer, const TRect &hole, QRgb colour)
    {
        const TRect h = Intersect(hole, outer);
        if (h.Empty()) {
            FillRect(outer, colour);
            return;
        }
        FillRect({outer.x1, outer.y1, outer.x2, h.y1}, colour);
        FillRect({outer.x1, h.y1, h.x1, h.y2}, colour);
        FillRect({h.x2, h.y1, outer.x2, h.y2}, colour);
        FillRect({outer.x1, h.y2, outer.x2, outer.y2}, colour);
    }

    void Backdrop(const QImage &backdrop, const TRect &hole)
    {
        if (!Bits || backdrop.isNull())
            return;
        const QImage pixels = BackdropPixels(backdrop);
        const int x0 = Clip.x1;
        const int w = std::min(Clip.x2, pixels.width());
        const int h = std::min(Clip.y2, pixels.height());
        if (w <= x0)
            return;
        const TRect skip = Intersect(hole, {x0, Clip.y1, w, h});
        for (int y = Clip.y1; y < h; ++y) {
            QRgb *line = Bits + y * Stride;
            const auto *from = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
            if (skip.Empty() || y < skip.y1 || y >= skip.y2) {
                std::memcpy(line + x0, from + x0, sizeof(QRgb) * (w - x0));
            } else {
                std::memcpy(line + x0, from + x0, sizeof(QRgb) * (skip.x1 - x0));
                std::memcpy(line + skip.x2, from + skip.x2, sizeof(QRgb) * (w - skip.x2));
            }
        }
    }

    void SetFont(int points, bool bold)
    {
        Points = 0;
        Metrics.reset();
        if (points <= 0 || !Bits)
            return;
        Points = points;
        Bold = bold;
        Font = BoardFont(points, bold);
        Metrics.emplace(BoardFontMetrics(Font));
    }

    // plainCell: the whole cell is in the background colour already, so a number prepared over
    // that colour can be copied in. Otherwise the smoothed edges must meet what lies beneath,
    // and the number is drawn as the plain surface draws it.
    void SetMaxAdvance(int advance) { Narrowing.SetMaxAdvance(advance); }

    void Number(const TRect &cell, int value, QRgb ink, const QRgb *background, bool plainCell = false)
    {
        if (!Metrics || cell.Empty())
            return;
        const TRect clip = Intersect(cell, Clip);
        // Nothing of the cell is to be drawn: the plain surface would change no pixel either.
        if (clip.Empty())
            return;
        // Only paper narrows; the screen's numbers never become texts on the fast path.
        if (Narrowing.Active()) {
            const QString text = QString::number(value);
            if (const TNarrowing::TFace *narrow = Narrowing.For(text, Font, *Metrics)) {
                PainterText(cell, text, ink, background, narrow->Font, narrow->Metrics);
                return;
            }
        }
        // A number without a box of its own over a cell of one colour looks as if it had a box
        // of that colour: the counts in the frame band are such numbers.
        QRgb under = 0;
        if (background && plainCell)
            under = *background;
        else if (background || !UniformColour(clip, &under)) {
            PainterText(cell, QString::number(value), ink, background, Font, *Metrics);
            return;
        }
        if (clip.Empty())
            return;
        TInkStyle &style = InkCache().Style(Font.family(), Points, Bold, ink, under);
        const TInkRun &run = TInkCache::Find(style, Font, *Metrics, value);
        const TRect box = CentredBox(cell, run.Width, run.Height);
        for (const TInkSpan &span : run.Spans) {
            const int y = box.y1 + span.Dy;
            if (y < clip.y1 || y >= clip.y2)
                continue;
            const int from = box.x1 + span.X1;
            const int x1 = std::max(from, clip.x1);
            const int x2 = std::min(from + static_cast<int>(span.Pixels.size()), clip.x2);
            if (x1 < x2)
                std::memcpy(Bits + y * Stride + x1, span.Pixels.data() + (x1 - from), sizeof(QRgb) * (x2 - x1));
        }
    }

private:
    bool UniformColour(const TRect &r, QRgb *colour) const
    {
        if (r.Empty())
            return false;
        const QRgb first = Bits[r.y1 * Stride + r.x1];
        for (int y = r.y1; y < r.y2; ++y) {
            const QRgb *line = Bits + y * Stride;
            for (int x = r.x1; x < r.x2; ++x)
                if (line[x] != first)
                    return false;
        }
        *colour = first;
        return true;
    }

    // The plain surface's text, on the same pixels.
    void PainterText(const TRect &cell, const QString &text, QRgb ink, const QRgb *background,
                     const QFont &font, const QFontMetrics &metrics)
    {
        const TRect box = CentredBox(cell, metrics.horizontalAdvance(text), metrics.height());
        if (background)
            FillRect(Intersect(box, cell), *background);
        if (!Painter.isActive()) {
            Painter.begin(&Target);
            Painter.setRenderHint(QPainter::Antialiasing, false);
            Painter.setRenderHint(QPainter::TextAntialiasing, true);
        }
        Painter.setFont(font);
        const TRect clip = Intersect(cell, Clip);
        Painter.setClipRect(QRect(clip.x1, clip.y1, clip.x2 - clip.x1, clip.y2 - clip.y1));
        Painter.setPen(QColor::fromRgb(ink));
        Painter.drawText(QPoint(box.x1, box.y1 + metrics.ascent()), text);
        Painter.setClipping(false);
    }

    QImage &Target;
    TRect Clip{0, 0, 0, 0};
    QPainter Painter;
    int Points = 0;
    bool Bold = false;
    QRgb *Bits = nullptr;
    qsizetype Stride = 0;
    int Width = 0;
    int Height = 0;
    QFont Font;
    std::optional<QFontMetrics> Metrics;
    TNarrowing Narrowing;
};

// ---- Primitives shared by both surfaces. ----------------------------------------------------

// A line from P that stops one pixel short of Q; axis-parallel, or an exact diagonal of width 1.
// A width-2 line puts its second pixel right of a vertical path and below a horizontal one.
template <class TSurface>
void DrawLine(TSurface &s, int px, int py, int qx, int qy, int width, QRgb colour)
{
    if (py == qy) {
        const int x1 = px <= qx ? px : qx + 1;
        const int x2 = px <= qx ? qx : px + 1;
        s.FillRect({x1, py, x2, py + width}, colour);
        return;
    }
    if (px == qx) {
        const int y1 = py <= qy ? py : qy + 1;
        const int y2 = py <= qy ? qy : py + 1;
        s.FillRect({px, y1, px + width, y2}, colour);
        return;
    }
    const int steps = std::abs(qx - px);
    if (steps != std::abs(qy - py) || width != 1)
        throw std::invalid_argument("board lines are axis-parallel or exact diagonals");
    const int sx = qx > px ? 1 : -1;
    const int sy = qy > py ? 1 : -1;
    for (int i = 0; i < steps; ++i)
        s.Pixel(px + i * sx, py + i * sy, colour);
}

template <class TSurface>
void DrawFrame(TSurface &s, const TRect &r, QRgb colour)
{
    if (r.Empty())
        return;
    s.FillRect({r.x1, r.y1, r.x2, r.y1 + 1}, colour);
    s.FillRect({r.x1, r.y2 - 1, r.x2, r.y2}, colour);
    s.FillRect({r.x1, r.y1, r.x1 + 1, r.y2}, colour);
    s.FillRect({r.x2 - 1, r.y1, r.x2, r.y2}, colour);
}

// Lines from (X, top) that stop short of (X, bottom), each drawn in turn.
template <class TSurface>
void DrawVerticalLines(TSurface &s, int top, int bottom, const std::vector<TVerticalLine> &lines)
{
    for (const TVerticalLine &l : lines)
        DrawLine(s, l.X, top, l.X, bottom, l.Width, l.Colour);
}

void DrawVerticalLines(TRawSurface &s, int top, int bottom,
                       const std::vector<TVerticalLine> &lines)
{
    if (top <= bottom)
        s.VerticalLines(top, bottom, lines);
    else
        s.VerticalLines(bottom + 1, top + 1, lines);
}

int FloorDiv(int n, int d)
{
    return n / d - ((n % d != 0) && ((n < 0) != (d < 0)) ? 1 : 0);
}

// Where the lines, cells and clue cells of a view go, and which of them come near the clip.
struct TLayout {
    TBoardOrigins O;
    int a = 0;
    int C0 = 0, NC = 0, R0 = 0, NR = 0, RK0 = 0, RK = 0, CK0 = 0, CK = 0;
    // The view reaches the far end, so what lies past the dimensions is shown as well.
    bool ToLastCol = true, ToLastRow = true, ToLastRowClue = true, ToLastColClue = true;
    TRect Clip{0, 0, 0, 0};

    TLayout(const TBoardView &v, const PuzzleDocument &doc, int cell, const TRect &clip)
        : O(v.Origins), a(cell), C0(v.FirstCol), NC(v.Cols), R0(v.FirstRow), NR(v.Rows),
          RK0(v.FirstRowClue), RK(v.RowClues), CK0(v.FirstColClue), CK(v.ColClues),
          ToLastCol(C0 + NC >= doc.ColCount), ToLastRow(R0 + NR >= doc.RowCount),
          ToLastRowClue(RK0 + RK >= doc.RowClueDepth), ToLastColClue(CK0 + CK >= doc.ColClueDepth),
          Clip(clip)
    {
    }

    bool Col(int c) const { return c >= C0 && (c < C0 + NC || ToLastCol); }
    bool Row(int r) const { return r >= R0 && (r < R0 + NR || ToLastRow); }
    bool RowClue(int k) const { return k >= RK0 && (k < RK0 + RK || ToLastRowClue); }
    bool ColClue(int k) const { return k >= CK0 && (k < CK0 + CK || ToLastColClue); }
    int X(int c) const { return O.GridLeft + a * (c - C0); }
    int Y(int r) const { return O.GridTop + a * (r - R0); }
    int Right() const { return O.BoardLeft + a * (RK + NC); }
    int Bottom() const { return O.BoardTop + a * (CK + NR); }

    TRect ColumnClueCell(int c, int k) const
    {
        return {X(c), O.GridTop - a * (k - CK0 + 1), X(c) + a, O.GridTop - a * (k - CK0)};
    }
    TRect RowClueCell(int r, int k) const
    {
        return {O.GridLeft - a * (k - RK0 + 1), Y(r), O.GridLeft - a * (k - RK0), Y(r) + a};
    }

    // The shown columns in [from, to) whose cells or lines come within two pixels of the clip;
    // the whole range when the cell size gives no order to go by.
    std::pair<int, int> Cols(int from, int to) const
    {
        from = std::max(from, C0);
        if (!ToLastCol)
            to = std::min(to, C0 + NC);
        if (a <= 0)
            return {from, to};
        return {std::max(from, C0 + FloorDiv(Clip.x1 - 2 - O.GridLeft, a) - 1),
                std::min(to, C0 + FloorDiv(Clip.x2 + 2 - O.GridLeft, a) + 2)};
    }
    std::pair<int, int> Rows(int from, int to) const
    {
        from = std::max(from, R0);
        if (!ToLastRow)
            to = std::min(to, R0 + NR);
        if (a <= 0)
            return {from, to};
        return {std::max(from, R0 + FloorDiv(Clip.y1 - 2 - O.GridTop, a) - 1),
                std::min(to, R0 + FloorDiv(Clip.y2 + 2 - O.GridTop, a) + 2)};
    }
};

// ---- The layers. ----------------------------------------------------------------------------

template <class TSurface>
void DrawStruckClueCells(TSurface &s, const TLayout &L, const PuzzleDocument &doc)
{
    for (size_t k = 0; k < doc.ColClueStrikes.size(); ++k) {
        if (!L.ColClue(int(k)))
            continue;
        const auto [from, to] = L.Cols(0, int(doc.ColClueStrikes[k].size()));
        for (int c = from; c < to; ++c)
            if (doc.ColClueStrikes[k][c] == 1)
                s.FillRect(L.ColumnClueCell(c, int(k)), FrameGrey);
    }
    const auto [from, to] = L.Rows(0, int(doc.RowClueStrikes.size()));
    for (int r = from; r < to; ++r)
        for (size_t k = 0; k < doc.RowClueStrikes[r].size(); ++k)
            if (doc.RowClueStrikes[r][k] == 1 && L.RowClue(int(k)))
                s.FillRect(L.RowClueCell(r, int(k)), FrameGrey);
}

// The ink of clue number k of a line: black unless the caller coloured it. A number the
// player struck out keeps its own look rather than the help's dimming.
QRgb ClueInkOf(const TClueInk *ink, bool isColumn, int line, int k, bool struck)
{
    if (!ink)
        return InkBlack;
    const auto &lines = isColumn ? ink->Columns : ink->Rows;
    if (line < 0 || size_t(line) >= lines.size() || k < 0 || size_t(k) >= lines[size_t(line)].size())
        return InkBlack;
    const QRgb colour = lines[size_t(line)][size_t(k)];
    return struck && colour == ClueDoneInk ? InkBlack : colour;
}

void DrawClueNumbers(TPainterSurface &s, const TLayout &L, const PuzzleDocument &doc,
                     const TClueInk *ink)
{
    PlaceClues(doc, [&](const TCluePlace &place) {
        const bool shown = place.IsColumn ? L.Col(place.Line) && L.ColClue(place.Depth)
                                          : L.Row(place.Line) && L.RowClue(place.Depth);
        if (!shown)
            return;
        const TRect cell = place.IsColumn ? L.ColumnClueCell(place.Line, place.Depth)
                                          : L.RowClueCell(place.Line, place.Depth);
        const QRgb background = place.Struck ? FrameGrey : ClueAreaColour;
        s.Text(cell, place.Text, ClueInkOf(ink, place.IsColumn, place.Line, place.Depth, place.Struck), &background);
    });
}

// The same numbers in the same cells as PlaceClues hands out, taken from the run lengths
// directly: building and cutting a text per line was most of the time of a large board.
void DrawClueNumbers(TRawSurface &s, const TLayout &L, const PuzzleDocument &doc,
                     const TClueInk *ink)
{
    // A cell within its line's depth was filled in the number's background colour by the board
    // or strike fill; one past the depth lies over the frame band or the backdrop.
    auto draw = [&](const TRect &cell, int32_t run, bool struck, bool withinDepth, QRgb colour) {
        const QRgb background = struck ? FrameGrey : ClueAreaColour;
        s.Number(cell, run, colour, &background, withinDepth);
    };
    // The last run sits next to the grid, at k = 0; a number past the depth has no strike.
    const auto [c1, c2] = L.Cols(0, doc.ColCount);
    for (int c = c1; c < c2; ++c) {
        const std::vector<int32_t> runs = LineRuns(ColumnCells(doc.Solution, c));
        const int count = static_cast<int>(runs.size());
        for (int k = 0; k < count; ++k) {
            if (!L.ColClue(k))
                continue;
            const bool struck = k < static_cast<int>(doc.ColClueStrikes.size())
                && c < static_cast<int>(doc.ColClueStrikes[k].size())
                && doc.ColClueStrikes[k][c] == 1;
            draw(L.ColumnClueCell(c, k), runs[count - 1 - k], struck, k < doc.ColClueDepth,
                 ClueInkOf(ink, true, c, k, struck));
        }
    }
    const auto [r1, r2] = L.Rows(0, doc.RowCount);
    for (int r = r1; r < r2; ++r) {
        const std::vector<int32_t> runs = LineRuns(doc.Solution[r]);
        const int count = static_cast<int>(runs.size());
        for (int k = 0; k < count; ++k) {
            if (!L.RowClue(k))
                continue;
            const bool struck = r < static_cast<int>(doc.RowClueStrikes.size())
                && k < static_cast<int>(doc.RowClueStrikes[r].size())
                && doc.RowClueStrikes[r][k] == 1;
            draw(L.RowClueCell(r, k), runs[count - 1 - k], struck, k < doc.RowClueDepth,
                 ClueInkOf(ink, false, r, k, struck));
        }
    }
}

template <class TSurface>
void DrawClueAreaLines(TSurface &s, const TLayout &L)
{
    const TBoardOrigins &o = L.O;
    const int a = L.a;
    // The first line of each area starts at the board edge, the others at the grid, which
    // leaves the empty corner without inner lines.
    for (int i = 0; i < L.RK; ++i) {
        const int x = o.BoardLeft + a * i;
        DrawLine(s, x, i == 0 ? o.BoardTop : o.GridTop, x, L.Bottom(), 1, ThinLineColour);
    }
    for (int i = 0; i < L.CK; ++i) {
        const int y = o.BoardTop + a * i;
        DrawLine(s, i == 0 ? o.BoardLeft : o.GridLeft, y, L.Right(), y, 1, ThinLineColour);
    }
}

template <class TSurface>
void DrawMarks(TSurface &s, const TLayout &L, const PuzzleDocument &doc, const TRect &freshGrid)
{
    const int a = L.a;
    const int d = a / 5;
    const auto [r1, r2] = L.Rows(0, int(doc.Marks.size()));
    for (int r = r1; r < r2; ++r) {
        const std::vector<int32_t> &row = doc.Marks[r];
        const auto [c1, c2] = L.Cols(0, int(row.size()));
        for (int c = c1; c < c2; ++c) {
            const int x1 = L.X(c);
            const int y1 = L.Y(r);
            const int x2 = x1 + a;
            const int y2 = y1 + a;
            switch (row[c]) {
            case MarkFilled:
                s.FillRect({x1 + 1, y1 + 1, x2, y2}, InkBlack);
                break;
            case MarkEmpty:
                s.Whiten({x1 + 1, y1 + 1, x2 - 1, y2 - 1}, freshGrid);
                break;
            case MarkCrossed:
                s.Whiten({x1 + 1, y1 + 1, x2 - 1, y2 - 1}, freshGrid);
                DrawLine(s, x2 - d, y2 - d, x1 + d - 1, y1 + d - 1, 1, InkBlack);
                DrawLine(s, x2 - d, y1 + d, x1 + d - 1, y2 - d + 1, 1, InkBlack);
                break;
            default:
                break;
            }
        }
    }
}

template <class TSurface>
void DrawLinesAndCounts(TSurface &s, const TLayout &L)
{
    const TBoardOrigins &o = L.O;
    const int a = L.a;
    // The counts sit in the band above the board and the lines start at its top edge, so the
    // counts may go first and the lines in one batch. The first line of a view has no count:
    // its column is not shown.
    std::vector<TVerticalLine> lines;
    lines.reserve(static_cast<size_t>(std::max(L.NC, 0)) + 1);
    for (int n = L.C0; n <= L.C0 + L.NC; ++n) {
        const int x = L.X(n);
        const bool thick = n % 5 == 0;
        if (thick && n != L.C0)
            s.Number({L.X(n - 1), o.BoardTop - a, x, o.BoardTop}, n, CountBlue, nullptr);
        lines.push_back({x, thick ? 2 : 1, thick ? ThickLineColour : ThinLineColour});
    }
    DrawVerticalLines(s, o.BoardTop, L.Bottom(), lines);
    for (int n = L.R0; n <= L.R0 + L.NR; ++n) {
        const int y = L.Y(n);
        const bool thick = n % 5 == 0;
        if (thick && n != L.R0)
            s.Number({o.BoardLeft - a, L.Y(n - 1), o.BoardLeft, y}, n, CountBlue, nullptr);
        DrawLine(s, o.BoardLeft, y, L.Right(), y, thick ? 2 : 1,
                 thick ? ThickLineColour : ThinLineColour);
    }
}

template <class TSurface>
TBoardOrigins RenderLayers(TSurface &s, const TBoardView &view, const PuzzleDocument &doc, int a,
                           bool screen, const QImage *backdrop, const TClueInk *clueInk,
                           int maxAdvance = 0)
{
    // 1. Origins, given by the view.
    const TLayout L(view, doc, a, s.ClipRect());
    const TBoardOrigins &o = L.O;
    const int boardRight = L.Right();
    const int boardBottom = L.Bottom();
    const TRect frame{o.BoardLeft - a, o.BoardTop - a, boardRight + a, boardBottom + a};
    const TRect board{o.BoardLeft, o.BoardTop, boardRight, boardBottom};
    const TRect grid{o.GridLeft, o.GridTop, o.GridLeft + a * L.NC, o.GridTop + a * L.NR};

    // 2. Backdrop, unscaled at the top-left corner. Each of the next fills is told which part
    // of it a later layer covers whole, so that a surface may leave that part alone.
    if (screen && backdrop)
        s.Backdrop(*backdrop, frame);

    // 3. One font for every text of this render.
    s.SetFont(FontPointSize(a, screen), FontBold(a));
    s.SetMaxAdvance(maxAdvance);

    // 4, 5. Grey frame, then the board over it, leaving a band one cell wide. Nothing drawn
    // before the grid's own fill reaches inside the grid.
    s.FillAround(frame, board, FrameGrey);
    s.FillAround(board, grid, ClueAreaColour);

    // 6, 7, 8. Struck clue cells, clue numbers, clue-area lines.
    DrawStruckClueCells(s, L, doc);
    DrawClueNumbers(s, L, doc, clueInk);
    DrawClueAreaLines(s, L);

    // 9, 10. White grid and the player's marks; a mark that cannot be drawn is left out.
    s.FillRect(grid, GridWhite);
    try {
        DrawMarks(s, L, doc, grid);
    } catch (...) {
    }

    // 11. Top and left board edges.
    DrawLine(s, o.BoardLeft, o.BoardTop, boardRight, o.BoardTop, 2, ThickLineColour);
    DrawLine(s, o.BoardLeft, o.BoardTop, o.BoardLeft, boardBottom, 2, ThickLineColour);

    // 12, 13, 14. Column and row lines, every fifth thick with its blue count in the band.
    DrawLinesAndCounts(s, L);
    return o;
}

TBoardView WholeView(int W, int H, const PuzzleDocument &doc, int a)
{
    return WholeBoardView(ComputeOrigins(W, H, a, doc.ColCount, doc.RowCount, doc.RowClueDepth,
                                         doc.ColClueDepth),
                          doc.ColCount, doc.RowCount, doc.RowClueDepth, doc.ColClueDepth);
}

// The four edges of each of the two red frames over the column and row under (X, Y).
std::vector<TRect> HighlightEdges(const TBoardView &view, int a, const PuzzleDocument &doc, int X, int Y)
{
    std::vector<TRect> edges;
    int32_t c = 0;
    int32_t r = 0;
    if (!ViewGridHit(view, a, X, Y, &c, &r))
        return edges;
    const TLayout L(view, doc, a, {0, 0, 0, 0});
    const TBoardOrigins &o = view.Origins;
    const TRect frames[] = {{L.X(c) + 1, o.GridTop - a * view.ColClues + 1, L.X(c) + a,
                             o.GridTop + a * view.Rows},
                            {o.GridLeft - a * view.RowClues + 1, L.Y(r) + 1,
                             o.GridLeft + a * view.Cols, L.Y(r) + a}};
    for (const TRect &f : frames) {
        if (f.Empty())
            continue;
        edges.push_back({f.x1, f.y1, f.x2, f.y1 + 1});
        edges.push_back({f.x1, f.y2 - 1, f.x2, f.y2});
        edges.push_back({f.x1, f.y1, f.x1 + 1, f.y2});
        edges.push_back({f.x2 - 1, f.y1, f.x2, f.y2});
    }
    return edges;
}

QRect ToQRect(const TRect &r)
{
    return QRect(r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1);
}

// A frame's four edges as the one box they bound: a pointer move's region then holds a few
// rectangles, not dozens of one-pixel lines, and each rectangle costs the window system a
// request. Edges that are not a whole frame (some filtered out) stay as they are.
QRegion FrameBoxes(const std::vector<QRect> &edges, const QRect &all)
{
    QRegion region;
    const bool frames = edges.size() % 4 == 0;
    for (size_t i = 0; i < edges.size(); i += frames ? 4 : 1) {
        QRect box = edges[i];
        for (size_t k = 1; frames && k < 4; ++k)
            box |= edges[i + k];
        region += box & all;
    }
    return region;
}

} // namespace

TBoardOrigins RenderBoard(QImage &target, int W, int H, const PuzzleDocument &doc, int a,
                          bool screen, const QImage *backdrop, const TClueInk *clueInk)
{
    return RenderBoardView(target, WholeView(W, H, doc, a), doc, a, screen, backdrop, clueInk);
}

TBoardOrigins RenderBoardReference(QImage &target, int W, int H, const PuzzleDocument &doc,
                                   int a, bool screen, const QImage *backdrop,
                                   const TClueInk *clueInk)
{
    return RenderBoardViewReference(target, WholeView(W, H, doc, a), doc, a, screen, backdrop,
                                clueInk);
}

TBoardOrigins RenderBoardView(QImage &target, const TBoardView &view, const PuzzleDocument &doc,
                          int a, bool screen, const QImage *backdrop, const TClueInk *clueInk)
{
    PrepareTarget(target);
    TRawSurface surface(target);
    return RenderLayers(surface, view, doc, a, screen, backdrop, clueInk);
}

TBoardOrigins RenderBoardViewReference(QImage &target, const TBoardView &view,
                                   const PuzzleDocument &doc, int a, bool screen,
                                   const QImage *backdrop, const TClueInk *clueInk)
{
    PrepareTarget(target);
    TPainterSurface surface(target);
    return RenderLayers(surface, view, doc, a, screen, backdrop, clueInk);
}

void DrawHighlight(QImage &target, const TBoardOrigins &origins, int a, const PuzzleDocument &doc,
                   int X, int Y)
{
    DrawHighlight(target,
                  WholeBoardView(origins, doc.ColCount, doc.RowCount, doc.RowClueDepth,
                                 doc.ColClueDepth),
                  a, doc, X, Y);
}

void DrawHighlight(QImage &target, const TBoardView &view, int a, const PuzzleDocument &doc,
                   int X, int Y)
{
    try {
        const std::vector<TRect> edges = HighlightEdges(view, a, doc, X, Y);
        if (edges.empty())
            return;
        PrepareTarget(target);
        TRawSurface s(target);
        for (const TRect &e : edges)
            s.FillRect(e, HighlightRed);
    } catch (...) {
    }
}

// ---- The board kept between events. --------------------------------------------------------

void TBoardCanvas::Forget()
{
    Valid = false;
}

bool TBoardCanvas::SameBoard(const TBoardView &view, const PuzzleDocument &doc, int a,
                             const QImage *backdrop, const QImage &target) const
{
    return Valid && target.size() == Base.size() && target.cacheKey() == TargetKey
        && view == View && a == CellSize && backdrop == BackdropSource
        && (backdrop ? backdrop->cacheKey() : 0) == BackdropKey && doc.ColCount == Last.ColCount
        && doc.RowCount == Last.RowCount && doc.RowClueDepth == Last.RowClueDepth
        && doc.ColClueDepth == Last.ColClueDepth
        && doc.Marks.size() == Last.Marks.size()
        && doc.RowClueStrikes.size() == Last.RowClueStrikes.size()
        && doc.ColClueStrikes.size() == Last.ColClueStrikes.size();
}

QRegion TBoardCanvas::Update(QImage &target, const TBoardView &view, const PuzzleDocument &doc,
                             int a, const QImage *backdrop, int X, int Y, const TClueInk *clueInk)
{
    PrepareTarget(target);
    if (target.isNull())
        return {};
    std::vector<TRect> dirty;
    bool whole = !SameBoard(view, doc, a, backdrop, target);
    // Cells whose mark or strike changed, each with a margin for the lines around it: drawing
    // the whole board again within a rectangle gives that rectangle exactly.
    const TLayout L(view, doc, a, {0, 0, 0, 0});
    auto mark = [&](const TRect &cell) {
        dirty.push_back({cell.x1 - 2, cell.y1 - 2, cell.x2 + 2, cell.y2 + 2});
        // Many changes at once (a victory, a clear) are drawn as one.
        if (dirty.size() > 256)
            whole = true;
    };
    // Only the part the view shows is compared: what lies outside is not drawn, and a view that
    // moves draws everything anyway. A close-up of a big board then costs what it shows.
    auto diff = [&](const TMyCrossArr &now, const TMyCrossArr &was, int first, int count, int from, int width,
                    auto &&cell) {
        for (size_t i = 0; i < now.size() && !whole; ++i)
            if (now[i].size() != was[i].size()) {
                whole = true;
                return;
            }
        const size_t end = std::min(now.size(), size_t(std::max(first, 0)) + size_t(std::max(count, 0)));
        for (size_t i = size_t(std::max(first, 0)); i < end && !whole; ++i) {
            const size_t lo = std::min(now[i].size(), size_t(std::max(from, 0)));
            const size_t hi = std::min(now[i].size(), lo + size_t(std::max(width, 0)));
            // A whole row at a time first: a pointer move changes none of them.
            if (std::equal(now[i].begin() + lo, now[i].begin() + hi, was[i].begin() + lo))
                continue;
            for (size_t j = lo; j < hi && !whole; ++j)
                if (now[i][j] != was[i][j])
                    mark(cell(int(i), int(j)));
        }
    };
    if (!whole) {
        const TBoardView &v = view;
        diff(doc.Marks, Last.Marks, v.FirstRow, v.Rows, v.FirstCol, v.Cols, [&](int r, int c) {
            return TRect{L.X(c), L.Y(r), L.X(c) + a, L.Y(r) + a};
        });
        diff(doc.ColClueStrikes, Last.ColClueStrikes, v.FirstColClue, v.ColClues, v.FirstCol, v.Cols,
             [&](int k, int c) { return L.ColumnClueCell(c, k); });
        diff(doc.RowClueStrikes, Last.RowClueStrikes, v.FirstRow, v.Rows, v.FirstRowClue, v.RowClues,
             [&](int r, int k) { return L.RowClueCell(r, k); });
        // A clue whose colour changed: a number missing from either side is black.
        const TClueInk none;
        const TClueInk &now = clueInk ? *clueInk : none;
        for (int column = 0; column < 2 && !whole; ++column) {
            const auto &is = column ? now.Columns : now.Rows;
            const auto &was = column ? LastInk.Columns : LastInk.Rows;
            for (size_t line = 0; line < std::max(is.size(), was.size()) && !whole; ++line) {
                const size_t n = std::max(line < is.size() ? is[line].size() : 0,
                                          line < was.size() ? was[line].size() : 0);
                for (size_t k = 0; k < n && !whole; ++k) {
                    const QRgb p = line < is.size() && k < is[line].size() ? is[line][k] : InkBlack;
                    const QRgb q = line < was.size() && k < was[line].size() ? was[line][k] : InkBlack;
                    if (p != q)
                        mark(column ? L.ColumnClueCell(int(line), int(k)) : L.RowClueCell(int(line), int(k)));
                }
            }
        }
    }

    const TRect all{0, 0, target.width(), target.height()};
    auto copy = [&](const TRect &r) {
        const TRect c = Intersect(r, all);
        if (c.Empty())
            return;
        // The frames' edges are a pixel wide and a board tall: a row's call to scanLine (which
        // checks for sharing) or to memcpy cost more than its pixels.
        QRgb *to = reinterpret_cast<QRgb *>(target.bits());
        const QRgb *from = reinterpret_cast<const QRgb *>(Base.constBits());
        const qsizetype toStride = target.bytesPerLine() / 4, fromStride = Base.bytesPerLine() / 4;
        const int width = c.x2 - c.x1;
        for (int y = c.y1; y < c.y2; ++y) {
            QRgb *t = to + y * toStride + c.x1;
            const QRgb *f = from + y * fromStride + c.x1;
            if (width <= 8)
                std::copy(f, f + width, t);
            else
                std::memcpy(t, f, sizeof(QRgb) * size_t(width));
        }
    };
    QRegion changed;
    // The new frames, kept whole for the next update; edges may lose those already standing.
    const std::vector<TRect> frames = HighlightEdges(view, a, doc, X, Y);
    std::vector<TRect> edges = frames;
    if (whole) {
        Base = Dpi96Image(target.width(), target.height());
        Base.fill(GridWhite);
        RenderBoardView(Base, view, doc, a, true, backdrop, clueInk);
        copy(all);
        changed = ToQRect(all);
    } else {
        {
            TRawSurface s(Base);
            for (const TRect &r : dirty) {
                s.FillRect(r, GridWhite);
                s.SetClip(r);
                RenderLayers(s, view, doc, a, true, backdrop, clueInk);
                s.SetClip(all);
            }
        }
        for (const TRect &r : dirty) {
            copy(r);
            changed += ToQRect(Intersect(r, all));
        }
        // The old frames give way to the board beneath, unless the new ones are the same.
        const bool moved = edges.size() != Highlight.size()
            || !std::equal(edges.begin(), edges.end(), Highlight.begin(),
                           [](const TRect &p, const QRect &q) { return ToQRect(p) == q; });
        if (moved) {
            for (const QRect &q : Highlight)
                copy({q.x(), q.y(), q.x() + q.width(), q.y() + q.height()});
            changed += FrameBoxes(Highlight, ToQRect(all));
        }
        if (!moved)
            edges.erase(std::remove_if(edges.begin(), edges.end(), [&](const TRect &e) {
                            return !changed.intersects(ToQRect(e));
                        }),
                        edges.end());
    }
    {
        TRawSurface s(target);
        std::vector<QRect> filled;
        for (const TRect &e : edges) {
            s.FillRect(e, HighlightRed);
            filled.push_back(ToQRect(e));
        }
        changed += FrameBoxes(filled, ToQRect(all));
    }
    Highlight.clear();
    for (const TRect &e : frames)
        Highlight.push_back(ToQRect(e));
    Valid = true;
    TargetKey = target.cacheKey();
    View = view;
    CellSize = a;
    BackdropSource = backdrop;
    BackdropKey = backdrop ? backdrop->cacheKey() : 0;
    Last.ColCount = doc.ColCount;
    Last.RowCount = doc.RowCount;
    Last.RowClueDepth = doc.RowClueDepth;
    Last.ColClueDepth = doc.ColClueDepth;
    // A plain pointer move changes nothing here: copying the matrices was most of its cost.
    if (whole || !dirty.empty()) {
        Last.Marks = doc.Marks;
        Last.RowClueStrikes = doc.RowClueStrikes;
        Last.ColClueStrikes = doc.ColClueStrikes;
        LastInk = clueInk ? *clueInk : TClueInk();
    }
    return changed;
}

int PaperMaxAdvance(int a)
{
    return a - std::max(2, (a + 2) / 5);
}

TBoardOrigins RenderPaperBoard(QImage &target, const TBoardView &view, const PuzzleDocument &doc,
                               int a)
{
    PrepareTarget(target);
    TRawSurface surface(target);
    return RenderLayers(surface, view, doc, a, false, nullptr, nullptr, PaperMaxAdvance(a));
}

TBoardOrigins RenderPaperBoard(QImage &target, int W, int H, const PuzzleDocument &doc, int a)
{
    return RenderPaperBoard(target, WholeView(W, H, doc, a), doc, a);
}

TBoardOrigins RenderPaperBoardReference(QImage &target, int W, int H, const PuzzleDocument &doc,
                                        int a)
{
    PrepareTarget(target);
    TPainterSurface surface(target);
    return RenderLayers(surface, WholeView(W, H, doc, a), doc, a, false, nullptr, nullptr,
                        PaperMaxAdvance(a));
}
