// pxgtool's front: answers `check [--work-budget N] FILE...` on plain puzzle files itself, without
// loading Qt, whose libraries alone cost several times a bare process start; every other
// command, and any check it is unsure of, runs the full tool (pxgtool-full) in its place, which
// then says exactly what it always said.
#include "core/LineSolver.h"
#include "core/DifficultyScore.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The .pxg header: InProgress byte, play time (double), ColCount, RowCount, RowClueDepth,
// ColClueDepth (int32), all little-endian.
constexpr size_t HeaderSize = 25;
constexpr int32_t MaxLineCount = 1000;

int32_t Int32At(const unsigned char *p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

bool ValidUtf8(const char *text)
{
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p;) {
        int more = *p < 0x80 ? 0 : (*p & 0xe0) == 0xc0 ? 1 : (*p & 0xf0) == 0xe0 ? 2 : (*p & 0xf8) == 0xf0 ? 3 : -1;
        if (more < 0 || (more == 1 && *p < 0xc2))
            return false;
        const unsigned char lead = *p++;
        for (int i = 0; i < more; ++i, ++p)
            if ((*p & 0xc0) != 0x80)
                return false;
        // Overlong forms, surrogates and code points past U+10FFFF are not text either.
        if ((lead == 0xe0 && p[-2] < 0xa0) || (lead == 0xed && p[-2] >= 0xa0) || (lead == 0xf0 && p[-3] < 0x90)
            || (lead == 0xf4 && p[-3] >= 0x90) || lead > 0xf4)
            return false;
    }
    return true;
}

// The picture of a plain puzzle file whose every cell is 0 or 1; false for anything else (the
// full tool then reads it and reports what is wrong).
bool ReadPicture(const char *path, TMyCrossArr &picture)
{
    struct stat info {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char header[HeaderSize];
    bool ok = std::fread(header, 1, HeaderSize, file) == HeaderSize;
    double elapsed = 0;
    std::memcpy(&elapsed, header + 1, sizeof elapsed); // little-endian machines only, checked below
    const int32_t cols = Int32At(header + 9), rows = Int32At(header + 13);
    const int32_t rowDepth = Int32At(header + 17), colDepth = Int32At(header + 21);
    ok = ok && std::isfinite(elapsed) && elapsed >= 0 && cols >= 1 && cols <= MaxLineCount && rows >= 1
        && rows <= MaxLineCount && rowDepth >= 0 && rowDepth <= cols && colDepth >= 0 && colDepth <= rows;
    // A game in progress must hold its marks and strikes too, or the full reader fails.
    const int64_t needed = int64_t(HeaderSize)
        + 4 * (header[0] != 0 ? 2 * int64_t(rows) * cols + int64_t(rows) * rowDepth + int64_t(colDepth) * cols
                              : int64_t(rows) * cols);
    ok = ok && info.st_size >= needed;
    if (ok) {
        picture = MakeCrossArr(rows, cols);
        std::vector<unsigned char> row(size_t(cols) * 4);
        for (int32_t r = 0; ok && r < rows; ++r) {
            ok = std::fread(row.data(), 1, row.size(), file) == row.size();
            for (int32_t c = 0; ok && c < cols; ++c) {
                const int32_t v = Int32At(row.data() + 4 * c);
                ok = v == 0 || v == 1;
                picture[r][c] = v;
            }
        }
    }
    std::fclose(file);
    return ok;
}

std::vector<int32_t> Runs(const std::vector<int32_t> &cells)
{
    std::vector<int32_t> runs;
    int32_t count = 0;
    for (int32_t v : cells) {
        if (v == 1) {
            ++count;
        } else if (count != 0) {
            runs.push_back(count);
            count = 0;
        }
    }
    if (count != 0)
        runs.push_back(count);
    return runs;
}

// Checks every file, or returns false before printing anything.
bool QuickCheck(int argc, char **argv)
{
    int64_t maxWork = DefaultWorkBudget;
    std::vector<const char *> paths;
    bool budgetSeen = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--work-budget" && !budgetSeen && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value.empty() || value.size() > 18 || value[0] < '1' || value[0] > '9'
                || value.find_first_not_of("0123456789") != std::string::npos)
                return false;
            maxWork = std::stoll(value);
            budgetSeen = true;
        } else if (arg.empty() || arg[0] == '-' || !ValidUtf8(argv[i])) {
            return false;
        } else {
            paths.push_back(argv[i]);
        }
    }
    const double one = 1.0;
    unsigned char firstByte = 0;
    std::memcpy(&firstByte, &one, 1);
    if (paths.empty() || firstByte != 0) // the header's double is read in place: little-endian only
        return false;

    std::vector<TMyCrossArr> pictures(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        if (!ReadPicture(paths[i], pictures[i]))
            return false;
    for (size_t i = 0; i < paths.size(); ++i) {
        const TMyCrossArr &picture = pictures[i];
        const int32_t rows = int32_t(picture.size()), cols = int32_t(picture[0].size());
        std::vector<std::vector<int32_t>> rowRuns, colRuns;
        for (const auto &row : picture)
            rowRuns.push_back(Runs(row));
        for (int32_t c = 0; c < cols; ++c) {
            std::vector<int32_t> column;
            for (const auto &row : picture)
                column.push_back(row[c]);
            colRuns.push_back(Runs(column));
        }
        const TSolveResult result = SolveClues(rowRuns, colRuns, maxWork);
        const std::string verdict = VerdictText(result);
        const int32_t level = EstimateDifficulty(result, rows, cols);
        const std::string levelText = level >= CrownDifficulty ? CrownText : std::to_string(std::max(level, 0));
        std::printf("%s\t%s\t%s\t%s\n", paths[i], verdict.c_str(),
                    result.LineSolvable ? "line-solvable" : "needs-search", levelText.c_str());
    }
    return true;
}

// The full tool beside this one (the build tree), or in the player's folder (installed).
std::string FullTool()
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = length > 0 ? std::string(self, size_t(length)) : std::string();
    dir = dir.substr(0, dir.rfind('/') + 1);
    for (const char *relative : {"pxgtool-full", "../lib/setkariy/pxgtool-full"}) {
        const std::string path = dir + relative;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return dir + "pxgtool-full";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "check") == 0 && QuickCheck(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    const std::string full = FullTool();
    execv(full.c_str(), argv);
    std::fprintf(stderr, "pxgtool: cannot run %s: %s\n", full.c_str(), std::strerror(errno));
    return 2;
}
