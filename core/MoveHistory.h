// The undo and redo history of one board: cell changes grouped into strokes.
#pragma once

#include "format/PuzzleDocument.h"

#include <functional>
#include <vector>

struct THistoryEntry {
    int32_t Col;
    int32_t Row;
    int32_t Value;     // the mark to write back when the entry is applied
    uint8_t GroupEnd;  // 1 closes a group
};

class TMoveHistory {
public:
    std::vector<THistoryEntry> UndoStack;  // last element is the top
    std::vector<THistoryEntry> RedoStack;

    // Told whenever a step sets the Undo or Redo command's enabled state.
    std::function<void(bool)> SetUndoEnabled;
    std::function<void(bool)> SetRedoEnabled;

    void PushUndo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd);
    void PushRedo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd);
    // Takes entries off the top down to and including the first that closes a group, writing
    // each one's mark back and moving the mark it replaced to the other stack.
    void UndoGroup(TMyCrossArr &Marks);
    void RedoGroup(TMyCrossArr &Marks);
    void Clear();

private:
    using TPush = void (TMoveHistory::*)(int32_t, int32_t, int32_t, uint8_t);
    // Moves one group off a stack onto the other (through pushBack), putting each mark back.
    void TakeGroup(std::vector<THistoryEntry> &from, TPush pushBack, TMyCrossArr &Marks);
    void Tell(const std::function<void(bool)> &to, bool enabled) const;
};
