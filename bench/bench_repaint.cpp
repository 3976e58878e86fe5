// Times a full board repaint against one plain fill of a full-screen image, at several sizes.
#include "core/BoardGeometry.h"
#include "core/BoardRender.h"
#include "core/Clues.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int AreaWidth = 1920;
constexpr int AreaHeight = 1055;  // a 1080-line screen less the clock panel
constexpr int Warmup = 3;
constexpr int Runs = 41;

double Ms(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> times)
{
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// The machine is shared, so every timed repaint is paired with a timed fill right before it:
// a slow spell then slows both sides of the ratio alike.
double MedianMs(const std::function<void()> &work, const std::function<void()> &fill,
                std::vector<double> &fillTimes, int runs = Runs)
{
    for (int i = 0; i < Warmup; ++i)
        work();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        fillTimes.push_back(Ms(fill));
        times.push_back(Ms(work));
    }
    return Median(times);
}

// A picture whose lines hold about one run per 2.5 cells both ways: rows and columns each
// flip often, and a little noise breaks up the pattern, as real puzzles look to the renderer.
PuzzleDocument RealisticDoc(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<int> rowPhase(n), colPhase(n);
    for (int i = 1; i < n; ++i) {
        rowPhase[i] = u(rng) < 0.9 ? 1 - rowPhase[i - 1] : rowPhase[i - 1];
        colPhase[i] = u(rng) < 0.9 ? 1 - colPhase[i - 1] : colPhase[i - 1];
    }
    TMyCrossArr picture = MakeCrossArr(n, n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            picture[r][c] = (rowPhase[r] ^ colPhase[c] ^ (u(rng) < 0.08 ? 1 : 0));
    PuzzleDocument doc = DocumentFromPicture(picture);
    for (auto &row : doc.Marks)
        for (auto &cell : row)
            cell = static_cast<int32_t>(rng() % 3) - 1;
    for (auto &row : doc.RowClueStrikes)
        for (auto &cell : row)
            cell = rng() % 5 == 0 ? 1 : 0;
    for (auto &row : doc.ColClueStrikes)
        for (auto &cell : row)
            cell = rng() % 5 == 0 ? 1 : 0;
    return doc;
}

QImage Backdrop()
{
    QImage image(AreaWidth, 1080, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x * 255 / AreaWidth, y * 255 / 1080, 128);
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // "fill W H": only the median time of one fill of a W x H image, for bench_pointer's ratios.
    if (argc == 4 && std::string(argv[1]) == "fill") {
        QImage image(std::atoi(argv[2]), std::atoi(argv[3]), QImage::Format_RGB32);
        std::vector<double> times;
        for (int i = 0; i < Runs; ++i)
            times.push_back(Ms([&] { image.fill(qRgb(255, 255, 255)); }));
        std::printf("%.4f\n", Median(times));
        return 0;
    }

    QImage target(AreaWidth, AreaHeight, QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    // The same image the repaints use, so the fill meets the caches as a repaint does.
    const auto fillOnce = [&] { target.fill(white); };
    std::vector<double> fillTimes;

    struct TResult {
        int Size;
        double Fast, Plain;
        int CellSize, RowDepth, ColDepth;
    };
    std::vector<TResult> results;
    const QImage backdrop = Backdrop();
    for (int n : {20, 50, 100, 200}) {
        const PuzzleDocument doc = RealisticDoc(n, 1000u + static_cast<unsigned>(n));
        const int a = FitCellSize(AreaWidth, AreaHeight, doc.ColCount + doc.RowClueDepth,
                                  doc.RowCount + doc.ColClueDepth);
        const TBoardOrigins o = ComputeOrigins(AreaWidth, AreaHeight, a, doc.ColCount,
                                               doc.RowCount, doc.RowClueDepth, doc.ColClueDepth);
        const int hoverX = o.GridLeft + a * n / 2 + a / 2;
        const int hoverY = o.GridTop + a * n / 3 + a / 2;

        auto repaint = [&](decltype(&RenderBoard) render) {
            return [&, render] {
                target.fill(white);
                const TBoardOrigins drawn =
                    render(target, AreaWidth, AreaHeight, doc, a, true, &backdrop, nullptr);
                DrawHighlight(target, drawn, a, doc, hoverX, hoverY);
            };
        };
        const double fast = MedianMs(repaint(&RenderBoard), fillOnce, fillTimes);
        const double plain = MedianMs(repaint(&RenderBoardReference), fillOnce, fillTimes, 31);
        results.push_back({n, fast, plain, a, doc.RowClueDepth, doc.ColClueDepth});
    }

    const double fill = Median(fillTimes);
    std::printf("fill %dx%d: %.3f ms (median of %zu)\n", AreaWidth, AreaHeight, fill,
                fillTimes.size());
    for (const TResult &r : results) {
        std::printf("repaint %dx%d: %.2f ms = %.1fx fill\n", r.Size, r.Size, r.Fast,
                    r.Fast / fill);
        std::printf("reference %dx%d: %.2f ms = %.1fx fill\n", r.Size, r.Size, r.Plain,
                    r.Plain / fill);
        std::printf("  (cell %d px, clue depths %d/%d)\n", r.CellSize, r.RowDepth, r.ColDepth);
    }
    return 0;
}
