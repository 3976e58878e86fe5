// One puzzle as the player has it: the fields of a puzzle file, in file order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

using TMyCrossArr = std::vector<std::vector<int32_t>>;

// Values a Marks cell may hold.
enum : int32_t { MarkCrossed = -1, MarkEmpty = 0, MarkFilled = 1 };

struct PuzzleDocument {
    uint8_t InProgress = 0;      // any non-zero byte means a game was started; kept as read
    double ElapsedTime = 0.0;    // play time in days
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    int32_t RowClueDepth = 0;
    int32_t ColClueDepth = 0;
    TMyCrossArr Solution;        // [row][column], 1 black, 0 white
    TMyCrossArr Marks;           // [row][column], -1 crossed, 0 empty, 1 filled
    TMyCrossArr RowClueStrikes;  // [row][k], k counted outward from the grid
    TMyCrossArr ColClueStrikes;  // [k][column]

    bool operator==(const PuzzleDocument &) const = default;
};

// A matrix of rows x cols zeros.
inline TMyCrossArr MakeCrossArr(int32_t rows, int32_t cols)
{
    return TMyCrossArr(static_cast<size_t>(rows < 0 ? 0 : rows),
                       std::vector<int32_t>(static_cast<size_t>(cols < 0 ? 0 : cols), 0));
}

// Puts a game back to its start: no marks, no strikes, not started, no play time.
inline void ResetGame(PuzzleDocument &doc)
{
    for (TMyCrossArr *m : {&doc.Marks, &doc.RowClueStrikes, &doc.ColClueStrikes})
        for (auto &row : *m)
            std::fill(row.begin(), row.end(), 0);
    doc.InProgress = 0;
    doc.ElapsedTime = 0.0;
}
