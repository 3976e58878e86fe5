// How fast the generator makes puzzles at every size and level, and what its pictures look like.
//
//   bench_generate [--kind K]      one line a size and level, then one line of picture measures a size;
//                                  K is any (the default), figure, ornament or blobs
//   bench_generate sheet OUT.png   a contact sheet of 24 pictures at 15x15, 25x25 and 50x50
#include "core/Generator.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

struct TMeasures {
    double Share = 0, Isolated = 0, Regions = 0, Mirror = 0;
    int Symmetric = 0, Count = 0;
};

// Black share, cells with no four-neighbour of their colour, black regions (four-connected),
// the share of cells equal to their left-right mirror image.
void Measure(const TMyCrossArr &p, TMeasures &m)
{
    const int rows = int(p.size()), cols = int(p[0].size());
    int black = 0, isolated = 0, alike = 0, regions = 0;
    std::vector<int> seen(size_t(rows) * cols, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int v = p[r][c];
            black += v;
            alike += p[r][cols - 1 - c] == v;
            int same = 0;
            for (const auto &[dr, dc] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                const int rr = r + dr, cc = c + dc;
                same += (rr < 0 || rr >= rows || cc < 0 || cc >= cols) ? v == 0 : p[rr][cc] == v;
            }
            isolated += same == 0;
            if (v == 1 && !seen[size_t(r) * cols + c]) {
                ++regions;
                std::vector<int> stack{r * cols + c};
                seen[size_t(r) * cols + c] = 1;
                while (!stack.empty()) {
                    const int cell = stack.back();
                    stack.pop_back();
                    for (const auto &[dr, dc] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                        const int rr = cell / cols + dr, cc = cell % cols + dc;
                        if (rr >= 0 && rr < rows && cc >= 0 && cc < cols && p[rr][cc] && !seen[size_t(rr) * cols + cc]) {
                            seen[size_t(rr) * cols + cc] = 1;
                            stack.push_back(rr * cols + cc);
                        }
                    }
                }
            }
        }
    const double cells = double(rows) * cols;
    m.Share += black / cells;
    m.Isolated += isolated / cells;
    m.Regions += regions;
    m.Mirror += alike / cells;
    m.Symmetric += alike == rows * cols;
    ++m.Count;
}

int Sheet(const char *path)
{
    // Eight pictures a size, each in a box of 160 pixels, in three rows.
    const int box = 160, gap = 12, perRow = 8;
    QImage sheet((box + gap) * perRow + gap, (box + gap) * 3 + gap, QImage::Format_RGB32);
    sheet.fill(QColor(225, 225, 225));
    QPainter painter(&sheet);
    int row = 0;
    for (const int side : {15, 25, 50}) {
        for (int i = 0; i < perRow; ++i) {
            const TLevelRange range = ReachableLevels(side, side);
            TGenerator generator(side, side, range.Low + i % (range.High - range.Low + 1), 100 + i, TPictureKind::Any);
            TGenerated puzzle;
            if (!generator.Next(puzzle))
                continue;
            const int cell = box / side, x0 = gap + i * (box + gap) + (box - cell * side) / 2,
                      y0 = gap + row * (box + gap) + (box - cell * side) / 2;
            painter.fillRect(x0, y0, cell * side, cell * side, Qt::white);
            for (int r = 0; r < side; ++r)
                for (int c = 0; c < side; ++c)
                    if (puzzle.Picture[r][c])
                        painter.fillRect(x0 + c * cell, y0 + r * cell, cell, cell, Qt::black);
        }
        ++row;
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "sheet") == 0)
        return Sheet(argv[2]);
    TPictureKind kind = TPictureKind::Any;
    if (argc == 3 && std::strcmp(argv[1], "--kind") == 0 && ParsePictureKind(QString::fromLatin1(argv[2]), kind)) {
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: bench_generate [--kind any|figure|ornament|blobs] | bench_generate sheet OUT.png\n");
        return 2;
    }
    // For every size, a hundred puzzles spread over the levels it can reach, each from a
    // generator of its own with a 10 s budget; levels it cannot reach are named with its range.
    const int perSize = 100;
    std::printf("%-8s %5s %8s %10s %9s %9s\n", "size", "level", "puzzles", "per second", "median s", "worst s");
    std::vector<std::pair<int, TMeasures>> pictures;
    for (const int side : {5, 10, 15, 20, 25, 30, 50, 100}) {
        const TLevelRange range = ReachableLevels(side, side, kind);
        const int levels = range.High - range.Low + 1;
        TMeasures measures;
        for (int level = 0; level <= 9; ++level) {
            if (!range.Holds(level)) {
                std::printf("%3dx%-4d %5d   out of reach: %d-%d\n", side, side, level, range.Low, range.High);
                continue;
            }
            const int count = (perSize + levels - 1) / levels;
            std::vector<double> times;
            int failed = 0;
            for (int i = 0; i < count; ++i) {
                TGenerator generator(side, side, level, uint64_t(1000 * side + 10 * i + level), kind);
                TGenerateLimits limits;
                limits.MaxCandidates = 1'000'000;
                limits.Deadline = TClock::now() + std::chrono::seconds(10);
                TGenerated puzzle;
                const TClock::time_point start = TClock::now();
                if (generator.Make(puzzle, limits) != TGenerateOutcome::Made) {
                    ++failed;
                    times.push_back(10.0);
                    continue;
                }
                times.push_back(std::chrono::duration<double>(TClock::now() - start).count());
                Measure(puzzle.Picture, measures);
            }
            double total = 0;
            for (const double t : times)
                total += t;
            std::sort(times.begin(), times.end());
            std::printf("%3dx%-4d %5d %8d %10.1f %9.3f %9.3f%s\n", side, side, level, count - failed,
                        (count - failed) / total, times[times.size() / 2], times.back(),
                        failed ? qPrintable(QStringLiteral("  %1 over 10 s").arg(failed)) : "");
            std::fflush(stdout);
        }
        pictures.emplace_back(side, measures);
    }
    std::printf("\n%-8s %8s %7s %9s %8s %8s %10s\n", "size", "pictures", "black", "isolated", "regions", "mirror", "symmetric");
    for (const auto &[side, m] : pictures)
        if (m.Count > 0)
            std::printf("%3dx%-4d %8d %6.1f%% %8.2f%% %8.1f %7.1f%% %9.0f%%\n", side, side, m.Count, 100 * m.Share / m.Count,
                        100 * m.Isolated / m.Count, m.Regions / m.Count, 100 * m.Mirror / m.Count,
                        100.0 * m.Symmetric / m.Count);
    return 0;
}
