// Which clue numbers the player's marks have finished and which lines they contradict.
#pragma once

#include "format/PuzzleDocument.h"

#include <QRgb>

#include <cstdint>
#include <vector>

using TRuns = std::vector<int32_t>;

// Where each run of a line can go at the earliest and at the latest, given the marks
// (filled: black, crossed: white, anything else: not known yet).
struct TLinePlacements {
    bool Fits = false;          // some arrangement of the runs agrees with the marks
    std::vector<int32_t> Left;  // start of run j in the leftmost arrangement
    std::vector<int32_t> Right; // start of run j in the rightmost arrangement
};
TLinePlacements PlaceRuns(const std::vector<int32_t> &marks, const TRuns &runs);

// One line as the clue help shows it.
struct TLineHelp {
    bool Contradiction = false;
    std::vector<uint8_t> Finished;  // per run, first run first: one place left, and filled there
};
TLineHelp AnalyseLine(const std::vector<int32_t> &marks, const TRuns &runs);

// How the renderer inks clue numbers: [row][k] and [column][k], k counted from the grid as
// the strikes are. A missing entry is black.
struct TClueInk {
    std::vector<std::vector<QRgb>> Rows;
    std::vector<std::vector<QRgb>> Columns;
};

constexpr QRgb ClueDoneInk = qRgb(150, 170, 170);
constexpr QRgb ClueWrongInk = qRgb(170, 0, 0);  // 4.5 : 1 on the clue area, struck or not

// The clue help of one board. It is fed the clues once and keeps, per line, the marks it
// last judged: a repaint judges again only the lines whose marks changed since.
class TClueHelp {
public:
    void SetClues(std::vector<TRuns> rowRuns, std::vector<TRuns> colRuns);
    bool HasClues() const { return Ready; }
    // Brings the help up to date with the marks; returns how many lines were judged anew.
    int Update(const TMyCrossArr &marks);
    const TLineHelp &Row(int32_t r) const { return RowHelp[size_t(r)]; }
    const TLineHelp &Column(int32_t c) const { return ColHelp[size_t(c)]; }
    const TClueInk &Ink() const { return InkOf; }
    const std::vector<TRuns> &RowClues() const { return RowRuns; }
    const std::vector<TRuns> &ColumnClues() const { return ColRuns; }

private:
    void Judge(bool isColumn, int32_t line, const std::vector<int32_t> &cells);

    bool Ready = false;
    std::vector<TRuns> RowRuns, ColRuns;
    std::vector<std::vector<int32_t>> RowSeen, ColSeen;
    std::vector<uint8_t> RowKnown, ColKnown;
    std::vector<TLineHelp> RowHelp, ColHelp;
    TClueInk InkOf;
    std::vector<int32_t> Scratch;
};

// The runs of every row and of every column of a 0/1 picture: the clues the player reads.
std::vector<TRuns> RowRunsOf(const TMyCrossArr &picture);
std::vector<TRuns> ColumnRunsOf(const TMyCrossArr &picture);
