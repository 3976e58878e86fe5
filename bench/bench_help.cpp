// Times the clue help at a stroke's release and the reasoned hint, against a plain repaint.
#include "core/BoardGeometry.h"
#include "core/BoardRender.h"
#include "core/ClueHelp.h"
#include "core/Clues.h"
#include "core/Hint.h"
#include "tools/TextArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int AreaWidth = 1920;
constexpr int AreaHeight = 1055;
constexpr int Runs = 61;

double Ms(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times)
{
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

PuzzleDocument Bundled(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return DocumentFromPicture(ParseTextArt(QString::fromUtf8(f.readAll())));
}

// About half the picture's cells marked rightly, as in the middle of a game.
void HalfPlayed(PuzzleDocument &doc, unsigned seed)
{
    std::mt19937 rng(seed);
    for (int32_t r = 0; r < doc.RowCount; ++r)
        for (int32_t c = 0; c < doc.ColCount; ++c)
            if (rng() % 2)
                doc.Marks[r][c] = doc.Solution[r][c] ? MarkFilled : MarkCrossed;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QStringLiteral(SETKARIY_SOURCE_DIR "/data/puzzles/");

    // A release on the 50 x 40 town: a seven-cell stroke along a row, then the repaint.
    PuzzleDocument doc = Bundled(folder + QStringLiteral("Город.txt"));
    HalfPlayed(doc, 7);
    const int a = FitCellSize(AreaWidth, AreaHeight, doc.ColCount + doc.RowClueDepth, doc.RowCount + doc.ColClueDepth);
    QImage target(AreaWidth, AreaHeight, QImage::Format_RGB32);
    QImage backdrop(AreaWidth, 1080, QImage::Format_RGB32);
    backdrop.fill(qRgb(40, 60, 90));
    TClueHelp help;
    help.SetClues(RowRunsOf(doc.Solution), ColumnRunsOf(doc.Solution));
    help.Update(doc.Marks);
    auto repaint = [&](const TClueInk *ink) {
        target.fill(Qt::white);
        const TBoardOrigins o = RenderBoard(target, AreaWidth, AreaHeight, doc, a, true, &backdrop, ink);
        DrawHighlight(target, o, a, doc, o.GridLeft + a / 2, o.GridTop + a / 2);
    };
    int stroke = 0;
    auto drawStroke = [&] {
        const int32_t row = stroke % doc.RowCount;
        const int32_t value = (stroke / doc.RowCount) % 2 ? MarkEmpty : MarkFilled;
        for (int32_t c = 10; c < 17; ++c)
            doc.Marks[row][c] = value;
        ++stroke;
    };
    std::vector<double> plain, helped, judged;
    for (int i = 0; i < Runs + 3; ++i) {
        drawStroke();
        const double p = Ms([&] { repaint(nullptr); });
        drawStroke();
        const double u = Ms([&] { help.Update(doc.Marks); });
        const double h = u + Ms([&] { repaint(&help.Ink()); });
        if (i >= 3) {
            plain.push_back(p);
            helped.push_back(h);
            judged.push_back(u);
        }
    }
    const double plainMs = Median(plain);
    std::printf("plain repaint 50x40 at %dx%d: %.2f ms (cell %d px)\n", AreaWidth, AreaHeight, plainMs, a);
    std::printf("release with clue help: %.2f ms = %.2fx plain repaint\n", Median(helped), Median(helped) / plainMs);
    std::printf("  of which judging the changed lines: %.3f ms = %.3fx plain repaint\n", Median(judged),
                Median(judged) / plainMs);

    // The hint on every bundled puzzle, on an empty board and half-way through.
    double worst = 0;
    QString worstName;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.txt")})) {
        PuzzleDocument puzzle = Bundled(folder + name);
        const std::vector<TRuns> rows = RowRunsOf(puzzle.Solution);
        const std::vector<TRuns> cols = ColumnRunsOf(puzzle.Solution);
        for (int half = 0; half < 2; ++half) {
            if (half)
                HalfPlayed(puzzle, 11);
            std::vector<double> times;
            for (int i = 0; i < 21; ++i)
                times.push_back(Ms([&] { FindHint(puzzle, rows, cols); }));
            const double ms = *std::max_element(times.begin(), times.end());
            std::printf("hint %-16s %dx%d %s: worst %.3f ms\n", qPrintable(name), puzzle.ColCount, puzzle.RowCount,
                        half ? "half played" : "empty board", ms);
            if (ms > worst) {
                worst = ms;
                worstName = name;
            }
        }
    }
    std::printf("slowest hint: %.3f ms (%s); budget 50 ms\n", worst, qPrintable(worstName));
    return 0;
}
