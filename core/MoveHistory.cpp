// The undo and redo history of one board: cell changes grouped into strokes.
#include "core/MoveHistory.h"

void TMoveHistory::Tell(const std::function<void(bool)> &to, bool enabled) const
{
    if (to)
        to(enabled);
}

void TMoveHistory::PushUndo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd)
{
    UndoStack.push_back({Col, Row, Value, GroupEnd});
    Tell(SetUndoEnabled, true);
}

void TMoveHistory::PushRedo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd)
{
    RedoStack.push_back({Col, Row, Value, GroupEnd});
    Tell(SetRedoEnabled, true);
}

void TMoveHistory::UndoGroup(TMyCrossArr &Marks)
{
    TakeGroup(UndoStack, &TMoveHistory::PushRedo, Marks);
    Tell(SetUndoEnabled, !UndoStack.empty());
}

void TMoveHistory::RedoGroup(TMyCrossArr &Marks)
{
    TakeGroup(RedoStack, &TMoveHistory::PushUndo, Marks);
    Tell(SetRedoEnabled, !RedoStack.empty());
}

void TMoveHistory::TakeGroup(std::vector<THistoryEntry> &from, TPush pushBack, TMyCrossArr &Marks)
{
    uint8_t last = 0;
    while (last == 0 && !from.empty()) {
        const THistoryEntry e = from.back();
        from.pop_back();
        (this->*pushBack)(e.Col, e.Row, Marks.at(e.Row).at(e.Col), e.GroupEnd);
        Marks[e.Row][e.Col] = e.Value;
        last = e.GroupEnd;
    }
}

void TMoveHistory::Clear()
{
    RedoStack.clear();
    UndoStack.clear();
}
