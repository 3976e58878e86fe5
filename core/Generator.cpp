// Makes new puzzles of a given size and difficulty: pictures drawn from simple shapes, made unique.
#include "core/Generator.h"

#include "core/Clues.h"
#include "core/Difficulty.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<std::vector<int32_t>> RowRunsOf(const TMyCrossArr &picture)
{
    std::vector<std::vector<int32_t>> runs;
    for (const auto &row : picture)
        runs.push_back(LineRuns(row));
    return runs;
}

std::vector<std::vector<int32_t>> ColumnRunsOf(const TMyCrossArr &picture)
{
    std::vector<std::vector<int32_t>> runs;
    for (int32_t c = 0; c < int32_t(picture[0].size()); ++c)
        runs.push_back(LineRuns(ColumnCells(picture, c)));
    return runs;
}

double BlackShare(const TMyCrossArr &picture)
{
    int64_t black = 0, all = 0;
    for (const auto &row : picture) {
        for (const int32_t v : row)
            black += v;
        all += int64_t(row.size());
    }
    return all == 0 ? 0.0 : double(black) / double(all);
}

// Shapes are tested at cell centres in a continuous frame: x across, y down.
using TShape = std::function<bool(double x, double y)>;

TShape Ellipse(double cx, double cy, double rx, double ry)
{
    return [=](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
}

TShape Box(double x0, double y0, double x1, double y1)
{
    return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}

TShape Triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
    return [=](double x, double y) {
        const double d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by);
        const double d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy);
        const double d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay);
        const bool negative = d1 < 0 || d2 < 0 || d3 < 0, positive = d1 > 0 || d2 > 0 || d3 > 0;
        return !(negative && positive);
    };
}

// A thick line from a to b with round ends.
TShape Stroke(double ax, double ay, double bx, double by, double width)
{
    return [=](double x, double y) {
        const double vx = bx - ax, vy = by - ay, length2 = vx * vx + vy * vy;
        double t = length2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / length2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (ax + t * vx), dy = y - (ay + t * vy);
        return dx * dx + dy * dy <= width * width / 4.0;
    };
}

class TCanvas {
public:
    TCanvas(int32_t rows, int32_t cols) : Picture(MakeCrossArr(rows, cols)), Rows(rows), Cols(cols) {}

    // Mirrored shapes are painted at their place and reflected left to right.
    void Paint(const TShape &shape, int32_t value, bool mirrored = false)
    {
        for (int32_t r = 0; r < Rows; ++r)
            for (int32_t c = 0; c < Cols; ++c) {
                const double x = c + 0.5, y = r + 0.5;
                if (shape(x, y) || (mirrored && shape(Cols - x, y)))
                    Picture[r][c] = value;
            }
    }

    TMyCrossArr Picture;
    int32_t Rows, Cols;
};

// Moves the black cells so that their bounding box sits in the middle of the frame: limbs
// drawn off to one side should not leave half the frame empty. A mirrored picture keeps its
// columns, which are centred already. A figure on a ground of groundRows stands on it instead.
void Centre(TMyCrossArr &picture, bool columnsToo, int32_t groundRows)
{
    const int32_t rows = int32_t(picture.size()), cols = int32_t(picture[0].size());
    int32_t top = rows, bottom = -1, left = cols, right = -1;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c)
            if (picture[r][c]) {
                top = std::min(top, r);
                bottom = std::max(bottom, r);
                left = std::min(left, c);
                right = std::max(right, c);
            }
    if (bottom < 0)
        return;
    const int32_t down = groundRows > 0 ? rows - groundRows - 1 - bottom : (rows - 1 - bottom - top) / 2;
    const int32_t across = columnsToo ? (cols - 1 - right - left) / 2 : 0;
    if ((down == 0 && across == 0) || top + down < 0)
        return;
    TMyCrossArr moved = MakeCrossArr(rows, cols);
    for (int32_t r = top; r <= bottom; ++r)
        for (int32_t c = left; c <= right; ++c)
            moved[r + down][c + across] = picture[r][c];
    picture.swap(moved);
}

// The mean of the cells within radius along each of lines lines of length cells; cell i of line
// l is at l * lineStep + i * cellStep. Running sums make a wide box cost what a narrow one does.
void BoxAverage(const std::vector<double> &from, std::vector<double> &to, int32_t lines, int32_t length,
                size_t lineStep, size_t cellStep, int32_t radius)
{
    std::vector<double> prefix(size_t(length) + 1, 0.0);
    for (int32_t l = 0; l < lines; ++l) {
        const size_t first = size_t(l) * lineStep;
        for (int32_t i = 0; i < length; ++i)
            prefix[size_t(i) + 1] = prefix[size_t(i)] + from[first + size_t(i) * cellStep];
        for (int32_t i = 0; i < length; ++i) {
            const int32_t lo = std::max(0, i - radius), hi = std::min(length, i + radius + 1);
            to[first + size_t(i) * cellStep] = (prefix[size_t(hi)] - prefix[size_t(lo)]) / (hi - lo);
        }
    }
}

} // namespace

QString PictureKindText(TPictureKind kind)
{
    switch (kind) {
    case TPictureKind::Figure: return QStringLiteral("Фигура");
    case TPictureKind::Ornament: return QStringLiteral("Орнамент");
    case TPictureKind::Blobs: return QStringLiteral("Пятна");
    case TPictureKind::Any: break;
    }
    return QStringLiteral("Любой");
}

QString PictureKindName(TPictureKind kind)
{
    switch (kind) {
    case TPictureKind::Figure: return QStringLiteral("figure");
    case TPictureKind::Ornament: return QStringLiteral("ornament");
    case TPictureKind::Blobs: return QStringLiteral("blobs");
    case TPictureKind::Any: break;
    }
    return QStringLiteral("any");
}

bool ParsePictureKind(const QString &name, TPictureKind &kind)
{
    for (int32_t k = 0; k < PictureKindCount; ++k)
        if (name == PictureKindName(TPictureKind(k))) {
            kind = TPictureKind(k);
            return true;
        }
    return false;
}

// The bottom of a range is the estimate of a line-solvable puzzle at 5 cell operations a cell,
// the least the generator's pictures take. The top was measured: the highest level each kind
// still gives at two puzzles a second or more, at the detail the generator drifts to there, on
// square boards by their cell count (bench_generate --kind checks it). A size between two rows
// takes the smaller one's, since the top grows with the size.
TLevelRange ReachableLevels(int32_t rows, int32_t cols, TPictureKind kind)
{
    constexpr double LowWork = 5.0;
    struct TTop {
        double Cells;
        int32_t Level[PictureKindCount]; // any, figure, ornament, blobs
    };
    static constexpr TTop Tops[] = {
        {4, {0, 0, 0, 0}},   {16, {1, 1, 0, 1}},  {25, {2, 2, 1, 2}},  {49, {3, 3, 3, 3}},   {100, {5, 5, 6, 5}},
        {225, {7, 6, 7, 6}}, {400, {9, 7, 9, 7}}, {625, {9, 8, 9, 8}}, {900, {9, 9, 9, 9}},
    };
    const double cells = std::max(1.0, double(rows) * double(cols));
    TSolveResult plain;
    plain.Status = TSolveResult::Status::Unique;
    plain.LineSolvable = true;
    plain.Work = int64_t(LowWork * cells);
    TLevelRange range;
    range.Low = EstimateDifficulty(plain, rows, cols);
    range.High = 0;
    for (const TTop &top : Tops)
        if (cells >= top.Cells)
            range.High = top.Level[int32_t(kind)];
    range.High = std::max(range.High, range.Low);
    return range;
}

TGenerator::TGenerator(int32_t rows, int32_t cols, int32_t level, uint64_t seed, TPictureKind kind)
    : Rows(rows), Cols(cols), Level(level), Kind(kind), Engine(seed)
{
    // The top of a size's range wants fine pictures from the first candidate on, the bottom coarse ones.
    const TLevelRange range = ReachableLevels(rows, cols, kind);
    // Above 30 x 30 the finest pictures cost the solver far more time than the hard puzzles they
    // add (at 100 x 100 they gave 3 level 9 puzzles a second, halfway detail 80), so the detail
    // stays at most halfway there.
    DetailCeiling = double(rows) * double(cols) > 900 ? 0.5 : 1.0;
    Detail = std::clamp((level - range.Low + 0.5) / (range.High - range.Low + 1), 0.0, DetailCeiling);
}

int32_t TGenerator::NearestSeenLevel() const
{
    int32_t nearest = -1;
    for (int32_t level = 0; level <= MaxDifficulty; ++level)
        if (Seen[size_t(level)] && (nearest < 0 || std::abs(level - Level) < std::abs(nearest - Level)))
            nearest = level;
    return nearest;
}

int64_t TGenerator::WorkBudget(int32_t rows, int32_t cols)
{
    return 2'000'000 + int64_t(2000) * rows * cols;
}

TMyCrossArr TGenerator::Picture()
{
    TPictureKind kind = Kind;
    if (kind == TPictureKind::Any) {
        // Figures most often: they are what a person recognises first.
        const uint32_t pick = Below(10);
        kind = pick < 5 ? TPictureKind::Figure : pick < 8 ? TPictureKind::Ornament : TPictureKind::Blobs;
    }
    TMyCrossArr picture = kind == TPictureKind::Figure ? Figure()
                        : kind == TPictureKind::Ornament ? Ornament()
                                                          : Blobs();
    Tidy(picture);
    return picture;
}

// A body with limbs, ears or spikes on its rim, some holes cut in it (eyes, windows), mostly
// mirrored, sometimes standing on a ground line: a silhouette inside the frame.
TMyCrossArr TGenerator::Figure()
{
    TCanvas canvas(Rows, Cols);
    const double w = Cols, h = Rows, side = std::min(w, h);
    const bool mirrored = Below(10) < 7;
    const double wanted = Uniform(0.36, 0.56);
    const double cx = mirrored ? w / 2 : w * Uniform(0.4, 0.6), cy = h * Uniform(0.42, 0.58);
    const double rx = w * Uniform(0.18, 0.32), ry = h * Uniform(0.18, 0.32);
    switch (Below(3)) {
    case 0: canvas.Paint(Ellipse(cx, cy, rx, ry), 1, mirrored); break;
    case 1: canvas.Paint(Box(cx - rx, cy - ry, cx + rx, cy + ry), 1, mirrored); break;
    default: canvas.Paint(Triangle(cx, cy - ry * 1.3, cx - rx * 1.2, cy + ry, cx + rx * 1.2, cy + ry), 1, mirrored); break;
    }
    // Limbs shrink and multiply with the detail asked for.
    const double scale = 1.0 - 0.5 * Detail;
    const int32_t limbs = 1 + int32_t(std::lround(Detail * 5)) + int32_t(Below(2));
    const auto limb = [&] {
        const double angle = Uniform(0, 2 * M_PI);
        const double ax = cx + rx * std::cos(angle), ay = cy + ry * std::sin(angle);
        const double reach = side * Uniform(0.12, 0.3) * scale;
        const double bx = ax + reach * std::cos(angle), by = ay + reach * std::sin(angle);
        switch (Below(3)) {
        case 0: {
            const double r = std::max(0.8, side * Uniform(0.06, 0.16) * scale);
            canvas.Paint(Ellipse(bx, by, r, r * Uniform(0.6, 1.4)), 1, mirrored);
            break;
        }
        case 1:
            canvas.Paint(Stroke(ax, ay, bx, by, std::max(1.0, side * Uniform(0.05, 0.12) * scale)), 1, mirrored);
            break;
        default: {
            const double spread = std::max(1.0, side * Uniform(0.05, 0.12) * scale);
            const double nx = -std::sin(angle) * spread, ny = std::cos(angle) * spread;
            canvas.Paint(Triangle(ax + nx, ay + ny, ax - nx, ay - ny, bx, by), 1, mirrored);
            break;
        }
        }
    };
    for (int32_t i = 0; i < limbs; ++i)
        limb();
    for (int32_t i = 0; i < 6 && BlackShare(canvas.Picture) < wanted; ++i)
        limb();
    const int32_t holes = int32_t(std::lround(Detail * Uniform(0, 4)));
    for (int32_t i = 0; i < holes; ++i) {
        const double r = std::max(0.6, side * Uniform(0.03, 0.08));
        const double hx = cx + rx * Uniform(-0.6, 0.6), hy = cy + ry * Uniform(-0.6, 0.4);
        canvas.Paint(Below(2) == 0 ? Ellipse(hx, hy, r, r) : Box(hx - r, hy - r * 0.6, hx + r, hy + r * 0.6), 0, mirrored);
    }
    const double ground = h >= 8 && Below(10) < 4 ? std::max(1.0, std::floor(h * Uniform(0.05, 0.12))) : 0.0;
    Centre(canvas.Picture, !mirrored, int32_t(ground));
    if (ground > 0) {
        const double inset = Below(2) == 0 ? 0.0 : w * Uniform(0.05, 0.2);
        canvas.Paint(Box(inset, h - ground, w - inset, h), 1);
    }
    return canvas.Picture;
}

// A motif symmetric about both axes: a frame, a centre piece, pieces on the axes and the
// diagonals, and a row of beads along the frame. Every shape is drawn in distances from the
// centre, so one drawing fills all four quarters.
TMyCrossArr TGenerator::Ornament()
{
    TCanvas canvas(Rows, Cols);
    const double w = Cols, h = Rows, hw = w / 2, hh = h / 2;
    const auto quarter = [&](const TShape &shape) {
        return [=](double x, double y) { return shape(std::abs(x - hw), std::abs(y - hh)); };
    };
    const double scale = 1.0 - 0.45 * Detail;
    const double wanted = Uniform(0.38, 0.56);
    if (Below(10) < 6) {
        const double band = std::max(1.0, std::round(std::min(w, h) * Uniform(0.05, 0.1) * scale));
        const double margin = Below(2) == 0 ? 0.0 : 1.0;
        canvas.Paint(quarter([=](double u, double v) {
                         const double du = hw - u, dv = hh - v;
                         return std::min(du, dv) >= margin && std::min(du, dv) < margin + band;
                     }),
                     1);
    }
    const int32_t pieces = 2 + int32_t(std::lround(Detail * 4)) + int32_t(Below(2));
    for (int32_t i = 0; i < pieces; ++i) {
        // The centre, an axis or a diagonal.
        const uint32_t where = i == 0 ? 0 : Below(3);
        const double pu = where == 0 ? 0 : hw * Uniform(0.3, 0.7), pv = where == 0 ? 0 : where == 1 ? 0 : hh * Uniform(0.3, 0.7);
        const double ru = std::max(0.7, hw * Uniform(0.12, where == 0 ? 0.55 : 0.3) * scale);
        const double rv = std::max(0.7, hh * Uniform(0.12, where == 0 ? 0.55 : 0.3) * scale);
        TShape shape;
        switch (Below(4)) {
        case 0: shape = Ellipse(pu, pv, ru, rv); break;
        case 1: shape = [=](double u, double v) { return std::abs(u - pu) / ru + std::abs(v - pv) / rv <= 1.0; }; break;
        case 2: shape = Box(pu - ru, pv - rv, pu + ru, pv + rv); break;
        default: {
            const double inner = Uniform(0.35, 0.7);
            shape = [=](double u, double v) {
                const double du = (u - pu) / ru, dv = (v - pv) / rv, d = du * du + dv * dv;
                return d <= 1.0 && d >= inner * inner;
            };
        }
        }
        // A later piece sometimes cuts into the earlier ones, as a drawn ornament has holes.
        canvas.Paint(quarter(shape), i > 0 && Below(4) == 0 ? 0 : 1);
    }
    if (Below(10) < 4) {
        const double thick = std::max(1.0, std::min(hw, hh) * Uniform(0.08, 0.18) * scale);
        canvas.Paint(quarter(Stroke(0, 0, hw * Uniform(0.5, 0.9), hh * Uniform(0.5, 0.9), thick)), 1);
    }
    for (int32_t i = 0; i < 4 && BlackShare(canvas.Picture) < wanted; ++i) {
        const double pu = hw * Uniform(0.0, 0.8), pv = hh * Uniform(0.0, 0.8), r = std::max(0.8, std::min(hw, hh) * 0.15 * scale);
        canvas.Paint(quarter(Ellipse(pu, pv, r, r)), 1);
    }
    return canvas.Picture;
}

// Noise, mirrored in most pictures, blurred with a box a few cells wide, faded towards the
// frame and cut at a random density: rounded connected regions standing inside the frame.
TMyCrossArr TGenerator::Blobs()
{
    const bool mirrored = Below(10) < 6;
    const int32_t span = std::max(1, std::min(Rows, Cols) / 5);
    const int32_t radius = 1 + int32_t(std::lround((1.0 - Detail) * (span - 1) * Uniform(0.5, 1.0)));
    const double density = Uniform(0.38, 0.58);

    std::vector<double> field(size_t(Rows) * Cols);
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c)
            field[size_t(r) * Cols + c] = (mirrored && c >= (Cols + 1) / 2)
                ? field[size_t(r) * Cols + (Cols - 1 - c)]
                : Uniform(0, 1);
    std::vector<double> blurred(field.size());
    for (int pass = 0; pass < 2; ++pass) {
        BoxAverage(field, blurred, Rows, Cols, size_t(Cols), 1, radius);
        BoxAverage(blurred, field, Cols, Rows, 1, size_t(Cols), radius);
    }
    // Fading the field near the frame keeps the regions off the edges: a figure on a ground.
    double low = 1, high = 0;
    for (const double v : field) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c) {
            const double u = std::abs(2.0 * (c + 0.5) / Cols - 1.0), v = std::abs(2.0 * (r + 0.5) / Rows - 1.0);
            const double edge = std::max(u, v);
            double &f = field[size_t(r) * Cols + c];
            f = (f - low) / std::max(1e-9, high - low) + 0.6 * (1.0 - edge * edge * edge);
        }
    std::vector<double> sorted = field;
    const size_t cut = std::min(sorted.size() - 1, size_t(double(sorted.size()) * (1.0 - density)));
    std::nth_element(sorted.begin(), sorted.begin() + cut, sorted.end());
    const double threshold = sorted[cut];

    TMyCrossArr picture = MakeCrossArr(Rows, Cols);
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c)
            picture[r][c] = field[size_t(r) * Cols + c] >= threshold ? 1 : 0;
    return picture;
}

// A lone black cell reads as a speck and a lone white one as a pinhole: both go.
void TGenerator::Tidy(TMyCrossArr &picture)
{
    const auto at = [&](int32_t r, int32_t c, int32_t outside) {
        return r < 0 || r >= Rows || c < 0 || c >= Cols ? outside : picture[r][c];
    };
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c) {
            const int32_t v = picture[r][c];
            // A speck has no black neighbour; a pinhole is black on all four sides (the outside
            // is white, so a white cell on the edge is never one).
            const int32_t same = (at(r - 1, c, 0) == v) + (at(r + 1, c, 0) == v)
                               + (at(r, c - 1, 0) == v) + (at(r, c + 1, 0) == v);
            if (same == 0)
                picture[r][c] = 1 - v;
        }
}

// Where a second solution differs, one cell of each separate patch of difference is flipped,
// the one most like its neighbours, until the clues allow only the picture.
bool TGenerator::MakeUnique(TMyCrossArr &picture, TSolveResult &solved, const TGenerateLimits &limits)
{
    const int32_t attempts = Rows + Cols;
    for (int32_t attempt = 0; attempt < attempts; ++attempt) {
        if ((limits.Cancel && limits.Cancel->load()) || std::chrono::steady_clock::now() >= limits.Deadline)
            return false;
        solved = SolveClues(RowRunsOf(picture), ColumnRunsOf(picture), WorkBudget(Rows, Cols));
        if (solved.Status == TSolveResult::Status::Unique)
            return true;
        if (solved.Status != TSolveResult::Status::Ambiguous)
            return false;
        const TMyCrossArr &other = solved.Picture == picture ? solved.Other : solved.Picture;
        std::vector<uint8_t> seen(size_t(Rows) * Cols, 0);
        std::vector<int32_t> flipped;
        for (int32_t r0 = 0; r0 < Rows; ++r0)
            for (int32_t c0 = 0; c0 < Cols; ++c0) {
                if (picture[r0][c0] == other[r0][c0] || seen[size_t(r0) * Cols + c0])
                    continue;
                // One patch of differing cells, eight-connected.
                std::vector<int32_t> patch{r0 * Cols + c0};
                seen[size_t(r0) * Cols + c0] = 1;
                for (size_t i = 0; i < patch.size(); ++i)
                    for (int32_t dr = -1; dr <= 1; ++dr)
                        for (int32_t dc = -1; dc <= 1; ++dc) {
                            const int32_t r = patch[i] / Cols + dr, c = patch[i] % Cols + dc;
                            if (r >= 0 && r < Rows && c >= 0 && c < Cols && !seen[size_t(r) * Cols + c]
                                && picture[r][c] != other[r][c]) {
                                seen[size_t(r) * Cols + c] = 1;
                                patch.push_back(r * Cols + c);
                            }
                        }
                int32_t best = -1, bestAlike = -1;
                const uint32_t offset = Below(uint32_t(patch.size()));
                for (size_t i = 0; i < patch.size(); ++i) {
                    const int32_t cell = patch[(i + offset) % patch.size()], r = cell / Cols, c = cell % Cols;
                    const int32_t next = 1 - picture[r][c];
                    int32_t alike = 0;
                    for (const auto &[dr, dc] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                        const int32_t rr = r + dr, cc = c + dc;
                        alike += (rr < 0 || rr >= Rows || cc < 0 || cc >= Cols) ? (next == 0) : picture[rr][cc] == next;
                    }
                    if (alike > bestAlike) {
                        best = cell;
                        bestAlike = alike;
                    }
                }
                picture[best / Cols][best % Cols] ^= 1;
                flipped.push_back(best);
            }
        if (flipped.empty())
            return false; // not reached: two solutions differ somewhere
        // Where every patch is one cell (a swap of corners far apart), a flip in each turns the
        // picture into the other solution, and the next round turns it back: keep one.
        if (picture == other)
            for (size_t i = 1; i < flipped.size(); ++i)
                picture[flipped[i] / Cols][flipped[i] % Cols] ^= 1;
    }
    return false;
}

TGenerateOutcome TGenerator::Make(TGenerated &puzzle, const TGenerateLimits &limits)
{
    for (int64_t i = 0;; ++i) {
        if (limits.Cancel && limits.Cancel->load())
            return TGenerateOutcome::Cancelled;
        if (std::chrono::steady_clock::now() >= limits.Deadline)
            return TGenerateOutcome::OutOfTime;
        if (i >= limits.MaxCandidates)
            return TGenerateOutcome::Exhausted;
        ++Tried;
        if (limits.Progress)
            limits.Progress(Tried);
        TMyCrossArr picture = Picture();
        const double share = BlackShare(picture);
        if (share < 0.3 || share > 0.7)
            continue;
        TSolveResult solved;
        if (!MakeUnique(picture, solved, limits))
            continue;
        const int32_t level = EstimateDifficulty(solved, Rows, Cols);
        Seen[size_t(level)] = true;
        if (level < Level)
            Detail = std::min(DetailCeiling, Detail + 0.1);
        else if (level > Level)
            Detail = std::max(0.0, Detail - 0.1);
        if (level != Level || Made.count(picture))
            continue;
        Made.insert(picture);
        puzzle = TGenerated{picture, solved, level};
        return TGenerateOutcome::Made;
    }
}

bool TGenerator::Next(TGenerated &puzzle, int64_t maxCandidates)
{
    TGenerateLimits limits;
    limits.MaxCandidates = maxCandidates;
    return Make(puzzle, limits) == TGenerateOutcome::Made;
}
