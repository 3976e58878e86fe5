// Clue numbers derived from the hidden picture, where they go, and the solved test.
#include "core/Clues.h"

#include <algorithm>

std::vector<int32_t> LineRuns(const std::vector<int32_t> &cells)
{
    std::vector<int32_t> runs;
    int32_t count = 0;
    for (int32_t v : cells) {
        if (v == 1)
            ++count;
        if (v == 0 && count != 0) {
            runs.push_back(count);
            count = 0;
        }
    }
    if (count != 0)
        runs.push_back(count);
    return runs;
}

std::vector<int32_t> ColumnCells(const TMyCrossArr &m, int32_t col)
{
    std::vector<int32_t> cells;
    cells.reserve(m.size());
    for (const auto &row : m)
        cells.push_back(row[col]);
    return cells;
}

QString ClueText(const std::vector<int32_t> &cells)
{
    // Each new number goes in front, so the text lists the runs from last to first.
    QString text;
    for (int32_t run : LineRuns(cells))
        text.prepend(QString::number(run) + QLatin1Char(' '));
    return text;
}

QString CutFirstToken(QString &text)
{
    qsizetype p = text.indexOf(QLatin1Char(' '));
    if (p < 0)
        p = text.size();
    const QString token = text.left(p);
    qsizetype rest = p;
    while (rest < text.size() && text.at(rest) == QLatin1Char(' '))
        ++rest;
    text.remove(0, rest);
    return token;
}

namespace {

void PlaceLine(bool isColumn, int32_t line, QString text, const TMyCrossArr &strikes,
               const std::function<void(const TCluePlace &)> &visit)
{
    int32_t k = 0;
    while (!text.isEmpty()) {
        const QString token = CutFirstToken(text);
        // A line with more runs than its depth has no strike entry past the depth: such a
        // number is drawn as not struck.
        bool struck = false;
        if (isColumn) {
            if (k < static_cast<int32_t>(strikes.size()))
                struck = strikes[k][line] == 1;
        } else if (k < static_cast<int32_t>(strikes[line].size())) {
            struck = strikes[line][k] == 1;
        }
        visit(TCluePlace{isColumn, line, k, token, struck});
        ++k;
    }
}

} // namespace

void PlaceClues(const PuzzleDocument &doc, const std::function<void(const TCluePlace &)> &visit)
{
    for (int32_t c = 0; c < doc.ColCount; ++c)
        PlaceLine(true, c, ClueText(ColumnCells(doc.Solution, c)), doc.ColClueStrikes, visit);
    for (int32_t r = 0; r < doc.RowCount; ++r)
        PlaceLine(false, r, ClueText(doc.Solution[r]), doc.RowClueStrikes, visit);
}

bool IsSolved(const TMyCrossArr &Solution, const TMyCrossArr &Marks)
{
    for (size_t r = 0; r < Solution.size(); ++r)
        for (size_t c = 0; c < Solution[r].size(); ++c)
            if ((Marks[r][c] == 1 ? 1 : 0) != Solution[r][c])
                return false;
    return true;
}

int32_t RowClueDepthOf(const TMyCrossArr &picture)
{
    size_t depth = 0;
    for (const auto &row : picture)
        depth = std::max(depth, LineRuns(row).size());
    return static_cast<int32_t>(depth);
}

int32_t ColClueDepthOf(const TMyCrossArr &picture)
{
    size_t depth = 0;
    const int32_t cols = picture.empty() ? 0 : static_cast<int32_t>(picture[0].size());
    for (int32_t c = 0; c < cols; ++c)
        depth = std::max(depth, LineRuns(ColumnCells(picture, c)).size());
    return static_cast<int32_t>(depth);
}

PuzzleDocument DocumentFromPicture(const TMyCrossArr &picture)
{
    PuzzleDocument doc;
    doc.RowCount = static_cast<int32_t>(picture.size());
    doc.ColCount = picture.empty() ? 0 : static_cast<int32_t>(picture[0].size());
    doc.RowClueDepth = RowClueDepthOf(picture);
    doc.ColClueDepth = ColClueDepthOf(picture);
    doc.Solution = picture;
    doc.Marks = MakeCrossArr(doc.RowCount, doc.ColCount);
    doc.RowClueStrikes = MakeCrossArr(doc.RowCount, doc.RowClueDepth);
    doc.ColClueStrikes = MakeCrossArr(doc.ColClueDepth, doc.ColCount);
    return doc;
}
