// The undo and redo history of one board: cell changes grouped into strokes.
#include "board/MoveHistory.h"

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
    uint8_t last = 0;
    while (last == 0 && !UndoStack.empty()) {
        const THistoryEntry e = UndoStack.back();
        UndoStack.pop_back();
        PushRedo(e.Col, e.Row, Marks.at(e.Row).at(e.Col), e.GroupEnd);
        Marks[e.Row][e.Col] = e.Value;
        last = e.GroupEnd;
    }
    Tell(SetUndoEnabled, !UndoStack.empty());
}

void TMoveHistory::RedoGroup(TMyCrossArr &Marks)
{
    uint8_t last = 0;
    while (last == 0 && !RedoStack.empty()) {
        const THistoryEntry e = RedoStack.back();
        RedoStack.pop_back();
        PushUndo(e.Col, e.Row, Marks.at(e.Row).at(e.Col), e.GroupEnd);
        Marks[e.Row][e.Col] = e.Value;
        last = e.GroupEnd;
    }
    Tell(SetRedoEnabled, !RedoStack.empty());
}

void TMoveHistory::Clear()
{
    RedoStack.clear();
    UndoStack.clear();
}
