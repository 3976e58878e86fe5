// The player's check against the picture and a hint reasoned from one line's clue.
#pragma once

#include "core/ClueHelp.h"
#include "format/PuzzleDocument.h"

#include <QString>

struct TCellRef {
    int32_t Col;
    int32_t Row;
    bool operator==(const TCellRef &) const = default;
};

// Filled cells that are white in the picture and crossed cells that are black, row by row.
std::vector<TCellRef> WrongMarks(const PuzzleDocument &doc);
// «Ошибок: 3», or «Ошибок нет».
QString CheckText(size_t wrong);

struct THint {
    enum class TKind {
        Cell,           // Line forces Cell to Value
        Contradiction,  // Line's marks fit no arrangement of its clue
        Mistake,        // what line logic forces disagrees with the picture: a mark is wrong
        Stuck,          // no line decides anything more on its own
        Done,           // every cell is marked
    } Kind = TKind::Stuck;
    bool IsColumn = false;
    int32_t Line = 0;          // row or column index
    TCellRef Cell{0, 0};
    int32_t Value = MarkEmpty; // MarkFilled or MarkCrossed
    QString Reason;            // one sentence for the status bar
};

// Looks at every row and column with the marks as known cells. The clues are the player's;
// the picture is read only to hold back a hint that a wrong mark elsewhere would make wrong.
THint FindHint(const PuzzleDocument &doc, const std::vector<TRuns> &rowRuns,
               const std::vector<TRuns> &colRuns);
