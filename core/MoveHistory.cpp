// The undo and redo history of one board: cell changes grouped into strokes, and Clear.
#include "core/MoveHistory.h"

namespace {

TGameState GameOf(const PuzzleDocument &doc)
{
    return {doc.Marks, doc.RowClueStrikes, doc.ColClueStrikes, doc.ElapsedTime, doc.InProgress};
}

} // namespace

void TMoveHistory::Tell(const std::function<void(bool)> &to, bool enabled) const
{
    if (to)
        to(enabled);
}

void TMoveHistory::Push(std::vector<THistoryEntry> &to, THistoryEntry entry)
{
    to.push_back(std::move(entry));
    Tell(&to == &UndoStack ? SetUndoEnabled : SetRedoEnabled, true);
}

void TMoveHistory::PushUndo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd)
{
    Push(UndoStack, {Col, Row, Value, GroupEnd, nullptr});
}

void TMoveHistory::PushRedo(int32_t Col, int32_t Row, int32_t Value, uint8_t GroupEnd)
{
    Push(RedoStack, {Col, Row, Value, GroupEnd, nullptr});
}

void TMoveHistory::PushGame(const PuzzleDocument &doc)
{
    Push(UndoStack, {0, 0, 0, 1, std::make_shared<const TGameState>(GameOf(doc))});
}

void TMoveHistory::TakeEntry(std::vector<THistoryEntry> &from, PuzzleDocument &doc)
{
    THistoryEntry e = std::move(from.back());
    from.pop_back();
    THistoryEntry back = e;
    if (e.Game) {
        back.Game = std::make_shared<const TGameState>(GameOf(doc));
        doc.Marks = e.Game->Marks;
        doc.RowClueStrikes = e.Game->RowClueStrikes;
        doc.ColClueStrikes = e.Game->ColClueStrikes;
        doc.ElapsedTime = e.Game->ElapsedTime;
        doc.InProgress = e.Game->InProgress;
    } else {
        int32_t &cell = doc.Marks.at(e.Row).at(e.Col);
        back.Value = cell;
        cell = e.Value;
    }
    Push(&from == &UndoStack ? RedoStack : UndoStack, std::move(back));
}

void TMoveHistory::UndoGroup(PuzzleDocument &doc)
{
    if (!UndoStack.empty()) {
        TakeEntry(UndoStack, doc);
        while (!UndoStack.empty() && UndoStack.back().GroupEnd == 0)
            TakeEntry(UndoStack, doc);
    }
    Tell(SetUndoEnabled, !UndoStack.empty());
}

void TMoveHistory::RedoGroup(PuzzleDocument &doc)
{
    bool ended = false;
    while (!ended && !RedoStack.empty()) {
        ended = RedoStack.back().GroupEnd != 0;
        TakeEntry(RedoStack, doc);
    }
    Tell(SetRedoEnabled, !RedoStack.empty());
}

void TMoveHistory::DropRedo()
{
    RedoStack.clear();
    Tell(SetRedoEnabled, false);
}

void TMoveHistory::DropUndoAbove(size_t size)
{
    if (UndoStack.size() > size)
        UndoStack.resize(size);
    Tell(SetUndoEnabled, CanUndo());
}

void TMoveHistory::Clear()
{
    RedoStack.clear();
    UndoStack.clear();
}
