// What a board window needs of the frame that holds it, so it never has to know the frame.
#pragma once

#include <QString>

class TMDIChild;

// The frame's commands whose enabled state a board window sets at its events.
enum class TBoardCommand { Save, Print, Clear, ZoomInc, ZoomDec, Undo, Redo };

class TBoardHost {
public:
    virtual ~TBoardHost() = default;
    virtual void SetCommandEnabled(TBoardCommand command, bool enabled) = 0;
    // Writes the board's game into its file, asking for a path when it has none; a failure is
    // shown to the player. True when the file was written.
    virtual bool SaveBoard(TMDIChild *board) = 0;
    // The folder of the program's own files (library, backdrop), ending in '/'.
    virtual QString ProgramFolder() const = 0;
    // A line for the status bar; an empty text gives the bar back to the commands' hints.
    virtual void ShowStatusText(const QString &text) = 0;
    // Whether the player has «Подсказки по цифрам» on; it holds for every board.
    virtual bool ClueHelpShown() const = 0;
    // Whether a close-up shows its overview of the whole board.
    virtual bool OverviewShown() const { return true; }
    // Runs a command as its menu item would, and only while it is enabled.
    virtual void RunCommand(TBoardCommand command) = 0;
    // Told once a board is solved, before the congratulation: what the box adds to its text
    // (the time, the best earlier one), or nothing.
    virtual QString PuzzleSolved(TMDIChild *) { return QString(); }
};
