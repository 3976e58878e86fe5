// The undo and redo history of one board: cell changes grouped into strokes, and Clear.
#pragma once

#include "format/PuzzleDocument.h"

#include <functional>
#include <memory>
#include <vector>

// What Clear takes from a game, and taking Clear back gives again.
struct TGameState {
    TMyCrossArr Marks;
    TMyCrossArr RowClueStrikes;
    TMyCrossArr ColClueStrikes;
    double ElapsedTime = 0.0;
    uint8_t InProgress = 0;
};

struct THistoryEntry {
    int32_t Col = 0;
    int32_t Row = 0;
    int32_t Value = 0;     // the mark to write back when the entry is applied
    uint8_t GroupEnd = 0;  // 1 closes a group: the end marker on top of a stroke's cells
    // Set on a whole-game step (Clear), a group of its own: the game to put back.
    std::shared_ptr<const TGameState> Game;
};

class TMoveHistory {
public:
    std::vector<THistoryEntry> UndoStack;  // last element is the top
    std::vector<THistoryEntry> RedoStack;

    // Told whenever a step changes what Undo or Redo can do; the board's commands follow.
    std::function<void(bool)> SetUndoEnabled;
    std::function<void(bool)> SetRedoEnabled;

    void PushUndo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd);
    void PushRedo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd);
    // Records the whole game as it is before Clear wipes it: one step of its own.
    void PushGame(const PuzzleDocument &doc);
    // Takes back one group: the end marker on top and the entries below it down to the
    // previous end marker, each putting its mark back and moving the one it replaced to the
    // redo history, where the group then ends with its marker.
    void UndoGroup(PuzzleDocument &doc);
    // Brings back one group: entries off the redo history up to and including its end marker.
    void RedoGroup(PuzzleDocument &doc);
    // A new change takes the place of what could be redone.
    void DropRedo();
    // A stroke that changed nothing leaves none of its entries above size.
    void DropUndoAbove(size_t size);
    bool CanUndo() const { return !UndoStack.empty(); }
    bool CanRedo() const { return !RedoStack.empty(); }
    // Forgets both stacks without telling: for a board opening or closing.
    void Clear();

private:
    void Push(std::vector<THistoryEntry> &to, THistoryEntry entry);
    // Applies the top entry of from and pushes its inverse on the other stack.
    void TakeEntry(std::vector<THistoryEntry> &from, PuzzleDocument &doc);
    void Tell(const std::function<void(bool)> &to, bool enabled) const;
};
