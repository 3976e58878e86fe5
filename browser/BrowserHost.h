// What the library browser needs of the frame: where it last opened from, and opening a file.
#pragma once

#include <QString>

class QWidget;

class TBrowserHost {
public:
    virtual ~TBrowserHost() = default;
    // The window the browser stands over.
    virtual QWidget *BrowserParent() = 0;
    // A volume root and a folder, both empty until the browser first opened a file this run.
    virtual QString LastLibraryDriveOf() const = 0;
    virtual QString LastLibraryDirOf() const = 0;
    virtual void RememberLibrary(const QString &drive, const QString &folder) = 0;
    // Opens a puzzle into a board window; a failure is shown to the player.
    virtual void OpenFromBrowser(const QString &path) = 0;
    // The folder of the program's own files, ending in '/'.
    virtual QString ProgramFolder() const = 0;
    // The player's folder of made puzzles once it exists, else empty: a shortcut in the list of
    // folders, since it lies in a hidden folder the list would never reach.
    virtual QString MadePuzzleFolder() const { return QString(); }
};
